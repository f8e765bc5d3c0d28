// The reports window inside the main window: its panels, the tither list with
// filter and sorting, each report from its button or menu entry, and the
// period reports with the wait window.
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/frmlocaliza.h"
#include "shell/frmaguarde.h"
#include "shell/frmprincipal.h"
#include "tithes/frmfolhaderelatorio.h"
#include "tithes/frmrelatorios.h"

using namespace tivane;

class TstFrmRelatorios : public QObject {
    Q_OBJECT

private:
    FrmRelatorios* abre();
    template <typename T> T* filho(QWidget* w, const QString& nome)
    {
        T* c = w->findChild<T*>(nome);
        if (!c)
            qWarning("missing control %s", qPrintable(nome));
        return c;
    }
    QString textoDaPagina();
    void escolhePeriodo(FrmRelatorios* f, int d0, int m0, const QString& a0, int d1, int m1, const QString& a1);
    void fechaTudo();

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void abreComOPeriodoDoMes();
    void tiposMostramSeusPaineis();
    void codigoDoDizimista();
    void filtroEOrdemDaLista();
    void dadosDeCadastro();
    void dizimistasPorBairro();
    void recebimentosPorPeriodo();
    void totaisDiariosEUmDizimista();
    void datasRecusadas();
    void erroNoMeioDoRelatorio();
    void aniversariantesPeloMenu();
    void entradasDoMenu();
};

void TstFrmRelatorios::initTestCase()
{
    teste::criaBancoTeste();
    teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua das Flores', tel = '2222-3333'");
    teste::sql("INSERT INTO dizimistas (codigo, nome, endereco, bairro, cidade, tel, email, nascimento, ativo,"
               " celular) VALUES"
               " ('0001', 'Bruno', 'Rua B', 'São Cristóvão', 'Rio', '2222-0001', 'b@x.com', '15/03/1980', 1, NULL),"
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

void TstFrmRelatorios::init()
{
    Dialogos::limpa();
}

void TstFrmRelatorios::fechaTudo()
{
    Janelas::fecha("frmrelatorios");
    Janelas::fecha("frmfolhaderelatorio");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstFrmRelatorios::cleanup()
{
    fechaTudo();
}

FrmRelatorios* TstFrmRelatorios::abre()
{
    return qobject_cast<FrmRelatorios*>(Janelas::abre("frmrelatorios"));
}

QString TstFrmRelatorios::textoDaPagina()
{
    auto* p = Janelas::instancia<FrmFolhaDeRelatorio>("frmfolhaderelatorio");
    return p ? p->texto() : QString();
}

void TstFrmRelatorios::escolhePeriodo(FrmRelatorios* f, int d0, int m0, const QString& a0, int d1, int m1,
                                      const QString& a1)
{
    filho<QComboBox>(f, "combodias0")->setCurrentIndex(d0 - 1);
    filho<QComboBox>(f, "Combomes0")->setCurrentIndex(m0 - 1);
    filho<QComboBox>(f, "comboano0")->setCurrentText(a0);
    filho<QComboBox>(f, "combodias1")->setCurrentIndex(d1 - 1);
    filho<QComboBox>(f, "Combomes1")->setCurrentIndex(m1 - 1);
    filho<QComboBox>(f, "comboano1")->setCurrentText(a1);
}

void TstFrmRelatorios::abreComOPeriodoDoMes()
{
    FrmRelatorios* f = abre();
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), QString("Relatórios"));
    const QDate hoje = QDate::currentDate();
    QCOMPARE(filho<QComboBox>(f, "combodias0")->currentText(), QString("01"));
    QCOMPARE(filho<QComboBox>(f, "combodias1")->currentText(),
             hoje.day() == 1 ? QString("01") : QString::number(hoje.day() - 1).rightJustified(2, '0'));
    QCOMPARE(filho<QComboBox>(f, "combodias1")->count(), 31);
    for (const char* c : {"Combomes0", "Combomes1"})
        QCOMPARE(filho<QComboBox>(f, c)->currentIndex(), hoje.month() - 1);
    for (const char* c : {"comboano0", "comboano1"}) {
        QComboBox* ano = filho<QComboBox>(f, c);
        QCOMPARE(ano->currentText(), QString::number(hoje.year()));
        QCOMPARE(ano->itemText(0), QString("2005"));
        QCOMPARE(ano->itemText(ano->count() - 1), QString::number(hoje.year()));
    }
    QCOMPARE(f->tipoescolhido(), -1);
    QVERIFY(!filho<QPushButton>(f, "cmdgerarelatorio")->isEnabled());
    for (const char* fr : {"Frameperiodo", "Frameopcaoperiodo", "Frameseleciona", "framedados", "Frameopcoes",
                           "Framedizimistabairro", "Framerelatoriosanaliticos"})
        QVERIFY2(!filho<QWidget>(f, fr)->isVisible(), fr);
    QVERIFY(filho<QWidget>(f, "Framerelatorios")->isVisible());
    // A work window hides the main toolbar.
    QVERIFY(!barraprincipal()->isVisible());

    // Its exit closes it and shows the toolbar again.
    filho<QPushButton>(f, "cmdsair")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Janelas::instancia("frmrelatorios"));
    QVERIFY(barraprincipal()->isVisible());
}

