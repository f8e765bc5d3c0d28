#pragma once
// Checks a database file before it is copied or put in place of the live one,
// and the live file itself while the program is in use.
#include <QString>
#include <atomic>
#include <functional>

namespace tivane {

enum class EstadoBanco { Bom, Ausente, Estranho, Danificado, Ilegivel };

struct VerificacaoBanco {
    EstadoBanco estado = EstadoBanco::Bom;
    QString motivo;   // the cause, in Portuguese, empty when Bom
};

// Checks a database file on a connection of its own (never the program's): opens it with the key,
// requires the four tables, runs PRAGMA quick_check (integrity_check when completa).
// Opens read-only: the file is never changed. Safe to call from another thread.
// Holds the file for the whole check: for files nobody else is using.
VerificacaoBanco verificabanco(const QString& caminho, bool completa = false);

// Shared with the thread that runs verificaemfatias: a stop request and how far it got.
struct ControleVerificacao {
    std::atomic<bool> parar{false};
    std::atomic<qint64> feitos{0};   // entries read so far
    std::atomic<qint64> total{0};    // entries to read, estimated at the start
    int fatiaMs = 40;                // how long a slice holds the file
    int pausaMs = 40;                // how long the file is let go between slices
    // Only the pages the check asks for are read, never ahead of it: slower on a file not in
    // memory, but on slow storage its reads never hold up other readers for long.
    bool discreta = false;
    std::function<void()> aoLer;     // runs at each entry read, inside the slice (tests: slow storage)
};

// The check of a file in use: every table and index is read whole, in slices of a few
// tens of milliseconds, each slice its own read, so a write of this program or of another
// computer waits one slice at most. Each page read is checked by the cipher, so a damaged
// page is found as by quick_check. Waits (never fails) while another write holds the file.
// Stopped by controle->parar: the result is then Ilegivel with an empty motivo.
// A file that passes and was not written while it was read is noted as checked.
VerificacaoBanco verificaemfatias(const QString& caminho, ControleVerificacao* controle = nullptr);

// Whether the file passed a check and has not been written since.
bool javerificado(const QString& caminho);

// Checks of the file running now in this program (for the busy message).
int verificacoesemandamento();

}  // namespace tivane
