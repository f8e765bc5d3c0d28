#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmaguarde.h"
#include "shell/frmprincipal.h"
#include "testsupport.h"

#include <QAction>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

using namespace tivane;

class TstFrmPrincipal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void abreComFiguraPadrao();
    void figuraDeFundo();
    void menusEAtalhos();
    void barraPrincipal();
    void itensSeguemORegistro();
    void atalhosAbremJanelas();
    void versao();
    void varreduraUmaVezNaPartida();
    void varreduraDesligada();
    void fechajanelasFechaSoAsDaLista();
    void fechajanelasDeDentroDeUmaJanela();
    void sair();
    void caixaDeFecharEncerra();

private:
    FrmPrincipal* principal = nullptr;
    int varreduras = 0;
};

namespace {
// Stand-ins for the work windows, registered under their real names.
void registraJanelaTeste(const char* nome, int tipo = Janelas::Mdi)
{
    Janelas::registra(QString::fromLatin1(nome), [] { return new QWidget; }, tipo);
}

QAction* acao(QWidget* w, const char* nome)
{
    return w->findChild<QAction*>(QString::fromLatin1(nome));
}

// Runs f inside an event loop; true when something made every loop leave.
bool saiDoLaco(const std::function<void()>& f)
{
    QEventLoop laco;
    QTimer::singleShot(0, f);
    QTimer::singleShot(3000, &laco, [&laco] { laco.exit(99); });
    return laco.exec() == 0;
}

const QStringList LISTA = {"frmcadastrodizimistas", "frmrelatorios", "frmcadastroigreja", "Frmconfiguracoes",
                           "frmpagamentos", "frmbackup"};
}  // namespace

void TstFrmPrincipal::initTestCase()
{
    teste::criaBancoTeste();
    // A "picture" that is not one: the built-in picture must stay.
    const QString falsa = teste::pastaTemporaria() + "/fundo.jpg";
    QFile f(falsa);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("isto nao e uma figura");
    f.close();
    gravatextopadrao("caminhologo", falsa);
    gravaopcao("03", true);
    Comandos::registra("tempobloqueia", [this] { ++varreduras; });
    // The please-wait window left open by a task is closed when the main window loads.
    FrmAguarde::abre();

    principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
    QVERIFY(principal);
    QVERIFY(QTest::qWaitForWindowExposed(principal));
}

void TstFrmPrincipal::init()
{
    Dialogos::limpa();
}

void TstFrmPrincipal::abreComFiguraPadrao()
{
    QCOMPARE(principal->objectName(), QStringLiteral("frmprincipal"));
    QCOMPARE(principal->windowTitle(), QString::fromUtf8("Sistema para Recebimento de Dízimos"));
    QCOMPARE(FrmPrincipal::atual(), principal);
    QCOMPARE(Janelas::areaMdi(), principal->area());
    QVERIFY(!principal->fundopersonalizado());
    QCOMPARE(principal->fundo().size(), QSize(800, 548));
    QVERIFY(principal->fundo().pixelColor(400, 10).alpha() > 0);  // the built-in picture was drawn
    QTRY_VERIFY(!FrmAguarde::aberta());
    // Closing the login after it opened this window must not end the program.
    QVERIFY(principal->testAttribute(Qt::WA_QuitOnClose));
    // Hidden helpers of the sweep and the automatic backup.
    QVERIFY(principal->findChild<QWidget*>("listadizimistasativos"));
    QVERIFY(principal->findChild<QWidget*>("lblnumdrives"));
    QVERIFY(principal->findChild<QWidget*>("Drives"));
    QVERIFY(principal->findChild<QWidget*>("listadizimistasativos")->isHidden());
}

void TstFrmPrincipal::figuraDeFundo()
{
    const QString pasta = teste::pastaTemporaria();
    QImage img(64, 32, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(pasta + "/igreja.png"));
    QFile vazio(pasta + "/vazio.jpg");
    QVERIFY(vazio.open(QIODevice::WriteOnly));
    vazio.close();

    QVERIFY(principal->definefundo(pasta + "/igreja.png"));
    QVERIFY(principal->fundopersonalizado());
    QCOMPARE(principal->fundo().size(), QSize(64, 32));

    QVERIFY(!principal->definefundo(pasta + "/vazio.jpg"));
    QCOMPARE(principal->fundo().size(), QSize(800, 548));
    QVERIFY(principal->definefundo(pasta + "/igreja.png"));
    QVERIFY(!principal->definefundo(pasta + "/naoexiste.jpg"));
    QVERIFY(!principal->fundopersonalizado());
    QVERIFY(!principal->definefundo(QString()));
    QVERIFY(!principal->definefundo(pasta + "/fundo.jpg"));
    QCOMPARE(principal->fundo().size(), QSize(800, 548));
    principal->grab();  // paints without trouble
}

