#include "shell/backup.h"

#include "core/conexao.h"
#include "core/integridade.h"
#include "core/resultado.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <sqlcipher/sqlite3.h>
#include <thread>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tivane {

namespace {

// Large blocks: a 1 GB file copies in seconds, not in a million small writes.
constexpr qint64 BLOCO = 4 * 1024 * 1024;

// Privado: the temporary copy on this computer's own disk.
enum class Lado { Origem, Destino, Privado };

// The cause of a failed system call, as the user can act on it.
QString causa(int erro, Lado lado)
{
    const bool origem = lado == Lado::Origem;
    if (lado == Lado::Privado) {
        if (erro == ENOSPC || erro == EDQUOT || erro == EFBIG)
            return QStringLiteral("não há espaço neste computador para a cópia temporária do banco de dados");
        return QStringLiteral("não foi possível gravar a cópia temporária do banco de dados neste computador "
                              "(erro %1 do sistema: %2)")
            .arg(erro)
            .arg(QString::fromLocal8Bit(std::strerror(erro)));
    }
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

ResultadoCopia feita(qint64 tamanho)
{
    ResultadoCopia r;
    r.ok = true;
    r.tamanho = tamanho;
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

namespace {

// Copies every byte of origem, read from its start without moving its file position, onto the
// end of destino: in the kernel when it can, else through a buffer. The bytes copied, or -1 with
// errno set and lado telling which side failed.
qint64 copiaBytes(int origem, int destino, Lado ladoDestino, const AndamentoCopia& andamento, Lado& lado)
{
    qint64 copiados = 0;
    loff_t posicao = 0;
    // Between two file systems that cannot copy in the kernel, through a buffer.
    bool noNucleo = true;
    QByteArray bloco;
    for (;;) {
        ssize_t n;
        if (noNucleo) {
            n = ::copy_file_range(origem, &posicao, destino, nullptr, static_cast<size_t>(BLOCO), 0);
            if (n < 0 && copiados == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                noNucleo = false;
                continue;
            }
        } else {
            if (bloco.isEmpty())
                bloco.resize(static_cast<int>(BLOCO));
            n = ::pread(origem, bloco.data(), static_cast<size_t>(BLOCO), posicao);
            if (n > 0 && !escreveTudo(destino, bloco.constData(), n)) {
                lado = ladoDestino;
                return -1;
            }
            if (n > 0)
                posicao += n;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // In the kernel either side may fail; a full or read-only disk can only be the destination.
            const int erro = errno;
            lado = erro == ENOSPC || erro == EDQUOT || erro == EFBIG || erro == EROFS ? ladoDestino : Lado::Origem;
            errno = erro;
            return -1;
        }
        if (n == 0)
            return copiados;
        copiados += n;
        if (andamento)
            andamento(copiados);
    }
}

// A file copied byte for byte into a hidden temporary file beside its target and flushed to
// disk, not yet under the target's name: conclui() renames it over the target, so the target
// is always either the old file or the whole new one. Dropped without conclui(), it is removed.
class CopiaPreparada {
public:
    CopiaPreparada() = default;
    CopiaPreparada(const CopiaPreparada&) = delete;
    CopiaPreparada& operator=(const CopiaPreparada&) = delete;
    ~CopiaPreparada()
    {
        if (!temporario_.isEmpty())
            ::unlink(temporario_.constData());
    }

    ResultadoCopia prepara(const QString& origem, const QString& destino, const AndamentoCopia& andamento)
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

        // In the destination folder, so the rename stays on one disk.
        const QFileInfo alvo(destino);
        removesobras(alvo.absolutePath());
        QByteArray modelo = QFile::encodeName(alvo.absolutePath() + QStringLiteral("/.") + alvo.fileName()
                                              + QStringLiteral(".copia-XXXXXX"));
        Descritor fd;
        fd.fd = ::mkostemp(modelo.data(), O_CLOEXEC);
        if (fd.fd < 0)
            return falha(causa(errno, Lado::Destino));
        temporario_ = modelo;
        destino_ = destino;

        // A replaced file keeps its permissions; a new copy is readable by its owner only.
        struct stat anterior;
        if (::stat(QFile::encodeName(destino).constData(), &anterior) == 0)
            ::fchmod(fd.fd, anterior.st_mode & 07777);

        Lado lado = Lado::Destino;
        const qint64 copiados = copiaBytes(fo.fd, fd.fd, Lado::Destino, andamento, lado);
        if (copiados < 0)
            return falha(causa(errno, lado));
        if (copiados != total)
            return falha(copiados < total ? QStringLiteral("o arquivo de origem terminou antes do fim esperado "
                                                           "(o drive foi removido?)")
                                          : QStringLiteral("o arquivo de origem mudou durante a cópia"));
        // On disk before the name points at it: a power cut leaves the old file or the whole new one.
        if (::fsync(fd.fd) != 0)
            return falha(causa(errno, Lado::Destino));
        if (fd.fecha() != 0)
            return falha(causa(errno, Lado::Destino));
        tamanho_ = total;
        return feita(total);
    }

    ResultadoCopia conclui()
    {
        // A journal beside the target belongs to the file being replaced; applied to the new one it would damage it.
        const QByteArray diario = QFile::encodeName(destino_ + QStringLiteral("-journal"));
        if (::unlink(diario.constData()) != 0 && errno != ENOENT)
            return falha(causa(errno, Lado::Destino));
        if (::rename(temporario_.constData(), QFile::encodeName(destino_).constData()) != 0)
            return falha(causa(errno, Lado::Destino));
        temporario_.clear();
        Descritor pasta;
        pasta.fd = ::open(QFile::encodeName(QFileInfo(destino_).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (pasta.fd >= 0)
            ::fsync(pasta.fd);   // the rename itself; some removable file systems cannot, and the file is already whole
        return feita(tamanho_);
    }

private:
    const CopiaEmAndamento emAndamento_;   // its temporary file is not a leftover
    QByteArray temporario_;
    QString destino_;
    qint64 tamanho_ = 0;
};

}  // namespace

// Never the data folder (maybe another computer's, over the network) nor the chosen drive.
QString pastacopiasprivadas()
{
    QString p = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (p.isEmpty())
        p = QDir::tempPath() + QStringLiteral("/tivane-") + QString::number(::getuid());
    p += QStringLiteral("/copias");
    QDir().mkpath(p);
    ::chmod(QFile::encodeName(p).constData(), 0700);
    return p;
}

namespace {

// The private copy of the file to check: made, checked and copied on, then removed, whatever way it ends.
struct CopiaPrivada {
    const CopiaEmAndamento emAndamento;   // its file is not a leftover of a killed run
    QByteArray caminho;
    Descritor fd;
    EstadoArquivo estado;   // the live file's, while it was copied under the engine's lock
    ~CopiaPrivada()
    {
        fd.fecha();
        if (!caminho.isEmpty())
            ::unlink(caminho.constData());
    }
    QString arquivo() const { return QFile::decodeName(caminho); }

    // A hidden file of this account alone (0600), named like the copies' leftovers so one left by a killed run goes the same way.
    bool cria(QString* motivo)
    {
        const QString pasta = pastacopiasprivadas();
        removesobras(pasta);
        QByteArray modelo = QFile::encodeName(pasta + QStringLiteral("/.") + QString::fromLatin1(ARQUIVO_BANCO)
                                              + QStringLiteral(".copia-XXXXXX"));
        fd.fd = ::mkostemp(modelo.data(), O_CLOEXEC);
        if (fd.fd < 0) {
            *motivo = causa(errno, Lado::Privado);
            return false;
        }
        caminho = modelo;
        return true;
    }
};

// How long a snapshot waits for another computer's write to end before it gives up.
constexpr int ESPERA_INSTANTANEO_MS = 20000;

// The live database as one committed state, copied into the private file: under a read of a
// connection of its own, whose shared lock keeps every writer (this program's or another
// computer's) from committing until the copy ends, and no longer. The bytes are read through
// the engine's own descriptor: closing one of ours would drop the engine's locks.
ResultadoCopia instantaneo(const QString& banco, CopiaPrivada& copia, const AndamentoCopia& andamento)
{
    QString motivo;
    if (!copia.cria(&motivo))
        return falha(motivo);
    sqlite3* db = nullptr;
    struct Fecha {
        sqlite3*& db;
        ~Fecha()
        {
            if (db && !sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
    } fecha{db};
    // Read-write without create: a write cut short by a crash is undone before the read.
    int rc = sqlite3_open_v2(QFile::encodeName(banco).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK && !Banco::aplicachave(db))
        rc = SQLITE_ERROR;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, ESPERA_INSTANTANEO_MS);
        rc = sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        const int base = sqlite3_errcode(db) & 0xFF;
        if (base == SQLITE_BUSY || base == SQLITE_LOCKED)
            return falha(QStringLiteral("o banco de dados está sendo gravado por outro computador há mais de %1 segundos; "
                                        "tente de novo em instantes")
                             .arg(ESPERA_INSTANTANEO_MS / 1000));
        return falha(QStringLiteral("o banco de dados não pôde ser lido (%1)")
                         .arg(QString::fromUtf8(sqlite3_errmsg(db))));
    }
    copia.estado = estadoarquivo(banco);
    Lado lado = Lado::Privado;
    qint64 copiados;
    const int fd = descritordobanco(db, banco);
    if (fd >= 0) {
        copiados = copiaBytes(fd, copia.fd.fd, Lado::Privado, andamento, lado);
    } else {
        // No descriptor to be had: the engine's own reads, block by block.
        sqlite3_file* arquivo = nullptr;
        sqlite3_int64 tamanho = 0;
        if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &arquivo) != SQLITE_OK || !arquivo
            || arquivo->pMethods->xFileSize(arquivo, &tamanho) != SQLITE_OK)
            return falha(QStringLiteral("o banco de dados não pôde ser lido"));
        QByteArray bloco(int(BLOCO), Qt::Uninitialized);
        for (copiados = 0; copiados < tamanho;) {
            const int n = int(qMin<qint64>(BLOCO, tamanho - copiados));
            if (arquivo->pMethods->xRead(arquivo, bloco.data(), n, copiados) != SQLITE_OK)
                return falha(causa(EIO, Lado::Origem));
            if (!escreveTudo(copia.fd.fd, bloco.constData(), n))
                return falha(causa(errno, Lado::Privado));
            copiados += n;
            if (andamento)
                andamento(copiados);
        }
    }
    if (copiados < 0)
        return falha(causa(errno, lado));
    return feita(copiados);
}

// A file nobody writes (a backup to restore), copied as it is into the private file.
ResultadoCopia copiaparaprivada(const QString& origem, CopiaPrivada& copia, const AndamentoCopia& andamento)
{
    QString motivo;
    if (!copia.cria(&motivo))
        return falha(motivo);
    Descritor fo;
    fo.fd = ::open(QFile::encodeName(origem).constData(), O_RDONLY | O_CLOEXEC);
    if (fo.fd < 0)
        return falha(causa(errno, Lado::Origem));
    Lado lado = Lado::Privado;
    const qint64 copiados = copiaBytes(fo.fd, copia.fd.fd, Lado::Privado, andamento, lado);
    if (copiados < 0)
        return falha(causa(errno, lado));
    return feita(copiados);
}

}  // namespace

ResultadoCopia copiaarquivo(const QString& origem, const QString& destino, const AndamentoCopia& andamento)
{
    CopiaPreparada copia;
    const ResultadoCopia r = copia.prepara(origem, destino, andamento);
    return r.ok ? copia.conclui() : r;
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
    // The whole name: "$" alone would also take one that ends in a newline.
    static const QRegularExpression padrao(QRegularExpression::anchoredPattern(
        QStringLiteral("\\.") + QRegularExpression::escape(QLatin1String(ARQUIVO_BANCO))
        + QStringLiteral("\\.copia-[A-Za-z0-9]{6}")));
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

    // First a private copy on this computer's disk: of the live file, one committed state taken
    // under the engine's lock, which other computers' writes wait for only as long as this copy;
    // of a backup to restore, the file as it is. The copy is checked, not the file it came from,
    // and it is what reaches the destination, so what is checked is what is kept.
    CopiaPrivada privada;
    ResultadoCopia lida;
    {
        ControleVerificacao c;
        c.total = fo.size();
        const AndamentoCopia andamento = [&c](qint64 copiados) { c.feitos = copiados; };
        // Opening finishes or undoes a write that was interrupted. Best effort: the snapshot's
        // own connection does the same and says why when the file cannot be opened.
        if (!restaura)
            dispensaresultado(Banco::conecta());
        executa(acompanhamento, restaura ? EtapaCopia::LeBackup : EtapaCopia::Instantaneo, c, [&] {
            lida = restaura ? copiaparaprivada(r.origem, privada, andamento) : instantaneo(r.origem, privada, andamento);
        });
    }
    if (!lida.ok)
        return termina(FimCopia::Falhou, lida.motivo);

    // The check, with the copy to the destination's folder running meanwhile under a temporary name.
    // A copy of the live file in a state that already passed a check is not read again.
    CopiaPreparada preparada;
    ResultadoCopia enviada;
    ControleVerificacao envio;
    envio.total = lida.tamanho;
    std::thread copia;
    const auto envia = [&] {
        if (!copia.joinable())
            copia = std::thread([&] {
                enviada = preparada.prepara(privada.arquivo(), r.destino,
                                            [&envio](qint64 copiados) { envio.feitos = copiados; });
            });
    };
    const bool jaboa = !restaura && javerificado(r.origem, privada.estado);
    VerificacaoBanco v;
    if (!jaboa) {
        ControleVerificacao c;
        executa(acompanhamento, restaura ? EtapaCopia::VerificaBackup : EtapaCopia::VerificaBanco, c, [&] {
            envia();
            v = verificaarquivo(privada.arquivo(), &c);
        });
    }
    executa(acompanhamento, EtapaCopia::Copia, envio, [&] {
        envia();
        copia.join();
    });

    if (restaura && v.estado != EstadoBanco::Bom)
        return termina(FimCopia::BackupRecusado, v.motivo);
    if (!enviada.ok)
        return termina(FimCopia::Falhou, enviada.motivo);
    if (!restaura && !jaboa && v.estado == EstadoBanco::Bom)
        marcaverificado(r.origem, privada.estado);
    if (v.estado != EstadoBanco::Bom && !confirma(PerguntaCopia::BancoComProblemas, v.motivo))
        return termina(FimCopia::Desistiu);
    if (QFileInfo::exists(r.destino) && !confirma(PerguntaCopia::Substituir, r.destino))
        return termina(FimCopia::Desistiu);
    // The drive may have been taken out while a question was open.
    if (!acessivel(escolhida, unidades))
        return termina(FimCopia::DriveRetirado);

    // The program lets go of the file it replaces and takes the new one up after.
    if (restaura)
        Banco::closeAll();
    const ResultadoCopia concluida = preparada.conclui();
    QString erro;
    if (restaura)
        r.reaberto = Banco::conecta(&erro);
    if (!concluida.ok)
        return termina(FimCopia::Falhou, concluida.motivo);
    r.tamanho = concluida.tamanho;
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
