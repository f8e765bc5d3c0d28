#pragma once
// The tables and indexes of the program's file: those that a new file gets, and
// what an older file is given to match them when it is opened.
struct sqlite3;

namespace tivane::Banco {

// Called with true before and false after the one-time rebuild of an older
// file (seconds on a large one), so a window can say what is going on.
void defineAvisoReorganizacao(void (*aviso)(bool inicio));
// The four tables, the church's row and the indexes on a new, empty file, in one
// transaction. SQLITE_OK, or the engine's code of the statement that failed.
[[nodiscard]] int criaesquema(sqlite3* db);
// An older file opened with the key: the collation FOLD taken out of its
// definitions and the indexes it lacks built. What cannot be done now (a file
// read only or in use) waits for the next opening; the file works either way.
void atualizaesquema(sqlite3* db);

}  // namespace tivane::Banco
