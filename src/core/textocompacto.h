#pragma once
// A long text kept one byte per character while every character is Latin-1,
// as reports in Portuguese almost always are (half the memory of UTF-16), and
// as UTF-16 from the first character outside it. Positions are characters
// either way.
#include <QByteArray>
#include <QString>

namespace tivane {

class TextoCompacto {
public:
    TextoCompacto() = default;
    TextoCompacto(const QString& texto);  // NOLINT: a QString stands wherever a text does
    TextoCompacto(const char* utf8) : TextoCompacto(QString::fromUtf8(utf8)) {}  // NOLINT

    TextoCompacto& operator+=(QStringView texto);
    TextoCompacto& operator+=(const QString& texto) { return *this += QStringView(texto); }
    // A column of a report line without a string of its own: the text then
    // spaces up to largura characters, or spaces then the text; cut at largura.
    void acrescentaAEsquerda(QStringView texto, qsizetype largura);
    void acrescentaADireita(QStringView texto, qsizetype largura);
    void reserve(qsizetype caracteres);
    void clear();
    bool isEmpty() const { return size() == 0; }
    qsizetype size() const { return largo_ ? texto_.size() : latin_.size(); }
    QChar at(qsizetype i) const { return largo_ ? texto_.at(i) : QChar(uchar(latin_.at(i))); }
    QString mid(qsizetype posicao, qsizetype n) const;
    // Where c (an ASCII character) first stands in [de, ate); -1 when nowhere.
    qsizetype indexOf(char16_t c, qsizetype de, qsizetype ate) const;
    void replace(qsizetype posicao, qsizetype n, const QString& novo);
    QString toString() const;
    operator QString() const { return toString(); }  // NOLINT
    bool compacto() const { return !largo_; }

private:
    void alarga();
    void acrescentaEspacos(qsizetype n);
    char* cresce(qsizetype n);   // n more Latin-1 characters, to be written

    QByteArray latin_;
    QString texto_;
    bool largo_ = false;
};

}  // namespace tivane
