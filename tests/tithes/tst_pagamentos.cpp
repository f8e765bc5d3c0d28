#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/registro.h"
#include "tithes/pagamentos.h"
#include "tithes/recibo.h"


using namespace tivane;

namespace {

void pagamento(const QString& codigo, const QString& dizimista = "0001", const QString& data = "10/01/2026")
{
    Consulta c("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
               " nomedizimista, mesreferencia, anoreferencia) VALUES (?, ?, '10:00', '10,00', '0000', ?, 'Fulano',"
               " '01', '2026')");
    c.bind(codigo.isNull() ? QVariant() : QVariant(codigo)).bind(data).bind(dizimista);
    QVERIFY2(c.exec(), qPrintable(c.erro()));
}

struct Linha {
    QString codigo, data, hora, valor, funcionario, dizimista, nome;
    QVariant mes, ano;
};

Linha linha(const QString& codigo)
{
    Linha l;
    Consulta c("SELECT data, hora, valor, codigofuncionario, codigodizimista, nomedizimista, mesreferencia,"
               " anoreferencia FROM pagamentos WHERE codigo = ?");
    c.bind(codigo);
    if (c.next()) {
        l.codigo = codigo;
        l.data = c.text(0);
        l.hora = c.text(1);
        l.valor = c.text(2);
        l.funcionario = c.text(3);
        l.dizimista = c.text(4);
        l.nome = c.text(5);
        l.mes = c.value(6);
        l.ano = c.value(7);
    }
    return l;
}

qint64 contapagamentos()
{
    Consulta c("SELECT count(*) FROM pagamentos");
    return c.next() ? c.inteiro(0) : -1;
}

}  // namespace

