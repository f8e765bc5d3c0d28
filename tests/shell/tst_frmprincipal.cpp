#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/frmaguarde.h"
#include "shell/frmprincipal.h"
#include "testsupport.h"

#include <QtWidgets>

using namespace tivane;

namespace {
// Stand-ins for the work windows, registered under their real names.
void registra(const QString& nome, int tipo = Janelas::Mdi) { Janelas::registra(nome, [] { return new QWidget; }, tipo); }
QAction* acao(QWidget* w, const char* nome) { return w->findChild<QAction*>(QString::fromLatin1(nome)); }
QString arquivo(const QString& nome, const QByteArray& conteudo)
{
    QFile f(teste::pastaTemporaria() + "/" + nome);
    return f.open(QIODevice::WriteOnly) && f.write(conteudo) == conteudo.size() ? f.fileName() : QString("não gravado");
}
const QStringList LISTA = {"frmcadastrodizimistas", "frmrelatorios", "frmcadastroigreja", "Frmconfiguracoes",
                           "frmpagamentos", "frmbackup"};
const QSize PADRAO(800, 548);

int g_saidas = 0;
}  // namespace

class TstFrmPrincipal : public QObject {
    Q_OBJECT
    FrmPrincipal* principal = nullptr;
    int varreduras = 0;
    int abertas() const { return int(principal->area()->subWindowList().size()); }

private slots:
    void initTestCase()
    {
        teste::criaBancoTeste();
        QVERIFY(gravatextopadrao("caminhologo", arquivo("fundo.jpg", "isto nao e uma figura")));
        QVERIFY(gravaopcao("03", true));
        Comandos::registra("tempobloqueia", [this] { ++varreduras; });
        FrmAguarde::abre();  // left open by a task: closed when the main window loads
        principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal && QTest::qWaitForWindowExposed(principal));
        QCOMPARE(FrmPrincipal::atual(), principal);
        QCOMPARE(Janelas::areaMdi(), principal->area());
        QTRY_VERIFY(!FrmAguarde::aberta());
        QTRY_COMPARE(varreduras, 1);  // option "03" is on: one sweep at the start, and no more
        QVERIFY(!principal->tempobloqueia()->isActive());
        QTest::qWait(1300);
        QCOMPARE(varreduras, 1);
    }

    // Opened maximized; un-maximized it is centred and its title bar fits on the screen.
    void posicaoNormalCabeNaTela()
    {
        QVERIFY(principal->isMaximized());
        const QRect tela = principal->screen()->availableGeometry();
        const QRect normal = principal->normalGeometry();
        QVERIFY(tela.contains(normal) && normal.top() - tela.top() >= 30);
        QVERIFY((normal.center() - tela.center()).manhattanLength() <= 2);
    }

    void varreduraEsperaAMensagemAberta()
    {
        QMessageBox mensagem(QMessageBox::Warning, "Tivane Dízimos", "aviso");
        mensagem.setModal(true);
        mensagem.open();
        QTRY_VERIFY(QApplication::activeModalWidget());
        principal->tempobloqueia()->start();
        QTest::qWait(1300);
        QVERIFY(principal->tempobloqueia()->isActive());
        QCOMPARE(varreduras, 1);
        mensagem.close();
        QTRY_COMPARE(varreduras, 2);
        QVERIFY(!principal->tempobloqueia()->isActive());
    }

    void figuraDeFundo()
    {
        QVERIFY(!principal->fundopersonalizado());  // "caminhologo" was not a picture: the built-in one was drawn
        QCOMPARE(principal->fundo().size(), PADRAO);
        QVERIFY(principal->fundo().pixelColor(400, 10).alpha() > 0);
        const QString igreja = teste::pastaTemporaria() + "/igreja.png";
        QVERIFY(principal->fundo().scaled(64, 32).save(igreja));
        // An empty, missing or unnamed file, or one that is no picture, brings the built-in one back.
        for (const QString& ruim : {arquivo("vazio.jpg", {}), teste::pastaTemporaria() + "/naoexiste.jpg", QString(),
                                    teste::pastaTemporaria() + "/fundo.jpg"}) {
            QVERIFY(principal->definefundo(igreja) && principal->fundopersonalizado());
            QCOMPARE(principal->fundo().size(), QSize(64, 32));
            QVERIFY2(!principal->definefundo(ruim) && !principal->fundopersonalizado(), qPrintable(ruim));
            QCOMPARE(principal->fundo().size(), PADRAO);
        }
        principal->grab();  // paints without trouble
    }

    void itensSeguemORegistro()
    {
        registra("frmrecepcao", Janelas::Independente);
        registra("frmcadastroigreja");
        Comandos::registra("mnuestorno", [] {});
        principal->atualizaitens();
        // Every item is available exactly when its window or command exists.
        const QList<QPair<const char*, QString>> itens = {
            {"mnucadastrodizimistas", "frmcadastrodizimistas"}, {"mnucadastropagamentos", "frmpagamentos"},
            {"mnucadastrousuarios", "frmcadastrousuarios"}, {"mnurelatgeral", "frmrelatorios"},
            {"mnudesenvolvedor", "frmsobre"}, {"mnurelatrecebimentos", {}}, {"mnudadoscadastro", {}},
            {"mnurelataniversarianmtes", {}}, {"mnusegundaviarecibo", {}}, {"mnurelatdizimistabairro", {}},
            {"mnucriabackup", {}}, {"mnurestaurabackup", {}}, {"mnubackupauto", {}}, {"mnumanualonline", {}}};
        for (const auto& [item, janela] : itens)
            QCOMPARE(acao(principal, item)->isEnabled(), Janelas::registrada(janela) || Comandos::registrado(item));
        for (const char* c : {"mnucadastroigreja", "mnuestorno", "mnusair", "mnuversaoatual", "btnsair"})
            QVERIFY2(acao(principal, c)->isEnabled(), c);
        QVERIFY(!acao(principal, "mnureltanaliticos")->isEnabled() && !acao(principal, "btnrecepcao")->isEnabled());  // never
        acao(principal, "btnrecepcao")->trigger();
        QVERIFY(!Janelas::instancia("frmrecepcao"));
    }

    void menusNaoMexemNasAcoesDasJanelas()
    {
        // A register window's own toolbar stays as the window left it when a main menu opens.
        const QStringList botoes = {"btnnovo", "btnvoltar", "btnavancar", "btnlocalizar", "btnsalvar", "btnexcluir",
                                    "btnmodificar", "btnsair"};
        Janelas::registra("frmcadastrodizimistas", [botoes] {
            auto* w = new QWidget;
            auto* barra = new QToolBar(w);
            for (const QString& b : botoes)
                barra->addAction(b)->setObjectName(b);
            return w;
        }, Janelas::Mdi);
        QWidget* dizimistas = Janelas::abre("frmcadastrodizimistas");
        QVERIFY(dizimistas);
        for (QMenu* m : principal->menuBar()->findChildren<QMenu*>())
            emit m->aboutToShow();
        for (const QString& b : botoes)
            QVERIFY2(dizimistas->findChild<QAction*>(b)->isEnabled(), qPrintable(b));
        fechajanelas();
        QTRY_COMPARE(abertas(), 0);
    }

    void atalhosAbremJanelas()
    {
        for (const char* n : {"frmcadastrodizimistas", "frmpagamentos", "frmrelatorios"})
            registra(n);
        principal->atualizaitens();
        principal->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(principal));
        QTest::keyClick(principal, Qt::Key_F9);
        QWidget* dizimistas = Janelas::instancia("frmcadastrodizimistas");
        auto* sub = qobject_cast<QMdiSubWindow*>(dizimistas ? dizimistas->parentWidget() : nullptr);
        QVERIFY(sub && sub->isMaximized() && sub->mdiArea() == principal->area());
        QTest::keyClick(principal, Qt::Key_F11);
        QTest::keyClick(principal, Qt::Key_F12);
        QVERIFY(Janelas::instancia("frmpagamentos") && Janelas::instancia("frmrelatorios"));
        acao(principal, "btncadastrodizimistas")->trigger();  // toolbar buttons open the same windows, one of each
        QCOMPARE(Janelas::instancia("frmcadastrodizimistas"), dizimistas);
        QCOMPARE(abertas(), 3);
        fechajanelas();
        QTRY_COMPARE(abertas(), 0);
        acao(principal, "btndizimos")->trigger();
        acao(principal, "btnrelatorios")->trigger();
        QVERIFY(Janelas::instancia("frmpagamentos") && Janelas::instancia("frmrelatorios"));
        fechajanelas();
        QTRY_COMPARE(abertas(), 0);
    }

    void fechajanelasFechaSoAsDaLista()
    {
        QList<QPointer<QWidget>> lista;
        for (const QString& n : LISTA)
            lista << (registra(n), Janelas::abre(n));
        registra("frmcadastrousuarios");
        registra("frmsobre", Janelas::Independente);
        QPointer<QWidget> usuarios = Janelas::abre("frmcadastrousuarios"), sobre = Janelas::abre("frmsobre");
        FrmAguarde::abre();
        // Like the payments and reports windows, these hide the toolbar when activated (closing one activates the next).
        QObject guarda;
        connect(principal->area(), &QMdiArea::subWindowActivated, &guarda, [lista](QMdiSubWindow* s) {
            if (s && lista.contains(s->widget()))
                mostrabarraprincipal(false);
        });
        Janelas::abre(LISTA.first());
        principal->temporefresh()->start();

        fechajanelas();
        QVERIFY(!principal->barraprincipal()->isHidden() && !principal->temporefresh()->isActive());
        for (const QString& n : LISTA)
            QVERIFY2(!Janelas::instancia(n), qPrintable(n));
        QVERIFY(!FrmAguarde::aberta() && FrmPrincipal::atual());
        for (const auto& w : lista)
            QTRY_VERIFY(w.isNull());
        QVERIFY(Janelas::instancia("frmcadastrousuarios") && Janelas::instancia("frmsobre") && usuarios && sobre);
        Janelas::fecha("frmcadastrousuarios");
        Janelas::fecha("frmsobre");
    }

    void fechajanelasNaOrdem()
    {
        // Opened the other way round: the order is that of fechajanelas, the please-wait window last.
        const QStringList todas = LISTA + QStringList{"frmaguarde"};
        QStringList fechadas;
        const teste::AoEvento fecha(QEvent::Close, {}, [&](QWidget* w) {
            if (todas.contains(w->objectName()))
                fechadas << w->objectName();
        });
        FrmAguarde::abre();
        for (auto n = LISTA.crbegin(); n != LISTA.crend(); ++n)
            registra(*n), Janelas::abre(*n);
        fechajanelas();
        QCOMPARE(fechadas, todas);
        QTRY_COMPARE(abertas(), 0);
    }

    void fechajanelasDeDentroDeUmaJanela()
    {
        // The exit button of the payments window closes it among the others; its handler goes on after.
        Janelas::registra("frmpagamentos", [] {
            auto* w = new QWidget;
            auto* sair = new QPushButton("Sair", w);
            QObject::connect(sair, &QPushButton::clicked, w, [sair] { fechajanelas(); sair->setText("depois"); });
            return w;
        }, Janelas::Mdi);
        QPointer<QWidget> relatorios = Janelas::abre("frmrelatorios"), pagamentos = Janelas::abre("frmpagamentos");
        QTest::mouseClick(pagamentos->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(!Janelas::instancia("frmpagamentos") && !Janelas::instancia("frmrelatorios"));
        QTRY_VERIFY(pagamentos.isNull() && relatorios.isNull() && abertas() == 0);
    }

    void barraVoltaQuandoNaoSobraJanela()
    {
        // Whatever closes the last work window, the toolbar comes back; while one is left, it stays hidden.
        const QList<QPair<const char*, std::function<void(QWidget*)>>> modos = {
            {"caixa de fechar", [](QWidget* w) { w->parentWidget()->close(); }},
            {"a própria janela", [](QWidget* w) { w->close(); }},
            {"Janelas::fecha", [](QWidget* w) { Janelas::fecha(w->objectName()); }},
            {"escondida", [](QWidget* w) { w->parentWidget()->hide(); }}};
        for (const auto& [modo, fecha] : modos) {
            QWidget* a = Janelas::abre("frmcadastrodizimistas");
            QWidget* b = Janelas::abre("frmcadastroigreja");
            mostrabarraprincipal(false);
            fecha(a);
            QTest::qWait(20);
            QVERIFY2(principal->barraprincipal()->isHidden(), modo);
            fecha(b);
            QTRY_VERIFY2(!principal->barraprincipal()->isHidden(), modo);
            fechajanelas();
            QTRY_COMPARE(abertas(), 0);
        }
    }

    // "Sair" and the close box end the program without a question. Last: leaving the loop cannot be undone.
    void sairEncerra()
    {
        Dialogos::limpa();
        definesaida([] { ++g_saidas; });
        acao(principal, "mnusair")->trigger();
        acao(principal, "btnsair")->trigger();
        QCOMPARE(g_saidas, 2);
        QVERIFY(Dialogos::registros("msgbox").isEmpty() && FrmPrincipal::atual());
        definesaida(nullptr);
        auto saiDoLaco = [](const std::function<void()>& f) {
            QEventLoop laco;
            QTimer::singleShot(0, f);
            QTimer::singleShot(3000, &laco, [&laco] { laco.exit(99); });
            return laco.exec() == 0;
        };
        QVERIFY(!saiDoLaco([] {}));  // the loop does not leave on its own
        QVERIFY(saiDoLaco([this] { principal->close(); }));
    }
};

TIVANE_TEST_MAIN(TstFrmPrincipal)
#include "tst_frmprincipal.moc"
