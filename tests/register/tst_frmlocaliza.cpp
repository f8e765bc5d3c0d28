// The search window: its five modes, the columns they leave, and the choice
// written back to each kind of caller.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/frmcadastrodizimistas.h"
#include "register/frmlocaliza.h"

#include <QtWidgets>

using namespace tivane;

namespace {
// Stands in for the payments and reports windows: only their code and value boxes.
QWidget* janelaFalsa(const char* nome)
{
    auto* w = new QWidget;
    w->setObjectName(nome);
    for (const char* caixa : {"txtcodigodizimista", "txtvalor"})
        (new QLineEdit(w))->setObjectName(caixa);
    return w;
}
}  // namespace

class TstFrmLocaliza : public QObject {
    Q_OBJECT

private:
    static QWidget* busca() { return Janelas::instancia("frmlocaliza"); }
    static QTreeWidget* lista() { return busca()->findChild<QTreeWidget*>("lista"); }
    static QString caixa(const char* janela, const char* nome)
    {
        return Janelas::instancia(janela)->findChild<QLineEdit*>(nome)->text();
    }
    static void fechaTudo()
    {
        for (const char* n : {"frmlocaliza", "frmcadastrodizimistas", "frmpagamentos", "frmrelatorios"})
            Janelas::fecha(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Searches through the window as the user would, and returns name|code rows.
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
    // The headers, then the third column of the first row.
    static QString colunas()
    {
        QStringList r;
        for (int i = 0; i < lista()->columnCount(); ++i)
            r << lista()->headerItem()->text(i);
        return r.join(',') + (lista()->columnCount() > 2 ? "=" + lista()->topLevelItem(0)->text(2) : QString());
    }
    static void escolhe(int linha)
    {
        lista()->setCurrentItem(lista()->topLevelItem(linha));
        lista()->topLevelItem(linha)->setSelected(true);
        busca()->findChild<QPushButton*>("cmdselecionado")->click();
    }
    // Opens the search for that caller, finds and chooses the first row.
    static void escolhePara(const char* janela, int modo, const QString& texto)
    {
        abrelocalizador(janela, 1);
        QVERIFY(!pesquisa(modo, texto).isEmpty());
        escolhe(0);
        QVERIFY(!busca());
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

    void modosDeBusca()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        QVERIFY(busca()->findChild<QRadioButton*>("optopcao0")->isChecked());
        // Name: part of it, case folded for accented letters too, apostrophes bound.
        QCOMPARE(pesquisa(PorNome, "joão"), QStringList{"JOÃO D'ÁVILA|0001"});
        QCOMPARE(pesquisa(PorNome, "d'á"), QStringList{"JOÃO D'ÁVILA|0001"});
        QCOMPARE(pesquisa(PorNome, "ZÉL"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorNome, "x' OR '1'='1"), QStringList{});
        QCOMPARE(pesquisa(PorNome, "").size(), 3);   // every tither whose name is set
        // Code: one character is a prefix, more is "contains".
        QCOMPARE(pesquisa(PorCodigo, "1"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorCodigo, "01"), QStringList({"JOÃO D'ÁVILA|0001", "Maria|0010", "|0100"}));
        // Bar code: exact; an empty text finds the empty bar codes only.
        QCOMPARE(pesquisa(PorBarras, "001000"), QStringList{"Zélia|1000"});
        QCOMPARE(pesquisa(PorBarras, "1000"), QStringList{});
        QCOMPARE(pesquisa(PorBarras, ""), QStringList{"Maria|0010"});
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
        QCOMPARE(colunas(), QString("Nome,Código"));
        pesquisa(PorBarras, "000001");
        QCOMPARE(colunas(), QString("Nome,Código,Barras=000001"));
        pesquisa(PorNome, "Maria");   // keeps the bar-code column, now empty
        QCOMPARE(colunas(), QString("Nome,Código,Barras="));
        pesquisa(PorTelefone, "3333");
        QCOMPARE(colunas(), QString("Nome,Código,Telefone=3333-1000"));
        pesquisa(PorNascimento, "1975");
        QCOMPARE(colunas(), QString("Nome,Código"));
        // Users: the telephone column comes, but nothing is searched; bar code does nothing.
        abrelocalizador("frmcadastrousuarios", 5);
        QCOMPARE(pesquisa(PorTelefone, "1"), QStringList{});
        QCOMPARE(pesquisa(PorBarras, "000001"), QStringList{});
        QCOMPARE(lista()->headerItem()->text(2), QString("Telefone"));
    }

    void ordemPelaColuna()
    {
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0002', 'ângela')"));
        abrelocalizador("frmcadastrodizimistas", 1);
        QHeaderView* cabecalho = lista()->header();
        const auto clica = [&](int coluna) {
            QTest::mouseClick(cabecalho->viewport(), Qt::LeftButton, {},
                              QPoint(cabecalho->sectionViewportPosition(coluna) + 5, cabecalho->height() / 2));
        };
        QCOMPARE(pesquisa(PorNome, "a").size(), 4);
        clica(0);   // as a person reads: accents and case do not push a name to the end
        QCOMPARE(pesquisa(PorNome, "a"), QStringList({"ângela|0002", "JOÃO D'ÁVILA|0001", "Maria|0010", "Zélia|1000"}));
        clica(1);
        clica(1);   // always ascending
        QCOMPARE(pesquisa(PorNome, "a"), QStringList({"JOÃO D'ÁVILA|0001", "ângela|0002", "Maria|0010", "Zélia|1000"}));
    }

    void devolveACadaChamador()
    {
        Janelas::abre("frmcadastrodizimistas");
        escolhePara("frmcadastrodizimistas", PorNome, "Maria");
        QCOMPARE(caixa("frmcadastrodizimistas", "txtcodigo"), QString("0010"));
        QCOMPARE(caixa("frmcadastrodizimistas", "txtnome"), QString("Maria"));
        QCOMPARE(Janelas::instancia("frmcadastrodizimistas")->findChild<QLabel*>("lblstatus")->text(), QString("Somente Leitura"));

        QWidget* pag = Janelas::abre("frmpagamentos");
        escolhePara("frmpagamentos", PorCodigo, "1");
        QCOMPARE(caixa("frmpagamentos", "txtcodigodizimista"), QString("1000"));
        QCOMPARE(pag->focusWidget(), pag->findChild<QWidget*>("txtvalor"));
        Janelas::abre("frmrelatorios");
        escolhePara("frmrelatorios", PorNome, "joão");
        QCOMPARE(caixa("frmrelatorios", "txtcodigodizimista"), QString("0001"));
        QCOMPARE(caixa("frmpagamentos", "txtcodigodizimista"), QString("1000"));

        // A second call replaces the caller and the kind.
        abrelocalizador("frmcadastrodizimistas", 1);
        QWidget* primeira = busca();
        abrelocalizador("frmpagamentos", 5);
        QCOMPARE(busca(), primeira);
        QCOMPARE(busca()->findChild<QLabel*>("lblnomedoform")->text(), QString("frmpagamentos"));
        QCOMPARE(busca()->findChild<QLabel*>("lbltipo")->text(), QString("5"));
    }

    void chamadorFechadoOuUsuariosNaoRecebemNada()
    {
        Janelas::abre("frmpagamentos");
        abrelocalizador("frmpagamentos", 1);
        Janelas::fecha("frmpagamentos");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        pesquisa(PorNome, "Maria");
        escolhe(0);
        QVERIFY(!busca() && !Janelas::instancia("frmpagamentos"));
        escolhePara("frmcadastrodizimistas", PorNome, "Maria");   // a closed window is not opened
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0002', 'Operador')"));
        abrelocalizador("frmcadastrousuarios", 5);
        QCOMPARE(pesquisa(PorNome, "oper"), QStringList{"Operador|0002"});
        escolhe(0);
        QVERIFY(!busca());
    }

    void tecladoESemSelecao()
    {
        Janelas::abre("frmcadastrodizimistas");
        abrelocalizador("frmcadastrodizimistas", 1);
        auto* texto = busca()->findChild<QLineEdit*>("txtnome");
        busca()->findChild<QPushButton*>("cmdselecionado")->click();   // nothing listed: nothing happens
        QVERIFY(busca());
        busca()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(busca()));
        texto->setFocus();
        QTest::keyClicks(texto, "maria");
        QTest::keyClick(texto, Qt::Key_Return);   // Enter searches while typing
        QCOMPARE(lista()->topLevelItemCount(), 1);
        lista()->setFocus();
        lista()->setCurrentItem(lista()->topLevelItem(0));
        QTest::keyClick(lista(), Qt::Key_Return);   // and chooses from the list
        QVERIFY(!busca());
        QCOMPARE(caixa("frmcadastrodizimistas", "txtcodigo"), QString("0010"));
        abrelocalizador("frmcadastrodizimistas", 1);
        busca()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(busca()));
        QTest::keyClick(busca()->findChild<QLineEdit*>("txtnome"), Qt::Key_Escape);   // Esc closes
        QVERIFY(!busca());
    }
};

TIVANE_TEST_MAIN(TstFrmLocaliza)
#include "tst_frmlocaliza.moc"
