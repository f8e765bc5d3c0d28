// Record codes of both registers: new codes, bar-code numbers, next and previous saved codes.
#include "testsupport.h"

#include "core/formularios.h"
#include "register/numeracao.h"

#include <limits>

using namespace tivane;

class TstNumeracao : public QObject {
    Q_OBJECT
    static void salva(const QStringList& codigos, Tabela tabela = Tabela::Dizimistas)
    {
        const QString sql = tabela == Tabela::Usuarios ? "INSERT INTO usuarios (codigo, nome) VALUES ('%1', 'N%1')"
                                                       : "INSERT INTO dizimistas (codigo, nome, ativo) VALUES ('%1', 'N%1', 1)";
        for (const QString& c : codigos)
            QVERIFY(teste::sql(sql.arg(c)));
    }
    // The code found, the code given when there is none, or why the read failed.
    static QString vizinho(const Leitura& lida, const QString& achado)
    {
        return lida == Leitura::Falha ? "falha: " + lida.causa() : achado;
    }
    static QString acima(Tabela t, const QString& c) { QString a = c; return vizinho(proximocodigo(t, c, &a), a); }
    static QString abaixo(Tabela t, const QString& c) { QString a = c; return vizinho(codigoanterior(t, c, &a), a); }
    static constexpr Tabela TABELAS[] = {Tabela::Dizimistas, Tabela::Usuarios};

private slots:
    void initTestCase() { teste::criaBancoTeste(); }
    void init() { teste::limpaBanco(); }

    void valorEBarras()
    {
        QCOMPARE(QList<qint64>({valorcodigo("  7"), valorcodigo("12ab"), valorcodigo("abc")}), QList<qint64>({7, 12, 0}));
        QCOMPARE(valorcodigo("99999999999999999999999"), std::numeric_limits<qint64>::max());
        QCOMPARE(QStringList({formatabarras("0012"), formatabarras("1234567"), formatabarras("A12"), formatabarras(""),
                              formatabarras("0000"), formatabarras("099999999999999999999")}),
                 QStringList({"000012", "1234567", "A12", "", "000000", "99999999999999999999"}));
        QVERIFY(codigonumerico("0012") && codigonumerico("5"));
        for (const char* ruim : {"", " 12", "12a", "-3", "+3", "1 2", "١٢"})
            QVERIFY2(!codigonumerico(QString::fromUtf8(ruim)), ruim);
    }

    // A read that fails is an answer of its own, never "no code" or "0001".
    void falhaDeLeitura()
    {
        salva({"0001", "0002"}, Tabela::Usuarios);
        QVERIFY(teste::sql("ALTER TABLE usuarios RENAME TO perdida"));
        QString alvo = "x";
        QCOMPARE(proximocodigo(Tabela::Usuarios, "0001", &alvo), Leitura::Falha);
        QCOMPARE(codigoanterior(Tabela::Usuarios, "0002", &alvo), Leitura::Falha);
        bool vazia = true;
        QCOMPARE(novocodigo(Tabela::Usuarios, &vazia) + alvo, QString("x"));
        QVERIFY(!vazia);
        QVERIFY(teste::sql("ALTER TABLE perdida RENAME TO usuarios"));
        QCOMPARE(proximocodigo(Tabela::Usuarios, "0002", &alvo), Leitura::NaoEncontrado);
        QCOMPARE(proximocodigo(Tabela::Usuarios, "0001", &alvo), Leitura::Encontrado);
        QCOMPARE(alvo, QString("0002"));
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
        QTest::newRow("32767") << QStringList{"0001", "32767", "9999"} << "32768";
        QTest::newRow("caixa cheia") << QStringList{"99999999", "0002"} << "100000000";
        QTest::newRow("textos") << QStringList{"abc", "0003", "7x"} << "0008";
        // Codes typed by hand beyond 64 bits (the database wraps twenty digits
        // and more) or at their end are passed over, never continued.
        QTest::newRow("20 dígitos") << QStringList{"0041", "99999999999999999999"} << "0042";
        QTest::newRow("20 dígitos lidos como 1") << QStringList{"18446744073709551617"} << "0001";
        QTest::newRow("19 dígitos além") << QStringList{"0041", "9999999999999999999"} << "0042";
        QTest::newRow("no limite") << QStringList{"0041", "9223372036854775807"} << "0042";
        QTest::newRow("um abaixo do limite") << QStringList{"9223372036854775806", "0041"} << "9223372036854775807";
        QTest::newRow("zeros à esquerda") << QStringList{"0000000000000000000000012"} << "0013";
    }
    void novoCodigo()
    {
        QFETCH(QStringList, salvos);
        QFETCH(QString, novo);
        for (Tabela t : TABELAS) {   // the same rule for tithers and users
            salva(salvos, t);
            bool vazia = !salvos.isEmpty();
            QCOMPARE(novocodigo(t, &vazia), novo);
            QCOMPARE(vazia, salvos.isEmpty());
        }
    }

    void novoCodigoNaoReaproveitaCodigoComPagamentos()
    {
        salva({"0001", "0002"});   // 0003 and 0004 were deleted, but 0003 and 0005 still have payments
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00001/24', '0003'), ('00002/24', '0005')"));
        QCOMPARE(novocodigo(Tabela::Dizimistas), QString("0004"));
        salva({"0004"});
        QCOMPARE(novocodigo(Tabela::Dizimistas), QString("0006"));
        salva({"0006"});   // a reversed receipt carries "E" + code and does not hold the code
        QVERIFY(teste::sql("INSERT INTO pagamentos (codigo, codigodizimista) VALUES ('00003/24', 'E0007')"));
        QCOMPARE(novocodigo(Tabela::Dizimistas), QString("0007"));
        // Users: the payments and reversals a deleted user recorded keep naming that user.
        salva({"0001"}, Tabela::Usuarios);
        QVERIFY(teste::sql("UPDATE pagamentos SET codigofuncionario = '0002' WHERE codigo = '00001/24'"));
        QVERIFY(teste::sql("UPDATE pagamentos SET codigofuncionario = '0003' WHERE codigo = '00003/24'"));
        QCOMPARE(novocodigo(Tabela::Usuarios), QString("0004"));
        QCOMPARE(codigoempagamentos(Tabela::Usuarios, "0003"), Leitura::Encontrado);
        QCOMPARE(codigoempagamentos(Tabela::Usuarios, "3"), Leitura::NaoEncontrado);   // codes are texts
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
        // The index files a code beyond 64 bits under a wrong number: stepping passes over it.
        const QStringList enormes{"0001", "18446744073709551618", "0003", "99999999999999999999", "0005"};
        QTest::newRow("enorme no meio") << enormes << "0001" << "0003" << "0001";
        QTest::newRow("enorme no topo") << enormes << "0005" << "0005" << "0003";
        QTest::newRow("a partir do enorme") << enormes << "99999999999999999999" << "99999999999999999999" << "0005";
        QTest::newRow("19 dígitos além") << QStringList{"0001", "9999999999999999999"} << "0001" << "0001" << "0001";
    }
    void proximoEAnterior()
    {
        QFETCH(QStringList, salvos);
        QFETCH(QString, caixa);
        QFETCH(QString, proximo);
        QFETCH(QString, anterior);
        for (Tabela t : TABELAS) {
            salva(salvos, t);
            QCOMPARE(acima(t, caixa), proximo);
            QCOMPARE(abaixo(t, caixa), anterior);
        }
    }
};

TIVANE_TEST_MAIN(TstNumeracao)
#include "tst_numeracao.moc"
