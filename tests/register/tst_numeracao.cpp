// Tither codes: new codes, bar-code numbers, next and previous saved codes.
#include "testsupport.h"

#include "core/conexao.h"
#include "register/numeracao.h"

#include <algorithm>
#include <limits>

using namespace tivane;

class TstNumeracao : public QObject {
    Q_OBJECT

private:
    static void salva(const QStringList& codigos)
    {
        for (const QString& c : codigos)
            QVERIFY(teste::sql(QString("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('%1', 'N%1', 1)").arg(c)));
    }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init() { teste::limpaBanco(); }

    void valorDoCodigo_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<qint64>("valor");
        QTest::newRow("formatado") << "0012" << qint64(12);
        QTest::newRow("curto") << "12" << qint64(12);
        QTest::newRow("vazio") << "" << qint64(0);
        QTest::newRow("letras") << "abc" << qint64(0);
        QTest::newRow("prefixo") << "12ab" << qint64(12);
        QTest::newRow("espacos") << "  7" << qint64(7);
        QTest::newRow("cinco digitos") << "10000" << qint64(10000);
        QTest::newRow("enorme") << "99999999999999999999999" << std::numeric_limits<qint64>::max();
    }
    void valorDoCodigo()
    {
        QFETCH(QString, texto);
        QFETCH(qint64, valor);
        QCOMPARE(valorcodigo(texto), valor);
    }

    void codigoDeBarras()
    {
        QCOMPARE(formatabarras("0012"), QString("000012"));
        QCOMPARE(formatabarras("0006"), QString("000006"));
        QCOMPARE(formatabarras("1234567"), QString("1234567"));
        QCOMPARE(formatabarras("A12"), QString("A12"));
        QCOMPARE(formatabarras(""), QString(""));
    }

    void novoCodigoComLacunas()
    {
        salva({"0001", "0002", "0005"});
        bool vazia = true;
        QCOMPARE(novocodigodizimista(&vazia), QString("0006"));
        QVERIFY(!vazia);
    }

    void novoCodigoTabelaVazia()
    {
        bool vazia = false;
        QCOMPARE(novocodigodizimista(&vazia), QString("0001"));
        QVERIFY(vazia);
    }

    void novoCodigoPassaDe9999()
    {
        salva({"9999"});
        QCOMPARE(novocodigodizimista(), QString("10000"));
        salva({"10000"});
        // Text order would put "10000" before "9999"; numbers do not.
        QCOMPARE(novocodigodizimista(), QString("10001"));
        salva({"40000"});
        QCOMPARE(novocodigodizimista(), QString("40001"));   // past the 16-bit limit
    }

    void novoCodigoIgnoraTextosNaoNumericos()
    {
        salva({"abc", "0003", "7x"});
        QCOMPARE(novocodigodizimista(), QString("0008"));
    }

    void novoCodigoNaoReaproveitaCodigoComPagamentos()
    {
        salva({"0001", "0002"});
        // 0003 and 0004 were deleted, but 0003 and 0005 still have payments.
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/24', '0003')"));
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00002/24', '0005')"));
        QCOMPARE(novocodigodizimista(), QString("0004"));
        salva({"0004"});
        QCOMPARE(novocodigodizimista(), QString("0006"));
        // A reversed receipt carries "E" + code and does not hold the code.
        salva({"0006"});
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00003/24', 'E0007')"));
        QCOMPARE(novocodigodizimista(), QString("0007"));
    }

    void proximoEAnterior_data()
    {
        QTest::addColumn<QStringList>("salvos");
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<QString>("proximo");
        QTest::addColumn<QString>("anterior");
        const QStringList base{"0001", "0002", "0005"};
        QTest::newRow("meio") << base << "0002" << "0005" << "0001";
        QTest::newRow("lacuna") << base << "0005" << "0005" << "0002";
        QTest::newRow("primeiro") << base << "0001" << "0002" << "0001";
        QTest::newRow("novo registro") << base << "0006" << "0006" << "0005";
        QTest::newRow("acima do maior") << base << "0500" << "0500" << "0005";
        QTest::newRow("abaixo do menor") << QStringList{"0003", "0004"} << "0001" << "0003" << "0001";
        QTest::newRow("zero") << base << "0000" << "0001" << "0000";
        QTest::newRow("sem zeros") << base << "2" << "0005" << "0001";
        QTest::newRow("nao salvo no meio") << base << "0003" << "0005" << "0002";
        QTest::newRow("vazio") << base << "" << "0001" << "";
        QTest::newRow("letras") << base << "xyz" << "0001" << "xyz";
        QTest::newRow("tabela vazia") << QStringList{} << "0001" << "0001" << "0001";
        QTest::newRow("cinco digitos") << QStringList{"9998", "9999", "10000", "10002"} << "9999" << "10000" << "9998";
        QTest::newRow("depois de 10000") << QStringList{"9998", "9999", "10000", "10002"} << "10000" << "10002" << "9999";
        QTest::newRow("texto salvo") << QStringList{"abc", "0001"} << "abc" << "0001" << "abc";
        QTest::newRow("mesmo numero") << QStringList{"0011", "0012", "12", "0013"} << "0012" << "12" << "0011";
        QTest::newRow("mesmo numero, texto curto") << QStringList{"0011", "0012", "12", "0013"} << "12" << "0013" << "0012";
    }
    void proximoEAnterior()
    {
        QFETCH(QStringList, salvos);
        QFETCH(QString, caixa);
        QFETCH(QString, proximo);
        QFETCH(QString, anterior);
        salva(salvos);
        QCOMPARE(proximocodigodizimista(caixa), proximo);
        QCOMPARE(codigoanteriordizimista(caixa), anterior);
    }

    void navegacaoPercorreTudoEPara()
    {
        salva({"0003", "0001", "10000", "0002", "9999", "0010"});
        QStringList ida{"0001"};
        for (QString c = "0001";;) {
            const QString n = proximocodigodizimista(c);
            if (n == c)
                break;
            ida << n;
            c = n;
            QVERIFY(ida.size() < 20);
        }
        QCOMPARE(ida, QStringList({"0001", "0002", "0003", "0010", "9999", "10000"}));
        QStringList volta{"10000"};
        for (QString c = "10000";;) {
            const QString n = codigoanteriordizimista(c);
            if (n == c)
                break;
            volta << n;
            c = n;
            QVERIFY(volta.size() < 20);
        }
        std::reverse(volta.begin(), volta.end());
        QCOMPARE(volta, ida);
    }

    void primeiroCodigo()
    {
        QCOMPARE(primeirocodigodizimista(), QString("0001"));
        salva({"0007", "0003", "10000"});
        QCOMPARE(primeirocodigodizimista(), QString("0003"));
    }

    void usaOIndice()
    {
        // Next and previous must stay single index probes at any table size.
        Banco::conecta();
        for (const char* sql : {"EXPLAIN QUERY PLAN SELECT codigo FROM dizimistas WHERE CAST(codigo AS INTEGER) >= 1"
                                " AND (CAST(codigo AS INTEGER) > 1 OR codigo > '0001')"
                                " ORDER BY CAST(codigo AS INTEGER), codigo LIMIT 1",
                                "EXPLAIN QUERY PLAN SELECT CAST(codigo AS INTEGER) FROM dizimistas"
                                " ORDER BY CAST(codigo AS INTEGER) DESC LIMIT 1"}) {
            Consulta c(QString::fromLatin1(sql));
            QString plano;
            while (c.next())
                plano += c.text(3) + "\n";
            QVERIFY2(plano.contains("ix_dizimistas_numero"), qPrintable(plano));
            QVERIFY2(!plano.contains("TEMP B-TREE"), qPrintable(plano));
        }
    }
};

TIVANE_TEST_MAIN(TstNumeracao)
#include "tst_numeracao.moc"
