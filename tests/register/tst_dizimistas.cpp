// The tither record and its table operations, without any window.
#include "testsupport.h"

#include "core/conexao.h"
#include "register/dizimistas.h"

#include <QtWidgets>

using namespace tivane;

class TstDizimistas : public QObject {
    Q_OBJECT
    static Dizimista completo(const QString& codigo)
    {
        return {codigo, "Maria D'Ávila", "01/02/2020", "03/04/1970", "12.345.678-9", "123.456.789-00", "Rua das Flores, 10",
                "Centro", "Niterói", "RJ - Rio de Janeiro", "Casado(a)", "24000-000", "(21) 2222-3333", "maria@exemplo.com.br",
                "maria@msn", /*ativo*/ false, /*sexo*/ false, "(21) 99999-0000", "000007", "linha 1\nlinha 2", "05/06/1990",
                "07/08/1995", "Professora", /*desempregado*/ true, /*falecido*/ false, /*adoecido*/ true, "José"};
    }
    // The saved row of that code against the record, field by field.
    static void compara(const QString& codigo, const Dizimista& b)
    {
        Dizimista a;
        QCOMPARE(lerdizimista(codigo, &a), Leitura::Encontrado);
#define C(f) QCOMPARE(a.f, b.f);
        C(codigo) C(nome) C(cadastro) C(nascimento) C(rg) C(cpf) C(endereco) C(bairro) C(cidade) C(estado) C(estadocivil)
        C(cep) C(tel) C(email) C(msn) C(ativo) C(sexo) C(celular) C(barras) C(obs) C(conversao) C(casamento) C(profissao)
        C(desempregado) C(falecido) C(adoecido) C(conjuge)
#undef C
    }
    static Dizimista so(const QString& codigo, const QString& nome) { return Dizimista{codigo, nome}; }
    static bool existe(const QString& codigo) { return dizimistaexiste(codigo) == Leitura::Encontrado; }
    // The field read by a lookup, "-" when the tither is not there.
    static QString campo(Leitura (*busca)(const QString&, QString*), const QString& codigo)
    {
        QString t = "lixo";
        const Leitura r = busca(codigo, &t);
        return r == Leitura::Encontrado ? t : r == Leitura::NaoEncontrado && t.isEmpty() ? "-" : "falha";
    }
    // The stored value, as SQL writes it: NULL, 'texto', 1.
    static QString sql(const QString& campo, const QString& codigo)
    {
        QString erro;
        if (!Banco::conecta(&erro))
            return "sem conexão: " + erro;
        Consulta c(QStringLiteral("SELECT quote(%1) FROM dizimistas WHERE codigo = ?").arg(campo));
        return c.bind(codigo).next() ? c.text(0) : QString("sem linha");
    }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init() { teste::limpaBanco(); }
    void cleanup()
    {
        if (QByteArray(QTest::currentTestFunction()) == "leituraQueFalhaNaoEhResposta")
            teste::criaBancoTeste();   // the next test gets a whole file again
    }

