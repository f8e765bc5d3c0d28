#pragma once
// The one please-wait window of the program, shared by every long task. Whoever
// opens it takes it over; whoever closes it closes it for all. Calls made after
// it was closed do nothing.
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;

namespace tivane {

class FrmAguarde : public QWidget {
    Q_OBJECT
public:
    FrmAguarde();

    // Shows the window (creating it when needed) with this text and the bar
    // at 0 of 0-100. The caption always reads "Aguarde ..." (a long one would
    // be cut short); any other text is shown whole above the bar.
    static void abre(const QString& legenda = QStringLiteral("Aguarde ..."));
    static void fecha();
    static bool aberta();
    // The text given by the caller; empty when the window is not open.
    static QString legenda();
    // The bar's maximum (at least 1); the value is kept within the range.
    static void defineMaximo(int maximo);
    static void defineValor(int valor);
    // -1 when the window is not open.
    static int valor();
    static int maximo();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    static FrmAguarde* atual();
    void mostraLegenda(const QString& legenda);
    QString legenda_;
    QLabel* lbltitulo_;
    QLabel* lblmensagem_;
    QFrame* frame_;
    QProgressBar* barra_;
    bool centrada_ = false;
};

}  // namespace tivane
