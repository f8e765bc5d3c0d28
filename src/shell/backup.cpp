#include "shell/backup.h"

#include "core/conexao.h"
#include "core/integridade.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tivane {

namespace {

// Large blocks: a 1 GB file copies in seconds, not in a million small writes.
constexpr qint64 BLOCO = 4 * 1024 * 1024;

enum class Lado { Origem, Destino };

// The cause of a failed system call, as the user can act on it.
QString causa(int erro, Lado lado)
{
    const bool origem = lado == Lado::Origem;
    switch (erro) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("o disco de destino está cheio");
    case EROFS:
        return origem ? QStringLiteral("o disco de origem permite somente leitura")
                      : QStringLiteral("o disco de destino permite somente leitura");
    case EACCES:
    case EPERM:
        return origem ? QStringLiteral("não há permissão para ler o arquivo de origem")
                      : QStringLiteral("a pasta de destino não permite gravação");
    case ENOENT:
    case ENOTDIR:
        return origem ? QStringLiteral("o arquivo de origem não foi encontrado")
                      : QStringLiteral("a pasta de destino não existe mais (o drive foi removido?)");
    case EISDIR:
        return QStringLiteral("o destino é uma pasta");
    case EIO:
    case ENODEV:
    case ENXIO:
    case ESTALE:
        return QStringLiteral("houve um erro de leitura ou gravação no disco (o drive foi removido?)");
    default:
        return QStringLiteral("erro %1 do sistema (%2)").arg(erro).arg(QString::fromLocal8Bit(std::strerror(erro)));
    }
}

ResultadoCopia falha(const QString& motivo)
{
    ResultadoCopia r;
    r.motivo = motivo;
    return r;
}

// Closes a descriptor once, whatever way the copy leaves.
struct Descritor {
    int fd = -1;
    ~Descritor() { fecha(); }
    int fecha()
    {
        if (fd < 0)
            return 0;
        const int r = ::close(fd);
        fd = -1;
        return r;
    }
};

bool escreveTudo(int fd, const char* dados, qint64 n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, dados, static_cast<size_t>(n));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        dados += w;
        n -= w;
    }
    return true;
}

// The real path of a file that may not exist yet: its folder resolved, then its name.
QString caminhoReal(const QString& caminho)
{
    const QFileInfo fi(caminho);
    const QString arquivo = fi.canonicalFilePath();
    if (!arquivo.isEmpty())
        return arquivo;
    const QString pasta = QFileInfo(fi.absolutePath()).canonicalFilePath();
    if (pasta.isEmpty())
        return QDir::cleanPath(fi.absoluteFilePath());
    return pasta + QLatin1Char('/') + fi.fileName();
}

std::function<QStringList()>& fonteUnidades()
{
    static std::function<QStringList()> f;
    return f;
}

QStringList unidadesReais()
{
    static const QList<QByteArray> pseudo = {"tmpfs", "devtmpfs", "ramfs", "proc", "sysfs", "overlay", "squashfs",
                                              "autofs", "devpts", "cgroup", "cgroup2", "fuse.snapfuse", "efivarfs"};
    QStringList outras;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QString raiz = v.rootPath();
        const QByteArray dispositivo = v.device();
        if (!v.isValid() || !v.isReady() || raiz == QLatin1String("/"))
            continue;
        // Real block devices only: loop images are snaps and system images, not drives.
        if (!dispositivo.startsWith("/dev/") || dispositivo.startsWith("/dev/loop"))
            continue;
        if (pseudo.contains(v.fileSystemType()) || raiz.startsWith(QLatin1String("/snap/"))
            || raiz.startsWith(QLatin1String("/boot")) || !QFileInfo(raiz).isDir())
            continue;
        if (!outras.contains(raiz))
            outras << raiz;
    }
    outras.sort();
    return QStringList{QStringLiteral("/")} + outras;
}

// Copies of this program in progress, by the time each began: their temporary files are not leftovers.
QMutex g_copiasMutex;
QList<qint64> g_copias;