void TstFrmPrincipal::menusEAtalhos()
{
    const QList<QAction*> topo = principal->menuBar()->actions();
    QCOMPARE(topo.size(), 4);
    QCOMPARE(topo[0]->text(), QStringLiteral("Cadastros"));
    QCOMPARE(topo[1]->text(), QString::fromUtf8("Relatórios"));
    QCOMPARE(topo[2]->text(), QStringLiteral("Ferramentas"));
    QCOMPARE(topo[3]->text(), QStringLiteral("Sobre o Sistema"));

    struct Item {
        const char* nome;
        const char* legenda;
        QKeySequence tecla;
    };
    const Item itens[] = {
        {"mnucadastrodizimistas", "Dizimistas", QKeySequence(Qt::Key_F9)},
        {"mnucadastropagamentos", "Pagamentos", QKeySequence(Qt::Key_F11)},
        {"mnucadastroigreja", "Igreja", {}},
        {"mnucadastrousuarios", "Usuários", {}},
        {"mnusair", "Sair", {}},
        {"mnurelatgeral", "Relatórios em Geral", QKeySequence(Qt::Key_F12)},
        {"mnurelatrecebimentos", "Recebimentos por Período", {}},
        {"mnudadoscadastro", "Dados de Cadastro", {}},
        {"mnurelataniversarianmtes", "Aniversariantes", {}},
        {"mnusegundaviarecibo", "2* Via Recibo", {}},
        {"mnuestorno", "Estorno de Recibo", {}},
        {"mnurelatdizimistabairro", "Dizimistas Por Bairro", {}},
        {"mnureltanaliticos", "Relatórios Analíticos", {}},
        {"mnuconfiguracoesgerais", "Configurações Gerais", {}},
        {"mnucriabackup", "Criar", {}},
        {"mnurestaurabackup", "Restaurar", {}},
        {"mnubackupauto", "Backup Automático (Pen Drive)", {}},
        {"mnumanualonline", "Manual Online", {}},
        {"mnuversaoatual", "Versão Atual", {}},
        {"mnudesenvolvedor", "Desenvolvedor", {}},
    };
    for (const Item& i : itens) {
        QAction* a = acao(principal, i.nome);
        QVERIFY2(a, i.nome);
        QCOMPARE(a->text(), QString::fromUtf8(i.legenda));
        QCOMPARE(a->shortcut(), i.tecla);
    }
    // The two submenus hold their items.
    auto* recibos = principal->findChild<QMenu*>("mnurecibo");
    QVERIFY(recibos);
    QCOMPARE(recibos->title(), QStringLiteral("Recibos"));
    QCOMPARE(recibos->actions().size(), 2);
    auto* backup = principal->findChild<QMenu*>("mnubackup");
    QVERIFY(backup);
    QCOMPARE(backup->actions().size(), 2);
}

void TstFrmPrincipal::barraPrincipal()
{
    QToolBar* barra = barraprincipal();
    QVERIFY(barra);
    QCOMPARE(barra, principal->findChild<QToolBar*>("barraprincipal"));
    const QList<QAction*> botoes = barra->actions();
    QCOMPARE(botoes.size(), 5);
    QCOMPARE(botoes[0]->text(), QStringLiteral("Cadastro de Dizimistas (F9)"));
    QCOMPARE(botoes[1]->text(), QString::fromUtf8("Dízimos (F11)"));
    QCOMPARE(botoes[2]->text(), QString::fromUtf8("Recepção de Fiéis"));
    QCOMPARE(botoes[3]->text(), QString::fromUtf8("Relatórios (F12)"));
    QCOMPARE(botoes[4]->text(), QStringLiteral("Sair"));
    for (QAction* b : botoes)
        QVERIFY(b->shortcut().isEmpty());  // F-keys belong to the menu only

    mostrabarraprincipal(false);
    QVERIFY(barra->isHidden());
    mostrabarraprincipal(true);
    QVERIFY(!barra->isHidden());
}

