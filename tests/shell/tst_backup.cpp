#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/integridade.h"
#include "core/janelas.h"
#include "core/resultado.h"
#include "shell/backup.h"
#include "core/frmaguarde.h"
#include "shell/frmbackup.h"
#include "shell/frmprincipal.h"
#include "shell/verificacao.h"

#include <QtWidgets>
#include <csignal>
#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace tivane;
using teste::conteudo, teste::escreve, teste::pasta;
Q_DECLARE_METATYPE(tivane::EstadoBanco)

namespace {

QByteArray aleatorio(qint64 n)
{
    QByteArray b(int(n), Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (auto& c : b)
        x ^= x << 13, x ^= x >> 17, x ^= x << 5, c = char(x);
    return b;
}
// Files of a folder, hidden ones (a leftover temporary copy) included.
QStringList arquivos(const QString& p) { return QDir(p).entryList(QDir::Files | QDir::Hidden); }
// The bytes of a file made by SQL, with or without our key.
QByteArray arquivoSqlite(const char* sql, bool cifrado = true)
{
    const QString c = pasta("sqlite") + "/f.db";
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(c).constData(), &db);
    if (cifrado)
        sqlite3_exec(db, "PRAGMA key = 'qorm64';", nullptr, nullptr, nullptr);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return conteudo(c);
}
QByteArray estraga(QByteArray b, int semente)   // one page in the middle overwritten
{
    for (int i = 0; i < 1024; ++i)
        b[b.size() / 2 / 1024 * 1024 + i] = char(i * semente);
    return b;
}
qint64 dizimistas()
{
    Escopo e = abreconexaodizimistas();
    Consulta c("SELECT count(*) FROM dizimistas");
    return c.next() ? c.inteiro(0) : -1;
}
// Runs f in a child process under a limit on written file sizes (a full disk)
// and, when root, as an unprivileged user (so permissions bite); its text comes back.
QString noFilho(const std::function<QString()>& f, qint64 limite, bool semPrivilegio = false)
{
    int canal[2];
    if (::pipe(canal) != 0)
        return "pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);   // past the limit a write fails with EFBIG
        const rlimit r{rlim_t(limite), rlim_t(limite)};
        if ((limite && ::setrlimit(RLIMIT_FSIZE, &r) != 0)
            || (semPrivilegio && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)))
            ::_exit(2);
        const QByteArray saida = f().toUtf8();
        ::_exit(::write(canal[1], saida.constData(), size_t(saida.size())) < 0);
    }
    ::close(canal[1]);
    QByteArray lido;
    char buf[4096];
    for (ssize_t n; (n = ::read(canal[0], buf, sizeof buf)) > 0;)
        lido.append(buf, int(n));
    ::close(canal[0]);
    ::waitpid(pid, nullptr, 0);
    return QString::fromUtf8(lido);
}

// What a check, started on a file out of memory and stopped once it has asked for 512 KB,
// asked for and what the kernel read from the disk for it.
struct Lidos {
    qint64 pedidos = 0, trazidos = 0;
};
Lidos leituraFria(const QString& caminho, bool discreta)
{
    const int fd = ::open(QFile::encodeName(caminho).constData(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
    const auto contas = [] {
        Lidos l;
        QFile f("/proc/thread-self/io");
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& linha : f.readAll().split('\n')) {
                const qint64 v = linha.mid(linha.indexOf(':') + 1).trimmed().toLongLong();
                if (linha.startsWith("rchar:"))
                    l.pedidos = v;
                else if (linha.startsWith("read_bytes:"))
                    l.trazidos = v;
            }
        return l;
    };
    Lidos r;
    ControleVerificacao c;
    c.discreta = discreta;
    c.aoLer = [&] {
        if (c.feitos % 32 == 0 && (r = contas()).pedidos > 512 * 1024)
            c.parar = true;
    };
    // Only the reads are counted: the check is stopped half-way, its verdict means nothing here.
    QThread* t = QThread::create([&] { dispensaresultado(verificaemfatias(caminho, &c)); });
    t->start();
    t->wait();
    delete t;
    return r;
}

quint64 dispositivo(const QString& c)
{
    struct stat st;
    return ::stat(QFile::encodeName(c).constData(), &st) == 0 ? quint64(st.st_dev) : 0;
}
// Each please-wait window shown: its caption, and "*" when the rest of the program waits for it.
struct Espia : QObject {
    QStringList legendas;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == "frmaguarde")
            legendas << FrmAguarde::legenda() + (static_cast<QWidget*>(o)->isModal() ? "*" : "");
        return false;
    }
};

QStringList g_unidades;
const QString MESMO = "O Arquivo de origem é o mesmo de destino, o Backup não pode continuar!";
const QString SUBSTITUIR = "\r\nJá existe o arquivo neste diretório, Substituir?";
const QString INTACTO = "O banco de dados atual não foi alterado.";

}  // namespace

class TstBackup : public QObject {
    Q_OBJECT
    QString dados_;       // data folder, with the separator
    QByteArray modelo_;   // the live database with 2000 tithers

