#include "core/migracao.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>
#include <sqlcipher/sqlite3.h>

namespace tivane {

namespace {

void (*g_avisoReorganizacao)(bool) = nullptr;

// Plain SQLCipher: no collation or function of the program's own is stored in
// the file, so any SQLCipher tool can read and check it. Case folding is done
// by the queries (COLLATE FOLD, like(), dobra()).
const char* const ESQUEMA =
    "CREATE TABLE dizimistas ("
    " codigo TEXT, nome TEXT, cadastro TEXT, nascimento TEXT,"
    " rg TEXT, cpf TEXT, endereco TEXT, bairro TEXT, cidade TEXT,"
    " estado TEXT, estadocivil TEXT, cep TEXT, tel TEXT, email TEXT, msn TEXT,"
    " ativo INTEGER, sexo INTEGER, celular TEXT, barras TEXT, obs TEXT, conversao TEXT,"
    " casamento TEXT, profissao TEXT, desempregado INTEGER, falecido INTEGER,"
    " adoecido INTEGER, conjuge TEXT);"
    "CREATE TABLE usuarios (codigo TEXT, nome TEXT, senha TEXT, cadastro TEXT);"
    "CREATE TABLE pagamentos (codigo TEXT, data TEXT, hora TEXT, valor TEXT,"
    " codigofuncionario TEXT, codigodizimista TEXT, nomedizimista TEXT,"
    " mesreferencia TEXT, anoreferencia TEXT);"
    "CREATE TABLE igreja (razaosocial TEXT, fantasia TEXT, cnpj TEXT, responsavel TEXT, rua TEXT,"
    " bairro TEXT, cidade TEXT, estado TEXT, cep TEXT, tel TEXT, fax TEXT, email TEXT, site TEXT,"
    " sobra TEXT DEFAULT '1');"
    "INSERT INTO igreja (sobra) VALUES ('1');";

// Indexes for the lookups the windows and reports make; created when missing.
const char* const INDICES =
    "CREATE UNIQUE INDEX IF NOT EXISTS ix_dizimistas_codigo ON dizimistas(codigo);"
    "CREATE INDEX IF NOT EXISTS ix_dizimistas_barras ON dizimistas(barras);"
    "CREATE INDEX IF NOT EXISTS ix_dizimistas_numero ON dizimistas(CAST(codigo AS INTEGER), codigo);"
    "CREATE INDEX IF NOT EXISTS ix_dizimistas_nome ON dizimistas(nome);"
    "CREATE UNIQUE INDEX IF NOT EXISTS ix_usuarios_codigo ON usuarios(codigo);"
    "CREATE INDEX IF NOT EXISTS ix_usuarios_numero ON usuarios(CAST(codigo AS INTEGER), codigo);"
    "CREATE UNIQUE INDEX IF NOT EXISTS ix_pagamentos_codigo ON pagamentos(codigo);"
    "CREATE INDEX IF NOT EXISTS ix_pagamentos_dizimista_data ON pagamentos(codigodizimista, data);"
    "CREATE INDEX IF NOT EXISTS ix_pagamentos_data ON pagamentos(data);"
    // Year, then number of the receipt code: the next receipt number is one index probe.
    "CREATE INDEX IF NOT EXISTS ix_pagamentos_recibo ON pagamentos(substr(codigo, instr(codigo, '/') + 1, 2),"
    " CAST(substr(codigo, 1, instr(codigo, '/') - 1) AS INTEGER));"
    // Length of the number, then year: the rare numbers too long for the cast are
    // found at once. Led by the length, so the next-number query never takes it.
    "DROP INDEX IF EXISTS ix_pagamentos_recibo_tamanho;"
    "CREATE INDEX IF NOT EXISTS ix_pagamentos_recibo_digitos ON pagamentos(instr(codigo, '/'),"
    " substr(codigo, instr(codigo, '/') + 1, 2));";

// " COLLATE FOLD" as written in a column or index of an older file.
const QRegularExpression& collationDobrada()
{
    static const QRegularExpression re(QStringLiteral("\\s+COLLATE\\s+[\"'`\\[]?FOLD[\"'`\\]]?(?![\\w])"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

QString aspas(const QString& nome)
{
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

bool executa(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool executaTexto(sqlite3* db, const QString& sql)
{
    return executa(db, sql.toUtf8().constData());
}

// Older files declared the collation FOLD in their tables and indexes; other
// SQLCipher tools cannot compare or check such a file. Rebuilds what declares
// it without it, rows and their order (rowid) unchanged, in one transaction.
// True when nothing is left to do; on failure nothing is changed.
bool tiraCollationDoEsquema(sqlite3* db)
{
    struct Objeto {
        QString tipo, nome, tabela, sql;
    };
    QVector<Objeto> objetos;
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT type, name, tbl_name, sql FROM sqlite_master WHERE sql IS NOT NULL"
                                   " ORDER BY rowid", -1, &st, nullptr) != SQLITE_OK)
            return false;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const auto coluna = [st](int i) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            };
            objetos.append({coluna(0), coluna(1), coluna(2), coluna(3)});
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return false;
    }
    QStringList tabelas;   // tables whose own definition declares it
    QVector<Objeto> indices;
    for (const Objeto& o : objetos) {
        if (!o.sql.contains(collationDobrada()))
            continue;
        if (o.tipo == QLatin1String("table"))
            tabelas << o.tabela;
        else
            indices << o;
    }
    if (tabelas.isEmpty() && indices.isEmpty())
        return true;

    if (!executa(db, "BEGIN IMMEDIATE;"))
        return false;
    if (g_avisoReorganizacao)
        g_avisoReorganizacao(true);
    bool ok = true;
    for (const QString& tabela : tabelas) {
        QStringList colunas;
        sqlite3_stmt* st = nullptr;
        const QByteArray info = ("PRAGMA table_info(" + aspas(tabela) + ")").toUtf8();
        ok = sqlite3_prepare_v2(db, info.constData(), -1, &st, nullptr) == SQLITE_OK;
        int rc = SQLITE_DONE;
        while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW)
            colunas << aspas(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))));
        sqlite3_finalize(st);
        if (!ok || rc != SQLITE_DONE) {
            ok = false;
            break;
        }
        const QString lista = colunas.join(QLatin1Char(','));
        const QString antiga = QStringLiteral("tivane_migracao_") + tabela;
        QString criacao;
        for (const Objeto& o : objetos)
            if (o.tipo == QLatin1String("table") && o.tabela == tabela)
                criacao = o.sql;
        ok = executaTexto(db, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(aspas(tabela), aspas(antiga)))
             && executaTexto(db, QString(criacao).remove(collationDobrada()))
             && executaTexto(db, QStringLiteral("INSERT INTO %1 (rowid,%2) SELECT rowid,%2 FROM %3")
                                     .arg(aspas(tabela), lista, aspas(antiga)))
             && executaTexto(db, QStringLiteral("DROP TABLE %1").arg(aspas(antiga)));
        // The drop took the table's indexes and triggers along: put them back.
        for (const Objeto& o : objetos)
            if (ok && o.tabela == tabela && o.tipo != QLatin1String("table"))
                ok = executaTexto(db, QString(o.sql).remove(collationDobrada()));
        if (!ok)
            break;
    }
    for (const Objeto& o : indices) {
        if (!ok)
            break;
        if (tabelas.contains(o.tabela))
            continue;   // already rebuilt with its table
        ok = executaTexto(db, QStringLiteral("DROP %1 %2").arg(o.tipo.toUpper(), aspas(o.nome)))
             && executaTexto(db, QString(o.sql).remove(collationDobrada()));
    }
    if (ok)
        ok = executa(db, "COMMIT;");
    if (!ok)
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    if (g_avisoReorganizacao)
        g_avisoReorganizacao(false);
    return ok;
}

}  // namespace

namespace Banco {

void defineAvisoReorganizacao(void (*aviso)(bool inicio))
{
    g_avisoReorganizacao = aviso;
}

int criaesquema(sqlite3* db)
{
    for (const char* sql : {"BEGIN;", ESQUEMA, INDICES, "COMMIT;"}) {
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

void atualizaesquema(sqlite3* db)
{
    // Not a failure of the operation that opened the file: the queries fold
    // case themselves.
    tiraCollationDoEsquema(db);
    // Each index on its own, so one that cannot be built does not stop the others.
    for (const QByteArray& indice : QByteArray(INDICES).split(';'))
        if (!indice.trimmed().isEmpty())
            sqlite3_exec(db, indice.constData(), nullptr, nullptr, nullptr);
}

}  // namespace Banco

}  // namespace tivane
