// Backups made while another computer writes, copies torn by such writes, and the
// checks that must find them: the private copy's and the one after login.
#include "arquivosdeteste.h"
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/integridade.h"
#include "shell/backup.h"
#include "shell/frmbackup.h"
#include "shell/verificacao.h"

#include <QtWidgets>
#include <csignal>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace tivane;

namespace {


// Another program's connection to a file.
struct Outra {
    sqlite3* db = nullptr;
    explicit Outra(const QString& arquivo, int esperaMs = 10000)
    {
        sqlite3_open_v2(QFile::encodeName(arquivo).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA key = 'qorm64';", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(db, esperaMs);
    }
    ~Outra() { sqlite3_close(db); }
    int executa(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    // The engine's own full check: "ok", or its first complaint.
    QString integridade()
    {
        sqlite3_stmt* st = nullptr;
        QString r = "não leu";
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(1)", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return r;
    }
};

// A copy made while another program wrote: the pages up to one as they were before a write, the rest after it.
QByteArray rasgada(const QByteArray& antes, const QByteArray& depois, qint64 pagina)
{
    QByteArray r = depois;
    std::memcpy(r.data(), antes.constData(), size_t(qMin<qint64>(pagina * 1024, qMin(antes.size(), depois.size()))));
    return r;
}

// A torn copy judged three ways: the engine's full check ("ok" or its first complaint), the
// private copy's check and the check after login.
struct Veredictos {
    QString motor;
    VerificacaoBanco copia, vivo;
    QString caso;
};
Veredictos julga(const QString& arquivo, qint64 pagina);

// Receipts taken, reversed and tithers renamed, as the office does, on a connection of its own
// that waits esperaMs for other writes; -1 times: until stopped. 0, or the engine's failing code.
int trabalhaNoBanco(const QString& arquivo, int vezes, int esperaMs = 60000)
{
    Outra o(arquivo, esperaMs);
    o.executa("PRAGMA synchronous = OFF;");   // the disk's flushes are not what is tested
    for (int i = 0; vezes < 0 || i < vezes; ++i) {
        const QByteArray sql = QString("BEGIN IMMEDIATE;"
                                       " INSERT INTO pagamentos (codigo, data, valor, codigodizimista)"
                                       " VALUES (printf('%06d/27', (SELECT max(rowid) + 1 FROM pagamentos)), '0%2/01/2027',"
                                       " '10,00', printf('%04d', %3));"
                                       " UPDATE dizimistas SET nome = 'Renomeado ' || %1 WHERE rowid = %3;"
                                       " DELETE FROM pagamentos WHERE rowid = (SELECT min(rowid) FROM pagamentos);"
                                       " COMMIT;")
                                   .arg(i + 1)
                                   .arg(1 + i % 9)
                                   .arg(1 + (i * 7919) % 3000)
                                   .toUtf8();
        const int rc = o.executa(sql.constData());
        if (rc != SQLITE_OK)
            return qMax(1, rc & 0x7F);
    }
    return 0;
}

// Another computer sharing the data folder: this program started again with TIVANE_OUTRO_COMPUTADOR
// set to "<times> <wait ms> <file>", which only works on the file and ends (a process of its own,
// never a fork: the engine keeps its locks' state in the process's memory).
const int g_outroComputador = [] {
    const QByteArray v = qgetenv("TIVANE_OUTRO_COMPUTADOR");
    if (!v.isEmpty()) {
        const QList<QByteArray> partes = v.split(' ');
        ::_exit(trabalhaNoBanco(QFile::decodeName(v.mid(partes[0].size() + partes[1].size() + 2)), partes[0].toInt(),
                                partes[1].toInt()));
    }
    return 0;
}();

struct OutroComputador {
    QProcess p;
    OutroComputador(int vezes, int esperaMs = 60000)
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("TIVANE_OUTRO_COMPUTADOR", QString("%1 %2 %3").arg(vezes).arg(esperaMs).arg(Banco::caminhoArquivo()));
        p.setProcessEnvironment(e);
        p.start(QCoreApplication::applicationFilePath(), {});
        p.waitForStarted();
    }
    ~OutroComputador()
    {
        p.kill();
        p.waitForFinished();
    }
    // How its work ended: 0, the engine's failing code, or -1 when it did not end by itself.
    int fim(int ms = 120000) { return p.waitForFinished(ms) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1; }
};

qint64 entradas(const QString& arquivo)   // rows of every table, plus their index entries
{
    Outra o(arquivo);
    sqlite3_stmt* st = nullptr;
    qint64 n = 0;
    sqlite3_prepare_v2(o.db,
                       "SELECT name, (SELECT count(*) FROM sqlite_master i WHERE i.type = 'index' AND i.tbl_name = m.name)"
                       " FROM sqlite_master m WHERE type = 'table'",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        sqlite3_stmt* c = nullptr;
        const QByteArray sql = "SELECT count(*) FROM \"" + QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + "\"";
        sqlite3_prepare_v2(o.db, sql.constData(), -1, &c, nullptr);
        sqlite3_step(c);
        n += sqlite3_column_int64(c, 0) * (1 + sqlite3_column_int64(st, 1));
        sqlite3_finalize(c);
    }
    sqlite3_finalize(st);
    return n;
}

Veredictos julga(const QString& arquivo, qint64 pagina)
{
    Veredictos v;
    v.motor = Outra(arquivo).integridade();
    v.copia = verificaarquivo(arquivo);
    ControleVerificacao fatias;
    fatias.pausaMs = 0;
    v.vivo = verificaemfatias(arquivo, &fatias);
    v.caso = QString("página %1: %2 / %3 / %4").arg(pagina).arg(v.motor, v.copia.motivo, v.vivo.motivo);
    return v;
}

// The private copies' folder of this account on this computer.
QString pastaPrivada()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/copias";
}
QStringList privadas() { return QDir(pastaPrivada()).entryList(QDir::Files | QDir::Hidden); }

}  // namespace

