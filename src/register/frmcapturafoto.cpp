#include "register/frmcapturafoto.h"

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "register/camera.h"
#include "register/frmcadastrodizimistas.h"
#include "register/fotos.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace tivane {

namespace {

const char* const NOME_JANELA = "frmcapturafoto";
const QString TITULO_EXCLUSAO = QStringLiteral("Excluir Foto");

static RegistroJanela reg(NOME_JANELA, [] { return new FrmCapturaFoto; }, Janelas::Independente);

// A picture box of a fixed size holding a stretched image.
QLabel* areafoto(QWidget* pai, const char* caixa, const char* imagem, QSize tamanho, const QColor& fundo)
{
    auto* moldura = new QFrame(pai);
    moldura->setObjectName(QString::fromLatin1(caixa));
    moldura->setFrameShape(QFrame::Box);
    moldura->setFixedSize(tamanho);
    moldura->setAutoFillBackground(true);
    QPalette paleta = moldura->palette();
    paleta.setColor(QPalette::Window, fundo);
    moldura->setPalette(paleta);
    auto* foto = new QLabel(moldura);
    foto->setObjectName(QString::fromLatin1(imagem));
    foto->setScaledContents(true);
    foto->setGeometry(0, 0, tamanho.width(), tamanho.height());
    return foto;
}

QLabel* rotulonegrito(const QString& texto, QWidget* pai, const char* nome)
{
    auto* r = new QLabel(texto, pai);
    r->setObjectName(QString::fromLatin1(nome));
    r->setFrameShape(QFrame::Box);
    QFont f = r->font();
    f.setBold(true);
    r->setFont(f);
    return r;
}

void mostraarquivo(QLabel* foto, const QString& caminho)
{
    const QImage imagem = !caminho.isEmpty() && arquivoexiste(caminho) ? QImage(caminho) : QImage();
    if (imagem.isNull())
        foto->clear();
    else
        foto->setPixmap(QPixmap::fromImage(imagem));
}

// Where the user keeps pictures; the home folder when there is no such folder.
QString pastaimagens()
{
    const QString imagens = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(imagens).exists() ? imagens : QDir::homePath();
}

}  // namespace

