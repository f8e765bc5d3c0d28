#include "shell/frmprincipal.h"

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/versao.h"
#include "core/frmaguarde.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

namespace tivane {

namespace {

const char* const NOME = "frmprincipal";
constexpr int MARGEM_TELA = 32;   // more than a title bar
RegistroJanela reg(NOME, [] { return new FrmPrincipal; }, Janelas::Maximizada);

// The settings window's name is written with a capital F; a lower-case
// registration is accepted too.
const QStringList CONFIGURACOES = {QStringLiteral("Frmconfiguracoes"), QStringLiteral("frmconfiguracoes")};

// Menu items and toolbar buttons that open a window; every other item runs
// the command registered under its own name.
QStringList janelasDoItem(const QString& item)
{
    static const QHash<QString, QStringList> t = {
        {QStringLiteral("mnucadastrodizimistas"), {QStringLiteral("frmcadastrodizimistas")}},
        {QStringLiteral("mnucadastropagamentos"), {QStringLiteral("frmpagamentos")}},
        {QStringLiteral("mnucadastroigreja"), {QStringLiteral("frmcadastroigreja")}},
        {QStringLiteral("mnucadastrousuarios"), {QStringLiteral("frmcadastrousuarios")}},
        {QStringLiteral("mnurelatgeral"), {QStringLiteral("frmrelatorios")}},
        {QStringLiteral("mnuconfiguracoesgerais"), CONFIGURACOES},
        {QStringLiteral("mnudesenvolvedor"), {QStringLiteral("frmsobre")}},
        {QStringLiteral("btnrecepcao"), {QStringLiteral("frmrecepcao")}},
    };
    return t.value(item);
}

// Items that nothing makes available.
bool semprebloqueado(const QString& item)
{
    return item == QLatin1String("mnureltanaliticos") || item == QLatin1String("btnrecepcao");
}

// Toolbar buttons that do what a menu item does.
QString itemDoBotao(const QString& botao)
{
    if (botao == QLatin1String("btncadastrodizimistas"))
        return QStringLiteral("mnucadastrodizimistas");
    if (botao == QLatin1String("btndizimos"))
        return QStringLiteral("mnucadastropagamentos");
    if (botao == QLatin1String("btnrelatorios"))
        return QStringLiteral("mnurelatgeral");
    if (botao == QLatin1String("btnsair"))
        return QStringLiteral("mnusair");
    return botao;
}

bool disponivel(const QString& nome)
{
    const QString item = itemDoBotao(nome);
    if (semprebloqueado(nome) || semprebloqueado(item))
        return false;
    if (item == QLatin1String("mnusair") || item == QLatin1String("mnuversaoatual"))
        return true;
    if (Comandos::registrado(item))
        return true;
    for (const QString& j : janelasDoItem(item))
        if (Janelas::registrada(j))
            return true;
    return false;
}

QImage figuraPadrao()
{
    QSvgRenderer svg(QStringLiteral(":/tivane/fundo.svg"));
    QImage img(800, 548, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (svg.isValid()) {
        QPainter p(&img);
        svg.render(&p);
    }
    return img;
}

// The program's icon; the work windows inside the MDI area take it too, in
// place of the toolkit's own logo.
QIcon iconePrograma()
{
    QSvgRenderer svg(QStringLiteral(":/tivane/icone.svg"));
    QIcon icone;
    if (!svg.isValid())
        return icone;
    for (int lado : {16, 24, 32, 48, 64}) {
        QPixmap pm(lado, lado);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        svg.render(&p);
        p.end();
        icone.addPixmap(pm);
    }
    return icone;
}

}  // namespace

// The MDI area paints one picture centred on the workspace colour (Qt would tile it).
class AreaPrincipal : public QMdiArea {
public:
    explicit AreaPrincipal(QWidget* pai)
        : QMdiArea(pai)
    {
        setObjectName(QStringLiteral("areaprincipal"));
        setBackground(palette().brush(QPalette::Dark));
    }
    QImage figura;
    bool personalizada = false;

    // Runs, after the event that caused it, whenever a work window was closed or hidden.
    std::function<void()> aoFecharJanela;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        // The area watches its children: a closed window is hidden before it goes.
        if (e->type() == QEvent::Hide && aoFecharJanela) {
            auto* sub = qobject_cast<QMdiSubWindow*>(o);
            if (sub && sub->isHidden())
                QTimer::singleShot(0, this, aoFecharJanela);
        }
        return QMdiArea::eventFilter(o, e);
    }

