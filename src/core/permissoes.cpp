#include "core/permissoes.h"
#include "core/arquivobanco.h"
#include "core/registro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tivane {

namespace {

void (*g_avisoPastaInsegura)(const QString&) = nullptr;
// Data folders open to other accounts that the user has been told about.
QSet<QString> g_pastasAvisadas;

bool mesmaPasta(const QString& a, const QString& b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

#ifdef Q_OS_UNIX
// The access a database in this folder may have: the default folder is
// private; a folder chosen in the settings lends its group's read and write.
mode_t modoPermitido(const QString& pasta)
{
    mode_t modo = S_IRUSR | S_IWUSR;
    struct stat st;
    if (mesmaPasta(pasta, caminhoPadraoInicial()) || ::stat(QFile::encodeName(pasta).constData(), &st) != 0)
        return modo;
    if (st.st_mode & S_IRGRP)
        modo |= S_IRGRP;
    if (st.st_mode & S_IWGRP)
        modo |= S_IWGRP;
    return modo;
}

enum class Tipo { Arquivo, Pasta };

// Takes away every bit outside `permitido`; never adds one, never follows a
// link, never touches what another account owns, nor anything but a regular
// file or a folder (as asked) that stands at the path.
void restringe(const QString& caminho, mode_t permitido, Tipo tipo)
{
    struct stat st;
    const QByteArray c = QFile::encodeName(caminho);
    if (::lstat(c.constData(), &st) != 0 || st.st_uid != ::geteuid()
        || !(tipo == Tipo::Pasta ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)))
        return;
    const mode_t atual = st.st_mode & 07777;
    if ((atual & permitido) != atual)
        ::chmod(c.constData(), atual & permitido);
}

// Takes others' write access from a data folder of this account (only looks when
// muda is false); false when others may still write in it.
bool fechapasta(const QString& pasta, bool muda = true)
{
    const QByteArray c = QFile::encodeName(pasta);
    struct stat st;
    if (::stat(c.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || !(st.st_mode & S_IWOTH))
        return true;
    // A shared folder with the sticky bit (such as /tmp) belongs to everyone: it is never changed.
    return muda && st.st_uid == ::geteuid() && !(st.st_mode & S_ISVTX)
           && ::chmod(c.constData(), (st.st_mode & 07777) & ~S_IWOTH) == 0
           // Some file systems (network shares) accept the change and keep the old mode.
           && ::stat(c.constData(), &st) == 0 && !(st.st_mode & S_IWOTH);
}
#endif

}  // namespace

namespace Banco {

void protegearquivos()
{
#ifdef Q_OS_UNIX
    ::umask(S_IRWXG | S_IRWXO);
    const QString padrao = caminhoPadraoInicial();
    restringe(padrao, S_IRWXU, Tipo::Pasta);
    // Read without retornacaminhopadrao: writing the default now would hide a first run.
    const QString escolhida = lertextopadrao(QStringLiteral("caminhopadrao"));
    const QString pasta = escolhida.isEmpty() ? padrao : escolhida;
    QStringList pastas{pasta};
    if (!mesmaPasta(pasta, padrao))
        pastas << padrao;
    for (const QString& p : pastas) {
        const mode_t permitido = modoPermitido(p);
        for (const char* sufixo : {"", "-journal"})
            restringe(QDir(p).filePath(QString::fromLatin1(ARQUIVO_BANCO) + QLatin1String(sufixo)), permitido,
                      Tipo::Arquivo);
    }
    // Nobody is told here: the first operation tells, once a window can.
    fechapasta(pasta);
    for (const QString& arquivo : arquivosconfiguracao()) {
        restringe(arquivo, S_IRUSR | S_IWUSR, Tipo::Arquivo);
        restringe(QFileInfo(arquivo).absolutePath(), S_IRWXU, Tipo::Pasta);
    }
#endif
}

bool protegepastadados(const QString& pasta)
{
#ifdef Q_OS_UNIX
    // A folder already told about could not be changed: every operation looks at it
    // again, but tries no change (on a network share each try goes to the server).
    const QString chave = QDir::cleanPath(QFileInfo(pasta).absoluteFilePath());
    const bool avisada = g_pastasAvisadas.contains(chave);
    if (fechapasta(pasta, !avisada))
        return true;
    if (g_avisoPastaInsegura && !avisada) {
        g_pastasAvisadas.insert(chave);
        g_avisoPastaInsegura(QDir::toNativeSeparators(chave));
    }
    return false;
#else
    Q_UNUSED(pasta);
    return true;
#endif
}

void defineAvisoPastaInsegura(void (*aviso)(const QString& pasta))
{
    g_avisoPastaInsegura = aviso;
}

void protegebanconovo(const QString& caminho)
{
#ifdef Q_OS_UNIX
    ::chmod(QFile::encodeName(caminho).constData(), modoPermitido(QFileInfo(caminho).absolutePath()));
#else
    Q_UNUSED(caminho);
#endif
}

}  // namespace Banco

}  // namespace tivane
