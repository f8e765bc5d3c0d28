#include "core/integridade.h"
#include "core/arquivobanco.h"
#include "core/dobra.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMessageAuthenticationCode>
#include <QMutex>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>
#include <QVector>
#include <QtEndian>
#include <sqlcipher/sqlite3.h>
#include <cstring>
#include <algorithm>
#include <memory>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        // Another program's file, or ours with its first page (the salt that opens it) damaged: no telling which.
        return resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo não é um banco de dados do Tivane Dízimos "
                                                               "ou está danificado (não abre com a senha do sistema)"));
    case SQLITE_CORRUPT:
        return resultado(EstadoBanco::Danificado, QStringLiteral("o arquivo está danificado"));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:   // another computer's write was cut short: its next reader puts the file back
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


// The file tests before any open, and the open with the key. False with r set when
// the file cannot be checked further. emUso: the live file, which this process may hold
// locked; a descriptor of our own closed on it would drop those locks, so its bytes are
// read only through the engine.
bool abre(const QString& caminho, Conexao& c, VerificacaoBanco& r, bool emUso = false)
{
    const QFileInfo fi(caminho);
    if (!fi.exists()) {
        r = resultado(EstadoBanco::Ausente, QStringLiteral("o arquivo não existe"));
        return false;
    }
    if (!fi.isFile()) {
        r = resultado(EstadoBanco::Estranho, QStringLiteral("o caminho não é um arquivo"));
        return false;
    }
    if (fi.size() == 0) {
        r = resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo está vazio"));
        return false;
    }
    if (!emUso) {
        QFile f(caminho);
        if (!f.open(QIODevice::ReadOnly)) {
            r = resultado(EstadoBanco::Ilegivel, QStringLiteral("não há permissão para ler o arquivo"));
            return false;
        }
        // A plain SQLite file is another program's: ours are always encrypted.
        if (f.read(16) == QByteArray("SQLite format 3\0", 16)) {
            r = resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo é um banco de dados de outro programa "
                                                                "(não está cifrado)"));
            return false;
        }
    }

    // Each connection of a check is used by one thread only: no locking on every call.
    int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &c.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        r = porCodigo(rc);
        return false;
    }
    if (!Banco::aplicachave(c.db)) {
        r = porCodigo(sqlite3_errcode(c.db));
        return false;
    }
    sqlite3_busy_timeout(c.db, 3000);
    // Older files name the collation in their indexes; the check fails without it.
    Banco::registradobra(c.db);
    return true;
}

// Left to itself, the kernel reads megabytes ahead of a reader that goes through the file in
// order; on slow storage those reads take seconds, and every other reader that needs one of
// their pages waits for all of them. The descriptor is the engine's own (closing one of ours
// would drop its locks).
void semLeituraAntecipada(sqlite3* db, const QString& caminho)
{
    const int fd = descritordobanco(db, caminho);
    if (fd < 0)
        return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    // Opening read the file's first page, and the kernel went on from there regardless: pages
    // read ahead carry a mark that starts the next read-ahead when reached, advice or not.
    // A page not yet on disk is not dropped but given that same mark: a receipt written as the
    // check starts goes to disk first, under a read of our own so no write dirties a page meanwhile.
    sqlite3_exec(db, "BEGIN; PRAGMA schema_version;", nullptr, nullptr, nullptr);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 1 << 20, POSIX_FADV_DONTNEED);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
}

// The four tables. caminho, when given, tells a damaged first page from another program's file.
bool temTabelas(sqlite3* db, const QString& caminho, VerificacaoBanco& r)
{
    QStringList tabelas;
    const int rc = linhas(db,
                          "SELECT lower(name) FROM sqlite_master WHERE type = 'table'"
                          " AND lower(name) IN ('dizimistas', 'usuarios', 'pagamentos', 'igreja')",
                          tabelas);
    // The first page does not open, yet the others carry our seal: damaged, not another program's.
    if ((rc & 0xFF) == SQLITE_NOTADB && !caminho.isEmpty() && paginasSeladas(caminho)) {
        r = resultado(EstadoBanco::Danificado, QStringLiteral("o arquivo está danificado (a primeira página não pode ser lida)"));
        return false;
    }
    if (rc != SQLITE_OK) {
        r = porCodigo(rc);
        return false;
    }
    QStringList faltam;
    for (const char* t : {"dizimistas", "usuarios", "pagamentos", "igreja"})
        if (!tabelas.contains(QLatin1String(t)))
            faltam << QLatin1String(t);
    if (!faltam.isEmpty()) {
        r = resultado(EstadoBanco::Estranho,
                      QStringLiteral("o arquivo não é um banco de dados do Tivane Dízimos (faltam as tabelas %1)")
                          .arg(faltam.join(QStringLiteral(", "))));
        return false;
    }
    return true;
}

// ---- The check in slices ------------------------------------------------------

std::atomic<int> g_emandamento{0};

QMutex g_verificadoMutex;
QString g_verificadoCaminho;
EstadoArquivo g_verificadoEstado;

struct Somas;

struct Fatia {
    sqlite3* db = nullptr;
    ControleVerificacao* controle = nullptr;
    Somas* somas = nullptr;   // what was read, to compare the indexes with their tables
    QElapsedTimer relogio;
    int linhas = 0;   // rows read by the statement running now
    int fatia = 40;   // a slice reads for this long,
    int folga = 40;   // then lets go of the file for this long
    bool parar() const { return controle && controle->parar.load(std::memory_order_relaxed); }
    void conta()
    {
        ++linhas;
        if (controle) {
            controle->feitos.fetch_add(1, std::memory_order_relaxed);
            if (controle->aoLer)
                controle->aoLer();
        }
    }
    bool esgotada() const { return relogio.elapsed() >= fatia; }
    // Lets go of the file when the slice is over.
    void pausa()
    {
        if (!esgotada())
            return;
        for (int i = 0; i < folga && !parar(); i += 5)
            QThread::msleep(qMin(5, folga - i));
        relogio.restart();
    }
};

