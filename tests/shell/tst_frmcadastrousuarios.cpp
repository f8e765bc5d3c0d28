// The users window and its record rules: numbering, stepping, save checks, modify, delete and exit.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "shell/frmcadastrousuarios.h"
#include "shell/frmprincipal.h"

#include <QtWidgets>

using namespace tivane;

class TstFrmCadastroUsuarios : public QObject {
    Q_OBJECT

    static constexpr const char* CAD = "frmcadastrousuarios";
    static FrmCadastroUsuarios* abre() { return qobject_cast<FrmCadastroUsuarios*>(Janelas::abre(CAD)); }
    static void fecha(const char* n = CAD) { Janelas::fecha(n); QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static QLineEdit* c(QWidget* w, const char* nome)
    {
        if (auto* r = w->findChild<QLineEdit*>(nome))
            return r;
        qFatal("control %s missing", nome);
    }
    static QString t(QWidget* w, const char* nome) { return c(w, nome)->text(); }
    static QString banner(QWidget* w) { return w->findChild<QLabel*>("lblstatus")->text(); }
    static QString msg() { return Dialogos::ultimo("msgbox").texto; }
    static QString hoje() { return QDate::currentDate().toString("dd/MM/yyyy"); }
    static void botao(QWidget* w, const char* nome) { w->findChild<QAction*>(nome)->trigger(); }
    static void preenche(QWidget* w, const QString& codigo, const QString& nome, const QString& senha, const QString& contra)
    {
        c(w, "txtcodigo")->setText(codigo);
        c(w, "txtnome")->setText(nome);
        c(w, "txtsenha")->setText(senha);
        c(w, "txtcontrasenha")->setText(contra);
    }
    // Every row, in table order: "codigo|nome|senha|cadastro".
    static QStringList linhas()
    {
        QVector<Usuario> us;
        const Leitura lida = listausuarios(&us);
        if (lida == Leitura::Falha)
            return {"falha: " + lida.causa()};
        QStringList r;
        for (const Usuario& u : us)
            r << QStringList{u.codigo, u.nome, u.senha, u.cadastro}.join('|');
        return r;
    }
    static void salva(const QString& valores) { QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome, senha, cadastro) VALUES " + valores)); }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init() { fecha(); teste::limpaBanco(); Dialogos::limpa(); }
    void cleanup()
    {
        fecha();
        QVERIFY(teste::sql("DROP TRIGGER IF EXISTS temp.falha"));
        if (lerusuario("", nullptr) == Leitura::Falha)
            QVERIFY(teste::sql("ALTER TABLE perdida RENAME TO usuarios"));
    }

    void tabelaVaziaENavegacao()
    {
        auto* w = abre();
        QCOMPARE(QString::number(Dialogos::registros("msgbox").size()) + msg(), QString("1Não existem registros cadastrados"));
        QCOMPARE(t(w, "txtcodigo") + " " + t(w, "txtdatacadastro") + " " + banner(w), "0001 " + hoje() + " Novo Registro");
        QVERIFY(!c(w, "txtcodigo")->isReadOnly() && !c(w, "txtdatacadastro")->isReadOnly());
        auto* codigo = c(w, "txtcodigo");
        const auto passo = [&](const QString& caixa, bool avanca) {
            codigo->setText(caixa);
            Dialogos::limpa();
            botao(w, avanca ? "btnavancar" : "btnvoltar");
            return codigo->text() + (Dialogos::registros("msgbox").isEmpty() ? QString() : " " + msg());
        };
        QCOMPARE(passo("0001", false), QString("0001 Primeiro Registro"));
        QCOMPARE(passo("0001", true), QString("0001 Último Registro"));

        salva("('0001', 'Ana', 'a', '01/02/2020'), ('0002', 'Bia', 'b', NULL), ('0005', 'Caio', 'c', '03/04/2021')");
        w->novousuario();
        QCOMPARE(t(w, "txtcodigo"), QString("0006"));
        c(w, "txtcontrasenha")->setText("x");
        QCOMPARE(passo("0006", true) + "|" + passo("0006", false), QString("0006 Último Registro|0005"));
        QCOMPARE(t(w, "txtnome") + t(w, "txtsenha") + t(w, "txtcontrasenha") + t(w, "txtdatacadastro") + " " + banner(w),
                 QString("Caioc03/04/2021 Novo Registro"));   // the confirmation is not filled, the banner stays
        QVERIFY(c(w, "txtnome")->isReadOnly() && codigo->isReadOnly() && c(w, "txtsenha")->isReadOnly());
        QCOMPARE(passo("0005", false) + passo("0002", true), QString("00020005"));   // skips the missing codes
        QCOMPARE(passo("0001", false), QString("0001 Primeiro Registro"));
        codigo->setText("2");   // codes are compared as text
        QCOMPARE(w->registroexiste(), Leitura::NaoEncontrado);
    }

    void salvarNovoUsuario_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QString>("contra");
        QTest::addColumn<QString>("mensagem");   // "" when saved
        const QString vazio = "Você deve digitar a senha e o nome do usuário.";
        const QString longo = QString(99, QChar(u'ã')) + "Z";
        QTest::newRow("simples") << "0003" << "Ana" << "segredo" << "segredo" << "";
        QTest::newRow("aspas e acentos") << "0003" << "D'Ávila \"Zé\"" << "p'a\"ç" << "p'a\"ç" << "";
        QTest::newRow("100 caracteres") << "0003" << longo << longo << longo << "";
        QTest::newRow("so espacos") << "0003" << "   " << " " << " " << "";
        QTest::newRow("32768") << "32768" << "Ana" << "s" << "s" << "";
        QTest::newRow("contra-senha difere") << "0003" << "Ana" << "segredo" << "Segredo" << "Senha e contra-senha não conferem";
        QTest::newRow("contra-senha vazia") << "0003" << "Ana" << "segredo" << "" << "Senha e contra-senha não conferem";
        QTest::newRow("nome vazio") << "0003" << "" << "s" << "s" << vazio;
        QTest::newRow("senha vazia") << "0003" << "Ana" << "" << "" << vazio;
        QTest::newRow("codigo salvo") << "0002" << "Ana" << "s" << "s" << "Esse registro já foi salvo, tente modificar !";
        const QString invalido = "O código do usuário deve ser um número, como 0001. Corrija o código (%1) para salvar.";
        QTest::newRow("codigo vazio") << "" << "Ana" << "s" << "s" << invalido.arg("");
        QTest::newRow("codigo com letras") << "00a1" << "Ana" << "s" << "s" << invalido.arg("00a1");
        QTest::newRow("codigo negativo") << "-1" << "Ana" << "s" << "s" << invalido.arg("-1");
        QTest::newRow("codigo com espaco") << " 3" << "Ana" << "s" << "s" << invalido.arg(" 3");
        // Payments recorded by a deleted user, or by Master, would name the new one.
        const QString pagos = "O código %1 já consta em pagamentos registrados por outro usuário. Escolha outro código, "
                              "para que este usuário não fique com esses pagamentos.";
        QTest::newRow("codigo com pagamentos") << "0009" << "Ana" << "s" << "s" << pagos.arg("0009");
        QTest::newRow("codigo do Master") << "0000" << "Ana" << "s" << "s" << pagos.arg("0000");
    }
    void salvarNovoUsuario()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, nome);
        QFETCH(QString, senha);
        QFETCH(QString, contra);
        QFETCH(QString, mensagem);
        salva("('0002', 'Bia', 'b', '01/01/2020')");
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigofuncionario) VALUES ('00001/26', '0009'), ('00002/26', '0000')"));
        auto* w = abre();
        QCOMPARE(t(w, "txtcodigo"), QString("0003"));
        preenche(w, codigo, nome, senha, contra);
        const QStringList antes = linhas();
        Dialogos::limpa();
        botao(w, "btnsalvar");
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        if (!mensagem.isEmpty()) {
            QCOMPARE(msg(), mensagem);
            QCOMPARE(linhas(), antes);   // nothing changes in the table
            QCOMPARE(t(w, "txtnome") + t(w, "txtsenha"), nome + senha);   // nor on screen
            return;
        }
        QCOMPARE(msg() + QString::number(Dialogos::ultimo("msgbox").estilo), "Usuário: (" + nome + ") cadastrado com sucesso !64");
        QCOMPARE(linhas(), antes + QStringList(QStringList({codigo, nome, senha, hoje()}).join('|')));
        // A fresh new record with the following code.
        const QString proximo = codigo == "32768" ? "32769" : "0004";
        QCOMPARE(t(w, "txtcodigo") + t(w, "txtnome") + t(w, "txtsenha") + " " + banner(w), proximo + " Novo Registro");
        QCOMPARE(w->focusWidget(), c(w, "txtnome"));   // ready for the next user, keys included
    }

    void modificarComSenhaAtual()
    {
        salva("('0001', 'Ana', 'a1', '01/02/2020'), ('0002', 'Bia', 'b2', '02/02/2020'), ('0003', 'Caio', 'c3', NULL)");
        auto* w = abre();
        c(w, "txtcodigo")->setText("0003");
        w->anteriorusuario();   // Bia
        Dialogos::respondeTexto("errada");
        botao(w, "btnmodificar");
        QCOMPARE(Dialogos::ultimo("inputbox").texto, QString("Digite a senha atual para modificar este registro:"));
        QCOMPARE(msg() + QString::number(Dialogos::ultimo("msgbox").estilo), QString("Senha incorreta!0"));
        QVERIFY(c(w, "txtnome")->isReadOnly());
        Dialogos::respondeTexto("b2");
        botao(w, "btnmodificar");
        QCOMPARE(banner(w), QString("Modificando Registro"));
        QVERIFY(!c(w, "txtnome")->isReadOnly() && !c(w, "txtcodigo")->isReadOnly());   // the button unlocks the code too

        c(w, "txtnome")->setText("Bia Maria");
        c(w, "txtsenha")->setText("nova");
        Dialogos::limpa();
        botao(w, "btnsalvar");   // the confirmation is still empty
        QCOMPARE(msg(), QString("Senha e contra-senha não conferem"));
        c(w, "txtcontrasenha")->setText("nova");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        botao(w, "btnsalvar");
        QCOMPARE(msg() + QString::number(Dialogos::ultimo("msgbox").estilo) + banner(w),
                 QString("Deseja alterar os dados do usuário:Bia ?36Modificando Registro"));
        const QStringList antes = linhas();

        // A failure part-way leaves the user as saved, and the changes on screen.
        QVERIFY(teste::sql("CREATE TEMP TRIGGER falha BEFORE UPDATE ON usuarios BEGIN SELECT RAISE(ABORT, 'disco cheio'); END"));
        Dialogos::respondeMsgbox(Dialogos::Sim);
        botao(w, "btnsalvar");
        QVERIFY2(msg().startsWith("Não foi possível alterar os dados do usuário"), qPrintable(msg()));
        QCOMPARE(linhas(), antes);
        QCOMPARE(banner(w) + " " + t(w, "txtnome"), QString("Modificando Registro Bia Maria"));
        QVERIFY(teste::sql("DROP TRIGGER temp.falha"));

        Dialogos::respondeMsgbox(Dialogos::Sim);
        botao(w, "btnsalvar");
        QCOMPARE(msg(), QString("Usuário: (Bia Maria) , alterado com sucesso !"));
        QVERIFY(banner(w) == "Somente Leitura" && !c(w, "txtnome")->isReadOnly());   // the boxes keep their lock state
        // Same place in the table (the login's order), every field written.
        QCOMPARE(linhas(), QStringList({antes.at(0), "0002|Bia Maria|nova|02/02/2020", antes.at(2)}));

        // Deleted elsewhere while shown: saving never brings the user back to log in.
        Dialogos::respondeTexto("nova");
        botao(w, "btnmodificar");
        QVERIFY(teste::sql("DELETE FROM usuarios WHERE codigo = '0002'"));
        Dialogos::limpa();
        botao(w, "btnsalvar");
        QCOMPARE(msg() + "|" + banner(w), QString("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !|Somente Leitura"));
        botao(w, "btnsalvar");
        QCOMPARE(msg(), QString("Esse registro já foi salvo, tente modificar !"));
        QCOMPARE(linhas(), QStringList({antes.at(0), antes.at(2)}));

        c(w, "txtcodigo")->setText("0077");   // not saved
        w->alterarusuario(false);
        QCOMPARE(msg() + "|" + banner(w), QString("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !|Somente Leitura"));

        // In a new record with an empty password, an empty answer (or Cancel) passes.
        w->novousuario();
        botao(w, "btnmodificar");
        QCOMPARE(banner(w), QString("Modificando Registro"));
    }

    void excluir()
    {
        salva("('0001', 'Ana', 'a', NULL), ('0002', 'Bia', 'b', NULL)");
        auto* w = abre();
        w->excluirusuario("0009");
        QCOMPARE(msg() + QString::number(Dialogos::ultimo("msgbox").estilo), QString("Não existe usuário cadastrado com este código48"));
        c(w, "txtcodigo")->setText("0003");
        w->anteriorusuario();
        Dialogos::respondeMsgbox(Dialogos::Nao);
        botao(w, "btnexcluir");
        QVERIFY(msg() == "Deseja Realmente excluir o Usuário: Bia ?" && linhas().size() == 2);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        botao(w, "btnexcluir");
        QCOMPARE(msg() + QString::number(Dialogos::registros("inputbox").size()), QString("Registro excluído com sucesso !!!0"));   // no password asked
        QCOMPARE(linhas(), QStringList{"0001|Ana|a|"});
        QCOMPARE(t(w, "txtcodigo") + " " + banner(w), QString("0002 Novo Registro"));
    }

    void falhaDeLeitura()
    {
        salva("('0001', 'Ana', 'a', NULL)");
        auto* w = abre();
        QVERIFY(teste::sql("ALTER TABLE usuarios RENAME TO perdida"));
        QVector<Usuario> lista{{"x", "", "", ""}};
        QVERIFY(listausuarios(&lista) == Leitura::Falha && lista.isEmpty());
        // Each step warns that the database could not be read, and changes nothing.
        preenche(w, "0003", "Novo", "n", "n");
        for (const char* b : {"btnvoltar", "btnavancar", "btnsalvar", "btnexcluir", "btnnovo"}) {
            Dialogos::limpa();
            botao(w, b);
            QVERIFY2(Dialogos::registros("msgbox").size() == 1 && msg().startsWith("Não foi possível ler o banco de dados"), b);
        }
        QVERIFY(teste::sql("ALTER TABLE perdida RENAME TO usuarios"));
        QCOMPARE(linhas(), QStringList{"0001|Ana|a|"});
    }

    void senhasComAsteriscosESair()
    {
        auto* principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal && QTest::qWaitForWindowExposed(principal));
        QVERIFY(principal->findChild<QAction*>("mnucadastrousuarios")->isEnabled());
        principal->findChild<QAction*>("mnucadastrousuarios")->trigger();
        auto* w = qobject_cast<FrmCadastroUsuarios*>(Janelas::instancia(CAD));
        QVERIFY(w && !principal->barraprincipal()->isVisible());
        for (const char* n : {"txtsenha", "txtcontrasenha"}) {
            QTest::keyClicks(c(w, n), "ab1");
            QCOMPARE(c(w, n)->displayText() + c(w, n)->text(), QString("***ab1"));
        }
        Dialogos::respondeMsgbox(Dialogos::Nao);
        botao(w, "btnsair");
        QCOMPARE(msg(), QString("Deseja realmente sair da tela de cadastro de Usuários?"));
        QVERIFY(Janelas::instancia(CAD) == w && !principal->barraprincipal()->isVisible());
        Dialogos::respondeMsgbox(Dialogos::Sim);
        botao(w, "btnsair");
        QVERIFY(!Janelas::instancia(CAD) && principal->barraprincipal()->isVisible());
        fecha("frmprincipal");
    }
};

TIVANE_TEST_MAIN(TstFrmCadastroUsuarios)
#include "tst_frmcadastrousuarios.moc"
