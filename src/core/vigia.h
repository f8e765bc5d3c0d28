#pragma once
// The connection's change watch, and whether a folder's changes can be watched
// from this computer at all.
#include <QString>

namespace tivane {

// Tells whether anything changed in the settings folder or the data folder
// since the last full check of an operation: then the next operation reads
// the data-folder setting and looks at the file again. Changes by this
// process and by others alike, so that check costs one read of a kernel queue
// instead of a settings lookup and a stat per operation.
class Vigia {
public:
    // Before a full check, so nothing changed during the check goes unseen.
    void arma(const QString& pastaDados);
    // The full check passed for this file.
    void confirma(const QString& caminho);
    // True when the file checked last is still the one to use, unchanged.
    bool intacto(const QString& caminhoAberto);
    void desarma();

private:
    int fd_ = -1;
    int dados_ = -1;   // the watch on the data folder
    QString caminho_;
};

namespace Banco {
// Whether the folder lies on a file system that is this computer's alone (asked
// of the file system itself, not of the mount table, which a chroot or a
// container may not show): only then do all its changes reach the local change
// queue (a shared network folder is looked at on every operation), and only
// then are the files in it this computer's own work.
bool vigiaconfiavel(const QString& pasta);
// The same for a file system type as statfs gives it (f_type).
bool sistemaarquivoslocal(quint64 tipo);
}  // namespace Banco

}  // namespace tivane
