#include "core/teclas.h"

#include "core/janelas.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

namespace tivane {

namespace {

QString& ativa()
{
    static QString nome;
    return nome;
}

QHash<QString, AcoesRegistro>& acoes()
{
    static QHash<QString, AcoesRegistro> a;
    return a;
}

// The open register window named by janelaativa, with its actions.
QWidget* janelaRegistro(AcoesRegistro* a)
{
    const QString nome = ativa();
    auto it = acoes().constFind(nome);
    if (nome.isEmpty() || it == acoes().constEnd())
        return nullptr;
    QWidget* w = Janelas::instancia(nome);
    if (w && a)
        *a = *it;
    return w;
}

// Names the window in janelaativa whenever it or its MDI frame is activated.
class Ativacao : public QObject {
public:
    Ativacao(QWidget* janela, const QString& nome) : QObject(janela), nome_(nome) {}

    bool eventFilter(QObject* o, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::WindowActivate:
            definejanelaativa(nome_);
            break;
        case QEvent::Show:
        case QEvent::ParentChange:
            ligaMoldura(static_cast<QWidget*>(o));
            break;
        default:
            break;
        }
        return false;
    }

private:
    void ligaMoldura(QWidget* janela)
    {
        auto* sub = qobject_cast<QMdiSubWindow*>(janela->parentWidget());
        if (!sub || sub == moldura_)
            return;
        moldura_ = sub;
        const QString nome = nome_;
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [nome](Qt::WindowStates antes, Qt::WindowStates agora) {
                    if ((agora & Qt::WindowActive) && !(antes & Qt::WindowActive))
                        definejanelaativa(nome);
                });
        if (sub->windowState() & Qt::WindowActive)
            definejanelaativa(nome);
    }

    QString nome_;
    QPointer<QMdiSubWindow> moldura_;
};

// A menu closed with Esc (or Alt alone) leaves the focus on the menu bar, for
// the arrow keys; the register window's keys would not reach it then. A key F1
// to F8 on the menu bar goes to the register window active below it, and the
// focus goes back into that window.
class TeclasNaBarraDeMenus : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* barra = qobject_cast<QMenuBar*>(o);
        const auto* k = static_cast<QKeyEvent*>(e);
        if (!barra || k->key() < Qt::Key_F1 || k->key() > Qt::Key_F8 || (k->modifiers() & ~Qt::KeypadModifier)
            || QApplication::activePopupWidget())
            return false;
        QMdiArea* area = Janelas::areaMdi();
        QMdiSubWindow* sub = area ? area->activeSubWindow() : nullptr;
        QWidget* janela = sub ? sub->widget() : nullptr;
        if (!janela || barra->window() != area->window() || !acoes().contains(janela->objectName())
            || Janelas::instancia(janela->objectName()) != janela)
            return false;
        QWidget* foco = janela->focusWidget();
        (foco ? foco : janela)->setFocus(Qt::OtherFocusReason);
        definejanelaativa(janela->objectName());
        teclasdeatalho(112 + (k->key() - Qt::Key_F1));
        return true;
    }
};

}  // namespace

QString janelaativa()
{
    return ativa();
}

void definejanelaativa(const QString& nome)
{
    ativa() = nome;
}

void registraacoesregistro(const QString& nome, AcoesRegistro a)
{
    acoes().insert(nome, std::move(a));
}

void fecharjanelaativa()
{
    if (janelaRegistro(nullptr))
        Janelas::fecha(ativa());
}

namespace {
// Runs one record routine of the active register window, when it has one.
void aciona(std::function<void(QWidget*)> AcoesRegistro::*acao)
{
    AcoesRegistro a;
    if (QWidget* w = janelaRegistro(&a); w && a.*acao)
        (a.*acao)(w);
}
}  // namespace

void anteriorjanelaativa()
{
    aciona(&AcoesRegistro::anterior);
}

void proximojanelaativa()
{
    aciona(&AcoesRegistro::proximo);
}

void localizarjanelaativa()
{
    aciona(&AcoesRegistro::localizar);
}

void salvarjanelaativa()
{
    aciona(&AcoesRegistro::salvar);
}

void excluirjanelaativa()
{
    aciona(&AcoesRegistro::excluir);
}

void modificarjanelaativa()
{
    aciona(&AcoesRegistro::modificar);
}

void teclasdeatalho(int codigotecla)
{
    switch (codigotecla) {
    case 112: fecharjanelaativa(); break;
    case 113: anteriorjanelaativa(); break;
    case 114: proximojanelaativa(); break;
    case 115: localizarjanelaativa(); break;
    case 116: salvarjanelaativa(); break;
    case 117: excluirjanelaativa(); break;
    case 118: modificarjanelaativa(); break;
    case 119: fechajanelas(); break;
    default: break;
    }
}

void instalateclasdeatalho(QWidget* janela, const QString& nome)
{
    if (!janela)
        return;
    janela->installEventFilter(new Ativacao(janela, nome));
    static QPointer<TeclasNaBarraDeMenus> barra;
    if (!barra && qApp) {
        barra = new TeclasNaBarraDeMenus(qApp);
        qApp->installEventFilter(barra);
    }
    // Window-wide shortcuts: inside an MDI area two children with the same
    // key would make it ambiguous, so each belongs to its own window.
    for (int i = 0; i < 8; ++i) {
        auto* atalho = new QShortcut(QKeySequence(Qt::Key_F1 + i), janela);
        atalho->setContext(Qt::WidgetWithChildrenShortcut);
        const int codigo = 112 + i;
        QObject::connect(atalho, &QShortcut::activated, janela, [nome, codigo] {
            // A key reaches only the window that has the focus: it is the active one.
            definejanelaativa(nome);
            teclasdeatalho(codigo);
        });
    }
}

}  // namespace tivane
