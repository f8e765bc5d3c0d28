#pragma once
// The program's only way to its database file "cadastrocd.mdb" (SQLCipher).
// One connection per process, opened on first use. Every operation holds an
// Escopo for its duration; statements are Consulta objects on that connection.
#include <QString>
#include <QVariant>
#include <QVector>

struct sqlite3;
struct sqlite3_stmt;

namespace tivane {

constexpr const char* SENHA_BANCO = "qorm64";
constexpr const char* ARQUIVO_BANCO = "cadastrocd.mdb";

enum class Tabela { Dizimistas, Usuarios, Pagamentos, Igreja };

// The answer of a lookup: a read that fails is never taken for "not found".
enum class Leitura { Encontrado, NaoEncontrado, Falha };

// The answer of a write.
enum class Gravacao {
    Gravado,
    CodigoExiste,    // insert: the code is taken
    NaoEncontrado,   // update / delete / flag: no row with the code
    Falha            // the database refused; nothing was changed
};

namespace Banco {
QString caminhoArquivo();                       // data folder + "cadastrocd.mdb"
// Opens (or reuses) the connection for the current data folder. No messages.
bool conecta(QString* erro = nullptr);
sqlite3* conexao();                             // null when not connected
void closeAll();                                // before whole-file copies and restores
// Creates a new encrypted database with the four tables and the church's row.
bool criaBancoVazio(const QString& caminho, QString* erro = nullptr);
// First run: no settings yet and no database in the default folder.
bool preparaPrimeiraExecucao();
// Start-up: whatever the program creates from now on is private to this
// account, and an existing database (with its journal), the default data
// folder and the settings files that this account owns are tightened alike.
// In a data folder chosen in the settings, the database may keep the folder's
// group access (the office's accounts may share it); others never.
void protegearquivos();
// Whether a folder on this kind of file system (as QStorageInfo names it) is
// this computer's alone: only then do all its changes reach the local change
// queue (a shared network folder is looked at on every operation), and only
// then are the files in it this computer's own work.
bool vigiaconfiavel(const QByteArray& tipoSistemaArquivos);
QString ultimoErro();                           // Portuguese description of the last failure
// A failure the program itself found (a rule of the data, not the engine):
// the warnings below name it as the cause.
void anotaFalha(const QString& causa);
// How long a statement waits for another program's write before it fails (ms).
void defineEsperaOcupado(int ms);
// Called with true before and false after the one-time rebuild of an older
// file (seconds on a large one), so a window can say what is going on.
void defineAvisoReorganizacao(void (*aviso)(bool inicio));
// The program's key on a newly opened SQLCipher handle, before its first read.
bool aplicachave(sqlite3* db);
// The case-folding collation "FOLD" that older files name in their indexes.
void registradobra(sqlite3* db);
// "Não foi possível gravar ..." warning (style 48) naming the cause.
void avisaFalhaGravacao(const QString& oque = QString());
// "Não foi possível ler o banco de dados: <cause>." warning (style 48); the
// operation that read stops after it.
void avisaFalhaLeitura(const QString& oque = QString());
}  // namespace Banco

// One database operation: the opener of its table. Runs the missing-file test
// (question, then the program ends) and the key probe (warning, program ends).
// A transaction started with inicia() is rolled back unless confirma() ran.
class Escopo {
public:
    explicit Escopo(Tabela tabela);
    ~Escopo();
    Escopo(const Escopo&) = delete;
    Escopo& operator=(const Escopo&) = delete;
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    bool inicia();      // BEGIN IMMEDIATE
    bool confirma();    // COMMIT; false (and rolled back) on failure
    void desfaz();      // ROLLBACK

private:
    bool ok_ = false;
    bool transacao_ = false;
};

Escopo abreconexaodizimistas();
Escopo abreconexaousuarios();
Escopo abreconexaopagamentos();
Escopo abreconexaoigreja();

// A prepared statement with bound values. A finished statement is kept, reset,
// for the next Consulta of the same text. Null QVariant binds NULL; bool and
// integers bind integers; everything else binds text.
class Consulta {
public:
    explicit Consulta(const QString& sql);
    ~Consulta();
    Consulta(const Consulta&) = delete;
    Consulta& operator=(const Consulta&) = delete;

    Consulta& bind(const QVariant& valor);
    Consulta& bind(const QString& valor) { return bind(QVariant(valor)); }
    Consulta& bind(const char* valor) { return bind(QVariant(QString::fromUtf8(valor))); }
    Consulta& bind(qint64 valor) { return bind(QVariant(valor)); }
    Consulta& bind(int valor) { return bind(QVariant(valor)); }
    Consulta& bindNull() { return bind(QVariant()); }

    bool next();                     // true while a row is available
    bool exec();                     // runs to completion; true on success
    void reset();                    // to run again with new values
    bool ok() const { return erro_.isEmpty(); }
    QString erro() const { return erro_; }

    int colunas() const;
    int indice(const char* nome) const;
    QVariant value(int coluna) const;              // NULL -> invalid QVariant
    QVariant value(const char* nome) const { return value(indice(nome)); }
    QString text(int coluna) const;                // NULL -> ""
    QString text(const char* nome) const { return text(indice(nome)); }
    // The text as the database holds it, UTF-8; valid until the next row (NULL -> empty).
    QByteArrayView utf8(int coluna) const;
    bool isNull(int coluna) const;
    bool isNull(const char* nome) const { return isNull(indice(nome)); }
    qint64 inteiro(int coluna) const;
    qint64 changes() const;

private:
    // Null once Banco::closeAll() has finalised the statement (a whole-file copy
    // while the statement was alive): it then fails instead of touching freed memory.
    sqlite3_stmt* st() const;
    bool vivo();

    sqlite3_stmt* stmt_ = nullptr;
    QByteArray texto_;
    quint64 geracao_ = 0;
    int proximo_ = 1;
    QString erro_;
};

}  // namespace tivane
