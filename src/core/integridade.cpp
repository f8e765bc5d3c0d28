#include "core/integridade.h"
#include "core/conexao.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QStringList>
#include <QtEndian>
#include <sqlcipher/sqlite3.h>

namespace tivane {

namespace {

VerificacaoBanco resultado(EstadoBanco estado, const QString& motivo)
{
    return VerificacaoBanco{estado, motivo};
}

// What a failing result code says about the file.
VerificacaoBanco porCodigo(int codigo)
{
    switch (codigo & 0xFF) {
    case SQLITE_NOTADB:
        return resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo não é um banco de dados do Tivane Dízimos "
                                                               "(não abre com a senha do sistema)"));
    case SQLITE_CORRUPT:
        return resultado(EstadoBanco::Danificado, QStringLiteral("o arquivo está danificado"));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return resultado(EstadoBanco::Ilegivel, QStringLiteral("o arquivo está em uso por outro programa"));
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return resultado(EstadoBanco::Ilegivel, QStringLiteral("não há permissão para ler o arquivo"));
    case SQLITE_IOERR:
        return resultado(EstadoBanco::Ilegivel, QStringLiteral("houve um erro de leitura no disco"));
    case SQLITE_NOMEM:
        return resultado(EstadoBanco::Ilegivel, QStringLiteral("falta memória para ler o arquivo"));
    default:
        return resultado(EstadoBanco::Ilegivel, QStringLiteral("o arquivo não pôde ser lido (código %1)").arg(codigo));
    }
}

// SQLCipher 3's page layout, as the program's files are written: 1024-byte
// pages, each ending in its IV and an HMAC-SHA1 of the page (IV included) and
// its number, keyed from the system's password and the salt that opens the file.
constexpr int PAGINA = 1024;
constexpr int SAL = 16;
constexpr int VI = 16;
constexpr int RESERVA = 48;
constexpr int MAC = 20;

QByteArray pbkdf2(const QByteArray& senha, const QByteArray& sal, int rodadas, int tamanho)
{
    QByteArray chave;
    for (quint32 bloco = 1; chave.size() < tamanho; ++bloco) {
        QByteArray numero(4, '\0');
        qToBigEndian(bloco, numero.data());
        QMessageAuthenticationCode mac(QCryptographicHash::Sha1, senha);
        mac.addData(sal + numero);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < rodadas; ++i) {
            u = QMessageAuthenticationCode::hash(u, senha, QCryptographicHash::Sha1);
            for (int j = 0; j < t.size(); ++j)
                t[j] = char(t[j] ^ u[j]);
        }
        chave += t;
    }
    return chave.left(tamanho);
}

// Whether pages after the first carry the program's seal: the file is ours
// (the system's password opens it) and only its first page is damaged.
bool paginasSeladas(const QString& caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 2 * PAGINA)
        return false;
    const QByteArray sal = f.read(SAL);
    const QByteArray chave = pbkdf2(QByteArray(SENHA_BANCO), sal, 64000, 32);
    QByteArray salmac = sal;
    for (char& c : salmac)
        c = char(c ^ 0x3a);
    const QByteArray chavemac = pbkdf2(chave, salmac, 2, 32);
    const int paginas = int(qMin<qint64>(f.size() / PAGINA, 8));
    for (int n = 2; n <= paginas; ++n) {
        if (!f.seek(qint64(n - 1) * PAGINA))
            return false;
        const QByteArray pagina = f.read(PAGINA);
        if (pagina.size() != PAGINA)
            return false;
        const int selado = PAGINA - RESERVA + VI;
        QByteArray numero(4, '\0');
        qToLittleEndian(quint32(n), numero.data());
        QMessageAuthenticationCode mac(QCryptographicHash::Sha1, chavemac);
        mac.addData(pagina.left(selado) + numero);
        if (mac.result() == pagina.mid(selado, MAC))
            return true;
    }
    return false;
}

struct Conexao {
    sqlite3* db = nullptr;
    ~Conexao() { sqlite3_close(db); }
};

// Runs a statement whose rows are single texts; the rows, or the failing code.
int linhas(sqlite3* db, const char* sql, QStringList& saida)
{
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            saida << QString::fromUtf8(t ? t : "");
        }
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace

VerificacaoBanco verificabanco(const QString& caminho, bool completa)
{
    const QFileInfo fi(caminho);
    if (!fi.exists())
        return resultado(EstadoBanco::Ausente, QStringLiteral("o arquivo não existe"));
    if (!fi.isFile())
        return resultado(EstadoBanco::Estranho, QStringLiteral("o caminho não é um arquivo"));
    if (fi.size() == 0)
        return resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo está vazio"));
    {
        QFile f(caminho);
        if (!f.open(QIODevice::ReadOnly))
            return resultado(EstadoBanco::Ilegivel, QStringLiteral("não há permissão para ler o arquivo"));
        // A plain SQLite file is another program's: ours are always encrypted.
        if (f.read(16) == QByteArray("SQLite format 3\0", 16))
            return resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo é um banco de dados de outro programa "
                                                                   "(não está cifrado)"));
    }

    Conexao c;
    int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &c.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        return porCodigo(rc);
    Banco::aplicachave(c.db);
    sqlite3_busy_timeout(c.db, 3000);
    // Older files name the collation in their indexes; the check fails without it.
    Banco::registradobra(c.db);

    QStringList tabelas;
    rc = linhas(c.db,
                "SELECT lower(name) FROM sqlite_master WHERE type = 'table'"
                " AND lower(name) IN ('dizimistas', 'usuarios', 'pagamentos', 'igreja')",
                tabelas);
    // The first page does not open, yet the others carry our seal: damaged, not another program's.
    if ((rc & 0xFF) == SQLITE_NOTADB && paginasSeladas(caminho))
        return resultado(EstadoBanco::Danificado,
                         QStringLiteral("o arquivo está danificado (a primeira página não pode ser lida)"));
    if (rc != SQLITE_OK)
        return porCodigo(rc);
    QStringList faltam;
    for (const char* t : {"dizimistas", "usuarios", "pagamentos", "igreja"})
        if (!tabelas.contains(QLatin1String(t)))
            faltam << QLatin1String(t);
    if (!faltam.isEmpty())
        return resultado(EstadoBanco::Estranho,
                         QStringLiteral("o arquivo não é um banco de dados do Tivane Dízimos (faltam as tabelas %1)")
                             .arg(faltam.join(QStringLiteral(", "))));

    QStringList problemas;
    rc = linhas(c.db, completa ? "PRAGMA integrity_check(20);" : "PRAGMA quick_check(20);", problemas);
    if (rc != SQLITE_OK)
        return porCodigo(rc);
    if (problemas != QStringList{QStringLiteral("ok")}) {
        const QString quantos = problemas.size() >= 20 ? QStringLiteral("20 ou mais") : QString::number(problemas.size());
        return resultado(EstadoBanco::Danificado,
                         QStringLiteral("o arquivo está danificado (a verificação apontou %1 problema(s))").arg(quantos));
    }
    return {};
}

}  // namespace tivane
