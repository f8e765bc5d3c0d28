#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/registro.h"
#include "core/frmaguarde.h"
#include "shell/varredura.h"
#include "testsupport.h"
#include "tithes/pagamentos.h"

using namespace tivane;

namespace {
QDate dia(const char* texto) { return QDate::fromString(QString::fromLatin1(texto), "dd/MM/yyyy"); }

void dizimista(const QString& codigo, const QString& cadastro, int ativo = 1)
{
    Consulta c("INSERT INTO dizimistas (codigo, nome, cadastro, ativo) VALUES (?, ?, ?, ?)");
    c.bind(codigo).bind("Nome " + codigo).bind(cadastro == "NULL" ? QVariant() : QVariant(cadastro)).bind(ativo);
    QVERIFY2(c.exec(), qPrintable(c.erro()));
}
void dizimistas(int n)   // "0001" ... registered long ago
{
    for (int i = 1; i <= n; ++i)
        dizimista(QString("000%1").arg(i), "01/01/2000");
}

// "codigo;data" rows; "NULL" for a missing date.
void pagamentos(const QStringList& linhas)
{
    static int numero = 0;
    for (const QString& l : linhas) {
        Consulta c("INSERT INTO pagamentos (codigo, data, valor, codigodizimista) VALUES (?, ?, '10,00', ?)");
        const QString data = l.section(';', 1);
        c.bind(QString("%1/15").arg(++numero, 5, 10, QChar('0'))).bind(data == "NULL" ? QVariant() : QVariant(data))
            .bind(l.section(';', 0, 0));
        QVERIFY2(c.exec(), qPrintable(c.erro()));
    }
}

QString ativos()
{
    Consulta c("SELECT group_concat(codigo, ' ') FROM (SELECT codigo FROM dizimistas WHERE ativo <> 0 ORDER BY codigo)");
    return c.next() ? c.text(0) : QString("falhou");
}
}  // namespace

