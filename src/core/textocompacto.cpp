#include "core/textocompacto.h"

#include "core/texto.h"

#include <cstring>

namespace tivane {

namespace {
bool soLatin1(QStringView t)
{
    for (const QChar c : t)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}
}  // namespace

TextoCompacto::TextoCompacto(const QString& texto)
{
    if (soLatin1(texto)) {
        latin_ = texto.toLatin1();
    } else {
        texto_ = texto;   // shared, not copied
        largo_ = true;
    }
}

TextoCompacto& TextoCompacto::operator+=(QStringView texto)
{
    if (!largo_ && !soLatin1(texto))
        alarga();
    if (largo_) {
        texto_ += texto;
        return *this;
    }
    char* d = cresce(texto.size());
    for (const QChar c : texto)
        *d++ = char(c.unicode());
    return *this;
}

char* TextoCompacto::cresce(qsizetype n)
{
    const qsizetype antes = latin_.size(), depois = antes + n;
    // Doubling: a report is appended to millions of times.
    if (depois > latin_.capacity())
        latin_.reserve(qMax(depois, 2 * latin_.capacity()));
    latin_.resize(depois);
    return latin_.data() + antes;
}

void TextoCompacto::acrescentaEspacos(qsizetype n)
{
    if (n <= 0)
        return;
    if (largo_)
        texto_.resize(texto_.size() + n, u' ');
    else
        std::memset(cresce(n), ' ', size_t(n));
}

void TextoCompacto::acrescentaAEsquerda(QStringView texto, qsizetype largura)
{
    qsizetype colunas = 0;
    const qsizetype fim = corteEmColunas(texto, largura, &colunas);
    *this += texto.left(fim);
    if (fim == texto.size())
        acrescentaEspacos(largura - colunas);
}

void TextoCompacto::acrescentaADireita(QStringView texto, qsizetype largura)
{
    qsizetype colunas = 0;
    const qsizetype fim = corteEmColunas(texto, largura, &colunas);
    if (fim == texto.size())
        acrescentaEspacos(largura - colunas);
    *this += texto.left(fim);
}

void TextoCompacto::reserve(qsizetype caracteres)
{
    if (largo_)
        texto_.reserve(caracteres);
    else
        latin_.reserve(caracteres);
}

void TextoCompacto::clear()
{
    latin_ = QByteArray();
    texto_ = QString();
    largo_ = false;
}

QString TextoCompacto::mid(qsizetype posicao, qsizetype n) const
{
    if (largo_)
        return texto_.mid(posicao, n);
    posicao = qBound<qsizetype>(0, posicao, latin_.size());
    n = qBound<qsizetype>(0, n, latin_.size() - posicao);
    return QString::fromLatin1(latin_.constData() + posicao, n);
}

qsizetype TextoCompacto::indexOf(char16_t c, qsizetype de, qsizetype ate) const
{
    if (ate <= de)
        return -1;
    if (largo_) {
        const qsizetype i = QStringView(texto_).mid(de, ate - de).indexOf(QChar(c));
        return i < 0 ? -1 : de + i;
    }
    const void* achado = std::memchr(latin_.constData() + de, int(c), size_t(ate - de));
    return achado ? static_cast<const char*>(achado) - latin_.constData() : -1;
}

void TextoCompacto::replace(qsizetype posicao, qsizetype n, const QString& novo)
{
    if (!largo_ && !soLatin1(novo))
        alarga();
    if (largo_)
        texto_.replace(posicao, n, novo);
    else
        latin_.replace(posicao, n, novo.toLatin1());
}

QString TextoCompacto::toString() const
{
    return largo_ ? texto_ : QString::fromLatin1(latin_);
}

void TextoCompacto::alarga()
{
    texto_ = QString::fromLatin1(latin_);
    latin_ = QByteArray();
    largo_ = true;
}

}  // namespace tivane
