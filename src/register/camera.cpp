#include "register/camera.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPointer>
#include <QVideoFrame>
#include <QVideoSink>

namespace tivane {

namespace {

// Qt Multimedia's camera. The video sink keeps the latest frame; with no
// camera GStreamer still sends test-pattern frames into the sink, so a frame
// counts only while the camera itself is active.
class CameraQt : public FonteVideo {
public:
    explicit CameraQt(QObject* pai) : FonteVideo(pai)
    {
        connect(&sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& quadro) {
            if (ativa())
                ultimo_ = quadro;
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
        connect(camera_.data(), &QCamera::errorOccurred, this, [this](QCamera::Error codigo, const QString& texto) {
            if (codigo == QCamera::NoError)
                return;
            ultimo_ = QVideoFrame();
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
        return true;
    }

    void para() override
    {
        ultimo_ = QVideoFrame();
        if (!camera_)
            return;
        camera_->stop();
        sessao_.setCamera(nullptr);
        delete camera_.data();
    }

    bool ativa() const override { return camera_ && camera_->isActive(); }

    QImage quadro() const override
    {
        if (!ativa() || !ultimo_.isValid())
            return QImage();
        return ultimo_.toImage();
    }

private:
    QMediaCaptureSession sessao_;
    QVideoSink sink_;
    QPointer<QCamera> camera_;
    QVideoFrame ultimo_;
};

FabricaFonteVideo& fabrica()
{
    static FabricaFonteVideo f;
    return f;
}

}  // namespace

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
