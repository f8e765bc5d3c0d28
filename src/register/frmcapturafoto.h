#pragma once
// The photo window "frmcapturafoto": takes a tither's photo from the webcam
// or from a picture file and writes the tither's two photo files (fotos.h),
// or deletes them.
#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tivane {

class FonteVideo;

// The tithers window's "Capturar &Foto": shows the photo window for that
// tither with the photos already saved.
void abrecapturafoto(const QString& codigo, const QString& nome);

class FrmCapturaFoto : public QWidget {
    Q_OBJECT
public:
    FrmCapturaFoto();

    // Code, name and the saved photos of the tither shown.
    void carregadizimista(const QString& codigo, const QString& nome);

    void cmdwebcam();        // starts the preview
    void mostraquadro();     // preview tick: the camera's latest frame
    void cmdcapturar();      // the preview's frame becomes the photo, without asking
    void cmdarquivo();       // the photo from a picture file, asking before replacing one
    // Turns a picture file into the tither's two photo files (the code already accepted).
    void salvafotocapturada(const QString& caminho);
    void cmdexcluir();
    // Refreshes the tithers window's photo (when it still shows this tither) and closes.
    void sair();

    bool modowebcam() const { return webcam_; }

private:
    bool codigoaceito();
    bool gravaimagem(const QImage& imagem);
    void mostrafotos();
    void paracamera();

    FonteVideo* camera_ = nullptr;
    bool webcam_ = false;
    QLabel* lblcodigo_;
    QLabel* lblnome_;
    QLabel* picfoto_;
    QLabel* image2_;
    QPushButton* cmdwebcam_;
    QPushButton* cmdarquivo_;
    QPushButton* cmdparar_;
    QPushButton* cmdexcluir_;
    QGroupBox* framecaptura_;
    QPushButton* cmdcapturar_;
    QTimer* timer_;
};

}  // namespace tivane
