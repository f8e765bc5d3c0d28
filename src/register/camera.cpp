#include "register/camera.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QDeadlineTimer>
#include <QMutex>
#include <QWaitCondition>
#include <QVideoFrame>
#include <QVideoSink>
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>

namespace tivane {

namespace {

// What a camera's thread shares with the window's side. The thread keeps it
// until it ends; the window's side lets go of it at once when it stops.
struct Canal {
    explicit Canal(quint64 g) : geracao(g) {}
    const quint64 geracao;
    QMutex trava;
    QObject* receptor = nullptr;   // the window's side, until it lets go
    QEventLoop* laco = nullptr;    // the thread's loop while it runs
    bool encerrar = false;
    std::atomic<bool> ligada{false};   // frames count only while the camera is on
};

// Tells a camera's thread to stop the camera and end, without waiting for it.
void encerra(Canal& canal)
{
    QMutexLocker t(&canal.trava);
    canal.receptor = nullptr;
    canal.encerrar = true;
    if (canal.laco)
        QMetaObject::invokeMethod(canal.laco, "quit", Qt::QueuedConnection);
}

// The camera threads still running. When the program ends they are told to
// stop, and given a moment to release their cameras before the libraries
// they use go away; one held by a camera that is gone is not waited for.
class Vivas;
Vivas& vivas();

class Vivas {
public:
    void entra(const std::shared_ptr<Canal>& canal)
    {
        QMutexLocker t(&trava_);
        canais_.append(canal);
        static const bool registrado = (qAddPostRoutine([] { vivas().encerratodas(); }), true);
        Q_UNUSED(registrado);
    }
    void sai(const std::shared_ptr<Canal>& canal)
    {
        QMutexLocker t(&trava_);
        canais_.removeOne(canal);
        fim_.wakeAll();
    }
    void encerratodas()
    {
        QMutexLocker t(&trava_);
        for (const std::shared_ptr<Canal>& canal : std::as_const(canais_))
            encerra(*canal);
        QDeadlineTimer prazo(2000);
        while (!canais_.isEmpty() && fim_.wait(&trava_, prazo)) {
        }
    }

private:
    QMutex trava_;
    QWaitCondition fim_;
    QList<std::shared_ptr<Canal>> canais_;
};

Vivas& vivas()
{
    static Vivas* v = new Vivas;   // never destroyed: a thread held by a camera that is gone may outlive the program's end
    return *v;
}

// Ids of the cameras that failed to send pictures in this run of the program.
QSet<QByteArray>& falharam()
{
    static QSet<QByteArray> ids;
    return ids;
}

// Qt Multimedia's camera. Starting a camera that is still listed but gone
// (unplugged, its PipeWire node ended) blocks the calling thread about 30 s,
// so each start runs in a thread of its own with its own event loop, where
// the camera, its session and its sink live; the window's side never waits
// for it, not even to stop it. A frame's buffer belongs to the camera and may
// be gone once the camera is unplugged, so each frame is turned into a
// picture while it is being delivered and never kept. With no camera
// GStreamer still sends test-pattern frames into the sink, so a frame counts
// only while the camera itself is on.
class CameraQt : public FonteVideo {
public:
    CameraQt(QObject* pai, std::function<void(QVideoSink*)> semdispositivo)
        : FonteVideo(pai), semdispositivo_(std::move(semdispositivo))
    {
        connect(this, &FonteVideo::falhou, this, [this] {
            if (!dispositivo_.isEmpty())
                falharam().insert(dispositivo_);
        });
    }
    ~CameraQt() override { para(); }

    bool inicia(QString* erro) override
    {
        para();
        // Also makes Qt Multimedia's shared objects here, not in a camera's thread that ends.
        QList<QCameraDevice> lista = QMediaDevices::videoInputs();
        QCameraDevice escolhido;
        if (!semdispositivo_) {
            const QCameraDevice padrao = QMediaDevices::defaultVideoInput();
            std::stable_partition(lista.begin(), lista.end(), [&padrao](const QCameraDevice& d) { return d == padrao; });
            QList<QByteArray> ids;
            for (const QCameraDevice& d : lista)
                ids << d.id();
            const QByteArray id = escolhecamera(ids, falharam());
            if (id.isEmpty()) {
                if (erro)
                    *erro = lista.isEmpty() ? QStringLiteral("nenhuma câmera encontrada")
                                            : QStringLiteral("a câmera não está mais conectada");
                return false;
            }
            escolhido = lista.at(ids.indexOf(id));
        }
        dispositivo_ = escolhido.id();
        canal_ = std::make_shared<Canal>(++geracao_);
        canal_->receptor = this;
        vivas().entra(canal_);
        std::thread(&CameraQt::roda, canal_, escolhido, semdispositivo_).detach();
        comecou();
        return true;
    }

    void para() override
    {
        parou();
        if (!canal_)
            return;
        encerra(*canal_);
        canal_.reset();
        ++geracao_;   // what the stopped thread had already sent is dropped
    }

