#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/texto.h"
#include "tithes/frmrecibo.h"
#include "tithes/recibo.h"

#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTimer>

using namespace tivane;

namespace {

void pagamento(const QString& codigo, const QString& valor = "1250,50", const QString& dizimista = "0012",
               const QString& nome = "João da Silva")
{
    Consulta c("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
               " nomedizimista, mesreferencia, anoreferencia) VALUES (?, '01/02/2026', '10:00', ?, '0000', ?, ?,"
               " '02', '2026')");
    c.bind(codigo).bind(valor).bind(dizimista).bind(nome);
    QVERIFY2(c.exec(), qPrintable(c.erro()));
}

void opcoes(bool umavia, bool cor, bool matricula, bool borda, bool referencia)
{
    gravaopcao("01", umavia);
    gravaopcao("02", cor);
    gravaopcao("05", matricula);
    gravaopcao("06", borda);
    gravaopcao("07", referencia);
}

QImage desenha(const ModeloRecibo& m, int dpi)
{
    QImage img(tamanhorecibo(dpi, dpi), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    desenharecibo(p, m);
    p.end();
    return img;
}

bool escuro(QRgb c) { return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }
bool verde(QRgb c) { return qGreen(c) > 120 && qRed(c) < 90 && qBlue(c) < 90; }
bool vermelho(QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90; }
bool tinta(QRgb c) { return qGray(c) < 200; }
bool cinza(QRgb c) { return qAbs(qRed(c) - 192) < 6 && qAbs(qGreen(c) - 192) < 6 && qAbs(qBlue(c) - 192) < 6; }

int conta(const QImage& img, const QRect& r, bool (*teste)(QRgb))
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (teste(img.pixel(x, y)))
                ++n;
    return n;
}

QRect caixaescura(const QImage& img)
{
    QRect caixa;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (escuro(img.pixel(x, y)))
                caixa |= QRect(x, y, 1, 1);
    return caixa;
}

FrmRecibo* recibo() { return Janelas::instancia<FrmRecibo>("frmrecibo"); }

void aceleratimers(FrmRecibo* f)
{
    for (QTimer* t : f->findChildren<QTimer*>())
        t->setInterval(5);
}

}  // namespace

