#pragma once
// One instance of each window, created on first use and deleted (later) when
// closed. Windows register a factory under their name; menu items and other
// windows reach them only through this registry.
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
// The open instance, or null.
QWidget* instancia(const QString& nome);
template <typename T> T* instancia(const QString& nome) { return qobject_cast<T*>(instancia(nome)); }
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

// The main window "frmprincipal" as the work windows see it: they reach it
// through the registry, so they do not depend on it.
QWidget* janelaprincipal();
// The main toolbar, or null when the main window is not open. Work windows hide
// it when they open; their exits and fechajanelas show it again.
QToolBar* barraprincipal();
void mostrabarraprincipal(bool visivel);
// Shows the main toolbar, closes the tithers, reports, church, settings,
// payments and backup windows and the please-wait window, and stops the
// automatic-backup timer. Safe from inside the windows it closes.
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

struct RegistroJanela {
    RegistroJanela(const char* nome, Janelas::Fabrica fabrica, int tipo) { Janelas::registra(nome, std::move(fabrica), tipo); }
};
struct RegistroComando {
    RegistroComando(const char* nome, std::function<void()> acao) { Comandos::registra(nome, std::move(acao)); }
};

}  // namespace tivane
