#include "core/frmaguarde.h"

#include "core/formularios.h"
#include "core/janelas.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tivane {

namespace {
const char* const NOME = "frmaguarde";
const char* const TITULO = "Aguarde ...";
constexpr int LARGURA = 360;
// The last of the windows that fechajanelas closes.
RegistroJanela reg(NOME, [] { return new FrmAguarde; }, Janelas::Independente, 7);
}  // namespace

FrmAguarde::FrmAguarde()
    // No title bar from the window manager: some (openbox) put minimize,
    // maximize and close buttons on every title bar whatever the window asks,
    // and a close button that does nothing makes a long wait look hung. The
    // window draws its caption and border itself.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QString::fromLatin1(NOME));
    setWindowTitle(QString::fromLatin1(TITULO));
    // Closing it while the main window is hidden must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    lbltitulo_ = new QLabel(QString::fromLatin1(TITULO), this);
    lbltitulo_->setObjectName(QStringLiteral("lbltitulo"));
    lbltitulo_->setAutoFillBackground(true);
    lbltitulo_->setBackgroundRole(QPalette::Highlight);
    lbltitulo_->setForegroundRole(QPalette::HighlightedText);
    lbltitulo_->setMargin(3);
    QFont negrito = lbltitulo_->font();
    negrito.setBold(true);
    lbltitulo_->setFont(negrito);

    auto* corpo = new QWidget(this);
    lblmensagem_ = new QLabel(corpo);
    lblmensagem_->setObjectName(QStringLiteral("lblmensagem"));
    lblmensagem_->setWordWrap(true);
    lblmensagem_->setAlignment(Qt::AlignCenter);
    lblmensagem_->hide();

    frame_ = new QFrame(corpo);
    frame_->setObjectName(QStringLiteral("Frame1"));
    frame_->setFrameShape(QFrame::StyledPanel);
    barra_ = new QProgressBar(frame_);
    barra_->setObjectName(QStringLiteral("ProgressBar"));
    barra_->setRange(0, 100);
    barra_->setValue(0);
    barra_->setTextVisible(false);

    auto* lf = new QVBoxLayout(frame_);
    lf->addWidget(barra_);
    auto* l = new QVBoxLayout(corpo);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(lblmensagem_);
    l->addWidget(frame_);
    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(1, 1, 1, 1);   // the border
    janela->setSpacing(0);
    janela->addWidget(lbltitulo_);
    janela->addWidget(corpo);
    mostraLegenda(QString::fromLatin1(TITULO));
}

void FrmAguarde::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Shadow));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void FrmAguarde::mostraLegenda(const QString& legenda)
{
    legenda_ = legenda;
    const bool texto = !legenda.isEmpty() && legenda != QLatin1String(TITULO);
    lblmensagem_->setText(texto ? legenda : QString());
    lblmensagem_->setVisible(texto);
    // Border, caption, then the text (when shown) above the bar's frame.
    const QLayout* corpo = lblmensagem_->parentWidget()->layout();
    const QMargins m = corpo->contentsMargins();
    int altura = 2 + lbltitulo_->sizeHint().height() + m.top() + frame_->sizeHint().height() + m.bottom();
    if (texto)
        altura += lblmensagem_->heightForWidth(LARGURA - 2 - m.left() - m.right()) + corpo->spacing();
    setFixedSize(LARGURA, altura);
}

FrmAguarde* FrmAguarde::atual()
{
    return qobject_cast<FrmAguarde*>(Janelas::instancia(QString::fromLatin1(NOME)));
}

void FrmAguarde::abre(const QString& legenda)
{
    FrmAguarde* w = qobject_cast<FrmAguarde*>(Janelas::carrega(QString::fromLatin1(NOME)));
    if (!w)
        return;
    w->mostraLegenda(legenda);
    w->barra_->setRange(0, 100);
    w->barra_->setValue(0);
    Janelas::abre(QString::fromLatin1(NOME));
}

void FrmAguarde::fecha()
{
    Janelas::fecha(QString::fromLatin1(NOME));
}

bool FrmAguarde::aberta()
{
    return atual() != nullptr;
}

QString FrmAguarde::legenda()
{
    FrmAguarde* w = atual();
    return w ? w->legenda_ : QString();
}

void FrmAguarde::defineMaximo(int maximo)
{
    FrmAguarde* w = atual();
    if (!w)
        return;
    const int m = qMax(1, maximo);
    const int v = qBound(0, w->barra_->value(), m);
    w->barra_->setRange(0, m);
    w->barra_->setValue(v);
}

void FrmAguarde::defineValor(int valor)
{
    if (FrmAguarde* w = atual())
        w->barra_->setValue(qBound(w->barra_->minimum(), valor, w->barra_->maximum()));
}

int FrmAguarde::valor()
{
    FrmAguarde* w = atual();
    return w ? w->barra_->value() : -1;
}

int FrmAguarde::maximo()
{
    FrmAguarde* w = atual();
    return w ? w->barra_->maximum() : -1;
}

void FrmAguarde::closeEvent(QCloseEvent* e)
{
    // Only its callers close it; the user cannot.
    if (e->spontaneous()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void FrmAguarde::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (centrada_)
        return;
    centrada_ = true;
    centralizanatela(this);
}

}  // namespace tivane
