#include "register/camera.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>
#include <utility>

namespace tivane {

namespace {

// Qt Multimedia's camera. A frame's buffer belongs to the camera and may be
// gone once the camera is unplugged, so each frame is turned into a picture
// while it is being delivered and never kept. With no camera GStreamer still
// sends test-pattern frames into the sink, so a frame counts only while the
// camera itself is active.
class CameraQt : public FonteVideo {
public:
    explicit CameraQt(QObject* pai) : FonteVideo(pai)
    {
        connect(&sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& quadro) {
            // The preview shows five a second; converting every frame of a 30 fps camera is waste.
            if (!ativa() || !quadro.isValid() || (convertido_.isValid() && convertido_.elapsed() < 100))
                return;
            const QImage imagem = quadro.toImage();
            if (imagem.isNull())
                return;
            convertido_.start();
            recebeu(imagem);
        });
    }
    ~CameraQt() override { para(); }

    bool inicia(QString* erro) override
    {
        para();
        const QCameraDevice dispositivo = QMediaDevices::defaultVideoInput();
        if (dispositivo.isNull()) {
            if (erro)
                *erro = QStringLiteral("nenhuma câmera encontrada");
            return false;
        }
        camera_ = new QCamera(dispositivo, this);
        connect(camera_, &QCamera::errorOccurred, this, [this](QCamera::Error codigo, const QString& texto) {
            if (codigo == QCamera::NoError)
                return;
            parou();
            emit falhou(texto);
        });
        sessao_.setCamera(camera_);
        sessao_.setVideoSink(&sink_);
        camera_->start();
        if (camera_->error() != QCamera::NoError) {
            if (erro)
                *erro = camera_->errorString();
            para();
            return false;
        }
        convertido_.invalidate();
        comecou();
        return true;
    }

    void para() override
    {
        parou();
        if (!camera_)
            return;
        // Called from the camera's own error signal too (through falhou): the
        // camera goes once that returns, or with us, its parent.
        QCamera* camera = std::exchange(camera_, nullptr);
        camera->disconnect(this);
        camera->stop();
        sessao_.setCamera(nullptr);
        camera->deleteLater();
    }

    bool ativa() const override { return camera_ && camera_->isActive(); }

private:
    QMediaCaptureSession sessao_;
    QVideoSink sink_;
    QCamera* camera_ = nullptr;   // a child: see para()
    QElapsedTimer convertido_;
};

FabricaFonteVideo& fabrica()
{
    static FabricaFonteVideo f;
    return f;
}

}  // namespace

FonteVideo::FonteVideo(QObject* pai) : QObject(pai)
{
    vigia_.setInterval(250);
    connect(&vigia_, &QTimer::timeout, this, &FonteVideo::vigia);
}

QImage FonteVideo::quadro() const
{
    if (!ativa() || ultimo_.isNull() || desde_.elapsed() > espera_ / 4)
        return QImage();
    return ultimo_;
}

void FonteVideo::comecou()
{
    ultimo_ = QImage();
    desde_.start();
    vigia_.start();
}

void FonteVideo::recebeu(const QImage& quadro)
{
    ultimo_ = quadro;
    desde_.start();
}

void FonteVideo::parou()
{
    vigia_.stop();
    ultimo_ = QImage();
}

// An unplugged camera may stay "active" without a word: silence is the only sign.
void FonteVideo::vigia()
{
    if (desde_.elapsed() <= espera_)
        return;
    parou();
    emit falhou(QStringLiteral("ela parou de enviar imagens"));
}

FonteVideo* criafontevideo(QObject* pai)
{
    if (fabrica())
        return fabrica()(pai);
    return new CameraQt(pai);
}

void definefabricafontevideo(FabricaFonteVideo f)
{
    fabrica() = std::move(f);
}

}  // namespace tivane