void TstFrmPrincipal::itensSeguemORegistro()
{
    registraJanelaTeste("frmrecepcao", Janelas::Independente);
    registraJanelaTeste("frmcadastroigreja");
    Comandos::registra("mnuestorno", [] {});
    principal->atualizaitens();

    // Every item is available exactly when its window or command exists.
    const QHash<QString, QString> janelas = {{"mnucadastrodizimistas", "frmcadastrodizimistas"},
                                            {"mnucadastropagamentos", "frmpagamentos"},
                                            {"mnucadastroigreja", "frmcadastroigreja"},
                                            {"mnucadastrousuarios", "frmcadastrousuarios"},
                                            {"mnurelatgeral", "frmrelatorios"},
                                            {"mnudesenvolvedor", "frmsobre"}};
    for (auto it = janelas.begin(); it != janelas.end(); ++it)
        QCOMPARE(acao(principal, it.key().toLatin1())->isEnabled(),
                 Janelas::registrada(it.value()) || Comandos::registrado(it.key()));
    for (const char* c : {"mnurelatrecebimentos", "mnudadoscadastro", "mnurelataniversarianmtes", "mnusegundaviarecibo",
                          "mnurelatdizimistabairro", "mnucriabackup", "mnurestaurabackup", "mnubackupauto",
                          "mnumanualonline"})
        QCOMPARE(acao(principal, c)->isEnabled(), Comandos::registrado(c));
    QVERIFY(acao(principal, "mnucadastroigreja")->isEnabled());
    QVERIFY(acao(principal, "mnuestorno")->isEnabled());
    QVERIFY(acao(principal, "mnusair")->isEnabled());
    QVERIFY(acao(principal, "mnuversaoatual")->isEnabled());
    QVERIFY(acao(principal, "btnsair")->isEnabled());
    // Never available, even when their window exists.
    QVERIFY(!acao(principal, "mnureltanaliticos")->isEnabled());
    QVERIFY(!acao(principal, "btnrecepcao")->isEnabled());
    acao(principal, "btnrecepcao")->trigger();
    QVERIFY(!Janelas::instancia("frmrecepcao"));

    // A command registered later is picked up when the menu is about to show.
    int vezes = 0;
    Comandos::registra("mnumanualonline", [&vezes] { ++vezes; });
    QMenu* sobre = principal->findChild<QMenu*>("mnusobreosistema");
    emit sobre->aboutToShow();
    QVERIFY(acao(principal, "mnumanualonline")->isEnabled());
    acao(principal, "mnumanualonline")->trigger();
    QCOMPARE(vezes, 1);
    Comandos::registra("mnumanualonline", [] {});
}

void TstFrmPrincipal::atalhosAbremJanelas()
{
    registraJanelaTeste("frmcadastrodizimistas");
    registraJanelaTeste("frmpagamentos");
    registraJanelaTeste("frmrelatorios");
    principal->atualizaitens();
    principal->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(principal));

    QTest::keyClick(principal, Qt::Key_F9);
    QWidget* dizimistas = Janelas::instancia("frmcadastrodizimistas");
    QVERIFY(dizimistas);
    auto* sub = qobject_cast<QMdiSubWindow*>(dizimistas->parentWidget());
    QVERIFY(sub);
    QCOMPARE(sub->mdiArea(), principal->area());
    QVERIFY(sub->isMaximized());

    QTest::keyClick(principal, Qt::Key_F11);
    QVERIFY(Janelas::instancia("frmpagamentos"));
    QTest::keyClick(principal, Qt::Key_F12);
    QVERIFY(Janelas::instancia("frmrelatorios"));

    // Toolbar buttons open the same windows, and only one of each.
    acao(principal, "btncadastrodizimistas")->trigger();
    QCOMPARE(Janelas::instancia("frmcadastrodizimistas"), dizimistas);
    QCOMPARE(principal->area()->subWindowList().size(), 3);

    fechajanelas();
    QTRY_COMPARE(principal->area()->subWindowList().size(), 0);
    acao(principal, "btndizimos")->trigger();
    QVERIFY(Janelas::instancia("frmpagamentos"));
    acao(principal, "btnrelatorios")->trigger();
    QVERIFY(Janelas::instancia("frmrelatorios"));
    fechajanelas();
    QTRY_COMPARE(principal->area()->subWindowList().size(), 0);
}

void TstFrmPrincipal::versao()
{
    QCOMPARE(mensagemversao(), QString::fromUtf8("Versão do Sistema: 1.0.0"));
    acao(principal, "mnuversaoatual")->trigger();
    const auto m = Dialogos::ultimo("msgbox");
    QCOMPARE(m.texto, QString::fromUtf8("Versão do Sistema: 1.0.0"));
    QCOMPARE(m.estilo, 64);
    QCOMPARE(m.titulo, QString::fromUtf8("Tivane Dízimos"));
}

