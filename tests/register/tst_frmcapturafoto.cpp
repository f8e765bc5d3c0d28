// The photo window: a file or a (fake) webcam becomes the tither's two bitmap files, both or neither.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/camera.h"
#include "register/fotos.h"
#include "register/frmcadastrodizimistas.h"
#include "register/frmcapturafoto.h"

#include <QCameraDevice>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>
#include <QtWidgets>
#include <atomic>

using namespace tivane;

// The webcam: a test hands it frames. Like GStreamer's sink it takes them with no camera active.
class CameraFalsa : public FonteVideo {
public:
    using FonteVideo::FonteVideo;
    static inline bool existe = true;
    static inline QPointer<CameraFalsa> atual;
    bool ativa_ = false;
    bool inicia(QString* erro) override
    {
        if (!existe) {
            *erro = "nenhuma câmera";
            return false;
        }
        comecou();
        return ativa_ = true;
    }
    void para() override
    {
        parou();
        ativa_ = false;
    }
    bool ativa() const override { return ativa_; }
    void envia(const QImage& quadro) { recebeu(quadro); }
};

class TstFrmCapturaFoto : public QObject {
    Q_OBJECT
    QString pasta_;

    static FrmCapturaFoto* janela() { return Janelas::instancia<FrmCapturaFoto>("frmcapturafoto"); }
    static void fecha()
    {
        for (const char* n : {"frmcapturafoto", "frmcadastrodizimistas"})
            Janelas::fecha(n);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <typename T = QLabel> static T* c(const char* nome, QWidget* w = janela())
    {
        if (T* r = w->findChild<T*>(nome))
            return r;
        qFatal("control %s missing", nome);
    }
    static QString msg() { return Dialogos::ultimo("msgbox").texto; }
    static int mensagens() { return Dialogos::registros("msgbox").size(); }
    QString foto(const QString& codigo, bool grande) const { return pasta_ + "fotos/" + codigo + (grande ? "g.jpg" : "p.jpg"); }
    // "WxH" of both files read by content, "-" for a missing one.
    QString tamanhos(const QString& codigo) const
    {
        QStringList r;
        for (bool g : {false, true}) {
            const QImage i(foto(codigo, g));
            r << (i.isNull() ? "-" : QString("%1x%2").arg(i.width()).arg(i.height()));
        }
        return r.join(' ');
    }
    static QString imagem(const QString& caminho, QSize tamanho, const char* formato = "JPG", QColor cor = Qt::blue)
    {
        QImage i(tamanho, QImage::Format_RGB32);
        i.fill(cor);
        if (!i.save(caminho, formato))
            qFatal("could not write %s", qPrintable(caminho));
        return caminho;
    }
    // A one-frame GIF of the picture in 128 greys: Qt reads GIFs but writes none.
    static QByteArray gif(const QImage& imagem)
    {
        QByteArray r("GIF89a");
        auto u16 = [&r](int v) { r.append(char(v & 0xFF)).append(char(v >> 8)); };
        u16(imagem.width());
        u16(imagem.height());
        r.append(char(0xF6)).append(2, '\0');   // a table of 2^7 colours
        for (int i = 0; i < 128; ++i)
            r.append(3, char(2 * i));
        r.append(',');
        for (int v : {0, 0, imagem.width(), imagem.height()})
            u16(v);
        r.append('\0').append(char(7));   // codes of 8 bits: one byte each
        // Literals only, with a clear code (128) long before the table would need 9 bits.
        QByteArray codigos;
        for (int y = 0, n = 0; y < imagem.height(); ++y)
            for (int x = 0; x < imagem.width(); ++x, ++n) {
                if (n % 100 == 0)
                    codigos.append(char(128));
                codigos.append(char(qGray(imagem.pixel(x, y)) / 2));
            }
        codigos.append(char(129));   // end of the picture
        for (int i = 0; i < codigos.size(); i += 255)
            r.append(char(qMin<qsizetype>(255, codigos.size() - i))).append(codigos.mid(i, 255));
        return r.append('\0').append(';');
    }
    static QImage degrade(int largura, int altura)
    {
        QImage i(largura, altura, QImage::Format_RGB32);
        for (int y = 0; y < altura; ++y)
            for (int x = 0; x < largura; ++x)
                i.setPixel(x, y, qRgb(x * 255 / largura, y * 255 / altura, (x ^ y) & 0xFF));
        return i;
    }
    // Opens the window for a tither and chooses that file.
    static void escolhe(const QString& codigo, const QString& arquivo, int resposta = -1)
    {
        abrecapturafoto(codigo, "Nome");
        if (resposta >= 0)
            Dialogos::respondeMsgbox(resposta);
        Dialogos::respondeTexto(arquivo);
        c<QPushButton>("cmdarquivo")->click();
    }

private slots:
    void initTestCase()
    {
        pasta_ = teste::criaBancoTeste();
    }
    void init()
    {
        fecha();
        definefabricafontevideo([](QObject* pai) { return CameraFalsa::atual = new CameraFalsa(pai); });
        teste::limpaBanco();
        Dialogos::limpa();
        QDir(pasta_ + "fotos").removeRecursively();
        CameraFalsa::existe = true;
    }
    void cleanup() { fecha(); }

    void arquivoViraDuasFotosBmp()
    {
        QVERIFY(!QDir(pasta_ + "fotos").exists());
        escolhe("0007", imagem(pasta_ + "origem.jpg", {640, 480}));
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(Dialogos::ultimo("abrir").texto + "|" + Dialogos::ultimo("abrir").titulo,
                 "Selecione a foto de identificação do funcionário|" + QDir::homePath());   // no pictures folder here
        QFile comum(pasta_ + "comum");
        QVERIFY(comum.open(QIODevice::WriteOnly));
        QCOMPARE(QFileInfo(foto("0007", true)).permissions(), comum.permissions());   // not the temporary file's
        QCOMPARE(tamanhos("0007"), QString("89x81 225x209"));   // the folder was created
        for (bool g : {false, true})
            QVERIFY(teste::conteudo(foto("0007", g)).startsWith("BM"));
        QVERIFY(QImage(foto("0007", false)).pixelColor(88, 40).blue() > 240);   // stretched over the whole area
        QVERIFY(!c("Image2")->pixmap().isNull() && !c("picfoto")->pixmap().isNull());
        QVERIFY(!c<QPushButton>("cmdexcluir")->isVisible());   // saving does not show it
        QCOMPARE(QDir(pasta_ + "fotos").entryList(QDir::Files | QDir::Hidden).size(), 2);   // no temporary left

        // Replacing asks first; No keeps both files, Yes writes the new picture.
        const QByteArray antes = teste::conteudo(foto("0007", true));
        imagem(pasta_ + "outra.bmp", {100, 300}, "BMP", Qt::red);
        escolhe("0007", pasta_ + "outra.bmp", Dialogos::Nao);
        QCOMPARE(msg(), QString("Já existe arquivo de foto gravado com este código , deseja apaga-lo?"));
        QCOMPARE(teste::conteudo(foto("0007", true)), antes);
        escolhe("0007", pasta_ + "outra.bmp", Dialogos::Sim);
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(QImage(foto("0007", true)).pixelColor(10, 10), QColor(Qt::red));

        const int antesDeCancelar = mensagens();
        escolhe("0007", QString());   // cancelling the dialog
        QCOMPARE(mensagens(), antesDeCancelar);
    }

    void entradaRuim_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("arquivo");
        QTest::addColumn<QString>("mensagem");
        const QString ilegivel = "O arquivo escolhido não é uma imagem que o sistema consiga ler. Escolha uma foto JPG ou BMP.";
        QTest::newRow("texto com nome de foto") << "0001" << "texto.jpg" << ilegivel;
        QTest::newRow("arquivo vazio") << "0001" << "vazio.jpg" << ilegivel;
        const QString incompleta = "O arquivo escolhido está incompleto ou danificado: a imagem não pôde ser lida inteira. Nenhuma foto foi gravada.";
        QTest::newRow("JPEG cortado") << "0001" << "cortada.jpg" << incompleta;
        QTest::newRow("PNG cortado") << "0001" << "cortada.png" << incompleta;
        QTest::newRow("BMP cortado") << "0001" << "cortada.bmp" << incompleta;
        QTest::newRow("XPM com nome de foto") << "0001" << "xpm.jpg"
            << "O arquivo escolhido é uma imagem XPM, formato que o sistema não aceita como foto. Escolha uma foto JPG ou BMP.";
        QTest::newRow("8000 x 8000") << "0001" << "enorme.jpg" << "A imagem escolhida é grande demais (8000 x 8000 pixels). Escolha uma foto de até 40 megapixels.";
        QTest::newRow("arquivo sumiu") << "0001" << "nao-existe.jpg" << "Foto não encontrada!";
        QTest::newRow("código vazio") << "" << "boa.jpg" << "Informe o código do dizimista antes de capturar a foto.";
        QTest::newRow("código com barra") << "../x" << "boa.jpg" << "O código do dizimista (../x) não pode ser usado no nome do arquivo da foto.";
    }
    void entradaRuim()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, arquivo);
        QFETCH(QString, mensagem);
        if (!QFile::exists(pasta_ + "boa.jpg")) {
            QFile texto(pasta_ + "texto.jpg");
            QVERIFY(texto.open(QIODevice::WriteOnly) && texto.write("não sou uma foto") > 0);
            QFile(pasta_ + "vazio.jpg").open(QIODevice::WriteOnly);
            QImage enorme(8000, 8000, QImage::Format_Mono);   // a small file: one bit per pixel
            enorme.fill(0);
            QVERIFY(enorme.save(pasta_ + "enorme.jpg", "PNG"));
            imagem(pasta_ + "boa.jpg", {50, 50});
            // Cut off after the first half, as by a copy that stopped.
            const QImage origem = degrade(200, 200);
            for (const char* formato : {"jpg", "png", "bmp"}) {
                QBuffer inteira;
                QVERIFY(inteira.open(QIODevice::WriteOnly) && origem.save(&inteira, formato));
                teste::escreve(pasta_ + "cortada." + formato, inteira.data().left(inteira.size() / 2));
            }
            QVERIFY(degrade(20, 20).convertToFormat(QImage::Format_Indexed8).save(pasta_ + "xpm.jpg", "XPM"));
        }

        escolhe("0001", pasta_ + "boa.jpg");   // the photo that must stay
        const QByteArray antes = teste::conteudo(foto("0001", false)) + teste::conteudo(foto("0001", true));
        escolhe(codigo, pasta_ + arquivo, Dialogos::Sim);
        QCOMPARE(msg(), mensagem);
        QCOMPARE(teste::conteudo(foto("0001", false)) + teste::conteudo(foto("0001", true)), antes);
        QCOMPARE(QDir(pasta_ + "fotos").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
        QVERIFY(janela()->isVisible() && c<QPushButton>("cmdarquivo")->isEnabled());   // still usable
        escolhe("0002", pasta_ + "boa.jpg");
        QCOMPARE(tamanhos("0002"), QString("89x81 225x209"));
    }

    // Each format the reader knows, whole and cut at every byte as by a copy that stopped: a cut file is
    // never taken, whatever its format, and a whole one only in the formats that can be checked whole.
    void arquivoCortadoEmQualquerPonto()
    {
        QLoggingCategory::setFilterRules("qt.gui.imageio*.warning=false");   // thousands of cut files
        const QImage origem = degrade(24, 16);
        QMap<QByteArray, QByteArray> inteiros{{"gif", gif(origem)}};
        for (const QByteArray& formato : QImageWriter::supportedImageFormats()) {
            QBuffer b;
            b.open(QIODevice::WriteOnly);
            // Few colours keep the text formats small.
            if (QImageReader::supportedImageFormats().contains(formato)
                && QImageWriter(&b, formato).write(formato == "xpm" ? origem.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither) : origem))
                inteiros[formato] = b.data();
        }
        QVERIFY2(inteiros.size() >= 8, inteiros.keys().join(' ').constData());   // jpeg, png, bmp, ppm, xpm, ico... at least
        QSet<QString> aceitos;
        QStringList cortadosAceitos;
        const QString caminho = pasta_ + "corte.jpg";   // the name never decides
        for (auto i = inteiros.cbegin(); i != inteiros.cend(); ++i) {
            teste::escreve(caminho, i.value());
            QImage lida;
            if (lefotoarquivo(caminho, &lida) == Foto::Ok && lida.size() == origem.size())
                aceitos << QString::fromLatin1(i.key());
            for (qsizetype n = 1; n < i.value().size(); n += qMax<qsizetype>(1, i.value().size() / 1500)) {
                teste::escreve(caminho, i.value().left(n));
                if (lefotoarquivo(caminho, nullptr) == Foto::Ok)
                    cortadosAceitos << QString("%1 em %2 de %3").arg(QString::fromLatin1(i.key())).arg(n).arg(i.value().size());
            }
        }
        QCOMPARE(cortadosAceitos.mid(0, 10), QStringList());
        QCOMPARE(aceitos, (QSet<QString>{"bmp", "gif", "jpeg", "jpg", "png"}));
        QLoggingCategory::setFilterRules(QString());
    }

    // Every picture up to the 40 megapixel limit loads, whatever the decoder.
    void fotosGrandes()
    {
        escolhe("0008", imagem(pasta_ + "grande.jpg", {6000, 6000}));   // over the reader's own 128 MB
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(tamanhos("0008"), QString("89x81 225x209"));

        // Bitmaps and PNGs are read whole before scaling: the reader's limit is raised just for them.
        const int limite = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1);
        escolhe("0009", imagem(pasta_ + "media.bmp", {1000, 1000}, "BMP", Qt::red));
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QImage funda(QSize(1000, 1000), QImage::Format_RGBA64);   // 16 bits a channel
        funda.fill(Qt::red);
        QVERIFY(funda.save(pasta_ + "media.png", "PNG"));
        escolhe("0010", pasta_ + "media.png");
        QCOMPARE(QImageReader::allocationLimit(), 1);
        QImageReader::setAllocationLimit(limite);
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(QImage(foto("0009", true)).pixelColor(5, 5), QColor(Qt::red));

        // A stray byte between two segments, as some cameras write: the decoder skips it.
        QByteArray j = teste::conteudo(imagem(pasta_ + "solta.jpg", {30, 30}));
        QVERIFY(j.startsWith("\xFF\xD8\xFF\xE0"));
        j.insert(4 + (uchar(j[4]) << 8 | uchar(j[5])), '\0');
        QFile f(pasta_ + "solta.jpg");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(j) == j.size());
        f.close();
        escolhe("0011", f.fileName());
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
    }

    // Both files or neither: when the large one cannot be written the old small one comes back.
    void duasFotosOuNenhuma()
    {
        escolhe("0003", imagem(pasta_ + "antiga.bmp", {30, 30}, "BMP", Qt::green));
        const QByteArray pequenaAntiga = teste::conteudo(foto("0003", false));
        QVERIFY(QFile::remove(foto("0003", true)) && QDir().mkpath(foto("0003", true)));   // a folder where the large file goes
        escolhe("0003", imagem(pasta_ + "nova.jpg", {30, 30}), Dialogos::Sim);
        QCOMPARE(msg(), QString("Não foi possível gravar a foto (0003g.jpg: existe uma pasta com esse nome). A foto anterior foi mantida."));
        QCOMPARE(teste::conteudo(foto("0003", false)), pequenaAntiga);
        QCOMPARE(QDir(pasta_ + "fotos").entryList(QDir::Files | QDir::Hidden).size(), 1);   // no temporary left

        QVERIFY(QFile::remove(foto("0003", false)));
        escolhe("0003", pasta_ + "nova.jpg", Dialogos::Sim);   // with no old small photo, none is left
        QVERIFY(!QFile::exists(foto("0003", false)));

        QDir(pasta_ + "fotos").removeRecursively();
        QFile(pasta_ + "fotos").open(QIODevice::WriteOnly);   // a file where the folder goes
        escolhe("0004", pasta_ + "nova.jpg");
        QVERIFY(msg().startsWith("Não foi possível gravar a foto (a pasta ") && msg().endsWith("não pôde ser criada). A foto anterior foi mantida."));
        QFile::remove(pasta_ + "fotos");
    }

    void webcam()
    {
        escolhe("0005", imagem(pasta_ + "arquivo.bmp", {20, 20}, "BMP", Qt::red));
        auto* w = janela();
        auto* captura = c<QGroupBox>("Framecaptura");
        QCOMPARE(c<QTimer>("Timer1")->interval(), 200);   // five frames a second

        // No camera: the window says so and stays usable for "Arquivo".
        CameraFalsa::existe = false;
        c<QPushButton>("cmdwebcam")->click();
        QCOMPARE(msg() + QString::number(Dialogos::ultimo("msgbox").estilo), QString("Erro inicializando Web Cam48"));
        QVERIFY(!captura->isVisible() && !w->modowebcam());
        CameraFalsa::atual->envia(QImage(320, 240, QImage::Format_RGB32));   // the test pattern of a missing camera
        const int antes = mensagens();
        w->cmdcapturar();   // a frame of an inactive camera is no photo
        QCOMPARE(mensagens(), antes + 1);
        const QString semImagem = "Nenhuma imagem foi recebida da Web Cam; nenhuma foto foi gravada.";
        QVERIFY(msg().startsWith(semImagem));
        QCOMPARE(QImage(foto("0005", true)).pixelColor(5, 5), QColor(Qt::red));

        // A camera without a frame yet: nothing written, the preview goes on.
        CameraFalsa::existe = true;
        c<QPushButton>("cmdwebcam")->click();
        QVERIFY(captura->isVisible() && c<QTimer>("Timer1")->isActive() && w->modowebcam());
        const int antesDoEnter = mensagens();
        QTest::keyClick(c<QPushButton>("cmdcapturar"), Qt::Key_Return);   // Enter takes the shot
        QVERIFY(mensagens() == antesDoEnter + 1 && msg().startsWith(semImagem));
        QVERIFY(captura->isVisible() && CameraFalsa::atual->ativa());

        // A frame: shown by the preview, then written over the old photo without asking.
        QImage verde(640, 480, QImage::Format_RGB32);
        verde.fill(Qt::darkGreen);
        CameraFalsa::atual->envia(verde);
        QTRY_VERIFY(!c("picfoto")->pixmap().isNull() && c("picfoto")->pixmap().width() == 640);
        const int antesDaFoto = mensagens();
        c<QPushButton>("cmdcapturar")->click();
        QCOMPARE(mensagens(), antesDaFoto + 1);   // no question
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(tamanhos("0005"), QString("89x81 225x209"));
        QCOMPARE(QImage(foto("0005", true)).pixelColor(5, 5), QColor(Qt::darkGreen));
        QVERIFY(!captura->isVisible() && !c<QTimer>("Timer1")->isActive() && !CameraFalsa::atual->ativa());

        // Unplugged during the preview: the camera still calls itself active but sends
        // nothing. Its last frame is never taken as the photo, and the silence is reported.
        c<QPushButton>("cmdwebcam")->click();
        CameraFalsa::atual->defineespera(800);
        QImage amarela = verde;
        amarela.fill(Qt::yellow);
        CameraFalsa::atual->envia(amarela);
        QTest::qWait(350);
        c<QPushButton>("cmdcapturar")->click();
        QVERIFY(msg().startsWith(semImagem));
        QCOMPARE(QImage(foto("0005", true)).pixelColor(5, 5), QColor(Qt::darkGreen));
        QTRY_COMPARE(msg(), QString("Erro na Web Cam: ela parou de enviar imagens. Nenhuma foto foi gravada; "
                                    "verifique se ela está conectada e clique em \"Web Cam\" de novo."));
        QVERIFY(!captura->isVisible() && !c<QTimer>("Timer1")->isActive() && !CameraFalsa::atual->ativa());
        QCOMPARE(c("picfoto")->pixmap().toImage().pixelColor(5, 5), QColor(Qt::darkGreen));   // the saved photo again
        CameraFalsa::atual->defineespera(4000);

        // The camera reports its own failure; "Arquivo" stops the preview.
        c<QPushButton>("cmdwebcam")->click();
        emit CameraFalsa::atual->falhou("desconectada");
        QVERIFY(msg().startsWith("Erro na Web Cam: desconectada."));
        QVERIFY(!captura->isVisible() && !c<QTimer>("Timer1")->isActive());
        c<QPushButton>("cmdwebcam")->click();
        c<QPushButton>("cmdarquivo")->click();   // cancelled
        QVERIFY(!captura->isVisible() && !CameraFalsa::atual->ativa() && !w->modowebcam());
    }

    void cameraDaMaquina()
    {
        if (!QMediaDevices::videoInputs().isEmpty())
            QSKIP("this machine has a camera");
        definefabricafontevideo({});
        FonteVideo* camera = criafontevideo(this);
        QString erro;
        QVERIFY(!camera->inicia(&erro) && !camera->ativa() && camera->quadro().isNull());
        QCOMPARE(erro, QString("nenhuma câmera encontrada"));
        delete camera;
        definefabricafontevideo([](QObject* pai) { return CameraFalsa::atual = new CameraFalsa(pai); });
    }

    // Which camera a start takes among those listed, the default first.
    void escolhaDaCamera()
    {
        QTemporaryDir pasta;
        const QByteArray presente = QFile::encodeName(pasta.filePath("video0"));
        const QByteArray ausente = QFile::encodeName(pasta.filePath("video1"));   // unplugged: its device file is gone
        QVERIFY(QFile(QFile::decodeName(presente)).open(QIODevice::WriteOnly));
        QCOMPARE(escolhecamera({}, {}), QByteArray());
        QCOMPARE(escolhecamera({"0", "1"}, {}), QByteArray("0"));
        QCOMPARE(escolhecamera({"1", "2"}, {"1"}), QByteArray("2"));   // plugged in again under a new name
        QCOMPARE(escolhecamera({"1", "2"}, {"2", "1"}), QByteArray("1"));   // all failed: tried again, in order
        QCOMPARE(escolhecamera({ausente, "3"}, {}), QByteArray("3"));
        QCOMPARE(escolhecamera({ausente}, {}), QByteArray());
        QCOMPARE(escolhecamera({ausente, presente}, {presente}), presente);
    }

    // The machine's camera class fed on its own sink and thread: every frame becomes the preview, not just the
    // first; the shot is the latest, and stopping ends the camera's thread.
    void cameraDaMaquinaMostraCadaQuadro()
    {
        std::atomic<QVideoSink*> sink{nullptr};
        std::atomic<bool> fim{false};
        definefabricafontevideo([&](QObject* pai) {
            return criacamerasemdispositivo(pai, [&](QVideoSink* s) {
                QObject::connect(s, &QObject::destroyed, [&] { fim = true; });
                sink = s;
            });
        });
        abrecapturafoto("0012", "Nome");
        c<QPushButton>("cmdwebcam")->click();
        QTRY_VERIFY(sink.load());
        QVERIFY(sink.load()->thread() != QThread::currentThread());
        for (const QColor cor : {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::darkCyan}) {
            QImage imagem(64, 48, QImage::Format_RGB32);
            imagem.fill(cor);
            QVideoFrame quadro(QVideoFrameFormat(imagem.size(), QVideoFrameFormat::pixelFormatFromImageFormat(imagem.format())));
            QVERIFY(quadro.map(QVideoFrame::WriteOnly));
            for (int y = 0; y < imagem.height(); ++y)
                memcpy(quadro.bits(0) + y * quadro.bytesPerLine(0), imagem.constScanLine(y), imagem.bytesPerLine());
            quadro.unmap();
            QVideoSink* s = sink;
            QMetaObject::invokeMethod(s, [s, quadro] { s->setVideoFrame(quadro); });
            QTRY_COMPARE(c("picfoto")->pixmap().toImage().pixelColor(5, 5), cor);
            QTest::qWait(110);   // the camera's thread takes at most ten frames a second
        }
        c<QPushButton>("cmdcapturar")->click();
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(QImage(foto("0012", true)).pixelColor(5, 5), QColor(Qt::darkCyan));
        QTRY_VERIFY(fim);
    }

    // A start that holds its thread (Qt Multimedia, half a minute, on a camera unplugged but still listed): the
    // window never waits for it, says when no picture came, and takes a file meanwhile.
    void partidaDemoradaNaoPrendeAJanela()
    {
        QSemaphore solta;
        std::atomic<int> esgotadas{0}, partidas{0}, fins{0};
        definefabricafontevideo([&](QObject* pai) {
            FonteVideo* camera = criacamerasemdispositivo(pai, [&](QVideoSink* s) {
                ++partidas;
                QObject::connect(s, &QObject::destroyed, [&] { ++fins; });
                if (!solta.tryAcquire(1, 10000))
                    ++esgotadas;
            });
            camera->defineespera(600);
            return camera;
        });
        escolhe("0013", imagem(pasta_ + "antes.bmp", {20, 20}, "BMP", Qt::red));
        c<QPushButton>("cmdwebcam")->click();
        QVERIFY(esgotadas == 0 && c<QGroupBox>("Framecaptura")->isVisible());
        QTRY_COMPARE(msg(), QString("Erro na Web Cam: ela não enviou nenhuma imagem. Nenhuma foto foi gravada; "
                                    "verifique se ela está conectada e clique em \"Web Cam\" de novo."));
        QVERIFY(!c<QGroupBox>("Framecaptura")->isVisible());
        // Again, while the first start holds its thread (the second, stopped at once, may end before it starts).
        c<QPushButton>("cmdwebcam")->click();
        QVERIFY(esgotadas == 0 && fins == 0);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        Dialogos::respondeTexto(imagem(pasta_ + "depois.bmp", {20, 20}, "BMP", Qt::blue));
        c<QPushButton>("cmdarquivo")->click();
        QCOMPARE(msg(), QString("Foto Carregada com Sucesso!!!"));
        QCOMPARE(QImage(foto("0013", true)).pixelColor(5, 5), QColor(Qt::blue));
        solta.release(2);
        QTRY_VERIFY(fins >= 1 && fins == partidas);   // each thread ends once its start returns
        QVERIFY(esgotadas == 0);
    }

    void excluir()
    {
        escolhe("0006", imagem(pasta_ + "x.jpg", {10, 10}));
        abrecapturafoto("0006", "Nome");
        QVERIFY(c<QPushButton>("cmdexcluir")->isVisible());
        Dialogos::respondeMsgbox(Dialogos::Nao);
        c<QPushButton>("cmdexcluir")->click();
        QCOMPARE(msg() + "|" + Dialogos::ultimo("msgbox").titulo, QString("Deseja excluir a foto atual ?|Excluir Foto"));
        QCOMPARE(tamanhos("0006"), QString("89x81 225x209"));

        QVERIFY(QFile::remove(foto("0006", true)) && QDir().mkpath(foto("0006", true) + "/dentro"));
        Dialogos::respondeMsgbox(Dialogos::Sim);
        c<QPushButton>("cmdexcluir")->click();
        QCOMPARE(msg(), QString("Não foi possível excluir a foto (0006g.jpg: existe uma pasta com esse nome)."));
        QVERIFY(QDir(pasta_ + "fotos").removeRecursively());

        escolhe("0006", pasta_ + "x.jpg");
        Dialogos::respondeMsgbox(Dialogos::Sim);
        c<QPushButton>("cmdexcluir")->click();
        QCOMPARE(msg() + "|" + Dialogos::ultimo("msgbox").titulo, QString("Foto excluída com sucesso!|Excluir Foto"));
        QVERIFY(tamanhos("0006") == "- -" && c("Image2")->pixmap().isNull() && c("picfoto")->pixmap().isNull());
        QVERIFY(c<QPushButton>("cmdexcluir")->isVisible());
        abrecapturafoto("0099", "Outro");   // an open window keeps its delete button
        QVERIFY(c<QPushButton>("cmdexcluir")->isVisible());
        fecha();
        abrecapturafoto("0099", "Outro");   // a fresh one for a tither without photos hides it
        QVERIFY(!c<QPushButton>("cmdexcluir")->isVisible() && c("Image2")->pixmap().isNull());
    }

    // From the tithers window's button; "Sair" refreshes it only while it shows the same tither.
    void abertaPeloCadastroESair()
    {
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, sexo) VALUES ('0001', 'Ana', 1, 0), ('0002', 'Bia', 1, 0)"));
        abredizimista("0001");
        QWidget* cad = Janelas::instancia("frmcadastrodizimistas");
        c<QPushButton>("cmdfoto", cad)->click();
        QVERIFY(janela() && janela()->isVisible() && !janela()->isMaximized()
                && !janela()->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(c("lblcodigo")->text() + "|" + c("lblnome")->text() + "|" + janela()->windowTitle(),
                 QString("0001|Ana|Tivane Dízimos- Capturar Foto"));

        Dialogos::respondeTexto(imagem(pasta_ + "ana.jpg", {60, 60}));
        c<QPushButton>("cmdarquivo")->click();
        QVERIFY(c("picfoto", cad)->pixmap().isNull());   // the tithers window learns of it on "Sair"
        c<QPushButton>("Cmdparar")->click();
        QVERIFY(!janela());
        QCOMPARE(c("picfoto", cad)->pixmap().size(), QSize(89, 81));

        c<QPushButton>("cmdfoto", cad)->click();
        QVERIFY(c<QPushButton>("cmdexcluir")->isVisible() && c("Image2")->pixmap().size() == QSize(89, 81));
        abredizimista("0002");   // the tithers window moves on to another tither
        Dialogos::respondeMsgbox(Dialogos::Sim);
        c<QPushButton>("cmdexcluir")->click();
        c<QPushButton>("Cmdparar")->click();
        QCOMPARE(c("lblmsgfoto", cad)->text() + QString::number(c("picfoto", cad)->pixmap().isNull()), QString("Sem Foto1"));
        abredizimista("0001");
        QVERIFY(c("picfoto", cad)->pixmap().isNull());   // the photo was deleted

        c<QPushButton>("cmdfoto", cad)->click();
        Janelas::fecha("frmcadastrodizimistas");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        c<QPushButton>("Cmdparar")->click();   // the tithers window is gone: nothing to refresh
        QVERIFY(!janela());
    }
};

TIVANE_TEST_MAIN(TstFrmCapturaFoto)
#include "tst_frmcapturafoto.moc"