    void idaEVoltaComNuloEVazio()
    {
        const Dizimista d = completo("0007");
        QCOMPARE(inseredizimista(d), Gravacao::Gravado);
        compara("0007", d);
        QCOMPARE(sql("ativo || desempregado || typeof(ativo)", "0007"), QString("'01integer'"));   // flags as 0/1

        Dizimista v = so("0001", "Ana");
        v.cadastro = v.estado = "";
        QCOMPARE(inseredizimista(v), Gravacao::Gravado);
        compara("0001", v);   // "" stays "", Null stays Null
        QCOMPARE(sql("tel", "0001") + sql("cadastro", "0001"), QString("NULL''"));
        QVERIFY(!textoounulo("").has_value() && textoounulo(" ") == TextoNulo(QString(" ")));

        // Old rows: True stored as -1 and Null flags.
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, ativo, sexo, falecido) VALUES ('0002', 'Velho', -1, NULL, -1)"));
        Dizimista lido;
        QCOMPARE(lerdizimista("0002", &lido), Leitura::Encontrado);
        QVERIFY(lido.ativo && !lido.sexo && lido.falecido && !lido.cadastro.has_value());
    }

    void alteracaoInclusaoESituacao()
    {
        QCOMPARE(inseredizimista(completo("0003")), Gravacao::Gravado);
        QCOMPARE(inseredizimista(so("0003", "Outro")), Gravacao::CodigoExiste);
        QCOMPARE(campo(buscanomedizimista, "0003"), QString("Maria D'Ávila"));

        Dizimista d = completo("0003");
        d.tel = d.conjuge = std::nullopt;   // boxes emptied by the user
        d.nome = "Maria da Silva"; d.ativo = true;
        QCOMPARE(atualizadizimista(d), Gravacao::Gravado);
        compara("0003", d);
        QCOMPARE(sql("tel", "0003"), QString("NULL"));

        d.codigo = "0099";
        QCOMPARE(atualizadizimista(d), Gravacao::NaoEncontrado);
        QCOMPARE(dizimistaexiste("0099"), Leitura::NaoEncontrado);
    }

    void consultasEDecisaoDeGravacao()
    {
        QCOMPARE(inseredizimista(so("0010", "JOÃO D'ARC")), Gravacao::Gravado);
        QVERIFY(existe("0010") && !existe("10") && !existe("'") && !existe(""));
        QCOMPARE(campo(buscanomedizimista, "0010") + "|" + campo(buscanomedizimista, "0011"), QString("JOÃO D'ARC|-"));
        QCOMPARE(campo(localizadizimista, "0010") + "|" + campo(localizadizimista, "'"), QString("JOÃO D'ARC|-"));
        QVERIFY(nomedizimistaexiste("joão d'arc") == Leitura::Encontrado && nomedizimistaexiste("JOÃO D'ARC") == Leitura::Encontrado
                && nomedizimistaexiste("JOÃO") == Leitura::NaoEncontrado);
        // Saving, in the cases the window's test does not reach; the empty name comes first.
        QCOMPARE(decidegravacao("0010", "   ", true), PassoGravacao::NomeVazio);
        QCOMPARE(decidegravacao("0010", "JOÃO D'ARC", true), PassoGravacao::Alterar);
        QCOMPARE(decidegravacao("0002", "joão d'arc", true), PassoGravacao::NomeExiste);
        QCOMPARE(decidegravacao("10", "Paulo", true), PassoGravacao::Incluir);   // "10" is not "0010"
    }

    // A file another program holds, one whose tables are gone and one with damaged
    // pages: an existing tither never reads as "not there", and the list is never a part.
    void leituraQueFalhaNaoEhResposta_data()
    {
        QTest::addColumn<QString>("tipo");
        for (const char* t : {"em uso", "sem tabelas", "danificado"})
            QTest::newRow(t) << QString(t);
    }
    void leituraQueFalhaNaoEhResposta()
    {
        QFETCH(QString, tipo);
        teste::ArquivoComFalha falha(tipo);
        Dizimista d;
        QString t;
        const Leitura lidas[] = {lerdizimista("0150", &d), dizimistaexiste("0150"), localizadizimista("0150", &t),
                                 nomedizimistaexiste("Nome 150"), buscanomedizimista("0150", &t)};
        for (const Leitura l : lidas) {
            QVERIFY(l != Leitura::NaoEncontrado);
            if (tipo != "danificado")   // pages left whole still read
                QCOMPARE(l, Leitura::Falha);
        }
        // The name test walks the whole table.
        QString causa;
        QCOMPARE(decidegravacao("0999", "Ninguém", false, false, &causa), PassoGravacao::FalhaLeitura);
        QVERIFY2(causa.contains(falha.causa()), qPrintable(causa));
    }
};

TIVANE_TEST_MAIN(TstDizimistas)
#include "tst_dizimistas.moc"
