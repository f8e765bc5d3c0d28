// From the main window: receive a tithe, reverse its receipt and issue a second copy from the menu.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "shell/frmprincipal.h"
#include "tithes/frmpagamentos.h"
#include "tithes/frmrecibo.h"
#include "tithes/recibo.h"

#include <QtWidgets>

using namespace tivane;

class TstRecebimento : public QObject {
    Q_OBJECT

    FrmPrincipal* principal = nullptr;

    void menu(const char* nome)
    {
        QAction* a = principal->findChild<QAction*>(QString::fromLatin1(nome));
        QVERIFY2(a && a->isEnabled(), nome);
        a->trigger();
    }
    static FrmRecibo* recibo() { return Janelas::instancia<FrmRecibo>("frmrecibo"); }

private Q_SLOTS:
    void caminhoCompleto()
    {
        teste::criaBancoTeste();
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua A', cidade = 'Niterói'");
        teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0001', 'Maria das Dores', 1)");
        principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal);
        menu("mnucadastropagamentos");
        auto* pag = Janelas::instancia<FrmPagamentos>("frmpagamentos");
        QVERIFY(pag);

        pag->findChild<QLineEdit*>("txtcodigodizimista")->setText("0001");
        pag->findChild<QLineEdit*>("txtvalor")->setText("50");
        Dialogos::respondeMsgbox(Dialogos::Nao);   // do not print
        pag->receber();
        const QString codigo = "00001/" + QDate::currentDate().toString("yy");
        QVERIFY(recibo());
        QCOMPARE(recibo()->modelo().codigo + " " + recibo()->modelo().fantasia, codigo + " Paróquia São José");
        recibo()->sair();
        QTRY_VERIFY(!recibo());

        // Reversal from the menu: an unknown code first.
        Dialogos::respondeTexto(" " + codigo);
        menu("mnuestorno");
        QCOMPARE(Dialogos::ultimo("msgbox").texto, "Recibo não encontrado com o código  " + codigo + " !");
        Dialogos::respondeTexto(codigo);
        menu("mnuestorno");
        QCOMPARE(Dialogos::ultimo("msgbox").texto, "Recibo " + codigo + " estornado com sucesso!");

        // Second copy from the menu: the reversal row (no amount in words), marked "2* VIA".
        Dialogos::respondeTexto(codigo);
        Dialogos::respondeMsgbox(Dialogos::Nao);
        menu("mnusegundaviarecibo");
        QVERIFY(recibo() && recibo()->modelo().segundavia);
        QCOMPARE(recibo()->modelo().nome + "|" + recibo()->modelo().extenso, QString("Recibo Estornado|"));
        recibo()->sair();
        QTRY_VERIFY(!recibo());
    }

    // With the file held by another program, each menu entry names the cause and stops:
    // no "not found", no receipt, no reversal.
    void arquivoEmUso_data()
    {
        QTest::addColumn<QString>("acao");
        QTest::addColumn<QString>("mensagem");
        const QString codigo = "00001/" + QDate::currentDate().toString("yy");
        QTest::newRow("estorno") << "mnuestorno" << "Não foi possível procurar o recibo " + codigo;
        QTest::newRow("segunda via") << "mnusegundaviarecibo" << "Não foi possível procurar o recibo " + codigo;
        QTest::newRow("recibo") << "emiterecibo" << "Não foi possível ler o recibo " + codigo;
        QTest::newRow("estornarecibo") << "estornarecibo" << "Não foi possível ler o recibo " + codigo;
    }
    void arquivoEmUso()
    {
        QFETCH(QString, acao);
        QFETCH(QString, mensagem);
        const QString codigo = "00001/" + QDate::currentDate().toString("yy");
        Dialogos::limpa();
        {
            teste::Trava trava;
            QVERIFY(trava.ok());
            if (acao == "emiterecibo") {
                QVERIFY(!emiterecibo(codigo));
            } else if (acao == "estornarecibo") {
                QVERIFY(!estornarecibo(codigo));
            } else {
                Dialogos::respondeTexto(codigo);
                menu(acao.toLatin1().constData());
            }
        }
        Banco::defineEsperaOcupado(3000);
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo("msgbox").texto,
                 mensagem + ": o arquivo está em uso por outro programa. A operação foi interrompida.");
        QVERIFY(!recibo());
        Consulta c("SELECT count(*) FROM pagamentos WHERE codigodizimista = 'E0001'");   // reversed once only
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 1);
    }
};

TIVANE_TEST_MAIN(TstRecebimento)
#include "tst_recebimento.moc"
