// The report page: showing a text, saving and opening files, printing with
// and without the printer dialog, pagination, e-mail and justification.
#include "testsupport.h"

#include <QAction>
#include <QGroupBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "tithes/frmfolhaderelatorio.h"

using namespace tivane;

namespace {

const QString TEXTO = QStringLiteral("\r\n\r\n--------\r\nIgreja:        : Paróquia São José\r\n"
                                     "01/03/2024      \r\n                JOÃO          10,00\r\n--------");

QByteArray leArquivo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escreveArquivo(const QString& caminho, const QByteArray& bytes)
{
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Pages of a PDF written by Qt.
int paginasPdf(const QString& caminho)
{
    const QByteArray pdf = leArquivo(caminho);
    return pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page ") +
           pdf.count("/Type /Page/") + pdf.count("/Type /Page>");
}

void acao(FrmFolhaDeRelatorio* f, const char* nome)
{
    QAction* a = f->findChild<QAction*>(QString::fromLatin1(nome));
    QVERIFY2(a, nome);
    a->trigger();
}

}  // namespace

class TstFolhaDeRelatorio : public QObject {
    Q_OBJECT

private:
    QString dados_;
    FrmFolhaDeRelatorio* pagina();

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exibeESubstituiOTexto();
    void salvaEAbreDeNovo();
    void salvarQueFalhaNaoDizQueGravou();
    void abreArquivosDoSistemaAntigo();
    void editar();
    void imprimeSemDialogo();
    void imprimeDepoisDoDialogo();
    void semImpressora();
    void paginacao();
    void enviaPorEmail();
    void justificacao();
};

void TstFolhaDeRelatorio::initTestCase()
{
    dados_ = teste::criaBancoTeste();
}

void TstFolhaDeRelatorio::init()
{
    Dialogos::limpa();
}

void TstFolhaDeRelatorio::cleanup()
{
    Janelas::fecha("frmfolhaderelatorio");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "False");
}

FrmFolhaDeRelatorio* TstFolhaDeRelatorio::pagina()
{
    return exibefolhaderelatorio(TEXTO);
}

void TstFolhaDeRelatorio::exibeESubstituiOTexto()
{
    FrmFolhaDeRelatorio* f = pagina();
    QVERIFY(f);
    QCOMPARE(Janelas::instancia("frmfolhaderelatorio"), static_cast<QWidget*>(f));
    QVERIFY(f->isVisible());
    QVERIFY(f->isMaximized());
    QCOMPARE(f->windowTitle(), QString("Relatórios Tivane Dízimos"));
    QVERIFY(f->Frameprincipal()->isVisible());
    QVERIFY(f->txtrelatorio()->isReadOnly());
    QCOMPARE(f->texto(), TEXTO);
    QVERIFY(f->txtrelatorio()->font().fixedPitch());

    // The same page takes the next report.
    FrmFolhaDeRelatorio* outra = exibefolhaderelatorio("segundo\r\nrelatório");
    QCOMPARE(outra, f);
    QCOMPARE(f->texto(), QString("segundo\r\nrelatório"));

    acao(f, "Sair");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Janelas::instancia("frmfolhaderelatorio"));
}

void TstFolhaDeRelatorio::salvaEAbreDeNovo()
{
    FrmFolhaDeRelatorio* f = pagina();
    const QString caminho = dados_ + "relatorios/marco";
    Dialogos::respondeTexto(caminho);
    acao(f, "Salvar");
    const Dialogos::Registro dialogo = Dialogos::registros("salvar").value(0);
    QCOMPARE(dialogo.texto, QString("Salvando em arquivo texto"));
    QCOMPARE(dialogo.titulo,
             dados_ + "relatorios/relat" + QDate::currentDate().toString("ddMM") + ".txt");
    QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Arquivo Gravado com Sucesso!"));
    QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
    // The default extension is added; CRLF, UTF-8 and a final line break.
    QCOMPARE(leArquivo(caminho + ".txt"), (TEXTO + "\r\n").toUtf8());

    // Opening gives the text back with one more empty line at the top.
    exibefolhaderelatorio("outro");
    Dialogos::respondeTexto(caminho + ".txt");
    acao(f, "Abrir");
    QCOMPARE(Dialogos::ultimo("abrir").titulo, dados_ + "relatorios");
    QCOMPARE(f->texto(), "\r\n" + TEXTO);

    // Cancelling either dialog changes nothing.
    Dialogos::limpa();
    acao(f, "Salvar");
    acao(f, "Abrir");
    QVERIFY(Dialogos::registros("msgbox").isEmpty());
    QCOMPARE(f->texto(), "\r\n" + TEXTO);
}

