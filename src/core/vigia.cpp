#include "core/vigia.h"
#include "core/arquivobanco.h"

#include <QFile>
#include <QFileInfo>
#include <type_traits>

#ifdef Q_OS_LINUX
#include <QSettings>
#include <cerrno>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>
#endif

namespace tivane {

void Vigia::arma(const QString& pastaDados)
{
    desarma();
#ifdef Q_OS_LINUX
    static const QByteArray pastaConfig = QFile::encodeName(
        QFileInfo(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tivane"),
                            QStringLiteral("TivaneDizimo"))
                      .fileName())
            .absolutePath());
    // Another PC's change to a shared folder never reaches this kernel's
    // queue: there every operation looks at the file itself.
    if (!Banco::vigiaconfiavel(QFile::decodeName(pastaConfig)) || !Banco::vigiaconfiavel(pastaDados))
        return;
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return;
    const uint32_t nomes = IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_DELETE_SELF
                           | IN_MOVE_SELF;
    // What is written inside the database does not change which file to use.
    dados_ = inotify_add_watch(fd_, QFile::encodeName(pastaDados).constData(), nomes);
    if (inotify_add_watch(fd_, pastaConfig.constData(), nomes | IN_MODIFY | IN_CLOSE_WRITE) < 0 || dados_ < 0)
        desarma();
#else
    Q_UNUSED(pastaDados);
#endif
}

void Vigia::confirma(const QString& caminho)
{
    if (fd_ >= 0)
        caminho_ = caminho;
}

bool Vigia::intacto(const QString& caminhoAberto)
{
#ifdef Q_OS_LINUX
    if (fd_ < 0 || caminho_.isEmpty() || caminho_ != caminhoAberto)
        return false;
    // The rollback journal comes and goes with every write, this program's
    // included: anything else changed (or the queue cannot be read).
    static const QByteArray diario = QByteArray(ARQUIVO_BANCO) + "-journal";
    alignas(inotify_event) char eventos[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, eventos, sizeof eventos);
        if (n < 0 && errno == EAGAIN)
            return true;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(eventos + i);
            if (e->wd != dados_ || e->len == 0 || diario != e->name) {
                desarma();
                return false;
            }
            i += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
    desarma();
#else
    Q_UNUSED(caminhoAberto);
#endif
    return false;
}

void Vigia::desarma()
{
#ifdef Q_OS_LINUX
    if (fd_ >= 0)
        ::close(fd_);
#endif
    fd_ = -1;
    caminho_.clear();
}

namespace Banco {

bool sistemaarquivoslocal(quint64 tipo)
{
    // The kernel's numbers for disks of this computer (fuse is left out: sshfs is one too).
    static const quint64 locais[] = {
        0xEF53,       // ext2, ext3, ext4
        0x58465342,   // xfs
        0x9123683E,   // btrfs
        0xF2F52010,   // f2fs
        0x3153464A,   // jfs
        0x52654973,   // reiserfs
        0x2FC12FC1,   // zfs
        0x01021994,   // tmpfs
        0x4D44,       // vfat
        0x2011BAB0,   // exfat
        0x7366746E,   // ntfs3
        0x794C7630,   // overlay
    };
    for (const quint64 l : locais)
        if (tipo == l)
            return true;
    return false;
}

bool vigiaconfiavel(const QString& pasta)
{
#ifdef Q_OS_LINUX
    struct statfs sf;
    return ::statfs(QFile::encodeName(pasta).constData(), &sf) == 0
           && sistemaarquivoslocal(quint64(std::make_unsigned_t<decltype(sf.f_type)>(sf.f_type)));
#else
    Q_UNUSED(pasta);
    return false;
#endif
}

}  // namespace Banco

}  // namespace tivane
