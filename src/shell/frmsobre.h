#pragma once
// "Sobre o Tivane Dízimos": the product's name and version and the maker's
// contact links. A click on the frame closes it.
#include <QWidget>

class QLabel;

namespace tivane {

class FrmSobre : public QWidget {
    Q_OBJECT
public:
    FrmSobre();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QLabel* link(const QString& nome, const QString& texto, const QString& destino);
};

// The links the about window's labels open.
QString linksite();
QString linkemail();     // "mailto:" and the address
QString linkchamada();   // "callto://" and the chat handle
// The online manual ("Manual Online").
QString linkmanual();

}  // namespace tivane