// Ends a statement that runs past its slice, once it has read something (a single
// step that reads long must still move the check on); stops at once when asked.
int progresso(void* p)
{
    auto* f = static_cast<Fatia*>(p);
    if (f->parar())
        return 1;
    return f->linhas > 0 && f->relogio.elapsed() > 2 * f->fatia ? 1 : 0;
}

// Another write holding the file: wait for it, however long, unless asked to stop.
int ocupado(void* p, int)
{
    auto* f = static_cast<Fatia*>(p);
    if (f->parar())
        return 0;
    QThread::msleep(10);
    return 1;
}

QString aspas(const QString& nome)
{
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// A b-tree to read: a table, or one of its indexes with the terms of its key.
struct Arvore {
    QString tabela;
    QString indice;        // empty: the table itself
    QStringList termos;    // the key's terms, as SQL, in index order
    QString parcial;       // WHERE of a partial index
    QString ordem;         // the index's own order, DESC included, for a read in one statement
    bool emfatias = true;  // false: read in one statement (an order this check cannot resume)
    // Comparison with the table: the terms read from the index alone (the rest of the key is
    // not stored where a statement can read it without the row), and the condition of a
    // partial index as its table's rows are tested. An index compared reads "rowid, lidos".
    bool comparado = false;
    QStringList lidos;
    QString condicao;
    QString colacao;   // of the key's first term
    int numero = -1;   // its place in the list
};

// ---- An index against its table ----------------------------------------------
// Each entry, (terms, rowid), is hashed the same way whether read from the index or computed
// from its row; the sums and counts of both sides must agree. A torn copy (an index page of
// one moment beside table pages of another) breaks them: an entry without its row, a row
// missing from the index, the wrong number of entries.

quint64 mistura(quint64 x)
{
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

quint64 hashValor(sqlite3_stmt* st, int coluna)
{
    switch (sqlite3_column_type(st, coluna)) {
    case SQLITE_INTEGER:
        return mistura(quint64(sqlite3_column_int64(st, coluna)) ^ 0x1000);
    case SQLITE_FLOAT: {
        // A whole number kept as REAL in one place may be an integer in the other.
        const double d = sqlite3_column_double(st, coluna);
        if (d >= -9.2e18 && d <= 9.2e18 && double(qint64(d)) == d)
            return mistura(quint64(qint64(d)) ^ 0x1000);
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        return mistura(bits ^ 0x2000);
    }
    case SQLITE_NULL:
        return 0x5bd1e9955bd1e995ULL;
    default: {
        const bool texto = sqlite3_column_type(st, coluna) == SQLITE_TEXT;
        const auto* p = static_cast<const unsigned char*>(texto ? static_cast<const void*>(sqlite3_column_text(st, coluna))
                                                                : sqlite3_column_blob(st, coluna));
        const int n = sqlite3_column_bytes(st, coluna);
        quint64 h = mistura(quint64(n) ^ (texto ? 0x3000 : 0x4000));
        int i = 0;
        for (; i + 8 <= n; i += 8) {
            quint64 bloco;
            std::memcpy(&bloco, p + i, 8);
            h = mistura(h ^ bloco);
        }
        quint64 resto = 0;
        if (n > i)
            std::memcpy(&resto, p + i, size_t(n - i));
        return mistura(h ^ resto);
    }
    }
}

quint64 hashEntrada(sqlite3_stmt* st, int primeira, int quantas, sqlite3_int64 linha)
{
    quint64 h = 0x9e3779b97f4a7c15ULL;
    for (int i = primeira; i < primeira + quantas; ++i)
        h = mistura(h ^ hashValor(st, i));
    return mistura(h ^ quint64(linha));
}

struct Soma {
    quint64 hash = 0;
    qint64 entradas = 0;
};

struct Somas {
    QVector<Soma> tabela, indice;   // by the index's place in the list of b-trees
    bool foraDeOrdem = false;
    QString tabelaForaDeOrdem;
    static Soma& de(QVector<Soma>& v, int n)
    {
        if (v.size() <= n)
            v.resize(n + 1);
        return v[n];
    }
    void junta(const Somas& o)
    {
        for (int i = 0; i < o.tabela.size(); ++i) {
            de(tabela, i).hash += o.tabela[i].hash;
            de(tabela, i).entradas += o.tabela[i].entradas;
        }
        for (int i = 0; i < o.indice.size(); ++i) {
            de(indice, i).hash += o.indice[i].hash;
            de(indice, i).entradas += o.indice[i].entradas;
        }
        if (o.foraDeOrdem && !foraDeOrdem) {
            foraDeOrdem = true;
            tabelaForaDeOrdem = o.tabelaForaDeOrdem;
        }
    }
    void limpa() { *this = Somas(); }
};

// The indexes of a table compared with it, and the columns its read adds for them after "rowid, *".
struct LeituraTabela {
    QVector<const Arvore*> indices;
    QString colunas;
    int extras = 0;
};

LeituraTabela leituraDaTabela(const QVector<Arvore>& lista, const QString& tabela)
{
    LeituraTabela l;
    for (const Arvore& a : lista) {
        if (a.indice.isEmpty() || !a.comparado || a.tabela != tabela)
            continue;
        l.indices << &a;
        QStringList c;
        if (!a.condicao.isEmpty())
            c << QStringLiteral("CASE WHEN (") + a.condicao + QStringLiteral(") THEN 1 ELSE 0 END");
        c += a.lidos;
        for (const QString& x : c)
            l.colunas += QStringLiteral(", ") + x;
        l.extras += int(c.size());
    }
    return l;
}

// The rowid of the row read last in one walk of a table, whose rows must come in rowid order.
struct Ordem {
    bool primeira = true;
    sqlite3_int64 anterior = 0;
};

// One row of a table read ("rowid, *" and the columns of LeituraTabela): its entry in each
// index, and whether it came after the row read before it.
void somaLinha(sqlite3_stmt* st, const LeituraTabela& l, const QString& tabela, Ordem& ordem, Somas& s)
{
    const sqlite3_int64 linha = sqlite3_column_int64(st, 0);
    if (!ordem.primeira && linha <= ordem.anterior && !s.foraDeOrdem) {
        s.foraDeOrdem = true;
        s.tabelaForaDeOrdem = tabela;
    }
    ordem = {false, linha};
    int c = sqlite3_column_count(st) - l.extras;
    for (const Arvore* a : l.indices) {
        if (!a->condicao.isEmpty() && sqlite3_column_int(st, c++) == 0) {
            c += int(a->lidos.size());
            continue;
        }
        Soma& soma = Somas::de(s.tabela, a->numero);
        soma.hash += hashEntrada(st, c, int(a->lidos.size()), linha);
        ++soma.entradas;
        c += int(a->lidos.size());
    }
}

// The columns an index is read for: its entries' rowids, and the terms compared with its table.
QString colunasDoIndice(const Arvore& a)
{
    return QStringLiteral("rowid") + (a.comparado && !a.lidos.isEmpty() ? ", " + a.lidos.join(QStringLiteral(", ")) : QString());
}

// One entry of an index read (colunasDoIndice).
void somaEntrada(sqlite3_stmt* st, const Arvore& a, Somas& s)
{
    Soma& soma = Somas::de(s.indice, a.numero);
    soma.hash += hashEntrada(st, 1, int(a.lidos.size()), sqlite3_column_int64(st, 0));
    ++soma.entradas;
}

VerificacaoBanco comparaSomas(const QVector<Arvore>& lista, const Somas& s)
{
    const auto danificado = [](const QString& porque) {
        return resultado(EstadoBanco::Danificado, QStringLiteral("o arquivo está danificado (") + porque + QLatin1Char(')'));
    };
    if (s.foraDeOrdem)
        return danificado(QStringLiteral("as linhas da tabela %1 estão fora de ordem").arg(s.tabelaForaDeOrdem));
    for (const Arvore& a : lista) {
        if (a.indice.isEmpty() || !a.comparado)
            continue;
        const Soma t = s.tabela.value(a.numero), i = s.indice.value(a.numero);
        if (t.entradas != i.entradas)
            return danificado(QStringLiteral("o índice %1 tem %2 entradas para %3 linhas da tabela %4")
                                  .arg(a.indice).arg(i.entradas).arg(t.entradas).arg(a.tabela));
        if (t.hash != i.hash)
            return danificado(QStringLiteral("o índice %1 não confere com as linhas da tabela %2").arg(a.indice, a.tabela));
    }
    return {};
}

// The terms of "CREATE INDEX ... ON t (a, lower(b) COLLATE x DESC, ...) WHERE ...":
// the list inside the first parentheses, and the text after them.
bool termosDoIndice(const QString& sql, QStringList& termos, QString& resto)
{
    int nivel = 0, inicio = -1;
    QChar aspa;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar ch = sql.at(i);
        if (!aspa.isNull()) {
            if (ch == aspa)
                aspa = QChar();
            continue;
        }
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"') || ch == QLatin1Char('`')) {
            aspa = ch;
        } else if (ch == QLatin1Char('[')) {
            aspa = QLatin1Char(']');
        } else if (ch == QLatin1Char('(')) {
            if (nivel++ == 0)
                inicio = i + 1;
        } else if (ch == QLatin1Char(',') && nivel == 1) {
            termos << sql.mid(inicio, i - inicio).trimmed();
            inicio = i + 1;
        } else if (ch == QLatin1Char(')') && --nivel == 0) {
            termos << sql.mid(inicio, i - inicio).trimmed();
            resto = sql.mid(i + 1).trimmed();
            return true;
        }
    }
    return false;
}

