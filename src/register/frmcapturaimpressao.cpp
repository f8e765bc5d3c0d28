#include "register/frmcapturaimpressao.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/teclas.h"
#include "register/dizimistas.h"
#include "register/frmcadastrodizimistas.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tivane {

namespace {

const char* const NOME_JANELA = "frmcapturaimpressao";
const QString QUEBRA = QStringLiteral("\r\n");

RegistroJanela reg(NOME_JANELA, [] { return new FrmCapturaImpressao; }, Janelas::Mdi);

// Arrow position over each finger, in twips inside the hands picture.
const int SETA_X[10] = {240, 600, 840, 1200, 1560, 2040, 2400, 2760, 3120, 3480};
const int SETA_Y[10] = {0, -120, -120, 0, 600, 600, 120, -120, -120, 120};
constexpr int SETA_LARGURA = 240;
constexpr int SETA_ALTURA = 360;
constexpr int DEDO_LARGURA = 230;
constexpr int DEDO_RECOMENDADO = 6;   // right index finger
constexpr int MAOS_LARGURA = 3960;
constexpr int MAOS_ALTURA = 2700;

const QColor PELE(0xF1, 0xC2, 0x7D);
const QColor CONTORNO(0x8A, 0x5A, 0x2B);

// Finger i of the picture, in twips: under its arrow, down into the palm.
QRect retangulodedo(int i)
{
    const int centro = SETA_X[i] + SETA_LARGURA / 2;
    const int ponta = SETA_Y[i] + SETA_ALTURA + 20;
    const bool polegar = i == 4 || i == 5;
    const int base = polegar ? ponta + 1050 : 1500;
    return QRect(centro - DEDO_LARGURA / 2, ponta, DEDO_LARGURA, base - ponta);
}

// One finger of the picture: draws itself and reports the mouse.
class Dedo : public QWidget {
public:
    Dedo(int indice, QWidget* pai, std::function<void(int)> aponta, std::function<void(int)> escolhe)
        : QWidget(pai), indice_(indice), aponta_(std::move(aponta)), escolhe_(std::move(escolhe))
    {
        setObjectName(QStringLiteral("cmddedo%1").arg(indice));
        setMouseTracking(true);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(CONTORNO, 1.2));
        p.setBrush(underMouse() ? PELE.lighter(115) : PELE);
        const QRectF r = QRectF(rect()).adjusted(0.8, 0.8, -0.8, -0.8);
        p.drawRoundedRect(r, r.width() / 2, r.width() / 2);
        // The nail.
        p.setBrush(PELE.lighter(130));
        p.drawRoundedRect(QRectF(r.left() + r.width() * 0.22, r.top() + 3, r.width() * 0.56, r.width() * 0.6), 3, 3);
    }
    void mouseMoveEvent(QMouseEvent*) override { aponta_(indice_); }
    void enterEvent(QEnterEvent*) override { update(); }
    void leaveEvent(QEvent*) override { update(); }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            escolhe_(indice_);
    }

private:
    int indice_;
    std::function<void(int)> aponta_;
    std::function<void(int)> escolhe_;
};

// The two palms; the fingers are child widgets over them.
class Maos : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const Twips t(this);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(CONTORNO, 1.2));
        p.setBrush(PELE);
        // Left hand (fingers 0 to 4), right hand (5 to 9): palm from the little
        // finger to the thumb, then a wrist.
        for (const QRect& palma : {t(200, 1350, 1560, 1150), t(2200, 1350, 1560, 1150)})
            p.drawRoundedRect(palma, t.x(240), t.y(240));
        for (const QRect& pulso : {t(450, 2400, 1000, 300), t(2500, 2400, 1000, 300)})
            p.drawRect(pulso);
    }
};

QPixmap seta(const QSize& tamanho)
{
    QPixmap pm(tamanho);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = tamanho.width(), h = tamanho.height();
    QPainterPath caminho;
    caminho.moveTo(w * 0.3, 0);
    caminho.lineTo(w * 0.7, 0);
    caminho.lineTo(w * 0.7, h * 0.55);
    caminho.lineTo(w, h * 0.55);
    caminho.lineTo(w / 2, h);
    caminho.lineTo(0, h * 0.55);
    caminho.lineTo(w * 0.3, h * 0.55);
    caminho.closeSubpath();
    p.setPen(QPen(Qt::darkRed, 1));
    p.setBrush(Qt::red);
    p.drawPath(caminho);
    return pm;
}

