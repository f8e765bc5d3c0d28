#include "core/conexao.h"
#include "core/dobra.h"
#include "core/errosbanco.h"
#include "core/migracao.h"
#include "core/permissoes.h"
#include "core/registro.h"
#include "core/vigia.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <sqlcipher/sqlite3.h>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace tivane {

namespace {

struct Conexao {
    sqlite3* db = nullptr;
    QString caminho;
    quint64 dispositivo = 0;
    quint64 inode = 0;
    quint64 geracao = 0;   // one more at each closeAll: statements of an older one are gone
    // Finished statements, reset, by their text: the next Consulta of the same
    // text takes one instead of compiling it again.
    QHash<QByteArray, sqlite3_stmt*> prontos;
};

// Enough for every statement text the program runs; texts made per value pass by.
constexpr int MAXIMO_PRONTOS = 128;

Conexao& cx()
{
    static Conexao c;
    return c;
}

struct Identidade {
    bool existe = false;
    bool semPermissao = false;   // the folder may not be entered: the file may well be there
    qint64 tamanho = 0;
    quint64 dispositivo = 0;
    quint64 inode = 0;
};

// One stat call: whether the file is there, its size and which file it is.
Identidade identidade(const QString& caminho)
{
    Identidade id;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(caminho).constData(), &st) != 0) {
        id.semPermissao = errno == EACCES;
        return id;
    }
    if (!S_ISREG(st.st_mode))
        return id;
    id.existe = true;
    id.tamanho = static_cast<qint64>(st.st_size);
    id.dispositivo = static_cast<quint64>(st.st_dev);
    id.inode = static_cast<quint64>(st.st_ino);
#else
    const QFileInfo fi(caminho);
    id.existe = fi.isFile();
    id.tamanho = fi.size();
#endif
    return id;
}

// Scopes alive now: a nested scope trusts the checks of the outer one.
int g_escopos = 0;

Vigia& vigia()
{
    static Vigia v;
    return v;
}

// How long a statement waits for another program's write to end.
int g_esperaOcupado = 3000;

// The file the last failure was about.
QString g_caminhoTentado;

// A failure in the program's words; what it says of the file is about the one tried last.
QString descricao(int codigo, sqlite3* db)
{
    return Banco::traduzerro(codigo, db, g_caminhoTentado);
}

void (*g_tratamentoAbertura)(const FalhaAbertura&) = nullptr;

bool executa(sqlite3* db, const char* sql, QString* causa = nullptr)
{
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &msg);
    sqlite3_free(msg);
    if (rc != SQLITE_OK) {
        if (causa)
            *causa = descricao(rc, db);
        return false;
    }
    return true;
}

bool preparaConexao(sqlite3* db, QString* erro)
{
    if (!Banco::aplicachave(db)) {
        if (erro)
            *erro = descricao(sqlite3_errcode(db), db);
        return false;
    }
    // Before the probe: a write of another instance in progress only makes it wait.
    sqlite3_busy_timeout(db, g_esperaOcupado);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW) {
        if (erro)
            *erro = descricao(rc, db);
        return false;
    }
    Banco::registradobra(db);
    Banco::registrafuncoesdobra(db);
    executa(db, "PRAGMA journal_mode = DELETE;");
    // Pages are decrypted on every read: keep the tithers of five parishes in memory (about
    // 20 MB), not more: a year of receipts read through the cache would only fill it.
    executa(db, "PRAGMA cache_size = -32000;");
    return true;
}

}  // namespace

