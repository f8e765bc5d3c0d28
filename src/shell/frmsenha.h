#pragma once
// The login window: the program's first window.
#include "core/colorgradiente.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QLabel;
class QTimer;
class QTreeWidget;

namespace tivane {

class FrmSenha : public QDialog {
    Q_OBJECT
public:
    explicit FrmSenha(QWidget* parent = nullptr);
    // Creates the login; with option "04" it logs in at once and is never shown.
    static FrmSenha* inicia();

    void carregausuarioslogin();
    bool entrarnosistema();
    bool logou() const { return logou_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QComboBox* combousuarios_;
    QLineEdit* txtsenha_;
    QPushButton* cmdentrar_;
    QPushButton* cmdsair_;
    QLabel* lblinstrucao_;
    QTimer* timerinstrucao_;
    QTreeWidget* listausuarios_;
    bool logou_ = false;
    // Title colour cycle: two timers that nothing starts.
    ColorGradiente gradiente_;
    QTimer* tempocor_;
    QTimer* tempocor2_;
    int contadorcor_ = 0;
    int contadorcor2_ = 0;
};

}  // namespace tivane
