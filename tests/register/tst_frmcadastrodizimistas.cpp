// The tither registration window: new record, save checks, modify, delete,
// navigation, showing Null fields, date boxes, panels and exit.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/dizimistas.h"
#include "register/frmcadastrodizimistas.h"
#include "core/teclas.h"
#include "shell/frmprincipal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QToolBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace tivane;

class TstFrmCadastroDizimistas : public QObject {
    Q_OBJECT

private:
    QString pasta_;

    FrmCadastroDizimistas* abre()
    {
        auto* w = qobject_cast<FrmCadastroDizimistas*>(Janelas::abre("frmcadastrodizimistas"));
        return w;
    }
    static void fechaTudo()
    {
        Janelas::fecha("frmcadastrodizimistas");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <typename T = QLineEdit> static T* c(QWidget* w, const char* nome)
    {
        T* r = w->findChild<T*>(nome);
        if (!r)
            qFatal("control %s missing", nome);
        return r;
    }
    static QString banner(QWidget* w) { return c<QLabel>(w, "lblstatus")->text(); }
    static QStringList mensagens()
    {
        QStringList r;
        for (const auto& m : Dialogos::registros("msgbox"))
            r << m.texto;
        return r;
    }
    // A saved tither, with extra columns and their SQL values when given.
    static void salva(const QString& codigo, const QString& nome, const QString& colunas = QString(),
                      const QString& valores = QString())
    {
        const QString mais = colunas.isEmpty() ? QString() : ", " + colunas;
        const QString vmais = valores.isEmpty() ? QString() : ", " + valores;
        QVERIFY(teste::sql(QString("INSERT INTO dizimistas (codigo, nome, ativo, sexo%3) VALUES ('%1', '%2', 1, 1%4)")
                               .arg(codigo, nome, mais, vmais)));
    }

private slots:
    void initTestCase() { pasta_ = teste::criaBancoTeste(); }
    void init()
    {
        fechaTudo();
        teste::limpaBanco();
        Dialogos::limpa();
    }
    void cleanup() { fechaTudo(); }

    void abreEmNovoRegistro()
    {
        auto* w = abre();
        QVERIFY(w);
        QCOMPARE(w->objectName(), QString("frmcadastrodizimistas"));
        QCOMPARE(mensagens(), QStringList{"Não existem registros cadastrados"});
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0001"));
        QCOMPARE(c(w, "txtbarras")->text(), QString("000001"));
        QCOMPARE(c(w, "txtdatacadastro")->text(), QDate::currentDate().toString("dd/MM/yyyy"));
        QCOMPARE(banner(w), QString("Novo Registro"));
        QVERIFY(!c(w, "txtcodigo")->isReadOnly());
        QCOMPARE(c<QComboBox>(w, "cbestado")->currentText(), QString("RJ - Rio de Janeiro"));
        QCOMPARE(c<QComboBox>(w, "cbestado")->count(), 27);
        QCOMPARE(c<QComboBox>(w, "cbestado")->itemText(0), QString("AC - Acre"));   // sorted
        QCOMPARE(c<QComboBox>(w, "cbestadocivil")->count(), 6);
        QCOMPARE(c<QComboBox>(w, "cbestadocivil")->currentText(), QString(""));
        QVERIFY(c<QRadioButton>(w, "optsexo0")->isChecked());
        QVERIFY(c<QRadioButton>(w, "optativo")->isChecked());
        QCOMPARE(c<QLabel>(w, "lblmsgfoto")->text(), QString("Sem Foto"));
        QVERIFY(!c<QPushButton>(w, "cmdfoto")->isEnabled());
        // Toolbar captions.
        QStringList legendas;
        for (QAction* a : c<QWidget>(w, "Barraferramentas")->actions())
            if (!a->isSeparator())
                legendas << a->text();
        QCOMPARE(legendas, QStringList({"Novo (F1)", "Voltar (F2)", "Avançar (F3)", "Localizar(F4)", "Salvar (F5)",
                                        "Excluir (F6)", "Modificar (F7)", "Sair (F8)"}));
        // Opening again gives the same window.
        QCOMPARE(abre(), w);
    }

    void cadastraTodosOsCampos()
    {
        salva("0004", "Primeiro");
        auto* w = abre();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0005"));
        QCOMPARE(c(w, "txtbarras")->text(), QString("000005"));
        c(w, "txtnome")->setText("Ana D'Ávila");
        QTest::keyClicks(c(w, "txtnascimento"), "03041970");
        c(w, "txtrg")->setText("RG1");
        c(w, "txtcpf")->setText("CPF1");
        c(w, "txtendereco")->setText("Rua A");
        c(w, "txtbairro")->setText("Centro");
        c(w, "txtcidade")->setText("Niterói");
        c<QComboBox>(w, "cbestado")->setCurrentText("SP - São Paulo");
        c<QComboBox>(w, "cbestadocivil")->setCurrentText("Viúvo(a)");
        c(w, "txtcep")->setText("24000");
        c(w, "txttel")->setText("2222");
        c(w, "txtemail")->setText("a@b.c");
        c(w, "txtmsn")->setText("msn");
        c<QRadioButton>(w, "optinativo")->setChecked(true);
        c<QRadioButton>(w, "optsexo1")->setChecked(true);
        c(w, "txtcelular")->setText("9999");
        c<QPlainTextEdit>(w, "txtobs")->setPlainText("obs");
        QTest::keyClicks(c(w, "txtconversao"), "05061990");
        c(w, "txtprofissao")->setText("Professora");
        c<QCheckBox>(w, "chkdesempregado")->setChecked(true);
        c<QCheckBox>(w, "chkfalecido")->setChecked(true);
        c(w, "txtconjuge")->setText("José");
        Dialogos::limpa();
        w->gravardizimista();
        QCOMPARE(mensagens(), QStringList{"Dizimista: (Ana D'Ávila) cadastrado com sucesso !"});

        Dizimista d;
        QVERIFY(lerdizimista("0005", &d));
        QCOMPARE(d.nome, TextoNulo("Ana D'Ávila"));
        QCOMPARE(d.cadastro, TextoNulo(QDate::currentDate().toString("dd/MM/yyyy")));
        QCOMPARE(d.nascimento, TextoNulo("03/04/1970"));
        QCOMPARE(d.estado, TextoNulo("SP - São Paulo"));
        QCOMPARE(d.estadocivil, TextoNulo("Viúvo(a)"));
        QCOMPARE(d.barras, TextoNulo("000005"));
        QCOMPARE(d.obs, TextoNulo("obs"));
        QCOMPARE(d.conversao, TextoNulo("05/06/1990"));
        QVERIFY(!d.casamento.has_value());   // blank date box
        QVERIFY(!d.ativo);
        QVERIFY(!d.sexo);
        QVERIFY(d.desempregado && d.falecido && !d.adoecido);
        QCOMPARE(d.conjuge, TextoNulo("José"));

        // The window starts again on a new record with the following code.
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0006"));
        QCOMPARE(c(w, "txtnome")->text(), QString(""));
        QCOMPARE(banner(w), QString("Novo Registro"));
        QVERIFY(c<QRadioButton>(w, "optativo")->isChecked());

        // Shown again: every box as saved, the blank date as a blank mask.
        abredizimista("0005");
        QCOMPARE(c(w, "txtnome")->text(), QString("Ana D'Ávila"));
        QCOMPARE(c(w, "txtnascimento")->text(), QString("03/04/1970"));
        QCOMPARE(c(w, "txtcasamento")->displayText(), QString("__/__/____"));
        QCOMPARE(c(w, "txtconversao")->text(), QString("05/06/1990"));
        QVERIFY(c<QRadioButton>(w, "optinativo")->isChecked());
        QVERIFY(c<QRadioButton>(w, "optsexo1")->isChecked());
        QVERIFY(c<QCheckBox>(w, "chkfalecido")->isChecked());
        QCOMPARE(c<QComboBox>(w, "cbestadocivil")->currentText(), QString("Viúvo(a)"));
        QCOMPARE(banner(w), QString("Somente Leitura"));
    }

    void datasEmBrancoEIncompletas()
    {
        salva("0001", "A", "nascimento", "'__/__/____'");
        salva("0002", "B", "nascimento", "'12/__/____'");
        auto* w = abre();
        abredizimista("0001");
        QCOMPARE(c(w, "txtnascimento")->displayText(), QString("__/__/____"));
        Dizimista d = w->preencheregistrodizimista();
        QVERIFY(!d.nascimento.has_value());   // an old blank date is saved as no date
        abredizimista("0002");
        QCOMPARE(c(w, "txtnascimento")->displayText(), QString("12/__/____"));
        d = w->preencheregistrodizimista();
        QCOMPARE(d.nascimento, TextoNulo("12/__/____"));
    }

    void dataInvalidaNaoEhGravada()
    {
        auto* w = abre();
        Dialogos::limpa();
        QTest::keyClicks(c(w, "txtnome"), "Maria");
        QTest::keyClicks(c(w, "txtnascimento"), "1503");
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto,
                 QStringLiteral("A data de Nascimento (15/03/____) não é válida. Corrija a data ou apague-a para continuar."));
        QVERIFY(!dizimistaexiste(c(w, "txtcodigo")->text()));
        QCOMPARE(c(w, "txtnome")->text(), QString("Maria"));   // nothing typed is lost

        c(w, "txtnascimento")->clear();
        QTest::keyClicks(c(w, "txtnascimento"), "31041980");
        w->gravardizimista();
        QVERIFY(Dialogos::ultimo("msgbox").texto.startsWith("A data de Nascimento (31/04/1980)"));
        QVERIFY(!dizimistaexiste(c(w, "txtcodigo")->text()));

        c(w, "txtnascimento")->clear();
        QTest::keyClicks(c(w, "txtnascimento"), "30041980");
        const QString codigo = c(w, "txtcodigo")->text();
        w->gravardizimista();
        QVERIFY(dizimistaexiste(codigo));
        Dizimista d;
        QVERIFY(lerdizimista(codigo, &d));
        QCOMPARE(d.nascimento, TextoNulo("30/04/1980"));
    }