void TstFolhaDeRelatorio::salvarQueFalhaNaoDizQueGravou()
{
    FrmFolhaDeRelatorio* f = pagina();
    Dialogos::respondeTexto(dados_ + "pasta/que/nao/existe/r.txt");
    acao(f, "Salvar");
    QCOMPARE(Dialogos::registros("msgbox").size(), 1);
    QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível gravar o arquivo"));
    QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);

    // A file that cannot be read leaves the text as it was.
    Dialogos::limpa();
    Dialogos::respondeTexto(dados_ + "nao-existe.txt");
    acao(f, "Abrir");
    QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível abrir o arquivo"));
    QCOMPARE(f->texto(), TEXTO);
}

void TstFolhaDeRelatorio::abreArquivosDoSistemaAntigo()
{
    // Windows-1252 with CRLF: "Paróquia – 10,00 €" and a second line.
    const QString antigo = dados_ + "antigo.txt";
    escreveArquivo(antigo, QByteArray("Par\xF3quia \x96 10,00 \x80\r\nDIZIMSTA: JO\xC3O\r\n"));
    QString texto;
    QVERIFY(lerarquivorelatorio(antigo, &texto));
    QCOMPARE(texto, QString("\r\nParóquia – 10,00 €\r\nDIZIMSTA: JOÃO"));

    // UTF-8 with a BOM and LF line breaks; no final break.
    escreveArquivo(antigo, QByteArray("\xEF\xBB\xBFJo\xC3\xA3o\nMaria"));
    QVERIFY(lerarquivorelatorio(antigo, &texto));
    QCOMPARE(texto, QString("\r\nJoão\r\nMaria"));

    // Empty lines inside are kept; an empty file gives an empty text.
    escreveArquivo(antigo, QByteArray("a\r\n\r\nb\r\n"));
    QVERIFY(lerarquivorelatorio(antigo, &texto));
    QCOMPARE(texto, QString("\r\na\r\n\r\nb"));
    escreveArquivo(antigo, QByteArray());
    QVERIFY(lerarquivorelatorio(antigo, &texto));
    QCOMPARE(texto, QString(""));
}

void TstFolhaDeRelatorio::editar()
{
    FrmFolhaDeRelatorio* f = pagina();
    acao(f, "Editar");
    QVERIFY(!f->txtrelatorio()->isReadOnly());
    f->txtrelatorio()->setFocus();
    QTest::keyClick(f->txtrelatorio(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(f->txtrelatorio(), "!");
    QVERIFY(f->texto().endsWith("--------!"));
    QVERIFY(f->texto().contains("\r\nIgreja:"));
}

void TstFolhaDeRelatorio::imprimeSemDialogo()
{
    FrmFolhaDeRelatorio* f = pagina();
    const QString pdf = dados_ + "impressao1.pdf";
    f->impressora()->setOutputFormat(QPrinter::PdfFormat);
    f->impressora()->setOutputFileName(pdf);
    acao(f, "Imprimir");
    QVERIFY(Dialogos::registros("impressora").isEmpty());
    QVERIFY(Dialogos::registros("msgbox").isEmpty());
    QCOMPARE(paginasPdf(pdf), 1);
}

void TstFolhaDeRelatorio::imprimeDepoisDoDialogo()
{
    QVERIFY(gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "True"));
    FrmFolhaDeRelatorio* f = pagina();
    const QString pdf = dados_ + "impressao2.pdf";
    f->impressora()->setOutputFormat(QPrinter::PdfFormat);
    f->impressora()->setOutputFileName(pdf);

    // Cancelled: nothing is printed.
    acao(f, "Imprimir");
    QCOMPARE(Dialogos::registros("impressora").size(), 1);
    QVERIFY(!f->tempoimprime()->isActive());

    // Accepted: printed two seconds later.
    Dialogos::respondeImpressora(true);
    acao(f, "Imprimir");
    QVERIFY(f->tempoimprime()->isActive());
    QCOMPARE(f->tempoimprime()->interval(), 2000);
    QVERIFY(!QFile::exists(pdf));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pdf), 5000);
    QVERIFY(!f->tempoimprime()->isActive());
    QTRY_COMPARE(paginasPdf(pdf), 1);
}

void TstFolhaDeRelatorio::semImpressora()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a default printer");
    FrmFolhaDeRelatorio* f = pagina();
    acao(f, "Imprimir");
    QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Impressora Padrão não localizada ou não instalada!"));
    QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
}