// Whether "rowid" and these terms are read from the index alone, never from its table's rows.
bool soDoIndice(sqlite3* db, const QString& tabela, const QString& indice, const QStringList& termos)
{
    const QByteArray sql = ("EXPLAIN QUERY PLAN SELECT rowid" + (termos.isEmpty() ? QString() : ", " + termos.join(", "))
                            + " FROM " + aspas(tabela) + " INDEXED BY " + aspas(indice))
                               .toUtf8();
    sqlite3_stmt* st = nullptr;
    bool cobre = false;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            cobre = cobre || QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))).contains("COVERING INDEX");
    sqlite3_finalize(st);
    return cobre;
}

// The b-trees of the file: each table, then its indexes. Automatic indexes (UNIQUE
// in a table's definition) and indexes in an order this check cannot resume are read whole.
int arvores(sqlite3* db, QVector<Arvore>& saida)
{
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db,
                                "SELECT type, name, tbl_name, ifnull(sql, '') FROM sqlite_master"
                                " WHERE type IN ('table', 'index') AND rootpage > 0 ORDER BY tbl_name, type DESC, name",
                                -1, &st, nullptr);
    struct Item {
        QString tipo, nome, tabela, sql;
    };
    QVector<Item> itens;
    QStringList semRowid;   // tables listed before their indexes
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            Item it;
            for (int i = 0; i < 4; ++i) {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                const QString v = QString::fromUtf8(t ? t : "");
                (i == 0 ? it.tipo : i == 1 ? it.nome : i == 2 ? it.tabela : it.sql) = v;
            }
            itens << it;
        }
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return rc;
    for (const Item& it : itens) {
        Arvore a;
        a.tabela = it.tabela;
        if (it.tipo == QLatin1String("table")) {
            a.emfatias = !it.sql.contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive);
            if (!a.emfatias)
                semRowid << it.tabela;
            saida << a;
            continue;
        }
        a.indice = it.nome;
        a.numero = int(saida.size());
        a.emfatias = false;
        // The key's columns: a plain column by name, an expression from the definition.
        struct Coluna {
            int cid;
            QString nome, colacao;
            bool desc;
        };
        QVector<Coluna> colunas;
        const QByteArray info = ("PRAGMA index_xinfo(" + aspas(it.nome) + ")").toUtf8();
        rc = sqlite3_prepare_v2(db, info.constData(), -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                if (sqlite3_column_int(st, 5) == 0)
                    continue;   // the rowid at the end of every entry
                const auto* n = reinterpret_cast<const char*>(sqlite3_column_text(st, 2));
                const auto* c = reinterpret_cast<const char*>(sqlite3_column_text(st, 4));
                colunas.append({sqlite3_column_int(st, 1), QString::fromUtf8(n ? n : ""), QString::fromUtf8(c ? c : ""),
                                sqlite3_column_int(st, 3) != 0});
            }
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return rc;
        if (!colunas.isEmpty())
            a.colacao = colunas.first().colacao;
        QStringList definidos;
        QString resto;
        const bool temDefinicao = !it.sql.isEmpty() && termosDoIndice(it.sql, definidos, resto);
        bool ok = !colunas.isEmpty() && (!temDefinicao || definidos.size() == colunas.size());
        for (int i = 0; ok && i < colunas.size(); ++i) {
            const Coluna& c = colunas.at(i);
            QString termo;
            if (c.cid >= 0) {
                termo = aspas(c.nome);
                if (c.colacao.compare(QLatin1String("BINARY"), Qt::CaseInsensitive) != 0)
                    termo += QStringLiteral(" COLLATE ") + c.colacao;
            } else if (temDefinicao) {
                // The definition's own text, without its ASC or DESC.
                termo = definidos.at(i);
                static const QRegularExpression sentido(QStringLiteral("\\s+(ASC|DESC)$"),
                                                        QRegularExpression::CaseInsensitiveOption);
                termo.remove(sentido);
            } else {
                ok = false;
                break;
            }
            a.termos << termo;
            a.ordem += (a.ordem.isEmpty() ? QString() : QStringLiteral(", ")) + termo
                       + (c.desc ? QStringLiteral(" DESC") : QString());
            if (c.desc)
                ok = false;
        }
        if (a.termos.size() != colunas.size())
            a.ordem.clear();
        if (ok && resto.startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive))
            a.parcial = resto.mid(5).trimmed();
        else if (ok && !resto.isEmpty())
            ok = false;
        a.emfatias = ok;
        // Compared with its table when its rows have rowids and a partial index's condition is known.
        a.comparado = !semRowid.contains(it.tabela)
                      && (resto.isEmpty() || resto.startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive));
        if (a.comparado) {
            a.condicao = resto.mid(5).trimmed();
            // The whole key when the index alone gives it, else its plain columns.
            QStringList simples;
            for (const Coluna& c : colunas)
                if (c.cid >= 0)
                    simples << aspas(c.nome);
            if (a.termos.size() == colunas.size() && soDoIndice(db, a.tabela, a.indice, a.termos))
                a.lidos = a.termos;
            else if (soDoIndice(db, a.tabela, a.indice, simples))
                a.lidos = simples;
            else
                a.comparado = soDoIndice(db, a.tabela, a.indice, {});
        }
        saida << a;
    }
    return SQLITE_OK;
}