FrmCapturaFoto::FrmCapturaFoto()
{
    setObjectName(QString::fromLatin1(NOME_JANELA));
    setWindowTitle(QStringLiteral("Tivane Dízimos- Capturar Foto"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* raiz = new QVBoxLayout(this);
    auto* topo = new QHBoxLayout;
    lblcodigo_ = rotulonegrito(QStringLiteral("0000"), this, "lblcodigo");
    lblcodigo_->setAlignment(Qt::AlignCenter);
    lblcodigo_->setMinimumWidth(70);
    lblnome_ = rotulonegrito(QString(), this, "lblnome");
    topo->addWidget(lblcodigo_);
    topo->addWidget(new QLabel(QStringLiteral("Nome:"), this));
    topo->addWidget(lblnome_, 1);
    raiz->addLayout(topo);

    auto* corpo = new QHBoxLayout;
    picfoto_ = areafoto(this, "picfoto2", "picfoto", TAMANHO_FOTO_GRANDE, QColor(192, 192, 255));
    corpo->addWidget(picfoto_->parentWidget(), 0, Qt::AlignTop);

    auto* lado = new QVBoxLayout;
    image2_ = areafoto(this, "Picture2", "Image2", TAMANHO_FOTO_PEQUENA, QColor(192, 255, 192));
    lado->addWidget(image2_->parentWidget(), 0, Qt::AlignHCenter);
    auto botao = [this](const QString& legenda, const char* nome) {
        auto* b = new QPushButton(legenda, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        return b;
    };
    cmdwebcam_ = botao(QStringLiteral("Web Cam"), "cmdwebcam");
    cmdarquivo_ = botao(QStringLiteral("Arquivo"), "cmdarquivo");
    cmdexcluir_ = botao(QStringLiteral("&Excluir"), "cmdexcluir");
    cmdexcluir_->hide();
    cmdparar_ = botao(QStringLiteral("Sair"), "Cmdparar");
    for (QPushButton* b : {cmdwebcam_, cmdarquivo_, cmdexcluir_, cmdparar_})
        lado->addWidget(b);

    framecaptura_ = new QGroupBox(this);
    framecaptura_->setObjectName(QStringLiteral("Framecaptura"));
    auto* layoutCaptura = new QVBoxLayout(framecaptura_);
    cmdcapturar_ = new QPushButton(QStringLiteral("&Capturar"), framecaptura_);
    cmdcapturar_->setObjectName(QStringLiteral("cmdcapturar"));
    cmdcapturar_->setDefault(true);
    layoutCaptura->addWidget(cmdcapturar_);
    framecaptura_->hide();
    lado->addWidget(framecaptura_);
    lado->addStretch(1);
    corpo->addLayout(lado);
    raiz->addLayout(corpo);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(200);   // five frames a second

    connect(cmdwebcam_, &QPushButton::clicked, this, &FrmCapturaFoto::cmdwebcam);
    connect(cmdarquivo_, &QPushButton::clicked, this, &FrmCapturaFoto::cmdarquivo);
    connect(cmdexcluir_, &QPushButton::clicked, this, &FrmCapturaFoto::cmdexcluir);
    connect(cmdparar_, &QPushButton::clicked, this, &FrmCapturaFoto::sair);
    connect(cmdcapturar_, &QPushButton::clicked, this, &FrmCapturaFoto::cmdcapturar);
    connect(timer_, &QTimer::timeout, this, &FrmCapturaFoto::mostraquadro);
    // "&Capturar" is the default button while the preview runs.
    for (int tecla : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto* enter = new QShortcut(QKeySequence(tecla), this);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, this, [this] {
            if (framecaptura_->isVisible())
                cmdcapturar_->click();
        });
    }
    adjustSize();
    centralizanatela(this);
}

void FrmCapturaFoto::carregadizimista(const QString& codigo, const QString& nome)
{
    lblcodigo_->setText(codigo);
    lblnome_->setText(nome);
    QString p, g;
    // A window still open from an earlier tither keeps its delete button. A code
    // that names no photo files has none to delete (saving one says why).
    if (caminhosfotos(codigo, &p, &g) == Foto::Ok && (arquivoexiste(p) || arquivoexiste(g)))
        cmdexcluir_->show();
    mostrafotos();
}

void FrmCapturaFoto::mostrafotos()
{
    QString p, g;
    if (caminhosfotos(lblcodigo_->text(), &p, &g) != Foto::Ok) {
        image2_->clear();
        picfoto_->clear();
        return;
    }
    mostraarquivo(image2_, p);
    mostraarquivo(picfoto_, g);
}

bool FrmCapturaFoto::codigoaceito()
{
    const Foto r = caminhosfotos(lblcodigo_->text(), nullptr, nullptr);
    if (r == Foto::Ok)
        return true;
    Dialogos::msgbox(mensagemfoto(r, lblcodigo_->text()), Dialogos::Alerta);
    return false;
}

void FrmCapturaFoto::paracamera()
{
    timer_->stop();
    if (camera_)
        camera_->para();
    framecaptura_->hide();
}

void FrmCapturaFoto::cmdwebcam()
{
    if (!codigoaceito())
        return;
    timer_->stop();
    if (!camera_) {
        camera_ = criafontevideo(this);
        connect(camera_, &FonteVideo::falhou, this, [this](const QString& erro) {
            const bool mostrando = timer_->isActive();
            paracamera();
            mostrafotos();   // no frozen frame left where the photo goes
            if (mostrando)
                Dialogos::msgbox(QStringLiteral("Erro na Web Cam: ") + erro
                                     + QStringLiteral(". Nenhuma foto foi gravada; verifique se ela está "
                                                      "conectada e clique em \"Web Cam\" de novo."),
                                 Dialogos::Alerta);
        });
    }
    QString erro;
    if (!camera_->inicia(&erro)) {
        paracamera();
        webcam_ = false;
        Dialogos::msgbox(QStringLiteral("Erro inicializando Web Cam"), Dialogos::Alerta);
        return;
    }
    webcam_ = true;
    timer_->start();
    framecaptura_->show();
    cmdcapturar_->setFocus();
}

void FrmCapturaFoto::mostraquadro()
{
    const QImage quadro = camera_ && camera_->ativa() ? camera_->quadro() : QImage();
    if (quadro.isNull())
        picfoto_->clear();
    else
        picfoto_->setPixmap(QPixmap::fromImage(quadro));
}

void FrmCapturaFoto::cmdcapturar()
{
    if (!codigoaceito())
        return;
    const QImage quadro = camera_ && camera_->ativa() ? camera_->quadro() : QImage();
    if (quadro.isNull()) {
        // The preview goes on: the camera may still be starting.
        Dialogos::msgbox(QStringLiteral("Nenhuma imagem foi recebida da Web Cam; nenhuma foto foi gravada. "
                                        "Verifique a câmera e tente capturar de novo."),
                         Dialogos::Alerta);
        return;
    }
    // Timers keep running under message boxes: the preview must not paint over the shot.
    timer_->stop();
    if (gravaimagem(quadro))
        paracamera();
    else
        timer_->start();
}

void FrmCapturaFoto::cmdarquivo()
{
    paracamera();
    webcam_ = false;
    if (!codigoaceito())
        return;
    const QString caminho = Dialogos::abrirArquivo(
        QStringLiteral("Selecione a foto de identificação do funcionário"),
        pastaimagens(),
        QStringLiteral("JPG (*.jpg *.jpeg *.JPG *.JPEG);;Bitmaps (*.bmp *.BMP)"));
    if (!caminho.isEmpty())
        salvafotocapturada(caminho);
}

void FrmCapturaFoto::salvafotocapturada(const QString& caminho)
{
    QImage imagem;
    QString detalhe;
    const Foto lida = lefotoarquivo(caminho, &imagem, &detalhe);
    if (lida != Foto::Ok) {
        Dialogos::msgbox(mensagemfoto(lida, detalhe), lida == Foto::NaoEncontrada ? Dialogos::Simples : Dialogos::Alerta);
        return;
    }
    if (existefoto(lblcodigo_->text())
        && Dialogos::msgbox(QStringLiteral("Já existe arquivo de foto gravado com este código , deseja apaga-lo?"), Dialogos::Pergunta)
               == Dialogos::Nao)
        return;
    gravaimagem(imagem);
}

bool FrmCapturaFoto::gravaimagem(const QImage& imagem)
{
    QString detalhe;
    const Foto r = gravafotos(lblcodigo_->text(), imagem, &detalhe);
    if (r != Foto::Ok) {
        Dialogos::msgbox(mensagemfoto(r, detalhe), Dialogos::Alerta);
        return false;
    }
    mostrafotos();
    Dialogos::msgbox(QStringLiteral("Foto Carregada com Sucesso!!!"), Dialogos::Informacao);
    return true;
}

void FrmCapturaFoto::cmdexcluir()
{
    if (Dialogos::msgbox(QStringLiteral("Deseja excluir a foto atual ?"), Dialogos::Pergunta, TITULO_EXCLUSAO) == Dialogos::Nao)
        return;
    QString detalhe;
    const Foto r = apagafotos(lblcodigo_->text(), &detalhe);
    if (r != Foto::Ok) {
        mostrafotos();   // what is left
        Dialogos::msgbox(mensagemfoto(r, detalhe), Dialogos::Alerta, TITULO_EXCLUSAO);
        return;
    }
    image2_->clear();
    picfoto_->clear();
    Dialogos::msgbox(QStringLiteral("Foto excluída com sucesso!"), Dialogos::Informacao, TITULO_EXCLUSAO);
}

void FrmCapturaFoto::sair()
{
    paracamera();
    // Another tither shown there must not get this tither's photo.
    QWidget* cadastro = Janelas::instancia(QStringLiteral("frmcadastrodizimistas"));
    auto* codigo = cadastro ? cadastro->findChild<QLineEdit*>(QStringLiteral("txtcodigo")) : nullptr;
    if (codigo && codigo->text() == lblcodigo_->text())
        carregafotodizimista(cadastro, lblcodigo_->text());
    Janelas::fecha(QString::fromLatin1(NOME_JANELA));
}

void abrecapturafoto(const QString& codigo, const QString& nome)
{
    auto* janela = qobject_cast<FrmCapturaFoto*>(Janelas::abre(QString::fromLatin1(NOME_JANELA)));
    if (janela)
        janela->carregadizimista(codigo, nome);
}

}  // namespace tivane
