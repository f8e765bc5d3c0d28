#pragma once
// Case folding where the program compares people's names and neighbourhoods:
// SQLite's own = and LIKE fold ASCII only ('é' LIKE 'É' is false).
struct sqlite3;

namespace tivane::Banco {

// The case-folding collation "FOLD" that older files name in their indexes.
void registradobra(sqlite3* db);
// like() with 2 and 3 arguments, folding the case of every letter, and dobra(),
// the folded text, for the queries of a connection of the program's.
void registrafuncoesdobra(sqlite3* db);

}  // namespace tivane::Banco