// Reads one b-tree whole. SQLITE_OK when it was read, SQLITE_INTERRUPT when asked to stop.
// Each statement holds the file only while it runs; a statement that ran out of time
// notes where it was (the index's key and rowid, read in the same transaction) and the
// next one starts there: past that key and rowid, then past that key and any rowid,
// then past the shorter prefixes of the key, one level up each time.
int leArvore(Fatia& f, const Arvore& a, const QVector<Arvore>& lista)
{
    const bool tabela = a.indice.isEmpty();
    const int n = a.termos.size();
    const QString origem = aspas(a.tabela) + (tabela ? QString() : QStringLiteral(" INDEXED BY ") + aspas(a.indice));
    const LeituraTabela leitura = tabela ? leituraDaTabela(lista, a.tabela) : LeituraTabela();
    const QString colunas = tabela ? QStringLiteral("rowid, *") + leitura.colunas : colunasDoIndice(a);
    // What each row adds to the sums; kept apart until the rows are known not to be read again.
    Somas pendente;
    Ordem ordemlida, ordemaceita;
    const auto soma = [&](sqlite3_stmt* st) {
        if (tabela)
            somaLinha(st, leitura, a.tabela, ordemlida, pendente);
        else if (a.comparado)
            somaEntrada(st, a, pendente);
    };
    // A search on the forced index runs in the index's order; an ORDER BY of expressions
    // that the index holds would only make the engine sort a copy of them.
    const QString ordem = tabela ? QStringLiteral(" ORDER BY rowid") : QString();
    if (!a.emfatias) {
        f.linhas = 0;
        const QByteArray sql = ("SELECT " + colunas + " FROM " + origem
                                + (a.ordem.isEmpty() ? QString() : " ORDER BY " + a.ordem)).toUtf8();
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(f.db, sql.constData(), sql.size(), &st, nullptr);
        qint64 lidas = 0;
        if (rc == SQLITE_OK)
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                ++lidas;
                soma(st);
            }
        sqlite3_finalize(st);
        if (f.controle)
            f.controle->feitos.fetch_add(lidas, std::memory_order_relaxed);
        if (f.parar())
            return SQLITE_INTERRUPT;
        if (rc != SQLITE_DONE)
            return rc;
        f.somas->junta(pendente);
        return SQLITE_OK;
    }

    // Where the last slice stopped: the key's values, then the rowid.
    struct Valores {
        QVector<sqlite3_value*> v;
        ~Valores() { limpa(); }
        void limpa()
        {
            for (sqlite3_value* x : v)
                sqlite3_value_free(x);
            v.clear();
        }
    } ultima;
    QString buscaChave;
    if (!tabela)
        buscaChave = "SELECT " + a.termos.join(QStringLiteral(", ")) + " FROM " + aspas(a.tabela) + " WHERE rowid = ?";

    int nivel = 0;   // 0: from the start; L: the first L-1 terms equal, the L-th (or the rowid) past
    for (;;) {
        if (f.parar())
            return SQLITE_INTERRUPT;
        QStringList condicoes;
        if (!a.parcial.isEmpty())
            condicoes << QLatin1Char('(') + a.parcial + QLatin1Char(')');
        for (int i = 0; nivel > 0 && i < nivel; ++i) {
            const bool ultimo = i == nivel - 1;
            const QString termo = i < n ? a.termos.at(i) : QStringLiteral("rowid");
            if (!ultimo)
                condicoes << termo + QStringLiteral(" IS ?");
            else if (i < n && sqlite3_value_type(ultima.v.at(i)) == SQLITE_NULL)
                condicoes << termo + QStringLiteral(" IS NOT NULL");
            else
                condicoes << termo + QStringLiteral(" > ?");
        }
        const QString sql = "SELECT " + colunas + " FROM " + origem
                            + (condicoes.isEmpty() ? QString() : " WHERE " + condicoes.join(QStringLiteral(" AND ")))
                            + ordem;
        sqlite3_stmt* st = nullptr;
        const QByteArray texto = sql.toUtf8();
        int rc = sqlite3_prepare_v2(f.db, texto.constData(), texto.size(), &st, nullptr);
        int parametro = 1;
        for (int i = 0; rc == SQLITE_OK && nivel > 0 && i < nivel; ++i) {
            const bool ultimo = i == nivel - 1;
            if (ultimo && i < n && sqlite3_value_type(ultima.v.at(i)) == SQLITE_NULL)
                break;
            rc = sqlite3_bind_value(st, parametro++, ultima.v.at(i < n ? i : n));
        }
        bool esgotou = false;
        f.linhas = 0;
        while (rc == SQLITE_OK) {
            const int passo = sqlite3_step(st);
            if (passo == SQLITE_DONE) {
                esgotou = true;
                break;
            }
            if (passo != SQLITE_ROW) {
                rc = passo;
                break;
            }
            f.conta();
            soma(st);
            if (!f.esgotada())
                continue;
            // Out of time: note the entry reached, still inside this read.
            const sqlite_int64 linha = sqlite3_column_int64(st, 0);
            ultima.limpa();
            if (!tabela) {
                sqlite3_stmt* chave = nullptr;
                const QByteArray b = buscaChave.toUtf8();
                rc = sqlite3_prepare_v2(f.db, b.constData(), b.size(), &chave, nullptr);
                if (rc == SQLITE_OK) {
                    sqlite3_bind_int64(chave, 1, linha);
                    rc = sqlite3_step(chave);
                    if (rc == SQLITE_ROW) {
                        for (int i = 0; i < n; ++i)
                            ultima.v << sqlite3_value_dup(sqlite3_column_value(chave, i));
                        rc = SQLITE_OK;
                    } else if (rc == SQLITE_DONE) {
                        rc = SQLITE_CORRUPT;   // an index entry without its row
                    }
                }
                sqlite3_finalize(chave);
            }
            ultima.v << sqlite3_value_dup(sqlite3_column_value(st, 0));
            nivel = n + 1;
            break;
        }
        sqlite3_finalize(st);
        if (rc == SQLITE_INTERRUPT && !f.parar()) {
            // The statement ran past its slice: resume where it last stopped, so what it read since is read again.
            rc = SQLITE_OK;
            pendente.limpa();
            ordemlida = ordemaceita;
        }
        if (rc != SQLITE_OK)
            return f.parar() ? SQLITE_INTERRUPT : rc;
        f.somas->junta(pendente);
        pendente.limpa();
        ordemaceita = ordemlida;
        if (esgotou) {
            if (nivel <= 1)
                return SQLITE_OK;
            --nivel;
            continue;
        }
        f.pausa();
    }
}

}  // namespace