    static QString banco() { return Banco::caminhoArquivo(); }
    template <typename T = QWidget> static T* w(QWidget* j, const char* nome) { return j->findChild<T*>(nome); }

private Q_SLOTS:
    void initTestCase()
    {
        dados_ = teste::criaBancoTeste();
        teste::sql("BEGIN");
        for (int i = 1; i <= 2000; ++i)   // accents in indexed columns: the check must order them as the program
            teste::sql(QString("INSERT INTO dizimistas (codigo, nome) VALUES ('%1', '%2 Conceição')")
                           .arg(i, 4, 10, QChar('0')).arg(i % 2 ? "ÁLVARO" : "álvaro"));
        teste::sql("COMMIT");
        Banco::closeAll();
        modelo_ = conteudo(banco());
        defineFonteUnidades([] { return g_unidades; });
    }
    void init()
    {
        Banco::closeAll();
        escreve(banco(), modelo_);
        Dialogos::limpa();
        g_unidades = QStringList{"/"};
    }

    void copiaInteiraPorBlocos()
    {
        // From another file system (tmpfs) the copy goes through the program's own buffer.
        QTemporaryDir outro(QDir("/dev/shm").exists() ? "/dev/shm/tivane-XXXXXX" : QDir::tempPath() + "/tivane-XXXXXX");
        const QString para = pasta("para");
        for (const qint64 tamanho : {qint64(0), qint64(8 * 1024 * 1024 + 1)}) {
            const QString de = (tamanho ? outro.path() : pasta("de")) + "/cadastrocd.mdb";
            escreve(de, aleatorio(tamanho));
            escreve(para + "/cadastrocd.mdb-journal", "diário do arquivo antigo");
            const ResultadoCopia r = copiaarquivo(de, para + "/cadastrocd.mdb");
            QVERIFY2(r.ok && r.tamanho == tamanho, qPrintable(r.motivo));
            QVERIFY(conteudo(para + "/cadastrocd.mdb") == aleatorio(tamanho));
            QCOMPARE(arquivos(para), QStringList{"cadastrocd.mdb"});   // no temporary file, no stale journal
        }
    }

    void copiaQueFalhaNaoTocaNoAlvo_data()   // the row's name is the case
    {
        QTest::addColumn<QString>("motivo");
        QTest::newRow("origem ausente") << "o arquivo de origem não foi encontrado";
        QTest::newRow("pasta ausente") << "a pasta de destino não existe";
        QTest::newRow("destino é pasta") << "o destino é uma pasta";
        QTest::newRow("disco cheio") << "o disco de destino está cheio";
        QTest::newRow("somente leitura") << "a pasta de destino não permite gravação";
        QTest::newRow("origem encurta") << "terminou antes do fim esperado";   // the drive pulled out
        QTest::newRow("pasta some") << "a pasta de destino não existe mais";
    }
    void copiaQueFalhaNaoTocaNoAlvo()
    {
        const QString caso = QTest::currentDataTag();
        QFETCH(QString, motivo);
        // Outside the test's private home, so an unprivileged child can read the source.
        QTemporaryDir base(QDir::tempPath() + "/tivane-copia-XXXXXX");
        const QString origem = base.path() + "/cadastrocd.mdb", para = base.path() + "/para";
        escreve(origem, aleatorio(9 * 1024 * 1024));
        escreve(para + "/cadastrocd.mdb", "a cópia de ontem");
        for (const QString& p : {base.path(), para})
            QFile::setPermissions(p, QFileDevice::Permissions(0x7555));
        QFile::setPermissions(origem, QFileDevice::Permissions(0x6444));
        QString destino = para + "/cadastrocd.mdb";
        ResultadoCopia r;
        if (caso == "origem ausente")
            r = copiaarquivo(origem + "x", destino);
        else if (caso == "pasta ausente")
            r = copiaarquivo(origem, base.path() + "/nao/cadastrocd.mdb");
        else if (caso == "destino é pasta")
            r = copiaarquivo(origem, para);
        else if (caso == "disco cheio")
            r.motivo = noFilho([&] { return copiaarquivo(origem, destino).motivo; }, 1 << 20);
        else if (caso == "somente leitura" && QFile::setPermissions(para, QFileDevice::Permissions(0x5555)))
            r.motivo = noFilho([&] { return copiaarquivo(origem, destino).motivo; }, 0, true);
        else if (caso == "origem encurta")
            r = copiaarquivo(origem, destino, [&](qint64) { QFile::resize(origem, 100); });
        else
            r = copiaarquivo(origem, base.path() + "/pen/x", [&](qint64) { QDir(base.path() + "/pen").removeRecursively(); });
        QVERIFY2(!r.ok && r.tamanho == 0 && r.motivo.contains(motivo), qPrintable(r.motivo));
        QCOMPARE(conteudo(destino), QByteArray("a cópia de ontem"));
        QCOMPARE(arquivos(para).size(), 1);   // no temporary file left behind
        QFile::setPermissions(para, QFileDevice::Permissions(0x7700));
    }

    void nomesTamanhosEUnidades()
    {
        QCOMPARE(textotamanho(16777217) + textotamanho(5000000001LL), QString("16777217 bytes5000000001 bytes"));
        QCOMPARE(pastabackupautomatico("/media/pen", QDate(2015, 1, 5)) + pastabackupautomatico("/", QDate(2015, 12, 31)),
                 QString("/media/pen/backup05012015/backup31122015"));
        // One drive out and another in is a new drive; none, or one out only, is not.
        QCOMPARE(unidadenova({"/", "/a"}, {"/", "/a"}) + "|" + unidadenova({"/", "/a"}, {"/"}) + "|"
                     + unidadenova({"/", "/a"}, {"/", "/b"}) + "|" + unidadenova({"/", "/b"}, {"/", "/a", "/b", "/c"}),
                 QString("||/b|/c"));
        defineFonteUnidades(nullptr);   // the real drives: the root first, no pseudo file systems
        const QStringList reais = listaunidades();
        defineFonteUnidades([] { return g_unidades; });
        QCOMPARE(reais.value(0), QString("/"));
        for (const QString& u : reais)
            QVERIFY2(!u.startsWith("/proc") && !u.startsWith("/sys") && !u.startsWith("/snap/") && QFileInfo(u).isDir(),
                     qPrintable(u));
    }