QLabel* rotulo(const QString& texto, QWidget* pai, const char* nome = nullptr)
{
    auto* l = new QLabel(texto, pai);
    if (nome)
        l->setObjectName(QString::fromLatin1(nome));
    return l;
}

}  // namespace

FrmCapturaImpressao::FrmCapturaImpressao()
    : leitor_(crialeitorimpressao())
{
    setObjectName(QString::fromLatin1(NOME_JANELA));
    setWindowTitle(QStringLiteral("Captura de Impressão Digital"));
    const Twips t(this);

    frameprincipal_ = new QGroupBox(QStringLiteral("Captura de Impressão Digital"), this);
    frameprincipal_->setObjectName(QStringLiteral("Frameprincipal"));
    auto* principal = new QVBoxLayout(frameprincipal_);
    principal->setSizeConstraint(QLayout::SetFixedSize);

    // Who is enrolled, and what the reader says.
    framenomecodigo_ = new QFrame(frameprincipal_);
    framenomecodigo_->setObjectName(QStringLiteral("Framenomecodigo"));
    framenomecodigo_->setFrameShape(QFrame::StyledPanel);
    auto* nomecodigo = new QVBoxLayout(framenomecodigo_);
    auto* linha = new QHBoxLayout;
    QFont negrito = font();
    negrito.setBold(true);
    negrito.setPointSizeF(negrito.pointSizeF() * 1.2);
    lblcodigo_ = rotulo(QStringLiteral("00001"), framenomecodigo_, "lblcodigo");
    lblnome_ = rotulo(QString(), framenomecodigo_, "lblnome");
    lblcodigo_->setFont(negrito);
    lblnome_->setFont(negrito);
    lblnome_->setMinimumWidth(t.x(4500));
    linha->addWidget(rotulo(QStringLiteral("Código:"), framenomecodigo_));
    linha->addWidget(lblcodigo_);
    linha->addSpacing(16);
    linha->addWidget(rotulo(QStringLiteral("Nome:"), framenomecodigo_));
    linha->addWidget(lblnome_, 1);
    nomecodigo->addLayout(linha);
    framestatus_ = new QFrame(framenomecodigo_);
    framestatus_->setObjectName(QStringLiteral("Framestatus"));
    framestatus_->setFrameShape(QFrame::NoFrame);
    auto* linhastatus = new QHBoxLayout(framestatus_);
    linhastatus->setContentsMargins(0, 0, 0, 0);
    auto* titulostatus = rotulo(QStringLiteral("Status"), framestatus_);
    titulostatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblstatus_ = rotulo(QStringLiteral("Pressione [ Iniciar Captura ]"), framestatus_, "lblstatus");
    lblstatus_->setWordWrap(true);
    lblstatus_->setMinimumHeight(t.y(500));
    lblstatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblstatus_->setStyleSheet(QStringLiteral("color: #00008b;"));
    linhastatus->addWidget(titulostatus);
    linhastatus->addWidget(lblstatus_, 1);
    nomecodigo->addWidget(framestatus_);
    principal->addWidget(framenomecodigo_);

    auto* meio = new QHBoxLayout;
    // The reader's last image.
    framesuprema_ = new QFrame(frameprincipal_);
    framesuprema_->setObjectName(QStringLiteral("Framesuprema"));
    auto* suprema = new QVBoxLayout(framesuprema_);
    pbimageframe_ = new QLabel(framesuprema_);
    pbimageframe_->setObjectName(QStringLiteral("pbImageFrame"));
    pbimageframe_->setFixedSize(t(0, 0, 2895, 2895).size());
    pbimageframe_->setAlignment(Qt::AlignCenter);
    pbimageframe_->setStyleSheet(QStringLiteral("background: white; border: 1px solid gray;"));
    suprema->addWidget(pbimageframe_);
    temposuprema_ = new QTimer(framesuprema_);
    temposuprema_->setObjectName(QStringLiteral("temposuprema"));
    temposuprema_->setInterval(1000);
    temposuprema_->setSingleShot(true);
    connect(temposuprema_, &QTimer::timeout, this, &FrmCapturaImpressao::capturaimpressaosuprema);
    framesuprema_->hide();
    meio->addWidget(framesuprema_);

    // The finger choice.
    frameselecionadedo_ = new QGroupBox(QStringLiteral("Selecione o dedo para iniciar a captura da impressão digital"),
                                        frameprincipal_);
    frameselecionadedo_->setObjectName(QStringLiteral("frameselecionadedo"));
    auto* selecao = new QVBoxLayout(frameselecionadedo_);
    picture1_ = new Maos(frameselecionadedo_);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setFixedSize(t(0, 0, MAOS_LARGURA, MAOS_ALTURA).size());
    for (int i = 0; i < 10; ++i) {
        auto* dedo = new Dedo(i, picture1_, [this](int n) { apontadedo(n); }, [this](int n) { escolhededo(n); });
        dedo->setGeometry(t(retangulodedo(i).x(), retangulodedo(i).y(), DEDO_LARGURA, retangulodedo(i).height()));
    }
    imgseta_ = new QLabel(picture1_);
    imgseta_->setObjectName(QStringLiteral("imgseta"));
    imgseta_->setGeometry(t(2400, 0, SETA_LARGURA, SETA_ALTURA));
    imgseta_->setPixmap(seta(imgseta_->size()));
    imgseta_->setAttribute(Qt::WA_TransparentForMouseEvents);
    selecao->addWidget(picture1_, 0, Qt::AlignHCenter);
    selecao->addWidget(rotulo(QStringLiteral("Aconselhável utilizar dedo indicator da mão direita."), frameselecionadedo_));
    lblrecomendado_ = rotulo(QStringLiteral("Recomendado"), frameselecionadedo_, "lblrecomendado");
    lblrecomendado_->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    selecao->addWidget(lblrecomendado_);
    selecao->addWidget(rotulo(QStringLiteral("Escolha o dedo a ser utilizado clicando sobre ele"), frameselecionadedo_));
    txtqualdedo_ = new QLineEdit(frameselecionadedo_);
    txtqualdedo_->setObjectName(QStringLiteral("txtqualdedo"));
    txtqualdedo_->setMaxLength(1);
    txtqualdedo_->hide();
    frameselecionadedo_->hide();
    meio->addWidget(frameselecionadedo_);
    principal->addLayout(meio);

    framecomandos_ = new QFrame(frameprincipal_);
    framecomandos_->setObjectName(QStringLiteral("framecomandos"));
    auto* comandos = new QHBoxLayout(framecomandos_);
    cmdcapturar_ = new QPushButton(QStringLiteral("&Iniciar Captura"), framecomandos_);
    cmdcapturar_->setObjectName(QStringLiteral("cmdcapturar"));
    cmdsair_ = new QPushButton(QStringLiteral("&Sair"), framecomandos_);
    cmdsair_->setObjectName(QStringLiteral("cmdsair"));
    for (QPushButton* b : {cmdcapturar_, cmdsair_}) {
        b->setMinimumSize(t.x(1800), t.y(600));
        comandos->addWidget(b);
    }
    principal->addWidget(framecomandos_);
    connect(cmdcapturar_, &QPushButton::clicked, this, &FrmCapturaImpressao::selecionadedo);
    connect(cmdsair_, &QPushButton::clicked, this, &FrmCapturaImpressao::sair);

    mantemframecentralizado(this);
}