void TstFrmRelatorios::tiposMostramSeusPaineis()
{
    FrmRelatorios* f = abre();
    filho<QToolButton>(f, "cmdtiporelatorio0")->click();
    QCOMPARE(f->tipoescolhido(), 0);
    QVERIFY(filho<QWidget>(f, "Frameperiodo")->isVisible());
    QVERIFY(filho<QWidget>(f, "Frameopcaoperiodo")->isVisible());
    QVERIFY(!filho<QWidget>(f, "Frameseleciona")->isVisible());
    QVERIFY(filho<QPushButton>(f, "cmdgerarelatorio")->isEnabled());
    QVERIFY(filho<QPushButton>(f, "cmdfiltra")->isDefault());

    filho<QToolButton>(f, "cmdtiporelatorio1")->click();
    QCOMPARE(f->tipoescolhido(), 1);
    QVERIFY(filho<QWidget>(f, "Frameseleciona")->isVisible());
    QVERIFY(filho<QWidget>(f, "Frameperiodo")->isVisible());
    QVERIFY(!filho<QWidget>(f, "Frameopcaoperiodo")->isVisible());

    filho<QToolButton>(f, "cmdtiporelatorio2")->click();
    QCOMPARE(f->tipoescolhido(), 2);
    QVERIFY(filho<QWidget>(f, "framedados")->isVisible());
    QVERIFY(filho<QWidget>(f, "Frameopcoes")->isVisible());
    QVERIFY(!filho<QWidget>(f, "Frameperiodo")->isVisible());
    QCOMPARE(filho<QTreeWidget>(f, "listadizimistas")->topLevelItemCount(), 4);
}

void TstFrmRelatorios::codigoDoDizimista()
{
    FrmRelatorios* f = abre();
    f->escolhetipo(1);
    QLineEdit* codigo = filho<QLineEdit>(f, "txtcodigodizimista");
    QLineEdit* nome = filho<QLineEdit>(f, "txtnomedizimista");
    // As the search window writes it.
    codigo->setText("0003");
    QCOMPARE(nome->text(), QString("Ana"));
    QCOMPARE(codigo->palette().color(QPalette::Base), QColor(192, 192, 255));
    codigo->setText("0099");
    QCOMPARE(nome->text(), QString(""));
    QVERIFY(codigo->palette().color(QPalette::Base) != QColor(192, 192, 255));

    // Through the search window, which writes the chosen code back.
    filho<QPushButton>(f, "cmdprocurar")->click();
    auto* busca = Janelas::instancia<FrmLocaliza>("frmlocaliza");
    QVERIFY(busca);
    busca->carregalistaporpartedonome("bru", BUSCA_DIZIMISTAS);
    QTreeWidget* achados = busca->findChild<QTreeWidget*>("lista");
    QVERIFY(achados && achados->topLevelItemCount() == 1);
    achados->setCurrentItem(achados->topLevelItem(0));
    retornaselecionado(BUSCA_DIZIMISTAS);
    QCOMPARE(codigo->text(), QString("0001"));
    QCOMPARE(nome->text(), QString("Bruno"));
}