    void idaEVoltaByteAByte()
    {
        const QString pen = pasta("pen");
        QCOMPARE(dizimistas(), 2000);
        sqlite3* antes = Banco::conexao();
        QCOMPARE(verificabanco(banco(), true).estado, EstadoBanco::Bom);   // the live file, open
        QCOMPARE(Banco::conexao(), antes);                                  // on a connection of its own
        QCOMPARE(executabackup(ModoBackup::Backup, pen + "/").tamanho, qint64(modelo_.size()));
        QVERIFY(Banco::conexao() && conteudo(pen + "/cadastrocd.mdb") == modelo_);
        teste::sql("DELETE FROM dizimistas WHERE codigo > '0100'");
        Dialogos::respondeMsgbox(Dialogos::Sim);   // replace the live file
        QCOMPARE(executabackup(ModoBackup::Restauracao, pen).tamanho, qint64(modelo_.size()));
        QCOMPARE(Dialogos::ultimo().texto, banco().toUpper() + SUBSTITUIR);
        QVERIFY(conteudo(banco()) == modelo_);
        QCOMPARE(arquivos(dados_), QStringList{"cadastrocd.mdb"});
        // The program goes on without a restart, on the restored records.
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('9999', 'Depois')"));
        QCOMPARE(dizimistas(), 2001);
    }

    void origemVerificadaAntesDeRestaurar_data()
    {
        QTest::addColumn<QByteArray>("dados");   // null: no file
        QTest::addColumn<EstadoBanco>("estado");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("ausente") << QByteArray() << EstadoBanco::Ausente << "Não foi possível encontrar o banco de dados";
        QTest::newRow("sem collation no esquema")
            << arquivoSqlite("CREATE TABLE dizimistas (nome TEXT); CREATE INDEX i ON dizimistas(nome); INSERT INTO "
                             "dizimistas VALUES ('José'), ('JOSÉ'); CREATE TABLE usuarios (a); CREATE TABLE pagamentos (a);"
                             " CREATE TABLE igreja (a);")
            << EstadoBanco::Bom << "";
        QTest::newRow("vazio") << QByteArray("") << EstadoBanco::Estranho << "o arquivo está vazio";
        QTest::newRow("outro programa") << QByteArray("PK\x03\x04 planilha").repeated(300) << EstadoBanco::Estranho
                                        << "(não abre com a senha do sistema)";
        QTest::newRow("sqlite sem cifra") << arquivoSqlite("CREATE TABLE igreja (a);", false) << EstadoBanco::Estranho
                                          << "de outro programa (não está cifrado)";
        QByteArray outraChave = modelo_;
        outraChave[3] = char(outraChave[3] ^ 0x55);
        QTest::newRow("outra chave") << outraChave << EstadoBanco::Estranho << "não abre com a senha";
        QTest::newRow("sem duas tabelas") << arquivoSqlite("CREATE TABLE dizimistas (a); CREATE TABLE usuarios (a);")
                                          << EstadoBanco::Estranho << "(faltam as tabelas pagamentos, igreja)";
        QTest::newRow("truncado") << modelo_.left(modelo_.size() / 2) << EstadoBanco::Danificado << "o arquivo está danificado";
        QTest::newRow("página estragada") << estraga(modelo_, 13) << EstadoBanco::Danificado << "danificado";
        QByteArray primeira = modelo_;   // the first page, past the salt that opens the file
        for (int i = 100; i < 300; ++i)
            primeira[i] = char(i * 7);
        QTest::newRow("primeira página estragada") << primeira << EstadoBanco::Danificado
                                                   << "danificado (a primeira página não pode ser lida)";
        // With the salt gone nothing tells our damaged file from another program's: both are said.
        const QString umOuOutro = "não é um banco de dados do Tivane Dízimos ou está danificado";
        QTest::newRow("sal zerado") << QByteArray(16, '\0') + modelo_.mid(16) << EstadoBanco::Estranho << umOuOutro;
        QTest::newRow("primeira página zerada") << QByteArray(1024, '\0') + modelo_.mid(1024) << EstadoBanco::Estranho
                                                << umOuOutro;
    }
    void origemVerificadaAntesDeRestaurar()
    {
        QFETCH(QByteArray, dados);
        QFETCH(EstadoBanco, estado);
        QFETCH(QString, motivo);
        const QString origem = pasta("origem");
        if (!dados.isNull())
            escreve(origem + "/cadastrocd.mdb", dados);
        const VerificacaoBanco v = verificabanco(origem + "/cadastrocd.mdb", true);
        QCOMPARE(v.estado, estado);
        QCOMPARE(conteudo(origem + "/cadastrocd.mdb"), dados);   // read only
        if (estado == EstadoBanco::Bom)
            return;
        QVERIFY(estado == EstadoBanco::Ausente || motivo.contains(v.motivo) || v.motivo.contains(motivo));
        Dialogos::respondeMsgbox(Dialogos::Sim);   // would replace, were it asked
        QCOMPARE(executabackup(ModoBackup::Restauracao, origem).tamanho, qint64(0));
        const QString m = Dialogos::ultimo("msgbox").texto;
        QVERIFY2(m.contains(motivo) && (dados.isNull() || m.endsWith(INTACTO)), qPrintable(m));
        QVERIFY(conteudo(banco()) == modelo_);
        QCOMPARE(dizimistas(), 2000);
    }

