// The tither record and its table operations, without any window.
#include "testsupport.h"

#include "core/conexao.h"
#include "register/dizimistas.h"

#include <QtWidgets>

using namespace tivane;

class TstDizimistas : public QObject {
    Q_OBJECT

private:
    static Dizimista completo(const QString& codigo)
    {
        Dizimista d;
        d.codigo = codigo;
        d.nome = "Maria D'Ávila";
        d.cadastro = "01/02/2020"; d.nascimento = "03/04/1970"; d.conversao = "05/06/1990"; d.casamento = "07/08/1995";
        d.rg = "12.345.678-9"; d.cpf = "123.456.789-00";
        d.endereco = "Rua das Flores, 10"; d.bairro = "Centro"; d.cidade = "Niterói"; d.cep = "24000-000";
        d.estado = "RJ - Rio de Janeiro"; d.estadocivil = "Casado(a)";
        d.tel = "(21) 2222-3333"; d.celular = "(21) 99999-0000"; d.email = "maria@exemplo.com.br"; d.msn = "maria@msn";
        d.barras = "000007"; d.obs = "linha 1\nlinha 2"; d.profissao = "Professora"; d.conjuge = "José";
        d.ativo = false; d.sexo = false; d.desempregado = true; d.falecido = false; d.adoecido = true;
        return d;
    }
    static void compara(const Dizimista& a, const Dizimista& b)
    {
#define C(f) QCOMPARE(a.f, b.f);
        C(codigo) C(nome) C(cadastro) C(nascimento) C(rg) C(cpf) C(endereco) C(bairro) C(cidade) C(estado) C(estadocivil)
        C(cep) C(tel) C(email) C(msn) C(ativo) C(sexo) C(celular) C(barras) C(obs) C(conversao) C(casamento) C(profissao)
        C(desempregado) C(falecido) C(adoecido) C(conjuge)
#undef C
    }
    static Dizimista so(const QString& codigo, const QString& nome) { return Dizimista{codigo, nome}; }
    // The stored value, as SQL writes it: NULL, 'texto', 1.
    static QString sql(const QString& campo, const QString& codigo)
    {
        Banco::conecta();
        Consulta c(QStringLiteral("SELECT quote(%1) FROM dizimistas WHERE codigo = ?").arg(campo));
        c.bind(codigo);
        return c.next() ? c.text(0) : QString("sem linha");
    }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init() { teste::limpaBanco(); }