void TstFrmRelatorios::filtroEOrdemDaLista()
{
    FrmRelatorios* f = abre();
    f->escolhetipo(2);
    QTreeWidget* lista = filho<QTreeWidget>(f, "listadizimistas");
    const auto codigos = [lista] {
        QStringList r;
        for (int i = 0; i < lista->topLevelItemCount(); ++i)
            r << lista->topLevelItem(i)->text(0);
        return r;
    };
    QCOMPARE(codigos(), (QStringList{"0001", "0002", "0003", "0004"}));
    QCOMPARE(lista->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(lista->topLevelItem(3)->checkState(0), Qt::Unchecked);  // Null counts as inactive
    QCOMPARE(lista->topLevelItem(0)->text(2), QString("Rua B ,São Cristóvão ,Rio"));
    QCOMPARE(lista->topLevelItem(2)->text(2), QString(""));

    filho<QRadioButton>(f, "optfiltro1")->setChecked(true);
    filho<QPushButton>(f, "cmdfiltra")->click();
    QCOMPARE(codigos(), (QStringList{"0001", "0003"}));
    filho<QRadioButton>(f, "optfiltro2")->setChecked(true);
    filho<QPushButton>(f, "cmdfiltra")->click();
    QCOMPARE(codigos(), (QStringList{"0002", "0004"}));
    filho<QRadioButton>(f, "optfiltro0")->setChecked(true);
    filho<QPushButton>(f, "cmdfiltra")->click();
    QCOMPARE(codigos().size(), 4);

    // "Nome" sorts as a person reads, accents and case aside; clicking again keeps ascending.
    lista->header()->sectionClicked(1);
    QCOMPARE(codigos(), (QStringList{"0003", "0002", "0001", "0004"}));
    lista->header()->sectionClicked(1);
    QCOMPARE(codigos(), (QStringList{"0003", "0002", "0001", "0004"}));
    // The order stays after a new filtering.
    filho<QPushButton>(f, "cmdfiltra")->click();
    QCOMPARE(codigos(), (QStringList{"0003", "0002", "0001", "0004"}));
    lista->header()->sectionClicked(0);
    QCOMPARE(codigos(), (QStringList{"0001", "0002", "0003", "0004"}));
}

void TstFrmRelatorios::dadosDeCadastro()
{
    FrmRelatorios* f = abre();
    filho<QToolButton>(f, "cmdtiporelatorio2")->click();
    filho<QTreeWidget>(f, "listadizimistas")->header()->sectionClicked(1);
    for (int i : {1, 2, 3, 4})
        filho<QCheckBox>(f, QString("chkopcoes%1").arg(i))->setChecked(false);
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Relatório Emitido com sucesso!"));
    QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
    const QString t = textoDaPagina();
    const QString R(98, '-');
    QVERIFY(t.startsWith("\r\n\r\n\r\n" + R + "\r\nIgreja:        : Paróquia São José\r\n"));
    QVERIFY(t.contains("DADOS DE CADASTRO DE DIZIMISTAS\r\n\r\n" + R + "\r\n\r\nNome:       Ana\r\n0003\r\n\r\n" + R +
                       "\r\n\r\nNome:       Ângela\r\n0002\r\n"));
    QVERIFY(t.contains("Nome:       carlos\r\n0004\r\n" + R + "\r\n DATA EMISSÃO: "));

    // With the options frame hidden, the first click only shows it.
    Dialogos::limpa();
    filho<QWidget>(f, "Frameopcoes")->hide();
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    QVERIFY(filho<QWidget>(f, "Frameopcoes")->isVisible());
    QVERIFY(Dialogos::registros("msgbox").isEmpty());
}

void TstFrmRelatorios::dizimistasPorBairro()
{
    FrmRelatorios* f = abre();
    f->janeladizimistaporbairro();
    QVERIFY(filho<QWidget>(f, "Framedizimistabairro")->isVisible());
    QVERIFY(!filho<QWidget>(f, "Framerelatorios")->isVisible());
    QVERIFY(filho<QPushButton>(f, "cmdgerarelatoriodizimistabairro")->isDefault());
    filho<QLineEdit>(f, "txtbairro")->setText("  são cristóvão ");
    filho<QCheckBox>(f, "chkopcoes9")->setChecked(false);  // Telefone
    filho<QCheckBox>(f, "chkopcoes8")->setChecked(false);  // E-mail
    filho<QCheckBox>(f, "chkopcoes7")->setChecked(false);  // Nascimento
    filho<QPushButton>(f, "cmdgerarelatoriodizimistabairro")->click();
    QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Relatório Emitido com sucesso!"));
    const QString R(98, '-');
    QVERIFY(textoDaPagina().contains("RELATÓRIO DE DIZIMISTAS POR BAIRRO\r\n\r\nBAIRRO:  são cristóvão \r\n\r\n" + R +
                                     "\r\n\r\nNome:       Bruno\r\nEndereço:   Rua B ,São Cristóvão ,Rio\r\n0001\r\n\r\n" +
                                     R + "\r\n\r\nNome:       Ana\r\nEndereço:    ,SÃO CRISTÓVÃO\r\n0003\r\n" + R));
    QCOMPARE(filho<QTreeWidget>(f, "listadizimistas")->topLevelItemCount(), 2);

    // Enter in the neighbourhood box presses "Gerar Relatório".
    Dialogos::limpa();
    filho<QLineEdit>(f, "txtbairro")->setText("centro");
    QTest::keyClick(filho<QLineEdit>(f, "txtbairro"), Qt::Key_Return);
    QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Relatório Emitido com sucesso!"));
    QVERIFY(textoDaPagina().contains("Nome:       Ângela"));
}

void TstFrmRelatorios::recebimentosPorPeriodo()
{
    FrmRelatorios* f = abre();
    filho<QToolButton>(f, "cmdtiporelatorio0")->click();
    escolhePeriodo(f, 1, 2, "2024", 29, 2, "2024");
    Dialogos::respondeMsgbox(Dialogos::Sim);  // receipt codes

    // While it runs: the main window hidden, the wait window showing the days.
    bool principalOculta = false;
    int maximo = 0;
    QTimer::singleShot(0, [&] {
        principalOculta = !FrmPrincipal::atual()->isVisible();
        maximo = FrmAguarde::maximo();
    });
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    QVERIFY(principalOculta);
    QCOMPARE(maximo, 29);
    QVERIFY(!FrmAguarde::aberta());
    QVERIFY(FrmPrincipal::atual()->isVisible());

    const QList<Dialogos::Registro> caixas = Dialogos::registros("msgbox");
    QCOMPARE(caixas.size(), 2);
    QCOMPARE(caixas.at(0).texto, QString("Deseja emitir os códigos dos recibos?"));
    QCOMPARE(caixas.at(0).estilo, 292);
    QCOMPARE(caixas.at(1).texto, QString("Relatório Emitido com sucesso!"));
    const QString t = textoDaPagina();
    QVERIFY(t.contains("PERÍODO DE:  1 de Fevereiro de 2024  ATÉ:  29 de Fevereiro de 2024 \r\n"));
    QVERIFY(t.contains("01/02/2024      \r\n00001/24        Bruno" + QString(45 + 11, ' ') + "10,00\r\n"
                       "02/02/2024      \r\n00003/24        Ana" + QString(47 + 12, ' ') + "5,50\r\n"
                       "29/02/2024      \r\n00004/24        Bruno" + QString(45 + 12, ' ') + "2,00\r\n\r\n"));
    QVERIFY(t.contains(QString(55, ' ') + "Total no Período:  R$ 17,50\r\n"));
    QVERIFY(!t.contains("Estornado"));
}

void TstFrmRelatorios::totaisDiariosEUmDizimista()
{
    FrmRelatorios* f = abre();
    f->escolhetipo(0);
    escolhePeriodo(f, 1, 2, "2024", 29, 2, "2024");
    filho<QRadioButton>(f, "optperiodo1")->setChecked(true);
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    // No question for the daily totals.
    QCOMPARE(Dialogos::registros("msgbox").size(), 1);
    QVERIFY(textoDaPagina().contains(" DATA         VALOR DIÁRIO\r\n" + QString(98, '-') + "\r\n01/02/2024" +
                                     QString(11, ' ') + "10,00\r\n02/02/2024" + QString(12, ' ') + "5,50\r\n29/02/2024" +
                                     QString(12, ' ') + "2,00\r\n\r\n"));

    // One tither, codes left out (No is the default answer).
    Dialogos::limpa();
    f->escolhetipo(1);
    filho<QLineEdit>(f, "txtcodigodizimista")->setText("0001");
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    const QString t = textoDaPagina();
    QVERIFY(t.contains("\r\n\r\nDIZIMSTA: Bruno\r\n\r\nPERÍODO DE:"));
    QVERIFY(t.contains("01/02/2024      \r\n" + QString(16, ' ') + "Bruno"));
    QVERIFY(!t.contains("Ana"));
    QVERIFY(t.contains(QString(55, ' ') + "Total no Período:  R$ 12,00"));

    // An empty code box gives the report of every tither.
    filho<QLineEdit>(f, "txtcodigodizimista")->clear();
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    QVERIFY(!textoDaPagina().contains("DIZIMSTA"));
    QVERIFY(textoDaPagina().contains("Ana"));
}

void TstFrmRelatorios::datasRecusadas()
{
    FrmRelatorios* f = abre();
    f->escolhetipo(0);
    // 31 April does not exist: refused before any question.
    escolhePeriodo(f, 31, 4, "2024", 30, 5, "2024");
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    QCOMPARE(Dialogos::registros("msgbox").size(), 1);
    QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
    QVERIFY(Dialogos::ultimo("msgbox").texto.contains("31/04/2024"));
    QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));

    // End before start: asked about the codes, then warned; nothing else happens.
    Dialogos::limpa();
    escolhePeriodo(f, 10, 5, "2024", 9, 5, "2024");
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    const QList<Dialogos::Registro> caixas = Dialogos::registros("msgbox");
    QCOMPARE(caixas.size(), 2);
    QCOMPARE(caixas.at(1).texto, QString("A data inicial é maior que a data final!"));
    QCOMPARE(caixas.at(1).estilo, 48);
    QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));
    QVERIFY(FrmPrincipal::atual()->isVisible());
}

