#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "tithes/frmpagamentos.h"
#include "tithes/frmrecibo.h"

#include <QtWidgets>
#include <memory>

using namespace tivane;

namespace {

// "codigo|valor|codigodizimista|nomedizimista|mes|ano|data|hora" per row.
QStringList pagamentos()
{
    QStringList r;
    Consulta c("SELECT codigo||'|'||valor||'|'||codigodizimista||'|'||nomedizimista||'|'||mesreferencia||'|'||"
               "anoreferencia||'|'||data||'|'||hora FROM pagamentos ORDER BY rowid");
    while (c.next())
        r << c.text(0);
    return r;
}

void fechareciboaberto()
{
    if (auto* r = Janelas::instancia<FrmRecibo>("frmrecibo"))
        r->sair();
    QTRY_VERIFY(!Janelas::instancia("frmrecibo"));
}

}  // namespace

class TstFrmPagamentos : public QObject {
    Q_OBJECT

    FrmPagamentos* janela = nullptr;
    QLineEdit *codigo = nullptr, *nome = nullptr, *valor = nullptr;

    void recebe(const QString& cod, const QString& val, const QString& quem = QString())
    {
        codigo->setText(cod);
        if (!quem.isNull())
            nome->setText(quem);
        valor->setText(val);
        janela->receber();
    }

private Q_SLOTS:
    void initTestCase() { teste::criaBancoTeste(); }

    void init()
    {
        teste::limpaBanco();
        teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0001', 'Maria das Dores', 1)");
        QVERIFY(gravaopcao("07", false));
        Dialogos::limpa();
        janela = qobject_cast<FrmPagamentos*>(Janelas::abre("frmpagamentos"));
        QVERIFY(janela);
        codigo = janela->findChild<QLineEdit*>("txtcodigodizimista");
        nome = janela->findChild<QLineEdit*>("txtnomedizimista");
        valor = janela->findChild<QLineEdit*>("txtvalor");
    }

    void cleanup()
    {
        fechareciboaberto();
        Janelas::fecha("frmpagamentos");
        QTRY_VERIFY(!Janelas::instancia("frmpagamentos"));
    }

    void buscaACadaMudanca()
    {
        QTest::keyClicks(codigo, "000");
        QCOMPARE(nome->text(), QString());
        QTest::keyClicks(codigo, "1");
        QCOMPARE(nome->text(), QString("Maria das Dores"));
        QCOMPARE(nome->cursorPosition(), 0);   // the name shows from its start
        QTest::keyClicks(codigo, "1");
        QCOMPARE(nome->text(), QString());
        codigo->setText("0001");   // as the search window writes it
        QCOMPARE(nome->text(), QString("Maria das Dores"));
    }

    // Refused amounts: zero, negative or beyond words first, then the question when no tither
    // has the code, then the format. A file held by another program: the cause, and no question.
    void recusados_data()
    {
        QTest::addColumn<QString>("cod");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("resposta");
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<bool>("travado");
        const QString zero = "Você deve definir o valor recebido!", formato = "Formato de valor incorreto! Ajuste por favor!",
                      pergunta = "Não foi encontrado Dizimista com o código especificado acima, deseja continuar?",
                      maximo = "O valor máximo de um recibo é 9.999.999,99: um valor maior não pode ser escrito por "
                               "extenso. Ajuste por favor!",
                      emuso = "Não foi possível procurar o dizimista 0001: o arquivo está em uso por outro programa. "
                              "A operação foi interrompida.";
        for (const char* t : {"0", "0,00", "0,001", "-0,001"})
            QTest::newRow(t) << "" << QString(t) << 0 << QStringList{zero} << false;
        for (const char* t : {"-5", "-0,01"})
            QTest::newRow(t) << "" << QString(t) << 0 << QStringList{"O valor recebido não pode ser negativo! Ajuste por favor!"} << false;
        for (const char* t : {"10.000.000", "9999999,995", "123456789012"})
            QTest::newRow(t) << "" << QString(t) << 0 << QStringList{maximo} << false;
        QTest::newRow("12.5 de dizimista") << "0001" << "12.5" << 0 << QStringList{formato} << false;
        QTest::newRow("abc, não") << "" << "abc" << int(Dialogos::Nao) << QStringList{pergunta} << false;
        QTest::newRow("abc, sim") << "" << "abc" << int(Dialogos::Sim) << QStringList{pergunta, formato} << false;
        // Once when the code is typed, once at RECEBER.
        QTest::newRow("arquivo em uso") << "0001" << "10" << 0 << QStringList{emuso, emuso} << true;
        // An empty code is no tither's without a read: the question, then the write names the cause.
        QTest::newRow("arquivo em uso, sem código")
            << "" << "10" << int(Dialogos::Sim)
            << QStringList{pergunta, "Não foi possível gravar o pagamento: o arquivo está em uso por outro programa. "
                                     "Nada foi alterado."}
            << true;
    }
    void recusados()
    {
        QFETCH(QString, cod);
        QFETCH(QString, texto);
        QFETCH(int, resposta);
        QFETCH(QStringList, mensagens);
        QFETCH(bool, travado);
        if (resposta)
            Dialogos::respondeMsgbox(Dialogos::Resposta(resposta));
        {
            std::unique_ptr<teste::Trava> trava(travado ? new teste::Trava : nullptr);
            recebe(cod, texto);
        }
        QStringList vistas;
        for (const auto& r : Dialogos::registros("msgbox"))
            vistas << r.texto;
        QCOMPARE(vistas, mensagens);
        QCOMPARE(codigo->text(), cod);
        if (texto == "abc")
            QCOMPARE(valor->text(), texto);
        QVERIFY(pagamentos().isEmpty());
    }

