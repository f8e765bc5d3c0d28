#include "tithes/frmfolhaderelatorio.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "tithes/email.h"
#include "tithes/visortexto.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tivane {

namespace {

RegistroJanela reg("frmfolhaderelatorio", [] { return new FrmFolhaDeRelatorio; }, Janelas::Maximizada);

constexpr int COLUNAS_RELATORIO = 98;   // a rule, the longest line of every report
const char* const SEM_IMPRESSORA = "Impressora Padrão não localizada ou não instalada!";

QFont fonteRelatorio(double pontos)
{
    // Liberation Mono has the metrics of Courier New.
    QFont f(QStringLiteral("Courier New"));
    f.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"), QStringLiteral("Monospace")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setBold(false);
    f.setPointSizeF(pontos);
    return f;
}

QString pastarelatorios()
{
    const QString pasta = retornacaminhopadrao() + QStringLiteral("relatorios");
    QDir().mkpath(pasta);
    return pasta;
}

// Bytes 0x80 to 0x9F of Windows-1252; the rest is Latin-1.
const char16_t CP1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                             0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                             0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The window system shows and activates a new window a little later; until
// then the window in front (the main window) keeps the focus, and a message
// shown at once would belong to it and bring it over the page. Waits a moment
// for the page to come to the front.
void poenafrente(QWidget* janela)
{
    janela->raise();
    janela->activateWindow();
    if (QApplication::activeWindow() == janela || !janela->windowHandle())
        return;
    QEventLoop espera;
    QTimer limite;
    limite.setSingleShot(true);
    QObject::connect(&limite, &QTimer::timeout, &espera, &QEventLoop::quit);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &espera, [&espera, alvo = QPointer<QWidget>(janela)] {
        if (!alvo || QApplication::activeWindow() == alvo)
            espera.quit();
    });
    limite.start(500);
    espera.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

// ---- Files and printing -------------------------------------------------------

QStringList linhasdotexto(const QString& texto)
{
    QStringList linhas;
    int inicio = 0;
    const int n = texto.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = texto.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        linhas.append(texto.mid(inicio, i - inicio));
        if (c == u'\r' && i + 1 < n && texto.at(i + 1) == u'\n')
            ++i;
        inicio = i + 1;
    }
    if (inicio < n)
        linhas.append(texto.mid(inicio));
    return linhas;
}

namespace {

// The text of a file as the page opens it: a line break before each line,
// every break CRLF. Decoded straight into the one string it returns, which is
// made large enough up front, so a large file needs little more than itself.
QString textodoarquivo(const QByteArray& bytes)
{
    const char* b = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype soltas = 0;  // breaks that grow by one character
    for (qsizetype i = 0; i < n; ++i)
        if ((b[i] == '\r' && (i + 1 == n || b[i + 1] != '\n')) || (b[i] == '\n' && (i == 0 || b[i - 1] != '\r')))
            ++soltas;
    QString r;
    // UTF-8 never gives more characters than bytes, Windows-1252 one per byte.
    r.resize(2 + soltas + n);
    QChar* base = r.data();
    qsizetype leitura = 2 + soltas;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar* fim = utf8.appendToBuffer(base + leitura, bytes);
    if (utf8.hasError()) {
        for (qsizetype i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(b[i]);
            base[leitura + i] = (c >= 0x80 && c < 0xA0) ? QChar(CP1252[c - 0x80]) : QChar(c);
        }
        fim = base + leitura + n;
    } else if (fim > base + leitura && base[leitura] == QChar(0xFEFF)) {
        ++leitura;
    }
    const qsizetype total = fim - base;
    if (leitura == total)
        return QString();
    // Written from the front: the writing never overtakes the reading.
    base[0] = u'\r';
    base[1] = u'\n';
    qsizetype escrita = 2;
    for (qsizetype i = leitura; i < total; ++i) {
        const QChar c = base[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < total && base[i + 1] == u'\n')
                ++i;
            base[escrita++] = u'\r';
            base[escrita++] = u'\n';
        } else {
            base[escrita++] = c;
        }
    }
    // No line follows a final break.
    if (escrita > 2 && base[escrita - 1] == u'\n')
        escrita -= 2;
    r.truncate(escrita);
    return r;
}

}  // namespace

