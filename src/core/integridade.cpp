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
        return resultado(EstadoBanco::Estranho, QStringLiteral("o arquivo não é um banco de dados do Tivane Dízimos "
                                                               "(não abre com a senha do sistema)"));
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

    int rc = sqlite3_open_v2(QFile::encodeName(caminho).constData(), &c.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        r = porCodigo(rc);
        return false;
    }
    Banco::aplicachave(c.db);
    sqlite3_busy_timeout(c.db, 3000);
    // Older files name the collation in their indexes; the check fails without it.
    Banco::registradobra(c.db);
    return true;
}

// Left to itself, the kernel reads megabytes ahead of a reader that goes through the file in
// order; on slow storage those reads take seconds, and every other reader that needs one of
// their pages waits for all of them. The descriptor is the engine's own (closing one of ours
// would drop its locks), taken only when it is plainly the file's.
void semLeituraAntecipada(sqlite3* db, const QString& caminho)
{
    sqlite3_file* arquivo = nullptr;
    const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &arquivo) != SQLITE_OK || !arquivo || !vfs
        || qstrncmp(vfs->zName, "unix", 4) != 0)
        return;
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

// Which file, in which state: a write changes the time or the size.
struct Carimbo {
    bool ok = false;
    quint64 dispositivo = 0, inode = 0;
    qint64 tamanho = 0, segundos = 0, nanos = 0;
    bool operator==(const Carimbo& o) const
    {
        return ok && o.ok && dispositivo == o.dispositivo && inode == o.inode && tamanho == o.tamanho
               && segundos == o.segundos && nanos == o.nanos;
    }
};

Carimbo carimbo(const QString& caminho)
{
    Carimbo c;
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

QMutex g_verificadoMutex;
QString g_verificadoCaminho;
Carimbo g_verificadoCarimbo;

struct Fatia {
    sqlite3* db = nullptr;
    ControleVerificacao* controle = nullptr;
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
};

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
            saida << a;
            continue;
        }
        a.indice = it.nome;
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
        saida << a;
    }
    return SQLITE_OK;
}

// Reads one b-tree whole. SQLITE_OK when it was read, SQLITE_INTERRUPT when asked to stop.
// Each statement holds the file only while it runs; a statement that ran out of time
// notes where it was (the index's key and rowid, read in the same transaction) and the
// next one starts there: past that key and rowid, then past that key and any rowid,
// then past the shorter prefixes of the key, one level up each time.
int leArvore(Fatia& f, const Arvore& a)
{
    const bool tabela = a.indice.isEmpty();
    const int n = a.termos.size();
    const QString origem = aspas(a.tabela) + (tabela ? QString() : QStringLiteral(" INDEXED BY ") + aspas(a.indice));
    const QString colunas = tabela ? QStringLiteral("rowid, *") : QStringLiteral("rowid");
    // A search on the forced index runs in the index's order; an ORDER BY of expressions
    // that the index holds would only make the engine sort a copy of them.
    const QString ordem = tabela ? QStringLiteral(" ORDER BY rowid") : QString();
    if (!a.emfatias) {
        f.linhas = 0;
        QStringList nada;
        const QString sql = "SELECT " + colunas + " FROM " + origem + (a.ordem.isEmpty() ? QString() : " ORDER BY " + a.ordem);
        const int rc = linhas(f.db, sql.toUtf8().constData(), nada);
        if (f.controle)
            f.controle->feitos.fetch_add(nada.size(), std::memory_order_relaxed);
        return f.parar() ? SQLITE_INTERRUPT : rc;
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
        if (rc == SQLITE_INTERRUPT && !f.parar())
            rc = SQLITE_OK;   // the statement ran past its slice: resume where it stopped
        if (rc != SQLITE_OK)
            return f.parar() ? SQLITE_INTERRUPT : rc;
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
    const Carimbo antes = carimbo(caminho);
    Conexao c;
    VerificacaoBanco r;
    if (!abre(caminho, c, r, true))
        return r;
    if (controle && controle->discreta)
        semLeituraAntecipada(c.db, caminho);
    Fatia f;
    f.db = c.db;
    f.controle = controle;
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
        rc = leArvore(f, a);
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
    if (carimbo(caminho) == antes) {
        QMutexLocker trava(&g_verificadoMutex);
        g_verificadoCaminho = caminho;
        g_verificadoCarimbo = antes;
    }
    return {};
}

bool javerificado(const QString& caminho)
{
    const Carimbo agora = carimbo(caminho);
    QMutexLocker trava(&g_verificadoMutex);
    return g_verificadoCaminho == caminho && g_verificadoCarimbo == agora;
}

int verificacoesemandamento()
{
    return g_emandamento.load();
}

}  // namespace tivane
