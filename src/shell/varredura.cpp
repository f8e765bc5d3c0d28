#include "shell/varredura.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/frmaguarde.h"
#include "tithes/pagamentos.h"

#include <QCoreApplication>
#include <QStringList>
#include <sqlcipher/sqlite3.h>
#include <algorithm>

namespace tivane {

namespace {

RegistroComando reg("tempobloqueia", [] { tempobloqueia_Timer(); });

constexpr int DIAS_PADRAO = 120;
const QDate PISO(2010, 1, 1);

// A stored date "dd/mm/yyyy" (also "d/m/yyyy") as a Julian day, read as lerdata
// reads it; -1 when it is not a date. Runs once per payment: plain ASCII, nearly
// every stored date, is read from the bytes without decoding them.
qint64 diajuliano(const unsigned char* p, int n)
{
    const char* texto = reinterpret_cast<const char*>(p);
    const bool ascii = std::all_of(p, p + n, [](unsigned char c) { return c < 0x80; });
    const QDate d = ascii ? lerdata(QLatin1StringView(texto, n)) : lerdata(QString::fromUtf8(texto, n));
    return d.isValid() ? d.toJulianDay() : -1;
}

// Aggregate ultimopagamento(rowid, data) over the payments joined to one tither:
// NULL when none joined, -1 when a date cannot be read, else the latest Julian day.
struct Acumulado {
    bool algum;
    bool ilegivel;
    qint64 maior;
};

void passo(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* a = static_cast<Acumulado*>(sqlite3_aggregate_context(ctx, sizeof(Acumulado)));
    if (!a) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;   // the tither has no payment: the outer join's empty row
    a->algum = true;
    if (a->ilegivel)
        return;
    const unsigned char* texto = sqlite3_value_text(argv[1]);
    const qint64 dia = texto ? diajuliano(texto, sqlite3_value_bytes(argv[1])) : -1;
    if (dia < 0)
        a->ilegivel = true;
    else if (dia > a->maior)
        a->maior = dia;
}

void final(sqlite3_context* ctx)
{
    auto* a = static_cast<Acumulado*>(sqlite3_aggregate_context(ctx, 0));
    if (!a || !a->algum)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int64(ctx, a->ilegivel ? -1 : a->maior);
}

bool g_varrendo = false;

ResultadoVarredura falha(bool leitura, const QString& erro)
{
    ResultadoVarredura r;
    r.ok = false;
    r.leitura = leitura;
    r.erro = erro.isEmpty() ? Banco::ultimoErro() : erro;
    return r;
}

}  // namespace

bool varreduraemandamento()
{
    return g_varrendo;
}

int diasdavarredura(const QString& tempolimite)
{
    bool ok = false;
    const int dias = tempolimite.trimmed().toInt(&ok);
    return ok && dias >= 0 ? dias : DIAS_PADRAO;
}

ResultadoVarredura marcainativos(const QDate& hoje, int dias, const std::function<void(int, int)>& andamento)
{
    if (g_varrendo)
        return {};
    g_varrendo = true;
    struct Fim {
        ~Fim() { g_varrendo = false; }
    } fim;

    Escopo e = abreconexaodizimistas();
    if (!e)
        return falha(true, QString());
    // Registered here so the stored schema and the shared opener stay untouched.
    if (sqlite3_create_function_v2(Banco::conexao(), "ultimopagamento", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, nullptr, passo, final, nullptr) != SQLITE_OK)
        return falha(true, QStringLiteral("a função de datas não pôde ser preparada"));

    int total = 0;
    qint64 ultimalinha = 0;   // payments written after this one come from the time of the sweep
    {
        Consulta c(QStringLiteral("SELECT (SELECT count(*) FROM dizimistas WHERE ativo <> 0),"
                                  " (SELECT ifnull(max(rowid), 0) FROM pagamentos)"));
        if (!c.next())
            return falha(true, c.erro());
        total = static_cast<int>(c.inteiro(0));
        ultimalinha = c.inteiro(1);
    }
    if (total == 0)
        return {};

    const qint64 limiteHoje = hoje.toJulianDay();
    const qint64 piso = PISO.toJulianDay();
    QStringList vencidos;
    {
        Consulta c(QStringLiteral(
            "SELECT d.codigo, d.cadastro, ultimopagamento(p.rowid, p.data) FROM dizimistas d"
            " LEFT JOIN pagamentos p ON p.codigodizimista = d.codigo"
            " WHERE d.ativo <> 0 GROUP BY d.rowid ORDER BY d.rowid"));
        int i = 0;
        while (c.next()) {
            if (andamento)
                andamento(i, total);
            ++i;
            qint64 ultima;
            if (c.isNull(2)) {
                const QDate cadastro = lerdata(c.text(1));
                if (!cadastro.isValid())
                    continue;
                ultima = cadastro.toJulianDay();
            } else {
                ultima = c.inteiro(2);
                if (ultima < 0)
                    continue;
                ultima = qMax(ultima, piso);
            }
            if (ultima + dias < limiteHoje)
                vencidos.append(c.text(0));
        }
        if (!c.ok())
            return falha(true, c.erro());
    }

    ResultadoVarredura r;
    if (vencidos.isEmpty())
        return r;
    if (!e.inicia())
        return falha(false, QString());
    // A tither changed or paid while the sweep yielded keeps what the user did.
    Consulta u(QStringLiteral("UPDATE dizimistas SET ativo = 0 WHERE codigo = ? AND ativo <> 0 AND NOT EXISTS"
                              " (SELECT 1 FROM pagamentos WHERE codigodizimista = ? AND rowid > ?)"));
    for (const QString& codigo : vencidos) {
        u.reset();
        u.bind(codigo).bind(codigo).bind(ultimalinha);
        if (!u.exec()) {
            e.desfaz();
            return falha(false, u.erro());
        }
        r.inativados += static_cast<int>(u.changes());
    }
    if (!e.confirma())
        return falha(false, QString());
    return r;
}

void tempobloqueia_Timer()
{
    const int dias = diasdavarredura(lertextopadrao(QStringLiteral("tempolimite")));
    bool aberta = false;
    const ResultadoVarredura r = marcainativos(QDate::currentDate(), dias, [&aberta](int atual, int total) {
        if (!aberta) {
            aberta = true;
            FrmAguarde::abre();
            FrmAguarde::defineMaximo(total);
        }
        FrmAguarde::defineValor(atual);
        QCoreApplication::processEvents();
    });
    if (aberta)
        FrmAguarde::fecha();
    if (!r.ok) {
        const QString oque = QStringLiteral("Não foi possível marcar os dizimistas inativos");
        if (r.leitura)
            Banco::avisaFalhaLeitura(oque);
        else
            Banco::avisaFalhaGravacao(oque);
        return;
    }
    if (r.inativados > 0)
        Dialogos::msgbox(QStringLiteral("Foram definidos ") + QString::number(r.inativados)
                             + QStringLiteral(" dizimistas como inativos!"),
                         Dialogos::Informacao);
}

}  // namespace tivane