    // Every entry of every table and index is read once, however small the slices: keys that
    // repeat, NULL keys and expression indexes resume where the last slice stopped.
    void verificacaoEmFatiasLeTudoUmaVez()
    {
        teste::sql("UPDATE dizimistas SET barras = CASE WHEN rowid % 3 = 0 THEN NULL ELSE 'B' || (rowid % 7) END");
        teste::sql("BEGIN");
        for (int i = 1; i <= 600; ++i)
            teste::sql(QString("INSERT INTO pagamentos (codigo, data, codigodizimista) VALUES ('%1/%2', '01/01/2024', %3)")
                           .arg(i, 5, 10, QChar('0')).arg(20 + i % 3)
                           .arg(i % 5 ? QString("'%1'").arg(i % 40, 4, 10, QChar('0')) : QString("NULL")));
        teste::sql("COMMIT");
        qint64 esperado = 0;
        {
            Escopo e = abreconexaodizimistas();
            Consulta t("SELECT name, (SELECT count(*) FROM sqlite_master i WHERE i.type = 'index' AND i.tbl_name = m.name)"
                       " FROM sqlite_master m WHERE type = 'table'");
            while (t.next()) {
                Consulta n("SELECT count(*) FROM " + t.text(0));
                QVERIFY(n.next());
                esperado += n.inteiro(0) * (1 + t.inteiro(1));
            }
        }
        for (int fatia : {0, 40}) {
            ControleVerificacao c;
            c.fatiaMs = c.pausaMs = fatia;
            QCOMPARE(int(verificaemfatias(banco(), &c).estado), int(EstadoBanco::Bom));
            QCOMPARE(c.feitos.load(), esperado);
        }
        // A damaged page is found, slice by slice, as by the whole check.
        Banco::closeAll();
        escreve(banco(), estraga(modelo_, 7));
        ControleVerificacao d;
        d.fatiaMs = d.pausaMs = 0;
        const VerificacaoBanco v = verificaemfatias(banco(), &d);
        QVERIFY2(v.estado == EstadoBanco::Danificado && v.motivo.contains("danificado"), qPrintable(v.motivo));
        QVERIFY(!javerificado(banco()));
    }

    // On storage that reads slowly, a write made while the check runs waits one slice at most.
    void escritaDuranteVerificacaoNaoEspera()
    {
        teste::sql("PRAGMA synchronous = OFF");   // the disk's own flush times are not the check's doing
        ControleVerificacao c;
        c.aoLer = [] { QThread::usleep(200); };
        VerificacaoBanco v;
        std::atomic<bool> fim{false};
        QThread* t = QThread::create([&] {
            v = verificaemfatias(banco(), &c);
            fim = true;
        });
        t->start(QThread::LowPriority);
        int escritas = 0;
        qint64 maior = 0;
        while (!fim && escritas < 40) {
            QElapsedTimer r;
            r.start();
            QVERIFY(teste::sql(QString("INSERT INTO usuarios (codigo, nome) VALUES ('%1', 'Durante')").arg(escritas)));
            maior = qMax(maior, r.elapsed());
            ++escritas;
            QThread::msleep(20);
        }
        const bool rodando = !fim;
        c.parar = true;   // as at the program's end: stopped, nothing to tell
        t->wait();
        delete t;
        QVERIFY2(rodando && maior < 500, qPrintable(QString("%1 escritas, a maior esperou %2 ms").arg(escritas).arg(maior)));
        QCOMPARE(int(v.estado), int(EstadoBanco::Ilegivel));
        QCOMPARE(avisoverificacao(banco(), v), QString());
        teste::sql("PRAGMA synchronous = FULL");
    }

    // The check after login makes the kernel read only the pages it asks for: on slow storage
    // a receipt never waits behind megabytes read ahead of the check.
    void verificacaoDiscretaNaoLeAdiante()
    {
        // A file whose first table read lies right after its first page, in file order.
        escreve(banco(), arquivoSqlite("CREATE TABLE avulsa (texto); INSERT INTO avulsa WITH RECURSIVE n(i) AS"
                                       " (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) SELECT printf('%0100d', i) FROM n;"
                                       " CREATE TABLE dizimistas (codigo); CREATE TABLE usuarios (codigo);"
                                       " CREATE TABLE pagamentos (codigo); CREATE TABLE igreja (sobra);"));
        const Lidos normal = leituraFria(banco(), false), discreta = leituraFria(banco(), true);
        if (normal.trazidos - normal.pedidos < 512 * 1024)
            QSKIP("o núcleo não lê adiante neste disco");
        QVERIFY2(2 * (discreta.trazidos - discreta.pedidos) < normal.trazidos - normal.pedidos,
                 qPrintable(QString("pedidos/lidos do disco: %1/%2 KB, sem a leitura adiante %3/%4 KB")
                                .arg(normal.pedidos / 1024).arg(normal.trazidos / 1024)
                                .arg(discreta.pedidos / 1024).arg(discreta.trazidos / 1024)));
    }

