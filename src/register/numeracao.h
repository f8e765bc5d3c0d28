#pragma once
// Record codes of the two registers (tithers and users): the code of a new
// record, a tither's bar-code number, and the nearest saved code above or
// below any text typed in the code box. Each answer is one indexed select;
// nothing walks the table.
#include <QString>

#include "core/conexao.h"

namespace tivane {

// A number as a record code: at least four digits with leading zeros.
QString formatacodigo(qint64 numero);
// Whether a text can be a new record's code: digits only ("0012", "5").
bool codigonumerico(const QString& texto);

// The number at the start of a code text, as the old program read it:
// leading blanks skipped, then digits; 0 when there are none ("" , "abc");
// the largest 64-bit number for more digits than fit.
qint64 valorcodigo(const QString& texto);

// The bar-code number proposed for a code: "00000#" ("0012" -> "000012").
// A code that is not a number is returned as it is.
QString formatabarras(const QString& codigo);

// The code for a new record of the tithers or users table: one above the
// highest numeric code ("0001" for an empty table, "10000" after "9999",
// "32768" after "32767"); a code whose number does not fit in 64 bits, or
// has no next, is passed over. A code that payments still carry (a deleted
// tither's payments, or those a deleted user recorded) is passed over, so
// nobody inherits them. tabelavazia tells whether the table has no rows.
// "" when the database could not be read (why in causa).
[[nodiscard]] QString novocodigo(Tabela tabela, bool* tabelavazia = nullptr, QString* causa = nullptr);
// Whether payments carry exactly this code: as the tither's code
// (codigodizimista) or as the code of the user who recorded them (codigofuncionario).
Leitura codigoempagamentos(Tabela tabela, const QString& codigo);

// The nearest saved code above / below the text of the code box, whatever
// that text is (a saved code, "12" for "0012", empty, not a number, beyond
// either end). Codes whose number does not fit in 64 bits are passed over.
// NaoEncontrado when there is none: the caller reports the end.
Leitura proximocodigo(Tabela tabela, const QString& codigo, QString* alvo);
Leitura codigoanterior(Tabela tabela, const QString& codigo, QString* alvo);

}  // namespace tivane