VerificacaoBanco verificabanco(const QString& caminho, bool completa)
{
    Conexao c;
    VerificacaoBanco r;
    if (!abre(caminho, c, r) || !temTabelas(c.db, caminho, r))
        return r;
    QStringList problemas;
    const int rc = linhas(c.db, completa ? "PRAGMA integrity_check(20);" : "PRAGMA quick_check(20);", problemas);
    if (rc != SQLITE_OK)
        return porCodigo(rc);
    if (problemas != QStringList{QStringLiteral("ok")}) {
        const QString quantos = problemas.size() >= 20 ? QStringLiteral("20 ou mais") : QString::number(problemas.size());
        return resultado(EstadoBanco::Danificado,
                         QStringLiteral("o arquivo está danificado (a verificação apontou %1 problema(s))").arg(quantos));
    }
    return {};
}

VerificacaoBanco verificaemfatias(const QString& caminho, ControleVerificacao* controle)
{
    g_emandamento.fetch_add(1);
    struct Fim {
        ~Fim() { g_emandamento.fetch_sub(1); }
    } fim;
    const EstadoArquivo antes = estadoarquivo(caminho);
    Conexao c;
    VerificacaoBanco r;
    if (!abre(caminho, c, r, true))
        return r;
    if (controle && controle->discreta)
        semLeituraAntecipada(c.db, caminho);
    Somas somas;
    Fatia f;
    f.db = c.db;
    f.controle = controle;
    f.somas = &somas;
    if (controle) {
        f.fatia = controle->fatiaMs;
        f.folga = controle->pausaMs;
    }
    f.relogio.start();
    sqlite3_busy_handler(c.db, ocupado, &f);
    sqlite3_progress_handler(c.db, 1000, progresso, &f);
    const auto parado = [] { return resultado(EstadoBanco::Ilegivel, QString()); };
    if (!temTabelas(c.db, QString(), r))
        return f.parar() ? parado() : r;

    QVector<Arvore> lista;
    int rc = arvores(c.db, lista);
    if (rc != SQLITE_OK)
        return f.parar() ? parado() : porCodigo(rc);
    // Any commit by another connection, of this program or another computer, changes it.
    const auto versao = [&c] {
        QStringList v;
        return linhas(c.db, "PRAGMA data_version;", v) == SQLITE_OK ? v.value(0) : QString();
    };
    const QString versaoInicial = versao();
    if (controle) {
        // Every index of a table has about as many entries as the table has rows.
        QHash<QString, qint64> linhasDaTabela;
        qint64 total = 0;
        for (const Arvore& a : lista) {
            auto n = linhasDaTabela.constFind(a.tabela);
            if (n == linhasDaTabela.constEnd()) {
                QStringList maior;
                linhas(c.db, ("SELECT ifnull(max(rowid), 0) FROM " + aspas(a.tabela)).toUtf8().constData(), maior);
                n = linhasDaTabela.insert(a.tabela, maior.value(0).toLongLong());
            }
            total += *n;
        }
        controle->total = qMax<qint64>(1, total);
    }
    for (const Arvore& a : lista) {
        rc = leArvore(f, a, lista);
        if (rc == SQLITE_INTERRUPT)
            return parado();
        if (rc == SQLITE_ERROR && !a.indice.isEmpty()) {
            // An index dropped by a write meanwhile is no damage.
            sqlite3_stmt* st = nullptr;
            int existe = SQLITE_ERROR;
            if (sqlite3_prepare_v2(c.db, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?", -1, &st,
                                   nullptr)
                == SQLITE_OK) {
                const QByteArray nome = a.indice.toUtf8();
                sqlite3_bind_text(st, 1, nome.constData(), int(nome.size()), SQLITE_TRANSIENT);
                existe = sqlite3_step(st);
            }
            sqlite3_finalize(st);
            if (existe == SQLITE_DONE)
                continue;
        }
        if (rc != SQLITE_OK)
            return porCodigo(rc);
    }
    // Read in one state only when nothing was written meanwhile: then each index must agree with
    // its table. Written meanwhile, the file is neither compared nor noted as checked.
    const QString versaoFinal = versao();
    if (versaoInicial.isEmpty() || versaoFinal != versaoInicial || !(estadoarquivo(caminho) == antes))
        return {};
    const VerificacaoBanco comparacao = comparaSomas(lista, somas);
    if (comparacao.estado != EstadoBanco::Bom)
        return comparacao;
    marcaverificado(caminho, antes);
    return {};
}

