// Function keys of the register windows: the dispatcher and the active window.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/teclas.h"
#include "register/frmcadastrodizimistas.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>

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
    static QString banner() { return cadastro()->findChild<QLabel*>("lblstatus")->text(); }
    static QLineEdit* caixa(const char* nome) { return cadastro()->findChild<QLineEdit*>(nome); }

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
    void antesDeQualquerAtivacao()
    {
        QCOMPARE(janelaativa(), QString());
        Janelas::carrega("frmcadastrodizimistas");   // loaded, never activated
        definejanelaativa(QString());
        Dialogos::limpa();
        for (int tecla = 112; tecla <= 118; ++tecla)
            teclasdeatalho(tecla);
        QVERIFY(Dialogos::registros().isEmpty());
        QVERIFY(!Janelas::instancia("frmlocaliza"));
        QVERIFY(cadastro());
        // F8 still closes the work windows.
        teclasdeatalho(119);
        QVERIFY(!cadastro());
    }

    void teclasNaJanelaDeDizimistas()
    {
        Janelas::abre("frmcadastrodizimistas");
        definejanelaativa("frmcadastrodizimistas");
        Dialogos::limpa();

        teclasdeatalho(113);   // F2 from the new record "0003"
        QCOMPARE(caixa("txtcodigo")->text(), QString("0002"));
        teclasdeatalho(113);
        QCOMPARE(caixa("txtcodigo")->text(), QString("0001"));
        teclasdeatalho(114);   // F3
        QCOMPARE(caixa("txtcodigo")->text(), QString("0002"));
        QVERIFY(Dialogos::registros().isEmpty());

        teclasdeatalho(118);   // F7: modify, code box locked
        QCOMPARE(banner(), QString("Modificando Registro"));
        QVERIFY(caixa("txtcodigo")->isReadOnly());
        QVERIFY(!caixa("txtnome")->isReadOnly());

        caixa("txtnome")->clear();
        teclasdeatalho(116);   // F5
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Você deve digitar o nome do dizimista para continuar."));

        // F6 passes the code box's text as it is.
        caixa("txtcodigo")->setText("2");
        teclasdeatalho(117);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Não existe dizimista cadastrado com este código"));

        teclasdeatalho(115);   // F4
        QWidget* busca = Janelas::instancia("frmlocaliza");
        QVERIFY(busca);
        QCOMPARE(busca->findChild<QLabel*>("lblnomedoform")->text(), QString("frmcadastrodizimistas"));
        QCOMPARE(busca->findChild<QLabel*>("lbltipo")->text(), QString("1"));

        const int mensagens = Dialogos::registros().size();
        teclasdeatalho(13);    // not a function key
        teclasdeatalho(120);
        QVERIFY(cadastro());
        teclasdeatalho(112);   // F1: closes without a question
        QVERIFY(!cadastro());
        QCOMPARE(Dialogos::registros().size(), mensagens);
        // The name stays; keys now find no open window and do nothing.
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        teclasdeatalho(117);
        QCOMPARE(Dialogos::registros().size(), mensagens);
    }

    void janelaDeUsuariosSemAcoes()
    {
        Janelas::abre("frmcadastrodizimistas");
        definejanelaativa("frmcadastrousuarios");
        Dialogos::limpa();
        for (int tecla = 112; tecla <= 118; ++tecla)
            teclasdeatalho(tecla);
        QVERIFY(Dialogos::registros().isEmpty());
        QVERIFY(cadastro());
    }

    void ativacaoDentroDaAreaMdi()
    {
        QMdiArea area;
        area.resize(1000, 800);
        area.show();
        Janelas::defineAreaMdi(&area);
        Janelas::registra("frmcadastrousuarios", [] {
            auto* w = new QWidget;
            instalateclasdeatalho(w, "frmcadastrousuarios");
            return w;
        }, Janelas::Mdi);
        QWidget* dizimistas = Janelas::abre("frmcadastrodizimistas");
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        QWidget* usuarios = Janelas::abre("frmcadastrousuarios");
        QCOMPARE(janelaativa(), QString("frmcadastrousuarios"));
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dizimistas->parentWidget()));
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(usuarios->parentWidget()));
        QCOMPARE(janelaativa(), QString("frmcadastrousuarios"));
        Janelas::fecha("frmcadastrousuarios");
        Janelas::fecha("frmcadastrodizimistas");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Janelas::defineAreaMdi(nullptr);
    }

    void teclaDeVerdadeChegaAoDespachante()
    {
        QWidget* w = Janelas::abre("frmcadastrodizimistas");
        definejanelaativa(QString());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        caixa("txtnome")->setFocus();
        Dialogos::limpa();
        QTest::keyClick(caixa("txtnome"), Qt::Key_F5);
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Você deve digitar o nome do dizimista para continuar."));
        // Other keys reach the box as usual.
        QTest::keyClicks(caixa("txtnome"), "Ana");
        QCOMPARE(caixa("txtnome")->text(), QString("Ana"));
    }
};

TIVANE_TEST_MAIN(TstTeclas)
#include "tst_teclas.moc"
