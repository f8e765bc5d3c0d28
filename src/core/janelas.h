#pragma once
// One instance of each window, created on first use and deleted (later) when
// closed. Windows register a factory under their name; menu items and other
// windows reach them only through this registry. Windows of an upper folder
// register themselves here, so nothing below names them.
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QMdiArea;
class QToolBar;

namespace tivane {

namespace Janelas {

enum Tipo {
    Mdi = 1,          // MDI child of the main window, shown maximized
    Independente = 2, // top-level window
    Maximizada = 4,   // top-level shown maximized
};

using Fabrica = std::function<QWidget*()>;

void registra(const QString& nome, Fabrica fabrica, int tipo);
bool registrada(const QString& nome);
// fechajanelas closes the windows given a place in its order, lowest first.
// Registering the window again (a stand-in) keeps its place.
void registrafechamento(const QString& nome, int ordem);
// The open instance, or null.
QWidget* instancia(const QString& nome);
template <typename T> T* instancia(const QString& nome) { return qobject_cast<T*>(instancia(nome)); }
// The window lives and, when the registry made it, has not been closed (a
// closed one waits for its deferred deletion).
bool aberta(const QWidget* janela);
// Creates the window when needed, shows it and brings it forward.
QWidget* abre(const QString& nome);
// Creates the window when needed without showing it.
QWidget* carrega(const QString& nome);
// Closes the window (deferred deletion); safe from inside its own handlers.
void fecha(const QString& nome);
void defineAreaMdi(QMdiArea* area);
QMdiArea* areaMdi();

}  // namespace Janelas

// Named commands of the main window's menus that do more than open a window.
namespace Comandos {
void registra(const QString& nome, std::function<void()> acao);
bool registrado(const QString& nome);
bool executa(const QString& nome);
}  // namespace Comandos

// The main window hands itself and its toolbar over when it is built; the work
// windows reach them here, so they do not depend on it.
void definejanelaprincipal(QWidget* janela, QToolBar* barra);
// The main window, or null when none is open.
QWidget* janelaprincipal();
// The main toolbar, or null when the main window is not open. Work windows hide
// it when they open; their exits and fechajanelas show it again.
QToolBar* barraprincipal();
void mostrabarraprincipal(bool visivel);
// What fechajanelas does besides closing windows, while dono lives (the main
// window stops its automatic-backup timer).
void aofecharjanelas(QObject* dono, std::function<void()> acao);
// Shows the main toolbar, closes the windows registered for it in their order,
// then runs what was handed over with aofecharjanelas. Safe from inside the
// windows it closes.
void fechajanelas();

// Hides a top-level window while it lives, then shows it again as it was:
// maximized, minimized or in its place. Some window managers forget a hidden
// window's maximized state, or drop it when the window comes back before they
// have seen it go; a loss right after showing is undone.
class JanelaOculta {
public:
    explicit JanelaOculta(QWidget* janela);
    ~JanelaOculta();
    JanelaOculta(const JanelaOculta&) = delete;
    JanelaOculta& operator=(const JanelaOculta&) = delete;

private:
    QPointer<QWidget> janela_;
    Qt::WindowStates estado_;
    QRect geometria_;
};

// ordemfechamento: the window's place among those that fechajanelas closes; 0, none.
struct RegistroJanela {
    RegistroJanela(const char* nome, Janelas::Fabrica fabrica, int tipo, int ordemfechamento = 0)
    {
        Janelas::registra(nome, std::move(fabrica), tipo);
        if (ordemfechamento > 0)
            Janelas::registrafechamento(nome, ordemfechamento);
    }
};
struct RegistroComando {
    RegistroComando(const char* nome, std::function<void()> acao) { Comandos::registra(nome, std::move(acao)); }
};

}  // namespace tivane