void TstFrmRelatorios::erroNoMeioDoRelatorio()
{
    teste::sql("INSERT INTO pagamentos (codigo, data, valor, codigodizimista, nomedizimista) VALUES"
               " ('00009/24', '10/03/2024', 'dez reais', '0001', 'Bruno')");
    FrmRelatorios* f = abre();
    f->escolhetipo(0);
    escolhePeriodo(f, 1, 3, "2024", 31, 3, "2024");
    filho<QRadioButton>(f, "optperiodo1")->setChecked(true);
    filho<QPushButton>(f, "cmdgerarelatorio")->click();
    QVERIFY(Dialogos::ultimo("msgbox").texto.contains("00009/24"));
    QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
    QVERIFY(!FrmAguarde::aberta());
    QVERIFY(FrmPrincipal::atual()->isVisible());
    QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));
    teste::sql("DELETE FROM pagamentos WHERE codigo = '00009/24'");
}

void TstFrmRelatorios::aniversariantesPeloMenu()
{
    // A reports window the user has open keeps its list and stays open.
    FrmRelatorios* f = abre();
    f->escolhetipo(2);
    filho<QRadioButton>(f, "optfiltro1")->setChecked(true);
    filho<QPushButton>(f, "cmdfiltra")->click();

    Dialogos::respondeTexto("abc");
    Dialogos::respondeTexto("03");
    Dialogos::respondeMsgbox(Dialogos::Ok);   // "O Valor deve ser númerico!"
    Dialogos::respondeMsgbox(Dialogos::Sim);  // phones
    QVERIFY(Comandos::executa("mnurelataniversarianmtes"));
    const QList<Dialogos::Registro> caixas = Dialogos::registros("msgbox");
    QCOMPARE(caixas.size(), 3);
    QCOMPARE(caixas.at(0).texto, QString("O Valor deve ser númerico!"));
    QCOMPARE(caixas.at(1).texto, QString("Deseja emitir o telefone dos Dízimistas?"));
    QCOMPARE(caixas.at(1).estilo, 36);
    QCOMPARE(caixas.at(2).texto, QString("Relatório Emitido com sucesso!"));
    QCOMPARE(Dialogos::registros("inputbox").size(), 2);
    QVERIFY(Dialogos::ultimo("inputbox").texto.startsWith(
        "Digite o Número do mês para emissão do relatório de Aniversariantes do Mês:"));

    const QString t = textoDaPagina();
    QVERIFY(t.contains(QString(22, ' ') + "MARÇO\r\n"));
    QVERIFY(t.contains("   DIA       NOME                                     TELEFONE                CELULAR"));
    QVERIFY(t.contains("\r\n   05        Ângela" + QString(34, ' ') + QString(25, ' ') + "9999-0002\r\n\r\n"
                       "   15        Bruno" + QString(35, ' ') + "2222-0001      " + QString(10, ' ') + "\r\n" +
                       QString(13, ' ') + "Ana" + QString(37, ' ')));
    QVERIFY(!t.contains("carlos"));
    // Justified on the page.
    auto* pagina = Janelas::instancia<FrmFolhaDeRelatorio>("frmfolhaderelatorio");
    QCOMPARE(pagina->txtrelatorio()->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignJustify);

    QCOMPARE(Janelas::instancia("frmrelatorios"), static_cast<QWidget*>(f));
    QCOMPARE(filho<QTreeWidget>(f, "listadizimistas")->topLevelItemCount(), 2);

    // Cancel, and a month that does not exist.
    Dialogos::limpa();
    Comandos::executa("mnurelataniversarianmtes");
    QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Operação Cancelada!"));
    Dialogos::limpa();
    Dialogos::respondeTexto("13");
    Dialogos::respondeMsgbox(Dialogos::Nao);
    Comandos::executa("mnurelataniversarianmtes");
    QVERIFY(textoDaPagina().contains("\r\n" + QString(22, ' ') + "\r\n" + QString(98, '-') +
                                     "\r\n   DIA       NOME\r\n" + QString(98, '-') + "\r\n" + QString(98, '-')));
}

void TstFrmRelatorios::entradasDoMenu()
{
    for (const char* c : {"mnurelatrecebimentos", "mnudadoscadastro", "mnurelataniversarianmtes",
                          "mnurelatdizimistabairro"})
        QVERIFY2(Comandos::registrado(c), c);
    QVERIFY(!Comandos::registrado("mnureltanaliticos"));

    QVERIFY(Comandos::executa("mnurelatrecebimentos"));
    auto* f = Janelas::instancia<FrmRelatorios>("frmrelatorios");
    QVERIFY(f);
    QCOMPARE(f->tipoescolhido(), 0);
    QVERIFY(filho<QWidget>(f, "Frameperiodo")->isVisible());

    Comandos::executa("mnudadoscadastro");
    QCOMPARE(Janelas::instancia<FrmRelatorios>("frmrelatorios"), f);
    QCOMPARE(f->tipoescolhido(), 2);
    QVERIFY(filho<QWidget>(f, "framedados")->isVisible());

    Comandos::executa("mnurelatdizimistabairro");
    QVERIFY(filho<QWidget>(f, "Framedizimistabairro")->isVisible());
}

TIVANE_TEST_MAIN(TstFrmRelatorios)
#include "tst_frmrelatorios.moc"
