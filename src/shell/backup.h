#pragma once
// Whole-file copies of the database: backup to a folder, restore from one,
// and the drives the automatic backup watches. Plain functions that show no
// window: they tell what happened and why, and frmbackup tells the user.
#include "core/integridade.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace tivane {

enum class ModoBackup { Backup, Restauracao };

struct [[nodiscard]] ResultadoCopia {
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

// This account's folder on this computer's own disk for the private copy that a backup or a
// restore checks (created, mode 0700, when missing).
QString pastacopiasprivadas();

// Removes the hidden temporary files "." + "cadastrocd.mdb" + ".copia-XXXXXX" that a copy
// killed half-way left in the folder; one written in the last minute or after a copy
// of this program began may belong to a copy in progress and is kept. Nothing else is touched.
void removesobras(const QString& pasta);

// A drive as it was when the drives were listed: its mount point and its device.
struct UnidadeListada {
    QString raiz;
    quint64 dispositivo = 0;
};
QVector<UnidadeListada> retratounidades(const QStringList& raizes);
// Whether the folder still lies on the volume it lay on when the drives were listed:
// the listed drive that leads to it (the longest mount point) is still the same device.
// A drive taken out leaves its mount point folder on the internal disk.
bool aindanaunidade(const QString& pasta, const QVector<UnidadeListada>& unidades);

// Whether two paths name the same file, by their resolved real paths (links,
// "..", doubled or trailing separators) or by being the same file on disk.
bool mesmoarquivo(const QString& a, const QString& b);

// "N bytes" with the exact count.
QString textotamanho(qint64 bytes);

// The database file inside a folder typed or chosen by the user.
QString caminhoescolhido(const QString& pasta);

// How a copy of the database between the data folder and a chosen folder ended.
enum class FimCopia {
    Copiado,          // the whole file was copied
    NadaEscolhido,    // no folder was given
    MesmoArquivo,     // the chosen file is the database itself
    DriveRetirado,    // the chosen folder's drive was taken out after the drives were listed
    OrigemAusente,    // no file to copy from
    PastaAusente,     // the destination folder does not exist (motivo: the folder)
    BackupRecusado,   // the file to restore failed its check (motivo: the cause)
    Desistiu,         // the user answered No to a question
    Falhou            // the copy itself failed (motivo: the cause); nothing was replaced
};

// What the copy asks before it goes on.
enum class PerguntaCopia {
    BancoComProblemas,   // the live file failed its check: copy it anyway? (sobre: the cause)
    Substituir           // a file is at the destination: replace it? (sobre: its path)
};

// The long stages, which a window may run on a thread of its own while it shows their progress:
// the private copy of the live file or of the backup to restore, its check, the copy to the destination.
enum class EtapaCopia { Instantaneo, LeBackup, VerificaBackup, VerificaBanco, Copia };

struct AcompanhamentoCopia {
    // True goes on; none answers No.
    std::function<bool(PerguntaCopia pergunta, const QString& sobre)> confirma;
    // Runs trabalho and returns when it ends; controle tells how far it got. None runs it here.
    std::function<void(EtapaCopia etapa, const ControleVerificacao& controle, const std::function<void()>& trabalho)>
        executa;
};

struct [[nodiscard]] ResultadoBackup {
    FimCopia fim = FimCopia::NadaEscolhido;
    qint64 tamanho = 0;     // bytes copied; 0 when nothing was copied
    QString origem;         // the file copied from
    QString destino;        // the file written
    QString motivo;         // the cause (see FimCopia); after a copy, why the database could not be opened again
    bool reaberto = true;   // after a copy, whether the program's connection was opened again
};

// The copy step in one direction: the same file, a missing or unsound source, the
// questions and the copy. The source is first copied to a private file on this
// computer's disk (the live file as one committed state, under the engine's lock, so
// another computer's writes never tear it), and that copy is checked and copied on:
// a backup asks before it keeps a copy that failed (unless the live file passed a check
// and was not written since, when it is not read again); a restore refuses one. Nothing
// takes the destination's name before the questions. A restore closes the program's
// connection and opens it again. When the drives the folder was chosen from are given,
// a folder whose drive was taken out is refused before anything is copied and again
// after the questions.
ResultadoBackup copiabanco(ModoBackup modo, const QString& pasta, const QVector<UnidadeListada>& unidades = {},
                           const AcompanhamentoCopia& acompanhamento = {});

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