void TstFolhaDeRelatorio::paginacao()
{
    QStringList linhas;
    for (int i = 1; i <= 400; ++i)
        linhas << QString("linha %1 ").arg(i) + QString(90, u'x');
    const QString pdf = dados_ + "paginas.pdf";
    QPrinter p(QPrinter::HighResolution);
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(pdf);
    p.setPageSize(QPageSize(QPageSize::A4));
    const int paginas = imprimetexto(&p, linhas.join("\r\n"));
    // Courier New 8 on A4: between 60 and 90 lines a page.
    QVERIFY2(paginas >= 5 && paginas <= 7, qPrintable(QString::number(paginas)));
    QCOMPARE(paginasPdf(pdf), paginas);

    QPrinter q(QPrinter::HighResolution);
    q.setOutputFormat(QPrinter::PdfFormat);
    q.setOutputFileName(dados_ + "uma.pdf");
    QCOMPARE(imprimetexto(&q, linhas.mid(0, 20).join("\r\n")), 1);
    QCOMPARE(imprimetexto(nullptr, "x"), -1);
}

void TstFolhaDeRelatorio::enviaPorEmail()
{
    FrmFolhaDeRelatorio* f = pagina();
    const QString anexo = dados_ + "QuardaDigital.txt";

    // No address: the file is written and nothing is sent.
    acao(f, "Enviar");
    QCOMPARE(Dialogos::ultimo("inputbox").texto, QString("Digite o e-mail do destinatário :"));
    QCOMPARE(leArquivo(anexo), (TEXTO + "\r\n").toUtf8());
    QVERIFY(Dialogos::registros("programa").isEmpty());
    QVERIFY(Dialogos::registros("msgbox").isEmpty());

    Dialogos::respondeTexto(" secretaria@paroquia.org.br ");
    acao(f, "Enviar");
    const Dialogos::Registro envio = Dialogos::ultimo("programa");
    QCOMPARE(envio.texto, QString("xdg-email"));
    QCOMPARE(envio.argumentos,
             (QStringList{"--utf8", "--subject", "Tivane Dízimos - Envio de Relatório", "--body",
                          "Segue em anexo Arquivo com marcações do Tivane Dízimos", "--attach",
                          QFileInfo(anexo).absoluteFilePath(), "secretaria@paroquia.org.br"}));
    QVERIFY(Dialogos::registros("msgbox").isEmpty());

    // An address that would pass an option, and a mail client that does not start, are reported.
    Dialogos::limpa();
    Dialogos::respondeTexto("--attach=/etc/passwd");
    acao(f, "Enviar");
    QVERIFY(Dialogos::registros("programa").isEmpty());
    QVERIFY(Dialogos::ultimo("msgbox").texto.contains("não é válido"));
    Dialogos::respondeTexto("a@b.com");
    Dialogos::respondePrograma(false);
    acao(f, "Enviar");
    QVERIFY(Dialogos::ultimo("msgbox").texto.contains("programa de e-mail"));
}

void TstFolhaDeRelatorio::justificacao()
{
    FrmFolhaDeRelatorio* f = exibefolhaderelatorio("primeiro\r\nsegundo\r\nterceiro\r\nquarto");
    QTextDocument* doc = f->txtrelatorio()->document();
    QTextCursor c(doc->findBlockByNumber(1));
    QTextBlockFormat direita;
    direita.setAlignment(Qt::AlignRight);
    c.setBlockFormat(direita);
    QTextCursor c2(doc->findBlockByNumber(2));
    QTextBlockFormat centro;
    centro.setAlignment(Qt::AlignHCenter);
    c2.setBlockFormat(centro);
    QTextCursor sel(doc);
    sel.setPosition(3);
    sel.setPosition(10, QTextCursor::KeepAnchor);
    f->txtrelatorio()->setTextCursor(sel);

    f->justifica(0, 100000);
    QCOMPARE(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(doc->findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QCOMPARE(f->txtrelatorio()->textCursor().position(), 0);
    QVERIFY(!f->txtrelatorio()->textCursor().hasSelection());
    // The text itself does not change.
    QCOMPARE(f->texto(), QString("primeiro\r\nsegundo\r\nterceiro\r\nquarto"));

    // Only the paragraphs between the positions.
    exibefolhaderelatorio("um\r\ndois\r\ntres");
    f->justifica(0, 1);
    QCOMPARE(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QVERIFY((doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask) != Qt::AlignJustify);
}

TIVANE_TEST_MAIN(TstFolhaDeRelatorio)
#include "tst_folhaderelatorio.moc"