    void ordemDasVerificacoesAoSalvar()
    {
        salva("0001", "Pedro");
        auto* w = abre();
        Dialogos::limpa();
        // Empty name first, even on a saved code.
        c(w, "txtcodigo")->setText("0001");
        c(w, "txtnome")->clear();
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Você deve digitar o nome do dizimista para continuar."));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
        // A saved code outside modify mode.
        c(w, "txtnome")->setText("Outro");
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Esse registro já foi salvo, tente modificar !"));
        // A new code with a saved name, folded case.
        c(w, "txtcodigo")->setText("0002");
        c(w, "txtnome")->setText("PEDRO");
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Já existe funcionário cadastrado com este nome!"));
        // An empty code.
        c(w, "txtcodigo")->clear();
        c(w, "txtnome")->setText("Paulo");
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Você deve informar o código do dizimista para continuar."));
        QVERIFY(!dizimistaexiste(""));
        QCOMPARE(Dialogos::registros("msgbox").size(), 4);
        QCOMPARE(buscanomedizimista("0001"), QString("Pedro"));
    }

    void modificarComNaoESim()
    {
        salva("0001", "Maria", "tel", "'2222'");
        auto* w = abre();
        abredizimista("0001");
        w->modificardizimista();   // key F7
        QVERIFY(c(w, "txtcodigo")->isReadOnly());
        QVERIFY(!c(w, "txtnome")->isReadOnly());
        QCOMPARE(banner(w), QString("Modificando Registro"));
        c(w, "txttel")->clear();
        c(w, "txtnome")->setText("Maria José");

        Dialogos::limpa();
        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja alterar os dados do Dizimista:Maria ?"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 36);
        QCOMPARE(banner(w), QString("Modificando Registro"));
        Dizimista d;
        QVERIFY(lerdizimista("0001", &d));
        QCOMPARE(d.nome, TextoNulo("Maria"));
        QCOMPARE(d.tel, TextoNulo("2222"));

        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->gravardizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Dados do Dizimista: (Maria José) , alterado com sucesso !"));
        QVERIFY(lerdizimista("0001", &d));
        QCOMPARE(d.nome, TextoNulo("Maria José"));
        QVERIFY(!d.tel.has_value());
        QCOMPARE(banner(w), QString("Somente Leitura"));

        // The toolbar's way in unlocks the code box too.
        w->iniciamodificacaodizimista();
        QVERIFY(!c(w, "txtcodigo")->isReadOnly());
        QCOMPARE(banner(w), QString("Modificando Registro"));
        // A typed code that no tither has: refused, banner back to read-only.
        c(w, "txtcodigo")->setText("0077");
        Dialogos::limpa();
        w->alterardizimista(true);
        QCOMPARE(Dialogos::ultimo("msgbox").texto,
                 QString("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !"));
        QCOMPARE(banner(w), QString("Somente Leitura"));
        QVERIFY(!dizimistaexiste("0077"));
    }

