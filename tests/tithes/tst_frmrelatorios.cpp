// The reports window: tither list, each report from its button or menu entry, refused periods, the wait window.
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/frmaguarde.h"
#include "shell/frmprincipal.h"
#include "tithes/frmfolhaderelatorio.h"
#include "tithes/frmrelatorios.h"

using namespace tivane;

namespace {

template <typename T = QWidget> T* filho(QWidget* w, const QString& nome)
{
    T* c = w->findChild<T*>(nome);
    return c ? c : (qFatal("missing control %s", qPrintable(nome)), nullptr);
}
void clica(QWidget* f, const QString& botao) { filho<QPushButton>(f, botao)->click(); }
void marca(QWidget* f, const QString& opcao) { filho<QRadioButton>(f, opcao)->setChecked(true); }

QString pagina()
{
    auto* p = Janelas::instancia<FrmFolhaDeRelatorio>("frmfolhaderelatorio");
    return p ? p->texto() : QString();
}

// Each message box shown so far as "text#style".
QStringList caixas()
{
    QStringList r;
    for (const Dialogos::Registro& c : Dialogos::registros("msgbox"))
        r << c.texto + "#" + QString::number(c.estilo);
    return r;
}

void escolhePeriodo(FrmRelatorios* f, int d0, int m0, int d1, int m1)
{
    const int v[] = {d0, m0, d1, m1};
    for (int i = 0; i < 2; ++i) {
        filho<QComboBox>(f, QString("combodias%1").arg(i))->setCurrentIndex(v[2 * i] - 1);
        filho<QComboBox>(f, QString("Combomes%1").arg(i))->setCurrentIndex(v[2 * i + 1] - 1);
        filho<QComboBox>(f, QString("comboano%1").arg(i))->setCurrentText("2024");
    }
}

QStringList codigos(QTreeWidget* lista)
{
    QStringList r;
    for (int i = 0; i < lista->topLevelItemCount(); ++i)
        r << lista->topLevelItem(i)->text(0);
    return r;
}

FrmRelatorios* abre(int tipo = -1)  // -1: the type the window starts with
{
    auto* f = qobject_cast<FrmRelatorios*>(Janelas::abre("frmrelatorios"));
    f->escolhetipo(tipo);
    return f;
}

const QString R(98, '-');
const QString SUCESSO = "Relatório Emitido com sucesso!#64";
QString SP(int n) { return QString(n, ' '); }

}  // namespace

