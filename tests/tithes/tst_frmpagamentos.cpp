#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "register/frmlocaliza.h"
#include "tithes/frmpagamentos.h"
#include "tithes/frmrecibo.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace tivane;

namespace {

struct Linha {
    QString codigo, valor, dizimista, nome, mes, ano, data, hora;
};

QList<Linha> pagamentos()
{
    QList<Linha> r;
    Consulta c("SELECT codigo, valor, codigodizimista, nomedizimista, mesreferencia, anoreferencia, data, hora"
               " FROM pagamentos ORDER BY rowid");
    while (c.next())
        r << Linha{c.text(0), c.text(1), c.text(2), c.text(3), c.text(4), c.text(5), c.text(6), c.text(7)};
    return r;
}

}  // namespace

class TstFrmPagamentos : public QObject {
    Q_OBJECT

    FrmPagamentos* janela = nullptr;
    QLineEdit* codigo = nullptr;
    QLineEdit* nome = nullptr;
    QLineEdit* valor = nullptr;

    void abre()
    {
        janela = qobject_cast<FrmPagamentos*>(Janelas::abre("frmpagamentos"));
        QVERIFY(janela);
        codigo = janela->findChild<QLineEdit*>("txtcodigodizimista");
        nome = janela->findChild<QLineEdit*>("txtnomedizimista");
        valor = janela->findChild<QLineEdit*>("txtvalor");
        QVERIFY(codigo && nome && valor);
    }

