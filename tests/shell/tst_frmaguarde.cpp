#include "core/janelas.h"
#include "shell/frmaguarde.h"
#include "testsupport.h"

#include <QProgressBar>

using namespace tivane;

class TstFrmAguarde : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void abreComValoresIniciais();
    void barraDentroDoIntervalo();
    void depoisDeFechadaNadaAcontece();
    void umaJanelaCompartilhada();
    void fecharSemJanelaPrincipalNaoEncerra();
};

namespace {
int janelasAguarde()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<FrmAguarde*>(w) && w->testAttribute(Qt::WA_DeleteOnClose))
            ++n;
    return n;
}
QProgressBar* barra()
{
    QWidget* w = Janelas::instancia("frmaguarde");
    return w ? w->findChild<QProgressBar*>("ProgressBar") : nullptr;
}
}  // namespace

void TstFrmAguarde::cleanup()
{
    FrmAguarde::fecha();
    QTRY_COMPARE(janelasAguarde(), 0);
}

void TstFrmAguarde::abreComValoresIniciais()
{
    QVERIFY(Janelas::registrada("frmaguarde"));
    QVERIFY(!FrmAguarde::aberta());
    FrmAguarde::abre();
    QWidget* w = Janelas::instancia("frmaguarde");
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Aguarde ..."));
    QVERIFY(w->findChild<QWidget*>("Frame1"));
    QVERIFY(barra());
    QCOMPARE(barra()->minimum(), 0);
    QCOMPARE(barra()->maximum(), 100);
    QCOMPARE(barra()->value(), 0);
    QVERIFY(w->windowFlags() & Qt::Tool);
    QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));

    // A later opening starts from the design values again.
    FrmAguarde::defineMaximo(10);
    FrmAguarde::defineValor(7);
    FrmAguarde::fecha();
    QTRY_COMPARE(janelasAguarde(), 0);
    FrmAguarde::abre(QString::fromUtf8("Insira o Pen Drive para backup automático..."));
    QCOMPARE(Janelas::instancia("frmaguarde")->windowTitle(),
             QString::fromUtf8("Insira o Pen Drive para backup automático..."));
    QCOMPARE(FrmAguarde::maximo(), 100);
    QCOMPARE(FrmAguarde::valor(), 0);
}

void TstFrmAguarde::barraDentroDoIntervalo()
{
    FrmAguarde::abre();
    FrmAguarde::defineMaximo(3);
    FrmAguarde::defineValor(2);
    QCOMPARE(FrmAguarde::valor(), 2);
    FrmAguarde::defineValor(9);
    QCOMPARE(FrmAguarde::valor(), 3);
    FrmAguarde::defineValor(-4);
    QCOMPARE(FrmAguarde::valor(), 0);
    // An empty task still leaves a usable bar.
    FrmAguarde::defineMaximo(0);
    QCOMPARE(FrmAguarde::maximo(), 1);
}

void TstFrmAguarde::depoisDeFechadaNadaAcontece()
{
    FrmAguarde::fecha();  // not open: nothing happens
    QVERIFY(!FrmAguarde::aberta());

    FrmAguarde::abre();
    FrmAguarde::fecha();
    // The deletion is still pending: the window already counts as closed.
    QVERIFY(!FrmAguarde::aberta());
    FrmAguarde::defineMaximo(50);
    FrmAguarde::defineValor(10);
    FrmAguarde::defineLegenda("x");
    QCOMPARE(FrmAguarde::valor(), -1);
    QCOMPARE(FrmAguarde::maximo(), -1);
    QTRY_COMPARE(janelasAguarde(), 0);
    FrmAguarde::defineValor(20);
    QVERIFY(!FrmAguarde::aberta());
    QCOMPARE(janelasAguarde(), 0);  // no hidden reload
}

void TstFrmAguarde::umaJanelaCompartilhada()
{
    FrmAguarde::abre(QStringLiteral("Primeira tarefa"));
    QWidget* primeira = Janelas::instancia("frmaguarde");
    FrmAguarde::defineMaximo(10);
    FrmAguarde::abre(QStringLiteral("Segunda tarefa"));
    QCOMPARE(Janelas::instancia("frmaguarde"), primeira);
    QCOMPARE(primeira->windowTitle(), QStringLiteral("Segunda tarefa"));
    QCOMPARE(janelasAguarde(), 1);
}

void TstFrmAguarde::fecharSemJanelaPrincipalNaoEncerra()
{
    FrmAguarde::abre();
    QVERIFY(!Janelas::instancia("frmaguarde")->testAttribute(Qt::WA_QuitOnClose));
}

TIVANE_TEST_MAIN(TstFrmAguarde)
#include "tst_frmaguarde.moc"