namespace Banco {

sqlite3* conexao()
{
    return cx().db;
}

void closeAll()
{
    Conexao& c = cx();
    if (c.db) {
        sqlite3_stmt* st = nullptr;
        while ((st = sqlite3_next_stmt(c.db, nullptr)) != nullptr)
            sqlite3_finalize(st);
        sqlite3_close(c.db);
        ++c.geracao;
    }
    c.prontos.clear();
    c.db = nullptr;
    c.caminho.clear();
}

static bool conectaEm(const QString& caminho, const Identidade& id, QString* erro)
{
    Conexao& c = cx();
    g_caminhoTentado = caminho;
    if (c.db && id.existe && c.caminho == caminho && c.dispositivo == id.dispositivo && c.inode == id.inode)
        return true;
    closeAll();
    if (!id.existe) {
        if (erro)
            *erro = descricao(SQLITE_CANTOPEN, nullptr);
        return false;
    }
    sqlite3* db = nullptr;
    // Only the GUI thread uses this connection (the background check opens its
    // own), so SQLite need not lock it on every call.
    const int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        if (erro)
            *erro = descricao(rc, db);
        sqlite3_close(db);
        return false;
    }
    if (!preparaConexao(db, erro)) {
        sqlite3_close(db);
        return false;
    }
    atualizaesquema(db);
    c.db = db;
    c.caminho = caminho;
    c.dispositivo = id.dispositivo;
    c.inode = id.inode;
    return true;
}

bool conecta(QString* erro)
{
    const QString caminho = caminhoArquivo();
    return conectaEm(caminho, identidade(caminho), erro);
}

bool criaBancoVazio(const QString& caminho, QString* erro)
{
    if (QFileInfo::exists(caminho)) {
        if (erro)
            *erro = QStringLiteral("o arquivo já existe");
        return false;
    }
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    g_caminhoTentado = caminho;
    sqlite3* db = nullptr;
    QString causa;
    int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    bool ok = rc == SQLITE_OK;
    if (!ok)
        causa = descricao(rc, db);
    if (ok && !aplicachave(db)) {
        causa = descricao(sqlite3_errcode(db), db);
        ok = false;
    }
    if (ok)
        protegebanconovo(caminho);
    if (ok)
        ok = executa(db, "PRAGMA journal_mode = DELETE;", &causa);
    if (ok && (rc = criaesquema(db)) != SQLITE_OK) {
        causa = descricao(rc, db);
        ok = false;
    }
    if (!ok && erro)
        *erro = causa;
    sqlite3_close(db);
    if (!ok)
        QFile::remove(caminho);
    return ok;
}

bool preparaPrimeiraExecucao(QString* erro)
{
    if (existemConfiguracoes())
        return false;
    const QString pasta = caminhoPadraoInicial();
    const QString caminho = pasta + QDir::separator() + QString::fromLatin1(ARQUIVO_BANCO);
    // Anything else in the way is left for the login to judge.
    if (!tiraArquivoVazio(caminho))
        return false;
    return criaBancoVazio(caminho, erro);
}


void defineTratamentoAbertura(void (*tratamento)(const FalhaAbertura& falha))
{
    g_tratamentoAbertura = tratamento;
}

bool tiraArquivoVazio(const QString& caminho)
{
    const QFileInfo fi(caminho);
    if (!fi.exists() && !fi.isSymLink())
        return true;
    if (fi.isSymLink() || !fi.isFile() || fi.size() != 0)
        return false;
    const QString base = caminho + QStringLiteral(".vazio-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString destino = base;
    for (int n = 2; QFileInfo::exists(destino) || QFileInfo(destino).isSymLink(); ++n)
        destino = base + QLatin1Char('-') + QString::number(n);
    return QFile::rename(caminho, destino);
}


void defineEsperaOcupado(int ms)
{
    g_esperaOcupado = ms;
    if (cx().db)
        sqlite3_busy_timeout(cx().db, ms);
}

}  // namespace Banco