    // Backup > Criar copies, checks and copies on under a please-wait window the rest of the program
    // waits for, and does not read again a file that passed and was not written since.
    void criarMostraAndamentoEVerificaUmaVez()
    {
        Espia espia;
        qApp->installEventFilter(&espia);
        const QString pen = pasta("pen");
        const QString prepara = "Preparando a cópia do banco de dados ...*", verifica = "Verificando o banco de dados ...*",
                      copia = "Copiando o banco de dados ...*";
        QCOMPARE(executabackup(ModoBackup::Backup, pen).tamanho, qint64(modelo_.size()));
        QCOMPARE(espia.legendas, (QStringList{prepara, verifica, copia}));
        QVERIFY(javerificado(banco()) && !FrmAguarde::aberta());
        espia.legendas.clear();
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QVERIFY(executabackup(ModoBackup::Backup, pen).tamanho > 0);
        QCOMPARE(espia.legendas, (QStringList{prepara, copia}));
        teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0001', 'Depois')");
        espia.legendas.clear();
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QVERIFY(executabackup(ModoBackup::Backup, pen).tamanho > 0);
        QCOMPARE(espia.legendas, (QStringList{prepara, verifica, copia}));
        // The automatic backup's wait for a drive is showing, not modal: a copy by hand still holds the program.
        FrmAguarde::abre("Insira o Pen Drive para backup automático...");
        espia.legendas.clear();
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QVERIFY(executabackup(ModoBackup::Backup, pen).tamanho > 0);
        QCOMPARE(espia.legendas, (QStringList{prepara, copia}));
        qApp->removeEventFilter(&espia);
    }

    // A drive taken out after it was listed leaves its mount point folder on the internal disk:
    // nothing is copied there, in the window or in the automatic backup's copy step.
    void driveRetiradoNaoRecebeCopia()
    {
        const QString ponto = pasta("montagem") + "/pen", disco = "/dev/shm/tivane-teste-" + QString::number(::getpid());
        const auto tira = qScopeGuard([&] { QDir(disco).removeRecursively(); });   // /dev/shm outlives the test
        QVERIFY(QDir().mkpath(disco) && QFile::link(disco, ponto));
        if (dispositivo(disco) == dispositivo(teste::pastaTemporaria()))
            QSKIP("no second file system here");
        g_unidades = QStringList{"/", ponto};
        Comandos::executa("mnucriabackup");
        auto* j = Janelas::instancia<FrmBackup>("frmbackup");
        const auto automatico = retratounidades(g_unidades);
        QVERIFY(QFile::remove(ponto) && QDir().mkpath(ponto + "/backup"));   // taken out
        w<QLineEdit>(j, "txtcaminho")->setText(ponto);
        w<QPushButton>(j, "cmdavancar")->click();
        QVERIFY(Dialogos::ultimo().texto == "Erro ao Acessar Drive" && Dialogos::ultimo().estilo == 16);
        QCOMPARE(w<QLineEdit>(j, "txttamanho")->text(), QString("0 bytes"));
        QCOMPARE(executabackup(ModoBackup::Backup, ponto + "/backup", automatico).tamanho, qint64(0));
        QCOMPARE(Dialogos::registros("msgbox").size(), 2);
        QVERIFY(arquivos(ponto).isEmpty() && arquivos(ponto + "/backup").isEmpty());
        fechajanelas();
    }

    // Copying into a folder removes the program's own leftover temporary copies there, and nothing else.
    void sobrasDeCopiasInterrompidas()
    {
        const QString p = pasta("sobras");
        const QStringList nomes = {".cadastrocd.mdb.copia-Ab12Cd", ".cadastrocd.mdb.copia-Xy34Zw", ".cadastrocd.mdb.copia-Ab12C",
                                   ".outro.mdb.copia-Ab12Cd", "cadastrocd.mdb.copia-Ab12Cd", ".cadastrocd.mdb.copia-Ab12Cd\n"};
        for (const QString& n : nomes) {
            escreve(p + "/" + n, "sobra");
            if (n != nomes[1]) {   // the second is being written by a copy in progress
                const utimbuf antigo{::time(nullptr) - 7200, ::time(nullptr) - 7200};
                QCOMPARE(::utime(QFile::encodeName(p + "/" + n).constData(), &antigo), 0);
            }
        }
        QVERIFY(executabackup(ModoBackup::Backup, p).tamanho > 0);
        QStringList ficam = QStringList{"cadastrocd.mdb"} + nomes.mid(1);
        QStringList ha = arquivos(p);
        ficam.sort();
        ha.sort();
        QCOMPARE(ha, ficam);
    }