    void idaEVoltaComNuloEVazio()
    {
        const Dizimista d = completo("0007");
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        Dizimista lido;
        QVERIFY(lerdizimista("0007", &lido));
        compara(lido, d);
        QCOMPARE(sql("ativo || desempregado || typeof(ativo)", "0007"), QString("'01integer'"));   // flags as 0/1

        Dizimista v = so("0001", "Ana");
        v.cadastro = v.estado = "";
        QCOMPARE(inseredizimista(v), Gravacao::Gravado);
        QVERIFY(lerdizimista("0001", &lido));
        QVERIFY(lido.cadastro == TextoNulo(QString("")) && lido.estado == TextoNulo(QString("")));
        QVERIFY(!lido.tel.has_value() && !lido.nascimento.has_value() && !lido.conjuge.has_value());
        QCOMPARE(sql("tel", "0001") + sql("cadastro", "0001"), QString("NULL''"));
        QVERIFY(lido.ativo && lido.sexo);
        QVERIFY(!textoounulo("").has_value());
        QCOMPARE(textoounulo(" "), TextoNulo(QString(" ")));

        // Old rows: True stored as -1 and Null flags.
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, sexo, falecido) VALUES ('0002', 'Velho', -1, NULL, -1)"));
        QVERIFY(lerdizimista("0002", &lido));
        QVERIFY(lido.ativo && !lido.sexo && lido.falecido && !lido.cadastro.has_value());
    }

    void alteracaoInclusaoESituacao()
    {
        QCOMPARE(inseredizimista(completo("0003")), Gravacao::Gravado);
        QCOMPARE(inseredizimista(so("0003", "Outro")), Gravacao::CodigoExiste);
        QCOMPARE(buscanomedizimista("0003"), QString("Maria D'Ávila"));

        Dizimista d = completo("0003");
        d.tel.reset();   // box emptied by the user
        d.conjuge.reset();
        d.nome = "Maria da Silva";
        d.ativo = true;
        QCOMPARE(atualizadizimista(d), Gravacao::Gravado);
        Dizimista lido;
        QVERIFY(lerdizimista("0003", &lido));
        compara(lido, d);
        QCOMPARE(sql("tel", "0003"), QString("NULL"));

        QCOMPARE(definesituacao("0003", false), Gravacao::Gravado);   // only the flag changes
        QVERIFY(lerdizimista("0003", &lido));
        d.ativo = false;
        compara(lido, d);
        QCOMPARE(definesituacao("0404", false), Gravacao::NaoEncontrado);
        d.codigo = "0099";
        QCOMPARE(atualizadizimista(d), Gravacao::NaoEncontrado);
        QVERIFY(!dizimistaexiste("0099"));
    }

    void consultasPorCodigoENome()
    {
        QCOMPARE(inseredizimista(so("0010", "JOÃO D'ARC")), Gravacao::Gravado);
        QVERIFY(dizimistaexiste("0010"));
        QVERIFY(!dizimistaexiste("10") && !dizimistaexiste("'") && !dizimistaexiste(""));
        QCOMPARE(buscanomedizimista("0010"), QString("JOÃO D'ARC"));
        QCOMPARE(buscanomedizimista("0011"), QString(""));
        QCOMPARE(datacadastrodizimista("0010"), QString(""));   // Null date
        QVERIFY(teste::sql("UPDATE dizimistas SET cadastro = '02/03/2015'"));
        QCOMPARE(datacadastrodizimista("0010"), QString("02/03/2015"));
        QCOMPARE(datacadastrodizimista("x' OR '1'='1"), QString(""));
        QVERIFY(nomedizimistaexiste("joão d'arc") && nomedizimistaexiste("JOÃO D'ARC") && !nomedizimistaexiste("JOÃO"));
    }

    void ordemDosTestesDeGravacao()
    {
        QCOMPARE(inseredizimista(so("0001", "Pedro")), Gravacao::Gravado);
        // The cases the window's test does not reach; the empty name comes first.
        QCOMPARE(decidegravacao("0001", "   ", true), PassoGravacao::NomeVazio);
        QCOMPARE(decidegravacao("0001", "Pedro", true), PassoGravacao::Alterar);
        QCOMPARE(decidegravacao("0002", "PEDRO", true), PassoGravacao::NomeExiste);
        QCOMPARE(decidegravacao("1", "Paulo", true), PassoGravacao::Incluir);   // "1" is not "0001"
    }

    void listaDeAtivos()
    {
        QVERIFY(listadizimistasativos().isEmpty());
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, cadastro) VALUES ('0003', 'C', 1, '01/01/2012'),"
                           " ('0001', 'A', 0, NULL), ('0002', 'B', 1, NULL), ('0004', 'D', NULL, NULL)"));
        QStringList ativos;
        for (const DizimistaAtivo& a : listadizimistasativos())
            ativos << a.codigo + "|" + a.cadastro;
        QCOMPARE(ativos, QStringList({"0003|01/01/2012", "0002|"}));   // table order, Null date as ""
        QWidget janela;
        auto* lista = new QListWidget(&janela);
        lista->setObjectName("listadizimistasativos");
        lista->addItem("antigo");
        carregalistadizimistasativos(&janela);
        QCOMPARE(lista->count(), 2);
        QCOMPARE(lista->item(0)->text() + "|" + lista->item(1)->text(), QString("0003|0002"));
        carregalistadizimistasativos(nullptr);   // no window, no crash
    }
};

TIVANE_TEST_MAIN(TstDizimistas)
#include "tst_dizimistas.moc"
