#include "testsupport.h"

#include "core/colorgradiente.h"
#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmcadastrousuarios.h"
#include "shell/frmsenha.h"
#include "shell/verificacao.h"
#include "tithes/pagamentos.h"

#include <QtWidgets>

using namespace tivane;

using Mudancas = QList<QPair<int, qint32>>;   // stop and colour given to SetColor, in order

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

    // First: the check runs once per start.
    void bancoDanificadoAvisaUmaVezAposLogin()
    {
        // Where the mount table does not show the data folder (a chroot, some containers),
        // the folder is still this computer's own: the case runs again so.
        if (teste::podeOcultarMontagens() && !teste::montagensOcultas()) {
            QString saida;
            QVERIFY2(teste::executaSemMontagens(QTest::currentTestFunction(), &saida), qPrintable(saida));
        }
        if (teste::montagensOcultas())
            QVERIFY(QStorageInfo(Banco::caminhoArquivo()).fileSystemType().isEmpty());
        teste::sql("BEGIN");
        for (int i = 1; i <= 3000; ++i)
            teste::sql(QString("INSERT INTO dizimistas (codigo, nome) VALUES ('%1', 'Nome %1')").arg(i, 4, 10, QChar('0')));
        teste::sql("COMMIT");
        Banco::closeAll();
        QFile f(Banco::caminhoArquivo());
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(f.size() / 2 / 1024 * 1024);
        f.write(QByteArray(1024, 'x'));
        f.close();
        // A copy killed half-way left its temporary file in the data folder: gone after the login.
        const QString sobra = QFileInfo(Banco::caminhoArquivo()).absolutePath() + "/.cadastrocd.mdb.copia-Ab12Cd";
        QFile s(sobra);
        QVERIFY(s.open(QIODevice::WriteOnly) && s.write("sobra") == 5);
        s.close();
        QVERIFY(s.open(QIODevice::ReadOnly) && s.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime));
        s.close();
        for (int vez = 0; vez < 2; ++vez) {
            FrmSenha j;
            QVERIFY(entra(j, "Master", "qorm64"));
            QVERIFY(aguardaverificacao());
        }
        const QList<Dialogos::Registro> avisos = Dialogos::registros("msgbox");
        QVERIFY(avisos.size() == 1 && avisos.first().estilo == 48);
        const QString& aviso = avisos.first().texto;
        QCOMPARE(aviso, avisoverificacao(Banco::caminhoArquivo(), {EstadoBanco::Danificado, "o arquivo está danificado"}));
        QVERIFY(!QFile::exists(sobra));
        QVERIFY(aviso.contains("restaure o backup mais recente") && aviso.contains("danificado"));
        // Nothing to say about a good file, or one busy with another program's write.
        QCOMPARE(avisoverificacao("x", {}), QString());
        QCOMPARE(avisoverificacao("x", {EstadoBanco::Ilegivel, ""}), QString());   // stopped at the program's end
        QCOMPARE(avisoverificacao("x", {EstadoBanco::Ilegivel, "o arquivo está em uso por outro programa"}), QString());
        QVERIFY(avisoverificacao("x", {EstadoBanco::Ilegivel, "houve um erro de leitura no disco"}).contains("erro de leitura"));
    }

    void tabelaVaziaSoTemMaster()
    {
        auto* j = FrmSenha::inicia();
        QCOMPARE(nomes(*j), QStringList{"Master"});
        QCOMPARE(combo(*j)->currentIndex(), 0);
        // A plain window (not a dialog, which loses its minimize button) with a
        // control box and a minimize button, and no maximize button.
        QCOMPARE(j->windowType(), Qt::Window);
        QCOMPARE(j->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        QVERIFY(j->windowFlags() & Qt::CustomizeWindowHint);
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
                                  " ('0003', 'Ana', 'outra', NULL), ('0004', 'álvaro', 'av', NULL), ('', 'Sem Código', 'x', NULL)"));
        FrmSenha j;
        QCOMPARE(nomes(j), (QStringList{QStringLiteral("álvaro"), "Ana", "Ana", "Master", "Paulo", "Sem Código"}));

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
        QString outro = "0001";
        QVERIFY(gravausuarioatual(outro));
        FrmSenha n;   // an empty code logs in as Master
        QVERIFY(entra(n, 5, "x"));
        QCOMPARE(lerusuarioatual(), QString("0000"));
    }

    void senhaErradaNaoMudaNada()
    {
        teste::sql("INSERT INTO usuarios VALUES ('0001', 'Paulo', 'Segredo', '01/01/2020')");
        QString codigo = "0042";
        QVERIFY(gravausuarioatual(codigo));
        const QString antes = codigoGravado();
        FrmSenha j;
        QVERIFY(!entra(j, "Paulo", "segredo") && !j.logou());   // capitals count
        QCOMPARE(Dialogos::ultimo().texto + QString::number(Dialogos::ultimo().estilo), QString("Senha Incorreta!48"));
        QCOMPARE(codigoGravado(), antes);
    }

    // A user saved in the users window logs in with its own password at the next
    // login, and its code is the one stored and recorded on receipts.
    void usuarioNovoEntraERecibosLevamSeuCodigo()
    {
        teste::sql("INSERT INTO usuarios VALUES ('0041', 'Paulo', 'pp', NULL)");
        auto* cadastro = qobject_cast<FrmCadastroUsuarios*>(Janelas::abre("frmcadastrousuarios"));
        QVERIFY(cadastro);
        for (const char* campo : {"txtnome=Zé d'Ávila", "txtsenha=S3nh@ Nova", "txtcontrasenha=S3nh@ Nova"})
            cadastro->findChild<QLineEdit*>(QString(campo).section('=', 0, 0))->setText(QString(campo).section('=', 1));
        cadastro->findChild<QAction*>("btnsalvar")->trigger();
        QCOMPARE(Dialogos::ultimo().texto, QString("Usuário: (Zé d'Ávila) cadastrado com sucesso !"));
        Janelas::fecha("frmcadastrousuarios");

        FrmSenha j;
        QCOMPARE(nomes(j), (QStringList{"Master", "Paulo", "Zé d'Ávila"}));
        QTest::keyClicks(senha(j), "S3nh@ Nova");
        QCOMPARE(senha(j)->displayText(), QString(10, '*'));   // one "*" per character
        QVERIFY(!entra(j, "Zé d'Ávila", "s3nh@ nova"));
        QVERIFY(entra(j, "Zé d'Ávila", "S3nh@ Nova"));
        QCOMPARE(lerusuarioatual(), QString("0042"));
        QString data = "10/03/2026", hora = "09:15", valor = "10,00", dizimista, nome, mes, ano;
        const QString recibo = gravapagamento(data, hora, valor, dizimista, nome, mes, ano);
        QVERIFY(!recibo.isEmpty());
        Escopo e = abreconexaopagamentos();
        Consulta c("SELECT codigofuncionario FROM pagamentos WHERE codigo = ?");
        c.bind(recibo);
        QVERIFY(c.next() && c.text(0) == "0042");
    }

    // Users that cannot be read are reported, and Master can still log in.
    void listaIlegivelAvisaEDeixaMaster()
    {
        teste::sql("INSERT INTO usuarios VALUES ('0001', 'Paulo', 'pp', NULL)");
        QVERIFY(teste::sql("ALTER TABLE usuarios RENAME TO perdida"));
        FrmSenha j;
        QVERIFY(teste::sql("ALTER TABLE perdida RENAME TO usuarios"));
        QVERIFY(Dialogos::ultimo().texto.startsWith("Não foi possível ler a lista de usuários"));
        QCOMPARE(nomes(j), QStringList{"Master"});
        QVERIFY(entra(j, "Master", "qorm64"));
    }

    void opcao04EntraDireto()
    {
        QVERIFY(gravaopcao("04", true));
        QVERIFY(!FrmSenha::inicia());
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
    // Stops as "&HBBGGRR" texts after each change: new object, index out of range, a set
    // middle stop, cleared again, an uneven segment (12.5 % rounds to 12), an end stop cleared.
    void gradiente_data()
    {
        QTest::addColumn<Mudancas>("mudancas");
        QTest::addColumn<QString>("paradas");
        const QString cinzas = "000000 1A1A1A 333333 4C4C4C 666666 808080 999999 B2B2B2 CCCCCC E6E6E6 FFFFFF";
        QTest::newRow("novo: metades para o par") << Mudancas{} << cinzas;
        QTest::newRow("índice fora") << Mudancas{{11, 0xFF}, {-1, 0xFF}} << cinzas;
        QTest::newRow("vermelho no meio") << Mudancas{{5, 0x0000FF}}
                                          << "000000 000033 000066 000099 0000CC 0000FF 3333FF 6666FF 9999FF CCCCFF FFFFFF";
        QTest::newRow("limpo de novo") << Mudancas{{5, 0x0000FF}, {5, -1}} << cinzas;
        QTest::newRow("trecho de oito") << Mudancas{{8, 0xFFFFFF}}
                                        << "000000 1F1F1F 404040 616161 808080 9E9E9E BFBFBF E0E0E0 FFFFFF FFFFFF FFFFFF";
        QTest::newRow("ponta não se limpa") << Mudancas{{0, 0x00FF00}, {0, -1}}
                                            << "00FF00 1AFF1A 33FF33 4CFF4C 66FF66 80FF80 99FF99 B2FFB2 CCFFCC E6FFE6 FFFFFF";
    }
    void gradiente()
    {
        QFETCH(Mudancas, mudancas);
        QFETCH(QString, paradas);
        ColorGradiente g;
        for (const auto& [indice, cor] : mudancas)
            g.SetColor(indice, cor);
        QStringList lidas;
        for (int i = 0; i <= 10; ++i)
            lidas << QString::number(g.GetColor(i), 16).toUpper().rightJustified(6, '0');
        QCOMPARE(lidas.join(' '), paradas);
        QCOMPARE(g.GetColor(11) + g.GetColor(-1), 0);
        QCOMPARE(g.GetColor(), g.GetColor(0));
    }

    // The login title's cycle: green to white, then the two orange passes take turns.
    void cicloDaCorDoTitulo()
    {
        ColorGradiente g;
        g.SetColor(0, 0x00FF00);
        g.SetColor(10, 0xFFFFFF);
        int contador = 0;
        qint32 cor = -1;
        for (int passo : {1, 2, 1}) {
            const qint32 inicio = g.GetColor(0), fim = g.GetColor(10);
            for (int i = 0; i <= 10; ++i) {
                QVERIFY(passocortitulo(g, contador, passo, &cor));
                QCOMPARE(cor, g.GetColor(i));
            }
            QVERIFY(cor == fim && inicio != fim);
            QVERIFY(!passocortitulo(g, contador, passo, &cor) && contador == 0);
            QCOMPARE(g.GetColor(0), passo == 1 ? 0xC0E0FF : 0x0080FF);
            QCOMPARE(g.GetColor(10), passo == 1 ? 0x0080FF : 0xC0E0FF);
        }
        // The window's timers are never started; started, they colour the title and hand over.
        FrmSenha j;
        auto* tempocor = j.findChild<QTimer*>("tempocor");
        auto* tempocor2 = j.findChild<QTimer*>("tempocor2");
        QVERIFY(tempocor && tempocor2 && !tempocor->isActive() && !tempocor2->isActive());
        QCOMPARE(tempocor->interval() + tempocor2->interval(), 800);
        tempocor->setInterval(1);
        tempocor2->setInterval(100000);
        tempocor->start();
        QTRY_VERIFY(tempocor2->isActive() && !tempocor->isActive());
        QCOMPARE(j.findChild<QLabel*>("lblquardalegal")->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
};

TIVANE_TEST_MAIN(TstFrmSenha)
#include "tst_frmsenha.moc"
