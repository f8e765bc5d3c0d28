// The tither registration window: new record, save checks, modify, delete,
// navigation, showing Null fields, date boxes, photo and exit.
#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/frmcadastrodizimistas.h"
#include "shell/frmprincipal.h"

#include <QtWidgets>

using namespace tivane;

class TstFrmCadastroDizimistas : public QObject {
    Q_OBJECT

private:
    QString pasta_;

    static FrmCadastroDizimistas* abre()
    {
        return qobject_cast<FrmCadastroDizimistas*>(Janelas::abre("frmcadastrodizimistas"));
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
    static bool marcado(QWidget* w, const char* nome) { return c<QAbstractButton>(w, nome)->isChecked(); }
    static QString combo(QWidget* w, const char* nome) { return c<QComboBox>(w, nome)->currentText(); }
    static QString banner(QWidget* w) { return c<QLabel>(w, "lblstatus")->text(); }
    static QString msg() { return Dialogos::ultimo("msgbox").texto; }
    static QString hoje() { return QDate::currentDate().toString("dd/MM/yyyy"); }
    // Saved tithers: active men with these codes and names.
    static void salva(const QStringList& codigosENomes)
    {
        for (const QString& cn : codigosENomes)
            QVERIFY(teste::sql(QString("INSERT INTO dizimistas (codigo, nome, ativo, sexo) VALUES ('%1', '%2', 1, 1)")
                                   .arg(cn.section(' ', 0, 0), cn.section(' ', 1))));
    }
    static Dizimista le(const QString& codigo)
    {
        Dizimista d;
        if (!lerdizimista(codigo, &d))
            qFatal("tither %s missing", qPrintable(codigo));
        return d;
    }
    static QString v(const TextoNulo& t) { return t.value_or("NULL"); }
    // Every field of the record but the code, Null as "NULL" and flags as 0/1.
    static QStringList campos(const Dizimista& d)
    {
        QStringList r;
        for (const TextoNulo* t : {&d.nome, &d.cadastro, &d.nascimento, &d.rg, &d.cpf, &d.endereco, &d.bairro, &d.cidade,
                                   &d.estado, &d.estadocivil, &d.cep, &d.tel, &d.email, &d.msn, &d.celular, &d.barras,
                                   &d.obs, &d.conversao, &d.casamento, &d.profissao, &d.conjuge})
            r << v(*t);
        for (bool b : {d.ativo, d.sexo, d.desempregado, d.falecido, d.adoecido})
            r << QString::number(b);
        return r;
    }

private slots:
    void initTestCase() { pasta_ = teste::criaBancoTeste(); }
    void init() { fechaTudo(); teste::limpaBanco(); Dialogos::limpa(); }
    void cleanup() { fechaTudo(); }

    void abreEmNovoRegistro()
    {
        auto* w = abre();
        QVERIFY(w);
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(msg(), QString("Não existem registros cadastrados"));
        QCOMPARE(c(w, "txtcodigo")->text() + " " + c(w, "txtbarras")->text(), QString("0001 000001"));
        QCOMPARE(c(w, "txtdatacadastro")->text() + " " + banner(w), hoje() + " Novo Registro");
        QVERIFY(!c(w, "txtcodigo")->isReadOnly());
        QCOMPARE(combo(w, "cbestado") + "|" + combo(w, "cbestadocivil"), QString("RJ - Rio de Janeiro|"));
        QVERIFY(marcado(w, "optsexo0") && marcado(w, "optativo"));
        QCOMPARE(c<QLabel>(w, "lblmsgfoto")->text(), QString("Sem Foto"));
        QVERIFY(!c<QPushButton>(w, "cmdfoto")->isEnabled());
        QCOMPARE(abre(), w);   // opening again gives the same window
    }

    void cadastraTodosOsCampos()
    {
        salva({"0004 Primeiro"});
        auto* w = abre();
        QCOMPARE(c(w, "txtcodigo")->text() + " " + c(w, "txtbarras")->text(), QString("0005 000005"));
        for (const char* t : {"txtnome=Ana D'Ávila", "txtrg=RG1", "txtcpf=CPF1", "txtendereco=Rua A", "txtbairro=Centro",
                              "txtcidade=Niterói", "txtcep=24000", "txttel=2222", "txtemail=a@b.c", "txtmsn=msn",
                              "txtcelular=9999", "txtprofissao=Professora", "txtconjuge=José"})
            c(w, qPrintable(QString(t).section('=', 0, 0)))->setText(QString(t).section('=', 1));
        QTest::keyClicks(c(w, "txtnascimento"), "03041970");
        QTest::keyClicks(c(w, "txtconversao"), "05061990");
        c<QComboBox>(w, "cbestado")->setCurrentText("SP - São Paulo");
        c<QComboBox>(w, "cbestadocivil")->setCurrentText("Viúvo(a)");
        for (const char* n : {"optinativo", "optsexo1", "chkdesempregado", "chkfalecido"})
            c<QAbstractButton>(w, n)->setChecked(true);
        c<QPlainTextEdit>(w, "txtobs")->setPlainText("obs");
        Dialogos::limpa();
        w->gravardizimista();
        QCOMPARE(msg(), QString("Dizimista: (Ana D'Ávila) cadastrado com sucesso !"));
        const QStringList salvo{"Ana D'Ávila", hoje(), "03/04/1970", "RG1", "CPF1", "Rua A", "Centro", "Niterói",
                                "SP - São Paulo", "Viúvo(a)", "24000", "2222", "a@b.c", "msn", "9999", "000005",
                                "obs", "05/06/1990", "NULL", "Professora", "José", "0", "0", "1", "1", "0"};
        QCOMPARE(campos(le("0005")), salvo);   // the blank date box is Null
        // The window starts again on a new record with the following code.
        QCOMPARE(c(w, "txtcodigo")->text() + c(w, "txtnome")->text() + banner(w), QString("0006Novo Registro"));
        QVERIFY(marcado(w, "optativo"));
        // Shown again, every box gives back what was saved.
        abredizimista("0005");
        QCOMPARE(c(w, "txtcasamento")->displayText(), QString("__/__/____"));
        QCOMPARE(campos(w->preencheregistrodizimista()), salvo);
    }

    void datasEmBrancoIncompletasEInvalidas()
    {
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, nascimento) VALUES ('0001', 'A', '__/__/____'),"
                           " ('0002', 'B', '12/__/____')"));
        auto* w = abre();
        auto* nasc = c(w, "txtnascimento");
        abredizimista("0001");
        QCOMPARE(nasc->displayText(), QString("__/__/____"));
        QVERIFY(!w->preencheregistrodizimista().nascimento.has_value());   // an old blank date: no date
        abredizimista("0002");
        QCOMPARE(nasc->displayText(), QString("12/__/____"));
        QCOMPARE(w->preencheregistrodizimista().nascimento, TextoNulo("12/__/____"));

        w->novodizimista();
        const QString codigo = c(w, "txtcodigo")->text();
        QTest::keyClicks(c(w, "txtnome"), "Maria");
        const auto grava = [&](const char* data) {
            nasc->clear();
            QTest::keyClicks(nasc, data);
            w->gravardizimista();
            return dizimistaexiste(codigo) ? QString("gravado") : msg();
        };
        QCOMPARE(grava("1503"), QString("A data de Nascimento (15/03/____) não é válida. Corrija a data ou apague-a para continuar."));
        QCOMPARE(c(w, "txtnome")->text(), QString("Maria"));   // nothing typed is lost
        QVERIFY(grava("31041980").startsWith("A data de Nascimento (31/04/1980)"));
        QCOMPARE(grava("30041980"), QString("gravado"));
        QCOMPARE(le(codigo).nascimento, TextoNulo("30/04/1980"));
    }

    void ordemDasVerificacoesAoSalvar()
    {
        salva({"0001 Pedro"});
        auto* w = abre();
        Dialogos::limpa();
        const auto grava = [w](const QString& codigo, const QString& nome) {
            c(w, "txtcodigo")->setText(codigo);
            c(w, "txtnome")->setText(nome);
            w->gravardizimista();
            return msg();
        };
        // Empty name first, even on a saved code; then a saved code outside
        // modify mode; a new code with a saved name (folded case); an empty code.
        QCOMPARE(grava("0001", ""), QString("Você deve digitar o nome do dizimista para continuar."));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
        QCOMPARE(grava("0001", "Outro"), QString("Esse registro já foi salvo, tente modificar !"));
        QCOMPARE(grava("0002", "PEDRO"), QString("Já existe funcionário cadastrado com este nome!"));
        QCOMPARE(grava("", "Paulo"), QString("Você deve informar o código do dizimista para continuar."));
        QVERIFY(!dizimistaexiste("") && !dizimistaexiste("0002"));
        QCOMPARE(Dialogos::registros("msgbox").size(), 4);
        QCOMPARE(buscanomedizimista("0001"), QString("Pedro"));
    }

    void nuloVazioEModificarComNaoESim()
    {
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, sexo, estado, estadocivil, tel, desempregado) VALUES"
                           " ('0001', 'Homem', 1, 1, 'SP - São Paulo', 'Casado(a)', '111', 1),"
                           " ('0002', 'Mulher', 0, 0, NULL, NULL, NULL, NULL)"));
        auto* w = abre();
        abredizimista("0001");
        QCOMPARE(combo(w, "cbestado") + "|" + combo(w, "cbestadocivil"), QString("SP - São Paulo|Casado(a)"));
        QVERIFY(marcado(w, "chkdesempregado") && marcado(w, "optsexo0"));
        // A stored text longer than its box is shown, and saved back, whole.
        const QString longo(160, QChar(u'R'));
        QVERIFY(teste::sql("UPDATE dizimistas SET endereco = '" + longo + "', codigo = '000000001' WHERE codigo = '0001'"));
        abredizimista("000000001");
        QCOMPARE(w->preencheregistrodizimista().endereco, TextoNulo(longo));
        QCOMPARE(w->preencheregistrodizimista().codigo, QString("000000001"));
        w->proximodizimista();   // Null fields show as empty, the combos too
        QCOMPARE(c(w, "txtnome")->text(), QString("Mulher"));
        QCOMPARE(combo(w, "cbestado") + combo(w, "cbestadocivil") + c(w, "txttel")->text() + c(w, "txtdatacadastro")->text(),
                 QString(""));
        QVERIFY(!marcado(w, "chkdesempregado") && marcado(w, "optsexo1") && marcado(w, "optinativo"));

        w->modificardizimista();   // key F7
        QVERIFY(c(w, "txtcodigo")->isReadOnly() && !c(w, "txtnome")->isReadOnly());
        QCOMPARE(banner(w), QString("Modificando Registro"));
        c(w, "txtnome")->setText("Maria José");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->gravardizimista();
        QCOMPARE(msg(), QString("Deseja alterar os dados do Dizimista:Mulher ?"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 36);
        QCOMPARE(banner(w), QString("Modificando Registro"));
        QCOMPARE(v(le("0002").nome), QString("Mulher"));
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->gravardizimista();
        QCOMPARE(msg(), QString("Dados do Dizimista: (Maria José) , alterado com sucesso !"));
        QCOMPARE(banner(w), QString("Somente Leitura"));
        // Saved: she does not get his state or marital status.
        const Dizimista d = le("0002");
        QCOMPARE(QStringList({v(d.nome), v(d.estado), v(d.estadocivil), v(d.tel)}), QStringList({"Maria José", "", "NULL", "NULL"}));
        QVERIFY(!d.ativo && !d.sexo && !d.desempregado);

        w->iniciamodificacaodizimista();   // the toolbar's way in unlocks the code box
        QVERIFY(!c(w, "txtcodigo")->isReadOnly());
        c(w, "txtcodigo")->setText("0077");
        w->alterardizimista(true);
        QCOMPARE(msg(), QString("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !"));
        QVERIFY(banner(w) == "Somente Leitura" && !dizimistaexiste("0077"));
    }

    void excluir()
    {
        salva({"0001 Ana", "0002 Bia"});
        auto* w = abre();
        w->excluirdizimista("0009");
        QCOMPARE(msg(), QString("Não existe dizimista cadastrado com este código"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->excluirdizimista("0002");
        QCOMPARE(msg(), QString("Deseja Realmente excluir o Dizimista: Bia ?"));
        QVERIFY(dizimistaexiste("0002"));

        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/24', '0002')"));
        const QString fotos = pasta_ + "fotos" + QDir::separator();
        QDir().mkpath(fotos);
        for (const char* n : {"0002p.jpg", "0002g.jpg", "0001p.jpg"})
            QVERIFY(QFile(fotos + n).open(QIODevice::WriteOnly));
        QCOMPARE(caminhofotodizimista("0002") + "|" + caminhofotodizimista("0002", true), fotos + "0002p.jpg|" + fotos + "0002g.jpg");
        QVERIFY(caminhofotodizimista("../../x").isEmpty() && caminhofotodizimista("").isEmpty());   // never outside the folder
        abredizimista("0002");
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->excluirdizimista(c(w, "txtcodigo")->text());
        QCOMPARE(msg(), QString("Registro excluído com sucesso !!!"));
        QVERIFY(!dizimistaexiste("0002") && apagadizimista("0002") == Gravacao::NaoEncontrado);
        QVERIFY(!QFile::exists(fotos + "0002p.jpg") && !QFile::exists(fotos + "0002g.jpg") && QFile::exists(fotos + "0001p.jpg"));
        // A new record, and not the code that the payment still carries.
        QCOMPARE(banner(w) + " " + c(w, "txtcodigo")->text(), QString("Novo Registro 0003"));
    }

    void navegacaoAteAsPontas()
    {
        salva({"0001 A", "0002 B", "0005 C"});
        auto* w = abre();
        auto* codigo = c(w, "txtcodigo");
        const auto passo = [&](const QString& caixa, bool avanca) {
            codigo->setText(caixa);
            Dialogos::limpa();
            avanca ? w->proximodizimista() : w->anteriordizimista();
            return codigo->text() + (Dialogos::registros("msgbox").isEmpty() ? QString() : " " + msg());
        };
        QCOMPARE(passo(codigo->text(), true), QString("0006 Último Registro"));   // from the new record
        QCOMPARE(passo("0006", false), QString("0005"));
        QCOMPARE(c(w, "txtnome")->text(), QString("C"));
        QVERIFY(c(w, "txtnome")->isReadOnly() && codigo->isReadOnly());
        QCOMPARE(banner(w), QString("Novo Registro"));   // navigation leaves the banner
        QCOMPARE(passo("0001", false), QString("0001 Primeiro Registro"));
        QCOMPARE(passo("", false), QString(" Primeiro Registro"));
        QCOMPARE(passo("9000", true), QString("9000 Último Registro"));
    }

    void fotoEJanelaFechada()
    {
        salva({"0001 Com foto", "0002 Sem foto"});
        QDir().mkpath(pasta_ + "fotos");
        QImage img(40, 40, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(pasta_ + "fotos/0001p.jpg", "BMP"));
        abredizimista("0001");   // the window was closed: it opens on that tither
        auto* w = Janelas::instancia("frmcadastrodizimistas");
        QVERIFY(w);
        QCOMPARE(c(w, "txtnome")->text() + "|" + banner(w), QString("Com foto|Somente Leitura"));
        QVERIFY(!c<QLabel>(w, "picfoto")->pixmap().isNull());
        abredizimista("0002");
        QVERIFY(c<QLabel>(w, "picfoto")->pixmap().isNull());
        QCOMPARE(c<QLabel>(w, "lblmsgfoto")->text(), QString("Sem Foto"));
    }

    void sairEBarraDaJanelaPrincipal()
    {
        auto* principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal && QTest::qWaitForWindowExposed(principal));
        QToolBar* barra = principal->barraprincipal();
        QVERIFY(barra->isVisible());
        auto* w = abre();
        QVERIFY(!barra->isVisible());
        Dialogos::respondeMsgbox(Dialogos::Nao);
        w->sair();
        QCOMPARE(msg(), QString("Deseja realmente sair da tela de cadastro de Dizimistas?"));
        QVERIFY(Janelas::instancia("frmcadastrodizimistas") == w && !barra->isVisible());
        Dialogos::respondeMsgbox(Dialogos::Sim);
        w->sair();
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas") && barra->isVisible());
        Janelas::fecha("frmprincipal");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TIVANE_TEST_MAIN(TstFrmCadastroDizimistas)
#include "tst_frmcadastrodizimistas.moc"
