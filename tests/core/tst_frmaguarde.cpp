#include "core/janelas.h"
#include "core/frmaguarde.h"
#include "testsupport.h"

#include <QLabel>

using namespace tivane;

class TstFrmAguarde : public QObject {
    Q_OBJECT
    static int janelasAguarde()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<FrmAguarde*>(w) && w->testAttribute(Qt::WA_DeleteOnClose);
        return n;
    }
    // The bar as (value, maximum); (-1, -1) when the window is not open.
    static QPair<int, int> barra() { return {FrmAguarde::valor(), FrmAguarde::maximo()}; }

private slots:
    void cleanup() { FrmAguarde::fecha(); QTRY_COMPARE(janelasAguarde(), 0); }

    void cadaAberturaRecomecaNaMesmaJanela()
    {
        QVERIFY(!FrmAguarde::aberta());
        FrmAguarde::abre();
        QWidget* w = Janelas::instancia("frmaguarde");
        QVERIFY(w && w->isVisible());
        QCOMPARE(barra(), qMakePair(0, 100));
        QVERIFY(!w->testAttribute(Qt::WA_QuitOnClose));  // closing it with the main window hidden must not quit
        FrmAguarde::defineMaximo(10);
        FrmAguarde::defineValor(7);
        QVERIFY(w->findChild<QLabel*>("lblmensagem")->isHidden());   // only the title "Aguarde ..."
        // Takes over the one window, from 0 of 100 again. A title bar cuts a long text short: the
        // title stays short and the instruction is shown whole in the window.
        const QString instrucao = QStringLiteral("Insira o Pen Drive para backup automático...");
        FrmAguarde::abre(instrucao);
        QCOMPARE(Janelas::instancia("frmaguarde"), w);
        QCOMPARE(w->windowTitle() + "|" + FrmAguarde::legenda(), "Aguarde ...|" + instrucao);
        auto* mensagem = w->findChild<QLabel*>("lblmensagem");
        QTRY_VERIFY(mensagem->isVisible() && mensagem->text() == instrucao);
        QVERIFY(mensagem->height() >= mensagem->heightForWidth(mensagem->width())
                && w->rect().contains(mensagem->geometry()));
        QCOMPARE(barra(), qMakePair(0, 100));
        QCOMPARE(janelasAguarde(), 1);
        FrmAguarde::defineMaximo(3);  // the value stays within the range
        for (const auto& [dado, esperado] : QList<QPair<int, int>>{{2, 2}, {9, 3}, {-4, 0}}) {
            FrmAguarde::defineValor(dado);
            QCOMPARE(FrmAguarde::valor(), esperado);
        }
        FrmAguarde::defineMaximo(0);  // an empty task still leaves a usable bar
        QCOMPARE(FrmAguarde::maximo(), 1);
        FrmAguarde::fecha();  // a later opening starts again from 0 of 100
        QTRY_COMPARE(janelasAguarde(), 0);
        FrmAguarde::abre();
        QCOMPARE(barra(), qMakePair(0, 100));
    }

    // No control box and no buttons under any window manager: no title bar of its
    // own (the caption is drawn in the window), and out of the taskbar.
    void semBotoesNemCaixaDeControle()
    {
        FrmAguarde::abre(QStringLiteral("Insira o Pen Drive para backup automático..."));
        QWidget* w = Janelas::instancia("frmaguarde");
        QVERIFY(w && w->windowType() == Qt::Tool && (w->windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(!(w->windowFlags() & (Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)));
        auto* titulo = w->findChild<QLabel*>("lbltitulo");
        QVERIFY(titulo && titulo->isVisible() && titulo->text() == w->windowTitle());
    }

    void depoisDeFechadaNadaAcontece()
    {
        FrmAguarde::fecha();  // not open: nothing happens
        FrmAguarde::abre();
        FrmAguarde::fecha();
        QVERIFY(!FrmAguarde::aberta());  // the deletion is still pending, yet it counts as closed
        FrmAguarde::defineMaximo(50);
        FrmAguarde::defineValor(10);
        QCOMPARE(barra(), qMakePair(-1, -1));
        QTRY_COMPARE(janelasAguarde(), 0);
        FrmAguarde::defineValor(20);
        QVERIFY(!FrmAguarde::aberta());
        QCOMPARE(janelasAguarde(), 0);  // no hidden reload
    }
};

TIVANE_TEST_MAIN(TstFrmAguarde)
#include "tst_frmaguarde.moc"
