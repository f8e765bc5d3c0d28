#pragma once
// The fingerprint enrolment window "frmcapturaimpressao": the user picks a
// finger on a picture of two hands, the reader captures it, a template is
// extracted and stored under the tither's code. The device sits behind
// LeitorImpressao; nothing here waits on it.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "register/leitorimpressao.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tivane {

// Failed extractions in a row before a capture gives up.
constexpr int TENTATIVAS_EXTRACAO = 3;

class FrmCapturaImpressao : public QWidget {
    Q_OBJECT
public:
    FrmCapturaImpressao();
    ~FrmCapturaImpressao() override;

    void framespadraocapturaimpressao();
    // "&Sair" and the close box: shuts the reader down (once), hands the code
    // back to the tithers window when it is the active register window, closes.
    void sair();
    void finalizasensorsuprema();
    // Captures until a template comes out, a capture fails or the attempts run
    // out; fim gets whether a template is in hand.
    void ExtractTemplateSuprema(std::function<void(bool)> fim);
    // Start-up; the store is "caminhoimpressao" / prefix "supremabd.mdb".
    void inicializaleitorsuprema(const QString& prefixo);
    void selecionadedo();
    void capturaimpressaosuprema();
    // Mouse over a finger of the hands picture, and a click on it.
    void apontadedo(int indice);
    void escolhededo(int indice);

    int tipoleitor() const { return tipoleitor_; }
    QByteArray modelo() const { return modelo_; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void status(const QString& texto);
    void encerra();
    void capturaetapa(int execucao, std::function<void(bool)> fim);
    void interrompecaptura();

    std::unique_ptr<LeitorImpressao> leitor_;
    int tipoleitor_ = 0;       // 1: a reader answered; 0: no reader actions
    bool ligado_ = false;      // the reader was opened and not yet shut down
    bool iniciado_ = false;
    bool saiu_ = false;
    int execucao_ = 0;         // the capture in progress; older answers are dropped
    int tentativas_ = 0;
    QByteArray modelo_;

    QGroupBox* frameprincipal_;
    QFrame* framenomecodigo_;
    QFrame* framestatus_;
    QFrame* framecomandos_;
    QFrame* framesuprema_;
    QGroupBox* frameselecionadedo_;
    QLabel* lblcodigo_;
    QLabel* lblnome_;
    QLabel* lblstatus_;
    QPushButton* cmdcapturar_;
    QPushButton* cmdsair_;
    QLabel* pbimageframe_;
    QTimer* temposuprema_;
    QWidget* picture1_;
    QLabel* imgseta_;
    QLabel* lblrecomendado_;
    QLineEdit* txtqualdedo_;
};

}  // namespace tivane