namespace {

// A part of the parallel check: an index read whole, a table's rows from one rowid up to
// another (the last part without an end), or a table without rowids read whole.
struct Parte {
    const Arvore* arvore = nullptr;
    sqlite_int64 de = 0, ate = 0;
    bool ultima = true;
    // An index's entries whose first term is NULL, or lies from menor (included) up to maior (not); none: open.
    bool faixa = false, nulos = false;
    std::shared_ptr<sqlite3_value> menor, maior;
};

// Values of an index's first term that split its entries into about `partes` ranges of the same
// size: the terms of rows spread evenly over the table, in the index's order. Empty when the
// index is too small to be worth it or cannot be split so.
QVector<std::shared_ptr<sqlite3_value>> limitesDoIndice(sqlite3* db, const Arvore& a, sqlite_int64 menor,
                                                       sqlite_int64 maior, int partes)
{
    QVector<std::shared_ptr<sqlite3_value>> limites;
    constexpr int AMOSTRAS = 256;
    if (partes < 2 || maior - menor < 100000 || !a.comparado || a.lidos.isEmpty() || a.termos.isEmpty()
        || a.lidos.first() != a.termos.first())
        return limites;
    const QString colacao = a.colacao.isEmpty() ? QStringLiteral("BINARY") : a.colacao;
    const QByteArray sql = ("WITH RECURSIVE passo(x) AS (SELECT ?1 UNION ALL SELECT x + ?2 FROM passo WHERE x + ?2 <= ?3)"
                            " SELECT DISTINCT v FROM (SELECT (SELECT " + a.termos.first() + " FROM " + aspas(a.tabela)
                            + " WHERE rowid >= passo.x" + (a.condicao.isEmpty() ? QString() : " AND (" + a.condicao + ")")
                            + " ORDER BY rowid LIMIT 1) AS v FROM passo) WHERE v IS NOT NULL ORDER BY v COLLATE "
                            + colacao).toUtf8();
    sqlite3_stmt* st = nullptr;
    QVector<std::shared_ptr<sqlite3_value>> amostras;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_int64(st, 1, menor);
        sqlite3_bind_int64(st, 2, qMax<sqlite_int64>(1, (maior - menor) / AMOSTRAS));
        sqlite3_bind_int64(st, 3, maior);
        while (sqlite3_step(st) == SQLITE_ROW)
            amostras.append(std::shared_ptr<sqlite3_value>(sqlite3_value_dup(sqlite3_column_value(st, 0)), sqlite3_value_free));
    }
    sqlite3_finalize(st);
    for (int i = 1; i < partes; ++i) {
        const int j = int(qint64(i) * amostras.size() / partes);
        if (j > 0 && j < amostras.size() && (limites.isEmpty() || limites.last() != amostras.at(j)))
            limites.append(amostras.at(j));
    }
    return limites;
}

