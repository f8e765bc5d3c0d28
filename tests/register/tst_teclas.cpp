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
    static QWidget* cadastro() { return Janelas::instancia("frmcadastrodizimistas"); }
    static void fechaTudo()
    {
        for (const char* n : {"frmlocaliza", "frmcadastrodizimistas", "frmcadastrousuarios"})
            Janelas::fecha(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QLineEdit* caixa(const char* nome) { return cadastro()->findChild<QLineEdit*>(nome); }
    static QString mensagem() { return Dialogos::ultimo("msgbox").texto; }
    // F1 to F7 with no window to act on: no message, and the window stays.
    static void f1af7NadaFazem()
    {
        Dialogos::limpa();
        for (int tecla = 112; tecla <= 118; ++tecla)
            teclasdeatalho(tecla);
        QVERIFY(Dialogos::registros().isEmpty() && !Janelas::instancia("frmlocaliza") && cadastro());
    }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init()
    {
        fechaTudo();
        teste::limpaBanco();
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'Ana'), ('0002', 'Bia')"));
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome, senha) VALUES ('0001', 'Ana', 'a'), ('0002', 'Bia', 'b')"));
    }
    void cleanup() { fechaTudo(); }

    // Must run first: nothing has been activated yet in this process.
    void semJanelaAtivaOuDeOutroCadastro()
    {
        QCOMPARE(janelaativa(), QString());
        Janelas::carrega("frmcadastrodizimistas");   // loaded, never activated
        definejanelaativa(QString());
        f1af7NadaFazem();
        teclasdeatalho(119);   // F8 still closes the work windows
        QVERIFY(!cadastro());
        Janelas::abre("frmcadastrodizimistas");
        definejanelaativa("frmcadastrousuarios");   // named, but not open
        f1af7NadaFazem();
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
        for (int tecla : {113, 113, 114})   // F2 twice from the new record "0003", F3
            codigos << (teclasdeatalho(tecla), caixa("txtcodigo")->text());
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
        for (int tecla : {13, 120})   // not function keys
            teclasdeatalho(tecla);
        QVERIFY(cadastro());
        teclasdeatalho(112);   // F1: closes without a question
        QVERIFY(!cadastro());
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));   // the name stays, keys do nothing
        teclasdeatalho(117);
        QCOMPARE(Dialogos::registros().size(), mensagens);
    }

    // The keys do what the users window's own buttons do, checks included.
    void teclasNaJanelaDeUsuarios()
    {
        QWidget* w = Janelas::abre("frmcadastrousuarios");
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(janelaativa(), QString("frmcadastrousuarios"));
        const auto caixa = [w](const char* nome) { return w->findChild<QLineEdit*>(nome); };
        const auto banner = [w] { return w->findChild<QLabel*>("lblstatus")->text(); };
        teclasdeatalho(113);   // F2 from the new record "0003"
        QCOMPARE(caixa("txtcodigo")->text() + caixa("txtnome")->text(), QString("0002Bia"));
        caixa("txtnome")->setFocus();
        QTest::keyClick(caixa("txtnome"), Qt::Key_F5);   // the confirmation is empty
        QCOMPARE(mensagem(), QString("Senha e contra-senha não conferem"));
        Dialogos::respondeTexto("errada");
        teclasdeatalho(118);   // F7 asks the current password
        QCOMPARE(Dialogos::ultimo("inputbox").texto + mensagem() + " " + banner(),
                 QString("Digite a senha atual para modificar este registro:Senha incorreta! Novo Registro"));
        Dialogos::respondeTexto("b");
        teclasdeatalho(118);
        QCOMPARE(banner(), QString("Modificando Registro"));
        QVERIFY(caixa("txtcodigo")->isReadOnly() && !caixa("txtnome")->isReadOnly());   // the code box stays locked

        caixa("txtcodigo")->setText("0009");
        teclasdeatalho(117);   // F6 with the box's text
        QCOMPARE(mensagem(), QString("Não existe usuário cadastrado com este código"));
        teclasdeatalho(115);   // F4 searches tithers (the toolbar's "Localizar(F4)" searches users)
        QWidget* busca = Janelas::instancia("frmlocaliza");
        QVERIFY(busca);
        QCOMPARE(busca->findChild<QLabel*>("lblnomedoform")->text() + " " + busca->findChild<QLabel*>("lbltipo")->text(),
                 QString("frmcadastrousuarios 1"));
        Janelas::abre("frmcadastrodizimistas");
        teclasdeatalho(119);   // F8 leaves the users window open
        QCOMPARE(Janelas::instancia("frmcadastrousuarios"), w);
        QVERIFY(!cadastro());
        definejanelaativa("frmcadastrousuarios");
        const int mensagens = Dialogos::registros().size();
        teclasdeatalho(112);   // F1 closes without a question
        QVERIFY(!Janelas::instancia("frmcadastrousuarios"));
        QCOMPARE(Dialogos::registros().size(), mensagens);
    }

    // Esc on an open menu leaves the focus on the menu bar: the first key after it
    // still reaches the register window active below, and typing goes on there.
    void teclaDepoisDeFecharUmMenu()
    {
        QMainWindow principal;
        QMenu* menu = principal.menuBar()->addMenu("Cadastros");
        menu->addAction("Dizimistas");
        auto* area = new QMdiArea;
        principal.setCentralWidget(area);
        Janelas::defineAreaMdi(area);
        principal.show();
        QVERIFY(QTest::qWaitForWindowActive(&principal));
        QWidget* w = Janelas::abre("frmcadastrousuarios");
        auto* codigo = w->findChild<QLineEdit*>("txtcodigo");
        const auto fechaMenuComEsc = [&] {
            QTest::mouseClick(principal.menuBar(), Qt::LeftButton, {},
                              principal.menuBar()->actionGeometry(menu->menuAction()).center());
            const bool aberto = QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; });
            QTest::qWait(50);   // the menu takes the keys once shown
            QTest::keyClick(principal.windowHandle(), Qt::Key_Escape);
            return aberto && QTest::qWaitFor([&] {
                       return !QApplication::activePopupWidget() && QApplication::focusWidget() == principal.menuBar();
                   });
        };
        QVERIFY(fechaMenuComEsc());
        QTest::keyClick(principal.windowHandle(), Qt::Key_F2);   // from the new record "0003"
        QCOMPARE(codigo->text(), QString("0002"));
        QVERIFY(w->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(fechaMenuComEsc());
        QTest::keyClick(principal.windowHandle(), Qt::Key_F2, Qt::ShiftModifier);   // not a register key
        QCOMPARE(codigo->text(), QString("0002"));
        QTest::keyClick(principal.windowHandle(), Qt::Key_F2);
        QCOMPARE(codigo->text(), QString("0001"));

        // Over a work window without these keys the menu bar keeps them.
        QMdiSubWindow* outra = area->addSubWindow(new QLineEdit);
        outra->show();
        area->setActiveSubWindow(outra);
        QVERIFY(fechaMenuComEsc());
        Dialogos::limpa();
        for (Qt::Key tecla : {Qt::Key_F2, Qt::Key_F4})
            QTest::keyClick(principal.windowHandle(), tecla);
        QVERIFY(Dialogos::registros().isEmpty() && !Janelas::instancia("frmlocaliza"));
        fechaTudo();
        Janelas::defineAreaMdi(nullptr);
    }

    void ativacaoDentroDaAreaMdi()
    {
        QMdiArea area;
        area.show();
        Janelas::defineAreaMdi(&area);
        QWidget* dizimistas = Janelas::abre("frmcadastrodizimistas");
        Janelas::abre("frmcadastrousuarios");
        QCOMPARE(janelaativa(), QString("frmcadastrousuarios"));
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dizimistas->parentWidget()));
        QCOMPARE(janelaativa(), QString("frmcadastrodizimistas"));
        fechaTudo();
        Janelas::defineAreaMdi(nullptr);
    }
};

TIVANE_TEST_MAIN(TstTeclas)
#include "tst_teclas.moc"
