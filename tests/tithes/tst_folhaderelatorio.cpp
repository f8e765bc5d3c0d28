// The report page: showing, saving and opening, printing with or without the dialog, pages, e-mail, justification.
#include "testsupport.h"

#include <QAction>
#include <QPrinter>
#include <QTextBlock>
#include <QTextEdit>

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

QString caixa() { return Dialogos::ultimo("msgbox").texto; }

// Pages of a PDF written by Qt.
int paginasPdf(const QString& caminho)
{
    const QByteArray pdf = leArquivo(caminho);
    return pdf.count("/Type /Page") - pdf.count("/Type /Pages");
}

// Sends the page's prints to a PDF file (no file: a file printer with nowhere to write).
FrmFolhaDeRelatorio* paraPdf(FrmFolhaDeRelatorio* f, const QString& pdf)
{
    f->impressora()->setOutputFormat(QPrinter::PdfFormat);
    f->impressora()->setOutputFileName(pdf);
    return f;
}

void acao(FrmFolhaDeRelatorio* f, const char* nome)
{
    QAction* a = f->findChild<QAction*>(QString::fromLatin1(nome));
    QVERIFY2(a, nome);
    a->trigger();
}

QString alinhamento(QTextEdit* t, int bloco)
{
    const Qt::Alignment a =
        t->document()->findBlockByNumber(bloco).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    return a == Qt::AlignJustify ? "J" : a == Qt::AlignRight ? "R" : "L";
}

}  // namespace

class TstFolhaDeRelatorio : public QObject {
    Q_OBJECT

    QString dados_;

private slots:
    void initTestCase() { dados_ = teste::criaBancoTeste(); }

    void init() { Dialogos::limpa(); }

