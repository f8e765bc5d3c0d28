#include "register/bancoimpressoes.h"

#include "core/conexao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

namespace tivane {

namespace {

const char* const ESQUEMA =
    "CREATE TABLE impressoes (codigo TEXT NOT NULL, dedo INTEGER NOT NULL, modelo BLOB NOT NULL,"
    " memo TEXT, PRIMARY KEY (codigo, dedo));";

bool executa(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Key first, then a read that proves the key fits the file.
bool chave(sqlite3* db)
{
    return Banco::aplicachave(db) && executa(db, "SELECT count(*) FROM sqlite_master;");
}

QString causa(int codigo, sqlite3* db)
{
    switch (codigo & 0xFF) {
    case SQLITE_NOTADB: return QStringLiteral("o arquivo não é um banco de impressões digitais ou está danificado");
    case SQLITE_CORRUPT: return QStringLiteral("o arquivo está danificado");
    case SQLITE_READONLY: return QStringLiteral("o arquivo permite somente leitura");
    case SQLITE_CANTOPEN: return QStringLiteral("o arquivo não pôde ser aberto");
    case SQLITE_FULL: return QStringLiteral("o disco está cheio");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("o arquivo está em uso por outro programa");
    case SQLITE_IOERR: return QStringLiteral("houve um erro de leitura ou gravação no disco");
    default: return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(codigo));
    }
}

}  // namespace

BancoImpressoes::~BancoImpressoes()
{
    fecha();
}

BancoImpressoes::Resultado BancoImpressoes::falha(Resultado r, const QString& texto)
{
    erro_ = texto;
    return r;
}

void BancoImpressoes::fecha()
{
    if (db_)
        sqlite3_close(db_);
    db_ = nullptr;
}

BancoImpressoes::Resultado BancoImpressoes::abre(const QString& caminho)
{
    fecha();
    erro_.clear();
    if (!QFileInfo(caminho).isFile())
        return falha(Fechado, causa(SQLITE_CANTOPEN, nullptr));
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString texto = causa(rc, db);
        sqlite3_close(db);
        return falha(Fechado, texto);
    }
    sqlite3_busy_timeout(db, 3000);
    if (!chave(db)) {
        const QString texto = causa(sqlite3_errcode(db), db);
        sqlite3_close(db);
        return falha(Invalido, texto);
    }
    // Our key also opens the main database: the table tells a store from it.
    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT codigo, dedo, modelo, memo FROM impressoes LIMIT 0", -1, &st, nullptr);
    sqlite3_finalize(st);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return falha(Invalido, causa(SQLITE_NOTADB, nullptr));
    }
    db_ = db;
    return Ok;
}

BancoImpressoes::Resultado BancoImpressoes::adiciona(const QString& codigo, int dedo, const QByteArray& modelo,
                                                     const QString& memo)
{
    if (!db_)
        return falha(Fechado, QStringLiteral("o banco de impressões digitais não está aberto"));
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db_, "INSERT INTO impressoes (codigo, dedo, modelo, memo) VALUES (?, ?, ?, ?)", -1,
                                &st, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray c = codigo.toUtf8();
        const QByteArray m = memo.toUtf8();
        sqlite3_bind_text(st, 1, c.constData(), c.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, dedo);
        sqlite3_bind_blob(st, 3, modelo.constData(), modelo.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, m.constData(), m.size(), SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE) {
        erro_.clear();
        return Ok;
    }
    rc = sqlite3_extended_errcode(db_);
    if ((rc & 0xFF) == SQLITE_CONSTRAINT)
        return falha(JaCadastrada, QStringLiteral("impressão digital já cadastrada para este código e dedo"));
    return falha(Falha, causa(rc, db_));
}

bool BancoImpressoes::cria(const QString& caminho, QString* erro)
{
    if (QFileInfo::exists(caminho)) {
        if (erro)
            *erro = QStringLiteral("o arquivo já existe");
        return false;
    }
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    bool ok = rc == SQLITE_OK && chave(db) && executa(db, "PRAGMA journal_mode = DELETE;") && executa(db, ESQUEMA);
    if (!ok && erro)
        *erro = causa(db ? sqlite3_errcode(db) : rc, db);
    sqlite3_close(db);
    if (!ok)
        QFile::remove(caminho);
    return ok;
}

}  // namespace tivane