class TstVarredura : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init()
    {
        teste::limpaBanco();
        Dialogos::limpa();
    }

    void diasDoAjuste()
    {
        const QList<QPair<QString, int>> casos = {{"30", 30}, {" 30 ", 30}, {"0", 0}, {"+7", 7}, {"abc", 120},
                                                  {"", 120}, {"-5", 120}, {"12,5", 120}, {"12.5", 120},
                                                  {"1e3", 120}, {"99999999999", 120}};
        for (const auto& [texto, dias] : casos)
            QVERIFY2(diasdavarredura(texto) == dias, qPrintable(texto));
    }

    void quemFicaInativo_data()
    {
        QTest::addColumn<QString>("cadastro");
        QTest::addColumn<int>("ativo");
        QTest::addColumn<QStringList>("pagos");   // "codigo;data"
        QTest::addColumn<QDate>("hoje");
        QTest::addColumn<int>("dias");
        QTest::addColumn<bool>("inativado");
        const auto linha = [](const char* tag, const QString& cadastro, int ativo, const QStringList& pagos, const char* hoje,
                              int dias, bool inativado) { QTest::newRow(tag) << cadastro << ativo << pagos << dia(hoje) << dias << inativado; };
        const QString c = "01/01/2000";
        linha("pago há 121 dias", c, 1, {"0001;01/01/2015"}, "02/05/2015", 120, true);
        linha("pago há 120 dias", c, 1, {"0001;01/01/2015"}, "01/05/2015", 120, false);
        linha("vale o mais recente", c, 1, {"0001;02/01/2015", "0001;01/01/2015"}, "02/05/2015", 120, false);
        linha("30 dias", c, 1, {"0001;01/04/2015"}, "02/05/2015", 30, true);
        linha("0 dias, pago hoje", c, 1, {"0001;02/05/2015"}, "02/05/2015", 0, false);
        linha("0 dias, pago ontem", c, 1, {"0001;01/05/2015"}, "02/05/2015", 0, true);
        linha("dia sem zero", c, 1, {"0001;1/1/2015"}, "02/05/2015", 120, true);
        linha("sem pagamento, cadastro antigo", "01/01/2015", 1, {}, "02/05/2015", 120, true);
        linha("sem pagamento, cadastro recente", "10/04/2015", 1, {}, "02/05/2015", 120, false);
        linha("sem pagamento nem cadastro", "NULL", 1, {}, "02/05/2015", 120, false);
        linha("cadastro ilegível", "ontem", 1, {}, "02/05/2015", 120, false);
        linha("estornos não contam", "01/01/2014", 1, {"E0001;01/05/2015", "EE0001;01/05/2015"}, "02/05/2015", 120, true);
        linha("antes de 2010 vale 01/01/2010", c, 1, {"0001;05/05/2009"}, "01/05/2010", 120, false);
        linha("depois do piso", c, 1, {"0001;05/05/2009"}, "02/05/2010", 120, true);
        linha("uma data ilegível", c, 1, {"0001;01/01/2014", "0001;31/02/2014"}, "02/05/2015", 120, false);
        linha("data vazia", c, 1, {"0001;01/01/2014", "0001;NULL"}, "02/05/2015", 120, false);
        linha("já inativo", c, 0, {"0001;01/01/2014"}, "02/05/2015", 120, false);
        // -1 is the old system's yes: active.
        linha("ativo -1, pago há 121 dias", c, -1, {"0001;01/01/2015"}, "02/05/2015", 120, true);
        linha("ativo -1, pago há 120 dias", c, -1, {"0001;01/01/2015"}, "01/05/2015", 120, false);
    }
    // Exactly the tithers whose last payment plus the days lies before today.
    void quemFicaInativo()
    {
        QFETCH(QString, cadastro);
        QFETCH(int, ativo);
        QFETCH(QStringList, pagos);
        QFETCH(QDate, hoje);
        QFETCH(int, dias);
        QFETCH(bool, inativado);
        dizimista("0001", cadastro, ativo);
        dizimista("0002", "01/01/2000");
        pagamentos(pagos + QStringList{"0002;" + hoje.toString("dd/MM/yyyy")});

        const ResultadoVarredura r = marcainativos(hoje, dias);
        QVERIFY(r.ok && r.inativados == (inativado ? 1 : 0));
        QCOMPARE(ativos(), ativo && !inativado ? QString("0001 0002") : QString("0002"));
    }

    // The timer's task reads "tempolimite", tells how many, and says nothing when none.
    void tarefaDoTimer()
    {
        const QDate hoje = QDate::currentDate();
        dizimistas(4);
        pagamentos({"0001;" + hoje.addDays(-100).toString("dd/MM/yyyy"), "0002;" + hoje.addDays(-130).toString("dd/MM/yyyy"),
                    "0003;" + hoje.addDays(-200).toString("dd/MM/yyyy"), "0004;" + hoje.toString("dd/MM/yyyy")});
        QVERIFY(gravatextopadrao("tempolimite", "abc"));   // counts as 120
        tempobloqueia_Timer();
        QCOMPARE(ativos(), QString("0001 0004"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto + QString::number(Dialogos::ultimo("msgbox").estilo),
                 QString("Foram definidos 2 dizimistas como inativos!64"));
        QVERIFY(!FrmAguarde::aberta());
        Dialogos::limpa();
        tempobloqueia_Timer();   // nobody else is due: no message
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        QVERIFY(gravatextopadrao("tempolimite", "30"));
        tempobloqueia_Timer();
        QCOMPARE(ativos(), QString("0004"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Foram definidos 1 dizimistas como inativos!"));
        QVERIFY(gravatextopadrao("tempolimite", "120"));
    }

    // Each tither is reported before it is read; a sweep started from there does
    // nothing, and a tither paid meanwhile stays active.
    void andamentoEPagamentoDuranteAVarredura()
    {
        dizimistas(5);
        QList<int> passos;
        int totalVisto = 0;
        ResultadoVarredura interna;
        interna.inativados = -1;
        const ResultadoVarredura r = marcainativos(dia("02/05/2015"), 120, [&](int i, int total) {
            passos << i;
            totalVisto = total;
            if (i == 1) {
                interna = marcainativos(dia("02/05/2015"), 120);
                QString data = "02/05/2015", hora = "10:00", valor = "5,00", cod = "0004", nome = "Nome 0004", mes, ano;
                QVERIFY(!gravapagamento(data, hora, valor, cod, nome, mes, ano).isEmpty());
            }
        });
        QVERIFY(r.ok && interna.ok && interna.inativados == 0 && totalVisto == 5);
        QCOMPARE(passos, (QList<int>{0, 1, 2, 3, 4}));
        QCOMPARE(r.inativados, 4);
        QCOMPARE(ativos(), QString("0004"));
    }

    // One transaction for all: a write refused halfway leaves every tither as it was, and says why.
    void falhaNaoGravaNada()
    {
        dizimistas(3);
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE UPDATE ON dizimistas WHEN new.codigo = '0002'"
                           " BEGIN SELECT RAISE(ABORT, 'recusado'); END"));
        const ResultadoVarredura r = marcainativos(dia("02/05/2015"), 120);
        QVERIFY(!r.ok && !r.leitura && r.inativados == 0);
        QCOMPARE(ativos(), QString("0001 0002 0003"));
        tempobloqueia_Timer();
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível marcar os dizimistas inativos"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        // The file closed and opened again while the sweep yielded (a restore): what was read is not used.
        const ResultadoVarredura r2 = marcainativos(dia("02/05/2015"), 120, [](int i, int) {
            if (i == 2) {
                Banco::closeAll();
                QVERIFY(Banco::conecta());
            }
        });
        QVERIFY(!r2.ok && r2.leitura);
        QCOMPARE(ativos(), QString("0001 0002 0003"));
        QCOMPARE(marcainativos(dia("02/05/2015"), 120).inativados, 3);
    }
};

TIVANE_TEST_MAIN(TstVarredura)
#include "tst_varredura.moc"
