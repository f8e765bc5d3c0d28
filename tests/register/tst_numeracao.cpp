// Tither codes: new codes, bar-code numbers, next and previous saved codes.
#include "testsupport.h"

#include "register/numeracao.h"

#include <limits>

using namespace tivane;

class TstNumeracao : public QObject {
    Q_OBJECT
    static void salva(const QStringList& codigos)
    {
        for (const QString& c : codigos)
            QVERIFY(teste::sql(QString("INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('%1', 'N%1', 1)").arg(c)));
    }

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init() { teste::limpaBanco(); }

    void valorBarrasEPrimeiroCodigo()
    {
        QCOMPARE(QList<qint64>({valorcodigo("  7"), valorcodigo("12ab"), valorcodigo("abc")}), QList<qint64>({7, 12, 0}));
        QCOMPARE(valorcodigo("99999999999999999999999"), std::numeric_limits<qint64>::max());
        QCOMPARE(QStringList({formatabarras("0012"), formatabarras("1234567"), formatabarras("A12"), formatabarras("")}),
                 QStringList({"000012", "1234567", "A12", ""}));
        QCOMPARE(primeirocodigodizimista(), QString("0001"));   // empty table
        salva({"0007", "0003", "10000"});
        QCOMPARE(primeirocodigodizimista(), QString("0003"));
    }

    void novoCodigo_data()
    {
        QTest::addColumn<QStringList>("salvos");
        QTest::addColumn<QString>("novo");
        QTest::newRow("lacunas") << QStringList{"0001", "0002", "0005"} << "0006";
        QTest::newRow("tabela vazia") << QStringList{} << "0001";
        QTest::newRow("9999") << QStringList{"9999"} << "10000";
        QTest::newRow("9999 e 10000") << QStringList{"9999", "10000"} << "10001";   // not text order
        QTest::newRow("16 bits") << QStringList{"40000"} << "40001";
        QTest::newRow("textos") << QStringList{"abc", "0003", "7x"} << "0008";
    }
    void novoCodigo()
    {
        QFETCH(QStringList, salvos);
        QFETCH(QString, novo);
        salva(salvos);
        bool vazia = !salvos.isEmpty();
        QCOMPARE(novocodigodizimista(&vazia), novo);
        QCOMPARE(vazia, salvos.isEmpty());
    }

    void novoCodigoNaoReaproveitaCodigoComPagamentos()
    {
        salva({"0001", "0002"});   // 0003 and 0004 were deleted, but 0003 and 0005 still have payments
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/24', '0003'), ('00002/24', '0005')"));
        QCOMPARE(novocodigodizimista(), QString("0004"));
        salva({"0004"});
        QCOMPARE(novocodigodizimista(), QString("0006"));
        salva({"0006"});   // a reversed receipt carries "E" + code and does not hold the code
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
        const QStringList longos{"9998", "9999", "10000", "10002"};
        const QStringList repetidos{"0011", "0012", "12", "0013"};
        QTest::newRow("meio") << base << "0002" << "0005" << "0001";
        QTest::newRow("ultimo") << base << "0005" << "0005" << "0002";
        QTest::newRow("primeiro") << base << "0001" << "0002" << "0001";
        QTest::newRow("acima do maior") << base << "0500" << "0500" << "0005";
        QTest::newRow("abaixo do menor") << QStringList{"0003", "0004"} << "0001" << "0003" << "0001";
        QTest::newRow("sem zeros") << base << "2" << "0005" << "0001";
        QTest::newRow("nao salvo no meio") << base << "0003" << "0005" << "0002";
        QTest::newRow("vazio") << base << "" << "0001" << "";
        QTest::newRow("letras") << base << "xyz" << "0001" << "xyz";
        QTest::newRow("tabela vazia") << QStringList{} << "0001" << "0001" << "0001";
        QTest::newRow("cinco digitos") << longos << "9999" << "10000" << "9998";
        QTest::newRow("depois de 10000") << longos << "10000" << "10002" << "9999";
        QTest::newRow("texto salvo") << QStringList{"abc", "0001"} << "abc" << "0001" << "abc";
        QTest::newRow("mesmo numero") << repetidos << "0012" << "12" << "0011";
        QTest::newRow("mesmo numero, texto curto") << repetidos << "12" << "0013" << "0012";
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
};

TIVANE_TEST_MAIN(TstNumeracao)
#include "tst_numeracao.moc"
