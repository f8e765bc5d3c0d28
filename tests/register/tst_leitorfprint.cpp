// The libfprint reader on libfprint's virtual image device, fed images through its socket
// (skipped where the library has no virtual driver).
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "register/bancoimpressoes.h"
#include "register/frmcapturaimpressao.h"
#include "register/leitorfprint.h"

#include <QtWidgets>
#include <cmath>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace tivane;

class TstLeitorFprint : public QObject {
    Q_OBJECT
    QString socket_;
    int sockets_ = 0;

    // A fresh socket per reader: a device still closing keeps its old one.
    void novoSocket()
    {
        socket_ = teste::pastaTemporaria() + QString("/fp%1").arg(++sockets_);
        qputenv("FP_VIRTUAL_IMAGE", QFile::encodeName(socket_));
    }
    // Ridges in rings with patches turned half a period: plenty of endings and forks.
    static QByteArray dedo(int largura, int altura)
    {
        QByteArray px(largura * altura, '\0');
        for (int y = 0; y < altura; ++y)
            for (int x = 0; x < largura; ++x) {
                const double r = std::hypot(x - largura / 2.0, y - altura / 2.0) + 6 * std::sin(std::atan2(y - altura / 2.0, x - largura / 2.0) * 3);
                const double fase = ((x / 24) * 31 + (y / 24) * 17) % 5 == 0 ? M_PI : 0;
                px[y * largura + x] = std::sin(r * 2 * M_PI / 9.0 + fase) > 0 ? 30 : char(220);
            }
        return px;
    }
    // Writes one image (or, with largura -1 or -2, a retry or an error) into the
    // device's socket; false when the device is not listening within a second.
    bool toca(int largura, int altura, const QByteArray& pixels = QByteArray())
    {
        for (int i = 0; i < 100; ++i) {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un a{};
            a.sun_family = AF_UNIX;
            qstrncpy(a.sun_path, QFile::encodeName(socket_).constData(), sizeof a.sun_path);
            if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
                const qint32 cab[2] = {largura, altura};
                bool ok = ::write(s, cab, sizeof cab) == sizeof cab;
                if (ok && !pixels.isEmpty())
                    ok = ::write(s, pixels.constData(), pixels.size()) == pixels.size();
                QTest::qWait(50);
                ::close(s);
                return ok;
            }
            ::close(s);
            QTest::qWait(10);
        }
        return false;
    }
    // A started reader with its device open, or a skip.
    std::unique_ptr<LeitorFprint> abreLeitor()
    {
        novoSocket();
        auto l = std::make_unique<LeitorFprint>();
        int n = 0;
        if (l->inicializa() != LeitorOk || l->numeroleitores(&n) != LeitorOk || n == 0)
            return nullptr;
        int status = -1;
        l->abreleitor(0, [&](int s) { status = s; });
        if (!QTest::qWaitFor([&] { return status != -1; }, 5000) || status != LeitorOk)
            return nullptr;
        return l;
    }
    static int capturaCom(LeitorFprint* l, std::function<void()> dedo)
    {
        int status = -1;
        l->captura([&](int s) { status = s; });
        dedo();
        return QTest::qWaitFor([&] { return status != -1; }, 5000) ? status : -1;
    }

