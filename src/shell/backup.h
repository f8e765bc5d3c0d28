#pragma once
// Whole-file copies of the database: backup to a folder, restore from one,
// and the drives the automatic backup watches. Plain functions; the window
// frmbackup and the main window's timer drive them.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace tivane {

enum class ModoBackup { Backup, Restauracao };

struct ResultadoCopia {
    bool ok = false;
    qint64 tamanho = 0;   // bytes copied; 0 unless ok
    QString motivo;       // cause of a failure, in Portuguese
};

// Called after each block with the bytes copied so far.
using AndamentoCopia = std::function<void(qint64 copiados)>;

// Copies a file byte for byte into a temporary file beside the target, flushes
// it to disk and renames it over the target, so the target is always either
// the old file or the whole new one. A journal left beside the target belongs
// to the file being replaced and is removed just before the rename. Asks nothing.
ResultadoCopia copiaarquivo(const QString& origem, const QString& destino, const AndamentoCopia& andamento = {});

// Whether two paths name the same file, by their resolved real paths (links,
// "..", doubled or trailing separators) or by being the same file on disk.
bool mesmoarquivo(const QString& a, const QString& b);

// "N bytes" with the exact count.
QString textotamanho(qint64 bytes);

// The database file inside a folder typed or chosen by the user.
QString caminhoescolhido(const QString& pasta);

struct ResultadoBackup {
    qint64 tamanho = 0;   // bytes copied; 0 when nothing was copied
    QString destino;      // the file written
};

// The copy step in one direction, with its questions and messages: the same
// file, a missing or unsound source, the replace question and the copy's
// failure. The program's connection is closed for the copy and opened again.
ResultadoBackup executabackup(ModoBackup modo, const QString& pasta);

// The copy with its messages only (missing source, replace question, failure):
// the bytes copied, 0 when nothing was copied.
qint64 copiabanco(const QString& origem, const QString& destino, ModoBackup modo);

// ---- Drives -----------------------------------------------------------------

// Mount points of the volumes a user calls drives, the root file system first.
QStringList listaunidades();
// Tests give their own drives; null brings back the real ones.
void defineFonteUnidades(std::function<QStringList()> fonte);
// The drive that is in agora and was not in antes (the last such one); "" when none.
QString unidadenova(const QStringList& antes, const QStringList& agora);
// "<drive>/backup" and the day as ddmmyyyy.
QString pastabackupautomatico(const QString& unidade, const QDate& dia);

}  // namespace tivane
