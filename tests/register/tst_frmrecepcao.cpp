// The reception window: a badge's bar code typed with Enter finds the tither's code; the status line and the box.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/dizimistas.h"
#include "register/frmrecepcao.h"

#include <QtWidgets>

using namespace tivane;

class TstFrmRecepcao : public QObject {
    Q_OBJECT
    static FrmRecepcao* janela() { return qobject_cast<FrmRecepcao*>(Janelas::abre("frmrecepcao")); }
    static QLineEdit* caixa() { return janela()->findChild<QLineEdit*>("txtcodigodebarras"); }
    static QString status() { return janela()->findChild<QLabel*>("lblstatus")->text(); }

private slots:
    void initTestCase()
    {
        teste::criaBancoTeste();
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, barras) VALUES ('0001', 'Ana', '000001'),"
                           " ('0007', 'Bia', '777'), ('0003', 'Caio', '777'), ('0004', 'Davi', 'X''Y')"));
    }
    void init() { Dialogos::limpa(); }
    void cleanup()
    {
        Janelas::fecha("frmrecepcao");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Each row: badges read one after the other (Enter after each), then the codes found, the status and the box.
    void leituras_data()
    {
        QTest::addColumn<QStringList>("cracha");
        QTest::addColumn<QString>("codigos");
        QTest::addColumn<QString>("estado");
        QTest::addColumn<QString>("restante");
        QTest::newRow("conhecido") << QStringList{"000001"} << "0001" << "Coloque o dedo no sensor" << "";
        QTest::newRow("desconhecido") << QStringList{"123"} << "" << "Código Não Localizado" << "";
        QTest::newRow("conhecido depois de desconhecido") << QStringList{"9", "000001"} << "0001" << "Código Não Localizado" << "";
        QTest::newRow("repetido: o primeiro da tabela") << QStringList{"777"} << "0007" << "Coloque o dedo no sensor" << "";
        QTest::newRow("aspas: só um texto") << QStringList{"X'Y"} << "0004" << "Coloque o dedo no sensor" << "";
        QTest::newRow("injeção") << QStringList{"' OR '1'='1"} << "" << "Código Não Localizado" << "";
        QTest::newRow("vazio também procura") << QStringList{""} << "" << "Código Não Localizado" << "";
        QTest::newRow("mais de 20 caracteres") << QStringList{QString(21, '7')} << "" << "Código Não Localizado" << "";
    }
    void leituras()
    {
        QFETCH(QStringList, cracha);
        QFETCH(QString, codigos);
        QFETCH(QString, estado);
        QFETCH(QString, restante);
        QStringList achados;
        for (const QString& lido : cracha) {
            QString codigo = lido;
            caixa()->setText(lido);
            if (janela()->marcaquardacodigodebarras(codigo) == Leitura::Encontrado)
                achados << codigo;
        }
        QCOMPARE(achados.join(','), codigos);
        QCOMPARE(status(), estado);
        QCOMPARE(caixa()->text(), restante);
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
    }

    void janelaEEnter()
    {
        auto* w = janela();
        QCOMPARE(w->windowTitle(), QString("Recepção de Fiéis"));
        QVERIFY(!w->findChild<QWidget*>("Framelocalizado")->isVisible());
        QCOMPARE(w->findChild<QProgressBar*>("drawfield1")->maximum(), 40);
        QTest::keyClicks(caixa(), "555");   // as a reader types it
        QTest::keyClick(caixa(), Qt::Key_Return);
        QCOMPARE(status() + "|" + caixa()->text(), QString("Código Não Localizado|"));

        // A read that fails is not "not found": the warning names it and the badge stays to be read again.
        QVERIFY(teste::sql("ALTER TABLE dizimistas RENAME TO guardada"));
        QTest::keyClicks(caixa(), "000001");
        QTest::keyClick(caixa(), Qt::Key_Return);
        QVERIFY(teste::sql("ALTER TABLE guardada RENAME TO dizimistas"));
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível ler o banco de dados"));
        QCOMPARE(caixa()->text(), QString("000001"));
        w->findChild<QPushButton*>("Cmdparar")->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Janelas::instancia("frmrecepcao"));
    }
};

TIVANE_TEST_MAIN(TstFrmRecepcao)
#include "tst_frmrecepcao.moc"
