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
    // Chooses the entry at that position (or with that name) and tries the password.
    bool entra(FrmSenha& j, const QVariant& entrada, const QString& texto)
    {
        combo(j)->setCurrentIndex(entrada.typeId() == QMetaType::Int ? entrada.toInt()
                                                                      : combo(j)->findText(entrada.toString()));
        senha(j)->setText(texto);
        return j.entrarnosistema();
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
        teste::sql(QStringLiteral("INSERT INTO usuarios VALUES ('0001', 'Paulo', 'pp', NULL), ('0002', 'Ana', 'aa', NULL),"
                                  " ('0003', 'Ana', 'outra', NULL), ('0004', 'álvaro', 'av', NULL)"));
        FrmSenha j;
        QCOMPARE(nomes(j), (QStringList{QStringLiteral("álvaro"), "Ana", "Ana", "Master", "Paulo"}));

        // Each "Ana" checks its own password and stores its own code.
        QVERIFY(!entra(j, 2, "aa"));
        QVERIFY(entra(j, 2, "outra"));
        QCOMPARE(lerusuarioatual(), QString("0003"));
        FrmSenha k;
        QVERIFY(entra(k, 4, "pp"));
        QCOMPARE(lerusuarioatual(), QString("0001"));
        FrmSenha m;
        QVERIFY(!entra(m, 3, "pp"));   // Master has its own password
        QVERIFY(entra(m, 3, "qorm64"));
        QCOMPARE(lerusuarioatual(), QString("0000"));
    }

    void senhaErradaNaoMudaNada()
    {
        teste::sql("INSERT INTO usuarios VALUES ('0001', 'Paulo', 'Segredo', '01/01/2020')");
        QString codigo = "0042";
        gravausuarioatual(codigo);
        const QString antes = codigoGravado();
        FrmSenha j;
        QVERIFY(!entra(j, "Paulo", "segredo"));   // capitals count
        QCOMPARE(Dialogos::ultimo().texto, QString("Senha Incorreta!"));
        QCOMPARE(Dialogos::ultimo().estilo, 48);
        QCOMPARE(codigoGravado(), antes);
        QVERIFY(!j.logou());
    }

    void codigoVazioViraMaster()
    {
        teste::sql("INSERT INTO usuarios VALUES ('', 'Sem Código', 'x', NULL)");
        FrmSenha j;
        QVERIFY(entra(j, QStringLiteral("Sem Código"), "x"));
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
