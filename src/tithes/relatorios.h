#pragma once
// The five text reports. Each builder is a pure function of its rows, the
// church record and the day of issue, so the whole text can be checked
// without a window or a database; the loaders below fetch the rows.
#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
#include <initializer_list>
#include <memory>

#include "core/textocompacto.h"
#include "core/igreja.h"

namespace tivane {

// ---- Tither list reports ----------------------------------------------------

// One tither of a report list. The list loaders fill the fields their kind
// of list shows; the others stay empty.
struct ItemDizimista {
    QString codigo;
    bool ativo = false;
    QString nome;
    QString endereco;        // composed address (complete and neighbourhood lists)
    QString telefone;        // "Telefone" of the complete and neighbourhood lists
    QString email;
    QString nascimento;
    QString dia;             // day of birth, "01" to "31" (birthday list)
    QString telefonedia;     // "Telefone" of the birthday list
    QString celular;         // birthday list
};

// The tithers of a report list. Their texts lie back to back in one buffer,
// in UTF-8 as the database gives them, so a list of thousands costs a few
// allocations instead of several per tither and is decoded only where shown.
class ListaDizimistas {
public:
    // In the order of ItemDizimista.
    enum Campo { Codigo, Nome, Endereco, Telefone, Email, Nascimento, Dia, TelefoneDia, Celular };
    static constexpr int CAMPOS = Celular + 1;

    ListaDizimistas() = default;
    ListaDizimistas(std::initializer_list<ItemDizimista> itens);

    qsizetype size() const { return linhas_.size(); }
    bool isEmpty() const { return linhas_.isEmpty(); }
    bool ativo(qsizetype i) const { return linhas_.at(i).ativo; }
    QByteArrayView utf8(qsizetype i, Campo c) const;   // valid while the list is unchanged
    QString campo(qsizetype i, Campo c) const { return QString::fromUtf8(utf8(i, c)); }
    ItemDizimista item(qsizetype i) const;

    void append(const ItemDizimista& d);
    void append(const ListaDizimistas& outra, qsizetype i);   // tither i of another list