class TstPagamentos : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
    }

    void init()
    {
        teste::limpaBanco();
        Dialogos::limpa();
    }

    void valores_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("numero");
        QTest::addColumn<QString>("formatado");
        QTest::newRow("decimal") << "12,5" << true << "12,50";
        QTest::newRow("inteiro") << "7" << true << "7,00";
        QTest::newRow("milhar") << "1.250" << true << "1250,00";
        QTest::newRow("milhar e centavos") << "1.250,5" << true << "1250,50";
        QTest::newRow("brancos") << " 7 " << true << "7,00";
        QTest::newRow("arredonda a zero") << "0,001" << true << "0,00";
        QTest::newRow("meio centavo sobe") << "0,005" << true << "0,01";
        QTest::newRow("1,005 sobe") << "1,005" << true << "1,01";
        QTest::newRow("negativo") << "-5" << true << "-5,00";
        QTest::newRow("palavra") << "abc" << false << "abc";
        QTest::newRow("ponto decimal ambíguo") << "12.5" << false << "12.5";
        QTest::newRow("vazio") << "" << false << "";
        QTest::newRow("infinito") << "inf" << false << "inf";
        QTest::newRow("enorme") << "1e20" << false << "1e20";
    }
    void valores()
    {
        QFETCH(QString, texto);
        QFETCH(bool, numero);
        QFETCH(QString, formatado);
        qint64 c = 0;
        QCOMPARE(lervalor(texto, &c), numero);
        QCOMPARE(formatavalor(texto), formatado);
        if (numero)
            QCOMPARE(formatacentavos(c), formatado);
    }

    void codigos_data()
    {
        QTest::addColumn<QStringList>("existentes");
        QTest::addColumn<int>("ano");
        QTest::addColumn<QString>("proximo");
        QTest::newRow("tabela vazia") << QStringList() << 2026 << "00001/26";
        QTest::newRow("só do ano anterior") << QStringList{"00950/25", "00951/25"} << 2026 << "00001/26";
        QTest::newRow("troca de ano") << QStringList{"00950/25", "00003/26"} << 2026 << "00004/26";
        QTest::newRow("ano anterior pedido") << QStringList{"00950/25", "00003/26"} << 2025 << "00951/25";
        QTest::newRow("lacunas") << QStringList{"00001/26", "00005/26", "00002/26"} << 2026 << "00006/26";
        QTest::newRow("número, não texto") << QStringList{"99999/26", "100000/26", "9/26"} << 2026 << "100001/26";
        QTest::newRow("99999 para 100000") << QStringList{"99999/26"} << 2026 << "100000/26";
        QTest::newRow("sem barra") << QStringList{"2699", "26"} << 2026 << "00001/26";
        QTest::newRow("número ilegível") << QStringList{"abc/26", "/26"} << 2026 << "00001/26";
        QTest::newRow("dígitos iniciais") << QStringList{"12x/26", "00004/26"} << 2026 << "00013/26";
        QTest::newRow("ano de quatro dígitos") << QStringList{"00077/2026", "00002/26"} << 2026 << "00003/26";
        QTest::newRow("ano 2000") << QStringList{"00004/00", "00009/99"} << 2000 << "00005/00";
    }
    void codigos()
    {
        QFETCH(QStringList, existentes);
        QFETCH(int, ano);
        QFETCH(QString, proximo);
        for (const QString& c : existentes)
            pagamento(c);
        pagamento(QString());   // a row without code is passed over
        QCOMPARE(geracodigorecibo(ano), proximo);
    }

    void codigoDoAnoCorrente()
    {
        const QString yy = QString::number(QDate::currentDate().year()).right(2);
        QCOMPARE(geracodigorecibo(), "00001/" + yy);
        QCOMPARE(montacodigorecibo(123456, 2015), QString("123456/15"));
        qint64 n = 0;
        QString a;
        QVERIFY(lercodigorecibo(" 00012/15", &n, &a));
        QCOMPARE(n, 12);
        QCOMPARE(a, QString("15"));
        QVERIFY(!lercodigorecibo("0012", &n));
    }

    void gravaComCodigoVazio()
    {
        QString usuario = "0042";
        gravausuarioatual(usuario);
        QString data = "15/03/2015", hora = "09:05", valor = "12,50", cod = "", nome = "digitado", mes = "02",
                ano = "2015";
        const QString codigo = gravapagamento(data, hora, valor, cod, nome, mes, ano);
        QCOMPARE(codigo, QString("00001/15"));
        QCOMPARE(cod, QString("0000"));
        QCOMPARE(nome, QString("NÃO ESPECIFICADO"));
        const Linha l = linha(codigo);
        QCOMPARE(l.data, data);
        QCOMPARE(l.hora, hora);
        QCOMPARE(l.valor, QString("12,50"));
        QCOMPARE(l.funcionario, QString("0042"));
        QCOMPARE(l.dizimista, QString("0000"));
        QCOMPARE(l.nome, QString("NÃO ESPECIFICADO"));
        QCOMPARE(l.mes.toString(), QString("02"));
        QCOMPARE(l.ano.toString(), QString("2015"));
        QVERIFY(reciboexiste(codigo));
        QVERIFY(!reciboexiste(" " + codigo));
        QVERIFY(!reciboexiste("00002/15"));
    }

    void gravaComCodigoEAnoDaData()
    {
        pagamento("00007/15");
        QString data = "31/12/2015", hora = "23:59", valor = "5,00", cod = "0003", nome = "Maria", mes = "12",
                ano = "2015";
        QCOMPARE(gravapagamento(data, hora, valor, cod, nome, mes, ano), QString("00008/15"));
        QCOMPARE(cod, QString("0003"));
        QCOMPARE(nome, QString("Maria"));
        data = "01/01/2016";
        QCOMPARE(gravapagamento(data, hora, valor, cod, nome, mes, ano), QString("00001/16"));
        QCOMPARE(contapagamentos(), 3);
    }

    void falhaNaoGravaNada()
    {
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON pagamentos BEGIN SELECT RAISE(ABORT, 'x'); END"));
        QString data = "01/02/2026", hora = "10:00", valor = "5,00", cod = "0001", nome = "A", mes = "02",
                ano = "2026";
        QCOMPARE(gravapagamento(data, hora, valor, cod, nome, mes, ano), QString());
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QCOMPARE(contapagamentos(), 0);
        // The failed attempt left no open transaction behind.
        QCOMPARE(gravapagamento(data, hora, valor, cod, nome, mes, ano), QString("00001/26"));
    }

    void ultimoPagamento_data()
    {
        QTest::addColumn<QStringList>("linhas");   // "codigo;data"
        QTest::addColumn<QString>("esperado");
        QTest::newRow("05/02 depois de 30/01")
            << QStringList{"0001;30/01/2026", "0001;05/02/2026", "0002;01/06/2026"} << "05/02/2026";
        QTest::newRow("só estornados dá o cadastro") << QStringList{"E0001;05/02/2026", "EE0001;06/02/2026"}
                                                      << "10/10/2020";
        QTest::newRow("tudo antes de 2010") << QStringList{"0001;05/05/2009", "0001;31/12/2009"} << "01/01/2010";
        QTest::newRow("data ilegível") << QStringList{"0001;05/02/2026", "0001;31/02/2026"} << "";
        QTest::newRow("sem pagamentos") << QStringList() << "10/10/2020";
        QTest::newRow("dia sem zero") << QStringList{"0001;5/2/2026", "0001;30/01/2026"} << "05/02/2026";
    }
    void ultimoPagamento()
    {
        QFETCH(QStringList, linhas);
        QFETCH(QString, esperado);
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, cadastro, ativo) VALUES ('0001', 'A', '10/10/2020', 1)"));
        int n = 0;
        for (const QString& l : linhas)
            pagamento(QString("%1/26").arg(++n, 5, 10, QChar('0')), l.section(';', 0, 0), l.section(';', 1));
        QCOMPARE(ultimopagamentodizimista("0001"), esperado);
        QCOMPARE(ultimopagamentodizimista("9999"), QString());
    }

    void estornoTrocaALinha()
    {
        QString usuario = "0007";
        gravausuarioatual(usuario);
        pagamento("00007/15", "0031");
        pagamento("00006/15", "0030");
        QVERIFY(estornarecibo("00007/15"));
        QCOMPARE(contapagamentos(), 2);
        const Linha l = linha("00007/15");
        QCOMPARE(l.dizimista, QString("E0031"));
        QCOMPARE(l.nome, QString("Recibo Estornado"));
        QCOMPARE(l.valor, QString("0,00"));
        QCOMPARE(l.funcionario, QString("0007"));
        QCOMPARE(l.data, QDate::currentDate().toString("dd/MM/yyyy"));
        QVERIFY(QTime::fromString(l.hora, "HH:mm").isValid());
        QVERIFY(l.mes.isNull());
        QVERIFY(l.ano.isNull());
        QCOMPARE(linha("00006/15").dizimista, QString("0030"));
        // The reversed receipt keeps its number.
        QCOMPARE(geracodigorecibo(2015), QString("00008/15"));
        // Reversing a reversal marks it again; an unknown code changes nothing.
        QVERIFY(estornarecibo("00007/15"));
        QCOMPARE(linha("00007/15").dizimista, QString("EE0031"));
        QVERIFY(!estornarecibo("00099/15"));
        QCOMPARE(contapagamentos(), 2);
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
    }

    void promptEstorno()
    {
        pagamento("00003/26", "0005");
        Dialogos::respondeTexto("");
        promptestornorecibo();
        QCOMPARE(Dialogos::registros("msgbox").size(), 0);
        QVERIFY(Dialogos::ultimo("inputbox").texto.startsWith("Digite o Código do Recibo  a ser estornado (Excluir):"));
        QVERIFY(Dialogos::ultimo("inputbox").texto.endsWith("Formato:  00000/00"));

        Dialogos::respondeTexto(" 00003/26");
        promptestornorecibo();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Recibo não encontrado com o código  00003/26 !"));
        QCOMPARE(linha("00003/26").dizimista, QString("0005"));

        Dialogos::limpa();
        Dialogos::respondeTexto("00003/26");
        promptestornorecibo();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Recibo 00003/26 estornado com sucesso!"));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 64);
        QCOMPARE(linha("00003/26").dizimista, QString("E0005"));
    }

    void leituraDeDatas_data()
    {
        QTest::addColumn<QString>("texto");
        for (const char* t : {"05/02/2020", "5/2/2020", "1/02/2020", "31/12/1999", "29/02/2020", "29/02/2021",
                              "31/04/2020", "00/01/2020", "10/13/2020", " 05/02/2020 ", "05-02-2020", "05/02/20",
                              "", "ab/cd/efgh", "05/02/2020/1", "005/02/2020", "05/02/02020", "05//2020", "//"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }
    // The quick reader accepts exactly what the general parser accepts for the two layouts.
    void leituraDeDatas()
    {
        QFETCH(QString, texto);
        QDate esperado = QDate::fromString(texto.trimmed(), "dd/MM/yyyy");
        if (!esperado.isValid())
            esperado = QDate::fromString(texto.trimmed(), "d/M/yyyy");
        QCOMPARE(lerdata(texto), esperado);
    }

    // Many years in one table: the number restarts per year and compares as a number.
    void muitosAnos()
    {
        Escopo e = abreconexaopagamentos();
        QVERIFY(e.inicia());
        Consulta c("INSERT INTO pagamentos (codigo, data, codigodizimista, valor) VALUES (?, ?, ?, '1,00')");
        for (int i = 1; i <= 3000; ++i) {
            const int ano = 2000 + i % 27;
            c.reset();
            c.bind(montacodigorecibo(i, ano)).bind(QString("%1/01/%2").arg(1 + i % 28, 2, 10, QChar('0')).arg(ano))
                .bind(QString("%1").arg(i % 50, 4, 10, QChar('0')));
            QVERIFY(c.exec());
        }
        QVERIFY(e.confirma());
        int maior = 3000;
        while (maior % 27 != 26)
            --maior;
        QCOMPARE(geracodigorecibo(2026), montacodigorecibo(maior + 1, 2026));
        QCOMPARE(geracodigorecibo(2027), montacodigorecibo(1, 2027));
    }
};

TIVANE_TEST_MAIN(TstPagamentos)
#include "tst_pagamentos.moc"
