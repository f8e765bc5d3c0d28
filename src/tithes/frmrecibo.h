#pragma once
// The receipt window: the receipt drawn at its true size, the print question,
// the five-second countdown to print or close, and the options frame; and the
// receipt's printing, issuing, reversal and second copy as the user runs them.
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

// The print command of the receipt window: checks for a printer, shows the
// printer dialog and prints unless it was cancelled. True when printed.
bool imprimeformulariorecibo(const ModeloRecibo& modelo, QWidget* pai = nullptr);
// Sends the receipt window's printing to this PDF file instead of a printer
// (empty: back to printers). For tests and for machines without a printer driver.
void defineimpressaoarquivo(const QString& arquivopdf);

// Fills and shows the receipt window for that code, in a fresh window, and
// asks whether to print. "Recibo não encontrado" and false when the code does
// not exist; a warning naming the cause and false when it could not be read.
bool emiterecibo(const QString& codigo, bool segundavia = false);
// The same without a message: what the read found, and why it failed.
Leitura mostrarecibo(const QString& codigo, bool segundavia = false);

// Replaces the payment row by its reversal row under the same code, in one
// transaction. False when no row has the code (or the read or write failed, after a warning).
bool estornarecibo(const QString& codigo);

// Main menu prompts "Estorno de Recibo" and "2* Via Recibo".
void promptestornorecibo();
void promptsegundaviarecibo();

}  // namespace tivane
