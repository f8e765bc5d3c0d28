#include "testsupport.h"

#include "core/conexao.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/texto.h"
#include "tithes/frmrecibo.h"
#include "tithes/recibo.h"

#include <QStringEncoder>
#include <QtPrintSupport>
#include <QtWidgets>

using namespace tivane;

namespace {

void pagamento(const QString& codigo, const QString& valor = "1250,50", const QString& dizimista = "0012",
               const QString& nome = "João da Silva")
{
    QVERIFY(teste::sql(QString("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
                               " nomedizimista, mesreferencia, anoreferencia) VALUES ('%1', '01/02/2026', '10:00',"
                               " '%2', '0000', '%3', '%4', '02', '2026')").arg(codigo, valor, dizimista, nome)));
}

void opcoes(const QString& f)   // options "01", "02", "05", "06", "07" from five 0/1
{
    for (int i = 0; i < 5; ++i)
        QVERIFY(gravaopcao(QStringList{"01", "02", "05", "06", "07"}[i], f[i] == '1'));
}

// The same through the settings window, as the office sets them.
void opcoesPelaJanela(const QString& f, const QString& central)
{
    QWidget* j = Janelas::abre("Frmconfiguracoes");
    const QStringList botoes = {f[0] == '1' ? "optrecibo0" : "optrecibo1", f[1] == '1' ? "optcorrecibo0" : "optcorrecibo1",
                                "chkcodigo", "chkmargem", "chkmesreferencia"};
    for (int i = 0; i < 5; ++i)
        j->findChild<QAbstractButton*>(botoes[i])->setChecked(i < 2 || f[i] == '1');
    j->findChild<QLineEdit*>("txtmensagemcentral")->setText(central);
    j->findChild<QPushButton*>("cmdsalvar")->click();
    QTRY_VERIFY(!Janelas::instancia("Frmconfiguracoes"));
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
            n += teste(img.pixel(x, y)) ? 1 : 0;
    return n;
}

FrmRecibo* recibo() { return Janelas::instancia<FrmRecibo>("frmrecibo"); }

void esperafechar(FrmRecibo* f)   // speeds up the form's countdown
{
    for (QTimer* t : f->findChildren<QTimer*>())
        t->setInterval(5);
    QTRY_VERIFY(!recibo());
    QTest::qWait(50);
}

}  // namespace

