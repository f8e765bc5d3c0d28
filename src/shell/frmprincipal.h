#pragma once
// The main window: MDI parent with the menus, the main toolbar, the background
// picture and the two timers of the start-up sweep and the automatic backup.
#include <QImage>
#include <QMainWindow>
#include <QString>

#include "core/janelas.h"

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

namespace tivane {

class AreaPrincipal;

class FrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    FrmPrincipal();
    ~FrmPrincipal() override;

    // The open main window, or null.
    static FrmPrincipal* atual();

    QMdiArea* area() const;
    QToolBar* barraprincipal() const { return barraprincipal_; }
    QTimer* tempobloqueia() const { return tempobloqueia_; }
    QTimer* temporefresh() const { return temporefresh_; }
    QComboBox* drives() const { return drives_; }
    QLabel* lblnumdrives() const { return lblnumdrives_; }

    // Shows the picture of that file as background; an empty path, a missing
    // or empty file, or one that is not a picture keeps the built-in picture.
    // True when the file's picture is now shown.
    bool definefundo(const QString& caminho);
    // No picture at all, only the workspace colour ("Excluir Fundo").
    void limpafundo();
    bool fundopersonalizado() const;
    QImage fundo() const;

    // Enables each menu item and toolbar button whose window or command exists.
    void atualizaitens();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QAction* item(QMenu* menu, const char* nome, const QString& legenda, const QKeySequence& tecla = {});
    void aciona(const QString& nome);
    void criamenus();
    void criabarra();
    void executatimer(QTimer* timer, const QString& comando, bool* rodando);

    AreaPrincipal* area_;
    QToolBar* barraprincipal_;
    QTimer* tempobloqueia_;
    QTimer* temporefresh_;
    QComboBox* drives_;
    QLabel* lblnumdrives_;
    bool varrendo_ = false;
    bool atualizandoBackup_ = false;
    bool centrada_ = false;
};

// Ends the program at once, without questions ("Sair"): leaves the event loop,
// so no window's closing code runs.
void sairdosistema();
// Tests replace the way out so the process lives on; null restores it.
void definesaida(void (*funcao)());

// The built-in background picture.
QImage figurapadraofundo();

// "Versão do Sistema: " and the program's version (major.minor.revision).
QString mensagemversao();

}  // namespace tivane
