// The tither registration window: new record, save checks, modify, delete, navigation, photo and exit.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/frmcadastrodizimistas.h"
#include "shell/frmprincipal.h"

#include <QtWidgets>

using namespace tivane;

class TstFrmCadastroDizimistas : public QObject {
    Q_OBJECT
    QString pasta_;

    static constexpr const char* CAD = "frmcadastrodizimistas";
    static FrmCadastroDizimistas* abre() { return qobject_cast<FrmCadastroDizimistas*>(Janelas::abre(CAD)); }
    static void fecha(const char* n = CAD) { Janelas::fecha(n); QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    template <typename T = QLineEdit> static T* c(QWidget* w, const char* nome)
    {
        if (T* r = w->findChild<T*>(nome))
            return r;
        qFatal("control %s missing", nome);
    }
    static QString t(QWidget* w, const char* nome) { return c(w, nome)->text(); }
    static bool marcado(QWidget* w, const char* nome) { return c<QAbstractButton>(w, nome)->isChecked(); }
    static QString combo(QWidget* w, const char* nome) { return c<QComboBox>(w, nome)->currentText(); }
    static QString banner(QWidget* w) { return c<QLabel>(w, "lblstatus")->text(); }
    static QString msg() { return Dialogos::ultimo("msgbox").texto; }
    static QString hoje() { return QDate::currentDate().toString("dd/MM/yyyy"); }
    // Answers the next question, does f and gives the last message.
    template <typename F> static QString responde(int resposta, F f) { Dialogos::respondeMsgbox(resposta); f(); return msg(); }
    // Saved tithers: active men with these codes and names.
    static void salva(const QStringList& codigosENomes)
    {
        for (const QString& cn : codigosENomes)
            QVERIFY(teste::sql(QString("INSERT INTO dizimistas (codigo, nome, ativo, sexo) VALUES ('%1', '%2', 1, 1)")
                                   .arg(cn.section(' ', 0, 0), cn.section(' ', 1))));
    }
    // None: fails every comparison; a read that fails fails the test.
    static Dizimista le(const QString& codigo)
    {
        Dizimista d;
        if (const Leitura lida = lerdizimista(codigo, &d); lida == Leitura::Falha)
            QTest::qFail(qPrintable(lida.causa()), __FILE__, __LINE__);
        return d;
    }
    static bool existe(const QString& codigo) { return dizimistaexiste(codigo) == Leitura::Encontrado; }
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
    void init() { fecha(); teste::limpaBanco(); Dialogos::limpa(); }
    void cleanup() { fecha(); }

    void abreEmNovoRegistro()
    {
        auto* w = abre();
        QVERIFY(w);
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(msg(), QString("Não existem registros cadastrados"));
        QCOMPARE(t(w, "txtcodigo") + " " + t(w, "txtbarras") + " " + t(w, "txtdatacadastro") + " " + banner(w),
                 "0001 000001 " + hoje() + " Novo Registro");
        QVERIFY(!c(w, "txtcodigo")->isReadOnly() && marcado(w, "optsexo0") && marcado(w, "optativo"));
        QCOMPARE(combo(w, "cbestado") + "|" + combo(w, "cbestadocivil"), QString("RJ - Rio de Janeiro|"));
        QVERIFY(c<QLabel>(w, "lblmsgfoto")->text() == "Sem Foto" && c<QPushButton>(w, "cmdfoto")->isEnabled());
        QCOMPARE(abre(), w);   // opening again gives the same window
    }

    void cadastraTodosOsCampos()
    {
        salva({"0004 Primeiro"});
        auto* w = abre();
        QCOMPARE(t(w, "txtcodigo") + " " + t(w, "txtbarras"), QString("0005 000005"));
        for (const char* s : {"txtnome=Ana D'Ávila", "txtrg=RG1", "txtcpf=CPF1", "txtendereco=Rua A", "txtbairro=Centro",
                              "txtcidade=Niterói", "txtcep=24000", "txttel=2222", "txtemail=a@b.c", "txtmsn=msn",
                              "txtcelular=9999", "txtprofissao=Professora", "txtconjuge=José"})
            c(w, qPrintable(QString(s).section('=', 0, 0)))->setText(QString(s).section('=', 1));
        QTest::keyClicks(c(w, "txtnascimento"), "03041970");
        QTest::keyClicks(c(w, "txtconversao"), "05061990");
        c<QComboBox>(w, "cbestado")->setCurrentText("SP - São Paulo");
        c<QComboBox>(w, "cbestadocivil")->setCurrentText("Viúvo(a)");
        for (const char* n : {"optinativo", "optsexo1", "chkdesempregado", "chkfalecido"})
            c<QAbstractButton>(w, n)->setChecked(true);
        c<QPlainTextEdit>(w, "txtobs")->setPlainText("obs");
        w->gravardizimista();
        QCOMPARE(msg(), QString("Dizimista: (Ana D'Ávila) cadastrado com sucesso !"));
        const QStringList salvo{"Ana D'Ávila", hoje(), "03/04/1970", "RG1", "CPF1", "Rua A", "Centro", "Niterói",
                                "SP - São Paulo", "Viúvo(a)", "24000", "2222", "a@b.c", "msn", "9999", "000005",
                                "obs", "05/06/1990", "NULL", "Professora", "José", "0", "0", "1", "1", "0"};
        QCOMPARE(campos(le("0005")), salvo);   // the blank date box is Null
        QCOMPARE(t(w, "txtcodigo") + t(w, "txtnome") + banner(w), QString("0006Novo Registro"));   // next new record
        QCOMPARE(w->focusWidget(), c(w, "txtnome"));   // typing and the keys go on in this window
        QVERIFY(marcado(w, "optativo"));
        abredizimista("0005");   // shown again, every box gives back what was saved
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
        const QString codigo = t(w, "txtcodigo");
        QTest::keyClicks(c(w, "txtnome"), "Maria");
        const auto grava = [&](const char* data) {
            nasc->clear();
            QTest::keyClicks(nasc, data);
            w->gravardizimista();
            return existe(codigo) ? QString("gravado") : msg();
        };
        QCOMPARE(grava("1503"), QString("A data de Nascimento (15/03/____) não é válida. Corrija a data ou apague-a para continuar."));
        QCOMPARE(t(w, "txtnome"), QString("Maria"));   // nothing typed is lost
        QVERIFY(grava("31041980").startsWith("A data de Nascimento (31/04/1980)"));
        QCOMPARE(grava("30041980"), QString("gravado"));
        QCOMPARE(le(codigo).nascimento, TextoNulo("30/04/1980"));
    }

    void ordemDasVerificacoesAoSalvar()
    {
        salva({"0001 Pedro"});
        auto* w = abre();
        const auto grava = [w](const QString& codigo, const QString& nome) {
            c(w, "txtcodigo")->setText(codigo);
            c(w, "txtnome")->setText(nome);
            w->gravardizimista();
            return msg();
        };
        QCOMPARE(grava("0001", ""), QString("Você deve digitar o nome do dizimista para continuar."));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
        QCOMPARE(grava("0001", "Outro"), QString("Esse registro já foi salvo, tente modificar !"));
        QCOMPARE(grava("0002", "PEDRO"), QString("Já existe funcionário cadastrado com este nome!"));
        QCOMPARE(grava("", "Paulo"), QString("Você deve informar o código do dizimista para continuar."));
        // A code that payments carry would hand them to the new tither.
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/26', '0002')"));
        QCOMPARE(grava("0002", "Paulo"), QString("O código 0002 já consta em pagamentos gravados, de um dizimista excluído "
                                                 "ou não cadastrado. Escolha outro código, para que este dizimista não "
                                                 "fique com esses pagamentos."));
        QVERIFY(!existe("") && !existe("0002"));
        QCOMPARE(Dialogos::registros("msgbox").size(), 5);
        QCOMPARE(le("0001").nome, TextoNulo("Pedro"));
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
        const QString longo(160, QChar(u'R'));   // a text longer than its box is shown, and saved back, whole
        QVERIFY(teste::sql("UPDATE dizimistas SET endereco = '" + longo + "', codigo = '000000001' WHERE codigo = '0001'"));
        abredizimista("000000001");
        QCOMPARE(w->preencheregistrodizimista().codigo + v(w->preencheregistrodizimista().endereco), "000000001" + longo);
        w->proximodizimista();   // Null fields show as empty, the combos too
        QCOMPARE(t(w, "txtnome") + "|" + combo(w, "cbestado") + combo(w, "cbestadocivil") + t(w, "txttel") + t(w, "txtdatacadastro"),
                 QString("Mulher|"));
        QVERIFY(!marcado(w, "chkdesempregado") && marcado(w, "optsexo1") && marcado(w, "optinativo"));

        w->modificardizimista();   // key F7
        QVERIFY(c(w, "txtcodigo")->isReadOnly() && !c(w, "txtnome")->isReadOnly());
        QCOMPARE(banner(w), QString("Modificando Registro"));
        c(w, "txtnome")->setText("Maria José");
        QCOMPARE(responde(Dialogos::Nao, [w] { w->gravardizimista(); }), QString("Deseja alterar os dados do Dizimista:Mulher ?"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 36);
        QCOMPARE(banner(w) + " " + v(le("0002").nome), QString("Modificando Registro Mulher"));
        QCOMPARE(responde(Dialogos::Sim, [w] { w->gravardizimista(); }),
                 QString("Dados do Dizimista: (Maria José) , alterado com sucesso !"));
        QCOMPARE(banner(w), QString("Somente Leitura"));
        const Dizimista d = le("0002");   // she does not get his state or marital status
        QCOMPARE(QStringList({v(d.nome), v(d.estado), v(d.estadocivil), v(d.tel)}), QStringList({"Maria José", "", "NULL", "NULL"}));
        QVERIFY(!d.ativo && !d.sexo && !d.desempregado);

        // Deleted elsewhere while shown: saving never brings the tither back.
        w->modificardizimista();
        QVERIFY(teste::sql("DELETE FROM dizimistas WHERE codigo = '0002'"));
        Dialogos::limpa();
        w->gravardizimista();
        QCOMPARE(msg(), QString("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !"));
        QVERIFY(banner(w) == "Somente Leitura" && !existe("0002"));
        w->gravardizimista();
        QCOMPARE(msg(), QString("Esse registro já foi salvo, tente modificar !"));
        QVERIFY(!existe("0002") && Dialogos::registros("msgbox").size() == 2);

        w->iniciamodificacaodizimista();   // the toolbar's way in unlocks the code box
        QVERIFY(!c(w, "txtcodigo")->isReadOnly());
        c(w, "txtcodigo")->setText("0077");
        w->alterardizimista(true);
        QCOMPARE(msg(), QString("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !"));
        QVERIFY(banner(w) == "Somente Leitura" && !existe("0077"));
    }

    void excluir()
    {
        salva({"0001 Ana", "0002 Bia"});
        auto* w = abre();
        w->excluirdizimista("0009");
        QCOMPARE(msg(), QString("Não existe dizimista cadastrado com este código"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 48);
        QCOMPARE(responde(Dialogos::Nao, [w] { w->excluirdizimista("0002"); }), QString("Deseja Realmente excluir o Dizimista: Bia ?"));
        QVERIFY(existe("0002"));

        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/24', '0002')"));
        const QString fotos = pasta_ + "fotos" + QDir::separator();
        QDir().mkpath(fotos);
        for (const char* n : {"0002p.jpg", "0002g.jpg", "0001p.jpg"})
            QVERIFY(QFile(fotos + n).open(QIODevice::WriteOnly));
        QCOMPARE(caminhofotodizimista("0002") + "|" + caminhofotodizimista("0002", true), fotos + "0002p.jpg|" + fotos + "0002g.jpg");
        QVERIFY(caminhofotodizimista("../../x").isEmpty() && caminhofotodizimista("").isEmpty());   // never outside the folder
        abredizimista("0002");
        QCOMPARE(responde(Dialogos::Sim, [w] { w->excluirdizimista(t(w, "txtcodigo")); }), QString("Registro excluído com sucesso !!!"));
        QVERIFY(!existe("0002") && apagadizimista("0002") == Gravacao::NaoEncontrado);
        QVERIFY(!QFile::exists(fotos + "0002p.jpg") && !QFile::exists(fotos + "0002g.jpg") && QFile::exists(fotos + "0001p.jpg"));
        QCOMPARE(banner(w) + " " + t(w, "txtcodigo"), QString("Novo Registro 0003"));   // not the code a payment still carries

        // The file held by another program: the cause, no question, nothing deleted or saved.
        Dialogos::limpa();
        {
            teste::Trava trava;
            w->excluirdizimista("0001");
            c(w, "txtnome")->setText("Nova");
            w->gravardizimista();
        }
        QStringList vistas;
        for (const auto& r : Dialogos::registros("msgbox"))
            vistas << r.texto;
        const QString causa = ": o arquivo está em uso por outro programa. A operação foi interrompida.";
        QCOMPARE(vistas, (QStringList{"Não foi possível ler o dizimista 0001" + causa,
                                      "Não foi possível conferir o dizimista no banco de dados" + causa}));
        QVERIFY(existe("0001") && !existe("0003"));
        QCOMPARE(t(w, "txtnome"), QString("Nova"));   // what was typed stays
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
        QCOMPARE(t(w, "txtnome") + " " + banner(w), QString("C Novo Registro"));   // navigation leaves the banner
        QVERIFY(c(w, "txtnome")->isReadOnly() && codigo->isReadOnly());
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
        auto* w = Janelas::instancia(CAD);
        QVERIFY(w);
        QCOMPARE(t(w, "txtnome") + "|" + banner(w), QString("Com foto|Somente Leitura"));
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
        QCOMPARE(responde(Dialogos::Nao, [w] { w->sair(); }), QString("Deseja realmente sair da tela de cadastro de Dizimistas?"));
        QVERIFY(Janelas::instancia(CAD) == w && !barra->isVisible());
        responde(Dialogos::Sim, [w] { w->sair(); });
        QVERIFY(!Janelas::instancia(CAD) && barra->isVisible());
        fecha("frmprincipal");
    }
};

TIVANE_TEST_MAIN(TstFrmCadastroDizimistas)
#include "tst_frmcadastrodizimistas.moc"
