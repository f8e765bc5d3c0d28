#include "core/janelas.h"

#include <QEvent>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QToolBar>
#include <QVector>

#include <algorithm>

namespace tivane {
namespace Janelas {

namespace {
struct Entrada {
    Fabrica fabrica;
    int tipo = Mdi;
    QPointer<QWidget> janela;
};
QHash<QString, Entrada>& tabela()
{
    static QHash<QString, Entrada> t;
    return t;
}
QPointer<QMdiArea>& area()
{
    static QPointer<QMdiArea> a;
    return a;
}
QHash<QString, int>& ordensFechamento()
{
    static QHash<QString, int> o;
    return o;
}
QWidget* subjanela(QWidget* w)
{
    return qobject_cast<QMdiSubWindow*>(w->parentWidget());
}
}  // namespace

void registra(const QString& nome, Fabrica fabrica, int tipo)
{
    Entrada& e = tabela()[nome];
    e.fabrica = std::move(fabrica);
    e.tipo = tipo;
}

bool registrada(const QString& nome)
{
    return tabela().contains(nome);
}

void registrafechamento(const QString& nome, int ordem)
{
    ordensFechamento().insert(nome, ordem);
}

QWidget* instancia(const QString& nome)
{
    auto it = tabela().find(nome);
    if (it == tabela().end() || !it->janela)
        return nullptr;
    // Closing clears WA_DeleteOnClose before the deferred deletion: a window
    // already closed and waiting for deletion counts as unloaded.
    if (!it->janela->testAttribute(Qt::WA_DeleteOnClose))
        return nullptr;
    return it->janela;
}

bool aberta(const QWidget* janela)
{
    if (!janela)
        return false;
    for (auto it = tabela().cbegin(); it != tabela().cend(); ++it)
        if (it->janela == janela)
            return janela->testAttribute(Qt::WA_DeleteOnClose);
    return true;
}

QWidget* carrega(const QString& nome)
{
    if (QWidget* w = instancia(nome))
        return w;
    auto it = tabela().find(nome);
    if (it == tabela().end())
        return nullptr;
    QWidget* w = it->fabrica();
    if (!w)
        return nullptr;
    if (w->objectName().isEmpty())
        w->setObjectName(nome);
    w->setAttribute(Qt::WA_DeleteOnClose);
    it->janela = w;
    if ((it->tipo & Mdi) && area()) {
        QMdiSubWindow* sub = area()->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(w->windowTitle());
        QObject::connect(w, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
        // Closing the inner widget must take its frame along.
        QObject::connect(w, &QObject::destroyed, sub, [sub = QPointer<QMdiSubWindow>(sub)] {
            if (sub)
                sub->close();
        });
    } else if (it->tipo & (Independente | Maximizada)) {
        w->setAttribute(Qt::WA_QuitOnClose, false);
    }
    return w;
}

QWidget* abre(const QString& nome)
{
    QWidget* w = carrega(nome);
    if (!w)
        return nullptr;
    const int tipo = tabela().value(nome).tipo;
    if (QWidget* sub = subjanela(w)) {
        sub->showMaximized();
        w->show();
        if (area())
            area()->setActiveSubWindow(static_cast<QMdiSubWindow*>(sub));
    } else if (tipo & Maximizada) {
        w->showMaximized();
    } else {
        w->show();
    }
    w->raise();
    w->activateWindow();
    return w;
}

void fecha(const QString& nome)
{
    QWidget* w = instancia(nome);
    if (!w)
        return;
    if (QWidget* sub = subjanela(w))
        sub->close();
    else
        w->close();
}

void defineAreaMdi(QMdiArea* a)
{
    area() = a;
}

QMdiArea* areaMdi()
{
    return area();
}

}  // namespace Janelas

namespace Comandos {
namespace {
QHash<QString, std::function<void()>>& acoes()
{
    static QHash<QString, std::function<void()>> a;
    return a;
}
}  // namespace

void registra(const QString& nome, std::function<void()> acao)
{
    acoes()[nome] = std::move(acao);
}

bool registrado(const QString& nome)
{
    return acoes().contains(nome);
}

bool executa(const QString& nome)
{
    auto it = acoes().find(nome);
    if (it == acoes().end())
        return false;
    const auto acao = *it;
    acao();
    return true;
}

}  // namespace Comandos

namespace {
struct Principal {
    QPointer<QWidget> janela;
    QPointer<QToolBar> barra;
};
Principal& principal()
{
    static Principal p;
    return p;
}

struct AoFechar {
    QPointer<QObject> dono;
    std::function<void()> acao;
};
QVector<AoFechar>& aoFechar()
{
    static QVector<AoFechar> a;
    return a;
}
}  // namespace

void definejanelaprincipal(QWidget* janela, QToolBar* barra)
{
    principal() = {janela, barra};
}

QWidget* janelaprincipal()
{
    QWidget* p = principal().janela;
    return Janelas::aberta(p) ? p : nullptr;
}

QToolBar* barraprincipal()
{
    return janelaprincipal() ? principal().barra.data() : nullptr;
}

void mostrabarraprincipal(bool visivel)
{
    if (QToolBar* b = barraprincipal())
        b->setVisible(visivel);
}

namespace {
constexpr Qt::WindowStates ESTADOS = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// Watches a window just shown again for a while: when it loses its maximized
// or full-screen state without being minimized, puts the state back once.
class VigiaEstado : public QObject {
public:
    VigiaEstado(QWidget* janela, Qt::WindowStates estado)
        : QObject(janela)
        , janela_(janela)
        , estado_(estado)
    {
        janela->installEventFilter(this);
        QTimer::singleShot(3000, this, &QObject::deleteLater);
    }

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::WindowStateChange || restaurado_)
            return false;
        const Qt::WindowStates agora = janela_->windowState();
        if (!(agora & Qt::WindowMinimized) && (agora & estado_) != estado_) {
            restaurado_ = true;
            QTimer::singleShot(0, janela_, [j = janela_, e = estado_] { j->setWindowState((j->windowState() & ~ESTADOS) | e); });
        }
        return false;
    }

private:
    QWidget* janela_;
    Qt::WindowStates estado_;
    bool restaurado_ = false;
};
}  // namespace