    void cleanup()
    {
        Janelas::fecha("frmfolhaderelatorio");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "False");
    }

    void exibeEEdita()
    {
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(TEXTO);
        QVERIFY(f && f->isVisible() && f->txtrelatorio()->font().fixedPitch() && f->txtrelatorio()->isReadOnly());
        QCOMPARE(f->texto(), TEXTO);
        // The same page takes the next report; "Editar" lets the user type in it.
        QCOMPARE(exibefolhaderelatorio("segundo\r\nrelatório"), f);
        acao(f, "Editar");
        QTest::keyClick(f->txtrelatorio(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(f->txtrelatorio(), "!");
        QCOMPARE(f->texto(), QString("segundo\r\nrelatório!"));
    }

    void salvaEAbre()
    {
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(TEXTO);
        const QString caminho = dados_ + "relatorios/marco";
        Dialogos::respondeTexto(caminho);
        acao(f, "Salvar");
        QCOMPARE(Dialogos::ultimo("salvar").titulo,
                 dados_ + "relatorios/relat" + QDate::currentDate().toString("ddMM") + ".txt");
        QCOMPARE(caixa(), QString("Arquivo Gravado com Sucesso!"));
        // The default extension is added; CRLF, UTF-8 and a final line break.
        QCOMPARE(leArquivo(caminho + ".txt"), (TEXTO + "\r\n").toUtf8());
        // Opening gives the text back with one more empty line at the top.
        exibefolhaderelatorio("outro");
        Dialogos::respondeTexto(caminho + ".txt");
        acao(f, "Abrir");
        QCOMPARE(f->texto(), "\r\n" + TEXTO);

        // A failed write never says it was saved; a file that cannot be read leaves the text as it was.
        Dialogos::limpa();
        Dialogos::respondeTexto(dados_ + "pasta/que/nao/existe/r.txt");
        acao(f, "Salvar");
        QVERIFY(Dialogos::registros("msgbox").size() == 1 && caixa().startsWith("Não foi possível gravar o arquivo"));
        Dialogos::respondeTexto(dados_ + "nao-existe.txt");
        acao(f, "Abrir");
        QVERIFY(caixa().startsWith("Não foi possível abrir o arquivo"));
        QCOMPARE(f->texto(), "\r\n" + TEXTO);

        // Files of the old system in Windows-1252, UTF-8 with a BOM and LF, empty lines inside, an empty file.
        const QList<QPair<QByteArray, QString>> casos = {
            {"Par\xF3quia \x96 10,00 \x80\r\nDIZIMSTA: JO\xC3O\r\n", "\r\nParóquia – 10,00 €\r\nDIZIMSTA: JOÃO"},
            {"\xEF\xBB\xBFJo\xC3\xA3o\nMaria", "\r\nJoão\r\nMaria"}, {"a\r\n\r\nb\r\n", "\r\na\r\n\r\nb"}, {"", ""}};
        for (const auto& [bytes, esperado] : casos) {
            QFile antigo(dados_ + "antigo.txt");
            QVERIFY(antigo.open(QIODevice::WriteOnly) && antigo.write(bytes) == bytes.size() && antigo.flush());
            QString lido;
            QVERIFY(lerarquivorelatorio(antigo.fileName(), &lido));
            QCOMPARE(lido, esperado);
        }
    }

    void imprime()
    {
        // Without the option: straight to the printer.
        acao(paraPdf(exibefolhaderelatorio(TEXTO), dados_ + "impressao1.pdf"), "Imprimir");
        QVERIFY(Dialogos::registros("impressora").isEmpty() && Dialogos::registros("msgbox").isEmpty());
        QCOMPARE(paginasPdf(dados_ + "impressao1.pdf"), 1);

        // With option "31": the printer dialog first; cancelled prints nothing, accepted prints two seconds later.
        QVERIFY(gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "True"));
        const QString pdf = dados_ + "impressao2.pdf";
        FrmFolhaDeRelatorio* f = paraPdf(exibefolhaderelatorio(TEXTO), pdf);
        acao(f, "Imprimir");
        QVERIFY(Dialogos::registros("impressora").size() == 1 && !f->tempoimprime()->isActive());
        Dialogos::respondeImpressora(true);
        acao(f, "Imprimir");
        QVERIFY(f->tempoimprime()->isActive() && f->tempoimprime()->interval() == 2000 && !QFile::exists(pdf));
        QTRY_COMPARE_WITH_TIMEOUT(paginasPdf(pdf), 1, 5000);

        // Nowhere to print, then a file chosen: the failure does not spoil the next print.
        gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "False");
        acao(paraPdf(f, QString()), "Imprimir");
        QCOMPARE(caixa(), QString("Impressora Padrão não localizada ou não instalada!"));
        acao(paraPdf(f, dados_ + "impressao3.pdf"), "Imprimir");
        QCOMPARE(paginasPdf(dados_ + "impressao3.pdf"), 1);
    }

    void paginacao()
    {
        QStringList linhas;
        for (int i = 1; i <= 400; ++i)
            linhas << QString("linha %1 ").arg(i) + QString(90, u'x');
        QPrinter p(QPrinter::HighResolution);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(dados_ + "paginas.pdf");
        p.setPageSize(QPageSize(QPageSize::A4));
        const int paginas = imprimetexto(&p, linhas.join("\r\n"));
        // Courier New 8 on A4: between 60 and 90 lines a page.
        QVERIFY2(paginas >= 5 && paginas <= 7, qPrintable(QString::number(paginas)));
        QCOMPARE(paginasPdf(dados_ + "paginas.pdf"), paginas);
        p.setOutputFileName(dados_ + "uma.pdf");
        QCOMPARE(imprimetexto(&p, linhas.mid(0, 20).join("\r\n")), 1);
    }

    void enviaPorEmail()
    {
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(TEXTO);
        const QString anexo = dados_ + "QuardaDigital.txt";
        // No address: the file is written and nothing is sent.
        acao(f, "Enviar");
        QCOMPARE(Dialogos::ultimo("inputbox").texto, QString("Digite o e-mail do destinatário :"));
        QCOMPARE(leArquivo(anexo), (TEXTO + "\r\n").toUtf8());
        QVERIFY(Dialogos::registros("programa").isEmpty() && Dialogos::registros("msgbox").isEmpty());

        Dialogos::respondeTexto(" secretaria@paroquia.org.br ");
        acao(f, "Enviar");
        QCOMPARE(QStringList(Dialogos::ultimo("programa").texto) + Dialogos::ultimo("programa").argumentos,
                 (QStringList{"xdg-email", "--utf8", "--subject", "Tivane Dízimos - Envio de Relatório", "--body",
                              "Segue em anexo Arquivo com marcações do Tivane Dízimos", "--attach",
                              QFileInfo(anexo).absoluteFilePath(), "secretaria@paroquia.org.br"}));
        QVERIFY(Dialogos::registros("msgbox").isEmpty());

        // An address that would pass an option, and a mail client that does not start, are reported.
        Dialogos::limpa();
        Dialogos::respondeTexto("--attach=/etc/passwd");
        acao(f, "Enviar");
        QVERIFY(Dialogos::registros("programa").isEmpty() && caixa().contains("não é válido"));
        Dialogos::respondeTexto("a@b.com");
        Dialogos::respondePrograma(false);
        acao(f, "Enviar");
        QVERIFY(caixa().contains("programa de e-mail") && Dialogos::ultimo("msgbox").estilo == 0);
    }

    void justificacao()
    {
        // Only left-aligned paragraphs between the positions; the cursor goes to the top, the text stays.
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio("primeiro\r\nsegundo\r\nterceiro\r\nquarto");
        QTextEdit* t = f->txtrelatorio();
        QTextCursor sel(t->document()->findBlockByNumber(1));
        t->setTextCursor(sel);
        t->setAlignment(Qt::AlignRight);
        sel.setPosition(3);
        sel.setPosition(10, QTextCursor::KeepAnchor);
        t->setTextCursor(sel);
        f->justifica(0, 100000);
        QCOMPARE(alinhamento(t, 0) + alinhamento(t, 1) + alinhamento(t, 2) + alinhamento(t, 3), QString("JRJJ"));
        QVERIFY(t->textCursor().position() == 0 && !t->textCursor().hasSelection());
        QCOMPARE(f->texto(), QString("primeiro\r\nsegundo\r\nterceiro\r\nquarto"));

        exibefolhaderelatorio("um\r\ndois\r\ntres");
        f->justifica(0, 1);
        QCOMPARE(alinhamento(t, 0) + alinhamento(t, 1) + alinhamento(t, 2), QString("JLL"));
    }
};

TIVANE_TEST_MAIN(TstFolhaDeRelatorio)
#include "tst_folhaderelatorio.moc"
