#include "shell/varredura.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/frmaguarde.h"
#include "tithes/pagamentos.h"

#include <QCoreApplication>
#include <QStringList>

namespace tivane {

namespace {

RegistroComando reg("tempobloqueia", [] { tempobloqueia_Timer(); });

constexpr int DIAS_PADRAO = 120;

bool g_varrendo = false;

ResultadoVarredura falha(bool leitura, const QString& erro)
{
    ResultadoVarredura r;
    r.ok = false;
    r.leitura = leitura;
    r.erro = erro;
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
        return falha(true, e.causa());
    // Registered here so the stored schema and the shared opener stay untouched.
    if (!registraultimopagamento())
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
    QStringList vencidos;
    {
        Consulta c(QStringLiteral(
            "SELECT d.codigo, ultimopagamento(p.rowid, p.data, d.cadastro) FROM dizimistas d"
            " LEFT JOIN pagamentos p ON p.codigodizimista = d.codigo"
            " WHERE d.ativo <> 0 GROUP BY d.rowid ORDER BY d.rowid"));
        int i = 0;
        while (c.next()) {
            if (andamento)
                andamento(i, total);
            ++i;
            if (!c.isNull(1) && c.inteiro(1) + dias < limiteHoje)
                vencidos.append(c.text(0));
        }
        if (!c.ok())
            return falha(true, c.erro());
    }

    ResultadoVarredura r;
    if (vencidos.isEmpty())
        return r;
    if (!e.inicia())
        return falha(false, e.causa());
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
        return falha(false, e.causa());
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
            Dialogos::avisaFalhaLeitura(oque, r.erro);
        else
            Dialogos::avisaFalhaGravacao(oque, r.erro);
        return;
    }
    if (r.inativados > 0)
        Dialogos::msgbox(QStringLiteral("Foram definidos ") + QString::number(r.inativados)
                             + QStringLiteral(" dizimistas como inativos!"),
                         Dialogos::Informacao);
}

}  // namespace tivane
