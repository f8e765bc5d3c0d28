#pragma once
// The webcam behind a small interface of ours: the photo window starts it,
// takes the latest frame on its own timer and stops it. Tests put a fake
// source in its place.
#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

namespace tivane {

class FonteVideo : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts the camera; false, with the cause, when there is none or it refuses.
    virtual bool inicia(QString* erro) = 0;
    virtual void para() = 0;
    // True while a real camera delivers pictures.
    virtual bool ativa() const = 0;
    // The latest frame while the camera is active; a null image otherwise.
    virtual QImage quadro() const = 0;

signals:
    // The camera stopped by itself (unplugged, taken by another program).
    void falhou(const QString& erro);
};

using FabricaFonteVideo = std::function<FonteVideo*(QObject* pai)>;
// The webcam of the machine (Qt Multimedia), or what a test installed.
FonteVideo* criafontevideo(QObject* pai);
// An empty factory puts the webcam back.
void definefabricafontevideo(FabricaFonteVideo fabrica);

}  // namespace tivane
