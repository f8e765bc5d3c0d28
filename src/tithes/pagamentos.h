#pragma once
// Tithes received (table pagamentos): amounts, yearly receipt codes, the
// payment row and the last-payment rule of the inactivity sweep.
#include <QDate>
#include <QString>

#include "core/conexao.h"
#include "core/texto.h"

namespace tivane {

// Amount text as the program stores it: two decimals, decimal comma, no
// thousands separator ("1250,00"). Reads the Brazilian format ("12,5",
// "1.250", " 7 "); "12.5" is ambiguous there and is not read.
// False when the text is not an amount.
bool lervalor(const QString& texto, qint64* centavos);
// The same to `casas` decimals (at most 7), the next one rounding half away from zero.
bool lervalorcasas(const QString& texto, int casas, qint64* unidades);
QString formatacentavos(qint64 centavos);
// The text rewritten as "0.00" (12,5 -> "12,50"); unchanged when not a number.
QString formatavalor(const QString& texto);

// "00001/26": the number with at least five digits, "/", the year's last two digits.
QString montacodigorecibo(qint64 numero, int ano);
// The next receipt code of the given year (of today when omitted): one more
// than the highest number among that year's codes, reversed rows included.
// Empty when the database could not be read or the highest number cannot be
// continued (causa says which).
[[nodiscard]] QString geracodigorecibo();
[[nodiscard]] QString geracodigorecibo(int ano, QString* causa = nullptr);

// Writes one payment and returns its receipt code; empty when nothing was
// written (the caller warns with causa: also an amount beyond
// VALOR_MAXIMO_CENTAVOS or below zero, or a receipt number that cannot go on). An empty tither code becomes "0000" with the
// name "NÃO ESPECIFICADO" in the caller's variables. The code's year is the
// year of `data` ("dd/mm/yyyy"), so date, time and code come from one reading
// of the clock; number and row are written in one transaction.
[[nodiscard]]
QString gravapagamento(QString& data, QString& hora, QString& valor, QString& codigodizimista,
                       QString& nomedizimista, QString& mesreferencia, QString& anoreferencia,
                       QString* causa = nullptr);

// Whether a payment row has exactly this code, or the table could not be read.
Leitura reciboexiste(const QString& codigo);
// Replaces the payment row of that code by its reversal row under the same
// code, in one transaction. NaoEncontrado when no row has the code; on Falha,
// falhouleitura tells whether the row could not even be read.
Gravacao estornapagamento(const QString& codigo, bool* falhouleitura = nullptr);

// Registers on the open connection the aggregate
// ultimopagamento(p.rowid, p.data, d.cadastro), run over one tither d joined
// (left join) to its payments p by p.codigodizimista = d.codigo, so reversed
// rows ("E" + code) never match. It gives the Julian day from which the
// tither's absence counts: the latest payment, never before 01/01/2010;
// without payments, the registration date; NULL when a date it needs cannot
// be read. False when it could not be registered.
[[nodiscard]] bool registraultimopagamento();

// Reads "dd/mm/yyyy" (also "d/m/yyyy"); invalid QDate otherwise.
QDate lerdata(const QString& texto);
// The same for plain ASCII bytes, as the database holds most dates.
QDate lerdata(QLatin1StringView texto);

}  // namespace tivane