class TstCopiaConsistente : public QObject {
    Q_OBJECT
    QByteArray antes_, depois_;   // the live file before and after a day's work

    static QString banco() { return Banco::caminhoArquivo(); }

private Q_SLOTS:
    void initTestCase()
    {
        teste::criaBancoTeste();
        teste::sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                   " INSERT INTO dizimistas (codigo, nome, barras) SELECT printf('%04d', i), 'Nome ' || i, printf('%06d', i) FROM n");
        teste::sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000)"
                   " INSERT INTO pagamentos (codigo, data, valor, codigodizimista)"
                   " SELECT printf('%05d/26', i), printf('%02d/%02d/2026', 1 + i % 28, 1 + i % 12), '10,00',"
                   " printf('%04d', 1 + (i * 37) % 3000) FROM n");
        Banco::closeAll();
        antes_ = conteudo(banco());
        QCOMPARE(OutroComputador(400).fim(), 0);
        depois_ = conteudo(banco());
    }
    void init()
    {
        Banco::closeAll();
        QFile::remove(banco() + "-journal");   // of a writer stopped by a test before
        escreve(banco(), depois_);
        Dialogos::limpa();
    }

    // At every point where a copy could have been torn, the private copy's check and the check after
    // login find what the engine's full check finds, and nothing where it finds nothing.
    void copiaRasgadaEncontrada()
    {
        const QString f = pasta("rasgada") + "/cadastrocd.mdb";
        const qint64 paginas = depois_.size() / 1024;
        int rasgadas = 0;
        for (qint64 p = 1; p < paginas; p += qMax<qint64>(1, paginas / 50)) {
            escreve(f, rasgada(antes_, depois_, p));
            const Veredictos v = julga(f, p);
            if (v.motor == "ok") {
                QVERIFY2(v.copia.estado == EstadoBanco::Bom && v.vivo.estado == EstadoBanco::Bom, qPrintable(v.caso));
                continue;
            }
            ++rasgadas;
            QVERIFY2(v.copia.estado == EstadoBanco::Danificado && v.vivo.estado == EstadoBanco::Danificado, qPrintable(v.caso));
            QVERIFY2(v.copia.motivo.startsWith("o arquivo está danificado"), qPrintable(v.caso));
            QVERIFY(!javerificado(f));
            // Reported after login as other damage is.
            QVERIFY(avisoverificacao(f, v.vivo).contains("apresenta problemas: o arquivo está danificado"));
        }
        QVERIFY2(rasgadas >= 10, qPrintable(QString::number(rasgadas)));
    }

    // A copy torn by a single write that moves no page (a tither renamed, a receipt taken or reversed):
    // each b-tree whole and readable, but an index of one moment beside its table of another. Only
    // comparing each index with its table finds it, as the engine's full check does.
    void copiaRasgadaPorUmaGravacao_data()
    {
        QTest::addColumn<QString>("escrita");
        QTest::newRow("dizimista renomeado") << "UPDATE dizimistas SET nome = 'Zé Novo' WHERE rowid = 1500";
        QTest::newRow("recibo") << "INSERT INTO pagamentos (codigo, data, valor, codigodizimista)"
                                   " VALUES ('99999/26', '05/05/2026', '10,00', '0042')";
        QTest::newRow("estorno") << "DELETE FROM pagamentos WHERE rowid = 3000";
    }
    void copiaRasgadaPorUmaGravacao()
    {
        QFETCH(QString, escrita);
        QCOMPARE(Outra(banco()).executa(escrita.toUtf8().constData()), SQLITE_OK);
        const QByteArray depois = conteudo(banco());
        const QString f = pasta("rasgada") + "/cadastrocd.mdb";
        int rasgadas = 0;
        for (qint64 p = 1; p * 1024 < depois.size(); ++p) {
            if (depois.mid(p * 1024, 1024) == depois_.mid(p * 1024, 1024))
                continue;   // the same page in both: no other copy to tear there
            escreve(f, rasgada(depois_, depois, p));
            const Veredictos v = julga(f, p);
            if (v.motor == "ok") {
                QVERIFY2(v.copia.estado == EstadoBanco::Bom && v.vivo.estado == EstadoBanco::Bom, qPrintable(v.caso));
                continue;
            }
            ++rasgadas;
            QVERIFY2(v.copia.motivo.startsWith("o arquivo está danificado (o índice ") && v.vivo.motivo == v.copia.motivo,
                     qPrintable(v.caso));
        }
        QVERIFY2(rasgadas > 0, "no page to tear");
    }

    // A torn backup is never restored: the user is told why and the live file stays.
    void restauracaoRecusaCopiaRasgada()
    {
        const QString origem = pasta("pen");
        QByteArray torn;
        for (qint64 p = depois_.size() / 1024 / 2; torn.isEmpty() && p > 1; --p) {
            escreve(origem + "/cadastrocd.mdb", rasgada(antes_, depois_, p));
            if (Outra(origem + "/cadastrocd.mdb").integridade() != "ok")
                torn = conteudo(origem + "/cadastrocd.mdb");
        }
        QVERIFY(!torn.isEmpty());
        Dialogos::respondeMsgbox(Dialogos::Sim);   // would replace, were it asked
        QCOMPARE(executabackup(ModoBackup::Restauracao, origem).tamanho, qint64(0));
        const QString m = Dialogos::ultimo("msgbox").texto;
        QVERIFY2(m.startsWith("O arquivo " + origem + "/cadastrocd.mdb não pode ser restaurado: o arquivo está danificado")
                     && m.endsWith("O banco de dados atual não foi alterado."),
                 qPrintable(m));
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);   // no replace question before the refusal
        QVERIFY(conteudo(banco()) == depois_);
        QVERIFY(privadas().isEmpty());
    }

    // Another computer takes receipts while Backup > Criar runs, again and again: every backup is one
    // sound state of the file, each index agreeing with its table, and none is taken for damaged.
    void backupDuranteGravacaoDeOutroComputador()
    {
        OutroComputador outro(-1);
        QStringList perguntas, problemas;
        AcompanhamentoCopia acompanha;
        acompanha.confirma = [&perguntas](PerguntaCopia p, const QString& sobre) {
            perguntas << (p == PerguntaCopia::BancoComProblemas ? "problemas: " + sobre : "substituir");
            return true;
        };
        QTest::qWait(200);
        for (int i = 0; i < 10; ++i) {
            const QString pen = pasta("pen");
            const ResultadoBackup r = copiabanco(ModoBackup::Backup, pen, {}, acompanha);
            QVERIFY2(r.fim == FimCopia::Copiado, qPrintable(r.motivo));
            const QString copia = pen + "/cadastrocd.mdb";
            const QString motor = Outra(copia).integridade();
            const VerificacaoBanco nosso = verificaarquivo(copia);
            if (motor != "ok" || nosso.estado != EstadoBanco::Bom)
                problemas << QString("%1: %2 / %3").arg(i).arg(motor, nosso.motivo);
        }
        QVERIFY2(outro.p.state() == QProcess::Running, "the other computer stopped writing before the end");
        outro.p.kill();
        outro.p.waitForFinished();
        QVERIFY2(problemas.isEmpty(), qPrintable(problemas.join("\n")));
        QVERIFY2(perguntas.isEmpty(), qPrintable(perguntas.join("\n")));
        QVERIFY(privadas().isEmpty());
        QCOMPARE(Outra(banco()).integridade(), QString("ok"));
    }

    // The private copy is the only moment other computers' writes wait for: once it is made, they
    // go through at once, while the copy is checked and while it goes to the destination.
    void gravacoesNaoEsperamPelaVerificacaoNemPelaCopia()
    {
        const QString pen = pasta("pen");
        QStringList gravou;
        AcompanhamentoCopia acompanha;
        acompanha.executa = [&](EtapaCopia etapa, const ControleVerificacao&, const std::function<void()>& trabalho) {
            if (etapa != EtapaCopia::Instantaneo)
                gravou << QString::number(OutroComputador(1, 0).fim());   // no waiting at all
            trabalho();
        };
        QCOMPARE(copiabanco(ModoBackup::Backup, pen, {}, acompanha).fim, FimCopia::Copiado);
        QCOMPARE(gravou, (QStringList{"0", "0"}));   // before the check, before the copy on
        QVERIFY(conteudo(pen + "/cadastrocd.mdb") == depois_);   // the state the copy was taken in
        QVERIFY(conteudo(banco()) != depois_);
    }

    // The private copy is this account's alone, lies on this computer's disk, and never stays: not
    // after a copy, a refusal or a No; one left by a killed run goes with the next copy.
    void copiaPrivadaNaoFica()
    {
        QStringList vistas;
        AcompanhamentoCopia acompanha;
        acompanha.executa = [&](EtapaCopia etapa, const ControleVerificacao&, const std::function<void()>& trabalho) {
            if (etapa == EtapaCopia::VerificaBanco) {
                struct stat p, a;
                const QStringList nomes = privadas();
                ::stat(QFile::encodeName(pastaPrivada()).constData(), &p);
                ::stat(QFile::encodeName(pastaPrivada() + "/" + nomes.value(0)).constData(), &a);
                vistas << nomes.join(",") + QString(" %1 %2").arg(p.st_mode & 0777, 0, 8).arg(a.st_mode & 0777, 0, 8);
            }
            trabalho();
        };
        bool responde = false;
        acompanha.confirma = [&responde](PerguntaCopia, const QString&) { return responde; };
        QDir().mkpath(pastaPrivada());
        const QString sobra = pastaPrivada() + "/.cadastrocd.mdb.copia-Zz99Yy";
        escreve(sobra, "de uma cópia interrompida");
        const utimbuf antigo{::time(nullptr) - 7200, ::time(nullptr) - 7200};
        QCOMPARE(::utime(QFile::encodeName(sobra).constData(), &antigo), 0);
        const QString pen = pasta("pen");
        escreve(pen + "/cadastrocd.mdb", "a cópia de ontem");
        QCOMPARE(copiabanco(ModoBackup::Backup, pen, {}, acompanha).fim, FimCopia::Desistiu);   // Substituir? No
        QVERIFY(privadas().isEmpty() && conteudo(pen + "/cadastrocd.mdb") == "a cópia de ontem");
        QCOMPARE(QDir(pen).entryList(QDir::Files | QDir::Hidden), QStringList{"cadastrocd.mdb"});
        responde = true;
        QCOMPARE(copiabanco(ModoBackup::Backup, pen, {}, acompanha).fim, FimCopia::Copiado);
        QVERIFY(privadas().isEmpty());
        QCOMPARE(vistas.size(), 1);   // the second time the file had passed and was not written since
        QVERIFY2(QRegularExpression("^\\.cadastrocd\\.mdb\\.copia-\\w{6} 700 600$").match(vistas.value(0)).hasMatch(),
                 qPrintable(vistas.value(0)));
        QVERIFY(!QStandardPaths::writableLocation(QStandardPaths::CacheLocation).startsWith(QFileInfo(banco()).absolutePath()));
    }

    // The check after login, with its real slices, on a file that takes many of them: it ends and reads
    // each entry once; when the file is written meanwhile it is neither compared nor noted as checked.
    void verificacaoAposLoginComFatiasReais_data()
    {
        QTest::addColumn<bool>("gravando");
        QTest::newRow("ninguém grava") << false;
        QTest::newRow("outro grava") << true;
    }
    void verificacaoAposLoginComFatiasReais()
    {
        QFETCH(bool, gravando);
        const qint64 esperado = entradas(banco());
        ControleVerificacao c;
        c.discreta = true;
        c.pausaMs = 5;
        int lidas = 0;
        c.aoLer = [&lidas] {   // slow storage: each table takes several slices
            if (++lidas % 16 == 0)
                QThread::usleep(150);
        };
        VerificacaoBanco v;
        std::atomic<bool> fim{false};
        struct Tarefa {   // stopped and waited for on every way out of the test
            ControleVerificacao& c;
            std::unique_ptr<QThread> t;
            ~Tarefa()
            {
                c.parar = true;
                t->wait();
            }
        } tarefa{c, std::unique_ptr<QThread>(QThread::create([&] {
                     v = verificaemfatias(banco(), &c);
                     fim = true;
                 }))};
        tarefa.t->start();
        int gravou = 0;
        if (gravando && QTest::qWaitFor([&] { return c.feitos > esperado / 2; }, 30000))
            gravou = OutroComputador(1).fim();
        const bool terminou = QTest::qWaitFor([&] { return fim.load(); }, 60000);
        c.parar = true;
        tarefa.t->wait();
        QCOMPARE(gravou, 0);
        QVERIFY2(terminou, qPrintable(QString("%1 de %2 entradas lidas").arg(c.feitos.load()).arg(esperado)));
        QVERIFY2(v.estado == EstadoBanco::Bom, qPrintable(v.motivo));
        QCOMPARE(javerificado(banco()), !gravando);
        if (!gravando)
            QCOMPARE(c.feitos.load(), esperado);
    }

    // The program's end stops a check after login that is running, at once; stopped, it tells nothing
    // and the file is not taken as checked. (Last: it runs once per program start.)
    void verificacaoAposLoginParaNoFim()
    {
        teste::sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000)"
                   " INSERT INTO pagamentos (codigo, data, valor, codigodizimista)"
                   " SELECT printf('%06d/25', i), '01/01/2025', '10,00', printf('%04d', 1 + i % 3000) FROM n");
        Banco::closeAll();
        // A private copy left by a backup killed half-way goes at login.
        const QString sobra = pastaPrivada() + "/.cadastrocd.mdb.copia-Kk11Mm";
        escreve(sobra, "de um backup interrompido");
        const utimbuf antigo{::time(nullptr) - 7200, ::time(nullptr) - 7200};
        QCOMPARE(::utime(QFile::encodeName(sobra).constData(), &antigo), 0);
        verificabancoaposlogin(banco());
        QVERIFY(privadas().isEmpty());
        QTRY_VERIFY(verificacoesemandamento() == 1);
        QTest::qWait(300);
        QElapsedTimer relogio;
        relogio.start();
        paraverificacao();
        QVERIFY2(relogio.elapsed() < 1500, qPrintable(QString::number(relogio.elapsed())));
        QCOMPARE(verificacoesemandamento(), 0);
        QVERIFY(aguardaverificacao(5000));
        QVERIFY(!javerificado(banco()) && Dialogos::registros().isEmpty());
    }
};

TIVANE_TEST_MAIN(TstCopiaConsistente)
#include "tst_copiaconsistente.moc"