class TstFrmRelatorios : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        teste::criaBancoTeste();
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua das Flores', tel = '2222-3333'");
        teste::sql("INSERT INTO dizimistas (codigo, nome, endereco, bairro, cidade, tel, email, nascimento, ativo,"
                   " celular) VALUES"
                   " ('0001', 'Bruno', 'Rua B', 'São Cristóvão', 'Rio', '2222-0001', 'b@x', '15/03/1980', 1, NULL),"
                   " ('0002', 'Ângela', 'Rua A', 'Centro', 'Rio', NULL, NULL, '05/03/1990', 0, '9999-0002'),"
                   " ('0003', 'Ana', NULL, 'SÃO CRISTÓVÃO', NULL, NULL, NULL, '15/03/1970', 1, NULL),"
                   " ('0004', 'carlos', 'Rua C', NULL, NULL, NULL, NULL, '01/07/1985', NULL, NULL)");
        teste::sql("INSERT INTO pagamentos (codigo, data, hora, valor, codigodizimista, nomedizimista) VALUES"
                   " ('00001/24', '01/02/2024', '09:00', '10,00', '0001', 'Bruno'),"
                   " ('00002/24', '01/02/2024', '09:10', '0,00', 'E0003', 'Recibo Estornado'),"
                   " ('00003/24', '02/02/2024', '09:00', '5,50', '0003', 'Ana'),"
                   " ('00004/24', '29/02/2024', '09:00', '2,00', '0001', 'Bruno')");
        QVERIFY(Janelas::abre("frmprincipal"));
    }

    void init() { Dialogos::limpa(); }

    void cleanup()
    {
        Janelas::fecha("frmrelatorios");
        Janelas::fecha("frmfolhaderelatorio");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void periodoDoMesEEntradasDoMenu()
    {
        QVERIFY(!Comandos::registrado("mnureltanaliticos"));
        QVERIFY(Comandos::executa("mnurelatrecebimentos"));
        auto* f = Janelas::instancia<FrmRelatorios>("frmrelatorios");
        QVERIFY(f && f->tipoescolhido() == 0);
        const QDate hoje = QDate::currentDate();
        QCOMPARE(f->dataescolhida(0), QDate(hoje.year(), hoje.month(), 1).toString("dd/MM/yyyy"));
        QCOMPARE(f->dataescolhida(1), QDate(hoje.year(), hoje.month(), qMax(1, hoje.day() - 1)).toString("dd/MM/yyyy"));
        QComboBox* ano = filho<QComboBox>(f, "comboano1");  // the years up to the current one
        QCOMPARE(ano->itemText(0) + "-" + ano->itemText(ano->count() - 1), "2005-" + QString::number(hoje.year()));
        QVERIFY(Comandos::executa("mnudadoscadastro"));
        QVERIFY(Janelas::instancia<FrmRelatorios>("frmrelatorios") == f && f->tipoescolhido() == 2);
        QVERIFY(Comandos::executa("mnurelatdizimistabairro"));
        QVERIFY(filho(f, "Framedizimistabairro")->isVisible() && !filho(f, "Framerelatorios")->isVisible());
    }

    void listaEDadosDeCadastro()
    {
        FrmRelatorios* f = abre(2);
        QTreeWidget* lista = filho<QTreeWidget>(f, "listadizimistas");
        const QStringList todos{"0001", "0002", "0003", "0004"};
        QCOMPARE(codigos(lista), todos);
        QCOMPARE(lista->topLevelItem(3)->checkState(0), Qt::Unchecked);  // Null counts as inactive
        for (const auto& [opcao, esperado] :
             QList<QPair<int, QStringList>>{{1, {"0001", "0003"}}, {2, {"0002", "0004"}}, {0, todos}}) {
            marca(f, QString("optfiltro%1").arg(opcao));
            clica(f, "cmdfiltra");
            QCOMPARE(codigos(lista), esperado);
        }
        // "Nome" sorts as a person reads, accents and case aside; a second click and a new filtering keep it.
        const QStringList porNome{"0003", "0002", "0001", "0004"};
        lista->header()->sectionClicked(1);
        QCOMPARE(codigos(lista), porNome);
        lista->header()->sectionClicked(1);
        clica(f, "cmdfiltra");
        QCOMPARE(codigos(lista), porNome);
        // The data report follows the list's order; here name and code only.
        for (int i : {1, 2, 3, 4})
            filho<QCheckBox>(f, QString("chkopcoes%1").arg(i))->setChecked(false);
        clica(f, "cmdgerarelatorio");
        QCOMPARE(caixas(), QStringList{SUCESSO});
        QVERIFY(pagina().contains("\r\n\r\nNome:       Ana\r\n0003\r\n\r\n" + R +
                                  "\r\n\r\nNome:       Ângela\r\n0002\r\n"));
        lista->header()->sectionClicked(0);
        QCOMPARE(codigos(lista), todos);
    }

    void dizimistasPorBairro()
    {
        // Case folds for accents; phone, e-mail and birth date left out.
        FrmRelatorios* f = abre();
        f->janeladizimistaporbairro();
        filho<QLineEdit>(f, "txtbairro")->setText("  são cristóvão ");
        for (int i : {7, 8, 9})
            filho<QCheckBox>(f, QString("chkopcoes%1").arg(i))->setChecked(false);
        clica(f, "cmdgerarelatoriodizimistabairro");
        QVERIFY(pagina().contains("BAIRRO:  são cristóvão \r\n\r\n" + R + "\r\n\r\nNome:       Bruno\r\n"));
        QVERIFY(pagina().contains("\r\n\r\nNome:       Ana\r\nEndereço:    ,SÃO CRISTÓVÃO\r\n0003\r\n" + R));
    }

    void relatoriosDoPeriodo()
    {
        FrmRelatorios* f = abre(0);
        escolhePeriodo(f, 1, 2, 29, 2);
        Dialogos::respondeMsgbox(Dialogos::Sim);  // receipt codes
        // While it runs: the main window hidden, the wait window counting the days.
        int visivel = -1, maximo = 0;
        QTimer::singleShot(0, [&] { visivel = FrmPrincipal::atual()->isVisible(); maximo = FrmAguarde::maximo(); });
        clica(f, "cmdgerarelatorio");
        QVERIFY(visivel == 0 && maximo == 29 && !FrmAguarde::aberta() && FrmPrincipal::atual()->isVisible());
        QCOMPARE(caixas(), (QStringList{"Deseja emitir os códigos dos recibos?#292", SUCESSO}));
        QVERIFY(pagina().contains("PERÍODO DE:  1 de Fevereiro de 2024  ATÉ:  29 de Fevereiro de 2024 \r\n"));
        QVERIFY(pagina().contains("01/02/2024      \r\n00001/24        Bruno" + SP(56) + "10,00\r\n"
                                  "02/02/2024      \r\n00003/24        Ana" + SP(59) + "5,50\r\n"
                                  "29/02/2024      \r\n00004/24        Bruno" + SP(57) + "2,00\r\n\r\n" + R + "\r\n" +
                                  SP(55) + "Total no Período:  R$ 17,50\r\n"));

        // Daily totals: no question.
        Dialogos::limpa();
        marca(f, "optperiodo1");
        clica(f, "cmdgerarelatorio");
        QCOMPARE(caixas(), QStringList{SUCESSO});
        QVERIFY(pagina().contains(" DATA         VALOR DIÁRIO\r\n" + R + "\r\n01/02/2024" + SP(11) + "10,00\r\n" +
                                  "02/02/2024" + SP(12) + "5,50\r\n29/02/2024" + SP(12) + "2,00\r\n\r\n"));

        // One tither, its name looked up from the code; codes left out (No is the default answer).
        f->escolhetipo(1);
        auto* procurar = filho<QPushButton>(f, "cmdprocurar");
        for (const QString& linha : procurar->text().remove('&').split('\n'))   // the caption fits its button
            QVERIFY2(procurar->fontMetrics().horizontalAdvance(linha) + 8 <= procurar->width(), qPrintable(linha));
        filho<QLineEdit>(f, "txtcodigodizimista")->setText("0001");
        QCOMPARE(filho<QLineEdit>(f, "txtnomedizimista")->text(), QString("Bruno"));
        clica(f, "cmdgerarelatorio");
        QVERIFY(pagina().contains("\r\n\r\nDIZIMSTA: Bruno\r\n\r\nPERÍODO DE:"));
        QVERIFY(pagina().contains("01/02/2024      \r\n" + SP(16) + "Bruno"));
        QVERIFY(pagina().contains(SP(55) + "Total no Período:  R$ 12,00") && !pagina().contains("Ana"));

        // Start equal to end is a one-day period, in both reports.
        f->escolhetipo(0);
        escolhePeriodo(f, 2, 2, 2, 2);
        marca(f, "optperiodo0");
        Dialogos::limpa();
        clica(f, "cmdgerarelatorio");
        QVERIFY(pagina().contains(" 2 de Fevereiro de 2024 \r\n") && pagina().contains("02/02/2024      \r\n" + SP(16) + "Ana"));
        marca(f, "optperiodo1");
        clica(f, "cmdgerarelatorio");
        QCOMPARE(caixas(), (QStringList{"Deseja emitir os códigos dos recibos?#292", SUCESSO, SUCESSO}));
        QVERIFY(pagina().contains(R + "\r\n02/02/2024" + SP(12) + "5,50\r\n\r\n" + R));
    }

    // After a period report the main window is back as it was, also when the
    // window manager forgot its state while hidden or dropped it as it came back.
    void principalVoltaComoEstava()
    {
        FrmPrincipal* p = FrmPrincipal::atual();
        FrmRelatorios* f = abre(0);
        escolhePeriodo(f, 2, 2, 2, 2);
        marca(f, "optperiodo1");
        for (QEvent::Type quando : {QEvent::None, QEvent::Hide, QEvent::Show}) {
            p->showMaximized();
            QTRY_VERIFY(p->isMaximized());
            {
                const teste::AoEvento esquece(quando, "frmprincipal", [quando](QWidget* w) {
                    if (quando == QEvent::Hide)
                        w->setWindowState(Qt::WindowNoState);
                    else
                        QTimer::singleShot(0, w, [w] { w->setWindowState(Qt::WindowNoState); });
                });
                clica(f, "cmdgerarelatorio");
            }
            QTRY_VERIFY2(p->isVisible() && p->isMaximized(), qPrintable(QString::number(quando)));
            QTest::qWait(20);
            QVERIFY(p->isMaximized());
        }
        // A window that was not maximized comes back in its place.
        p->showNormal();
        QTRY_VERIFY(!p->isMaximized());
        const QRect antes = p->geometry();
        clica(f, "cmdgerarelatorio");
        QVERIFY(p->isVisible() && !p->isMaximized());
        QCOMPARE(p->geometry(), antes);
        p->showMaximized();
        QCOMPARE(caixas(), QStringList(4, SUCESSO));
    }

    void periodosRecusadosEErro()
    {
        // 31 April does not exist: refused before any question.
        FrmRelatorios* f = abre(0);
        escolhePeriodo(f, 31, 4, 30, 5);
        clica(f, "cmdgerarelatorio");
        QVERIFY(caixas().size() == 1 && caixas().at(0).contains("31/04/2024") && caixas().at(0).endsWith("#48"));
        // End before start: asked about the codes, then warned.
        Dialogos::limpa();
        escolhePeriodo(f, 10, 5, 9, 5);
        clica(f, "cmdgerarelatorio");
        QCOMPARE(caixas().mid(1), QStringList{"A data inicial é maior que a data final!#48"});
        // An amount that is not a number stops the report midway, naming the receipt.
        teste::sql("INSERT INTO pagamentos (codigo, data, valor, codigodizimista, nomedizimista) VALUES"
                   " ('00009/24', '10/03/2024', 'dez reais', '0001', 'Bruno')");
        escolhePeriodo(f, 1, 3, 31, 3);
        marca(f, "optperiodo1");
        clica(f, "cmdgerarelatorio");
        teste::sql("DELETE FROM pagamentos WHERE codigo = '00009/24'");
        QVERIFY(caixas().last().contains("00009/24") && caixas().last().endsWith("#48"));
        QVERIFY(!FrmAguarde::aberta() && FrmPrincipal::atual()->isVisible());
        QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));
        // A church record that cannot be read: no report without its header.
        Dialogos::limpa();
        teste::sql("ALTER TABLE igreja RENAME TO outra");
        clica(f, "cmdgerarelatorio");
        f->escolhetipo(2);
        clica(f, "cmdgerarelatorio");
        teste::sql("ALTER TABLE outra RENAME TO igreja");
        const QString semIgreja = "Não foi possível ler os dados da igreja para o cabeçalho: a tabela igreja não existe no "
                                  "banco de dados. A operação foi interrompida.#48";
        QCOMPARE(caixas(), (QStringList{semIgreja, semIgreja}));
        QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));
    }

    // With the file held by another program: an empty list and the cause, never
    // a report of part of the list, and no further question.
    void arquivoEmUso()
    {
        FrmRelatorios* f = abre(2);
        QTreeWidget* lista = filho<QTreeWidget>(f, "listadizimistas");
        QCOMPARE(lista->topLevelItemCount(), 4);
        const QString causa = ": o arquivo está em uso por outro programa. A operação foi interrompida.#48";
        {
            teste::Trava trava;
            clica(f, "cmdfiltra");
            QCOMPARE(lista->topLevelItemCount(), 0);
            clica(f, "cmdgerarelatorio");
            f->janeladizimistaporbairro();
            clica(f, "cmdgerarelatoriodizimistabairro");
            f->escolhetipo(1);
            filho<QLineEdit>(f, "txtcodigodizimista")->setText("0001");
            QCOMPARE(filho<QLineEdit>(f, "txtnomedizimista")->text(), QString());
            Dialogos::respondeTexto("03");
            QVERIFY(Comandos::executa("mnurelataniversarianmtes"));
        }
        QCOMPARE(caixas(), (QStringList{"Não foi possível ler a lista de dizimistas" + causa,
                                        "A lista de dizimistas não pôde ser lida: o relatório não foi gerado. "
                                        "Carregue a lista novamente.#48",
                                        "Não foi possível ler a lista de dizimistas" + causa,
                                        "Não foi possível procurar o dizimista 0001" + causa,
                                        "Não foi possível ler a lista de aniversariantes" + causa}));
        QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));
        f->escolhetipo(2);   // read again once the file is free
        QCOMPARE(lista->topLevelItemCount(), 4);
    }

    void aniversariantesPeloMenu()
    {
        // A reports window the user has open keeps its list and stays open.
        FrmRelatorios* f = abre(2);
        marca(f, "optfiltro1");
        clica(f, "cmdfiltra");
        Dialogos::respondeTexto("abc");
        Dialogos::respondeTexto("03");
        Dialogos::respondeMsgbox(Dialogos::Ok);   // "O Valor deve ser númerico!"
        Dialogos::respondeMsgbox(Dialogos::Sim);  // phones
        QVERIFY(Comandos::executa("mnurelataniversarianmtes"));
        QVERIFY(caixas().value(0).startsWith("O Valor deve ser númerico!#"));
        QCOMPARE(caixas().mid(1), (QStringList{"Deseja emitir o telefone dos Dízimistas?#36", SUCESSO}));
        QVERIFY(pagina().contains(SP(22) + "MARÇO\r\n") && !pagina().contains("carlos"));
        QVERIFY(pagina().contains("\r\n   05        Ângela" + SP(59) + "9999-0002\r\n\r\n   15        Bruno" + SP(35) +
                                  "2222-0001      " + SP(10) + "\r\n" + SP(13) + "Ana" + SP(37)));
        QCOMPARE(Janelas::instancia("frmrelatorios"), static_cast<QWidget*>(f));
        QCOMPARE(filho<QTreeWidget>(f, "listadizimistas")->topLevelItemCount(), 2);

        // Cancel, and a month that does not exist.
        Dialogos::limpa();
        Comandos::executa("mnurelataniversarianmtes");
        QVERIFY(caixas().last().startsWith("Operação Cancelada!#"));
        Dialogos::respondeTexto("13");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        Comandos::executa("mnurelataniversarianmtes");
        QVERIFY(pagina().contains("\r\n" + SP(22) + "\r\n" + R + "\r\n   DIA       NOME\r\n" + R + "\r\n" + R));
    }
};

TIVANE_TEST_MAIN(TstFrmRelatorios)
#include "tst_frmrelatorios.moc"
