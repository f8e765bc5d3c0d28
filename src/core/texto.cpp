#include "core/texto.h"

#include <QLocale>
#include <cmath>

namespace tivane {

namespace {

const char* const DIAS[] = {"Dia Único", "Domingo", "Segunda-Feira", "Terça-Feira",
                            "Quarta-Feira", "Quinta-Feira", "Sexta-Feira", "Sábado"};
const char* const MESES[] = {"Janeiro", "Fevereiro", "Março", "Abril", "Maio", "Junho",
                             "Julho", "Agosto", "Setembro", "Outubro", "Novembro", "Dezembro"};

// The word tables keep their trailing blanks: the words are simply joined.
const char* const UNIDADES[] = {"", "Um ", "Dois ", "Tres ", "Quatro ", "Cinco ", "Seis ", "Sete ",
                                "Oito ", "Nove ", "Dez ", "Onze ", "Doze ", "Treze ", "Quatorze ",
                                "Quinze ", "Dezesseis ", "Dezessete ", "Dezoito ", "Dezenove "};
const char* const DEZENAS[] = {"", "Dez ", "Vinte ", "Trinta ", "Quarenta ", "Cinquenta ",
                               "Sessenta ", "Setenta ", "Oitenta ", "Noventa "};
const char* const CENTENAS[] = {"", "Cento ", "Duzentos ", "Trezentos ", "Quatrocentos ", "Quinhentos ",
                                "Seiscentos ", "Setecentos ", "Oitocentos ", "Novecentos "};

// Widths come as whole numbers; a fraction rounds as the old runtime did (to even).
int larguraInteira(double largura)
{
    if (!std::isfinite(largura) || largura <= 0)
        return 0;
    if (largura > 1e6)
        largura = 1e6;
    return static_cast<int>(std::nearbyint(largura));
}

// One character is one column, a pair of surrogates (an emoji) included.
qsizetype unidadesDoCaractere(QStringView t, qsizetype i)
{
    return t.at(i).isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate() ? 2 : 1;
}

// The first character of the fill text, repeated over n columns.
QString preenchimentoDe(const QString& preenchimento, qsizetype n)
{
    if (n <= 0)
        return QString();
    if (preenchimento.isEmpty())
        return QString(n, QChar(u' '));
    const QStringView c = QStringView(preenchimento).left(unidadesDoCaractere(preenchimento, 0));
    if (c.size() == 1)
        return QString(n, c.at(0));
    QString r;
    r.reserve(n * c.size());
    for (qsizetype k = 0; k < n; ++k)
        r += c;
    return r;
}

// Words of a group of three digits (0 to 999), following the size rules.
QString extensoGrupo(int v)
{
    const int centena = v / 100;
    const int dezena = (v / 10) % 10;
    const int unidade = v % 10;
    const int ultimosDois = v % 100;
    QString r;
    int tamanho = v < 10 ? 1 : (v < 100 ? 2 : 3);
    if (tamanho == 3) {
        if (ultimosDois != 0) {
            r += QString::fromUtf8(CENTENAS[centena]);
            r += QStringLiteral("e ");
            tamanho = 2;
        } else {
            r += centena == 1 ? QStringLiteral("Cem ") : QString::fromUtf8(CENTENAS[centena]);
            return r;
        }
    }
    if (tamanho == 2) {
        if (ultimosDois < 20) {
            r += QString::fromUtf8(UNIDADES[ultimosDois]);
            return r;
        }
        r += QString::fromUtf8(DEZENAS[dezena]);
        if (unidade == 0)
            return r;
        r += QStringLiteral("e ");
    }
    r += QString::fromUtf8(UNIDADES[unidade]);
    return r;
}

bool leValor(const QVariant& valor, double* numero)
{
    if (!valor.isValid() || valor.isNull())
        return false;
    bool ok = false;
    double v = 0;
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        v = valor.toDouble(&ok);
        break;
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString t = valor.toString().trimmed();
        if (t.isEmpty())
            return false;
        v = QLocale(QLocale::Portuguese, QLocale::Brazil).toDouble(t, &ok);
        break;
    }
    default:
        return false;
    }
    if (!ok || !std::isfinite(v))
        return false;
    *numero = v;
    return true;
}

}  // namespace

