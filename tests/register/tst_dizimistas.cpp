// The tither record and its table operations, without any window.
#include "testsupport.h"

#include "core/conexao.h"
#include "register/dizimistas.h"

#include <QDir>
#include <QFile>
#include <QListWidget>

using namespace tivane;

class TstDizimistas : public QObject {
    Q_OBJECT

private:
    QString pasta_;

    static Dizimista completo(const QString& codigo)
    {
        Dizimista d;
        d.codigo = codigo;
        d.nome = "Maria D'Ávila";
        d.cadastro = "01/02/2020";
        d.nascimento = "03/04/1970";
        d.rg = "12.345.678-9";
        d.cpf = "123.456.789-00";
        d.endereco = "Rua das Flores, 10";
        d.bairro = "Centro";
        d.cidade = "Niterói";
        d.estado = "RJ - Rio de Janeiro";
        d.estadocivil = "Casado(a)";
        d.cep = "24000-000";
        d.tel = "(21) 2222-3333";
        d.email = "maria@exemplo.com.br";
        d.msn = "maria@msn";
        d.ativo = false;
        d.sexo = false;
        d.celular = "(21) 99999-0000";
        d.barras = "000007";
        d.obs = "linha 1\nlinha 2";
        d.conversao = "05/06/1990";
        d.casamento = "07/08/1995";
        d.profissao = "Professora";
        d.desempregado = true;
        d.falecido = false;
        d.adoecido = true;
        d.conjuge = "José";
        return d;
    }

    static void comparaRegistros(const Dizimista& a, const Dizimista& b)
    {
        QCOMPARE(a.codigo, b.codigo);
        QCOMPARE(a.nome, b.nome);
        QCOMPARE(a.cadastro, b.cadastro);
        QCOMPARE(a.nascimento, b.nascimento);
        QCOMPARE(a.rg, b.rg);
        QCOMPARE(a.cpf, b.cpf);
        QCOMPARE(a.endereco, b.endereco);
        QCOMPARE(a.bairro, b.bairro);
        QCOMPARE(a.cidade, b.cidade);
        QCOMPARE(a.estado, b.estado);
        QCOMPARE(a.estadocivil, b.estadocivil);
        QCOMPARE(a.cep, b.cep);
        QCOMPARE(a.tel, b.tel);
        QCOMPARE(a.email, b.email);
        QCOMPARE(a.msn, b.msn);
        QCOMPARE(a.ativo, b.ativo);
        QCOMPARE(a.sexo, b.sexo);
        QCOMPARE(a.celular, b.celular);
        QCOMPARE(a.barras, b.barras);
        QCOMPARE(a.obs, b.obs);
        QCOMPARE(a.conversao, b.conversao);
        QCOMPARE(a.casamento, b.casamento);
        QCOMPARE(a.profissao, b.profissao);
        QCOMPARE(a.desempregado, b.desempregado);
        QCOMPARE(a.falecido, b.falecido);
        QCOMPARE(a.adoecido, b.adoecido);
        QCOMPARE(a.conjuge, b.conjuge);
    }

    static bool campoNulo(const QString& codigo, const QString& campo)
    {
        Banco::conecta();
        Consulta c(QStringLiteral("SELECT %1 FROM dizimistas WHERE codigo = ?").arg(campo));
        c.bind(codigo);
        return c.next() && c.isNull(0);
    }

private slots:
    void initTestCase() { pasta_ = teste::criaBancoTeste(); }
    void init() { teste::limpaBanco(); }