struct CopiaEmAndamento {
    qint64 inicio = QDateTime::currentMSecsSinceEpoch();
    CopiaEmAndamento()
    {
        QMutexLocker t(&g_copiasMutex);
        g_copias << inicio;
    }
    ~CopiaEmAndamento()
    {
        QMutexLocker t(&g_copiasMutex);
        g_copias.removeOne(inicio);
    }
};

quint64 dispositivo(const QString& caminho)
{
    struct stat st;
    return ::stat(QFile::encodeName(caminho).constData(), &st) == 0 ? static_cast<quint64>(st.st_dev) : 0;
}

bool acessivel(const QString& pasta, const QVector<UnidadeListada>& unidades)
{
    return unidades.isEmpty() || aindanaunidade(pasta, unidades);
}

void executa(const AcompanhamentoCopia& a, EtapaCopia etapa, const ControleVerificacao& c,
             const std::function<void()>& trabalho)
{
    if (a.executa)
        a.executa(etapa, c, trabalho);
    else
        trabalho();
}

}  // namespace

ResultadoCopia copiaarquivo(const QString& origem, const QString& destino, const AndamentoCopia& andamento)
{
    Descritor fo;
    fo.fd = ::open(QFile::encodeName(origem).constData(), O_RDONLY | O_CLOEXEC);
    if (fo.fd < 0)
        return falha(causa(errno, Lado::Origem));
    struct stat st;
    if (::fstat(fo.fd, &st) != 0)
        return falha(causa(errno, Lado::Origem));
    if (!S_ISREG(st.st_mode))
        return falha(QStringLiteral("a origem não é um arquivo"));
    const qint64 total = static_cast<qint64>(st.st_size);
    if (QFileInfo(destino).isDir())
        return falha(causa(EISDIR, Lado::Destino));

    // A hidden temporary file in the destination folder, so the rename stays on one disk.
    const QFileInfo alvo(destino);
    const CopiaEmAndamento emAndamento;
    removesobras(alvo.absolutePath());
    QByteArray modelo = QFile::encodeName(alvo.absolutePath() + QStringLiteral("/.") + alvo.fileName()
                                          + QStringLiteral(".copia-XXXXXX"));
    Descritor fd;
    fd.fd = ::mkostemp(modelo.data(), O_CLOEXEC);
    if (fd.fd < 0)
        return falha(causa(errno, Lado::Destino));
    const QByteArray temporario = modelo;
    struct Limpeza {
        const QByteArray& nome;
        bool manter = false;
        ~Limpeza()
        {
            if (!manter)
                ::unlink(nome.constData());
        }
    } limpeza{temporario};

    // A replaced file keeps its permissions; a new copy is readable by its owner only.
    struct stat anterior;
    if (::stat(QFile::encodeName(destino).constData(), &anterior) == 0)
        ::fchmod(fd.fd, anterior.st_mode & 07777);

    qint64 copiados = 0;
    // In the kernel when it can; between two file systems that cannot, through a buffer.
    bool noNucleo = true;
    QByteArray bloco;
    for (;;) {
        ssize_t n;
        if (noNucleo) {
            n = ::copy_file_range(fo.fd, nullptr, fd.fd, nullptr, static_cast<size_t>(BLOCO), 0);
            if (n < 0 && copiados == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                noNucleo = false;
                continue;
            }
        } else {
            if (bloco.isEmpty())
                bloco.resize(static_cast<int>(BLOCO));
            n = ::read(fo.fd, bloco.data(), static_cast<size_t>(BLOCO));
            if (n > 0 && !escreveTudo(fd.fd, bloco.constData(), n))
                return falha(causa(errno, Lado::Destino));
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // In the kernel either side may fail; a full or read-only disk can only be the destination.
            const int erro = errno;
            const bool destino = erro == ENOSPC || erro == EDQUOT || erro == EFBIG || erro == EROFS;
            return falha(causa(erro, destino ? Lado::Destino : Lado::Origem));
        }
        if (n == 0)
            break;
        copiados += n;
        if (andamento)
            andamento(copiados);
    }
    if (copiados != total)
        return falha(copiados < total ? QStringLiteral("o arquivo de origem terminou antes do fim esperado "
                                                       "(o drive foi removido?)")
                                      : QStringLiteral("o arquivo de origem mudou durante a cópia"));
    // On disk before the name points at it: a power cut leaves the old file or the whole new one.
    if (::fsync(fd.fd) != 0)
        return falha(causa(errno, Lado::Destino));
    if (fd.fecha() != 0)
        return falha(causa(errno, Lado::Destino));
    // A journal beside the target belongs to the file being replaced; applied to the new one it would damage it.
    const QByteArray diario = QFile::encodeName(destino + QStringLiteral("-journal"));
    if (::unlink(diario.constData()) != 0 && errno != ENOENT)
        return falha(causa(errno, Lado::Destino));
    if (::rename(temporario.constData(), QFile::encodeName(destino).constData()) != 0)
        return falha(causa(errno, Lado::Destino));
    limpeza.manter = true;
    Descritor pasta;
    pasta.fd = ::open(QFile::encodeName(alvo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (pasta.fd >= 0)
        ::fsync(pasta.fd);   // the rename itself; some removable file systems cannot, and the file is already whole

    ResultadoCopia r;
    r.ok = true;
    r.tamanho = total;
    return r;
}

void removesobras(const QString& pasta)
{
    qint64 limite = QDateTime::currentMSecsSinceEpoch();
    {
        QMutexLocker t(&g_copiasMutex);
        for (qint64 inicio : g_copias)
            limite = qMin(limite, inicio);
    }
    limite -= 60 * 1000;
    static const QRegularExpression padrao(QStringLiteral("^\\.") + QRegularExpression::escape(QLatin1String(ARQUIVO_BANCO))
                                           + QStringLiteral("\\.copia-[A-Za-z0-9]{6}$"));
    const QDir d(pasta);
    for (const QString& nome : d.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort)) {
        if (!padrao.match(nome).hasMatch())
            continue;
        const QByteArray caminho = QFile::encodeName(d.filePath(nome));
        struct stat st;
        if (::lstat(caminho.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const qint64 alterado = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        if (alterado < limite)
            ::unlink(caminho.constData());
    }
}

QVector<UnidadeListada> retratounidades(const QStringList& raizes)
{
    QVector<UnidadeListada> r;
    for (const QString& raiz : raizes)
        r.append({raiz, dispositivo(raiz)});
    return r;
}

bool aindanaunidade(const QString& pasta, const QVector<UnidadeListada>& unidades)
{
    const QString alvo = QDir::cleanPath(QFileInfo(pasta.trimmed()).absoluteFilePath());
    const UnidadeListada* unidade = nullptr;
    int maior = -1;
    for (const UnidadeListada& u : unidades) {
        const QString raiz = QDir::cleanPath(u.raiz);
        const bool leva = raiz == QLatin1String("/") || alvo == raiz || alvo.startsWith(raiz + QLatin1Char('/'));
        if (leva && raiz.size() > maior) {
            unidade = &u;
            maior = int(raiz.size());
        }
    }
    if (!unidade)
        return true;   // typed by hand, outside every listed drive
    return unidade->dispositivo != 0 && dispositivo(unidade->raiz) == unidade->dispositivo;
}

bool mesmoarquivo(const QString& a, const QString& b)
{
    const QString x = a.trimmed(), y = b.trimmed();
    if (x.isEmpty() || y.isEmpty())
        return false;
    struct stat sa, sb;
    if (::stat(QFile::encodeName(x).constData(), &sa) == 0 && ::stat(QFile::encodeName(y).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino)
        return true;
    return caminhoReal(x) == caminhoReal(y);
}

QString textotamanho(qint64 bytes)
{
    return QString::number(bytes) + QStringLiteral(" bytes");
}

QString caminhoescolhido(const QString& pasta)
{
    QString p = pasta.trimmed();
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p + QString::fromLatin1(ARQUIVO_BANCO);
}

ResultadoBackup copiabanco(ModoBackup modo, const QString& pasta, const QVector<UnidadeListada>& unidades,
                           const AcompanhamentoCopia& acompanhamento)
{
    ResultadoBackup r;
    const auto termina = [&r](FimCopia fim, const QString& motivo = {}) {
        r.fim = fim;
        r.motivo = motivo;
        return r;
    };
    const auto confirma = [&acompanhamento](PerguntaCopia p, const QString& sobre) {
        return acompanhamento.confirma && acompanhamento.confirma(p, sobre);
    };
    if (pasta.trimmed().isEmpty())
        return termina(FimCopia::NadaEscolhido);
    const QString banco = Banco::caminhoArquivo();
    const QString escolhido = caminhoescolhido(pasta);
    if (mesmoarquivo(banco, escolhido))
        return termina(FimCopia::MesmoArquivo);
    const bool restaura = modo == ModoBackup::Restauracao;
    r.origem = restaura ? escolhido : banco;
    r.destino = restaura ? banco : escolhido;

    const QFileInfo fo(r.origem);
    // The side the user chose: the source of a restore, the destination of a backup.
    const QString escolhida = restaura ? fo.absolutePath() : QFileInfo(r.destino).absolutePath();
    if (!acessivel(escolhida, unidades))
        return termina(FimCopia::DriveRetirado);
    if (!fo.exists() || fo.isDir())
        return termina(FimCopia::OrigemAusente);
    const QString pastadestino = QFileInfo(r.destino).absolutePath();
    if (restaura)
        QDir().mkpath(pastadestino);   // a data folder lost with its database
    if (!QFileInfo(pastadestino).isDir())
        return termina(FimCopia::PastaAusente, pastadestino);

    if (restaura) {
        ControleVerificacao c;
        VerificacaoBanco v;
        executa(acompanhamento, EtapaCopia::VerificaBackup, c, [&r, &v] { v = verificabanco(r.origem); });
        if (v.estado != EstadoBanco::Bom)
            return termina(FimCopia::BackupRecusado, v.motivo);
    } else {
        Banco::conecta();   // opening finishes or undoes a write that was interrupted
        // A file that passed a check and was not written since is not read again. The user
        // waits for this one: short pauses are enough for another computer's write to get in.
        ControleVerificacao c;
        c.pausaMs = 5;
        VerificacaoBanco v;
        if (!javerificado(r.origem))
            executa(acompanhamento, EtapaCopia::VerificaBanco, c, [&r, &v, &c] { v = verificaemfatias(r.origem, &c); });
        if (v.estado != EstadoBanco::Bom && !confirma(PerguntaCopia::BancoComProblemas, v.motivo))
            return termina(FimCopia::Desistiu);
    }

    if (QFileInfo::exists(r.destino) && !confirma(PerguntaCopia::Substituir, r.destino))
        return termina(FimCopia::Desistiu);
    // The drive may have been taken out while a question was open.
    if (!acessivel(escolhida, unidades))
        return termina(FimCopia::DriveRetirado);

    // Our own descriptor on the file would drop the connection's locks when closed:
    // the program lets go of the file for the copy and takes it up again after.
    Banco::closeAll();
    ControleVerificacao c;
    c.total = fo.size();
    ResultadoCopia copia;
    executa(acompanhamento, EtapaCopia::Copia, c, [&] {
        copia = copiaarquivo(r.origem, r.destino, [&c](qint64 copiados) { c.feitos = copiados; });
    });
    QString erro;
    r.reaberto = Banco::conecta(&erro);
    if (!copia.ok)
        return termina(FimCopia::Falhou, copia.motivo);
    r.tamanho = copia.tamanho;
    return termina(FimCopia::Copiado, r.reaberto ? QString() : erro);
}

QStringList listaunidades()
{
    return fonteUnidades() ? fonteUnidades()() : unidadesReais();
}

void defineFonteUnidades(std::function<QStringList()> fonte)
{
    fonteUnidades() = std::move(fonte);
}

QString unidadenova(const QStringList& antes, const QStringList& agora)
{
    QString nova;
    for (const QString& u : agora)
        if (!antes.contains(u))
            nova = u;
    return nova;
}

QString pastabackupautomatico(const QString& unidade, const QDate& dia)
{
    QString raiz = unidade;
    if (!raiz.endsWith(QLatin1Char('/')))
        raiz += QLatin1Char('/');
    return raiz + QStringLiteral("backup") + dia.toString(QStringLiteral("ddMMyyyy"));
}

}  // namespace tivane
