// The search window: its five modes, the columns they leave, sorting, and the
// choice written back to each kind of caller.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/frmcadastrodizimistas.h"
#include "register/frmlocaliza.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace tivane;

namespace {
// Stands in for the payments and reports windows: only their code and value boxes.
QWidget* janelaFalsa(const char* nome)
{
    auto* w = new QWidget;
    w->setObjectName(nome);
    auto* l = new QVBoxLayout(w);
    auto* codigo = new QLineEdit(w);
    codigo->setObjectName("txtcodigodizimista");
    auto* valor = new QLineEdit(w);
    valor->setObjectName("txtvalor");
    l->addWidget(codigo);
    l->addWidget(valor);
    return w;
}
}  // namespace

class TstFrmLocaliza : public QObject {
    Q_OBJECT

private:
    static QWidget* busca() { return Janelas::instancia("frmlocaliza"); }
    static QTreeWidget* lista() { return busca()->findChild<QTreeWidget*>("lista"); }
    static void fechaTudo()
    {
        for (const char* n : {"frmlocaliza", "frmcadastrodizimistas", "frmpagamentos", "frmrelatorios"})
            Janelas::fecha(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Searches through the window as the user would, and returns name/code rows.
    static QStringList pesquisa(int modo, const QString& texto)
    {
        busca()->findChild<QRadioButton*>(QString("optopcao%1").arg(modo))->setChecked(true);
        busca()->findChild<QLineEdit*>("txtnome")->setText(texto);
        busca()->findChild<QPushButton*>("cmdbuscar")->click();
        QStringList r;
        for (int i = 0; i < lista()->topLevelItemCount(); ++i)
            r << lista()->topLevelItem(i)->text(0) + "|" + lista()->topLevelItem(i)->text(1);
        return r;
    }
    static QStringList cabecalhos()
    {
        QStringList r;
        for (int i = 0; i < lista()->columnCount(); ++i)
            r << lista()->headerItem()->text(i);
        return r;
    }
    static void escolhe(int linha)
    {
        QTreeWidgetItem* item = lista()->topLevelItem(linha);
        lista()->setCurrentItem(item);
        item->setSelected(true);
        busca()->findChild<QPushButton*>("cmdselecionado")->click();
    }

private slots:
    void initTestCase()
    {
        teste::criaBancoTeste();
        Janelas::registra("frmpagamentos", [] { return janelaFalsa("frmpagamentos"); }, Janelas::Independente);
        Janelas::registra("frmrelatorios", [] { return janelaFalsa("frmrelatorios"); }, Janelas::Independente);
    }
    void init()
    {
        fechaTudo();
        teste::limpaBanco();
        Dialogos::limpa();
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, barras, tel, nascimento) VALUES"
                           " ('0001', 'JOÃO D''ÁVILA', '000001', '2222-1111', '10/05/1980'),"
                           " ('0010', 'Maria', '', '3333-1000', '01/10/1975'),"
                           " ('1000', 'Zélia', '001000', '1234', '15/10/1990'),"
                           " ('0100', NULL, '000100', NULL, NULL)"));
    }
    void cleanup() { fechaTudo(); }

    void abreComOChamador()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        QVERIFY(busca());
        QCOMPARE(busca()->windowTitle(), QString("Localizador Quarda Legal"));
        QCOMPARE(busca()->findChild<QLabel*>("lbltitulo")->text(), QString("Busca de Dizimistas"));
        QCOMPARE(busca()->findChild<QLabel*>("lbldestino")->text(), QString("Cadastro de Dizimistas"));
        QCOMPARE(busca()->findChild<QLabel*>("lblnomedoform")->text(), QString("frmcadastrodizimistas"));
        QVERIFY(busca()->findChild<QRadioButton*>("optopcao0")->isChecked());
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código"}));
        // A second call replaces the caller and the kind.
        QWidget* primeira = busca();
        abrelocalizador("frmpagamentos", 5);
        QCOMPARE(busca(), primeira);
        QCOMPARE(busca()->findChild<QLabel*>("lblnomedoform")->text(), QString("frmpagamentos"));
        QCOMPARE(busca()->findChild<QLabel*>("lbltipo")->text(), QString("5"));
    }

    void modosDeBusca()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        // Name: part of it, case folded for accented letters too, apostrophes bound.
        QCOMPARE(pesquisa(PorNome, "joão"), QStringList{"JOÃO D'ÁVILA|0001"});
        QCOMPARE(pesquisa(PorNome, "d'á"), QStringList{"JOÃO D'ÁVILA|0001"});
        QCOMPARE(pesquisa(PorNome, "ZÉL"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorNome, "x' OR '1'='1"), QStringList{});
        // Empty name: every tither whose name is set.
        QCOMPARE(pesquisa(PorNome, "").size(), 3);
        // Code: one character is a prefix, more is "contains".
        QCOMPARE(pesquisa(PorCodigo, "1"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorCodigo, "01"), QStringList({"JOÃO D'ÁVILA|0001", "Maria|0010", "|0100"}));
        // Bar code: exact; an empty text finds the empty bar codes only.
        QCOMPARE(pesquisa(PorBarras, "001000"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorBarras, "1000"), QStringList{});
        QCOMPARE(pesquisa(PorBarras, ""), QStringList{"Maria|0010"});
        // Telephone and birth date.
        QCOMPARE(pesquisa(PorTelefone, "1"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorTelefone, "1000"), QStringList{"Maria|0010"});
        QCOMPARE(pesquisa(PorNascimento, "/10/"), QStringList({"Maria|0010", "Zélia|1000"}));
        QCOMPARE(pesquisa(PorNascimento, "1"), QStringList({"JOÃO D'ÁVILA|0001", "Zélia|1000"}));

        // The plain search, for users too.
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0001', 'Secretária')"));
        QCOMPARE(buscalocalizador(PorNome, "SECRET", BUSCA_USUARIOS).size(), 1);
        QCOMPARE(buscalocalizador(PorBarras, "", BUSCA_USUARIOS).size(), 0);
        QCOMPARE(buscalocalizador(PorNome, "", 3).size(), 0);
    }

    void colunasEntreModos()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        pesquisa(PorBarras, "000001");
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código", "Barras"}));
        QCOMPARE(lista()->topLevelItem(0)->text(2), QString("000001"));
        // A name search keeps the bar-code column, now empty.
        pesquisa(PorNome, "Maria");
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código", "Barras"}));
        QCOMPARE(lista()->topLevelItem(0)->text(2), QString(""));
        pesquisa(PorTelefone, "3333");
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código", "Telefone"}));
        QCOMPARE(lista()->topLevelItem(0)->text(2), QString("3333-1000"));
        pesquisa(PorNascimento, "1975");
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código"}));
        // Users: the telephone column comes, but nothing is searched.
        abrelocalizador("frmcadastrousuarios", 5);
        QCOMPARE(pesquisa(PorTelefone, "1"), QStringList{});
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código", "Telefone"}));
        QCOMPARE(pesquisa(PorBarras, "000001"), QStringList{});
        QCOMPARE(cabecalhos(), QStringList({"Nome", "Código", "Telefone"}));   // bar code does nothing for users
    }

    void ordenaPelaColunaClicada()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        pesquisa(PorNome, "");
        auto* cabecalho = lista()->header();
        emit cabecalho->sectionClicked(1);
        QCOMPARE(lista()->topLevelItem(0)->text(1), QString("0001"));
        QCOMPARE(lista()->topLevelItem(2)->text(1), QString("1000"));
        emit cabecalho->sectionClicked(1);   // a second click is still ascending
        QCOMPARE(lista()->topLevelItem(0)->text(1), QString("0001"));
        // Later searches come out in that order.
        QCOMPARE(pesquisa(PorCodigo, "0"), QStringList({"JOÃO D'ÁVILA|0001", "Maria|0010", "|0100"}));
        emit cabecalho->sectionClicked(0);
        QCOMPARE(lista()->topLevelItem(0)->text(0), QString(""));
        QCOMPARE(lista()->topLevelItem(1)->text(0), QString("JOÃO D'ÁVILA"));
    }

    void devolveAoCadastro()
    {
        Janelas::abre("frmcadastrodizimistas");
        abrelocalizador("frmcadastrodizimistas", 1);
        pesquisa(PorNome, "Maria");
        escolhe(0);
        QVERIFY(!busca());
        QWidget* cadastro = Janelas::instancia("frmcadastrodizimistas");
        QCOMPARE(cadastro->findChild<QLineEdit*>("txtcodigo")->text(), QString("0010"));
        QCOMPARE(cadastro->findChild<QLineEdit*>("txtnome")->text(), QString("Maria"));
        QCOMPARE(cadastro->findChild<QLabel*>("lblstatus")->text(), QString("Somente Leitura"));
    }

    void devolveAosPagamentosERelatorios()
    {
        QWidget* pag = Janelas::abre("frmpagamentos");
        abrelocalizador("frmpagamentos", 1);
        QCOMPARE(busca()->findChild<QLabel*>("lbldestino")->text(), QString("Cadastro de Dizimistas"));
        pesquisa(PorCodigo, "1");
        escolhe(0);
        QCOMPARE(pag->findChild<QLineEdit*>("txtcodigodizimista")->text(), QString("1000"));
        QCOMPARE(pag->focusWidget(), pag->findChild<QWidget*>("txtvalor"));
        QVERIFY(!busca());

        QWidget* rel = Janelas::abre("frmrelatorios");
        abrelocalizador("frmrelatorios", 1);
        pesquisa(PorNome, "joão");
        escolhe(0);
        QCOMPARE(rel->findChild<QLineEdit*>("txtcodigodizimista")->text(), QString("0001"));
        QCOMPARE(pag->findChild<QLineEdit*>("txtcodigodizimista")->text(), QString("1000"));
    }

    void chamadorFechadoNaoRecebeNada()
    {
        QWidget* pag = Janelas::abre("frmpagamentos");
        abrelocalizador("frmpagamentos", 1);
        Janelas::fecha("frmpagamentos");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Q_UNUSED(pag);
        pesquisa(PorNome, "Maria");
        escolhe(0);
        QVERIFY(!busca());
        QVERIFY(!Janelas::instancia("frmpagamentos"));
        // Nor is a closed tithers window opened for it.
        abrelocalizador("frmcadastrodizimistas", 1);
        pesquisa(PorNome, "Maria");
        escolhe(0);
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
    }

    void usuariosNaoRecebemNada()
    {
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0002', 'Operador')"));
        abrelocalizador("frmcadastrousuarios", 5);
        QCOMPARE(busca()->findChild<QLabel*>("lbltitulo")->text(), QString("Buscar Dizimista"));
        QCOMPARE(pesquisa(PorNome, "oper"), QStringList{"Operador|0002"});
        escolhe(0);
        QVERIFY(!busca());
    }

    void enterEEsc()
    {
        Janelas::abre("frmcadastrodizimistas");
        abrelocalizador("frmcadastrodizimistas", 1);
        QWidget* w = busca();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto* texto = w->findChild<QLineEdit*>("txtnome");
        texto->setFocus();
        QTest::keyClicks(texto, "maria");
        QTest::keyClick(texto, Qt::Key_Return);   // Enter searches while typing
        QCOMPARE(lista()->topLevelItemCount(), 1);
        lista()->setFocus();
        lista()->setCurrentItem(lista()->topLevelItem(0));
        lista()->topLevelItem(0)->setSelected(true);
        QTest::keyClick(lista(), Qt::Key_Return);   // and chooses from the list
        QVERIFY(!busca());
        QCOMPARE(Janelas::instancia("frmcadastrodizimistas")->findChild<QLineEdit*>("txtcodigo")->text(), QString("0010"));

        abrelocalizador("frmcadastrodizimistas", 1);
        busca()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(busca()));
        QTest::keyClick(busca()->findChild<QLineEdit*>("txtnome"), Qt::Key_Escape);
        QVERIFY(!busca());
    }

    void semSelecaoNadaAcontece()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        busca()->findChild<QPushButton*>("cmdselecionado")->click();
        QVERIFY(busca());
        pesquisa(PorNome, "");
        lista()->clearSelection();
        busca()->findChild<QPushButton*>("cmdselecionado")->click();
        QVERIFY(busca());
        busca()->findChild<QPushButton*>("cmdsair")->click();
        QVERIFY(!busca());
    }
};

TIVANE_TEST_MAIN(TstFrmLocaliza)
#include "tst_frmlocaliza.moc"
