// The search hands the chosen code back to the real window that opened it, from its own button or F4.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/teclas.h"

#include <QtWidgets>

using namespace tivane;

class TstRetornoBusca : public QObject {
    Q_OBJECT
    static QWidget* busca() { return Janelas::instancia("frmlocaliza"); }
    static QString caixa(QWidget* w, const char* nome) { return w->findChild<QLineEdit*>(nome)->text(); }
    static void clica(QWidget* w, const char* botao) { w->findChild<QPushButton*>(botao)->click(); }
    static void localiza(QWidget* w) { w->findChild<QAction*>("btnlocalizar")->trigger(); }
    // Finds by name and chooses the first row; the search closes.
    static void escolhe(const QString& nome)
    {
        QVERIFY(busca());
        busca()->findChild<QLineEdit*>("txtnome")->setText(nome);
        clica(busca(), "cmdbuscar");
        auto* lista = busca()->findChild<QTreeWidget*>("lista");
        QVERIFY(lista->topLevelItemCount() > 0);
        lista->setCurrentItem(lista->topLevelItem(0));
        clica(busca(), "cmdselecionado");
        QVERIFY(!busca());
    }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init()
    {
        teste::limpaBanco();
        Dialogos::limpa();
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'Ana'), ('0002', 'Bia')"));
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome, senha) VALUES ('0001', 'Carla', 'c')"));
    }
    void cleanup()
    {
        for (const char* n : {"frmlocaliza", "frmpagamentos", "frmrelatorios", "frmcadastrodizimistas", "frmcadastrousuarios"})
            Janelas::fecha(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void pagamentosERelatorios()
    {
        QWidget* pag = Janelas::abre("frmpagamentos");
        QWidget* rel = Janelas::abre("frmrelatorios");
        clica(pag, "cmdprocurar");
        clica(rel, "cmdprocurar");   // the later caller takes the choice; the earlier gets nothing
        escolhe("Bia");
        QCOMPARE(caixa(rel, "txtcodigodizimista") + " " + caixa(rel, "txtnomedizimista") + "|" + caixa(pag, "txtcodigodizimista"),
                 QString("0002 Bia|"));
        clica(pag, "cmdprocurar");
        escolhe("Ana");
        QCOMPARE(caixa(pag, "txtcodigodizimista") + " " + caixa(pag, "txtnomedizimista"), QString("0001 Ana"));
        QCOMPARE(pag->focusWidget(), pag->findChild<QWidget*>("txtvalor"));
        QCOMPARE(caixa(rel, "txtcodigodizimista"), QString("0002"));
        QVERIFY(Dialogos::registros().isEmpty());
    }

    void cadastros()
    {
        // The tithers window, from its button and from F4: the code, and the record read-only.
        QWidget* diz = Janelas::abre("frmcadastrodizimistas");
        const auto registro = [diz] {
            return caixa(diz, "txtcodigo") + " " + caixa(diz, "txtnome") + " " + diz->findChild<QLabel*>("lblstatus")->text();
        };
        localiza(diz);
        escolhe("Bia");
        QCOMPARE(registro(), QString("0002 Bia Somente Leitura"));
        definejanelaativa("frmcadastrodizimistas");
        teclasdeatalho(115);
        escolhe("Ana");
        QCOMPARE(registro(), QString("0001 Ana Somente Leitura"));

        // The users window: its button searches users, F4 tithers; neither writes anything back.
        QWidget* usu = Janelas::abre("frmcadastrousuarios");
        const QString antes = caixa(usu, "txtcodigo") + "|" + caixa(usu, "txtnome");
        localiza(usu);
        escolhe("Carla");
        definejanelaativa("frmcadastrousuarios");
        teclasdeatalho(115);
        escolhe("Bia");
        QCOMPARE(caixa(usu, "txtcodigo") + "|" + caixa(usu, "txtnome"), antes);
        QCOMPARE(registro(), QString("0001 Ana Somente Leitura"));
    }
};

TIVANE_TEST_MAIN(TstRetornoBusca)
#include "tst_retornobusca.moc"