bool lerarquivorelatorio(const QString& caminho, QString* texto, QString* erro)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly)) {
        if (erro)
            *erro = f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (erro)
            *erro = f.errorString();
        return false;
    }
    if (texto)
        *texto = textodoarquivo(bytes);
    return true;
}

bool gravaarquivorelatorio(const QString& caminho, const QString& texto, QString* erro)
{
    QString t = texto;
    // One kind of line break in the file, whatever the text box gave back.
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    t.replace(u'\n', QStringLiteral("\r\n"));
    t += QStringLiteral("\r\n");
    QSaveFile f(caminho);
    if (!f.open(QIODevice::WriteOnly)) {
        if (erro)
            *erro = f.errorString();
        return false;
    }
    const QByteArray bytes = t.toUtf8();
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        if (erro)
            *erro = f.errorString();
        f.cancelWriting();
        return false;
    }
    return true;
}

int imprimetexto(QPrinter* impressora, const QString& texto)
{
    if (!impressora)
        return -1;
    QPainter p;
    if (!p.begin(impressora))
        return -1;
    const QFont fonte(fonteRelatorio(8), impressora);
    p.setFont(fonte);
    const QFontMetricsF m(fonte, impressora);
    const QRectF pagina = impressora->pageRect(QPrinter::DevicePixel);
    const double altura = m.lineSpacing();
    const int porPagina = qMax(1, int((pagina.height() - m.descent()) / altura));
    const QStringList linhas = linhasdotexto(texto);
    int paginas = 1;
    int naPagina = 0;
    for (const QString& linha : linhas) {
        if (naPagina == porPagina) {
            if (!impressora->newPage())
                break;
            ++paginas;
            naPagina = 0;
        }
        // The painter's origin is the top-left of the printable area.
        p.drawText(QPointF(0, naPagina * altura + m.ascent()), linha);
        ++naPagina;
    }
    p.end();
    return paginas;
}

// ---- The window -------------------------------------------------------------------

