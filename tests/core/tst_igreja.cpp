#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmcadastroigreja.h"
#include "core/igreja.h"

#include <QtWidgets>

using namespace tivane;

namespace {

qint64 linhas()
{
    Consulta c("SELECT count(*) FROM igreja");
    return c.next() ? c.inteiro(0) : -1;
}

FrmCadastroIgreja* abre() { return qobject_cast<FrmCadastroIgreja*>(Janelas::abre("frmcadastroigreja")); }
QLineEdit* caixa(QWidget* j, const char* nome) { return j->findChild<QLineEdit*>(nome); }

}  // namespace

class TstIgreja : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { teste::criaBancoTeste(); }

    void init()
    {
        teste::limpaBanco();
        Dialogos::limpa();
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
    }

    // Two saves, over an old file's unmarked and extra rows, leave one row marked "1".
    void duasGravacoesDeixamUmaLinha()
    {
        teste::sql("INSERT INTO igreja (fantasia, sobra) VALUES ('Velha', NULL), ('Outra', '1')");
        DadosIgreja d;
        d.razaosocial = "   ";   // blanks are a legal name
        d.fantasia = "Paróquia São José";
        d.rua = "Rua A, 10";
        QVERIFY(gravarigreja(d));
        d.fantasia = "Paróquia Santa Rita";
        d.rua.clear();
        d.tel = "2222-0000";
        QVERIFY(gravarigreja(d));
        QCOMPARE(linhas(), 1);
        Consulta c("SELECT fantasia, coalesce(rua, 'NULL'), tel, sobra, razaosocial FROM igreja");
        QVERIFY(c.next());   // an emptied box leaves the field unset
        QCOMPARE((QStringList{c.text(0), c.text(1), c.text(2), c.text(3), c.text(4)}),
                 (QStringList{"Paróquia Santa Rita", "NULL", "2222-0000", "1", "   "}));
        const DadosIgreja lida = carregaigreja();
        QVERIFY(lida.existe && lida.fantasia == d.fantasia && lida.rua == "");
    }

    void janelaCarregaEDescarta()
    {
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia', estado = 'SP - São Paulo', site = 'www.p.org', cep = ''");
        FrmCadastroIgreja* j = abre();
        QCOMPARE(caixa(j, "txtfantasia")->text() + "|" + caixa(j, "txtlibtemp")->text() + "|"
                     + j->findChild<QComboBox*>("cbestado")->currentText(), QString("Paróquia|www.p.org|SP - São Paulo"));
        // Leaving discards edits without a question.
        caixa(j, "txtfantasia")->setText("Mudado");
        j->findChild<QPushButton*>("Cmdvoltar")->click();
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        QCOMPARE(carregaigreja().fantasia, QString("Paróquia"));
    }

    // Saving from the window: both names required, a failed write keeps the window
    // as typed and the old row, then a save that does not write back the logo.
    void salvarPelaJanela()
    {
        teste::sql("UPDATE igreja SET fantasia = 'Primeira'");
        FrmCadastroIgreja* j = abre();
        caixa(j, "txtfantasia")->clear();
        caixa(j, "txtrazaosocial")->setText("Mitra");
        j->salvar();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Digite a razão social e nome fantasia da igreja !"));
        caixa(j, "txtfantasia")->setText("Paróquia São José");
        caixa(j, "txtcidade")->setText("Niterói");
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON igreja BEGIN SELECT RAISE(ABORT, 'x'); END"));
        j->salvar();
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível gravar os dados da igreja"));
        QCOMPARE(caixa(j, "txtfantasia")->text(), QString("Paróquia São José"));
        QCOMPARE(linhas(), 1);
        QCOMPARE(carregaigreja().fantasia, QString("Primeira"));
        QVERIFY(gravatextopadrao("caminhologo", "/tmp/b.jpg"));   // changed by the settings window meanwhile
        j->findChild<QPushButton*>("cmdsalvar")->click();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Igreja : (Paróquia São José) cadastrada com sucesso ."));
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
        QCOMPARE(lertextopadrao("caminhologo"), QString("/tmp/b.jpg"));
        const DadosIgreja d = carregaigreja();
        QCOMPARE(QStringList({d.razaosocial, d.cidade, d.estado}), QStringList({"Mitra", "Niterói", "RJ - Rio de Janeiro"}));
        QCOMPARE(linhas(), 1);
    }

    // A record that could not be read (another program's long write) is never saved over:
    // the window says why on opening and refuses to save, even once the file is free.
    void leituraQueFalhouNaoEhSalva()
    {
        FrmCadastroIgreja* j = nullptr;
        QString causa;
        {
            teste::ArquivoComFalha falha("em uso");
            causa = falha.causa();
            j = abre();
        }
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QVERIFY2(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível ler os dados da igreja: ")
                     && Dialogos::ultimo("msgbox").texto.contains(causa),
                 qPrintable(Dialogos::ultimo("msgbox").texto));
        QCOMPARE(caixa(j, "txtfantasia")->text(), QString());
        caixa(j, "txtrazaosocial")->setText("Mitra");
        caixa(j, "txtfantasia")->setText("Nova");
        j->findChild<QPushButton*>("cmdsalvar")->click();
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Os dados da igreja não puderam ser lidos"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QCOMPARE(carregaigreja().fantasia, QString());
        QCOMPARE(linhas(), 1);
        j->voltar();
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
        // Opened again with the file free, it saves as before.
        teste::sql("UPDATE igreja SET fantasia = 'Antiga', rua = 'Rua A'");
        Dialogos::limpa();
        j = abre();
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        caixa(j, "txtrazaosocial")->setText("Mitra");
        j->salvar();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Igreja : (Antiga) cadastrada com sucesso ."));
        QCOMPARE(carregaigreja().rua, QString("Rua A"));
    }

    void logo()
    {
        QWidget janela;
        auto* rotulo = new QLabel("sem logo", &janela);
        rotulo->setObjectName("logoigreja");
        const QString ruim = teste::pastaTemporaria() + "/ruim.jpg", bom = teste::pastaTemporaria() + "/logo.jpg";
        QFile f(ruim);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("isto não é uma figura") > 0);
        f.close();
        for (const QString& c : {teste::pastaTemporaria() + "/nao-existe.jpg", ruim}) {
            QVERIFY(gravatextopadrao("caminhologo", c));
            QVERIFY(!carregalogoigreja(&janela));
            QCOMPARE(rotulo->text(), QString("sem logo"));
        }
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QVERIFY(img.save(bom, "JPG"));
        QVERIFY(gravatextopadrao("caminhologo", bom));
        QVERIFY(carregalogoigreja(&janela));
        QCOMPARE(rotulo->pixmap().size(), QSize(40, 30));
        QVERIFY(!carregalogoigreja(nullptr));
    }
};

TIVANE_TEST_MAIN(TstIgreja)
#include "tst_igreja.moc"