// Reads one part on its thread's connection. SQLITE_OK, the failing code, or SQLITE_INTERRUPT.
int leParte(sqlite3* db, const Parte& p, const QVector<Arvore>& lista, Somas& s, ControleVerificacao* controle)
{
    const Arvore& a = *p.arvore;
    const bool tabela = a.indice.isEmpty();
    const bool porLinha = tabela && a.emfatias;
    const LeituraTabela leitura = porLinha ? leituraDaTabela(lista, a.tabela) : LeituraTabela();
    QString sql;
    if (porLinha)
        sql = "SELECT rowid, *" + leitura.colunas + " FROM " + aspas(a.tabela) + " WHERE rowid >= ? ORDER BY rowid";
    else if (tabela)
        sql = "SELECT * FROM " + aspas(a.tabela);
    QStringList condicoes;
    if (!tabela) {
        // A partial index is read only where its condition holds.
        const QString parcial = !a.condicao.isEmpty() ? a.condicao : a.parcial;
        if (!parcial.isEmpty())
            condicoes << QLatin1Char('(') + parcial + QLatin1Char(')');
        if (p.faixa) {
            const QString termo = a.termos.first();
            if (p.nulos)
                condicoes << termo + QStringLiteral(" IS NULL");
            if (p.menor)
                condicoes << termo + QStringLiteral(" >= ?");
            if (p.maior)
                condicoes << termo + QStringLiteral(" < ?");
        }
        sql = "SELECT " + colunasDoIndice(a) + " FROM " + aspas(a.tabela) + " INDEXED BY " + aspas(a.indice)
              + (condicoes.isEmpty() ? QString() : " WHERE " + condicoes.join(QStringLiteral(" AND ")));
    }
    const QByteArray texto = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, texto.constData(), texto.size(), &st, nullptr);
    if (rc == SQLITE_OK && porLinha)
        sqlite3_bind_int64(st, 1, p.de);
    int parametro = 1;
    for (const auto& limite : {p.menor, p.maior})
        if (rc == SQLITE_OK && limite)
            rc = sqlite3_bind_value(st, parametro++, limite.get());
    qint64 lidas = 0;
    Ordem ordem;
    while (rc == SQLITE_OK) {
        const int passo = sqlite3_step(st);
        if (passo != SQLITE_ROW) {
            rc = passo == SQLITE_DONE ? SQLITE_OK : passo;
            break;
        }
        if (porLinha) {
            const sqlite_int64 linha = sqlite3_column_int64(st, 0);
            if (!p.ultima && linha >= p.ate)
                break;
            somaLinha(st, leitura, a.tabela, ordem, s);
        } else if (!tabela && a.comparado) {
            somaEntrada(st, a, s);
        }
        if (++lidas % 256 == 0 && controle)
            controle->feitos.fetch_add(256, std::memory_order_relaxed);
    }
    sqlite3_finalize(st);
    if (controle)
        controle->feitos.fetch_add(lidas % 256, std::memory_order_relaxed);
    return rc;
}

int paraQuandoPedido(void* p)
{
    const auto* c = static_cast<ControleVerificacao*>(p);
    return c && c->parar.load(std::memory_order_relaxed) ? 1 : 0;
}

}  // namespace