    bool ativa() const override { return canal_ && canal_->ligada; }

private:
    // The camera's thread: starts the camera, turns frames into pictures and
    // sends them over, until the window's side lets go.
    static void roda(std::shared_ptr<Canal> canal, QCameraDevice dispositivo,
                     std::function<void(QVideoSink*)> semdispositivo)
    {
        {
            QEventLoop laco;
            if (registra(canal, &laco)) {
                filma(*canal, laco, dispositivo, semdispositivo);
                QMutexLocker t(&canal->trava);
                canal->laco = nullptr;
            }
        }
        // What Qt Multimedia left to delete later in this thread goes before the thread does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        vivas().sai(canal);
    }

    static void filma(Canal& canal, QEventLoop& laco, const QCameraDevice& dispositivo,
                      const std::function<void(QVideoSink*)>& semdispositivo)
    {
        QVideoSink sink;
        QMediaCaptureSession sessao;
        std::unique_ptr<QCamera> camera;
        QElapsedTimer convertido;
        QObject::connect(&sink, &QVideoSink::videoFrameChanged, &sink, [&](const QVideoFrame& quadro) {
            // The preview shows five a second; converting every frame of a 30 fps camera is waste.
            if (!canal.ligada || !quadro.isValid() || (convertido.isValid() && convertido.elapsed() < 100))
                return;
            const QImage imagem = quadro.toImage();
            if (imagem.isNull())
                return;
            convertido.start();
            avisa(canal, [imagem](CameraQt* c) { c->recebeu(imagem); });
        }, Qt::DirectConnection);

        if (semdispositivo) {
            canal.ligada = true;
            semdispositivo(&sink);
        } else {
            camera = std::make_unique<QCamera>(dispositivo);
            QObject::connect(camera.get(), &QCamera::activeChanged, camera.get(), [&canal](bool ativa) {
                canal.ligada = ativa;
            });
            QObject::connect(camera.get(), &QCamera::errorOccurred, camera.get(),
                             [&canal](QCamera::Error codigo, const QString& texto) {
                                 if (codigo == QCamera::NoError)
                                     return;
                                 canal.ligada = false;
                                 avisa(canal, [texto](CameraQt* c) {
                                     c->para();
                                     emit c->falhou(texto);
                                 });
                             });
            // The sink first: a PipeWire camera linked before it sends nothing.
            sessao.setVideoSink(&sink);
            sessao.setCamera(camera.get());   // where a camera that is gone holds the thread
            if (!encerrando(canal))
                camera->start();
        }
        laco.exec();
        canal.ligada = false;
        if (camera) {
            camera->disconnect();
            camera->stop();
            sessao.setCamera(nullptr);
        }
    }

    // The thread's loop, made known so the window's side can end it; false when told to end already.
    static bool registra(const std::shared_ptr<Canal>& canal, QEventLoop* laco)
    {
        QMutexLocker t(&canal->trava);
        if (canal->encerrar)
            return false;
        canal->laco = laco;
        return true;
    }

    static bool encerrando(Canal& canal)
    {
        QMutexLocker t(&canal.trava);
        return canal.encerrar;
    }

    // f(camera) on the window's side, if the camera still listens to that thread by then.
    template <typename F>
    static void avisa(Canal& canal, F f)
    {
        const quint64 geracao = canal.geracao;
        QMutexLocker t(&canal.trava);
        if (!canal.receptor)
            return;
        auto* camera = static_cast<CameraQt*>(canal.receptor);
        QMetaObject::invokeMethod(camera, [camera, geracao, f = std::move(f)] {
            if (camera->geracao_ == geracao)
                f(camera);
        }, Qt::QueuedConnection);
    }

    void recebeu(const QImage& imagem)
    {
        falharam().remove(dispositivo_);
        FonteVideo::recebeu(imagem);
    }

    std::function<void(QVideoSink*)> semdispositivo_;
    std::shared_ptr<Canal> canal_;
    quint64 geracao_ = 0;
    QByteArray dispositivo_;   // the id of the camera last started
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
    recebeualgum_ = false;
    desde_.start();
    vigia_.start();
}

void FonteVideo::recebeu(const QImage& quadro)
{
    ultimo_ = quadro;
    recebeualgum_ = true;
    desde_.start();
}

void FonteVideo::parou()
{
    vigia_.stop();
    ultimo_ = QImage();
}

// An unplugged camera may stay "active" without a word, and one that is
// listed but gone may take half a minute to start: silence is the only sign.
void FonteVideo::vigia()
{
    if (desde_.elapsed() <= espera_)
        return;
    parou();
    emit falhou(recebeualgum_ ? QStringLiteral("ela parou de enviar imagens")
                              : QStringLiteral("ela não enviou nenhuma imagem"));
}

FonteVideo* criafontevideo(QObject* pai)
{
    if (fabrica())
        return fabrica()(pai);
    return new CameraQt(pai, {});
}

void definefabricafontevideo(FabricaFonteVideo f)
{
    fabrica() = std::move(f);
}

QByteArray escolhecamera(const QList<QByteArray>& listadas, const QSet<QByteArray>& falharam)
{
    QByteArray segunda;
    for (const QByteArray& id : listadas) {
        if (id.startsWith('/') && !QFileInfo::exists(QString::fromLocal8Bit(id)))
            continue;
        if (!falharam.contains(id))
            return id;
        if (segunda.isEmpty())
            segunda = id;
    }
    return segunda;
}

FonteVideo* criacamerasemdispositivo(QObject* pai, std::function<void(QVideoSink*)> pronto)
{
    return new CameraQt(pai, std::move(pronto));
}

}  // namespace tivane
