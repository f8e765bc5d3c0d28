#include "core/texto.h"
#include "testsupport.h"

using namespace tivane;

class TstTexto : public QObject {
    Q_OBJECT
private slots:
    void valorporextenso_data()
    {
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("esperado");
        auto linha = [](const char* nome, const QVariant& v, const char* texto) {
            QTest::newRow(nome) << v << QString::fromUtf8(texto);
        };
        linha("1", 1.0, "Um real ");
        linha("1,01", 1.01, "Um real e Um centavo");
        linha("0,01", 0.01, "Um centavo");
        linha("0,50", 0.50, "Cinquenta centavos");
        linha("10", 10, "Dez reais ");
        linha("21", 21, "Vinte e Um reais ");
        linha("100", 100, "Cem reais ");
        linha("101", 101, "Cento e Um reais ");
        linha("110", 110, "Cento e Dez reais ");
        linha("115", 115, "Cento e Quinze reais ");
        linha("1.000", 1000, "Um Mil reais ");
        linha("1.001", 1001, "Um Mil Um reais ");
        linha("1.100", 1100, "Um Mil Cem reais ");
        linha("2.000,50", 2000.50, "Dois Mil reais e Cinquenta centavos");
        linha("1.000.000", 1000000, "Um milhão de reais ");
        linha("2.000.000", 2000000, "Dois milhões de reais ");
        linha("1.234.567,89", 1234567.89,
              "Um milhão Duzentos e Trinta e Quatro Mil Quinhentos e Sessenta e Sete reais e Oitenta e Nove centavos");
        linha("9.999.999,99", 9999999.99,
              "Nove milhões Novecentos e Noventa e Nove Mil Novecentos e Noventa e Nove reais e Noventa e Nove centavos");
        linha("texto 1.234,50", QStringLiteral("1.234,50"), "Um Mil Duzentos e Trinta e Quatro reais e Cinquenta centavos");
        linha("texto 12,5", QStringLiteral("12,5"), "Doze reais e Cinquenta centavos");
        linha("texto 9.999.999,99", QStringLiteral("9.999.999,99"),
              "Nove milhões Novecentos e Noventa e Nove Mil Novecentos e Noventa e Nove reais e Noventa e Nove centavos");
        linha("arredonda 0,005", 0.005, "Um centavo");
        linha("arredonda 1,999", 1.999, "Dois reais ");
        linha("1.000.001", 1000001, "Um milhão Um reais ");
        linha("1.015.020", 1015020, "Um milhão Quinze Mil Vinte reais ");
        linha("inteiro 64 bits", QVariant(qint64(305)), "Trezentos e Cinco reais ");
    }

    void valorporextenso()
    {
        QFETCH(QVariant, valor);
        QFETCH(QString, esperado);
        QCOMPARE(tivane::valorporextenso(valor, true), esperado);
    }

    void semMoedaERecusados()
    {
        const QList<QPair<QVariant, const char*>> semMoeda = {
            {12.50, "Doze Virgula Cinquenta "}, {1000000, "Um milhão de "}, {0.5, "Cinquenta centavos"},
            {1, "Um "}, {3000, "Tres Mil "}};
        for (const auto& [valor, texto] : semMoeda)
            QCOMPARE(tivane::valorporextenso(valor, false), QString::fromUtf8(texto));
        // Zero, rounding to 0,00, negatives, 10.000.000 and up, and non-numbers have no words.
        const QVariantList recusados = {0, QStringLiteral("0,00"), 0.004, -5.0, 10000000, 9999999.991,
                                        QStringLiteral("abc"), QString(), QStringLiteral("12.5,3"), QVariant(), true,
                                        std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
        for (const QVariant& v : recusados)
            QVERIFY2(tivane::valorporextenso(v, true).isEmpty() && tivane::valorporextenso(v, false).isEmpty(),
                     qPrintable(v.toString()));
    }

    void colunas()
    {
        struct Caso { const char *texto; double largura; const char *preenche, *direita, *esquerda; };
        // Cuts keep the start; characters (not bytes) count; only the first fill character is used.
        const Caso casos[] = {
            {"Igreja", 10, " ", "Igreja    ", "    Igreja"}, {"Igreja", 3, " ", "Igr", "Igr"},
            {"Igreja", 6, " ", "Igreja", "Igreja"}, {"abc", 0, " ", "", ""}, {"abc", -4, " ", "", ""},
            {"Endereço", 10, " ", "Endereço  ", "  Endereço"}, {"São João", 5, " ", "São J", "São J"},
            {"Conceição", 8, " ", "Conceiçã", "Conceiçã"}, {"ab", 5, "-*", "ab---", "---ab"}, {"ab", 5, "0", "ab000", "000ab"}};
        for (const Caso& c : casos) {
            const QString t = QString::fromUtf8(c.texto), p = QString::fromUtf8(c.preenche);
            QCOMPARE(completaadireita(t, c.largura, p), QString::fromUtf8(c.direita));
            QCOMPARE(completaaesquerda(t, c.largura, p), QString::fromUtf8(c.esquerda));
        }
        QCOMPARE(completaadireita("", 98, "-"), QString(98, u'-'));  // the reports' rule
    }

    void nomesEDatas()
    {
        using Nomes = QList<QPair<int, const char*>>;
        for (const auto& [n, nome] : Nomes{{0, "Dia Único"}, {1, "Domingo"}, {3, "Terça-Feira"}, {7, "Sábado"}, {8, ""}, {-1, ""}})
            QCOMPARE(nomediasemana(n), QString::fromUtf8(nome));
        for (const auto& [n, nome] : Nomes{{1, "Janeiro"}, {3, "Março"}, {12, "Dezembro"}, {0, ""}, {13, ""}})
            QCOMPARE(nomedomes(n), QString::fromUtf8(nome));
        // textopornumero: 10 is January, 21 December.
        for (const auto& [n, nome] : Nomes{{10, "Janeiro"}, {12, "Março"}, {21, "Dezembro"}, {0, ""}, {9, ""}, {22, ""}})
            QCOMPARE(textopornumero(n), QString::fromUtf8(nome));
        QCOMPARE(dataporextenso(QDate(2014, 1, 5), false), QStringLiteral("5 de Janeiro de 2014"));
        QCOMPARE(dataporextenso(QDate(2014, 1, 5), true), QStringLiteral("Domingo, 5 de Janeiro de 2014"));
        QCOMPARE(dataporextenso(QDate(2015, 12, 31), true), QString::fromUtf8("Quinta-Feira, 31 de Dezembro de 2015"));
        QCOMPARE(dataporextenso(QDate(2024, 3, 2), true), QString::fromUtf8("Sábado, 2 de Março de 2024"));
        QCOMPARE(dataporextenso(QDate(), true), QString());
    }
};

TIVANE_TEST_MAIN(TstTexto)
#include "tst_texto.moc"