FrmCapturaImpressao::~FrmCapturaImpressao()
{
    // The reader is shut down with its object; no answer may reach a window that is gone.
    if (leitor_)
        leitor_->cancela();
}

void FrmCapturaImpressao::status(const QString& texto)
{
    lblstatus_->setText(texto);
}

void FrmCapturaImpressao::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (iniciado_)
        return;
    iniciado_ = true;
    // After the window is on the screen, so the user sees it while the reader starts.
    QPointer<FrmCapturaImpressao> eu(this);
    QTimer::singleShot(0, this, [eu] {
        if (eu && !eu->saiu_)
            eu->inicializaleitorsuprema(QString());
    });
}

void FrmCapturaImpressao::framespadraocapturaimpressao()
{
    framenomecodigo_->show();
    framestatus_->show();
    framecomandos_->show();
    frameselecionadedo_->hide();
    if (tipoleitor_ == 1)
        framesuprema_->show();
    centralizaframe(this);
}

void FrmCapturaImpressao::selecionadedo()
{
    // A capture still waiting for a finger gives way to the new choice.
    interrompecaptura();
    frameprincipal_->show();
    frameselecionadedo_->show();
    framestatus_->hide();
    centralizaframe(this);
}

void FrmCapturaImpressao::interrompecaptura()
{
    temposuprema_->stop();
    ++execucao_;
    leitor_->cancela();
}

