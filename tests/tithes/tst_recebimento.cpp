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

    // With the file held by another program, each menu entry and routine names the cause
    // and stops: no "not found", no receipt, no reversal.
    void arquivoEmUso()
    {
        const QString codigo = "00001/" + QDate::currentDate().toString("yy");
        const std::function<void()> acoes[] = {[&] { Dialogos::respondeTexto(codigo); menu("mnuestorno"); },
                                               [&] { Dialogos::respondeTexto(codigo); menu("mnusegundaviarecibo"); },
                                               [&] { QVERIFY(!emiterecibo(codigo)); },
                                               [&] { QVERIFY(!estornarecibo(codigo)); }};
        Dialogos::limpa();
        for (const auto& acao : acoes) {
            teste::Trava trava;
            acao();
        }
        QStringList vistas;
        for (const auto& r : Dialogos::registros("msgbox"))
            vistas << r.texto;
        const QString causa = ": o arquivo está em uso por outro programa. A operação foi interrompida.";
        QCOMPARE(vistas, (QStringList{"Não foi possível procurar o recibo " + codigo + causa,
                                      "Não foi possível procurar o recibo " + codigo + causa,
                                      "Não foi possível ler o recibo " + codigo + causa,
                                      "Não foi possível ler o recibo " + codigo + causa}));
        QVERIFY(!recibo());
        Consulta c("SELECT count(*) FROM pagamentos WHERE codigodizimista = 'E0001'");   // reversed once only
        QVERIFY(c.next() && c.inteiro(0) == 1);
    }
};

TIVANE_TEST_MAIN(TstRecebimento)
#include "tst_recebimento.moc"