VerificacaoBanco verificaarquivo(const QString& caminho, ControleVerificacao* controle)
{
    // The helpers open their connections (each works the key out of the password, the slow part
    // of opening) while this thread reads how the file is made and shares the work out. A small
    // file is read faster than the key is worked out: one thread for every 16 MB.
    const int threads = int(qMin<qint64>(QFileInfo(caminho).size() / (16 << 20) + 1,
                                         qBound(1, QThread::idealThreadCount(), 8)));
    QVector<Arvore> lista;
    QVector<Parte> partes;
    std::atomic<int> proxima{0};
    std::atomic<bool> falhou{false};
    std::mutex mutex;
    std::condition_variable sinal;
    bool pronto = false;
    Somas somas;
    int erro = SQLITE_OK;
    VerificacaoBanco naoAbriu;
    // Takes parts and reads them on one connection until none is left or a thread failed.
    const auto le = [&](sqlite3* db) {
        sqlite3_progress_handler(db, 1000, paraQuandoPedido, controle);
        // One read for all its parts: nobody else writes this file.
        int rc = sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
        Somas minhas;
        for (int i; rc == SQLITE_OK && !falhou && (i = proxima.fetch_add(1)) < partes.size();)
            rc = leParte(db, partes.at(i), lista, minhas, controle);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        std::lock_guard<std::mutex> t(mutex);
        somas.junta(minhas);
        if (rc != SQLITE_OK && erro == SQLITE_OK) {
            erro = rc;
            falhou = true;
        }
    };
    const auto ajuda = [&] {
        Conexao propria;
        VerificacaoBanco v;
        const bool aberta = abre(caminho, propria, v);
        // The key is worked out at the first read.
        if (aberta)
            sqlite3_exec(propria.db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
        {
            std::unique_lock<std::mutex> t(mutex);
            sinal.wait(t, [&pronto] { return pronto; });
            if (!aberta && naoAbriu.estado == EstadoBanco::Bom && !falhou)
                naoAbriu = v;
        }
        if (!aberta || falhou) {
            falhou = true;
            return;
        }
        le(propria.db);
    };
    std::vector<std::thread> ajudantes;
    // Whatever way this ends, the helpers are let go and waited for.
    const auto solta = [&](bool comTrabalho) {
        {
            std::lock_guard<std::mutex> t(mutex);
            if (!comTrabalho)
                falhou = true;
            pronto = true;
        }
        sinal.notify_all();
    };
    struct Fim {
        std::vector<std::thread>& ajudantes;
        const std::function<void(bool)> solta;
        ~Fim()
        {
            solta(false);
            for (std::thread& t : ajudantes)
                if (t.joinable())
                    t.join();
        }
    } fim{ajudantes, solta};
    for (int i = 1; i < threads; ++i)
        ajudantes.emplace_back(ajuda);

    Conexao c;
    VerificacaoBanco r;
    if (!abre(caminho, c, r) || !temTabelas(c.db, caminho, r))
        return r;
    int rc = arvores(c.db, lista);
    if (rc != SQLITE_OK)
        return porCodigo(rc);

    // Indexes first, the largest first: each large one in ranges of its first term, each
    // small one whole; then the tables' rows in parts that keep every thread busy to the end.
    struct Extremos {
        sqlite_int64 menor = 0, maior = -1;
        qint64 linhas() const { return qint64(maior - menor + 1); }
    };
    QHash<QString, Extremos> extremos;
    QVector<Parte> linhasDasTabelas;
    qint64 total = 0;
    for (const Arvore& a : lista) {
        if (!extremos.contains(a.tabela)) {
            Extremos e;
            sqlite3_stmt* st = nullptr;
            // Each in a statement of its own: the engine finds a lone min() or max() at the tree's edge,
            // but reads the whole table for both together.
            const QByteArray sql = ("SELECT (SELECT min(rowid) FROM " + aspas(a.tabela) + "), (SELECT max(rowid) FROM "
                                    + aspas(a.tabela) + ")").toUtf8();
            rc = sqlite3_prepare_v2(c.db, sql.constData(), -1, &st, nullptr);
            if (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
                rc = SQLITE_OK;
                if (sqlite3_column_type(st, 0) != SQLITE_NULL)
                    e = {sqlite3_column_int64(st, 0), sqlite3_column_int64(st, 1)};
            }
            sqlite3_finalize(st);
            if (rc != SQLITE_OK && a.emfatias)
                return porCodigo(rc);
            extremos.insert(a.tabela, e);
        }
        const Extremos e = extremos.value(a.tabela);
        total += qMax<qint64>(0, e.linhas());
        if (!a.indice.isEmpty()) {
            const auto limites = limitesDoIndice(c.db, a, e.menor, e.maior, threads * 2);
            if (limites.isEmpty()) {
                partes.append({&a, 0, 0, true});
                continue;
            }
            Parte nulos{&a, 0, 0, true};
            nulos.faixa = nulos.nulos = true;
            partes.append(nulos);
            for (int i = 0; i <= limites.size(); ++i) {
                Parte faixa{&a, 0, 0, true};
                faixa.faixa = true;
                faixa.menor = i > 0 ? limites.at(i - 1) : nullptr;
                faixa.maior = i < limites.size() ? limites.at(i) : nullptr;
                partes.append(faixa);
            }
            continue;
        }
        if (!a.emfatias) {
            partes.append({&a, 0, 0, true});
            continue;
        }
        const qint64 tamanho = qMax<qint64>(4096, e.linhas() / (threads * 8));
        for (sqlite_int64 de = e.menor; de <= e.maior; de += tamanho) {
            const bool ultima = e.maior - de < tamanho;
            linhasDasTabelas.append({&a, de, ultima ? 0 : de + tamanho, ultima});
            if (ultima)
                break;
        }
        if (e.linhas() <= 0)
            linhasDasTabelas.append({&a, 0, 0, true});
    }
    std::stable_sort(partes.begin(), partes.end(), [&extremos](const Parte& x, const Parte& y) {
        return extremos.value(x.arvore->tabela).linhas() > extremos.value(y.arvore->tabela).linhas();
    });
    partes += linhasDasTabelas;
    if (controle) {
        controle->total = qMax<qint64>(1, total);
        controle->feitos = 0;
    }
    solta(true);
    // This thread reads on the connection it already opened: its key is worked out once.
    le(c.db);
    for (std::thread& t : ajudantes)
        t.join();
    if (controle && controle->parar)
        return resultado(EstadoBanco::Ilegivel, QString());
    if (naoAbriu.estado != EstadoBanco::Bom)
        return naoAbriu;
    if (erro != SQLITE_OK)
        return porCodigo(erro);
    return comparaSomas(lista, somas);
}

EstadoArquivo estadoarquivo(const QString& caminho)
{
    EstadoArquivo c;
    struct stat st;
    if (::stat(QFile::encodeName(caminho).constData(), &st) != 0)
        return c;
    c.ok = true;
    c.dispositivo = static_cast<quint64>(st.st_dev);
    c.inode = static_cast<quint64>(st.st_ino);
    c.tamanho = static_cast<qint64>(st.st_size);
    c.segundos = static_cast<qint64>(st.st_mtim.tv_sec);
    c.nanos = static_cast<qint64>(st.st_mtim.tv_nsec);
    return c;
}

bool javerificado(const QString& caminho)
{
    return javerificado(caminho, estadoarquivo(caminho));
}

bool javerificado(const QString& caminho, const EstadoArquivo& estado)
{
    QMutexLocker trava(&g_verificadoMutex);
    return g_verificadoCaminho == caminho && g_verificadoEstado == estado;
}

void marcaverificado(const QString& caminho, const EstadoArquivo& estado)
{
    QMutexLocker trava(&g_verificadoMutex);
    g_verificadoCaminho = caminho;
    g_verificadoEstado = estado;
}

int descritordobanco(sqlite3* db, const QString& caminho)
{
    sqlite3_file* arquivo = nullptr;
    const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &arquivo) != SQLITE_OK || !arquivo || !vfs
        || qstrncmp(vfs->zName, "unix", 4) != 0)
        return -1;
    // The unix file's layout: its methods, its VFS, its lock record, then the descriptor.
    struct ArquivoUnix {
        const sqlite3_io_methods* metodos;
        sqlite3_vfs* vfs;
        void* inode;
        int fd;
    };
    const int fd = reinterpret_cast<const ArquivoUnix*>(arquivo)->fd;
    struct stat deles, nosso;
    if (fd < 0 || ::fstat(fd, &deles) != 0 || ::stat(QFile::encodeName(caminho).constData(), &nosso) != 0
        || deles.st_dev != nosso.st_dev || deles.st_ino != nosso.st_ino)
        return -1;
    return fd;
}

int verificacoesemandamento()
{
    return g_emandamento.load();
}

}  // namespace tivane
