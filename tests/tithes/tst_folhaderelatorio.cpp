// The report page: showing, saving and opening, printing with or without the dialog, pages, e-mail, justification,
// and its text box: editing, selection, clipboard, mouse and long texts.
#include "testsupport.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QPrinter>
#include <QScrollBar>

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "tithes/email.h"
#include "tithes/frmfolhaderelatorio.h"
#include "tithes/visortexto.h"

using namespace tivane;

namespace {

const QString TEXTO = QStringLiteral("\r\n\r\n--------\r\nIgreja:        : Paróquia São José\r\n"
                                     "01/03/2024      \r\n                JOÃO          10,00\r\n--------");

QString caixa() { return Dialogos::ultimo("msgbox").texto; }

// Pages of a PDF written by Qt.
int paginasPdf(const QString& caminho)
{
    const QByteArray pdf = teste::conteudo(caminho);
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

// Types into the box: keys in braces ("{Shift+End}"), text as it is.
void tecla(QWidget* w, const QString& roteiro)
{
    for (const QString& parte : roteiro.split('{')) {
        const int fecha = parte.indexOf('}');
        if (fecha > 0)
            QTest::keySequence(w, QKeySequence::fromString(parte.left(fecha)));
        for (const QChar c : parte.mid(fecha + 1))
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

// Middle of a character cell of the box.
QPoint celula(VisorTexto* v, int linha, int coluna)
{
    const QFontMetricsF m(v->font());
    return QPoint(4 + qRound((coluna + 0.3) * m.horizontalAdvance('M')),
                  4 + linha * qCeil(m.lineSpacing()) + qCeil(m.lineSpacing()) / 2);
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
        QVERIFY(gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "False"));
    }

    void exibeEEdita()
    {
        QWidget outra;   // another window in front, as the main window is
        outra.show();
        outra.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &outra);
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(TEXTO);
        // The page is in front before it returns: the success message that follows belongs to it.
        QCOMPARE(QApplication::activeWindow(), f);
        QVERIFY(f && f->isVisible() && f->txtrelatorio()->font().fixedPitch() && f->txtrelatorio()->isReadOnly());
        QCOMPARE(f->texto(), TEXTO);
        // The same page takes the next report; "Editar" lets the user type in it.
        QCOMPARE(exibefolhaderelatorio("segundo\r\nrelatório"), f);
        acao(f, "Editar");
        QTest::keyClick(f->txtrelatorio(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(f->txtrelatorio(), "!");
        QCOMPARE(f->texto(), QString("segundo\r\nrelatório!"));
    }

    // A whole report line (the 98-character rule) shows in Courier New 9
    // (Liberation Mono) beside the vertical scroll bar, without a horizontal one.
    void linhaInteiraSemRolagemHorizontal()
    {
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(QStringList(80, QString(98, '-')).join("\r\n"));
        VisorTexto* v = f->txtrelatorio();
        QTRY_VERIFY(f->isMaximized() && v->verticalScrollBar()->isVisible());
        QCOMPARE(QFontInfo(v->font()).family() + " " + QString::number(v->font().pointSizeF()), QString("Liberation Mono 9"));
        QVERIFY(v->viewport()->width() >= QFontMetricsF(v->font()).horizontalAdvance(QString(98, '-')));
        QVERIFY(!v->horizontalScrollBar()->isVisible() && v->horizontalScrollBar()->maximum() == 0);
        const QRect frame = f->Frameprincipal()->geometry();
        QVERIFY(frame.contains(v->geometry().translated(frame.topLeft())));
        QVERIFY(f->rect().contains(QRect(f->Frameprincipal()->mapTo(f, QPoint(0, 0)), frame.size())));
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
        QCOMPARE(teste::conteudo(caminho + ".txt"), (TEXTO + "\r\n").toUtf8());
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
            {"\xEF\xBB\xBFJo\xC3\xA3o\nMaria", "\r\nJoão\r\nMaria"}, {"a\r\n\r\nb\r\n", "\r\na\r\n\r\nb"}, {"", ""},
            {"\xEF\xBB\xBF", ""}, {"\r\n", "\r\n"}, {"\n\nx\ry\r", "\r\n\r\n\r\nx\r\ny"}};
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
        QVERIFY(gravavalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", "31", "False"));
        acao(paraPdf(f, QString()), "Imprimir");
        QCOMPARE(caixa(), QString("Impressora Padrão não localizada ou não instalada!"));
        acao(paraPdf(f, dados_ + "impressao3.pdf"), "Imprimir");
        QCOMPARE(paginasPdf(dados_ + "impressao3.pdf"), 1);
    }

    void paginacao()
    {
        // A4 with 10 mm margins: each page takes every line of Courier New 8 (Liberation Mono) that fits whole,
        // the last one's descent included, and not one more.
        QPrinter p(QPrinter::HighResolution);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setPageSize(QPageSize(QPageSize::A4));
        p.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        QFont courier("Liberation Mono");
        courier.setPointSizeF(8);
        const QFontMetricsF m(courier, &p);
        const double altura = p.pageRect(QPrinter::DevicePixel).height();
        int cabem = 0;
        while (cabem * m.lineSpacing() + m.height() <= altura)
            ++cabem;
        QVERIFY2(cabem > 60 && cabem < 100, qPrintable(QString::number(cabem)));
        QStringList linhas;
        for (int i = 1; i <= 3 * cabem + 1; ++i)
            linhas << QString("linha %1 ").arg(i) + QString(90, u'x');
        for (const auto& [quantas, paginas] : QList<QPair<int, int>>{{cabem, 1}, {cabem + 1, 2}, {3 * cabem + 1, 4}}) {
            const QString pdf = dados_ + QString("paginas%1.pdf").arg(quantas);
            p.setOutputFileName(pdf);
            QCOMPARE(imprimetexto(&p, linhas.mid(0, quantas).join("\r\n")), paginas);
            QCOMPARE(paginasPdf(pdf), paginas);
        }
    }

    void enviaPorEmail()
    {
        defineconsultaclienteemail([] { return QString("thunderbird.desktop"); });
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(TEXTO);
        const QString anexo = dados_ + "QuardaDigital.txt";
        // No address: the file is written and nothing is sent.
        acao(f, "Enviar");
        QCOMPARE(Dialogos::ultimo("inputbox").texto, QString("Digite o e-mail do destinatário :"));
        QCOMPARE(teste::conteudo(anexo), (TEXTO + "\r\n").toUtf8());
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
        // No mail program on the desktop: nothing is started and the message says where the report is.
        Dialogos::limpa();
        defineconsultaclienteemail([] { return QString(); });
        Dialogos::respondeTexto("a@b.com");
        acao(f, "Enviar");
        defineconsultaclienteemail(nullptr);
        QVERIFY(Dialogos::registros("programa").isEmpty());
        QVERIFY2(caixa().startsWith("Não foi possível abrir nenhum programa de e-mail")
                     && caixa().endsWith("\n" + QFileInfo(anexo).absoluteFilePath()),
                 qPrintable(caixa()));
        QCOMPARE(teste::conteudo(anexo), (TEXTO + "\r\n").toUtf8());
    }

    void justificacao()
    {
        // Lines never wrap, so nothing moves: the text stays, the caret goes to the top with nothing selected.
        const QString texto = "primeiro\r\nsegundo\r\nterceiro";
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(texto);
        f->txtrelatorio()->defineCursor(3);
        f->txtrelatorio()->defineCursor(12, true);
        f->justifica(0, 100000);
        QVERIFY(f->txtrelatorio()->posicaoCursor() == 0 && !f->txtrelatorio()->temSelecao());
        QCOMPARE(f->texto(), texto);
    }

    void editaNoVisor_data()
    {
        QTest::addColumn<QString>("inicial");
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<QString>("copiado");  // the clipboard afterwards; null: not looked at
        const QString nada;
        QTest::newRow("digita no fim") << "ab\r\ncd" << "{Ctrl+End}!ção" << "ab\r\ncd!ção" << nada;
        QTest::newRow("enter no meio") << "abcd\r\nef" << "{Right}{Right}{Return}" << "ab\r\ncd\r\nef" << nada;
        QTest::newRow("linhas vazias no fim") << "ab" << "{End}{Return}{Return}x" << "ab\r\n\r\nx" << nada;
        QTest::newRow("backspace junta linhas") << "ab\r\ncd" << "{Down}{Home}{Backspace}" << "abcd" << nada;
        QTest::newRow("backspace no início") << "ab" << "{Backspace}" << "ab" << nada;
        QTest::newRow("delete junta linhas") << "ab\r\ncd" << "{End}{Del}" << "abcd" << nada;
        QTest::newRow("delete no fim") << "ab\r\n" << "{Ctrl+End}{Del}" << "ab\r\n" << nada;
        QTest::newRow("linha selecionada apagada") << "um\r\ndois\r\ntres" << "{Down}{Shift+Down}{Del}" << "um\r\ntres"
                                                   << nada;
        QTest::newRow("seleção para trás trocada") << "abcdef" << "{End}{Shift+Left}{Shift+Left}XY" << "abcdXY" << nada;
        QTest::newRow("tudo trocado") << "a\r\nb" << "{Ctrl+A}z" << "z" << nada;
        QTest::newRow("coluna mantida") << "abcdef\r\nx\r\nabcdef" << "{End}{Down}{Down}!"
                                        << "abcdef\r\nx\r\nabcdef!" << nada;
        QTest::newRow("para cima e página") << "a\r\nb\r\nc" << "{Ctrl+End}{Up}{Up}1{PgDown}2{PgUp}3"
                                            << "3a1\r\nb\r\nc2" << nada;
        QTest::newRow("palavras") << "um dois tres" << "{Ctrl+Right}{Ctrl+Shift+Right}{Del}" << "um tres" << nada;
        QTest::newRow("copia e cola a linha") << "um\r\ndois" << "{Shift+End}{Ctrl+C}{Ctrl+End}{Return}{Ctrl+V}"
                                              << "um\r\ndois\r\num" << "um";
        QTest::newRow("recorta duas linhas") << "um\r\ndois\r\ntres" << "{Shift+Down}{Shift+Right}{Ctrl+X}"
                                             << "ois\r\ntres" << "um\nd";
        QTest::newRow("desfaz a palavra e refaz") << "ab" << "{End}xyz{Ctrl+Z}{Ctrl+Z}{Ctrl+Shift+Z}" << "abxyz" << nada;
        QTest::newRow("desfaz por partes") << "ab\r\ncd" << "{End}{Del}x y{Ctrl+Z}{Ctrl+Z}" << "abxcd" << nada;
        QTest::newRow("desfaz tudo") << "ab\r\ncd" << "{Ctrl+A}z{Return}{Ctrl+Z}{Ctrl+Z}{Ctrl+Z}" << "ab\r\ncd" << nada;
        QTest::newRow("quebras soltas") << "a\nb\rc" << "{Down}{End}!" << "a\r\nb!\r\nc" << nada;
        QTest::newRow("só devolvido") << "a\nb\r\n\rc\n" << "" << "a\r\nb\r\n\r\nc\r\n" << nada;
        // Letters outside Latin-1, typed or given, stay what they are.
        QTest::newRow("digita fora do latin-1") << "ção\r\nab" << "{Ctrl+End}€{Left}{Left}Ł" << "ção\r\naŁb€" << nada;
        QTest::newRow("texto fora do latin-1") << "€ a\nŁ b" << "{Down}{End}{Ctrl+Left}{Shift+End}{Ctrl+X}é"
                                               << "€ a\r\nŁ é" << "b";
    }

    void editaNoVisor()
    {
        QFETCH(QString, inicial);
        QFETCH(QString, teclas);
        QFETCH(QString, esperado);
        QFETCH(QString, copiado);
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(inicial);
        acao(f, "Editar");
        tecla(f->txtrelatorio(), teclas);
        QCOMPARE(f->texto(), esperado);
        if (!copiado.isNull())
            QCOMPARE(QApplication::clipboard()->text(), copiado);

        // Read only, the same keys change nothing.
        f->txtrelatorio()->setReadOnly(true);
        f->definetexto(inicial);
        tecla(f->txtrelatorio(), teclas);
        QCOMPARE(f->texto(), QString(inicial).replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n"));
    }

    void colaEClica()
    {
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio("primeira linha\r\nsegunda linha\r\n\tum");
        VisorTexto* v = f->txtrelatorio();
        // Text pasted with LF breaks keeps CRLF in the report.
        QApplication::clipboard()->setText("x\ny\r\n");
        tecla(v, "{Ctrl+V}");
        QCOMPARE(f->texto(), QString("primeira linha\r\nsegunda linha\r\n\tum"));
        acao(f, "Editar");
        tecla(v, "{Ctrl+V}");
        QCOMPARE(f->texto(), QString("x\r\ny\r\nprimeira linha\r\nsegunda linha\r\n\tum"));

        // A click puts the caret at the character, Shift+click selects, a double click takes a word;
        // past the end of a line is its end, below the last line the end of the text; a tab fills 8 columns.
        f->definetexto("primeira linha\r\nsegunda linha\r\n\tum");
        QWidget* tela = v->viewport();
        QTest::mouseClick(tela, Qt::LeftButton, {}, celula(v, 1, 3));
        QCOMPARE(v->posicaoCursor(), 19);
        QTest::mouseClick(tela, Qt::LeftButton, Qt::ShiftModifier, celula(v, 0, 9));
        QCOMPARE(v->textoSelecionado(), QString("linha\r\nseg"));
        QTest::mouseDClick(tela, Qt::LeftButton, {}, celula(v, 1, 10));
        QCOMPARE(v->textoSelecionado(), QString("linha"));
        QTest::mouseClick(tela, Qt::LeftButton, {}, celula(v, 0, 60));
        QCOMPARE(v->posicaoCursor(), 14);
        QTest::mouseClick(tela, Qt::LeftButton, {}, celula(v, 2, 9));
        QCOMPARE(v->posicaoCursor(), 33);
        QTest::mouseClick(tela, Qt::LeftButton, {}, celula(v, 20, 0));
        QCOMPARE(v->posicaoCursor(), 34);
    }

    void textoLongo()
    {
        // Two hundred thousand lines: the end is reached, edited and given back whole.
        QStringList linhas;
        for (int i = 0; i < 200000; ++i)
            linhas << QString("linha %1").arg(i, 6, 10, QChar('0'));
        const QString texto = linhas.join("\r\n");
        FrmFolhaDeRelatorio* f = exibefolhaderelatorio(texto);
        VisorTexto* v = f->txtrelatorio();
        acao(f, "Editar");
        tecla(v, "{Ctrl+End}!");
        QCOMPARE(v->verticalScrollBar()->value(), v->verticalScrollBar()->maximum());
        QVERIFY(v->verticalScrollBar()->maximum() > 199900);
        QCOMPARE(f->texto(), texto + "!");
        v->defineCursor(texto.indexOf("linha 100000"));
        tecla(v, "{Return}{Up}{Shift+Down}{Shift+Down}{Ctrl+C}");
        QCOMPARE(QApplication::clipboard()->text(), QString("\nlinha 100000\n"));
        QCOMPARE(v->quantidadeLinhas(), 200001);
        QCOMPARE(f->texto(), QString(texto).insert(texto.indexOf("linha 100000"), "\r\n") + "!");
        // Shown again without the background indexing finished: the end is still found.
        f->definetexto(texto);
        tecla(v, "{Ctrl+End}");
        QCOMPARE(v->posicaoCursor(), texto.size());
        QCOMPARE(f->texto(), texto);
    }
};

TIVANE_TEST_MAIN(TstFolhaDeRelatorio)
#include "tst_folhaderelatorio.moc"
