#pragma once
// The program's only way to its database file "cadastrocd.mdb" (SQLCipher).
// One connection per process, opened on first use. Every operation holds an
// Escopo for its duration; statements are Consulta objects on that connection.
#include "core/arquivobanco.h"

#include <QString>
#include <QVariant>
#include <QVector>

struct sqlite3;
struct sqlite3_stmt;

namespace tivane {

enum class Tabela { Dizimistas, Usuarios, Pagamentos, Igreja };

// An answer of the data layer: one of Valores::Valor and, for Falha, its own
// cause in the program's words. Compares and switches as the bare value.
template <typename Valores>
class [[nodiscard]] Resposta : public Valores {
public:
    using Valor = typename Valores::Valor;
    // Never set: a failure, so a road that forgot its answer never reads as done.
    Resposta() : valor_(Valores::Falha), causa_(QStringLiteral("a operação terminou sem resposta")) {}
    Resposta(Valor valor) : valor_(valor) {}
    static Resposta falha(const QString& causa)
    {
        Resposta r(Valores::Falha);
        r.causa_ = causa;
        return r;
    }
    operator Valor() const { return valor_; }
    const QString& causa() const { return causa_; }

private:
    Valor valor_;
    QString causa_;
};

// The answer of a lookup: a read that fails is never taken for "not found".
struct ValoresLeitura {
    enum Valor { Encontrado, NaoEncontrado, Falha };
};
using Leitura = Resposta<ValoresLeitura>;

// The answer of a write.
struct ValoresGravacao {
    enum Valor {
        Gravado,
        CodigoExiste,    // insert: the code is taken
        NaoEncontrado,   // update / delete / flag: no row with the code
        Falha            // the database refused; nothing was changed
    };
};
using Gravacao = Resposta<ValoresGravacao>;

// For routines that answer false and put the cause where the caller asked:
// `return falhou(causa, c.erro());`
inline bool falhou(QString* causa, const QString& porque)
{
    if (causa)
        *causa = porque;
    return false;
}

// Why an operation could not open the database file.
struct FalhaAbertura {
    enum Tipo {
        SemPermissao,    // the data folder may not be entered (the file may well be there)
        ArquivoAusente,  // no file, or an empty one
        NaoAbriu         // there, but it could not be opened (cause says why)
    };
    Tipo tipo = NaoAbriu;
    QString caminho;
    QString causa;
};

namespace Banco {
// Opens (or reuses) the connection for the current data folder. No messages.
[[nodiscard]] bool conecta(QString* erro = nullptr);
sqlite3* conexao();                             // null when not connected
void closeAll();                                // before a restore replaces the file
// Creates a new encrypted database with the four tables and the church's row.
[[nodiscard]] bool criaBancoVazio(const QString& caminho, QString* erro = nullptr);
// First run: no settings yet and no database in the default folder. True when it
// made one; false when there was nothing to do, or when it could not (erro says why).
[[nodiscard]] bool preparaPrimeiraExecucao(QString* erro = nullptr);
// How long a statement waits for another program's write before it fails (ms).
void defineEsperaOcupado(int ms);
// Called when an operation cannot open the file; the operation then fails.
void defineTratamentoAbertura(void (*tratamento)(const FalhaAbertura& falha));
// An empty file where the database should be (a copy or an install that never
// finished) is moved aside, never deleted. True when nothing is in the way now.
[[nodiscard]] bool tiraArquivoVazio(const QString& caminho);
}  // namespace Banco

// One database operation: the opener of its table. Runs the missing-file test
// and the key probe; when either fails, the handler of Banco::defineTratamentoAbertura
// hears why and the scope is not ok. A transaction started with inicia() is
// rolled back unless confirma() ran.
class [[nodiscard]] Escopo {
public:
    explicit Escopo(Tabela tabela);
    ~Escopo();
    Escopo(const Escopo&) = delete;
    Escopo& operator=(const Escopo&) = delete;
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    [[nodiscard]] bool inicia();     // BEGIN IMMEDIATE
    [[nodiscard]] bool confirma();   // COMMIT; false (and rolled back) on failure
    void desfaz();                   // ROLLBACK
    // Why the file could not be opened, or why inicia() or confirma() failed.
    const QString& causa() const { return causa_; }

private:
    bool ok_ = false;
    bool transacao_ = false;
    quint64 geracao_ = 0;   // of the connection the transaction began on
    QString causa_;
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

    [[nodiscard]] bool next();       // true while a row is available
    [[nodiscard]] bool exec();       // runs to completion; true on success
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
    // Null once Banco::closeAll() has finalised the statement (a restore, or the
    // file looked at again after a statement failed, while this one was alive): it
    // then fails instead of touching freed memory.
    sqlite3_stmt* st() const;
    bool vivo();

    sqlite3_stmt* stmt_ = nullptr;
    QByteArray texto_;
    quint64 geracao_ = 0;
    int proximo_ = 1;
    QString erro_;
};

}  // namespace tivane
