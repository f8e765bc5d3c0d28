#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmcadastroigreja.h"
#include "shell/igreja.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tivane;

namespace {

qint64 linhas()
{
    Consulta c("SELECT count(*) FROM igreja");
    return c.next() ? c.inteiro(0) : -1;
}

}  // namespace

class TstIgreja : public QObject {
    Q_OBJECT

    FrmCadastroIgreja* abre()
    {
        auto* j = qobject_cast<FrmCadastroIgreja*>(Janelas::abre("frmcadastroigreja"));
        return j;
    }
    QLineEdit* caixa(QWidget* j, const char* nome) { return j->findChild<QLineEdit*>(nome); }

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
    }

    void init()
    {
        teste::limpaBanco();
        Dialogos::limpa();
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
    }

    void duasGravacoesDeixamUmaLinha()
    {
        DadosIgreja d;
        d.razaosocial = "Mitra Diocesana";
        d.fantasia = "Paróquia São José";
        d.rua = "Rua A, 10";
        QVERIFY(gravarigreja(d));
        d.fantasia = "Paróquia Santa Rita";
        d.rua.clear();
        d.tel = "2222-0000";
        QVERIFY(gravarigreja(d));
        QCOMPARE(linhas(), 1);
        Consulta c("SELECT fantasia, rua, tel, sobra, cidade FROM igreja");
        QVERIFY(c.next());
        QCOMPARE(c.text(0), QString("Paróquia Santa Rita"));
        QVERIFY(c.isNull(1));   // emptied box: the field is unset
        QCOMPARE(c.text(2), QString("2222-0000"));
        QCOMPARE(c.text(3), QString("1"));
        QVERIFY(c.isNull(4));
        const DadosIgreja lida = carregaigreja();
        QVERIFY(lida.existe);
        QCOMPARE(lida.fantasia, d.fantasia);
        QCOMPARE(lida.rua, QString(""));
    }

    void gravacaoSubstituiLinhasAntigas()
    {
        // Old files may hold rows without the mark or several marked rows.
        teste::sql("DELETE FROM igreja");
        teste::sql("INSERT INTO igreja (fantasia, sobra) VALUES ('Velha', NULL)");
        teste::sql("INSERT INTO igreja (fantasia, sobra) VALUES ('Outra', '1')");
        DadosIgreja d;
        d.razaosocial = "   ";   // blanks are a legal name
        d.fantasia = "Nova";
        QVERIFY(gravarigreja(d));
        QCOMPARE(linhas(), 1);
        QCOMPARE(carregaigreja().fantasia, QString("Nova"));
        QCOMPARE(carregaigreja().razaosocial, QString("   "));
    }

    void falhaPreservaALinha()
    {
        DadosIgreja d;
        d.razaosocial = "R";
        d.fantasia = "Primeira";
        QVERIFY(gravarigreja(d));
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON igreja BEGIN SELECT RAISE(ABORT, 'x'); END"));
        d.fantasia = "Segunda";
        QVERIFY(!gravarigreja(d));
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QCOMPARE(linhas(), 1);
        QCOMPARE(carregaigreja().fantasia, QString("Primeira"));
    }

    void janelaCarregaOsDados()
    {
        FrmCadastroIgreja* j = abre();
        QVERIFY(j);
        QCOMPARE(j->windowTitle(), QString("Dados da Igreja"));
        auto* estado = j->findChild<QComboBox*>("cbestado");
        QCOMPARE(estado->currentText(), QString("RJ - Rio de Janeiro"));
        QCOMPARE(estado->count(), 27);
        QCOMPARE(estado->itemText(0), QString("AC - Acre"));
        QCOMPARE(caixa(j, "txtfantasia")->text(), QString());
        QCOMPARE(caixa(j, "txtrazaosocial")->maxLength(), 100);
        QCOMPARE(caixa(j, "txtfantasia")->maxLength(), 150);
        QCOMPARE(caixa(j, "txtcep")->maxLength(), 12);
        j->voltar();
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));

        teste::sql("UPDATE igreja SET fantasia = 'Paróquia', estado = 'SP - São Paulo', site = 'www.p.org', cep = ''");
        j = abre();
        QCOMPARE(caixa(j, "txtfantasia")->text(), QString("Paróquia"));
        QCOMPARE(caixa(j, "txtlibtemp")->text(), QString("www.p.org"));
        QCOMPARE(j->findChild<QComboBox*>("cbestado")->currentText(), QString("SP - São Paulo"));
        QCOMPARE(caixa(j, "txtcep")->text(), QString());
        // Leaving discards edits without a question.
        caixa(j, "txtfantasia")->setText("Mudado");
        j->findChild<QPushButton*>("Cmdvoltar")->click();
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        QCOMPARE(carregaigreja().fantasia, QString("Paróquia"));
    }

    void salvarPelaJanela()
    {
        gravatextopadrao("caminhologo", "/tmp/a.jpg");
        FrmCadastroIgreja* j = abre();
        caixa(j, "txtrazaosocial")->setText("Mitra");
        j->salvar();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Digite a razão social e nome fantasia da igreja !"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QVERIFY(Janelas::instancia("frmcadastroigreja"));
        QVERIFY(carregaigreja().razaosocial.isEmpty());

        caixa(j, "txtfantasia")->setText("Paróquia São José");
        caixa(j, "txtcidade")->setText("Niterói");
        // The settings window changed the logo meanwhile: the save must not undo it.
        gravatextopadrao("caminhologo", "/tmp/b.jpg");
        j->findChild<QPushButton*>("cmdsalvar")->click();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Igreja : (Paróquia São José) cadastrada com sucesso ."));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
        QTRY_VERIFY(!Janelas::instancia("frmcadastroigreja"));
        QCOMPARE(lertextopadrao("caminhologo"), QString("/tmp/b.jpg"));
        const DadosIgreja d = carregaigreja();
        QCOMPARE(d.razaosocial, QString("Mitra"));
        QCOMPARE(d.cidade, QString("Niterói"));
        QCOMPARE(d.estado, QString("RJ - Rio de Janeiro"));
        QCOMPARE(linhas(), 1);
    }

    void salvarComFalhaMantemAJanela()
    {
        FrmCadastroIgreja* j = abre();
        caixa(j, "txtrazaosocial")->setText("Mitra");
        caixa(j, "txtfantasia")->setText("Paróquia");
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON igreja BEGIN SELECT RAISE(ABORT, 'x'); END"));
        j->salvar();
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("Não foi possível gravar os dados da igreja"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QVERIFY(Janelas::instancia("frmcadastroigreja"));
        QCOMPARE(caixa(j, "txtfantasia")->text(), QString("Paróquia"));
        QCOMPARE(linhas(), 1);
        j->voltar();
    }

    void logo()
    {
        QWidget janela;
        auto* rotulo = new QLabel("sem logo", &janela);
        rotulo->setObjectName("logoigreja");
        gravatextopadrao("caminhologo", teste::pastaTemporaria() + "/nao-existe.jpg");
        QVERIFY(!carregalogoigreja(&janela));
        QCOMPARE(rotulo->text(), QString("sem logo"));

        const QString ruim = teste::pastaTemporaria() + "/ruim.jpg";
        QFile f(ruim);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("isto não é uma figura");
        f.close();
        gravatextopadrao("caminhologo", ruim);
        QVERIFY(!carregalogoigreja(&janela));
        QCOMPARE(rotulo->text(), QString("sem logo"));

        const QString bom = teste::pastaTemporaria() + "/logo.jpg";
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QVERIFY(img.save(bom, "JPG"));
        gravatextopadrao("caminhologo", bom);
        QVERIFY(carregalogoigreja(&janela));
        QCOMPARE(rotulo->pixmap().size(), QSize(40, 30));
        QVERIFY(!carregalogoigreja(nullptr));
    }
};

TIVANE_TEST_MAIN(TstIgreja)
#include "tst_igreja.moc"