    void fechareciboaberto()
    {
        if (auto* r = Janelas::instancia<FrmRecibo>("frmrecibo"))
            r->sair();
        QTRY_VERIFY(!Janelas::instancia("frmrecibo"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
    }

    void init()
    {
        teste::limpaBanco();
        teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0001', 'Maria das Dores', 1)");
        gravaopcao("07", false);
        Dialogos::limpa();
        abre();
    }

    void cleanup()
    {
        fechareciboaberto();
        Janelas::fecha("frmpagamentos");
        QTRY_VERIFY(!Janelas::instancia("frmpagamentos"));
    }

    void abertura()
    {
        QCOMPARE(janela->windowTitle(), QString("Recebimento de Dízimos"));
        QCOMPARE(valor->text(), QString("0,00"));
        QVERIFY(!janela->findChild<QFrame*>("Framereferencia")->isVisibleTo(janela));
        auto* mes = janela->findChild<QComboBox*>("Combomes");
        auto* ano = janela->findChild<QComboBox*>("comboano");
        QCOMPARE(mes->count(), 12);
        QCOMPARE(mes->itemText(0), QString("01"));
        QCOMPARE(mes->currentText(), QDate::currentDate().toString("MM"));
        QCOMPARE(ano->itemText(0), QString("2015"));
        QCOMPARE(ano->itemText(ano->count() - 1), QString::number(QDate::currentDate().year() + 5));
        QCOMPARE(ano->currentText(), QString::number(QDate::currentDate().year()));

        cleanup();
        gravaopcao("07", true);
        abre();
        QVERIFY(janela->findChild<QFrame*>("Framereferencia")->isVisibleTo(janela));
    }

    void buscaACadaMudanca()
    {
        const QColor fundo = codigo->palette().color(QPalette::Base);
        QTest::keyClicks(codigo, "000");
        QCOMPARE(nome->text(), QString());
        QTest::keyClicks(codigo, "1");
        QCOMPARE(nome->text(), QString("Maria das Dores"));
        QCOMPARE(codigo->palette().color(QPalette::Base), QColor(192, 192, 255));
        QCOMPARE(nome->palette().color(QPalette::Base), QColor(192, 192, 255));
        QTest::keyClicks(codigo, "1");
        QCOMPARE(nome->text(), QString());
        QCOMPARE(codigo->palette().color(QPalette::Base), fundo);
        // The search window writes the code from outside.
        codigo->setText("0001");
        QCOMPARE(nome->text(), QString("Maria das Dores"));
    }

    void procurarDevolveOCodigo()
    {
        janela->findChild<QPushButton*>("cmdprocurar")->click();
        auto* busca = Janelas::instancia<FrmLocaliza>("frmlocaliza");
        QVERIFY(busca);
        busca->carregalistaporpartedonome("maria", BUSCA_DIZIMISTAS);
        auto* lista = busca->findChild<QTreeWidget*>("lista");
        QCOMPARE(lista->topLevelItemCount(), 1);
        lista->setCurrentItem(lista->topLevelItem(0));
        retornaselecionado(BUSCA_DIZIMISTAS);
        QCOMPARE(codigo->text(), QString("0001"));
        QCOMPARE(nome->text(), QString("Maria das Dores"));
        QTRY_VERIFY(!Janelas::instancia("frmlocaliza"));
    }

    void valorZeroOuNegativo_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::newRow("0") << "0";
        QTest::newRow("0,00") << "0,00";
        QTest::newRow("0,001") << "0,001";
        QTest::newRow("-5") << "-5";
    }
    void valorZeroOuNegativo()
    {
        QFETCH(QString, texto);
        codigo->setText("0001");
        valor->setText(texto);
        janela->receber();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Você deve definir o valor recebido!"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
        QVERIFY(pagamentos().isEmpty());
    }

    void valorIlegivel()
    {
        // A tither's code: straight to the format message.
        codigo->setText("0001");
        valor->setText("12.5");
        janela->receber();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Formato de valor incorreto! Ajuste por favor!"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);

        // No tither: the question comes first; No stops there.
        Dialogos::limpa();
        codigo->setText("");
        valor->setText("abc");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        janela->receber();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo("msgbox").texto,
                 QString("Não foi encontrado Dizimista com o código especificado acima, deseja continuar?"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 36);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        janela->receber();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Formato de valor incorreto! Ajuste por favor!"));
        QCOMPARE(valor->text(), QString("abc"));
        QVERIFY(pagamentos().isEmpty());
    }

    void recebeDeDizimista()
    {
        gravaopcao("07", true);
        codigo->setText("0001");
        valor->setText("1.250,5");
        janela->findChild<QComboBox*>("Combomes")->setCurrentText("03");
        janela->findChild<QComboBox*>("comboano")->setCurrentText("2025");
        Dialogos::respondeMsgbox(Dialogos::Nao);   // do not print
        janela->receber();
        const QList<Linha> l = pagamentos();
        QCOMPARE(l.size(), 1);
        const QString yy = QString::number(QDate::currentDate().year()).right(2);
        QCOMPARE(l[0].codigo, "00001/" + yy);
        QCOMPARE(l[0].valor, QString("1250,50"));
        QCOMPARE(l[0].dizimista, QString("0001"));
        QCOMPARE(l[0].nome, QString("Maria das Dores"));
        QCOMPARE(l[0].mes, QString("03"));
        QCOMPARE(l[0].ano, QString("2025"));
        QCOMPARE(l[0].data.right(4), QString::number(QDate::currentDate().year()));
        QVERIFY(QTime::fromString(l[0].hora, "HH:mm").isValid());
        auto* recibo = Janelas::instancia<FrmRecibo>("frmrecibo");
        QVERIFY(recibo);
        QCOMPARE(recibo->modelo().codigo, l[0].codigo);
        QCOMPARE(recibo->modelo().nome, QString("Maria das Dores"));
        QCOMPARE(recibo->modelo().mes, QString("03"));
        QCOMPARE(codigo->text(), QString());
        QCOMPARE(valor->text(), QString("0,00"));
        QCOMPARE(nome->text(), QString());
    }

    void recebeSemDizimista()
    {
        valor->setText("7");
        Dialogos::respondeMsgbox(Dialogos::Sim);   // go on without a tither
        Dialogos::respondeMsgbox(Dialogos::Nao);   // do not print
        janela->receber();
        QList<Linha> l = pagamentos();
        QCOMPARE(l.size(), 1);
        QCOMPARE(l[0].valor, QString("7,00"));
        QCOMPARE(l[0].dizimista, QString("0000"));
        QCOMPARE(l[0].nome, QString("NÃO ESPECIFICADO"));
        fechareciboaberto();

        // A code that is no tither's keeps the code and the name typed.
        codigo->setText("0099");
        nome->setText("Visitante");
        valor->setText("3,5");
        Dialogos::respondeMsgbox(Dialogos::Sim);
        Dialogos::respondeMsgbox(Dialogos::Nao);
        janela->receber();
        l = pagamentos();
        QCOMPARE(l.size(), 2);
        QCOMPARE(l[1].dizimista, QString("0099"));
        QCOMPARE(l[1].nome, QString("Visitante"));
        QVERIFY(l[1].codigo.startsWith("00002/"));
    }

    void falhaNaGravacao()
    {
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON pagamentos BEGIN SELECT RAISE(ABORT, 'x'); END"));
        codigo->setText("0001");
        valor->setText("10");
        janela->receber();
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível gravar o pagamento"));
        QVERIFY(!Janelas::instancia("frmrecibo"));
        QCOMPARE(codigo->text(), QString("0001"));
        QCOMPARE(valor->text(), QString("10,00"));
        QVERIFY(pagamentos().isEmpty());
    }

    void valorFormatadoAoSair()
    {
        valor->setFocus();
        valor->setText("12,5");
        QEvent saida(QEvent::FocusOut);
        QApplication::sendEvent(valor, &saida);
        QCOMPARE(valor->text(), QString("12,50"));
        valor->setText("abc");
        QApplication::sendEvent(valor, &saida);
        QCOMPARE(valor->text(), QString("abc"));
    }

    void enterNoValorRecebe()
    {
        janela->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(janela));
        valor->setFocus();
        QTRY_VERIFY(valor->hasFocus());
        QVERIFY(janela->findChild<QPushButton*>("cmdreceber")->isDefault());
        QTest::keyClick(valor, Qt::Key_Return);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Você deve definir o valor recebido!"));
        codigo->setFocus();
        QTRY_VERIFY(codigo->hasFocus());
        QVERIFY(janela->findChild<QPushButton*>("cmdprocurar")->isDefault());
    }

    void sair()
    {
        Dialogos::respondeMsgbox(Dialogos::Nao);
        janela->sair();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja realmente sair da tela de Pagamentos?"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 36);
        QVERIFY(Janelas::instancia("frmpagamentos"));
        Dialogos::respondeMsgbox(Dialogos::Sim);
        janela->findChild<QPushButton*>("cmdsair")->click();
        QTRY_VERIFY(!Janelas::instancia("frmpagamentos"));
    }
};

TIVANE_TEST_MAIN(TstFrmPagamentos)
#include "tst_frmpagamentos.moc"