    // A restore keeps the mode of the file it replaces (a shared folder's group access); when the restored
    // file cannot be opened, the user is told, not left to find out at the next operation.
    void restauracaoMantemModo_data()
    {
        QTest::addColumn<int>("modo");
        QTest::newRow("acesso do grupo") << 0660;
        QTest::newRow("sem leitura") << 0200;   // the program can no longer open what it restored
    }
    void restauracaoMantemModo()
    {
        QFETCH(int, modo);
        if (!(modo & 0400) && ::geteuid() == 0) {   // root opens whatever the modes say
            QString saida;
            QVERIFY2(teste::executaSemPrivilegios(QString(QTest::currentTestFunction()) + ":" + QTest::currentDataTag(), &saida),
                     qPrintable(saida));
            return;
        }
        const QString pen = pasta("pen");
        QVERIFY(Banco::criaBancoVazio(pen + "/cadastrocd.mdb"));
        QCOMPARE(::chmod(QFile::encodeName(pen + "/cadastrocd.mdb").constData(), 0644), 0);
        QCOMPARE(::chmod(QFile::encodeName(banco()).constData(), mode_t(modo)), 0);
        const auto devolve = qScopeGuard([&] { ::chmod(QFile::encodeName(banco()).constData(), 0600); });
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QVERIFY(executabackup(ModoBackup::Restauracao, pen).tamanho > 0);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(banco()).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), modo);
        const QString m = Dialogos::ultimo("msgbox").texto;
        if (modo & 0400)   // only "Substituir?", and the restored file in use
            QVERIFY(Dialogos::registros("msgbox").size() == 1 && dizimistas() == 0);
        else
            QVERIFY2(m.startsWith("O banco de dados foi restaurado, mas não pôde ser aberto: "), qPrintable(m));
    }

    // A drive taken out while "Substituir?" was open gets nothing, and nothing lands where its folder was.
    void driveConferidoDepoisDaPergunta()
    {
        const QString ponto = pasta("montagem") + "/pen", disco = "/dev/shm/tivane-pergunta-" + QString::number(::getpid());
        const auto tira = qScopeGuard([&] { QDir(disco).removeRecursively(); });   // /dev/shm outlives the test
        QVERIFY(QDir().mkpath(disco) && QFile::link(disco, ponto));
        if (dispositivo(disco) == dispositivo(teste::pastaTemporaria()))
            QSKIP("no second file system here");
        escreve(ponto + "/cadastrocd.mdb", "a cópia de ontem");
        QList<PerguntaCopia> perguntas;
        const AcompanhamentoCopia retira{[&](PerguntaCopia p, const QString&) {   // taken out: a folder on this disk again
                                             perguntas << p;
                                             return QFile::remove(ponto) && QDir().mkpath(ponto);
                                         },
                                         {}};
        QCOMPARE(copiabanco(ModoBackup::Backup, ponto, retratounidades({"/", ponto}), retira).fim, FimCopia::DriveRetirado);
        QCOMPARE(perguntas, QList<PerguntaCopia>{PerguntaCopia::Substituir});
        QVERIFY(QDir(ponto).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
        QCOMPARE(conteudo(disco + "/cadastrocd.mdb"), QByteArray("a cópia de ontem"));
    }

    void destinoRecusado_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QString>("escolhida");   // "@" is the data folder
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<int>("fim");   // how the copy without its messages ends
        const int backup = int(ModoBackup::Backup), restaura = int(ModoBackup::Restauracao);
        const int mesmo = int(FimCopia::MesmoArquivo), desistiu = int(FimCopia::Desistiu), falhou = int(FimCopia::Falhou);
        QTest::newRow("pasta ausente") << backup << "@/../nao-existe" << "A pasta de destino não existe: "
                                       << int(FimCopia::PastaAusente);
        QTest::newRow("nada escolhido") << backup << "   " << "Escolha a pasta de destino do backup."
                                        << int(FimCopia::NadaEscolhido);
        // The same file by its real path: "..", ".", doubled separators, links to the folder or to the file.
        QTest::newRow("pasta de dados") << backup << "  @//. " << MESMO << mesmo;
        QTest::newRow("pasta de dados, restaurar") << restaura << "@/../" + QDir(dados_).dirName() + "/" << MESMO << mesmo;
        QTest::newRow("pasta de dados por link") << backup << "atalho" << MESMO << mesmo;
        QTest::newRow("banco por link, restaurar") << restaura << "ligado" << MESMO << mesmo;
        QTest::newRow("substituir? Não") << backup << "copia" << SUBSTITUIR << desistiu;
        QTest::newRow("banco danificado, copiar? Não") << backup << "danificado" << "\r\n\r\nDeseja copiar o arquivo mesmo assim?"
                                                       << desistiu;
        QTest::newRow("disco cheio") << backup << "cheio" << "Erro na Cópia dos Arquivos: o disco de destino está cheio. O banco"
                                     << falhou;
        QTest::newRow("disco cheio, restaurar") << restaura << "cheio" << "o disco de destino está cheio. " + INTACTO << falhou;
        // This computer's own disk full: the private copy cannot be made.
        QTest::newRow("disco local cheio") << backup << "cheio aqui"
                                           << "Erro na Cópia dos Arquivos: não há espaço neste computador para a cópia "
                                              "temporária do banco de dados. O banco de dados não foi alterado"
                                           << falhou;
    }
    void destinoRecusado()
    {
        QFETCH(int, modo);
        QFETCH(QString, escolhida);
        QFETCH(QString, mensagem);
        QFETCH(int, fim);
        QString p = QString(escolhida).replace("@", QDir::cleanPath(dados_));
        if (escolhida == "atalho" || escolhida == "ligado") {
            p = pasta(escolhida);
            QVERIFY(escolhida == "atalho" ? QDir().rmdir(p) && QFile::link(QDir::cleanPath(dados_), p)
                                          : QFile::link(banco(), p + "/cadastrocd.mdb"));
        }
        const QByteArray vivo = escolhida == "danificado" ? estraga(modelo_, 7) : modelo_;
        escreve(banco(), vivo);
        const bool cheio = escolhida.startsWith("cheio");
        if (escolhida == "copia" || cheio || escolhida == "danificado")
            escreve((p = pasta("destino")) + "/cadastrocd.mdb", "a cópia de ontem");
        const bool restaura = modo == int(ModoBackup::Restauracao);
        if (restaura && escolhida == "cheio")   // a sound backup, different from the live file
            QVERIFY(QFile::remove(p + "/cadastrocd.mdb") && Banco::criaBancoVazio(p + "/cadastrocd.mdb"));
        const bool sim = cheio;
        Dialogos::respondeMsgbox(sim ? Dialogos::Sim : Dialogos::Nao);
        {
            // A full disk: past a few kilobytes a write fails with EFBIG (the copy runs on a thread, so in this
            // process). The destination's fills once the private copy on this computer's disk is made.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit antes{};
            ::getrlimit(RLIMIT_FSIZE, &antes);
            const rlimit limite{4096, antes.rlim_max};
            const auto enche = [&] {
                if (cheio)
                    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limite), 0);
            };
            if (escolhida == "cheio aqui")
                enche();
            // The copy itself shows nothing: it tells how it ended, and the window side tells the user.
            const AcompanhamentoCopia responde{[sim](PerguntaCopia, const QString&) { return sim; },
                                               [&](EtapaCopia e, const ControleVerificacao&, const std::function<void()>& t) {
                                                   if (e != EtapaCopia::Instantaneo && e != EtapaCopia::LeBackup)
                                                       enche();
                                                   t();
                                               }};
            const FimCopia semJanela = copiabanco(ModoBackup(modo), p, {}, responde).fim;
            QVERIFY(Dialogos::registros().isEmpty());
            QCOMPARE(int(semJanela), fim);
            ::setrlimit(RLIMIT_FSIZE, &antes);
            const teste::AoEvento cheioDepois(QEvent::Show, "frmaguarde", [&](QWidget*) {
                if (!FrmAguarde::legenda().startsWith("Preparando") && !FrmAguarde::legenda().startsWith("Lendo"))
                    enche();
            });
            if (escolhida == "cheio aqui")
                enche();
            // What the window's copy told the user is checked below.
            dispensaresultado(executabackup(ModoBackup(modo), p));
            ::setrlimit(RLIMIT_FSIZE, &antes);
        }
        const QString m = Dialogos::ultimo("msgbox").texto;
        QVERIFY2(m.contains(mensagem), qPrintable(m));
        if (!restaura && QFileInfo(p).isDir() && !mesmoarquivo(p + "/cadastrocd.mdb", banco()))
            QCOMPARE(conteudo(p + "/cadastrocd.mdb"), QByteArray("a cópia de ontem"));
        QVERIFY(conteudo(banco()) == vivo);
        QCOMPARE(arquivos(dados_), QStringList{"cadastrocd.mdb"});
    }

    void janelaEmCadaModo()
    {
        const QString pen = pasta("pen");
        g_unidades = QStringList{"/", pen, pen + "/nao-montado"};
        QVERIFY(Comandos::executa("mnucriabackup"));
        auto* j = Janelas::instancia<FrmBackup>("frmbackup");
        auto* destino = w<QGroupBox>(j, "Framedestino");
        auto* drive = w<QComboBox>(j, "Drive1");
        QCOMPARE(j->windowTitle() + "|" + destino->title() + "|" + w<QLineEdit>(j, "txtcaminho")->text() + "|"
                     + drive->currentText() + QString::number(drive->count()),
                 QString("Backup do Banco de Dados do Tivane Dízimos|Selecione o destino|/|/3"));
        QVERIFY(destino->isVisible() && w(j, "Frame1")->isVisible() && !w(j, "Frame2")->isVisible());
        QVERIFY(!w(j, "Framesucesso")->isVisible() && !w(j, "Framenovapasta")->isVisible());
        // A drive that cannot be read keeps the one before; a good one shows its folders.
        drive->setCurrentIndex(2);
        QVERIFY(Dialogos::ultimo().texto == "Erro ao Acessar Drive" && Dialogos::ultimo().estilo == 16);
        QCOMPARE(drive->currentText(), QString("/"));
        drive->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>(j, "txtcaminho")->text(), pen);
        QVERIFY(Comandos::executa("mnurestaurabackup"));
        QCOMPARE(Janelas::instancia<FrmBackup>("frmbackup"), j);
        QCOMPARE(destino->title(), QString("Selecione a origem"));
        QVERIFY(!w(j, "Frame1")->isVisible() && w(j, "Frame2")->isVisible());

        // New folder: created where the list is, not chosen; bad names and existing folders are told.
        j->definepasta(pen);
        auto* nome = w<QLineEdit>(j, "txtpasta");
        for (const QString& n : {QString("BackupQuarda"), QString("a/b"), QString(".."), QString("BackupQuarda")}) {
            w<QPushButton>(j, "cmdnovapasta")->click();
            QVERIFY(w(j, "Framenovapasta")->isVisible() && !destino->isVisible());
            QCOMPARE(nome->text() + "|" + w<QLabel>(j, "lblcaminho")->text(), "BackupQuarda|" + pen);
            nome->setText(n);
            QTest::keyClick(nome, Qt::Key_Return);
            w<QPushButton>(j, "cmdsair")->click();
        }
        const auto m = Dialogos::registros("msgbox");
        QCOMPARE(m.size(), 4);
        QVERIFY(m[1].texto.startsWith("Nome de pasta inválido") && m[2].texto.startsWith("Nome de pasta inválido"));
        QCOMPARE(m[3].texto, "A pasta " + pen + "/BackupQuarda já existe.");
        QCOMPARE(QDir(pen).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"BackupQuarda"});
        QVERIFY(destino->isVisible() && w<QLineEdit>(j, "txtcaminho")->text() == pen);
        w<QPushButton>(j, "cmdsai")->click();
        QTRY_VERIFY(!Janelas::instancia("frmbackup"));
    }

    void janelaCopiaEMostraResultado_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::addColumn<bool>("existe");
        QTest::newRow("backup") << true << true;
        QTest::newRow("backup para pasta ausente") << true << false;
        QTest::newRow("restaurar") << false << true;
        QTest::newRow("restaurar de pasta ausente") << false << false;
    }
    void janelaCopiaEMostraResultado()
    {
        QFETCH(bool, backup);
        QFETCH(bool, existe);
        const QString p = pasta("janela") + (existe ? "" : "/nao-existe");
        if (!backup && existe)
            escreve(p + "/cadastrocd.mdb", modelo_);
        Comandos::executa(backup ? "mnucriabackup" : "mnurestaurabackup");
        auto* j = Janelas::instancia<FrmBackup>("frmbackup");
        QVERIFY(QTest::qWaitForWindowExposed(j));
        w<QLineEdit>(j, "txtcaminho")->setText(p);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QTest::keyClick(w(j, "txtcaminho"), Qt::Key_Return);   // Enter presses "Avançar"
        QCOMPARE(w<QLineEdit>(j, "txttamanho")->text(), existe ? QString::number(modelo_.size()) + " bytes" : "0 bytes");
        QCOMPARE(w(j, "Framesucesso")->isVisible(), existe);
        QCOMPARE(w(j, "Framedestino")->isVisible() && w(j, "cmdavancar")->isEnabled(), !existe);
        QCOMPARE(w<QTimer>(j, backup ? "Timer1" : "Timer2")->isActive(), existe);
        QVERIFY(!existe || w<QLabel>(j, "lblstatus")->text().endsWith(backup ? p + "/cadastrocd.mdb" : banco()));
        // Clicked as the user does, through the window: after the please-wait window the program takes input again.
        QWidget* sair = w(j, existe ? "Cmdvoltar" : "cmdsai");
        QTest::mouseClick(sair->window()->windowHandle(), Qt::LeftButton, {}, sair->mapTo(sair->window(), sair->rect().center()));
        QTRY_VERIFY(!Janelas::instancia("frmbackup"));
        QVERIFY(conteudo(banco()) == modelo_ && (!existe || conteudo(p + "/cadastrocd.mdb") == modelo_));
        QCOMPARE(dizimistas(), 2000);
    }

    void backupAutomatico()
    {
        auto* principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        auto* item = principal->findChild<QAction*>("mnubackupauto");
        const QString a = pasta("pen-a"), b = pasta("pen-b"), c = pasta("pen-c");
        const QString copia = b + "/backup" + QDate::currentDate().toString("ddMMyyyy") + "/cadastrocd.mdb";
        const auto inicia = [&](const QStringList& unidades) {
            Dialogos::limpa();
            g_unidades = unidades;
            item->trigger();
        };
        principal->atualizaitens();
        QVERIFY(item->isEnabled());
        inicia({"/", a});
        QVERIFY(principal->temporefresh()->isActive() && FrmAguarde::aberta() && FrmAguarde::maximo() == 10);
        QCOMPARE(principal->lblnumdrives()->text() + QString::number(principal->drives()->count()), QString("22"));
        QCOMPARE(FrmAguarde::legenda(), QString("Insira o Pen Drive para backup automático..."));
        // No new drive: the bar runs 1 to 10 and again, the toolbar comes back, nothing is copied.
        QList<int> barra;
        for (int i = 0; i < 11; ++i) {
            mostrabarraprincipal(false);
            Comandos::executa("temporefresh");
            barra << FrmAguarde::valor();
            QVERIFY(!principal->barraprincipal()->isHidden());
        }
        QCOMPARE(barra, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}));
        // One drive out and another in: the new mount point is the new drive. The timer's own tick copies, once.
        g_unidades = QStringList{"/", b};
        QTRY_VERIFY_WITH_TIMEOUT(!principal->temporefresh()->isActive(), 3000);
        Comandos::executa("temporefresh");   // a tick queued before the timer stopped
        QVERIFY(conteudo(copia) == modelo_ && !FrmAguarde::aberta() && !Janelas::instancia("frmbackup"));
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QVERIFY(Dialogos::ultimo().texto == "Backup Realizado com sucesso!" && Dialogos::ultimo().estilo == 64);

        // No success message without a copy: the same day's file kept, or a drive that cannot take it.
        for (const QString& nova : {b, c + "/arquivo"}) {
            inicia({"/"});
            escreve(copia, "a de hoje cedo");
            escreve(c + "/arquivo", "não é pasta");
            g_unidades << nova;
            Dialogos::respondeMsgbox(Dialogos::Nao);
            Comandos::executa("temporefresh");
            QCOMPARE(Dialogos::registros("msgbox").size(), 1);
            QVERIFY(Dialogos::ultimo().texto.endsWith(SUBSTITUIR) || Dialogos::ultimo().texto.startsWith("Erro na Cópia"));
            QCOMPARE(conteudo(copia), QByteArray("a de hoje cedo"));
        }
        // fechajanelas while it waits: nothing is copied afterwards.
        inicia({"/"});
        fechajanelas();
        QVERIFY(!principal->temporefresh()->isActive() && !FrmAguarde::aberta());
        g_unidades = QStringList{"/", a};
        QTest::qWait(1300);
        QVERIFY(arquivos(a).isEmpty() && QDir(a).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
        QVERIFY(Dialogos::registros().isEmpty() && conteudo(banco()) == modelo_);
    }
};

TIVANE_TEST_MAIN(TstBackup)
#include "tst_backup.moc"
