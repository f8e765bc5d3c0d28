#pragma once
// The engine's result codes in the program's words: the cause that a failed
// database operation carries to the window that tells the user.
#include <QString>

struct sqlite3;

namespace tivane::Banco {

// Why `codigo` failed on `db` (null when no handle was opened). Causes about the
// file itself speak of `arquivo`, the database file tried (empty: the data folder's).
QString traduzerro(int codigo, sqlite3* db, const QString& arquivo);

}  // namespace tivane::Banco
