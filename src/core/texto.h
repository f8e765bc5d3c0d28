#pragma once
// Text routines of receipts and reports: weekday and month names, fixed-width
// columns, the long date and the amount in words. No state, no windows.
#include <QDate>
#include <QString>
#include <QVariant>

namespace tivane {

// 0 "Dia Único", 1 "Domingo" ... 7 "Sábado"; "" outside 0 to 7.
QString nomediasemana(int numero);
// 1 "Janeiro" ... 12 "Dezembro"; "" outside 1 to 12.
QString nomedomes(int numero);
// Month names by message code: 10 "Janeiro" ... 21 "Dezembro"; "" for any other code.
QString textopornumero(int codigo);

// The text left-aligned in a column of that width, padded with the first
// character of the fill text, or cut to the width. Counts characters: a
// character outside the BMP (a pair of surrogates) is one column and is never cut in half.
QString completaadireita(const QString& texto, double largura, const QString& preenchimento = QStringLiteral(" "));
// The text right-aligned in a column of that width; a text too long keeps its start.
QString completaaesquerda(const QString& texto, double largura, const QString& preenchimento = QStringLiteral(" "));
// Where the first n characters of the text end (a surrogate pair is one
// character, never cut in half), and how many it has up to there.
qsizetype corteEmColunas(QStringView t, qsizetype n, qsizetype* colunas);

// "5 de Janeiro de 2014", or "Domingo, 5 de Janeiro de 2014"; "" for an invalid date.
QString dataporextenso(const QDate& data, bool comdiasemana = false);

// The largest amount a receipt can put in words: 9.999.999,99.
constexpr qint64 VALOR_MAXIMO_CENTAVOS = 999999999;

// The amount in words ("Um Mil reais ", "Doze Virgula Cinquenta "). Takes a
// number or a text in the Brazilian format ("1.234,50"). Gives "" for a
// missing, non-numeric, zero or negative amount, one above 9.999.999,99, or
// one that rounds to 0,00.
QString valorporextenso(const QVariant& valor, bool moeda = true);

}  // namespace tivane
