#pragma once
// Checks a database file before it is copied or put in place of the live one,
// and the live file itself while the program is in use.
#include <QString>
#include <atomic>
#include <functional>

struct sqlite3;

namespace tivane {

enum class EstadoBanco { Bom, Ausente, Estranho, Danificado, Ilegivel };

struct [[nodiscard]] VerificacaoBanco {
    EstadoBanco estado = EstadoBanco::Bom;
    QString motivo;   // the cause, in Portuguese, empty when Bom
};

// Checks a database file on a connection of its own (never the program's): opens it with the key,
// requires the four tables, runs PRAGMA quick_check (integrity_check when completa).
// Opens read-only: the file is never changed. Safe to call from another thread.
// Holds the file for the whole check: for files nobody else is using.
VerificacaoBanco verificabanco(const QString& caminho, bool completa = false);

// Shared with the thread that runs a check: a stop request and how far it got; the
// slices are verificaemfatias's alone.
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

// The check of a file nobody else writes (a private copy): every table and index read whole on
// several threads, one read-only connection each, with no pauses; each index is compared with its
// table (its entries against the rows, key and rowid), and each table's rows must come in rowid order.
// Finds what a torn copy breaks. Reports its progress and stops as verificaemfatias does.
VerificacaoBanco verificaarquivo(const QString& caminho, ControleVerificacao* controle = nullptr);

// Which file, in which state: a write changes its time or its size.
struct EstadoArquivo {
    bool ok = false;
    quint64 dispositivo = 0, inode = 0;
    qint64 tamanho = 0, segundos = 0, nanos = 0;
    bool operator==(const EstadoArquivo& o) const
    {
        return ok && o.ok && dispositivo == o.dispositivo && inode == o.inode && tamanho == o.tamanho
               && segundos == o.segundos && nanos == o.nanos;
    }
};
EstadoArquivo estadoarquivo(const QString& caminho);

// Whether the file passed a check and has not been written since; or passed
// one in this state (a copy of it taken in that state did).
bool javerificado(const QString& caminho);
bool javerificado(const QString& caminho, const EstadoArquivo& estado);
// Notes that the file, in this state, passed a check (a copy of it taken in that state did).
void marcaverificado(const QString& caminho, const EstadoArquivo& estado);

// The engine's own descriptor of the file a connection has open, when it is plainly that file's;
// -1 otherwise. Never to be closed: closing any descriptor of the file drops the engine's locks.
int descritordobanco(sqlite3* db, const QString& caminho);

// Checks of the file running now in this program (for the busy message).
int verificacoesemandamento();

}  // namespace tivane
