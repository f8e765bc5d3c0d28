#pragma once
// Checks a database file before it is copied or put in place of the live one.
#include <QString>

namespace tivane {

enum class EstadoBanco { Bom, Ausente, Estranho, Danificado, Ilegivel };

struct VerificacaoBanco {
    EstadoBanco estado = EstadoBanco::Bom;
    QString motivo;   // the cause, in Portuguese, empty when Bom
};

// Checks a database file on a connection of its own (never the program's): opens it with the key,
// requires the four tables, runs PRAGMA quick_check (integrity_check when completa).
// Opens read-only: the file is never changed. Safe to call from another thread.
VerificacaoBanco verificabanco(const QString& caminho, bool completa = false);

}  // namespace tivane