namespace {
// The operation goes on without the file; whoever installed the handler decides the rest.
void naoAbriu(FalhaAbertura::Tipo tipo, const QString& caminho, const QString& causa)
{
    if (g_tratamentoAbertura)
        g_tratamentoAbertura(FalhaAbertura{tipo, caminho, causa});
}

// The full check of an operation: the data folder read from the settings, the
// file looked at, its folder kept from other accounts, and the file opened
// unless the open connection is to this very file. When the file cannot be
// used, the handler hears why and the answer is false.
bool verificacompleta(QString* causa)
{
    const QString caminho = Banco::caminhoArquivo();
    const QString pasta = QFileInfo(caminho).absolutePath();
    vigia().arma(pasta);
    const Identidade id = identidade(caminho);
    if (id.semPermissao) {
        // Not a missing file: restoring the default settings would lose the way to it.
        Banco::closeAll();
        naoAbriu(FalhaAbertura::SemPermissao, caminho, QString());
        return false;
    }
    if (!id.existe || id.tamanho == 0) {
        Banco::closeAll();
        naoAbriu(FalhaAbertura::ArquivoAusente, caminho, QString());
        return false;
    }
    Banco::protegepastadados(pasta);
    if (!Banco::conectaEm(caminho, id, causa)) {
        naoAbriu(FalhaAbertura::NaoAbriu, caminho, *causa);
        return false;
    }
    vigia().confirma(caminho);
    return true;
}

// Whether a failed statement already made this operation run the full check
// again (or it is running now): once is enough.
bool g_verificadoNaOperacao = false;

// The change watch sees names, not what is written inside the file: a file
// emptied or copied over in place (the same file, new contents) shows only as
// a statement that says the file is not a database or has no such table. Then
// the full check runs again, once per operation, on a new connection: an empty
// file goes the way of a missing one, a foreign one the way of a file that
// cannot be opened, and another database of ours is used from now on. The
// statement that failed still fails.
void verificaAposFalha(int codigo, sqlite3* db)
{
    const int primario = codigo & 0xFF;
    const bool semTabela = primario == SQLITE_ERROR && db
                           && qstrncmp(sqlite3_errmsg(db), "no such table", 13) == 0;
    if ((primario != SQLITE_NOTADB && !semTabela) || g_verificadoNaOperacao)
        return;
    g_verificadoNaOperacao = true;
    vigia().desarma();
    Banco::closeAll();
    QString causa;
    verificacompleta(&causa);
}
}  // namespace

Escopo::Escopo(Tabela)
{
    if (g_escopos > 0 && Banco::conexao()) {
        ++g_escopos;
        ok_ = true;
        return;
    }
    if (g_escopos == 0)
        g_verificadoNaOperacao = false;
    if (cx().db && vigia().intacto(cx().caminho)) {
        ok_ = true;
        ++g_escopos;
        return;
    }
    if (!verificacompleta(&causa_))
        return;
    ok_ = true;
    ++g_escopos;
}

Escopo::~Escopo()
{
    if (transacao_)
        desfaz();
    if (ok_ && --g_escopos == 0)
        g_verificadoNaOperacao = false;
}

bool Escopo::inicia()
{
    sqlite3* db = Banco::conexao();
    if (!ok_ || !db || transacao_)
        return false;
    if (!executa(db, "BEGIN IMMEDIATE;", &causa_))
        return false;
    transacao_ = true;
    geracao_ = cx().geracao;
    return true;
}

bool Escopo::confirma()
{
    sqlite3* db = Banco::conexao();
    if (!transacao_ || !db)
        return false;
    // The connection was closed (and its transaction rolled back) on the way.
    if (geracao_ != cx().geracao) {
        transacao_ = false;
        causa_ = QStringLiteral("o banco de dados foi fechado durante a operação");
        return false;
    }
    if (!executa(db, "COMMIT;", &causa_)) {
        desfaz();
        return false;
    }
    transacao_ = false;
    return true;
}