    void recebeDeDizimista()
    {
        QVERIFY(gravaopcao("07", true));
        janela->findChild<QComboBox*>("Combomes")->setCurrentText("03");
        janela->findChild<QComboBox*>("comboano")->setCurrentText("2025");
        Dialogos::respondeMsgbox(Dialogos::Nao);   // do not print
        recebe("0001", "1.250,5");
        const QStringList l = pagamentos();
        QCOMPARE(l.size(), 1);
        const QString yy = QDate::currentDate().toString("yy");
        QCOMPARE(l[0].section('|', 0, 5), "00001/" + yy + "|1250,50|0001|Maria das Dores|03|2025");
        QCOMPARE(l[0].section('|', 6, 6).right(4), QString::number(QDate::currentDate().year()));
        QVERIFY(QTime::fromString(l[0].section('|', 7), "HH:mm").isValid());
        auto* recibo = Janelas::instancia<FrmRecibo>("frmrecibo");
        QVERIFY(recibo);
        QCOMPARE(recibo->modelo().codigo + " " + recibo->modelo().mes, "00001/" + yy + " 03");
        QCOMPARE(codigo->text() + nome->text() + "|" + valor->text(), QString("|0,00"));
    }

    // No code, then a code that is no tither's: the code and the name typed are kept.
    void recebeSemDizimista()
    {
        for (const auto& [cod, val, quem] : {std::array<QString, 3>{"", "7"}, {"0099", "3,5", "Visitante"}}) {
            fechareciboaberto();
            Dialogos::respondeMsgbox(Dialogos::Sim);   // go on without a tither
            Dialogos::respondeMsgbox(Dialogos::Nao);   // do not print
            recebe(cod, val, quem);
        }
        const QStringList l = pagamentos();
        QCOMPARE(l.size(), 2);
        // Without option "07" the reference is the current month and year.
        QCOMPARE(l[0].section('|', 1, 5), "7,00|0000|NÃO ESPECIFICADO|" + QDate::currentDate().toString("MM|yyyy"));
        QCOMPARE(l[1].section('|', 0, 3), "00002/" + QDate::currentDate().toString("yy") + "|3,50|0099|Visitante");
    }

    // After a receipt is written and shown, the emptied code box reads nothing: another
    // program holding the file then must not turn a finished receipt into a warning.
    void nenhumAvisoDepoisDoRecibo()
    {
        std::unique_ptr<teste::Trava> trava;
        {
            const teste::AoEvento travaAoMostrar(QEvent::Show, "frmrecibo", [&](QWidget*) {
                if (!trava)
                    trava = std::make_unique<teste::Trava>();
            });
            Dialogos::respondeMsgbox(Dialogos::Nao);   // do not print
            recebe("0001", "10");
        }
        QVERIFY(trava);
        QCOMPARE(codigo->text() + nome->text(), QString());
        QCOMPARE(codigo->palette().color(QPalette::Base), janela->palette().color(QPalette::Base));
        trava.reset();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja Imprimir o Recibo Atual ?"));
        QCOMPARE(pagamentos().size(), 1);
    }

    // A payment written whose receipt cannot then be read says that the tithe was recorded.
    void reciboNaoMostradoDepoisDeGravado()
    {
        QVERIFY(teste::sql("ALTER TABLE igreja RENAME TO igreja_fora"));
        recebe("0001", "10");
        QVERIFY(teste::sql("ALTER TABLE igreja_fora RENAME TO igreja"));
        const QString m = Dialogos::ultimo("msgbox").texto;
        QVERIFY2(Dialogos::registros("msgbox").size() == 1 && Dialogos::ultimo("msgbox").estilo == 48
                     && m.startsWith("O dízimo foi gravado com o recibo 00001/" + QDate::currentDate().toString("yy")
                                     + ", mas o recibo não pôde ser mostrado: ")
                     && m.endsWith(". Emita-o pelo menu \"2* Via Recibo\"."),
                 qPrintable(m));
        QVERIFY(!Janelas::instancia("frmrecibo"));
        QCOMPARE(pagamentos().size(), 1);
        QCOMPARE(codigo->text() + "|" + valor->text(), QString("|0,00"));
    }

    void falhaNaGravacao()
    {
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON pagamentos BEGIN SELECT RAISE(ABORT, 'x'); END"));
        recebe("0001", "10");
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível gravar o pagamento"));
        QVERIFY(!Janelas::instancia("frmrecibo"));
        QCOMPARE(codigo->text() + "|" + valor->text(), QString("0001|10,00"));
        QVERIFY(pagamentos().isEmpty());
    }
};

TIVANE_TEST_MAIN(TstFrmPagamentos)
#include "tst_frmpagamentos.moc"
