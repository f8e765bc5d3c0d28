// Function keys of the register windows: the dispatcher and the active window.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/teclas.h"
#include "register/frmcadastrodizimistas.h"

#include <QtWidgets>

using namespace tivane;

class TstTeclas : public QObject {
    Q_OBJECT

private:
    static QWidget* cadastro() { return Janelas::instancia("frmcadastrodizimistas"); }
    static void fechaTudo()
    {
        Janelas::fecha("frmlocaliza");
        Janelas::fecha("frmcadastrodizimistas");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QLineEdit* caixa(const char* nome) { return cadastro()->findChild<QLineEdit*>(nome); }
    static QString mensagem() { return Dialogos::ultimo("msgbox").texto; }
    static void f1af7() { for (int tecla = 112; tecla <= 118; ++tecla) teclasdeatalho(tecla); }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init()
    {
        fechaTudo();
        teste::limpaBanco();
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'Ana'), ('0002', 'Bia')"));
        Dialogos::limpa();
    }
    void cleanup() { fechaTudo(); }

    // Must run first: nothing has been activated yet in this process.
    void semJanelaAtivaOuDeOutroCadastro()
    {
        QCOMPARE(janelaativa(), QString());
        Janelas::carrega("frmcadastrodizimistas");   // loaded, never activated
        definejanelaativa(QString());
        Dialogos::limpa();
        f1af7();
        QVERIFY(Dialogos::registros().isEmpty());
        QVERIFY(!Janelas::instancia("frmlocaliza") && cadastro());
        teclasdeatalho(119);   // F8 still closes the work windows
        QVERIFY(!cadastro());
        // The users window has no actions behind these keys.
        Janelas::abre("frmcadastrodizimistas");
        definejanelaativa("frmcadastrousuarios");
        Dialogos::limpa();
        f1af7();
        QVERIFY(Dialogos::registros().isEmpty());
        QVERIFY(cadastro());
    }

    void teclasNaJanelaDeDizimistas()
    {
        QWidget* w = Janelas::abre("frmcadastrodizimistas");
        definejanelaativa(QString());
        w->activateWindow();   // a real activation names the window
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        Dialogos::limpa();
        QStringList codigos;
        for (int tecla : {113, 113, 114}) {   // F2 twice from the new record "0003", F3
            teclasdeatalho(tecla);
            codigos << caixa("txtcodigo")->text();
        }
        QCOMPARE(codigos, QStringList({"0002", "0001", "0002"}));
        QVERIFY(Dialogos::registros().isEmpty());
        teclasdeatalho(118);   // F7: modify, code box locked
        QCOMPARE(cadastro()->findChild<QLabel*>("lblstatus")->text(), QString("Modificando Registro"));
        QVERIFY(caixa("txtcodigo")->isReadOnly() && !caixa("txtnome")->isReadOnly());
        caixa("txtnome")->clear();
        caixa("txtnome")->setFocus();
        QTest::keyClick(caixa("txtnome"), Qt::Key_F5);   // a real key reaches the dispatcher
        QCOMPARE(mensagem(), QString("Você deve digitar o nome do dizimista para continuar."));
        QTest::keyClicks(caixa("txtnome"), "Ana");   // other keys reach the box
        QCOMPARE(caixa("txtnome")->text(), QString("Ana"));
        caixa("txtcodigo")->setText("2");   // F6 passes the box's text as it is
        teclasdeatalho(117);
        QCOMPARE(mensagem(), QString("Não existe dizimista cadastrado com este código"));
        teclasdeatalho(115);   // F4
        QWidget* busca = Janelas::instancia("frmlocaliza");
        QVERIFY(busca);
        QCOMPARE(busca->findChild<QLabel*>("lblnomedoform")->text() + " " + busca->findChild<QLabel*>("lbltipo")->text(),
                 QString("frmcadastrodizimistas 1"));

        const int mensagens = Dialogos::registros().size();
        teclasdeatalho(13);    // not function keys
        teclasdeatalho(120);
        QVERIFY(cadastro());
        teclasdeatalho(112);   // F1: closes without a question
        QVERIFY(!cadastro());
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));   // the name stays, keys do nothing
        teclasdeatalho(117);
        QCOMPARE(Dialogos::registros().size(), mensagens);
    }

    void ativacaoDentroDaAreaMdi()
    {
        QMdiArea area;
        area.show();
        Janelas::defineAreaMdi(&area);
        Janelas::registra("frmcadastrousuarios", [] {
            auto* w = new QWidget;
            instalateclasdeatalho(w, "frmcadastrousuarios");
            return w;
        }, Janelas::Mdi);
        QWidget* dizimistas = Janelas::abre("frmcadastrodizimistas");
        Janelas::abre("frmcadastrousuarios");
        QCOMPARE(janelaativa(), QString("frmcadastrousuarios"));
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dizimistas->parentWidget()));
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        Janelas::fecha("frmcadastrousuarios");
        fechaTudo();
        Janelas::defineAreaMdi(nullptr);
    }
};

TIVANE_TEST_MAIN(TstTeclas)
#include "tst_teclas.moc"