qsizetype corteEmColunas(QStringView t, qsizetype n, qsizetype* colunas)
{
    qsizetype i = 0, c = 0;
    while (i < t.size() && c < n) {
        i += unidadesDoCaractere(t, i);
        ++c;
    }
    *colunas = c;
    return i;
}

namespace {
// The text cut to the width, or padded on the right (texto first) or on the left.
QString completa(const QString& texto, double largura, const QString& preenchimento, bool textoprimeiro)
{
    const int n = larguraInteira(largura);
    qsizetype colunas = 0;
    const qsizetype fim = corteEmColunas(texto, n, &colunas);
    if (fim < texto.size())
        return texto.left(fim);
    const QString resto = preenchimentoDe(preenchimento, n - colunas);
    return textoprimeiro ? texto + resto : resto + texto;
}
}  // namespace

QString nomediasemana(int numero)
{
    if (numero < 0 || numero > 7)
        return QString();
    return QString::fromUtf8(DIAS[numero]);
}

QString nomedomes(int numero)
{
    if (numero < 1 || numero > 12)
        return QString();
    return QString::fromUtf8(MESES[numero - 1]);
}

QString textopornumero(int codigo)
{
    if (codigo < 10 || codigo > 21)
        return QString();
    return nomedomes(codigo - 9);
}

QString completaadireita(const QString& texto, double largura, const QString& preenchimento)
{
    return completa(texto, largura, preenchimento, true);
}

QString completaaesquerda(const QString& texto, double largura, const QString& preenchimento)
{
    return completa(texto, largura, preenchimento, false);
}

QString dataporextenso(const QDate& data, bool comdiasemana)
{
    if (!data.isValid())
        return QString();
    QString r = QString::number(data.day()) + QStringLiteral(" de ") + nomedomes(data.month()) +
                QStringLiteral(" de ") + QString::number(data.year()).rightJustified(4, u'0');
    if (comdiasemana)
        r = nomediasemana(data.dayOfWeek() % 7 + 1) + QStringLiteral(", ") + r;  // Sunday = 1
    return r;
}

QString valorporextenso(const QVariant& valor, bool moeda)
{
    double v = 0;
    if (!leValor(valor, &v))
        return QString();
    if (!(v > 0) || v > VALOR_MAXIMO_CENTAVOS / 100.0)
        return QString();
    const qint64 centavosTotais = std::llround(v * 100.0);
    // 0,004 passes the test above but has nothing to put into words.
    if (centavosTotais <= 0)
        return QString();

    const qint64 reais = centavosTotais / 100;
    const int g1 = static_cast<int>(reais / 1000000);          // millions
    const int g2 = static_cast<int>((reais / 1000) % 1000);    // thousands
    const int g3 = static_cast<int>(reais % 1000);             // units
    const int c = static_cast<int>(centavosTotais % 100);      // cents

    const QString sufixoCentavos = c == 1 ? QStringLiteral("centavo") : QStringLiteral("centavos");
    if (reais == 0)
        return extensoGrupo(c) + sufixoCentavos;

    QString r;
    if (g1 != 0)
        r += extensoGrupo(g1) + (g1 > 1 ? QStringLiteral("milhões ") : QStringLiteral("milhão "));
    if (g2 == 0 && g3 == 0)
        r += QStringLiteral("de ");
    else if (g2 != 0)
        r += extensoGrupo(g2) + QStringLiteral("Mil ");

    r += extensoGrupo(g3);
    if (moeda) {
        r += reais == 1 ? QStringLiteral("real ") : QStringLiteral("reais ");
        if (c != 0)
            r += QStringLiteral("e ") + extensoGrupo(c) + sufixoCentavos;
    } else if (c != 0) {
        r += QStringLiteral("Virgula ") + extensoGrupo(c);
    }
    return r;
}

}  // namespace tivane