JanelaOculta::JanelaOculta(QWidget* janela)
    : janela_(janela)
{
    if (!janela_)
        return;
    estado_ = janela_->windowState() & ESTADOS;
    geometria_ = janela_->geometry();
    janela_->hide();
}

JanelaOculta::~JanelaOculta()
{
    if (!janela_)
        return;
    janela_->setWindowState((janela_->windowState() & ~ESTADOS) | estado_);
    if (!estado_ && janela_->geometry() != geometria_)
        janela_->setGeometry(geometria_);
    janela_->show();
    if (estado_ & (Qt::WindowMaximized | Qt::WindowFullScreen))
        new VigiaEstado(janela_, estado_ & (Qt::WindowMaximized | Qt::WindowFullScreen));
}

void aofecharjanelas(QObject* dono, std::function<void()> acao)
{
    if (dono && acao)
        aoFechar().append({dono, std::move(acao)});
}

void fechajanelas()
{
    mostrabarraprincipal(true);
    QVector<QPair<int, QString>> janelas;
    for (auto it = Janelas::ordensFechamento().cbegin(); it != Janelas::ordensFechamento().cend(); ++it)
        janelas.append({it.value(), it.key()});
    std::sort(janelas.begin(), janelas.end());
    // Janelas::fecha defers the deletion, so the caller's own window survives
    // until its handler has returned.
    for (const auto& j : janelas)
        Janelas::fecha(j.second);
    auto& acoes = aoFechar();
    acoes.erase(std::remove_if(acoes.begin(), acoes.end(), [](const AoFechar& a) { return !a.dono; }), acoes.end());
    for (const AoFechar& a : QVector<AoFechar>(acoes))
        if (a.dono)
            a.acao();
    // Closing one of them activates the next MDI child, and the payments and
    // reports windows hide the toolbar when activated: show it again.
    mostrabarraprincipal(true);
}

}  // namespace tivane