    // A tither read from the database: its texts in pieces taken in the order
    // of Campo (a field may take several pieces, or none and stay empty).
    struct Pedaco {
        Campo campo;
        QByteArrayView utf8;
    };
    void appendutf8(bool ativo, const Pedaco* pedacos, int quantos);

private:
    struct Linha {
        qsizetype inicio;
        quint32 fim[CAMPOS];   // end of each field, from inicio
        bool ativo;
    };
    QByteArray texto_;
    QVector<Linha> linhas_;
};

inline QByteArrayView ListaDizimistas::utf8(qsizetype i, Campo c) const
{
    const Linha& l = linhas_[i];
    const quint32 inicio = c == Codigo ? 0 : l.fim[c - 1];
    return QByteArrayView(texto_.constData() + l.inicio + inicio, qsizetype(l.fim[c] - inicio));
}

// Which lines a tither block of the registration-data and neighbourhood
// reports carries.
struct CamposRelatorio {
    bool nome = true;
    bool endereco = true;
    bool telefone = true;
    bool email = true;
    bool nascimento = true;
    bool codigo = true;
};


// "DADOS DE CADASTRO DE DIZIMISTAS": one block per item, in the order given.
QString textorelatoriodedados(const ListaDizimistas& itens, const CamposRelatorio& campos,
                              const DadosIgreja& igreja, const QDate& hoje);
// "RELATÓRIO DE DIZIMISTAS POR BAIRRO"; the neighbourhood is printed as typed.
QString textorelatoriobairro(const ListaDizimistas& itens, const QString& bairro,
                             const CamposRelatorio& campos, const DadosIgreja& igreja, const QDate& hoje);
// "ANIVERSARIANTES DO MÊS" of month mes, items ordered by day of birth (the
// order of the load is kept within a day). The issue line ends with "  -  "
// and the church's site, empty or not.
QString textorelatorioaniversariantes(const ListaDizimistas& itens, int mes, bool exibetelefone,
                                      const DadosIgreja& igreja, const QDate& hoje);

// Loaders, rows in the order of the table. False, and itens untouched, when the
// table could not be read whole (why in causa): never a part of the list.
[[nodiscard]] bool carregalistacompletadizimistas(ListaDizimistas* itens, QString* causa = nullptr);
// Tithers whose neighbourhood contains the text, folding case (accents count).
[[nodiscard]] bool carregalistadizimistasporbairro(const QString& bairro, ListaDizimistas* itens, QString* causa = nullptr);
// Tithers with a valid birth date in the month; none outside 1 to 12.
[[nodiscard]] bool carregalistaaniversariantes(int mes, ListaDizimistas* itens, QString* causa = nullptr);
// The birthday fields of one tither: false when nascimento is not a valid
// date (or the month differs, when mes is given).
bool itemaniversariante(const QString& nascimento, int mes, QString* dia);

// ---- Receipts over a period -------------------------------------------------

// One row of pagamentos as the period reports read it.
struct LinhaPagamento {
    QString data;               // "dd/mm/yyyy"
    QString codigo;             // receipt code
    QString codigodizimista;    // "E..." on a reversed receipt
    QString nomedizimista;
    bool nomenulo = false;      // Null name: printed "Não Identificado"
    QString valor;              // amount text with a decimal comma
    bool valornulo = false;     // Null amount: printed and counted as "0,00"
};

struct PeriodoRelatorio {
    QDate inicio;
    QDate fim;
    QString codigodizimista;    // empty: every tither
    QString nomedizimista;      // printed after "DIZIMSTA: " when a code is given
    bool mostracodigos = false; // receipt codes in the first column
};

struct [[nodiscard]] ResultadoRelatorio {
    bool ok = false;
    TextoCompacto texto;        // a year of receipts is tens of millions of characters
    QString erro;               // message in Portuguese when not ok
};

// What a day source answers: the day was read, or it was not, and why.
class [[nodiscard]] LeituraDia {
public:
    // Never set: a failure, as Resposta.
    LeituraDia() : lida_(false), causa_(QStringLiteral("a leitura terminou sem resposta")) {}
    LeituraDia(bool lida) : lida_(lida) {}
    static LeituraDia falha(const QString& causa)
    {
        LeituraDia l(false);
        l.causa_ = causa;
        return l;
    }
    explicit operator bool() const { return lida_; }
    const QString& causa() const { return causa_; }

private:
    bool lida_;
    QString causa_;
};

// Reads one day's rows ("dd/mm/yyyy"), in the order the database gives them,
// into linhas (cleared first).
using FonteDia = std::function<LeituraDia(const QString& dia, QVector<LinhaPagamento>& linhas)>;
// Called once before each day with the counter (1 to total).
using ProgressoDia = std::function<void(int contador, int total)>;

// Receipts by period ("RECEBIMENTO DE DÍZIMOS POR PERÍODO"), day by day from
// the source. Stops with a message when a source fails or an amount is not a
// number. The period must be valid with fim >= inicio.
ResultadoRelatorio montarelatoriorecebimentos(const PeriodoRelatorio& periodo, const DadosIgreja& igreja,
                                              const QDate& hoje, const FonteDia& fonte,
                                              const ProgressoDia& progresso = {});
// Daily totals by period ("VALORES DE RECEBIMENTOS DE DÍZIMOS POR PERÍODO").
ResultadoRelatorio montarelatoriototaisdiarios(const PeriodoRelatorio& periodo, const DadosIgreja& igreja,
                                               const QDate& hoje, const FonteDia& fonte,
                                               const ProgressoDia& progresso = {});
// The same over rows already in memory (any days, any order between days).
ResultadoRelatorio textorelatoriorecebimentos(const QVector<LinhaPagamento>& linhas, const PeriodoRelatorio& periodo,
                                              const DadosIgreja& igreja, const QDate& hoje);
ResultadoRelatorio textorelatoriototaisdiarios(const QVector<LinhaPagamento>& linhas,
                                               const PeriodoRelatorio& periodo, const DadosIgreja& igreja,
                                               const QDate& hoje);

// What a period report shows of each payment: the receipts report its code,
// name and amount; the daily totals only its amount (reversed rows are left
// out of both).
enum class ColunasPagamento { Recibos, Totais };

// A day source on table pagamentos: one prepared statement reused for every
// day. Keep it alive only while the report runs. For the daily totals the
// receipt code is read only for an amount that is not a number (the message
// names the receipt), and the name never.
class LeitorPagamentosDia {
public:
    explicit LeitorPagamentosDia(ColunasPagamento colunas = ColunasPagamento::Recibos);
    ~LeitorPagamentosDia();
    LeitorPagamentosDia(const LeitorPagamentosDia&) = delete;
    LeitorPagamentosDia& operator=(const LeitorPagamentosDia&) = delete;
    bool ok() const;
    QString causa() const;   // why it is not ok
    LeituraDia le(const QString& dia, QVector<LinhaPagamento>& linhas);

private:
    struct Dados;
    std::unique_ptr<Dados> d;
};

}  // namespace tivane
