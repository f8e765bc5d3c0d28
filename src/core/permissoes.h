#pragma once
// Who may read and write the program's files: this account alone, and in a data
// folder chosen in the settings also the folder's group; never other accounts.
#include <QString>

namespace tivane::Banco {

// Start-up: whatever the program creates from now on is private to this
// account, and an existing database (with its journal), the default data
// folder and the settings files that this account owns are tightened alike.
// In a data folder chosen in the settings, the database may keep the folder's
// group access (the office's accounts may share it); others never. Only
// regular files and folders are touched.
void protegearquivos();
// The data folder in use: other accounts may not write in it, or they could
// put a file of their own (or a journal) in place of the database, and the
// key is the same for every file. A folder this account owns loses others'
// write access (its group keeps its own). One that stays open to others (of
// another account, a shared folder with the sticky bit such as /tmp, or the
// change refused) is told once per folder to the handler of
// defineAvisoPastaInsegura, and not changed again; the program goes on. True
// when the folder is safe.
bool protegepastadados(const QString& pasta);
void defineAvisoPastaInsegura(void (*aviso)(const QString& pasta));
// A database file just made: the access its folder allows, as protegearquivos gives it.
void protegebanconovo(const QString& caminho);

}  // namespace tivane::Banco