FrmFolhaDeRelatorio::FrmFolhaDeRelatorio()
{
    setObjectName(QStringLiteral("frmfolhaderelatorio"));
    setWindowTitle(QStringLiteral("Relatórios Tivane Dízimos"));

    const Twips r(this);

    barrarelatorio_ = new QToolBar(this);
    barrarelatorio_->setObjectName(QStringLiteral("barrarelatorio"));
    barrarelatorio_->setIconSize(QSize(32, 32));
    barrarelatorio_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    barrarelatorio_->setMovable(false);
    const auto botao = [&](const char* nome, const QString& legenda, QStyle::StandardPixmap icone, auto metodo) {
        QAction* a = barrarelatorio_->addAction(style()->standardIcon(icone), legenda);
        a->setObjectName(QString::fromLatin1(nome));
        connect(a, &QAction::triggered, this, metodo);
        return a;
    };
    botao("Abrir", QStringLiteral("Abrir"), QStyle::SP_DialogOpenButton, &FrmFolhaDeRelatorio::abrir);
    barrarelatorio_->addSeparator();
    botao("Salvar", QStringLiteral("Salvar"), QStyle::SP_DialogSaveButton, &FrmFolhaDeRelatorio::salvar);
    botao("Editar", QStringLiteral("Editar"), QStyle::SP_FileDialogDetailedView, &FrmFolhaDeRelatorio::editar);
    barrarelatorio_->addSeparator();
    botao("Imprimir", QStringLiteral("Imprimir"), QStyle::SP_FileIcon, &FrmFolhaDeRelatorio::botaoimprimir);
    botao("Enviar", QStringLiteral("Enviar"), QStyle::SP_ArrowForward, &FrmFolhaDeRelatorio::enviar);
    barrarelatorio_->addSeparator();
    botao("Sair", QStringLiteral("Sair"), QStyle::SP_DialogCloseButton, &FrmFolhaDeRelatorio::sair);

    // The frame sits below the toolbar, in a body that centres it.
    auto* corpo = new QWidget(this);
    corpo->setObjectName(QStringLiteral("corpo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(barrarelatorio_);
    layout->addWidget(corpo, 1);

    frame_ = new QGroupBox(QStringLiteral("Relatório Tivane Dízimos"), corpo);
    frame_->setObjectName(QStringLiteral("Frameprincipal"));
    QFont titulo(QStringLiteral("Liberation Serif"));
    titulo.setStyleHint(QFont::Serif);
    titulo.setPointSize(12);
    titulo.setBold(true);
    frame_->setFont(titulo);
    QPalette pf = frame_->palette();
    pf.setColor(QPalette::WindowText, pf.color(QPalette::Highlight));
    frame_->setPalette(pf);

    // Report lines are laid out in fixed columns and never wrap. The box is
    // at least as wide as the longest report line (a rule), beside a vertical
    // scroll bar, whatever the screen's resolution makes of its twips.
    txtrelatorio_ = new VisorTexto(frame_);
    txtrelatorio_->setObjectName(QStringLiteral("txtrelatorio"));
    txtrelatorio_->setFont(fonteRelatorio(9));
    txtrelatorio_->setReadOnly(true);
    const int largura = qMax(r.x(10695), txtrelatorio_->larguraParaColunas(COLUNAS_RELATORIO));
    txtrelatorio_->setGeometry(r.x(240), r.y(960), largura, r.y(6015));
    frame_->setGeometry(r.x(120), 0, largura + 2 * r.x(240), r.y(7335));

    tempoimprime_ = new QTimer(this);
    tempoimprime_->setObjectName(QStringLiteral("tempoimprime"));
    tempoimprime_->setInterval(2000);
    tempoimprime_->setSingleShot(true);
    connect(tempoimprime_, &QTimer::timeout, this, &FrmFolhaDeRelatorio::imprimir);

    mantemframecentralizado(corpo);
}

FrmFolhaDeRelatorio::~FrmFolhaDeRelatorio()
{
    // A year of receipts is tens of megabytes: give them back to the system now,
    // not only when the allocator happens to.
    txtrelatorio_->defineTexto(TextoCompacto());
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

QPrinter* FrmFolhaDeRelatorio::impressora()
{
    if (!impressora_) {
        impressora_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        impressora_->setDocName(windowTitle());
    }
    return impressora_.get();
}

QString FrmFolhaDeRelatorio::texto() const
{
    return txtrelatorio_->texto();
}

void FrmFolhaDeRelatorio::definetexto(const TextoCompacto& texto)
{
    txtrelatorio_->defineTexto(texto);
}

void FrmFolhaDeRelatorio::abrir()
{
    const QString caminho = Dialogos::abrirArquivo(QString(), pastarelatorios(),
                                                   QStringLiteral("Arquivos texto (*.txt);;Todos os arquivos (*)"));
    if (caminho.isEmpty())
        return;
    QString texto, erro;
    if (!lerarquivorelatorio(caminho, &texto, &erro)) {
        Dialogos::msgbox(QStringLiteral("Não foi possível abrir o arquivo \"%1\": %2").arg(caminho, erro), Dialogos::Alerta);
        return;
    }
    definetexto(TextoCompacto());
    definetexto(texto);
}

void FrmFolhaDeRelatorio::salvar()
{
    const QString sugestao =
        pastarelatorios() + QStringLiteral("/relat") + QDate::currentDate().toString(QStringLiteral("ddMM")) +
        QStringLiteral(".txt");
    QString caminho = Dialogos::salvarArquivo(QStringLiteral("Salvando em arquivo texto"), sugestao,
                                              QStringLiteral("Arquivos texto (*.txt)"));
    if (caminho.isEmpty())
        return;
    if (QFileInfo(caminho).suffix().isEmpty())
        caminho += QStringLiteral(".txt");
    QString erro;
    if (!gravaarquivorelatorio(caminho, texto(), &erro)) {
        Dialogos::msgbox(
            QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2. O relatório continua na tela.").arg(caminho, erro),
            Dialogos::Alerta);
        return;
    }
    Dialogos::msgbox(QStringLiteral("Arquivo Gravado com Sucesso!"), Dialogos::Informacao);
}

void FrmFolhaDeRelatorio::editar()
{
    txtrelatorio_->setReadOnly(false);
}

void FrmFolhaDeRelatorio::botaoimprimir()
{
    if (!leropcaotivane(QStringLiteral("31"))) {
        imprimir();
        return;
    }
    // A cancelled printer dialog prints nothing.
    if (Dialogos::dialogoImpressora(impressora(), this))
        tempoimprime_->start();
}

void FrmFolhaDeRelatorio::imprimir()
{
    tempoimprime_->stop();
    QPrinter* p = impressora();
    // Nowhere to print: no printer at all, or a file printer without a file
    // (what Qt gives when the system has no printing service).
    const bool semdestino = p->outputFileName().isEmpty() &&
                            (p->outputFormat() == QPrinter::PdfFormat ||
                             (p->printerName().isEmpty() && QPrinterInfo::defaultPrinter().isNull()));
    if (semdestino || imprimetexto(p, texto()) < 0) {
        // A printer that failed to start refuses every later change: the next
        // print (and the printer dialog) starts from a fresh one.
        impressora_.reset();
        Dialogos::msgbox(QString::fromUtf8(SEM_IMPRESSORA), Dialogos::Informacao);
    }
}

void FrmFolhaDeRelatorio::justifica(int, int)
{
    // Every line is a paragraph of its own that never wraps, and the last line
    // of a justified paragraph stays as it is: nothing moves on the page.
    txtrelatorio_->defineCursor(0);
}

void FrmFolhaDeRelatorio::enviar()
{
    const QString anexo = retornacaminhopadrao() + QStringLiteral("QuardaDigital.txt");
    QString erro;
    if (!gravaarquivorelatorio(anexo, texto(), &erro)) {
        Dialogos::msgbox(QStringLiteral("Não foi possível gravar o arquivo \"%1\" para o e-mail: %2").arg(anexo, erro),
                         Dialogos::Alerta);
        return;
    }
    const QString endereco = Dialogos::inputbox(QStringLiteral("Digite o e-mail do destinatário :")).trimmed();
    if (endereco.isEmpty())
        return;
    const int status = enviaemail(QStringLiteral("Tivane Dízimos - Envio de Relatório"), endereco, QString(), QString(),
                                  anexo, QStringLiteral("Segue em anexo Arquivo com marcações do Tivane Dízimos"));
    avisaemail(status, anexo);
}

void FrmFolhaDeRelatorio::sair()
{
    tempoimprime_->stop();
    Janelas::fecha(QStringLiteral("frmfolhaderelatorio"));
}

FrmFolhaDeRelatorio* exibefolhaderelatorio(const TextoCompacto& texto)
{
    auto* f = qobject_cast<FrmFolhaDeRelatorio*>(Janelas::abre(QStringLiteral("frmfolhaderelatorio")));
    if (!f)
        return nullptr;
    f->Frameprincipal()->setVisible(true);
    f->definetexto(TextoCompacto());   // the last text's memory goes back first
    f->definetexto(texto);
    poenafrente(f);
    return f;
}

}  // namespace tivane
