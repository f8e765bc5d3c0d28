#pragma once
// The webcam behind a small interface of ours: the photo window starts it,
// takes the latest frame on its own timer and stops it. Tests put a fake
// source in its place.
#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>

class QVideoSink;

namespace tivane {

class FonteVideo : public QObject {
    Q_OBJECT
public:
    explicit FonteVideo(QObject* pai = nullptr);
    // Starts the camera without waiting for it; false, with the cause, when
    // there is none to start. A camera that then sends nothing is reported
    // through falhou() after espera().
    virtual bool inicia(QString* erro) = 0;
    virtual void para() = 0;
    // True while a real camera delivers pictures.
    virtual bool ativa() const = 0;

    // The latest frame while the camera is active and still sending; a null
    // image when the last one is older than a quarter of espera() (a second),
    // so no old picture is ever taken for the current one.
    QImage quadro() const;

    // How long the camera may go without a frame before it counts as lost.
    int espera() const { return espera_; }
    void defineespera(int ms) { espera_ = ms; }

signals:
    // The camera stopped by itself (unplugged, taken by another program, or
    // silent for longer than espera()).
    void falhou(const QString& erro);

protected:
    // Implementations call these: when the camera starts, with each frame
    // already turned into a picture, and when it stops.
    void comecou();
    void recebeu(const QImage& quadro);
    void parou();

private:
    void vigia();

    QImage ultimo_;
    QElapsedTimer desde_;   // since the last frame, or the start when none came yet
    QTimer vigia_;
    bool recebeualgum_ = false;
    int espera_ = 4000;
};

using FabricaFonteVideo = std::function<FonteVideo*(QObject* pai)>;
// The webcam of the machine (Qt Multimedia), or what a test installed.
FonteVideo* criafontevideo(QObject* pai);
// An empty factory puts the webcam back.
void definefabricafontevideo(FabricaFonteVideo fabrica);

// Which of the cameras listed (their ids, the default first) to start: the
// first not known to be gone. One named by a device file that no longer
// exists is left out; one that already failed to send pictures goes after
// the others, so a camera plugged in again under a new name is taken first.
// Empty when none is left.
QByteArray escolhecamera(const QList<QByteArray>& listadas, const QSet<QByteArray>& falharam);

// The machine's camera with no device behind it, for tests: its video sink,
// made in the camera's own thread, is handed to pronto in that thread and
// takes the frames set on it as from a camera that is on. A pronto that
// takes long stands for a device that is slow to start.
FonteVideo* criacamerasemdispositivo(QObject* pai, std::function<void(QVideoSink*)> pronto);

}  // namespace tivane
