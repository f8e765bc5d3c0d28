#pragma once
// The receipt window: the receipt drawn at its true size, the print question,
// the five-second countdown to print or close, and the options frame.
#include "tithes/recibo.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tivane {

class FrmRecibo : public QWidget {
    Q_OBJECT
public:
    explicit FrmRecibo(QWidget* pai = nullptr);

    void defineModelo(const ModeloRecibo& modelo);
    const ModeloRecibo& modelo() const { return modelo_; }
    // "Deseja Imprimir o Recibo Atual ?": Yes counts down to print, No to close.
    void pergunta();
    // Finishes at once what the countdown would do (print or close).
    void conclui();
    bool imprimindo() const { return imprimindo_; }

public slots:
    void imprime();   // "Imprimir"
    void sair();      // "Sair"

private:
    void tique(bool paraimprimir);

    ModeloRecibo modelo_;
    QWidget* area_ = nullptr;
    QGroupBox* opcoes_ = nullptr;
    QLabel* tempo_ = nullptr;
    QTimer* temposair_ = nullptr;
    QTimer* tempoimprimir_ = nullptr;
    bool imprimindo_ = false;
};

}  // namespace tivane
