#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/registro.h"
#include "tithes/pagamentos.h"
#include "tithes/frmrecibo.h"

#include <sqlcipher/sqlite3.h>

using namespace tivane;

namespace {

void pagamento(const QString& codigo, const QString& dizimista = "0001")
{
    QVERIFY(teste::sql(QString("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
                               " nomedizimista, mesreferencia, anoreferencia) VALUES (%1, '10/01/2026', '10:00', '10,00', '0000',"
                               " '%2', 'Fulano', '01', '2026')")
                           .arg(codigo.isNull() ? QString("NULL") : "'" + codigo + "'", dizimista)));
}

QString um(const QString& sql)
{
    Consulta c(sql);
    return c.next() ? c.text(0) : QString();
}

// data|hora|valor|codigofuncionario|codigodizimista|nomedizimista|mes|ano of a payment.
QStringList linha(const QString& codigo)
{
    return um("SELECT data||'|'||hora||'|'||valor||'|'||codigofuncionario||'|'||codigodizimista||'|'||nomedizimista"
              "||'|'||coalesce(mesreferencia, 'NULL')||'|'||coalesce(anoreferencia, 'NULL') FROM pagamentos"
              " WHERE codigo = '" + codigo + "'").split('|');
}

QString grava(QString data, QString cod = "0001", QString nome = "A")
{
    QString hora = "10:00", valor = "5,00", mes = "02", ano = "2026";
    return gravapagamento(data, hora, valor, cod, nome, mes, ano);
}

void entra(QString usuario) { QVERIFY(gravausuarioatual(usuario)); }

}  // namespace