    void paintEvent(QPaintEvent* e) override
    {
        QMdiArea::paintEvent(e);
        if (figura.isNull())
            return;
        QPainter p(viewport());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize area = viewport()->size();
        QSize tam = figura.size();
        if (tam.width() > area.width() || tam.height() > area.height())
            tam.scale(area, Qt::KeepAspectRatio);
        const QRect alvo(QPoint((area.width() - tam.width()) / 2, (area.height() - tam.height()) / 2), tam);
        p.drawImage(alvo, figura);
    }
};

FrmPrincipal::FrmPrincipal()
{
    setObjectName(QString::fromLatin1(NOME));
    setWindowTitle(QStringLiteral("Sistema para Recebimento de Dízimos"));
    setWindowIcon(iconePrograma());
    setContextMenuPolicy(Qt::PreventContextMenu);  // the toolbar is hidden and shown by the program only

    area_ = new AreaPrincipal(this);
    area_->figura = figuraPadrao();
    // Whatever closed the last work window (its exit, its close box, a key), the toolbar comes back.
    area_->aoFecharJanela = [this] {
        const QList<QMdiSubWindow*> janelas = area_->subWindowList();
        if (std::none_of(janelas.begin(), janelas.end(), [](QMdiSubWindow* s) { return !s->isHidden(); }))
            barraprincipal_->show();
    };
    setCentralWidget(area_);
    Janelas::defineAreaMdi(area_);

    criamenus();
    criabarra();

    tempobloqueia_ = new QTimer(this);
    tempobloqueia_->setObjectName(QStringLiteral("tempobloqueia"));
    tempobloqueia_->setInterval(1000);
    temporefresh_ = new QTimer(this);
    temporefresh_->setObjectName(QStringLiteral("temporefresh"));
    temporefresh_->setInterval(1000);
    // The sweep runs once per start, whatever its command does with the timer.
    connect(tempobloqueia_, &QTimer::timeout, this, [this] {
        // A message already open (the file check's warning) is read first: the sweep waits for a later tick.
        if (QApplication::activeModalWidget())
            return;
        tempobloqueia_->stop();
        executatimer(tempobloqueia_, QStringLiteral("tempobloqueia"), &varrendo_);
    });
    connect(temporefresh_, &QTimer::timeout, this, [this] {
        executatimer(temporefresh_, QStringLiteral("temporefresh"), &atualizandoBackup_);
    });
    definejanelaprincipal(this, barraprincipal_);
    // fechajanelas stops a pending automatic backup.
    aofecharjanelas(temporefresh_, [t = temporefresh_] { t->stop(); });

    // Hidden helpers of the sweep and the automatic backup.
    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("Drives"));
    drives_->hide();
    lblnumdrives_ = new QLabel(QStringLiteral("0"), this);
    lblnumdrives_->setObjectName(QStringLiteral("lblnumdrives"));
    lblnumdrives_->hide();

    if (QScreen* tela = QGuiApplication::primaryScreen()) {
        // Centred, with room for the frame: un-maximized, the title bar stays on the screen.
        const QRect r = tela->availableGeometry();
        QRect normal(0, 0, qMin(1024, r.width() - 2 * MARGEM_TELA), qMin(768, r.height() - 2 * MARGEM_TELA));
        normal.moveCenter(r.center());
        setGeometry(normal);
    }

    definefundo(lertextopadrao(QStringLiteral("caminhologo")));
    if (leropcao(QStringLiteral("03")))
        tempobloqueia_->start();
    FrmAguarde::fecha();
}

FrmPrincipal::~FrmPrincipal()
{
    if (Janelas::areaMdi() == area_)
        Janelas::defineAreaMdi(nullptr);
}

FrmPrincipal* FrmPrincipal::atual()
{
    return qobject_cast<FrmPrincipal*>(Janelas::instancia(QString::fromLatin1(NOME)));
}

QMdiArea* FrmPrincipal::area() const
{
    return area_;
}

QAction* FrmPrincipal::item(QMenu* menu, const char* nome, const QString& legenda, const QKeySequence& tecla)
{
    QAction* a = menu->addAction(legenda);
    a->setObjectName(QString::fromLatin1(nome));
    if (!tecla.isEmpty())
        a->setShortcut(tecla);
    connect(a, &QAction::triggered, this, [this, a] { aciona(a->objectName()); });
    return a;
}

