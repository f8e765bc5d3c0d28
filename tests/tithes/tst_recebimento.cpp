// The main road from the main window: receive a tithe, print its receipt,
// reverse it and issue a second copy from the menu.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmprincipal.h"
#include "tithes/frmpagamentos.h"
#include "tithes/frmrecibo.h"
#include "tithes/recibo.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

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

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua A', cidade = 'Niterói'");
        teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0001', 'Maria das Dores', 1)");
        principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal);
    }

    void caminhoCompleto()
    {
        menu("mnucadastropagamentos");
        auto* pag = Janelas::instancia<FrmPagamentos>("frmpagamentos");
        QVERIFY(pag);
        QVERIFY(qobject_cast<QMdiSubWindow*>(pag->parentWidget()));
        QVERIFY(!principal->barraprincipal()->isVisible());

        const QString pdf = teste::pastaTemporaria() + "/recebimento.pdf";
        defineimpressaoarquivo(pdf);
        pag->findChild<QLineEdit*>("txtcodigodizimista")->setText("0001");
        pag->findChild<QLineEdit*>("txtvalor")->setText("50");
        Dialogos::respondeMsgbox(Dialogos::Sim);      // print
        Dialogos::respondeImpressora(true);
        pag->receber();
        const QString yy = QString::number(QDate::currentDate().year()).right(2);
        const QString codigo = "00001/" + yy;
        auto* recibo = Janelas::instancia<FrmRecibo>("frmrecibo");
        QVERIFY(recibo);
        QCOMPARE(recibo->modelo().codigo, codigo);
        QCOMPARE(recibo->modelo().fantasia, QString("Paróquia São José"));
        QCOMPARE(recibo->modelo().endereco, QString("Rua A ,Niterói"));
        QCOMPARE(recibo->modelo().valor, QString("50,00"));
        recibo->imprime();
        QTRY_VERIFY(!Janelas::instancia("frmrecibo"));
        QVERIFY(QFileInfo(pdf).size() > 0);

        // Reversal from the menu.
        Dialogos::limpa();
        Dialogos::respondeTexto(codigo);
        menu("mnuestorno");
        QCOMPARE(Dialogos::ultimo("msgbox").texto, "Recibo " + codigo + " estornado com sucesso!");
        {
            Consulta c("SELECT codigodizimista, valor FROM pagamentos WHERE codigo = ?");
            c.bind(codigo);
            QVERIFY(c.next());
            QCOMPARE(c.text(0), QString("E0001"));
            QCOMPARE(c.text(1), QString("0,00"));
        }

        // Second copy from the menu: the reversal row, marked "2* VIA".
        Dialogos::respondeTexto(codigo);
        Dialogos::respondeMsgbox(Dialogos::Nao);
        menu("mnusegundaviarecibo");
        recibo = Janelas::instancia<FrmRecibo>("frmrecibo");
        QVERIFY(recibo);
        QVERIFY(recibo->modelo().segundavia);
        QCOMPARE(recibo->modelo().nome, QString("Recibo Estornado"));
        QCOMPARE(recibo->modelo().extenso, QString(""));
        recibo->sair();
        QTRY_VERIFY(!Janelas::instancia("frmrecibo"));

        // The next tithe keeps counting after the reversed number.
        pag->findChild<QLineEdit*>("txtcodigodizimista")->setText("0001");
        pag->findChild<QLineEdit*>("txtvalor")->setText("10");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        pag->receber();
        QCOMPARE(Janelas::instancia<FrmRecibo>("frmrecibo")->modelo().codigo, "00002/" + yy);
        Janelas::instancia<FrmRecibo>("frmrecibo")->sair();
        defineimpressaoarquivo(QString());
    }
};

TIVANE_TEST_MAIN(TstRecebimento)
#include "tst_recebimento.moc"
