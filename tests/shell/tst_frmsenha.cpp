#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmsenha.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

using namespace tivane;

class TstFrmSenha : public QObject {
    Q_OBJECT

    QComboBox* combo(FrmSenha& j) { return j.findChild<QComboBox*>("combousuarios"); }
    QLineEdit* senha(FrmSenha& j) { return j.findChild<QLineEdit*>("txtsenha"); }
    QStringList nomes(FrmSenha& j)
    {
        QStringList r;
        for (int i = 0; i < combo(j)->count(); ++i)
            r << combo(j)->itemText(i);
        return r;
    }
    QString codigoGravado()
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, "Tivane", "TivaneDizimo");
        return s.value("currentf/cod").toString();
    }

private Q_SLOTS:
    void init()
    {
        teste::limpaConfiguracoes();
        teste::criaBancoTeste();
        Dialogos::limpa();
    }

    void tabelaVaziaSoTemMaster()
    {
        auto* j = FrmSenha::inicia();
        QCOMPARE(nomes(*j), QStringList{"Master"});
        QCOMPARE(combo(*j)->currentIndex(), 0);
        // Typing goes into the password box, and Enter logs in.
        QVERIFY(QTest::qWaitForWindowActive(j));
        QCOMPARE(QApplication::focusWidget(), senha(*j));
        QTest::keyClicks(QApplication::focusWidget(), "qorm64");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        QCOMPARE(lerusuarioatual(), QString("0000"));
        QVERIFY(Janelas::instancia("frmprincipal"));
    }

    void listaOrdenadaECadaEntradaComSeuUsuario()
    {
        teste::sql("INSERT INTO usuarios VALUES ('0001', 'Paulo', 'pp', '01/01/2020')");
        teste::sql("INSERT INTO usuarios VALUES ('0002', 'Ana', 'aa', '01/01/2020')");
        teste::sql("INSERT INTO usuarios VALUES ('0003', 'Ana', 'outra', '01/01/2020')");
        teste::sql(QStringLiteral("INSERT INTO usuarios VALUES ('0004', 'álvaro', 'av', '01/01/2020')"));
        FrmSenha j;
        QCOMPARE(nomes(j), (QStringList{QStringLiteral("álvaro"), "Ana", "Ana", "Master", "Paulo"}));

        // Each "Ana" checks its own password and stores its own code.
        combo(j)->setCurrentIndex(2);
        senha(j)->setText("aa");
        QVERIFY(!j.entrarnosistema());
        senha(j)->setText("outra");
        QVERIFY(j.entrarnosistema());
        QCOMPARE(lerusuarioatual(), QString("0003"));

        FrmSenha k;
        combo(k)->setCurrentIndex(4);
        senha(k)->setText("pp");
        QVERIFY(k.entrarnosistema());
        QCOMPARE(lerusuarioatual(), QString("0001"));

        FrmSenha m;
        combo(m)->setCurrentIndex(3);
        senha(m)->setText("pp");
        QVERIFY(!m.entrarnosistema());
        senha(m)->setText("qorm64");
        QVERIFY(m.entrarnosistema());
        QCOMPARE(lerusuarioatual(), QString("0000"));
    }

    void senhaErradaNaoMudaNada()
    {
        teste::sql("INSERT INTO usuarios VALUES ('0001', 'Paulo', 'Segredo', '01/01/2020')");
        QString codigo = "0042";
        gravausuarioatual(codigo);
        const QString antes = codigoGravado();
        FrmSenha j;
        combo(j)->setCurrentIndex(combo(j)->findText("Paulo"));
        senha(j)->setText("segredo");   // capitals count
        QVERIFY(!j.entrarnosistema());
        QCOMPARE(Dialogos::ultimo().texto, QString("Senha Incorreta!"));
        QCOMPARE(Dialogos::ultimo().estilo, 48);
        QCOMPARE(codigoGravado(), antes);
        QVERIFY(!j.logou());
    }

    void codigoVazioViraMaster()
    {
        teste::sql("INSERT INTO usuarios VALUES ('', 'Sem Código', 'x', NULL)");
        FrmSenha j;
        combo(j)->setCurrentIndex(combo(j)->findText(QStringLiteral("Sem Código")));
        senha(j)->setText("x");
        QVERIFY(j.entrarnosistema());
        QCOMPARE(lerusuarioatual(), QString("0000"));
    }

    void opcao04EntraDireto()
    {
        gravaopcao("04", true);
        FrmSenha* j = FrmSenha::inicia();
        QVERIFY(j == nullptr);
        QCOMPARE(lerusuarioatual(), QString("0000"));
        QCOMPARE(codigoGravado(), codificatexto(CHAVE_USUARIO, "0000", 1));
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        QTest::qWait(0);
    }

    void f6NaSenhaRestauraPadroes()
    {
        FrmSenha j;
        j.show();
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QTest::keyClick(senha(j), Qt::Key_F6);
        QCOMPARE(Dialogos::registros("msgbox").size(), 2);
        QVERIFY(leropcao("02"));
        // F6 elsewhere does nothing.
        Dialogos::limpa();
        QTest::keyClick(combo(j), Qt::Key_F6);
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
    }
};

TIVANE_TEST_MAIN(TstFrmSenha)
#include "tst_frmsenha.moc"