class TstPagamentos : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { teste::criaBancoTeste(); }

    void init() { teste::limpaBanco(); Dialogos::limpa(); }

    // Amounts read and rewritten; what is not an amount ("12.5" is ambiguous) stays as typed.
    void valores_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("formatado");
        const char* casos[][2] = {{"12,5", "12,50"}, {"7", "7,00"}, {"1.250", "1250,00"}, {"1.250,5", "1250,50"},
                                  {" 7 ", "7,00"}, {"0,001", "0,00"}, {"1,005", "1,01"}, {"-5", "-5,00"}, {"abc", "abc"},
                                  {"12.5", "12.5"}, {"", ""}, {"inf", "inf"}, {"1e20", "1e20"}};
        for (const auto& c : casos)
            QTest::newRow(c[0]) << QString(c[0]) << QString(c[1]);
    }
    void valores()
    {
        QFETCH(QString, texto);
        QFETCH(QString, formatado);
        const bool numero = formatado != texto;
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
        QTest::newRow("troca de ano") << QStringList{"00950/25", "00003/26"} << 2026 << "00004/26";
        QTest::newRow("ano anterior pedido") << QStringList{"00950/25", "00003/26"} << 2025 << "00951/25";
        QTest::newRow("lacunas") << QStringList{"00001/26", "00005/26", "00002/26"} << 2026 << "00006/26";
        QTest::newRow("número, não texto") << QStringList{"99999/26", "100000/26", "9/26"} << 2026 << "100001/26";
        QTest::newRow("99999 para 100000") << QStringList{"99999/26"} << 2026 << "100000/26";
        QTest::newRow("malformados") << QStringList{"2699", "26", "abc/26", "/26", "00077/2026"} << 2026 << "00001/26";
        QTest::newRow("dígitos iniciais") << QStringList{"12x/26", "00004/26"} << 2026 << "00013/26";
        QTest::newRow("ano 2000") << QStringList{"00004/00", "00009/99"} << 2000 << "00005/00";
        // Rows written by another tool; "" is refused: no number can follow.
        QTest::newRow("um abaixo do limite") << QStringList{"9223372036854775806/26", "00005/26"} << 2026
                                             << "9223372036854775807/26";
        QTest::newRow("no limite de 64 bits") << QStringList{"9223372036854775807/26"} << 2026 << "";
        QTest::newRow("19 dígitos além") << QStringList{"9999999999999999999/26"} << 2026 << "";
        QTest::newRow("20 dígitos") << QStringList{"00005/26", "99999999999999999999/26"} << 2026 << "";
        QTest::newRow("20 dígitos lidos como 1") << QStringList{"18446744073709551617/26"} << 2026 << "";
        QTest::newRow("21 dígitos") << QStringList{"00005/26", "123456789012345678901/26"} << 2026 << "";
        QTest::newRow("zeros à esquerda") << QStringList{"0000000000000000000012/26"} << 2026 << "00013/26";
        QTest::newRow("limite em outro ano") << QStringList{"9223372036854775807/25", "00003/26"} << 2026 << "00004/26";
    }
    void codigos()
    {
        QFETCH(QStringList, existentes);
        QFETCH(int, ano);
        QFETCH(QString, proximo);
        for (const QString& c : existentes)
            pagamento(c);
        pagamento(QString());   // a row without code is passed over
        QString causa;
        QCOMPARE(geracodigorecibo(ano, &causa), proximo);
        if (proximo.isEmpty()) {
            // The stored code is named, not the largest number the database reads it as.
            QCOMPARE(causa, "o recibo " + existentes.last()
                                              + " tem o maior número possível, e o número do próximo recibo deste ano "
                                                "não pode ser calculado");
            QCOMPARE(grava("01/02/2026"), QString());
            QCOMPARE(um("SELECT count(*) FROM pagamentos"), QString::number(existentes.size() + 1));
        }
    }

    void gravaComCodigoVazio()
    {
        QCOMPARE(geracodigorecibo(), montacodigorecibo(1, QDate::currentDate().year()));
        entra("0042");
        QString data = "15/03/2015", hora = "09:05", valor = "12,50", cod = "", nome = "digitado", mes = "02",
                ano = "2015";
        const QString codigo = gravapagamento(data, hora, valor, cod, nome, mes, ano);
        QCOMPARE((QStringList{codigo, cod, nome}), (QStringList{"00001/15", "0000", "NÃO ESPECIFICADO"}));
        QCOMPARE(linha(codigo), (QStringList{data, hora, "12,50", "0042", "0000", "NÃO ESPECIFICADO", "02", "2015"}));
        QVERIFY(reciboexiste(codigo) == Leitura::Encontrado && reciboexiste(" " + codigo) == Leitura::NaoEncontrado
                && reciboexiste("00002/15") == Leitura::NaoEncontrado);
    }

    // The code's year is the year of the date written, and a failed write leaves nothing open.
    void anoDaDataEFalha()
    {
        pagamento("00007/15");
        QCOMPARE(grava("31/12/2015"), QString("00008/15"));
        QCOMPARE(grava("01/01/2016"), QString("00001/16"));
        QCOMPARE(um("SELECT count(*) FROM pagamentos"), QString("3"));
        QVERIFY(teste::sql("CREATE TRIGGER recusa BEFORE INSERT ON pagamentos BEGIN SELECT RAISE(ABORT, 'x'); END"));
        QCOMPARE(grava("01/02/2026"), QString());
        QVERIFY(teste::sql("DROP TRIGGER recusa"));
        QCOMPARE(um("SELECT count(*) FROM pagamentos"), QString("3"));
        QCOMPARE(grava("01/02/2026"), QString("00001/26"));
        // Amounts the receipt cannot put in words are not written.
        QStringList gravados;
        for (QString valor : {"9999999,99", "10000000,00", "-0,01", "0,01"}) {
            QString data = "01/02/2026", hora = "10:00", cod = "0001", nome = "A", mes = "02", ano = "2026";
            gravados << gravapagamento(data, hora, valor, cod, nome, mes, ano);
        }
        QCOMPARE(gravados, (QStringList{"00002/26", "", "", "00003/26"}));
        QString data = "01/02/2026", hora = "10:00", valor = "-1", cod, nome, mes, ano, causa;
        QCOMPARE(gravapagamento(data, hora, valor, cod, nome, mes, ano, &causa), QString());
        QCOMPARE(causa, QString("o valor -1 não pode ser escrito por extenso no recibo"));
        // Whatever the payments window refuses, the routine refuses too; what it takes is stored as "0.00".
        const QStringList recusas{"abc", "", "NaN", "inf", "12.5", "0", "0,001"};
        for (QString valor : recusas) {
            QString data = "01/02/2026", hora = "10:00", cod = "0001", nome = "A", mes = "02", ano = "2026";
            QString causa;
            QVERIFY2(gravapagamento(data, hora, valor, cod, nome, mes, ano, &causa).isEmpty(), qPrintable(valor));
            QVERIFY2(causa.contains(valor), qPrintable(causa));
        }
        QCOMPARE(um("SELECT count(*) FROM pagamentos"), QString("6"));
        valor = " 7,5 ";
        data = "01/02/2026";
        cod = "0001";
        QCOMPARE(gravapagamento(data, hora, valor, cod, nome, mes, ano), QString("00004/26"));
        QCOMPARE(linha("00004/26").at(2), QString("7,50"));
    }

    void estornoTrocaALinha()
    {
        entra("0007");
        pagamento("00007/15", "0031");
        pagamento("00006/15", "0030");
        QVERIFY(estornarecibo("00007/15"));
        QCOMPARE(um("SELECT count(*) FROM pagamentos"), QString("2"));
        QStringList l = linha("00007/15");
        QVERIFY(QTime::fromString(l.takeAt(1), "HH:mm").isValid());
        QCOMPARE(l, (QStringList{QDate::currentDate().toString("dd/MM/yyyy"), "0,00", "0007", "E0031",
                                 "Recibo Estornado", "NULL", "NULL"}));
        QCOMPARE(linha("00006/15").at(4), QString("0030"));
        QCOMPARE(geracodigorecibo(2015), QString("00008/15"));   // the reversed receipt keeps its number
        // Reversing a reversal marks it again; an unknown code changes nothing.
        QVERIFY(estornarecibo("00007/15"));
        QCOMPARE(linha("00007/15").at(4), QString("EE0031"));
        QVERIFY(!estornarecibo("00099/15"));
        QCOMPARE(um("SELECT count(*) FROM pagamentos"), QString("2"));
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
    }

    // Another program's deletion of the receipt lands while the reversal, having read the row, waits to write:
    // the reversal does not go ahead, and no reversal row stands for nothing.
    void estornoDeReciboApagadoNoMeio()
    {
        entra("0007");
        pagamento("00007/15", "0031");
        pagamento("00008/15", "0032");
        Escopo aberto = abreconexaopagamentos();   // the program keeps this connection meanwhile
        QVERIFY(aberto);
        std::pair<sqlite3*, int> outro{nullptr, 0};   // its connection, and how often the reversal waited
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(Banco::caminhoArquivo()).constData(), &outro.first, SQLITE_OPEN_READWRITE,
                                 nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(outro.first, "PRAGMA key = 'qorm64'; BEGIN IMMEDIATE; DELETE FROM pagamentos WHERE codigo = '00007/15';",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_busy_handler(Banco::conexao(), [](void* p, int) -> int {
            auto& [db, esperas] = *static_cast<std::pair<sqlite3*, int>*>(p);
            if (esperas++ == 0)
                sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
            return esperas < 100;
        }, &outro);
        const Gravacao feito = estornapagamento("00007/15");
        Banco::defineEsperaOcupado(3000);
        sqlite3_close(outro.first);
        QCOMPARE(outro.second, 1);
        QVERIFY(feito != Gravacao::Gravado);
        QCOMPARE(um("SELECT count(*) FROM pagamentos WHERE codigo = '00007/15'"), QString("0"));
        QCOMPARE(um("SELECT group_concat(codigo || ':' || codigodizimista) FROM pagamentos"), QString("00008/15:0032"));
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
};

TIVANE_TEST_MAIN(TstPagamentos)
#include "tst_pagamentos.moc"