private slots:
    void initTestCase()
    {
        novoSocket();
        LeitorFprint l;
        int n = 0;
        if (l.inicializa() != LeitorOk || l.numeroleitores(&n) != LeitorOk || n == 0)
            QSKIP("libfprint has no virtual image device here");
    }

    // What the device is sent (an image, a retry, an error, nothing) and what capture and extraction
    // answer; the reader then still takes a finger, extracts its template and shuts down.
    void falhas_data()
    {
        QTest::addColumn<int>("largura");   // -1 retry, -2 error, 0 nothing, else a blank image
        QTest::addColumn<int>("captura");
        QTest::addColumn<int>("extracao");
        QTest::newRow("imagem em branco") << 256 << int(LeitorOk) << int(LeitorSemDedo);
        QTest::newRow("repetir") << -1 << int(LeitorOk) << int(LeitorSemDedo);
        QTest::newRow("erro") << -2 << int(LeitorCapturaFalhou) << -1;
        QTest::newRow("nenhum dedo") << 0 << int(LeitorTempoEsgotado) << -1;
    }
    void falhas()
    {
        QFETCH(int, largura);
        QFETCH(int, captura);
        QFETCH(int, extracao);
        auto l = abreLeitor();
        QVERIFY(l);
        l->definetempolimite(300);
        const auto envia = [&] {
            if (largura > 0)
                QVERIFY(toca(largura, 300, QByteArray(largura * 300, char(230))));
            else if (largura < 0)
                QVERIFY(toca(largura, largura == -2 ? 1 : 0));
        };
        QCOMPARE(capturaCom(l.get(), envia), captura);
        QVERIFY(!l->textoerro(captura).isEmpty());
        if (extracao >= 0) {
            int status = -1;
            l->extrai([&](int s, const QByteArray& m) { status = m.isEmpty() ? s : -2; });
            QTRY_VERIFY_WITH_TIMEOUT(status != -1, 5000);
            QCOMPARE(status, extracao);
            QCOMPARE(l->textoerro(status), QString("dedo não detectado, coloque o dedo novamente"));
        }
        l->definetempolimite(5000);
        QCOMPARE(capturaCom(l.get(), [&] { QVERIFY(toca(256, 300, dedo(256, 300))); }), int(LeitorOk));
        QCOMPARE(l->imagem().size(), QSize(256, 300));
        int status = -1;
        QByteArray modelo;
        l->extrai([&](int s, const QByteArray& m) { status = s; modelo = m; });
        QTRY_VERIFY_WITH_TIMEOUT(status != -1, 5000);
        QCOMPARE(status, int(LeitorOk));
        const int minucias = quint8(modelo[0]) | quint8(modelo[1]) << 8;
        QVERIFY2(minucias >= 12 && modelo.size() == 2 + 4 * minucias && modelo.size() <= TAMANHO_MAXIMO_MODELO,
                 qPrintable(QString::number(minucias)));
        QCOMPARE(l->finaliza(), int(LeitorOk));
    }

    // The whole window on the virtual device, from start-up to the stored row and the shut-down.
    void janelaComLeitorVirtual()
    {
        const QString pasta = teste::pastaTemporaria() + "/impressoes";
        QVERIFY(BancoImpressoes::cria(pasta + "/supremabd.mdb"));
        QVERIFY(gravatextopadrao("caminhoimpressao", pasta));
        Dialogos::ativaModoTeste(true);
        novoSocket();
        auto* w = qobject_cast<FrmCapturaImpressao*>(Janelas::abre("frmcapturaimpressao"));
        w->findChild<QLabel*>("lblcodigo")->setText("0003");
        w->findChild<QLabel*>("lblnome")->setText("Ana");
        w->findChild<QTimer*>("temposuprema")->setInterval(0);
        auto* status = w->findChild<QLabel*>("lblstatus");
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Clique em [Iniciar Captura]"), 5000);
        QTest::mouseClick(w->findChild<QWidget*>("cmdcapturar"), Qt::LeftButton);
        QTest::mouseClick(w->findChild<QWidget*>("cmddedo6"), Qt::LeftButton);
        QVERIFY(toca(256, 300, dedo(256, 300)));
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Clique em [Sair]"), 5000);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Impressão Capturada com sucesso!"));
        QVERIFY(!w->findChild<QLabel*>("pbImageFrame")->pixmap().isNull());
        QVERIFY(w->modelo().size() > 2 && w->modelo().size() <= TAMANHO_MAXIMO_MODELO);
        w->findChild<QPushButton*>("cmdsair")->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Janelas::instancia("frmcapturaimpressao"));
        QTest::qWait(100);   // the device closes in the background
    }

    // A reader that gives no images (libfprint's virtual_device) is found, but cannot enrol.
    void leitorSemImagens()
    {
        const QString pasta = teste::pastaTemporaria() + "/semimagens";
        QVERIFY(BancoImpressoes::cria(pasta + "/supremabd.mdb"));
        QVERIFY(gravatextopadrao("caminhoimpressao", pasta));
        Dialogos::ativaModoTeste(true);
        const QByteArray imagem = qgetenv("FP_VIRTUAL_IMAGE");
        qunsetenv("FP_VIRTUAL_IMAGE");
        qputenv("FP_VIRTUAL_DEVICE", QFile::encodeName(teste::pastaTemporaria() + "/semimagens.sock"));
        auto* w = qobject_cast<FrmCapturaImpressao*>(Janelas::abre("frmcapturaimpressao"));
        auto* rotulo = w->findChild<QLabel*>("lblstatus");
        const bool respondeu = QTest::qWaitFor([rotulo] { return rotulo->text().startsWith("Leitor"); }, 5000);
        const QString status = rotulo->text();
        qunsetenv("FP_VIRTUAL_DEVICE");
        qputenv("FP_VIRTUAL_IMAGE", imagem);
        QVERIFY(respondeu);
        QCOMPARE(status, QString("Leitor encontrado, mas ele não captura imagens de impressões digitais!\r\n"));
        QCOMPARE(w->tipoleitor(), 0);
        Janelas::fecha("frmcapturaimpressao");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TIVANE_TEST_MAIN(TstLeitorFprint)
#include "tst_leitorfprint.moc"