void TstFrmPrincipal::varreduraUmaVezNaPartida()
{
    // Option "03" was on when the main window loaded.
    QTRY_COMPARE(varreduras, 1);
    QVERIFY(!principal->tempobloqueia()->isActive());
    QTest::qWait(1300);
    QCOMPARE(varreduras, 1);
}

void TstFrmPrincipal::varreduraDesligada()
{
    gravaopcao("03", false);
    {
        FrmPrincipal outra;
        QVERIFY(!outra.tempobloqueia()->isActive());
        QVERIFY(!outra.temporefresh()->isActive());
    }
    Janelas::defineAreaMdi(principal->area());
}

void TstFrmPrincipal::fechajanelasFechaSoAsDaLista()
{
    for (const QString& n : LISTA)
        registraJanelaTeste(n.toLatin1());
    registraJanelaTeste("frmcadastrousuarios");
    registraJanelaTeste("frmsobre", Janelas::Independente);

    QList<QPointer<QWidget>> abertas;
    for (const QString& n : LISTA)
        abertas << Janelas::abre(n);
    QPointer<QWidget> usuarios = Janelas::abre("frmcadastrousuarios");
    QPointer<QWidget> sobre = Janelas::abre("frmsobre");
    FrmAguarde::abre();
    mostrabarraprincipal(false);
    int ticks = 0;
    Comandos::registra("temporefresh", [&ticks] { ++ticks; });
    principal->temporefresh()->start();

    fechajanelas();
    QVERIFY(!principal->barraprincipal()->isHidden());
    QVERIFY(!principal->temporefresh()->isActive());
    for (const QString& n : LISTA)
        QVERIFY2(!Janelas::instancia(n), qPrintable(n));
    QVERIFY(!FrmAguarde::aberta());
    for (const auto& w : abertas)
        QTRY_VERIFY(w.isNull());
    QVERIFY(Janelas::instancia("frmcadastrousuarios"));
    QVERIFY(Janelas::instancia("frmsobre"));
    QVERIFY(!usuarios.isNull() && !sobre.isNull());
    QVERIFY(FrmPrincipal::atual());
    QCOMPARE(ticks, 0);

    // With nothing open it does nothing more.
    fechajanelas();
    Janelas::fecha("frmcadastrousuarios");
    Janelas::fecha("frmsobre");
    QTRY_VERIFY(usuarios.isNull() && sobre.isNull());
}

void TstFrmPrincipal::fechajanelasDeDentroDeUmaJanela()
{
    // The exit button of the payments window closes it among the others.
    Janelas::registra("frmpagamentos",
                      [] {
                          auto* w = new QWidget;
                          auto* sair = new QPushButton("Sair", w);
                          sair->setObjectName("cmdsair");
                          QObject::connect(sair, &QPushButton::clicked, w, [sair] {
                              fechajanelas();
                              sair->setText("depois");  // the handler goes on after the close
                          });
                          return w;
                      },
                      Janelas::Mdi);
    QPointer<QWidget> relatorios = Janelas::abre("frmrelatorios");
    QPointer<QWidget> pagamentos = Janelas::abre("frmpagamentos");
    mostrabarraprincipal(false);
    principal->temporefresh()->start();
    auto* sair = pagamentos->findChild<QPushButton*>("cmdsair");
    QTest::mouseClick(sair, Qt::LeftButton);
    QVERIFY(!Janelas::instancia("frmpagamentos"));
    QVERIFY(!Janelas::instancia("frmrelatorios"));
    QVERIFY(!principal->temporefresh()->isActive());
    QVERIFY(!principal->barraprincipal()->isHidden());
    QTRY_VERIFY(pagamentos.isNull() && relatorios.isNull());
    QTRY_COMPARE(principal->area()->subWindowList().size(), 0);
}

namespace {
int g_saidas = 0;
}

void TstFrmPrincipal::sair()
{
    definesaida([] { ++g_saidas; });
    Dialogos::limpa();
    acao(principal, "mnusair")->trigger();
    QCOMPARE(g_saidas, 1);
    acao(principal, "btnsair")->trigger();
    QCOMPARE(g_saidas, 2);
    QVERIFY(Dialogos::registros("msgbox").isEmpty());  // no question
    QVERIFY(FrmPrincipal::atual());
    definesaida(nullptr);
}

// Last: leaving the event loop for real cannot be undone in this process.
void TstFrmPrincipal::caixaDeFecharEncerra()
{
    QVERIFY(!saiDoLaco([] {}));  // the loop does not leave on its own
    QVERIFY(saiDoLaco([this] { principal->close(); }));
}

TIVANE_TEST_MAIN(TstFrmPrincipal)
#include "tst_frmprincipal.moc"