void FrmPrincipal::criamenus()
{
    QMenuBar* barra = menuBar();

    QMenu* cadastro = barra->addMenu(QStringLiteral("Cadastros"));
    cadastro->setObjectName(QStringLiteral("mnucadastro"));
    item(cadastro, "mnucadastrodizimistas", QStringLiteral("Dizimistas"), QKeySequence(Qt::Key_F9));
    item(cadastro, "mnucadastropagamentos", QStringLiteral("Pagamentos"), QKeySequence(Qt::Key_F11));
    cadastro->addSeparator();
    item(cadastro, "mnucadastroigreja", QStringLiteral("Igreja"));
    item(cadastro, "mnucadastrousuarios", QStringLiteral("Usuários"));
    item(cadastro, "mnusair", QStringLiteral("Sair"));

    QMenu* relatorios = barra->addMenu(QStringLiteral("Relatórios"));
    relatorios->setObjectName(QStringLiteral("mnurelatorios"));
    item(relatorios, "mnurelatgeral", QStringLiteral("Relatórios em Geral"), QKeySequence(Qt::Key_F12));
    relatorios->addSeparator();
    item(relatorios, "mnurelatrecebimentos", QStringLiteral("Recebimentos por Período"));
    item(relatorios, "mnudadoscadastro", QStringLiteral("Dados de Cadastro"));
    item(relatorios, "mnurelataniversarianmtes", QStringLiteral("Aniversariantes"));
    QMenu* recibo = relatorios->addMenu(QStringLiteral("Recibos"));
    recibo->setObjectName(QStringLiteral("mnurecibo"));
    recibo->menuAction()->setObjectName(QStringLiteral("mnurecibo"));
    item(recibo, "mnusegundaviarecibo", QStringLiteral("2* Via Recibo"));
    item(recibo, "mnuestorno", QStringLiteral("Estorno de Recibo"));
    relatorios->addSeparator();
    item(relatorios, "mnurelatdizimistabairro", QStringLiteral("Dizimistas Por Bairro"));
    item(relatorios, "mnureltanaliticos", QStringLiteral("Relatórios Analíticos"))->setEnabled(false);

    QMenu* ferramentas = barra->addMenu(QStringLiteral("Ferramentas"));
    ferramentas->setObjectName(QStringLiteral("mnuferramentas"));
    item(ferramentas, "mnuconfiguracoesgerais", QStringLiteral("Configurações Gerais"));
    ferramentas->addSeparator();
    QMenu* backup = ferramentas->addMenu(QStringLiteral("Backup"));
    backup->setObjectName(QStringLiteral("mnubackup"));
    backup->menuAction()->setObjectName(QStringLiteral("mnubackup"));
    item(backup, "mnucriabackup", QStringLiteral("Criar"));
    item(backup, "mnurestaurabackup", QStringLiteral("Restaurar"));
    item(ferramentas, "mnubackupauto", QStringLiteral("Backup Automático (Pen Drive)"));

    QMenu* sobre = barra->addMenu(QStringLiteral("Sobre o Sistema"));
    sobre->setObjectName(QStringLiteral("mnusobreosistema"));
    item(sobre, "mnumanualonline", QStringLiteral("Manual Online"));
    item(sobre, "mnuversaoatual", QStringLiteral("Versão Atual"));
    item(sobre, "mnudesenvolvedor", QStringLiteral("Desenvolvedor"));

    // Windows and commands register themselves at load; look them up when needed.
    for (QMenu* m : {cadastro, relatorios, recibo, ferramentas, backup, sobre})
        connect(m, &QMenu::aboutToShow, this, &FrmPrincipal::atualizaitens);
}

void FrmPrincipal::criabarra()
{
    barraprincipal_ = new QToolBar(QStringLiteral("barraprincipal"), this);
    barraprincipal_->setObjectName(QStringLiteral("barraprincipal"));
    barraprincipal_->setMovable(false);
    barraprincipal_->setFloatable(false);
    barraprincipal_->setIconSize(QSize(48, 48));
    barraprincipal_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    barraprincipal_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, barraprincipal_);

    struct Botao {
        const char* nome;
        const char* legenda;
        QStyle::StandardPixmap icone;
    };
    const Botao botoes[] = {
        {"btncadastrodizimistas", "Cadastro de Dizimistas (F9)", QStyle::SP_FileDialogDetailedView},
        {"btndizimos", "Dízimos (F11)", QStyle::SP_DialogSaveButton},
        {"btnrecepcao", "Recepção de Fiéis", QStyle::SP_DialogYesButton},
        {"btnrelatorios", "Relatórios (F12)", QStyle::SP_FileDialogContentsView},
        {"btnsair", "Sair", QStyle::SP_DialogCloseButton},
    };
    for (const Botao& b : botoes) {
        QAction* a = barraprincipal_->addAction(style()->standardIcon(b.icone), QString::fromUtf8(b.legenda));
        a->setObjectName(QString::fromLatin1(b.nome));
        connect(a, &QAction::triggered, this, [this, a] { aciona(a->objectName()); });
    }
}