class TstRecibo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { teste::criaBancoTeste(); }

    void init()
    {
        teste::limpaBanco();
        opcoes("01000");
        QVERIFY(gravatextopadrao("msgcentral", ""));
        Dialogos::limpa();
        defineimpressaoarquivo(QString());
        QTRY_VERIFY(!recibo());
    }

    // The model for each option ("01" one copy, "02" colour, "05" code, "06" border, "07" reference).
    void modelo_data()
    {
        QTest::addColumn<QString>("f");
        QTest::addColumn<bool>("janela");   // set in the settings window
        for (const char* f : {"01000", "11000", "00000", "01100", "01010", "01001", "10111"})
            QTest::newRow(f) << QString(f) << false;
        for (const char* f : {"11000", "00000", "10111"})
            QTest::newRow(qPrintable(QString("janela ") + f)) << QString(f) << true;
    }
    void modelo()
    {
        QFETCH(QString, f);
        QFETCH(bool, janela);
        pagamento("00003/26");
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua A, 10', bairro = NULL, cidade = 'Niterói',"
                   " tel = '(21) 2222-0000', site = 'www.psj.org'");
        const QString central = f == "01000" ? "" : janela ? "OFERTA \"ESPECIAL\" DE AÇÃO" : "OFERTA";
        if (janela) {
            opcoesPelaJanela(f, central);
        } else {
            opcoes(f);
            QVERIFY(gravatextopadrao("msgcentral", central));
        }
        ModeloRecibo m;
        QCOMPARE(montarecibo("00003/26", &m, QDate(2026, 2, 5)), Leitura::Encontrado);
        QCOMPARE((QStringList{m.codigo, m.nome, m.valor, m.data, m.matricula, m.mes, m.ano, m.fantasia, m.endereco,
                              m.telefone, m.site, m.central}),
                 (QStringList{"00003/26", "João da Silva", "1250,50", "5 de Fevereiro de 2026", "0012", "02", "2026",
                              "Paróquia São José", "Rua A, 10 ,Niterói", "(21) 2222-0000", "www.psj.org",
                              central.isEmpty() ? "PAGAMENTO DE DÍZIMO" : central}));
        QCOMPARE(m.extenso, valorporextenso(QString("1250,50"), true));
        QVERIFY(!m.extenso.isEmpty() && !m.segundavia);
        QString lido;
        for (bool v : {!m.duasvias, m.colorido, m.mostramatricula, m.borda, m.referencia})
            lido += v ? '1' : '0';
        QCOMPARE(lido, f);
        QCOMPARE(montarecibo("00004/26", &m), Leitura::NaoEncontrado);
    }

    void semIgrejaENulos()
    {
        // A reversal row: no reference, zero amount; the church row is gone.
        teste::sql("INSERT INTO pagamentos (codigo, valor, codigodizimista, nomedizimista) VALUES"
                   " ('00009/26', '0,00', 'E0012', 'Recibo Estornado')");
        teste::sql("DELETE FROM igreja");
        ModeloRecibo m;
        QCOMPARE(montarecibo("00009/26", &m), Leitura::Encontrado);
        QCOMPARE((QStringList{m.nome, m.matricula, m.extenso, m.mes, m.fantasia, m.endereco}),
                 (QStringList{"Recibo Estornado", "E0012", "", "", "", ""}));
        // Without a street there is no address line at all.
        teste::sql("INSERT INTO igreja (fantasia, bairro, cidade, sobra) VALUES ('Igreja', 'Centro', 'Rio', '1')");
        QCOMPARE(montarecibo("00009/26", &m), Leitura::Encontrado);
        QCOMPARE(m.fantasia + "|" + m.endereco, QString("Igreja|"));
        // A church table that cannot be read is not a church without data.
        teste::sql("ALTER TABLE igreja RENAME TO outra");
        const Leitura lida = montarecibo("00009/26", &m);
        QCOMPARE(lida, Leitura::Falha);
        QVERIFY2(lida.causa().contains("a tabela igreja não existe"), qPrintable(lida.causa()));
        teste::sql("ALTER TABLE outra RENAME TO igreja");
    }

    // The same routine at two resolutions gives the same size in inches.
    void desenhoEmTamanhoReal()
    {
        ModeloRecibo m{"00001/26"};
        m.borda = true;
        for (int dpi : {96, 192}) {
            const QImage img = desenha(m, dpi);
            QCOMPARE(img.size(), QSize(qRound(11820 * dpi / 1440.0), qRound(4185 * dpi / 1440.0)));
            QRect caixa;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (escuro(img.pixel(x, y)))
                        caixa |= QRect(x, y, 1, 1);
            const auto perto = [dpi](int a, int twips) { return qAbs(a - twips * dpi / 1440.0) <= 1.5; };
            QVERIFY(perto(caixa.left(), 120) && perto(caixa.top(), 240) && perto(caixa.right() + 1, 5760 + 5535)
                    && perto(caixa.bottom() + 1, 240 + 3735));
        }
    }

    // Colour or black, no border, one copy or two, the "2* VIA" mark (at 96 dpi).
    void desenhoPorOpcao()
    {
        ModeloRecibo m{"00001/26", "Maria", "10,00", "Dez reais "};
        m.fantasia = "PARÓQUIA SÃO JOSÉ DE TODOS OS SANTOS";
        const QRect esquerda(0, 0, 384 - 1, 279), direita(384, 0, 404 - 1, 279);
        QImage img = desenha(m, 96);
        QVERIFY(conta(img, esquerda, verde) > 20 && conta(img, direita, verde) > 20 && conta(img, esquerda, vermelho) > 10);
        QCOMPARE(conta(img, QRect(8, 100, 1, 50), escuro), 0);
        const int cinzasemmarca = conta(img, esquerda, cinza);
        m.colorido = false;
        img = desenha(m, 96);
        QCOMPARE(conta(img, esquerda, verde) + conta(img, esquerda, vermelho), 0);
        m.duasvias = false;
        QCOMPARE(conta(desenha(m, 96), direita, escuro), 0);
        m.segundavia = true;
        QVERIFY(conta(desenha(m, 96), esquerda, cinza) > cinzasemmarca + 1000);
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
        const QRect fim(caixa.left() + caixa.width() * 4 / 5, caixa.top(), caixa.width() / 5, caixa.height());
        const QImage img = desenha(m, 192);
        QVERIFY(conta(img, fim, tinta) > 20);   // the text reaches the box's end...
        QCOMPARE(conta(img, QRect(caixa.right() + 2, caixa.top(), qRound(120 * px), caixa.height()), tinta), 0);
        m.extenso = "Dez reais ";   // ...and a short amount keeps its size, well inside the box
        QCOMPARE(conta(desenha(m, 192), fim, tinta), 0);
    }

    void imprimePdfUmaEDuasVias()
    {
        ModeloRecibo m{"00001/26", "Maria"};
        m.fantasia = "Igreja";
        for (bool duas : {false, true}) {
            m.duasvias = duas;
            const QString arquivo = teste::pastaTemporaria() + QString("/recibo%1.pdf").arg(duas ? 2 : 1);
            QPrinter impressora(QPrinter::HighResolution);
            impressora.setOutputFileName(arquivo);
            QVERIFY(imprimerecibo(m, &impressora));
            QFile f(arquivo);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray pdf = f.readAll();
            QVERIFY(pdf.startsWith("%PDF") && pdf.contains("LiberationSerif"));
            QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
        }
    }

    // "Yes": the countdown opens the printer dialog once; cancelling it prints nothing.
    void imprimeUmaVezOuCancela()
    {
        pagamento("00001/26");
        const QString arquivo = teste::pastaTemporaria() + "/formulario.pdf";
        defineimpressaoarquivo(arquivo);
        for (bool aceita : {false, true}) {
            Dialogos::limpa();
            Dialogos::respondeMsgbox(Dialogos::Sim);
            Dialogos::respondeImpressora(aceita);
            QVERIFY(emiterecibo("00001/26"));
            QVERIFY(recibo()->findChild<QTimer*>("timertempoparaimprimir")->isActive());
            esperafechar(recibo());
            QCOMPARE(Dialogos::registros("impressora").size(), 1);
            QCOMPARE(Dialogos::ultimo("impressora").texto, QString("Selecione Impressora"));
            QCOMPARE(QFileInfo(arquivo).size() > 0, aceita);
        }
        // The document's name (proposed as the file's name when printing to a file) holds no "/".
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringEncoder utf16(QStringEncoder::Utf16BE);
        QVERIFY(f.readAll().contains(QByteArray(utf16(QString("Recibo 00001-26")))));
    }

    void semImpressoraPadrao()
    {
        QVERIFY(QPrinterInfo::availablePrinterNames().isEmpty());   // the tests' own setup
        QVERIFY(!imprimeformulariorecibo(ModeloRecibo()));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Impressora Padrão não localizada ou não instalada!"));
        QVERIFY(Dialogos::registros("impressora").isEmpty());
    }

    // "No" to the question: a countdown from five to closing; each receipt gets a fresh form.
    void naoImprimeENovaFolha()
    {
        QVERIFY(!emiterecibo("00001/26"));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Recibo não encontrado"));
        pagamento("00001/26");
        pagamento("00002/26", "5,00", "0000", "NÃO ESPECIFICADO");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(emiterecibo("00001/26", true));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja Imprimir o Recibo Atual ?"));
        FrmRecibo* primeiro = recibo();
        QVERIFY(primeiro && primeiro->isVisible() && primeiro->modelo().segundavia);
        QCOMPARE(primeiro->modelo().nome + "|" + primeiro->modelo().codigo, QString("João da Silva|00001/26"));
        QVERIFY(!primeiro->findChild<QTimer*>("timertempoparaimprimir")->isActive());
        QLabel* tempo = primeiro->findChild<QLabel*>("lbltempoparaimprimir");
        QCOMPARE(tempo->text(), QString("5"));
        QTest::qWait(1100);
        QCOMPARE(tempo->text(), QString("4"));
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(emiterecibo("00002/26"));
        FrmRecibo* segundo = recibo();
        QVERIFY(segundo && segundo != primeiro && !segundo->modelo().segundavia);
        QCOMPARE(segundo->modelo().codigo, QString("00002/26"));
        QCOMPARE(Dialogos::registros("msgbox").size(), 3);
        esperafechar(segundo);
        QVERIFY(Dialogos::registros("impressora").isEmpty());
    }
};

TIVANE_TEST_MAIN(TstRecibo)
#include "tst_recibo.moc"