void Escopo::desfaz()
{
    sqlite3* db = Banco::conexao();
    const bool mesma = geracao_ == cx().geracao;
    transacao_ = false;
    if (db && mesma && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
}

Escopo abreconexaodizimistas() { return Escopo(Tabela::Dizimistas); }
Escopo abreconexaousuarios() { return Escopo(Tabela::Usuarios); }
Escopo abreconexaopagamentos() { return Escopo(Tabela::Pagamentos); }
Escopo abreconexaoigreja() { return Escopo(Tabela::Igreja); }

Consulta::Consulta(const QString& sql)
{
    sqlite3* db = Banco::conexao();
    if (!db) {
        erro_ = QStringLiteral("banco de dados não aberto");
        return;
    }
    Conexao& c = cx();
    geracao_ = c.geracao;
    texto_ = sql.toUtf8();
    if (sqlite3_stmt* pronto = c.prontos.take(texto_)) {
        stmt_ = pronto;
        return;
    }
    const int rc = sqlite3_prepare_v2(db, texto_.constData(), int(texto_.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        erro_ = descricao(rc, db);
        stmt_ = nullptr;
        verificaAposFalha(rc, db);
    }
}

Consulta::~Consulta()
{
    sqlite3_stmt* s = st();
    if (!s)
        return;
    // Reset at once: a statement left mid-read would keep the file locked.
    sqlite3_reset(s);
    Conexao& c = cx();
    if (c.prontos.size() < MAXIMO_PRONTOS && !c.prontos.contains(texto_)) {
        sqlite3_clear_bindings(s);
        c.prontos.insert(texto_, s);
    } else {
        sqlite3_finalize(s);
    }
}

sqlite3_stmt* Consulta::st() const
{
    return geracao_ == cx().geracao ? stmt_ : nullptr;
}

bool Consulta::vivo()
{
    if (stmt_ && geracao_ != cx().geracao) {
        stmt_ = nullptr;
        if (erro_.isEmpty())
            erro_ = QStringLiteral("o banco de dados foi fechado durante a operação");
    }
    return stmt_ != nullptr;
}

Consulta& Consulta::bind(const QVariant& valor)
{
    if (!vivo())
        return *this;
    const int i = proximo_++;
    int rc;
    if (!valor.isValid() || valor.isNull()) {
        rc = sqlite3_bind_null(stmt_, i);
    } else {
        switch (valor.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(stmt_, i, valor.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt_, i, valor.toDouble());
            break;
        default: {
            const QByteArray t = valor.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, i, t.constData(), t.size(), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK && erro_.isEmpty())
        erro_ = descricao(rc, Banco::conexao());
    return *this;
}

bool Consulta::next()
{
    if (!vivo() || !erro_.isEmpty())
        return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        erro_ = descricao(rc, Banco::conexao());
        verificaAposFalha(rc, Banco::conexao());
    }
    return false;
}

bool Consulta::exec()
{
    if (!vivo() || !erro_.isEmpty())
        return false;
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        erro_ = descricao(rc, Banco::conexao());
        verificaAposFalha(rc, Banco::conexao());
        return false;
    }
    return true;
}

void Consulta::reset()
{
    if (!vivo())
        return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    proximo_ = 1;
    erro_.clear();
}

int Consulta::colunas() const
{
    return st() ? sqlite3_column_count(stmt_) : 0;
}

int Consulta::indice(const char* nome) const
{
    const int n = colunas();
    for (int i = 0; i < n; ++i)
        if (qstricmp(sqlite3_column_name(stmt_, i), nome) == 0)
            return i;
    return -1;
}

QVariant Consulta::value(int coluna) const
{
    if (coluna < 0 || coluna >= colunas())
        return {};
    switch (sqlite3_column_type(stmt_, coluna)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt_, coluna)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt_, coluna));
    default: return QVariant(text(coluna));
    }
}

QString Consulta::text(int coluna) const
{
    const QByteArrayView b = utf8(coluna);
    return b.data() ? QString::fromUtf8(b) : QString("");
}

QByteArrayView Consulta::utf8(int coluna) const
{
    if (coluna < 0 || coluna >= colunas())
        return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, coluna));
    return p ? QByteArrayView(p, sqlite3_column_bytes(stmt_, coluna)) : QByteArrayView();
}

bool Consulta::isNull(int coluna) const
{
    if (coluna < 0 || coluna >= colunas())
        return true;
    return sqlite3_column_type(stmt_, coluna) == SQLITE_NULL;
}

qint64 Consulta::inteiro(int coluna) const
{
    if (coluna < 0 || coluna >= colunas())
        return 0;
    return sqlite3_column_int64(stmt_, coluna);
}

qint64 Consulta::changes() const
{
    return Banco::conexao() ? sqlite3_changes(Banco::conexao()) : 0;
}

}  // namespace tivane