class TstRecibo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
    }

    void init()
    {
        teste::limpaBanco();
        opcoes(false, true, false, false, false);
        gravatextopadrao("msgcentral", "");
        Dialogos::limpa();
        defineimpressaoarquivo(QString());
        QTRY_VERIFY(!recibo());
    }

    void modeloPagamentoEIgreja()
    {
        pagamento("00003/26");
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua A, 10', bairro = NULL, cidade = 'Niterói',"
                   " tel = '(21) 2222-0000', site = 'www.psj.org'");
        ModeloRecibo m;
        QVERIFY(montarecibo("00003/26", &m, QDate(2026, 2, 5)));
        QCOMPARE(m.codigo, QString("00003/26"));
        QCOMPARE(m.nome, QString("João da Silva"));
        QCOMPARE(m.valor, QString("1250,50"));
        QCOMPARE(m.extenso, valorporextenso(QString("1250,50"), true));
        QVERIFY(!m.extenso.isEmpty());
        QCOMPARE(m.data, QString("5 de Fevereiro de 2026"));
        QCOMPARE(m.matricula, QString("0012"));
        QCOMPARE(m.mes, QString("02"));
        QCOMPARE(m.ano, QString("2026"));
        QCOMPARE(m.fantasia, QString("Paróquia São José"));
        QCOMPARE(m.endereco, QString("Rua A, 10 ,Niterói"));
        QCOMPARE(m.telefone, QString("(21) 2222-0000"));
        QCOMPARE(m.site, QString("www.psj.org"));
        QCOMPARE(m.central, QString("PAGAMENTO DE DÍZIMO"));
        QVERIFY(!m.segundavia);
        QVERIFY(!montarecibo("00004/26", &m));
    }

    void modeloOpcoes_data()
    {
        QTest::addColumn<bool>("umavia");
        QTest::addColumn<bool>("cor");
        QTest::addColumn<bool>("matricula");
        QTest::addColumn<bool>("borda");
        QTest::addColumn<bool>("referencia");
        QTest::newRow("padrão") << false << true << false << false << false;
        QTest::newRow("01 uma via") << true << true << false << false << false;
        QTest::newRow("02 preto") << false << false << false << false << false;
        QTest::newRow("05 código") << false << true << true << false << false;
        QTest::newRow("06 borda") << false << true << false << true << false;
        QTest::newRow("07 referência") << false << true << false << false << true;
        QTest::newRow("todas") << true << false << true << true << true;
    }
    void modeloOpcoes()
    {
        QFETCH(bool, umavia);
        QFETCH(bool, cor);
        QFETCH(bool, matricula);
        QFETCH(bool, borda);
        QFETCH(bool, referencia);
        pagamento("00001/26");
        opcoes(umavia, cor, matricula, borda, referencia);
        gravatextopadrao("msgcentral", "OFERTA");
        ModeloRecibo m;
        QVERIFY(montarecibo("00001/26", &m));
        QCOMPARE(m.duasvias, !umavia);
        QCOMPARE(m.colorido, cor);
        QCOMPARE(m.mostramatricula, matricula);
        QCOMPARE(m.borda, borda);
        QCOMPARE(m.referencia, referencia);
        QCOMPARE(m.central, QString("OFERTA"));
    }

    void semIgrejaENulos()
    {
        // A reversal row: no reference, zero amount; the church row is gone.
        teste::sql("INSERT INTO pagamentos (codigo, valor, codigodizimista, nomedizimista) VALUES"
                   " ('00009/26', '0,00', 'E0012', 'Recibo Estornado')");
        teste::sql("DELETE FROM igreja");
        ModeloRecibo m;
        QVERIFY(montarecibo("00009/26", &m));
        QCOMPARE(m.nome, QString("Recibo Estornado"));
        QCOMPARE(m.matricula, QString("E0012"));
        QCOMPARE(m.extenso, QString(""));
        QCOMPARE(m.mes, QString(""));
        QCOMPARE(m.fantasia, QString(""));
        QCOMPARE(m.endereco, QString(""));
        // Without a street there is no address line at all.
        teste::sql("INSERT INTO igreja (fantasia, bairro, cidade, sobra) VALUES ('Igreja', 'Centro', 'Rio', '1')");
        QVERIFY(montarecibo("00009/26", &m));
        QCOMPARE(m.fantasia, QString("Igreja"));
        QCOMPARE(m.endereco, QString(""));
    }

    // The same routine at two resolutions gives the same size in inches.
    void desenhoEmTamanhoReal()
    {
        ModeloRecibo m;
        m.borda = true;
        m.codigo = "00001/26";
        for (int dpi : {96, 192}) {
            const QImage img = desenha(m, dpi);
            QCOMPARE(img.size(), QSize(qRound(11820 * dpi / 1440.0), qRound(4185 * dpi / 1440.0)));
            const QRect caixa = caixaescura(img);
            const double px = dpi / 1440.0;
            QVERIFY2(qAbs(caixa.left() - 120 * px) <= 1.5, qPrintable(QString::number(caixa.left())));
            QVERIFY2(qAbs(caixa.top() - 240 * px) <= 1.5, qPrintable(QString::number(caixa.top())));
            QVERIFY2(qAbs(caixa.right() + 1 - (5760 + 5535) * px) <= 1.5, qPrintable(QString::number(caixa.right())));
            QVERIFY2(qAbs(caixa.bottom() + 1 - (240 + 3735) * px) <= 1.5, qPrintable(QString::number(caixa.bottom())));
        }
    }

    void desenhoPorOpcao()
    {
        ModeloRecibo m;
        m.fantasia = "PARÓQUIA SÃO JOSÉ DE TODOS OS SANTOS";
        m.codigo = "00001/26";
        m.nome = "Maria";
        m.valor = "10,00";
        m.extenso = "Dez reais ";
        const int dpi = 96;
        const double px = dpi / 1440.0;
        const QRect esquerda(0, 0, qRound(5760 * px) - 1, qRound(4185 * px));
        const QRect direita(qRound(5760 * px), 0, qRound(6060 * px) - 1, qRound(4185 * px));

        QImage img = desenha(m, dpi);
        QVERIFY(conta(img, esquerda, verde) > 20);
        QVERIFY(conta(img, direita, verde) > 20);
        QVERIFY(conta(img, esquerda, vermelho) > 10);
        const int cinzasemmarca = conta(img, esquerda, cinza);
        // No border: nothing dark on the copy's left edge.
        QCOMPARE(conta(img, QRect(qRound(120 * px), qRound(1500 * px), 1, 50), escuro), 0);

        m.colorido = false;
        img = desenha(m, dpi);
        QCOMPARE(conta(img, esquerda, verde), 0);
        QCOMPARE(conta(img, esquerda, vermelho), 0);

        m.duasvias = false;
        img = desenha(m, dpi);
        QCOMPARE(conta(img, direita, escuro), 0);

        m.segundavia = true;
        img = desenha(m, dpi);
        QVERIFY(conta(img, esquerda, cinza) > cinzasemmarca + 1000);
    }

    void extensoLongoEncolhe()
    {
        ModeloRecibo m;
        m.duasvias = false;
        m.extenso = valorporextenso(QString("7777777,77"), true);
        QVERIFY(m.extenso.size() > 90);
        const double px = 192 / 1440.0;
        // The label lies at 1200, 2160 in the first copy, which starts at 120, 240.
        const QRect caixa(qRound(1320 * px), qRound(2400 * px), qRound(4335 * px), qRound(255 * px));
        const QImage img = desenha(m, 192);
        // Ink in the last fifth of the box (the text reaches its end) and only inside the box.
        const QRect fim(caixa.left() + caixa.width() * 4 / 5, caixa.top(), caixa.width() / 5, caixa.height());
        QVERIFY(conta(img, fim, tinta) > 20);
        const QRect alem(caixa.right() + 2, caixa.top(), qRound(120 * px), caixa.height());
        QCOMPARE(conta(img, alem, tinta), 0);
        // A short amount keeps the label's own size: one line, well inside the box.
        m.extenso = "Dez reais ";
        const QImage curto = desenha(m, 192);
        QCOMPARE(conta(curto, fim, tinta), 0);
    }

    void imprimePdfUmaEDuasVias()
    {
        ModeloRecibo m;
        m.codigo = "00001/26";
        m.nome = "Maria";
        m.fantasia = "Igreja";
        for (bool duas : {false, true}) {
            m.duasvias = duas;
            const QString arquivo = teste::pastaTemporaria() + QString("/recibo%1.pdf").arg(duas ? 2 : 1);
            QPrinter impressora(QPrinter::HighResolution);
            impressora.setOutputFormat(QPrinter::PdfFormat);
            impressora.setOutputFileName(arquivo);
            QVERIFY(imprimerecibo(m, &impressora));
            QFile f(arquivo);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray pdf = f.readAll();
            QVERIFY(pdf.startsWith("%PDF"));
            QVERIFY(pdf.contains("LiberationSerif"));
            QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
        }
    }

    void formularioNaoImprimeEFecha()
    {
        pagamento("00001/26");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(emiterecibo("00001/26"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja Imprimir o Recibo Atual ?"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 36);
        FrmRecibo* f = recibo();
        QVERIFY(f);
        QVERIFY(f->isVisible());
        QCOMPARE(f->windowTitle(), QString("Recibo"));
        QCOMPARE(f->modelo().nome, QString("João da Silva"));
        QVERIFY(f->findChild<QTimer*>("temposair")->isActive());
        QVERIFY(!f->findChild<QTimer*>("timertempoparaimprimir")->isActive());
        aceleratimers(f);
        QTRY_VERIFY(!recibo());
        QVERIFY(Dialogos::registros("impressora").isEmpty());
    }

    void formularioImprimeUmaVezEmPdf()
    {
        pagamento("00001/26");
        const QString arquivo = teste::pastaTemporaria() + "/formulario.pdf";
        QFile::remove(arquivo);
        defineimpressaoarquivo(arquivo);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        Dialogos::respondeImpressora(true);
        QVERIFY(emiterecibo("00001/26"));
        FrmRecibo* f = recibo();
        QVERIFY(f->findChild<QTimer*>("timertempoparaimprimir")->isActive());
        aceleratimers(f);
        QTRY_VERIFY(!recibo());
        QTest::qWait(50);
        QCOMPARE(Dialogos::registros("impressora").size(), 1);
        QVERIFY(QFileInfo(arquivo).size() > 0);
    }

    void dialogoCanceladoNaoImprime()
    {
        pagamento("00001/26");
        const QString arquivo = teste::pastaTemporaria() + "/cancelado.pdf";
        QFile::remove(arquivo);
        defineimpressaoarquivo(arquivo);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        Dialogos::respondeImpressora(false);
        QVERIFY(emiterecibo("00001/26"));
        recibo()->findChild<QPushButton*>("cmdimprime")->click();
        QTRY_VERIFY(!recibo());
        QVERIFY(!QFile::exists(arquivo));
    }

    void semImpressoraPadrao()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer");
        ModeloRecibo m;
        QVERIFY(!imprimeformulariorecibo(m));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Impressora Padrão não localizada ou não instalada!"));
        QVERIFY(Dialogos::registros("impressora").isEmpty());
    }

    void reciboInexistente()
    {
        QVERIFY(!emiterecibo("00001/26"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Recibo não encontrado"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QVERIFY(!recibo());
    }

    void segundaViaPeloMenuENovaFolha()
    {
        pagamento("00001/26");
        pagamento("00002/26", "5,00", "0000", "NÃO ESPECIFICADO");
        Dialogos::respondeTexto("00009/26");
        QVERIFY(Comandos::executa("mnusegundaviarecibo"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Recibo não encontrado com o código 00009/26 !"));
        QVERIFY(!recibo());

        Dialogos::respondeTexto("00001/26");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(Comandos::executa("mnusegundaviarecibo"));
        QVERIFY(Dialogos::ultimo("inputbox").texto.startsWith("Digite o Código do Recibo para emitir Segunda Via:"));
        FrmRecibo* primeiro = recibo();
        QVERIFY(primeiro);
        QVERIFY(primeiro->modelo().segundavia);

        // The next receipt comes on a fresh form: no second-copy mark, a new question.
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(emiterecibo("00002/26"));
        FrmRecibo* segundo = recibo();
        QVERIFY(segundo && segundo != primeiro);
        QVERIFY(!segundo->modelo().segundavia);
        QCOMPARE(segundo->modelo().codigo, QString("00002/26"));
        QCOMPARE(Dialogos::registros("msgbox").size(), 3);
        segundo->findChild<QPushButton*>("Cmdparar")->click();
        QTRY_VERIFY(!recibo());
    }

    void contagemRegressiva()
    {
        pagamento("00001/26");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(emiterecibo("00001/26"));
        FrmRecibo* f = recibo();
        QLabel* tempo = f->findChild<QLabel*>("lbltempoparaimprimir");
        QCOMPARE(tempo->text(), QString("5"));
        QTest::qWait(1100);
        QCOMPARE(tempo->text(), QString("4"));
        f->findChild<QPushButton*>("Cmdparar")->click();
        QTRY_VERIFY(!recibo());
    }
};

TIVANE_TEST_MAIN(TstRecibo)
#include "tst_recibo.moc"