void FrmPrincipal::atualizaitens()
{
    // Only this window's own menus and toolbar: the work windows inside the MDI
    // area carry actions of their own (their "btnsalvar", "btnsair"...).
    QList<QAction*> acoes = barraprincipal_->actions();
    QList<QMenu*> menus;
    for (QAction* a : menuBar()->actions())
        if (a->menu())
            menus << a->menu();
    while (!menus.isEmpty()) {
        for (QAction* a : menus.takeFirst()->actions()) {
            if (a->menu())
                menus << a->menu();  // submenus stay available; their items are refreshed
            else
                acoes << a;
        }
    }
    for (QAction* a : acoes) {
        const QString n = a->objectName();
        if (n.startsWith(QLatin1String("mnu")) || n.startsWith(QLatin1String("btn")))
            a->setEnabled(disponivel(n));
    }
}

void FrmPrincipal::aciona(const QString& nome)
{
    if (!disponivel(nome))
        return;
    const QString item = itemDoBotao(nome);
    if (item == QLatin1String("mnusair")) {
        sairdosistema();
        return;
    }
    if (item == QLatin1String("mnuversaoatual")) {
        Dialogos::msgbox(mensagemversao(), Dialogos::Informacao, QStringLiteral("Tivane Dízimos"));
        return;
    }
    if (Comandos::executa(item))
        return;
    for (const QString& j : janelasDoItem(item)) {
        if (Janelas::registrada(j)) {
            Janelas::abre(j);
            return;
        }
    }
}

void FrmPrincipal::executatimer(QTimer* timer, const QString& comando, bool* rodando)
{
    // A tick that falls while the task yields to the event loop starts nothing.
    if (*rodando)
        return;
    if (!Comandos::registrado(comando)) {
        timer->stop();
        return;
    }
    *rodando = true;
    Comandos::executa(comando);
    *rodando = false;
}

bool FrmPrincipal::definefundo(const QString& caminho)
{
    QImage img;
    if (!caminho.trimmed().isEmpty() && arquivoexiste(caminho)) {
        QImageReader leitor(caminho);
        leitor.setAutoTransform(true);
        img = leitor.read();
    }
    if (img.isNull()) {
        area_->figura = figuraPadrao();
        area_->personalizada = false;
    } else {
        area_->figura = img;
        area_->personalizada = true;
    }
    area_->viewport()->update();
    return area_->personalizada;
}

void FrmPrincipal::limpafundo()
{
    area_->figura = QImage();
    area_->personalizada = false;
    area_->viewport()->update();
}

bool FrmPrincipal::fundopersonalizado() const
{
    return area_->personalizada;
}

QImage FrmPrincipal::fundo() const
{
    return area_->figura;
}

void FrmPrincipal::closeEvent(QCloseEvent* e)
{
    // The close box ends the program like "Sair".
    e->accept();
    sairdosistema();
}

void FrmPrincipal::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // The registry marks top-level windows as not ending the program; this one
    // must keep it alive when the login that opened it closes.
    setAttribute(Qt::WA_QuitOnClose, true);
    atualizaitens();
    // Maximized, its normal place is the one set when it was built.
    if (centrada_ || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    centrada_ = true;
    centralizanatela(this);
}

namespace {
void saidaPadrao()
{
    QCoreApplication::exit(0);
}
void (*g_saida)() = saidaPadrao;
}  // namespace

void sairdosistema()
{
    g_saida();
}

void definesaida(void (*funcao)())
{
    g_saida = funcao ? funcao : saidaPadrao;
}

QImage figurapadraofundo()
{
    return figuraPadrao();
}

QString mensagemversao()
{
    return QStringLiteral("Versão do Sistema: ") + versaosistema();
}

}  // namespace tivane
