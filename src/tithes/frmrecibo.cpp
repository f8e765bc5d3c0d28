#include "tithes/frmrecibo.h"


#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "tithes/pagamentos.h"

#include <QDateTime>
#include <QPrinter>
#include <QPrinterInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace tivane {

namespace {

QString& arquivoimpressao()
{
    static QString a;
    return a;
}


// The receipt itself, drawn by the same routine that prints it.
class AreaRecibo : public QWidget {
public:
    AreaRecibo(FrmRecibo* janela, QWidget* pai)
        : QWidget(pai)
        , janela_(janela)
    {
        setObjectName(QStringLiteral("Frameprincipal"));
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        desenharecibo(p, janela_->modelo());
    }

private:
    FrmRecibo* janela_;
};

RegistroJanela reg("frmrecibo", [] { return new FrmRecibo; }, Janelas::Independente);

}  // namespace

FrmRecibo::FrmRecibo(QWidget* pai)
    : QWidget(pai, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmrecibo"));
    setWindowTitle(QStringLiteral("Recibo"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    const Twips r(this);
    setFixedSize(tamanhorecibo(logicalDpiX(), logicalDpiY()));

    area_ = new AreaRecibo(this, this);
    area_->setGeometry(rect());

    opcoes_ = new QGroupBox(QStringLiteral("Opções"), this);
    opcoes_->setObjectName(QStringLiteral("Frameopcoes"));
    opcoes_->setGeometry(r(8880, 0, 2175, 3375));
    opcoes_->setAutoFillBackground(true);

    auto* imprimir = new QPushButton(QStringLiteral("&Imprimir"), opcoes_);
    imprimir->setObjectName(QStringLiteral("cmdimprime"));
    imprimir->setGeometry(r(480, 480, 975, 1095));
    auto* parar = new QPushButton(QStringLiteral("&Sair"), opcoes_);
    parar->setObjectName(QStringLiteral("Cmdparar"));
    parar->setGeometry(r(480, 1560, 975, 1095));
    tempo_ = new QLabel(QStringLiteral("5"), opcoes_);
    tempo_->setObjectName(QStringLiteral("lbltempoparaimprimir"));
    tempo_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    tempo_->setGeometry(r(1560, 240, 255, 255));

    temposair_ = new QTimer(this);
    temposair_->setObjectName(QStringLiteral("temposair"));
    temposair_->setInterval(1000);
    tempoimprimir_ = new QTimer(this);
    tempoimprimir_->setObjectName(QStringLiteral("timertempoparaimprimir"));
    tempoimprimir_->setInterval(1000);

    connect(imprimir, &QPushButton::clicked, this, &FrmRecibo::imprime);
    connect(parar, &QPushButton::clicked, this, &FrmRecibo::sair);
    connect(temposair_, &QTimer::timeout, this, [this] { tique(false); });
    connect(tempoimprimir_, &QTimer::timeout, this, [this] { tique(true); });
    // Shown where it stays, not at the corner a window manager gives a frameless window.
    centralizanatela(this);
}

void FrmRecibo::defineModelo(const ModeloRecibo& modelo)
{
    modelo_ = modelo;
    area_->update();
}

void FrmRecibo::pergunta()
{
    const int r = Dialogos::msgbox(QStringLiteral("Deseja Imprimir o Recibo Atual ?"), Dialogos::Pergunta);
    // The question hands the focus back to the main window: bring the receipt
    // forward again, in the middle of the screen.
    centralizanatela(this);
    raise();
    activateWindow();
    if (r == Dialogos::Sim)
        tempoimprimir_->start();
    else
        temposair_->start();
}

void FrmRecibo::tique(bool paraimprimir)
{
    if (imprimindo_)
        return;
    const int resta = tempo_->text().toInt() - 1;
    tempo_->setText(QString::number(resta));
    if (resta > 0)
        return;
    if (paraimprimir)
        imprime();
    else
        sair();
}

void FrmRecibo::conclui()
{
    if (tempoimprimir_->isActive())
        imprime();
    else
        sair();
}

void FrmRecibo::imprime()
{
    if (imprimindo_)
        return;
    // Timers go on firing inside the printer dialog: stop the countdown first.
    imprimindo_ = true;
    temposair_->stop();
    tempoimprimir_->stop();
    opcoes_->hide();
    imprimeformulariorecibo(modelo_, this);
    close();
}

void FrmRecibo::sair()
{
    temposair_->stop();
    tempoimprimir_->stop();
    close();
}

void defineimpressaoarquivo(const QString& arquivopdf)
{
    arquivoimpressao() = arquivopdf;
}

bool imprimeformulariorecibo(const ModeloRecibo& modelo, QWidget* pai)
{
    const QString arquivo = arquivoimpressao();
    // Any installed printer will do; without a default one the first is offered.
    const bool semPadrao = QPrinterInfo::defaultPrinter().isNull();
    const QStringList instaladas = semPadrao ? QPrinterInfo::availablePrinterNames() : QStringList();
    if (arquivo.isEmpty() && semPadrao && instaladas.isEmpty()) {
        Dialogos::msgbox(QStringLiteral("Impressora Padrão não localizada ou não instalada!"), Dialogos::Alerta);
        return false;
    }
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setDocName(nomedocumento(QStringLiteral("Recibo ") + modelo.codigo));
    if (!arquivo.isEmpty()) {
        impressora.setOutputFormat(QPrinter::PdfFormat);
        impressora.setOutputFileName(arquivo);
    } else if (semPadrao) {
        impressora.setPrinterName(instaladas.first());
    }
    if (!Dialogos::dialogoImpressora(&impressora, pai, QStringLiteral("Selecione Impressora")))
        return false;
    if (!imprimerecibo(modelo, &impressora)) {
        Dialogos::msgbox(QStringLiteral("Não foi possível imprimir o recibo ") + modelo.codigo
                             + QStringLiteral(". Verifique a impressora."),
                         Dialogos::Alerta);
        return false;
    }
    return true;
}

bool emiterecibo(const QString& codigo, bool segundavia)
{
    const Leitura lida = mostrarecibo(codigo, segundavia);
    switch (lida) {
    case Leitura::Encontrado:
        return true;
    case Leitura::NaoEncontrado:
        Dialogos::msgbox(QStringLiteral("Recibo não encontrado"), Dialogos::Alerta);
        return false;
    case Leitura::Falha:
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o recibo ") + codigo, lida.causa());
        return false;
    }
    return false;
}

Leitura mostrarecibo(const QString& codigo, bool segundavia)
{
    ModeloRecibo m;
    const Leitura lida = montarecibo(codigo, &m);
    if (lida != Leitura::Encontrado)
        return lida;
    m.segundavia = segundavia;
    // A receipt still open finishes what it was counting down to before the new one appears.
    if (auto* anterior = Janelas::instancia<FrmRecibo>(QStringLiteral("frmrecibo")))
        anterior->conclui();
    auto* f = qobject_cast<FrmRecibo*>(Janelas::carrega(QStringLiteral("frmrecibo")));
    if (!f)
        return Leitura::falha(QStringLiteral("a janela do recibo não pôde ser aberta"));
    f->defineModelo(m);
    Janelas::abre(QStringLiteral("frmrecibo"));
    f->pergunta();
    return Leitura::Encontrado;
}

bool estornarecibo(const QString& codigo)
{
    bool falhouleitura = false;
    const Gravacao feito = estornapagamento(codigo, &falhouleitura);
    if (feito == Gravacao::Falha) {
        if (falhouleitura)
            Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o recibo ") + codigo, feito.causa());
        else
            Dialogos::avisaFalhaGravacao(QStringLiteral("Não foi possível estornar o recibo ") + codigo, feito.causa());
    }
    return feito == Gravacao::Gravado;
}

namespace {
// Asks for a receipt code; empty when cancelled, when no receipt has it or when
// the table could not be read (both said so).
QString pedecodigorecibo(const QString& pergunta)
{
    const QString codigo = Dialogos::inputbox(pergunta, QStringLiteral("Tivane Dízimos"));
    if (codigo.isEmpty())
        return codigo;
    const Leitura existe = reciboexiste(codigo);
    switch (existe) {
    case Leitura::Encontrado:
        return codigo;
    case Leitura::NaoEncontrado:
        Dialogos::msgbox(QStringLiteral("Recibo não encontrado com o código ") + codigo + QStringLiteral(" !"), Dialogos::Informacao);
        return QString();
    case Leitura::Falha:
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível procurar o recibo ") + codigo, existe.causa());
        return QString();
    }
    return QString();
}
}  // namespace

void promptestornorecibo()
{
    const QString codigo =
        pedecodigorecibo(QStringLiteral("Digite o Código do Recibo  a ser estornado (Excluir):\nFormato:  00000/00"));
    if (!codigo.isEmpty() && estornarecibo(codigo))
        Dialogos::msgbox(QStringLiteral("Recibo ") + codigo + QStringLiteral(" estornado com sucesso!"), Dialogos::Informacao);
}

void promptsegundaviarecibo()
{
    const QString codigo =
        pedecodigorecibo(QStringLiteral("Digite o Código do Recibo para emitir Segunda Via:\nFormato:  00000/00"));
    if (!codigo.isEmpty())
        emiterecibo(codigo, true);
}

namespace {
RegistroComando cmdestorno("mnuestorno", [] { promptestornorecibo(); });
RegistroComando cmdsegundavia("mnusegundaviarecibo", [] { promptsegundaviarecibo(); });
}  // namespace

}  // namespace tivane
