#include "core/texto.h"
#include "testsupport.h"

using namespace tivane;

class TstTexto : public QObject {
    Q_OBJECT
private slots:
    void valorporextenso_data();
    void valorporextenso();
    void valorporextensoSemMoeda_data();
    void valorporextensoSemMoeda();
    void valorRecusado_data();
    void valorRecusado();
    void colunas_data();
    void colunas();
    void colunasContamCaracteres();
    void nomesDeDiasEMeses();
    void textoPorNumero();
    void dataPorExtenso();
};

void TstTexto::valorporextenso_data()
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

void TstTexto::valorporextenso()
{
    QFETCH(QVariant, valor);
    QFETCH(QString, esperado);
    QCOMPARE(tivane::valorporextenso(valor, true), esperado);
}

void TstTexto::valorporextensoSemMoeda_data()
{
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("12,50") << QVariant(12.50) << QStringLiteral("Doze Virgula Cinquenta ");
    QTest::newRow("1.000.000") << QVariant(1000000) << QString::fromUtf8("Um milhão de ");
    QTest::newRow("0,50") << QVariant(0.5) << QStringLiteral("Cinquenta centavos");
    QTest::newRow("0,01") << QVariant(0.01) << QStringLiteral("Um centavo");
    QTest::newRow("1") << QVariant(1) << QStringLiteral("Um ");
    QTest::newRow("3.000") << QVariant(3000) << QStringLiteral("Tres Mil ");
}

void TstTexto::valorporextensoSemMoeda()
{
    QFETCH(QVariant, valor);
    QFETCH(QString, esperado);
    QCOMPARE(tivane::valorporextenso(valor, false), esperado);
}

void TstTexto::valorRecusado_data()
{
    QTest::addColumn<QVariant>("valor");
    QTest::newRow("zero") << QVariant(0);
    QTest::newRow("zero texto") << QVariant(QStringLiteral("0,00"));
    QTest::newRow("negativo") << QVariant(-5.0);
    QTest::newRow("dez milhões") << QVariant(10000000);
    QTest::newRow("acima do limite") << QVariant(9999999.991);
    QTest::newRow("texto") << QVariant(QStringLiteral("abc"));
    QTest::newRow("vazio") << QVariant(QString());
    QTest::newRow("ponto decimal") << QVariant(QStringLiteral("12.5,3"));
    QTest::newRow("nulo") << QVariant();
    QTest::newRow("arredonda a zero") << QVariant(0.004);
    QTest::newRow("booleano") << QVariant(true);
    QTest::newRow("infinito") << QVariant(std::numeric_limits<double>::infinity());
    QTest::newRow("nan") << QVariant(std::numeric_limits<double>::quiet_NaN());
}

void TstTexto::valorRecusado()
{
    QFETCH(QVariant, valor);
    QCOMPARE(tivane::valorporextenso(valor, true), QString());
    QCOMPARE(tivane::valorporextenso(valor, false), QString());
}

void TstTexto::colunas_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<double>("largura");
    QTest::addColumn<QString>("direita");
    QTest::addColumn<QString>("esquerda");
    QTest::newRow("preenche") << "Igreja" << 10.0 << "Igreja    " << "    Igreja";
    QTest::newRow("corta") << "Igreja" << 3.0 << "Igr" << "Igr";
    QTest::newRow("valor") << "12,50" << 8.0 << "12,50   " << "   12,50";
    QTest::newRow("valor cortado mantém o início") << "12,50" << 2.0 << "12" << "12";
    QTest::newRow("largura igual") << "Igreja" << 6.0 << "Igreja" << "Igreja";
    QTest::newRow("texto vazio") << "" << 3.0 << "   " << "   ";
    QTest::newRow("largura zero") << "abc" << 0.0 << "" << "";
    QTest::newRow("largura negativa") << "abc" << -4.0 << "" << "";
}

void TstTexto::colunas()
{
    QFETCH(QString, texto);
    QFETCH(double, largura);
    QFETCH(QString, direita);
    QFETCH(QString, esquerda);
    QCOMPARE(completaadireita(texto, largura, " "), direita);
    QCOMPARE(completaaesquerda(texto, largura, " "), esquerda);
}

void TstTexto::colunasContamCaracteres()
{
    const QString endereco = QString::fromUtf8("Endereço");
    QCOMPARE(endereco.size(), 8);
    QCOMPARE(completaadireita(endereco, 10, " "), QString::fromUtf8("Endereço  "));
    QCOMPARE(completaaesquerda(endereco, 10, " "), QString::fromUtf8("  Endereço"));
    QCOMPARE(completaadireita(QString::fromUtf8("São João"), 5, " "), QString::fromUtf8("São J"));
    QCOMPARE(completaaesquerda(QString::fromUtf8("Conceição"), 8, " "), QString::fromUtf8("Conceiçã"));
    // Only the first character of the fill text is used.
    QCOMPARE(completaadireita("ab", 5, "-*"), QStringLiteral("ab---"));
    QCOMPARE(completaaesquerda("ab", 5, "0"), QStringLiteral("000ab"));
    // A rule of 98 hyphens, as the reports draw it.
    QCOMPARE(completaadireita("", 98, "-"), QString(98, u'-'));
}

void TstTexto::nomesDeDiasEMeses()
{
    QCOMPARE(nomediasemana(0), QString::fromUtf8("Dia Único"));
    QCOMPARE(nomediasemana(1), QStringLiteral("Domingo"));
    QCOMPARE(nomediasemana(3), QString::fromUtf8("Terça-Feira"));
    QCOMPARE(nomediasemana(7), QString::fromUtf8("Sábado"));
    QCOMPARE(nomediasemana(8), QString());
    QCOMPARE(nomediasemana(-1), QString());

    QCOMPARE(nomedomes(1), QStringLiteral("Janeiro"));
    QCOMPARE(nomedomes(3), QString::fromUtf8("Março"));
    QCOMPARE(nomedomes(12), QStringLiteral("Dezembro"));
    QCOMPARE(nomedomes(0), QString());
    QCOMPARE(nomedomes(13), QString());
}

void TstTexto::textoPorNumero()
{
    QCOMPARE(textopornumero(10), QStringLiteral("Janeiro"));
    QCOMPARE(textopornumero(12), QString::fromUtf8("Março"));
    QCOMPARE(textopornumero(21), QStringLiteral("Dezembro"));
    QCOMPARE(textopornumero(9), QString());
    QCOMPARE(textopornumero(22), QString());
    QCOMPARE(textopornumero(0), QString());
}

void TstTexto::dataPorExtenso()
{
    QCOMPARE(dataporextenso(QDate(2014, 1, 5), false), QStringLiteral("5 de Janeiro de 2014"));
    QCOMPARE(dataporextenso(QDate(2014, 1, 5), true), QStringLiteral("Domingo, 5 de Janeiro de 2014"));
    QCOMPARE(dataporextenso(QDate(2015, 12, 31), false), QStringLiteral("31 de Dezembro de 2015"));
    QCOMPARE(dataporextenso(QDate(2015, 12, 31), true), QString::fromUtf8("Quinta-Feira, 31 de Dezembro de 2015"));
    QCOMPARE(dataporextenso(QDate(2024, 3, 2), true), QString::fromUtf8("Sábado, 2 de Março de 2024"));
    QCOMPARE(dataporextenso(QDate(2024, 3, 4), true), QString::fromUtf8("Segunda-Feira, 4 de Março de 2024"));
    QCOMPARE(dataporextenso(QDate(), true), QString());
}

TIVANE_TEST_MAIN(TstTexto)
#include "tst_texto.moc"