void FrmCapturaImpressao::apontadedo(int indice)
{
    if (indice < 0 || indice > 9)
        return;
    lblrecomendado_->hide();
    const Twips t(this);
    imgseta_->move(t.x(SETA_X[indice]), t.y(SETA_Y[indice]));
    if (indice == DEDO_RECOMENDADO)
        lblrecomendado_->show();
}

void FrmCapturaImpressao::escolhededo(int indice)
{
    framespadraocapturaimpressao();
    txtqualdedo_->setText(QString::number(indice));
    if (tipoleitor_ == 1) {
        status(QStringLiteral("Coloque o dedo no sensor"));
        temposuprema_->start();
    }
}

void FrmCapturaImpressao::inicializaleitorsuprema(const QString& prefixo)
{
    QString pasta = lertextopadrao(QStringLiteral("caminhoimpressao"));
    if (!pasta.isEmpty() && !pasta.endsWith(QLatin1Char('/')) && !pasta.endsWith(QLatin1Char('\\')))
        pasta += QLatin1Char('/');
    const QString caminho = pasta + prefixo.trimmed() + QString::fromLatin1(ARQUIVO_IMPRESSOES);
    if (!arquivoexiste(caminho)) {
        Dialogos::msgbox(QStringLiteral("Banco de dados de impressão digital Suprema não encontrado! (") + caminho
                             + QStringLiteral(")"),
                         Dialogos::Alerta);
        cmdcapturar_->setEnabled(false);
        return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    int s = leitor_->inicializa();
    QApplication::restoreOverrideCursor();
    if (s != LeitorOk) {
        status(QStringLiteral("UFS_Init: ") + leitor_->textoerro(s) + QUEBRA);
        return;
    }
    status(QStringLiteral("UFS_Init: OK") + QUEBRA);

    int quantidade = 0;
    s = leitor_->numeroleitores(&quantidade);
    if (s != LeitorOk) {
        status(QStringLiteral("UFS_GetScannerNumber: ") + leitor_->textoerro(s) + QUEBRA);
        return;
    }
    status(QStringLiteral("UFS_GetScannerNumber: ") + QString::number(quantidade) + QUEBRA);
    if (quantidade == 0) {
        // A reader that gives no images is there, but no use for enrolment.
        status((leitor_->leitoressemcaptura() > 0
                    ? QStringLiteral("Leitor encontrado, mas ele não captura imagens de impressões digitais!")
                    : QStringLiteral("Leitor não encontrado!"))
               + QUEBRA);
        return;
    }
    status(QStringLiteral("Leitor conectado") + QUEBRA);

    QPointer<FrmCapturaImpressao> eu(this);
    leitor_->abreleitor(0, [eu, caminho](int st) {
        if (!eu || eu->saiu_)
            return;
        if (st != LeitorOk) {
            eu->status(QStringLiteral("UFS_GetScannerHandle: ") + eu->leitor_->textoerro(st) + QUEBRA);
            return;
        }
        eu->tipoleitor_ = 1;
        eu->ligado_ = true;
        st = eu->leitor_->abrebanco(caminho);
        if (st != LeitorOk) {
            // Nothing can be stored: say so now rather than after a capture.
            const QString texto = eu->leitor_->textoerro(st);
            eu->status(QStringLiteral("UFD_Open: ") + texto + QUEBRA);
            eu->cmdcapturar_->setEnabled(false);
            Dialogos::msgbox(QStringLiteral("Não foi possível abrir o banco de dados de impressão digital (") + caminho
                                 + QStringLiteral("): ") + texto + QStringLiteral(". Nada foi gravado."),
                             Dialogos::Alerta);
            return;
        }
        eu->status(QStringLiteral("UFD_Open: OK") + QUEBRA);
        eu->status(QStringLiteral("Clique em [Iniciar Captura]"));
    });
}

void FrmCapturaImpressao::capturaimpressaosuprema()
{
    temposuprema_->stop();
    status(QStringLiteral("Coloque o dedo no leitor"));
    QPointer<FrmCapturaImpressao> eu(this);
    ExtractTemplateSuprema([eu](bool extraiu) {
        if (!eu || !extraiu)
            return;
        bool ok = false;
        const int dedo = eu->txtqualdedo_->text().toInt(&ok);
        const int s = eu->leitor_->adiciona(eu->lblcodigo_->text(), ok ? dedo : 0, eu->modelo_, eu->lblnome_->text());
        if (s == LeitorJaCadastrada)
            Dialogos::msgbox(QStringLiteral("Impressão Digital já cadastrada"), Dialogos::Informacao);
        else if (s != LeitorOk)
            eu->status(QStringLiteral("UFD_AddData: ") + eu->leitor_->textoerro(s) + QUEBRA);
    });
}

void FrmCapturaImpressao::ExtractTemplateSuprema(std::function<void(bool)> fim)
{
    ++execucao_;
    modelo_.clear();
    tentativas_ = 0;
    status(QStringLiteral("Coloque o dedo no leitor") + QUEBRA);
    capturaetapa(execucao_, std::move(fim));
}

void FrmCapturaImpressao::capturaetapa(int execucao, std::function<void(bool)> fim)
{
    QPointer<FrmCapturaImpressao> eu(this);
    leitor_->captura([eu, execucao, fim](int s) {
        if (!eu || execucao != eu->execucao_)
            return;
        if (s != LeitorOk) {
            eu->status(QStringLiteral("Leitor Inativo"));
            fim(false);
            return;
        }
        eu->leitor_->extrai([eu, execucao, fim](int st, const QByteArray& modelo) {
            if (!eu || execucao != eu->execucao_)
                return;
            if (st != LeitorOk) {
                eu->status(QStringLiteral("UFS_Extract: ") + eu->leitor_->textoerro(st) + QUEBRA);
                // A reader that keeps giving unusable images must not keep the user waiting forever.
                if (++eu->tentativas_ >= TENTATIVAS_EXTRACAO) {
                    eu->status(QStringLiteral("Leitor Inativo"));
                    fim(false);
                } else {
                    eu->capturaetapa(execucao, fim);
                }
                return;
            }
            eu->modelo_ = modelo;
            const QImage imagem = eu->leitor_->imagem();
            if (!imagem.isNull())
                eu->pbimageframe_->setPixmap(QPixmap::fromImage(
                    imagem.scaled(eu->pbimageframe_->size() - QSize(2, 2), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            Dialogos::msgbox(QStringLiteral("Impressão Capturada com sucesso!"), Dialogos::Informacao);
            if (!eu)
                return;
            eu->cmdsair_->setFocus();
            eu->status(QStringLiteral("Clique em [Sair]"));
            fim(true);
        });
    });
}

void FrmCapturaImpressao::finalizasensorsuprema()
{
    interrompecaptura();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int s = leitor_->finaliza();
    QApplication::restoreOverrideCursor();
    status(s == LeitorOk ? QStringLiteral("UFS_Uninit: OK") + QUEBRA
                         : QStringLiteral("UFS_Uninit: ") + leitor_->textoerro(s) + QUEBRA);
    if (ligado_) {
        status(s == LeitorOk ? QStringLiteral("Leitor desligado!") : QStringLiteral("Erro ao desligar leitor"));
        ligado_ = false;
    }
}

void FrmCapturaImpressao::encerra()
{
    if (saiu_)
        return;
    saiu_ = true;
    if (tipoleitor_ == 1)
        finalizasensorsuprema();
    else
        interrompecaptura();
    if (janelaativa() != QLatin1String("frmcadastrodizimistas"))
        return;
    // Only a tithers window that is open: a new one would show the code over an empty record.
    auto* cadastro = Janelas::instancia<FrmCadastroDizimistas>(QStringLiteral("frmcadastrodizimistas"));
    if (!cadastro)
        return;
    const QString codigo = lblcodigo_->text();
    auto* caixa = cadastro->findChild<QLineEdit*>(QStringLiteral("txtcodigo"));
    // The code alone would sit over another tither's data; show that tither whole.
    const Leitura existe =
        caixa && caixa->text() != codigo ? dizimistaexiste(codigo) : Leitura(Leitura::NaoEncontrado);
    if (existe == Leitura::Encontrado) {
        abredizimista(codigo);
        return;
    }
    if (existe == Leitura::Falha)
        Dialogos::avisaFalhaLeitura(QString(), existe.causa());
    Janelas::abre(QStringLiteral("frmcadastrodizimistas"));
}

void FrmCapturaImpressao::sair()
{
    encerra();
    if (Janelas::instancia(QString::fromLatin1(NOME_JANELA)) == this)
        Janelas::fecha(QString::fromLatin1(NOME_JANELA));
    else
        close();
}

void FrmCapturaImpressao::closeEvent(QCloseEvent* e)
{
    encerra();
    QWidget::closeEvent(e);
}

}  // namespace tivane
