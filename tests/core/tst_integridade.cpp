#include "testsupport.h"

#include "core/conexao.h"
#include "core/integridade.h"
#include "core/registro.h"

#include <QDir>
#include <QFile>
#include <sqlcipher/sqlite3.h>

using namespace tivane;

Q_DECLARE_METATYPE(tivane::EstadoBanco)

namespace {
QByteArray conteudo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void escreve(const QString& caminho, const QByteArray& dados)
{
    QFile f(caminho);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(dados);
}
// Runs SQL on a file of our format through a connection of the test's own.
void cifrado(const QString& caminho, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(caminho).constData(), &db);
    sqlite3_exec(db, "PRAGMA key = 'qorm64';", nullptr, nullptr, nullptr);
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}
}  // namespace

class TstIntegridade : public QObject {
    Q_OBJECT
    QByteArray cheio_;   // a live database with a few thousand rows

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
        Banco::conecta();
        teste::sql("BEGIN");
        for (int i = 1; i <= 3000; ++i)
            teste::sql(QStringLiteral("INSERT INTO dizimistas (codigo, nome, bairro) VALUES ('%1', '%2 Conceição "
                                      "%1', 'São João')")
                           .arg(i, 4, 10, QChar('0'))
                           .arg(i % 2 ? QStringLiteral("ÁLVARO") : QStringLiteral("álvaro")));
        teste::sql("COMMIT");
        cheio_ = conteudo(Banco::caminhoArquivo());
        QVERIFY(cheio_.size() > 100 * 1024);
    }

    void estadoDoArquivo_data()
    {
        QTest::addColumn<QByteArray>("dados");   // null: no file at all
        QTest::addColumn<QString>("sql");        // run with the key on the file before the check
        QTest::addColumn<bool>("completa");
        QTest::addColumn<EstadoBanco>("estado");
        QTest::addColumn<QString>("motivo");

        QTest::newRow("bom, rápida") << cheio_ << "" << false << EstadoBanco::Bom << "";
        QTest::newRow("bom, completa, índices com acentos") << cheio_ << "" << true << EstadoBanco::Bom << "";
        // After the schema loses the collation the check is the same.
        QTest::newRow("esquema sem collation")
            << QByteArray("") << "CREATE TABLE dizimistas (codigo TEXT, nome TEXT); CREATE INDEX ix ON dizimistas(nome);"
                                 " INSERT INTO dizimistas VALUES ('1', 'José'), ('2', 'JOSÉ'); CREATE TABLE usuarios (a);"
                                 " CREATE TABLE pagamentos (a); CREATE TABLE igreja (a);"
            << true << EstadoBanco::Bom << "";
        QTest::newRow("ausente") << QByteArray() << "" << false << EstadoBanco::Ausente << "o arquivo não existe";
        QTest::newRow("vazio") << QByteArray("") << "" << false << EstadoBanco::Estranho << "o arquivo está vazio";
        QTest::newRow("texto") << QByteArray("não é banco\r\n").repeated(500) << "" << false << EstadoBanco::Estranho
                               << "senha do sistema";
        QByteArray outraChave = cheio_;
        for (int i = 0; i < 16; ++i)
            outraChave[i] = static_cast<char>(outraChave[i] ^ 0x5A);
        QTest::newRow("outra chave") << outraChave << "" << false << EstadoBanco::Estranho << "senha do sistema";
        QTest::newRow("sem a tabela igreja") << cheio_ << "DROP TABLE igreja;" << false << EstadoBanco::Estranho
                                             << "faltam as tabelas igreja";
        QTest::newRow("truncado") << cheio_.left(cheio_.size() / 2) << "" << false << EstadoBanco::Danificado
                                  << "danificado";
        QByteArray pagina = cheio_;
        for (int i = 0; i < 1024; ++i)
            pagina[pagina.size() / 2 / 1024 * 1024 + i] = static_cast<char>(i * 7);
        QTest::newRow("página estragada") << pagina << "" << false << EstadoBanco::Danificado << "danificado";
    }
    void estadoDoArquivo()
    {
        QFETCH(QByteArray, dados);
        QFETCH(QString, sql);
        QFETCH(bool, completa);
        QFETCH(EstadoBanco, estado);
        QFETCH(QString, motivo);
        const QString caminho = teste::pastaTemporaria() + "/verifica.mdb";
        QFile::remove(caminho);
        if (!dados.isNull())
            escreve(caminho, dados);
        if (!sql.isEmpty())
            cifrado(caminho, sql.toUtf8().constData());
        const QByteArray antes = conteudo(caminho);
        const VerificacaoBanco v = verificabanco(caminho, completa);
        QCOMPARE(v.estado, estado);
        QVERIFY2(motivo.isEmpty() ? v.motivo.isEmpty() : v.motivo.contains(motivo), qPrintable(v.motivo));
        QCOMPARE(conteudo(caminho), antes);   // read only
    }

    void outrosArquivos_data()
    {
        QTest::addColumn<QString>("caminho");
        QTest::addColumn<EstadoBanco>("estado");
        const QString simples = teste::pastaTemporaria() + "/simples.db";
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(simples).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE dizimistas (a); CREATE TABLE usuarios (a); CREATE TABLE pagamentos (a);"
                         " CREATE TABLE igreja (a);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QTest::newRow("sqlite sem cifra") << simples << EstadoBanco::Estranho;
        QTest::newRow("uma pasta") << teste::pastaTemporaria() << EstadoBanco::Estranho;
        // The live file, while the program holds it open.
        QTest::newRow("o banco em uso") << Banco::caminhoArquivo() << EstadoBanco::Bom;
    }
    void outrosArquivos()
    {
        QFETCH(QString, caminho);
        QFETCH(EstadoBanco, estado);
        Escopo e = abreconexaodizimistas();
        sqlite3* doPrograma = Banco::conexao();
        QCOMPARE(verificabanco(caminho).estado, estado);
        QCOMPARE(Banco::conexao(), doPrograma);   // the program's connection is not the one used
        QVERIFY(Consulta("SELECT count(*) FROM dizimistas").next());
    }
};

TIVANE_TEST_MAIN(TstIntegridade)
#include "tst_integridade.moc"
