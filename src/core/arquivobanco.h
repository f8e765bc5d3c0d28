#pragma once
// The database file as every handle of the program knows it: its name in the
// data folder, where it is now and the key that opens it.
#include <QString>

struct sqlite3;

namespace tivane {

constexpr const char* SENHA_BANCO = "qorm64";
constexpr const char* ARQUIVO_BANCO = "cadastrocd.mdb";

namespace Banco {
QString caminhoArquivo();                       // data folder + "cadastrocd.mdb"
// The program's key on a newly opened SQLCipher handle, before its first read.
[[nodiscard]] bool aplicachave(sqlite3* db);
}  // namespace Banco

}  // namespace tivane
