#pragma once
// The reception window "frmrecepcao": a badge's bar code is read into a box
// (a USB reader types it and Enter) and the tither is looked up by it.
#include <QString>
#include <QWidget>

#include "core/conexao.h"

class QLabel;
class QLineEdit;

namespace tivane {

class FrmRecepcao : public QWidget {
    Q_OBJECT
public:
    FrmRecepcao();

    // Looks the bar code up; on a match codigo becomes the tither's code.
    // The box is emptied for the next badge, except when the database could
    // not be read (the badge can then be tried again).
    Leitura marcaquardacodigodebarras(QString& codigo);

private:
    QLabel* lblstatus_;
    QLineEdit* txtcodigodebarras_;
};

}  // namespace tivane
