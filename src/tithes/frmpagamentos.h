#pragma once
// "Recebimento de Dízimos": the tither's code and name, the amount, the
// reference month and year, and "RECEBER", which records the tithe and issues
// its receipt.
#include <QWidget>

class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tivane {

// Months "01" to "12" with the current month shown.
void preenchecombomes(QWidget* janela);
// Years 2015 to the current year plus 5 with the current year shown.
void preenchecomboano(QWidget* janela);

class FrmPagamentos : public QWidget {
    Q_OBJECT
public:
    FrmPagamentos();

    // The handlers, callable from tests and other windows.
    void procurar();
    void receber();
    void sair();
    // Looks the typed code up and shows the tither's name.
    void atualizadizimista();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    bool event(QEvent* e) override;

private:
    void definepadrao(QPushButton* botao);
    void formatacaixavalor();

    QGroupBox* frame_;
    QLineEdit* codigo_;
    QLineEdit* nome_;
    QLineEdit* valor_;
    QFrame* referencia_;
    QComboBox* mes_;
    QComboBox* ano_;
    QPushButton* procurar_;
    QPushButton* receber_;
    QPushButton* sair_;
    QPushButton* padrao_ = nullptr;
};

}  // namespace tivane