    void registroCompletoIdaEVolta()
    {
        const Dizimista d = completo("0007");
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        Dizimista lido;
        QVERIFY(lerdizimista("0007", &lido));
        comparaRegistros(lido, d);
        // The flags are stored as 0/1 numbers.
        Banco::conecta();
        Consulta c("SELECT ativo, sexo, desempregado, adoecido, typeof(ativo) FROM dizimistas");
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 0);
        QCOMPARE(c.inteiro(2), 1);
        QCOMPARE(c.text(4), QString("integer"));
    }

    void nuloEVazioNaoSeConfundem()
    {
        Dizimista d;
        d.codigo = "0001";
        d.nome = "Ana";
        d.cadastro = "";          // written always, even empty
        d.estado = "";            // idem
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        Dizimista lido;
        QVERIFY(lerdizimista("0001", &lido));
        QCOMPARE(lido.cadastro, TextoNulo(QString("")));
        QCOMPARE(lido.estado, TextoNulo(QString("")));
        QVERIFY(!lido.tel.has_value());
        QVERIFY(!lido.nascimento.has_value());
        QVERIFY(!lido.conjuge.has_value());
        QVERIFY(campoNulo("0001", "tel"));
        QVERIFY(!campoNulo("0001", "cadastro"));
        QVERIFY(lido.ativo);
        QVERIFY(lido.sexo);

        QVERIFY(!textoounulo("").has_value());
        QCOMPARE(textoounulo(" "), TextoNulo(QString(" ")));

        // Old rows: True stored as -1 and Null flags.
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, sexo, falecido) VALUES ('0002', 'Velho', -1, NULL, -1)"));
        QVERIFY(lerdizimista("0002", &lido));
        QVERIFY(lido.ativo);
        QVERIFY(!lido.sexo);
        QVERIFY(lido.falecido);
        QVERIFY(!lido.cadastro.has_value());
    }

    void alteracaoReescreveTodosOsCampos()
    {
        QCOMPARE(inseredizimista(completo("0003")), Gravacao::Gravado);
        Dizimista d = completo("0003");
        d.tel.reset();               // box emptied by the user
        d.conjuge.reset();
        d.nome = "Maria da Silva";
        d.ativo = true;
        QCOMPARE(atualizadizimista(d), Gravacao::Gravado);
        Dizimista lido;
        QVERIFY(lerdizimista("0003", &lido));
        comparaRegistros(lido, d);
        QVERIFY(campoNulo("0003", "tel"));

        d.codigo = "0099";
        QCOMPARE(atualizadizimista(d), Gravacao::NaoEncontrado);
        QVERIFY(!dizimistaexiste("0099"));
    }

    void inclusaoRecusaCodigoJaSalvo()
    {
        QCOMPARE(inseredizimista(completo("0004")), Gravacao::Gravado);
        Dizimista outro;
        outro.codigo = "0004";
        outro.nome = "Outro";
        QCOMPARE(inseredizimista(outro), Gravacao::CodigoExiste);
        QCOMPARE(buscanomedizimista("0004"), QString("Maria D'Ávila"));
    }

    void situacaoMudaSoOFlag()
    {
        Dizimista d = completo("0005");
        d.ativo = true;
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        QCOMPARE(definesituacao("0005", false), Gravacao::Gravado);
        Dizimista lido;
        QVERIFY(lerdizimista("0005", &lido));
        d.ativo = false;
        comparaRegistros(lido, d);
        QCOMPARE(definesituacao("0404", false), Gravacao::NaoEncontrado);
    }

    void consultasPorCodigoENome()
    {
        Dizimista d;
        d.codigo = "0010";
        d.nome = "JOÃO D'ARC";
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        QVERIFY(dizimistaexiste("0010"));
        QVERIFY(!dizimistaexiste("10"));
        QVERIFY(!dizimistaexiste("'"));
        QVERIFY(!dizimistaexiste(""));
        QCOMPARE(buscanomedizimista("0010"), QString("JOÃO D'ARC"));
        QCOMPARE(buscanomedizimista("0011"), QString(""));
        QCOMPARE(datacadastrodizimista("0010"), QString(""));   // Null date
        QVERIFY(teste::sql("UPDATE dizimistas SET cadastro = '02/03/2015'"));
        QCOMPARE(datacadastrodizimista("0010"), QString("02/03/2015"));
        QCOMPARE(datacadastrodizimista("x' OR '1'='1"), QString(""));

        QVERIFY(nomedizimistaexiste("joão d'arc"));
        QVERIFY(nomedizimistaexiste("JOÃO D'ARC"));
        QVERIFY(!nomedizimistaexiste("JOÃO"));
    }

    void ordemDosTestesDeGravacao()
    {
        Dizimista d;
        d.codigo = "0001";
        d.nome = "Pedro";
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        // The empty name comes before everything else, even a saved code.
        QCOMPARE(decidegravacao("0001", "", true), PassoGravacao::NomeVazio);
        QCOMPARE(decidegravacao("0001", "   ", false), PassoGravacao::NomeVazio);
        QCOMPARE(decidegravacao("0001", "Pedro", false), PassoGravacao::JaSalvo);
        QCOMPARE(decidegravacao("0001", "Pedro", true), PassoGravacao::Alterar);
        QCOMPARE(decidegravacao("0002", "PEDRO", false), PassoGravacao::NomeExiste);
        QCOMPARE(decidegravacao("0002", "PEDRO", true), PassoGravacao::NomeExiste);
        QCOMPARE(decidegravacao("0002", "Paulo", false), PassoGravacao::Incluir);
        // "1" is not the saved "0001".
        QCOMPARE(decidegravacao("1", "Paulo", true), PassoGravacao::Incluir);
    }

    void exclusaoLevaAsFotos()
    {
        Dizimista d;
        d.codigo = "0008";
        d.nome = "Foto";
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        QDir().mkpath(pasta_ + "fotos");
        for (const QString& n : {QString("0008p.jpg"), QString("0008g.jpg"), QString("0009p.jpg")}) {
            QFile f(pasta_ + "fotos/" + n);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("BM");
        }
        QCOMPARE(caminhofotodizimista("0008"), pasta_ + "fotos" + QDir::separator() + "0008p.jpg");
        QCOMPARE(caminhofotodizimista("0008", true), pasta_ + "fotos" + QDir::separator() + "0008g.jpg");
        QCOMPARE(apagadizimista("0008"), Gravacao::Gravado);
        QVERIFY(!dizimistaexiste("0008"));
        QVERIFY(!QFile::exists(pasta_ + "fotos/0008p.jpg"));
        QVERIFY(!QFile::exists(pasta_ + "fotos/0008g.jpg"));
        QVERIFY(QFile::exists(pasta_ + "fotos/0009p.jpg"));
        QCOMPARE(apagadizimista("0008"), Gravacao::NaoEncontrado);
        // A typed code never names a file outside the photo folder.
        QVERIFY(caminhofotodizimista("../../x").isEmpty());
        QVERIFY(caminhofotodizimista("").isEmpty());
    }

    void listaDeAtivos()
    {
        QVERIFY(listadizimistasativos().isEmpty());
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, cadastro) VALUES ('0003', 'C', 1, '01/01/2012')"));
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0001', 'A', 0)"));
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0002', 'B', 1)"));
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('0004', 'D', NULL)"));
        const QVector<DizimistaAtivo> ativos = listadizimistasativos();
        QCOMPARE(ativos.size(), 2);
        QCOMPARE(ativos[0].codigo, QString("0003"));   // table order
        QCOMPARE(ativos[0].cadastro, QString("01/01/2012"));
        QCOMPARE(ativos[1].codigo, QString("0002"));
        QCOMPARE(ativos[1].cadastro, QString(""));

        QWidget janela;
        auto* lista = new QListWidget(&janela);
        lista->setObjectName("listadizimistasativos");
        lista->addItem("antigo");
        carregalistadizimistasativos(&janela);
        QCOMPARE(lista->count(), 2);
        QCOMPARE(lista->item(0)->text(), QString("0003"));
        QCOMPARE(lista->item(1)->text(), QString("0002"));
        carregalistadizimistasativos(nullptr);   // no window, no crash
    }
};

TIVANE_TEST_MAIN(TstDizimistas)
#include "tst_dizimistas.moc"
