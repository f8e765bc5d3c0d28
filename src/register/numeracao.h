#pragma once
// Tither codes: the code of a new tither, its bar-code number, and the
// nearest saved code above or below any text typed in the code box.
// Each answer is one indexed select; nothing walks the table.
#include <QString>

namespace tivane {

// The number at the start of a code text, as the old program read it:
// leading blanks skipped, then digits; 0 when there are none ("" , "abc").
qint64 valorcodigo(const QString& texto);

// The bar-code number proposed for a code: "00000#" ("0012" -> "000012").
// A code that is not a number is returned as it is.
QString formatabarras(const QString& codigo);

// The code for a new tither: one above the highest numeric code ("0001" for
// an empty table, "10000" after "9999"). A code that payments still carry
// (its tither was deleted) is passed over, so nobody inherits them.
// tabelavazia tells whether no tither is saved. "" when the database could
// not be read.
QString novocodigodizimista(bool* tabelavazia = nullptr);

// The nearest saved code above / below the text of the code box, whatever
// that text is (a saved code, "12" for "0012", empty, not a number, beyond
// either end). The text itself when there is none: the caller reports the end.
QString proximocodigodizimista(const QString& codigo);
QString codigoanteriordizimista(const QString& codigo);
// The lowest saved code; "0001" for an empty table.
QString primeirocodigodizimista();

}  // namespace tivane