    void excluir()
    {
        salva("0001", "Ana");
        salva("0002", "Bia");
        auto* w = abre();
        Dialogos::limpa();
        w->excluirdizimista("0009");
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Não existe dizimista cadastrado com este código"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);

        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->excluirdizimista("0002");
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja Realmente excluir o Dizimista: Bia ?"));
        QVERIFY(dizimistaexiste("0002"));

        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/24', '0002')"));
        abredizimista("0002");
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->excluirdizimista(c(w, "txtcodigo")->text());
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Registro excluído com sucesso !!!"));
        QVERIFY(!dizimistaexiste("0002"));
        // A new record, and not the code that the payment still carries.
        QCOMPARE(banner(w), QString("Novo Registro"));
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0003"));
    }

    void navegacao()
    {
        salva("0001", "A");
        salva("0002", "B");
        salva("0005", "C");
        auto* w = abre();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0006"));
        Dialogos::limpa();
        w->proximodizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Último Registro"));
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0006"));
        w->anteriordizimista();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0005"));
        QCOMPARE(c(w, "txtnome")->text(), QString("C"));
        QVERIFY(c(w, "txtnome")->isReadOnly());
        QVERIFY(c(w, "txtcodigo")->isReadOnly());
        QCOMPARE(banner(w), QString("Novo Registro"));   // navigation leaves the banner
        w->anteriordizimista();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0002"));
        w->anteriordizimista();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0001"));
        Dialogos::limpa();
        w->anteriordizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Primeiro Registro"));
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0001"));
        w->proximodizimista();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0002"));

        // Any text in the box: the steps end at the ends.
        w->novodizimista();
        c(w, "txtcodigo")->setText("abc");
        w->proximodizimista();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0001"));
        c(w, "txtcodigo")->setReadOnly(false);
        c(w, "txtcodigo")->setText("");
        Dialogos::limpa();
        w->anteriordizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Primeiro Registro"));
        c(w, "txtcodigo")->setText("4");
        w->proximodizimista();
        QCOMPARE(c(w, "txtcodigo")->text(), QString("0005"));
        c(w, "txtcodigo")->setText("9000");
        Dialogos::limpa();
        w->proximodizimista();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Último Registro"));
    }

    void nuloApareceVazio()
    {
        salva("0001", "Homem", "estado, estadocivil, tel, desempregado", "'SP - São Paulo', 'Casado(a)', '111', 1");
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, sexo, ativo) VALUES ('0002', 'Mulher', 0, 0)"));
        auto* w = abre();
        abredizimista("0001");
        QCOMPARE(c<QComboBox>(w, "cbestado")->currentText(), QString("SP - São Paulo"));
        QCOMPARE(c<QComboBox>(w, "cbestadocivil")->currentText(), QString("Casado(a)"));
        QVERIFY(c<QCheckBox>(w, "chkdesempregado")->isChecked());
        QVERIFY(c<QRadioButton>(w, "optsexo0")->isChecked());
        w->proximodizimista();
        QCOMPARE(c(w, "txtnome")->text(), QString("Mulher"));
        QCOMPARE(c<QComboBox>(w, "cbestado")->currentText(), QString(""));
        QCOMPARE(c<QComboBox>(w, "cbestadocivil")->currentText(), QString(""));
        QCOMPARE(c(w, "txttel")->text(), QString(""));
        QCOMPARE(c(w, "txtdatacadastro")->text(), QString(""));
        QVERIFY(!c<QCheckBox>(w, "chkdesempregado")->isChecked());
        QVERIFY(c<QRadioButton>(w, "optsexo1")->isChecked());
        QVERIFY(c<QRadioButton>(w, "optinativo")->isChecked());
        // Saving her does not give her his state or marital status.
        w->modificardizimista();
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->gravardizimista();
        Dizimista d;
        QVERIFY(lerdizimista("0002", &d));
        QCOMPARE(d.estado, TextoNulo(""));
        QVERIFY(!d.estadocivil.has_value());
        QVERIFY(!d.tel.has_value());
    }

    void foto()
    {
        salva("0001", "Com foto");
        salva("0002", "Sem foto");
        QDir().mkpath(pasta_ + "fotos");
        QImage img(40, 40, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(pasta_ + "fotos/0001p.jpg", "BMP"));
        auto* w = abre();
        abredizimista("0001");
        QVERIFY(!c<QLabel>(w, "picfoto")->pixmap().isNull());
        abredizimista("0002");
        QVERIFY(c<QLabel>(w, "picfoto")->pixmap().isNull());
        QCOMPARE(c<QLabel>(w, "lblmsgfoto")->text(), QString("Sem Foto"));
    }

    void paineis()
    {
        auto* w = abre();
        auto* endereco = c<QGroupBox>(w, "frameendereco");
        auto* mais = c<QGroupBox>(w, "Framemaisdados1");
        auto* filiacao = c<QGroupBox>(w, "Framefiliacao");
        QVERIFY(!endereco->isHidden() && mais->isHidden() && filiacao->isHidden());
        c<QPushButton>(w, "cmdmaisdados1")->click();
        QVERIFY(endereco->isHidden() && !mais->isHidden() && c<QGroupBox>(w, "Framecontato")->isHidden());
        // From another panel either button goes back to the address view.
        c<QPushButton>(w, "cmdmaisdados0")->click();
        QVERIFY(!endereco->isHidden() && mais->isHidden() && filiacao->isHidden());
        c<QPushButton>(w, "cmdmaisdados0")->click();
        QVERIFY(endereco->isHidden() && !filiacao->isHidden());
    }

    void novoMantemSexoECombos()
    {
        auto* w = abre();
        c<QRadioButton>(w, "optsexo1")->setChecked(true);
        c<QComboBox>(w, "cbestadocivil")->setCurrentText("Casado(a)");
        c(w, "txtnome")->setText("x");
        c<QCheckBox>(w, "chkadoecido")->setChecked(true);
        w->novodizimista();
        QVERIFY(c<QRadioButton>(w, "optsexo1")->isChecked());
        QCOMPARE(c<QComboBox>(w, "cbestadocivil")->currentText(), QString("Casado(a)"));
        QCOMPARE(c(w, "txtnome")->text(), QString(""));
        QVERIFY(!c<QCheckBox>(w, "chkadoecido")->isChecked());
    }

    void registroExisteTextoExato()
    {
        for (int i = 1; i <= 10; ++i)
            salva(QString("%1").arg(i, 4, 10, QChar('0')), QString("N%1").arg(i));
        auto* w = abre();
        c(w, "txtcodigo")->setText("0007");
        QVERIFY(w->registroexiste());
        c(w, "txtcodigo")->setText("7");
        QVERIFY(!w->registroexiste());
        QCOMPARE(w->definecodigoanterior("0005"), QString("0004"));
    }

    void sair()
    {
        auto* w = abre();
        Dialogos::limpa();
        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->sair();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Deseja realmente sair da tela de cadastro de Dizimistas?"));
        QCOMPARE(Janelas::instancia("frmcadastrodizimistas"), w);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->sair();
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
    }

    void barraDaJanelaPrincipal()
    {
        auto* principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal);
        QVERIFY(QTest::qWaitForWindowExposed(principal));
        QToolBar* barra = principal->barraprincipal();
        QVERIFY(barra->isVisible());
        auto* w = abre();
        QCOMPARE(w->parentWidget()->parentWidget()->parentWidget(), principal->area());   // an MDI child
        QVERIFY(!barra->isVisible());
        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->sair();
        QVERIFY(!barra->isVisible());
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->sair();
        QVERIFY(barra->isVisible());
        fechaTudo();
        // F1 closes without showing the toolbar again; F8 shows it.
        abre();
        definejanelaativa("frmcadastrodizimistas");
        teclasdeatalho(112);
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
        QVERIFY(!barra->isVisible());
        abre();
        teclasdeatalho(119);
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
        QVERIFY(barra->isVisible());
        // The sweep's list box on the main window.
        salva("0001", "Ativo");
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0002', 'Inativo', 0)"));
        carregalistadizimistasativos(principal);
        QCOMPARE(principal->listadizimistasativos()->count(), 1);
        Janelas::fecha("frmprincipal");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void abreDizimistaComJanelaFechada()
    {
        salva("0003", "Zé");
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
        abredizimista("0003");
        auto* w = Janelas::instancia("frmcadastrodizimistas");
        QVERIFY(w);
        QCOMPARE(c(w, "txtnome")->text(), QString("Zé"));
        QCOMPARE(banner(w), QString("Somente Leitura"));
    }
};

TIVANE_TEST_MAIN(TstFrmCadastroDizimistas)
#include "tst_frmcadastrodizimistas.moc"
