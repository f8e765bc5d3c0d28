#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/backup.h"
#include "shell/frmaguarde.h"
#include "shell/frmbackup.h"
#include "shell/frmprincipal.h"

#include <QtWidgets>
#include <csignal>
#include <sqlcipher/sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tivane;

namespace {

QByteArray conteudo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void escreve(const QString& caminho, const QByteArray& dados)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(dados), dados.size());
}
QByteArray aleatorio(qint64 n)
{
    QByteArray b(int(n), Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (auto& c : b) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = char(x);
    }
    return b;
}
// A fresh folder of its own under the test's home.
QString pasta(const QString& nome)
{
    static int n = 0;
    const QString p = teste::pastaTemporaria() + "/" + nome + QString::number(++n);
    QDir().mkpath(p);
    return p;
}
// Files of a folder, hidden ones (a leftover temporary copy) included.
QStringList arquivos(const QString& p) { return QDir(p).entryList(QDir::Files | QDir::Hidden | QDir::System); }
qint64 dizimistas()
{
    Escopo e = abreconexaodizimistas();
    Consulta c("SELECT count(*) FROM dizimistas");
    return c.next() ? c.inteiro(0) : -1;
}

// Runs f in a child process, under a limit on the size of written files and,
// when root, as an unprivileged user (so permissions bite); its text comes back.
QString noFilho(const std::function<QString()>& f, qint64 limite = 0, bool semPrivilegio = false)
{
    int canal[2];
    if (::pipe(canal) != 0)
        return "pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(canal[0]);
        std::signal(SIGXFSZ, SIG_IGN);   // a write past the limit fails with EFBIG, like a full disk
        if (limite > 0) {
            const rlimit r{rlim_t(limite), rlim_t(limite)};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }
        if (semPrivilegio && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const QByteArray saida = f().toUtf8();
        if (::write(canal[1], saida.constData(), size_t(saida.size())) < 0)
            ::_exit(3);
        ::_exit(0);
    }
    ::close(canal[1]);
    QByteArray lido;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(canal[0], buf, sizeof buf)) > 0)
        lido.append(buf, int(n));
    ::close(canal[0]);
    int estado = 0;
    ::waitpid(pid, &estado, 0);
    return QString::fromUtf8(lido);
}
QString copiaNoFilho(const QString& origem, const QString& destino, qint64 limite, bool semPrivilegio)
{
    return noFilho([=] {
        const ResultadoCopia r = copiaarquivo(origem, destino);
        return (r.ok ? "ok:" : "falha:") + r.motivo;
    }, limite, semPrivilegio);
}

QStringList g_unidades;
const QString MESMO = "O Arquivo de origem é o mesmo de destino, o Backup não pode continuar!";
const QString SUBSTITUIR = "\r\nJá existe o arquivo neste diretório, Substituir?";

}  // namespace

class TstBackup : public QObject {
    Q_OBJECT
    QString dados_;       // data folder, with the separator
    QByteArray modelo_;   // a copy of the live database with rows

    QString banco() const { return Banco::caminhoArquivo(); }
    template <typename T> T* filho(QWidget* j, const char* nome) { return j->findChild<T*>(QString::fromLatin1(nome)); }

private Q_SLOTS:
    void initTestCase()
    {
        dados_ = teste::criaBancoTeste();
        teste::sql("BEGIN");
        for (int i = 1; i <= 2000; ++i)
            teste::sql(QString("INSERT INTO dizimistas (codigo, nome) VALUES ('%1', 'José Conceição %1')").arg(i, 4, 10, QChar('0')));
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

    // ---- The copy -----------------------------------------------------------

    void copiaInteiraPorBlocos_data()
    {
        QTest::addColumn<qint64>("tamanho");
        QTest::addColumn<bool>("existe");   // a file, and a journal beside it, already at the target
        QTest::newRow("vazio") << qint64(0) << false;
        QTest::newRow("1024") << qint64(1024) << false;
        QTest::newRow("1025 sobre outro") << qint64(1025) << true;
        QTest::newRow("um bloco e um byte") << qint64(4 * 1024 * 1024 + 1) << true;
        QTest::newRow("vários blocos") << qint64(9 * 1024 * 1024 + 7) << false;
    }
    void copiaInteiraPorBlocos()
    {
        QFETCH(qint64, tamanho);
        QFETCH(bool, existe);
        const QString de = pasta("de"), para = pasta("para");
        const QByteArray dados = aleatorio(tamanho);
        escreve(de + "/cadastrocd.mdb", dados);
        if (existe) {
            escreve(para + "/cadastrocd.mdb", "velho");
            escreve(para + "/cadastrocd.mdb-journal", "diário do velho");
        }
        QList<qint64> andamento;
        const ResultadoCopia r = copiaarquivo(de + "/cadastrocd.mdb", para + "/cadastrocd.mdb",
                                              [&](qint64 n) { andamento << n; });
        QVERIFY2(r.ok, qPrintable(r.motivo));
        QCOMPARE(r.tamanho, tamanho);
        QVERIFY(conteudo(para + "/cadastrocd.mdb") == dados);
        QCOMPARE(arquivos(para), QStringList{"cadastrocd.mdb"});   // no temporary file, no stale journal
        QCOMPARE(andamento.size(), int((tamanho + 4 * 1024 * 1024 - 1) / (4 * 1024 * 1024)));
    }

    void copiaQueFalhaNaoTocaNoAlvo_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("origem ausente") << "origem ausente" << "o arquivo de origem não foi encontrado";
        QTest::newRow("pasta ausente") << "pasta ausente" << "a pasta de destino não existe";
        QTest::newRow("destino é pasta") << "destino é pasta" << "o destino é uma pasta";
        QTest::newRow("disco cheio") << "disco cheio" << "o disco de destino está cheio";
        QTest::newRow("pasta somente leitura") << "somente leitura" << "a pasta de destino não permite gravação";
        QTest::newRow("drive removido: origem encurta") << "origem encurta" << "terminou antes do fim esperado";
        QTest::newRow("drive removido: pasta some") << "pasta some" << "a pasta de destino não existe mais";
    }
    void copiaQueFalhaNaoTocaNoAlvo()
    {
        QFETCH(QString, caso);
        QFETCH(QString, motivo);
        // Outside the test's private home, so an unprivileged child can reach it.
        QTemporaryDir base(QDir::tempPath() + "/tivane-copia-XXXXXX");
        QFile::setPermissions(base.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                               | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        const QString origem = base.path() + "/origem/cadastrocd.mdb", para = base.path() + "/para";
        QString destino = para + "/cadastrocd.mdb";
        escreve(origem, aleatorio(9 * 1024 * 1024));
        QFile::setPermissions(origem, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup);
        QFile::setPermissions(QFileInfo(origem).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                                     | QFile::ReadOther | QFile::ExeOther);
        escreve(destino, "a cópia de ontem");
        QString texto;
        if (caso == "origem ausente") {
            texto = copiaarquivo(origem + ".nao", destino).motivo;
        } else if (caso == "pasta ausente") {
            texto = copiaarquivo(origem, base.path() + "/nao/cadastrocd.mdb").motivo;
        } else if (caso == "destino é pasta") {
            QDir().mkpath(para + "/pasta.mdb");
            texto = copiaarquivo(origem, para + "/pasta.mdb").motivo;
        } else if (caso == "disco cheio") {
            texto = copiaNoFilho(origem, destino, 1024 * 1024, false);
            QVERIFY2(texto.startsWith("falha:"), qPrintable(texto));
        } else if (caso == "somente leitura") {
            QFile::setPermissions(para, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
            texto = copiaNoFilho(origem, destino, 0, true);
            QFile::setPermissions(para, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QVERIFY2(texto.startsWith("falha:"), qPrintable(texto));
        } else if (caso == "origem encurta") {
            const ResultadoCopia r = copiaarquivo(origem, destino, [&](qint64) { QFile::resize(origem, 100); });
            QVERIFY(!r.ok && r.tamanho == 0);
            texto = r.motivo;
        } else {
            destino = base.path() + "/pendrive/cadastrocd.mdb";
            QDir().mkpath(base.path() + "/pendrive");
            const ResultadoCopia r = copiaarquivo(origem, destino, [&](qint64) { QDir(base.path() + "/pendrive").removeRecursively(); });
            texto = r.motivo;
            QVERIFY(!QFileInfo::exists(destino));
        }
        QVERIFY2(texto.contains(motivo), qPrintable(texto));
        QCOMPARE(conteudo(para + "/cadastrocd.mdb"), QByteArray("a cópia de ontem"));
        QVERIFY(arquivos(para).size() == 1);   // no temporary file left behind
    }

    void mesmoArquivo_data()
    {
        QTest::addColumn<QString>("outro");   // relative to the folder above the data folder
        QTest::addColumn<bool>("mesmo");
        const QString nome = QDir(dados_).dirName();
        QTest::newRow("mesmo texto") << nome + "/cadastrocd.mdb" << true;
        QTest::newRow("com ..") << nome + "/../" + nome + "/./cadastrocd.mdb" << true;
        QTest::newRow("separador dobrado") << nome + "//cadastrocd.mdb" << true;
        QTest::newRow("pasta por link") << "atalho/cadastrocd.mdb" << true;
        QTest::newRow("arquivo por link") << "banco.mdb" << true;
        QTest::newRow("outra pasta") << "outra/cadastrocd.mdb" << false;
        QTest::newRow("outra pasta com cópia") << "copia/cadastrocd.mdb" << false;
        QTest::newRow("maiúsculas são outra pasta") << nome.toUpper() + "/cadastrocd.mdb" << false;
    }
    void mesmoArquivo()
    {
        QFETCH(QString, outro);
        QFETCH(bool, mesmo);
        const QString acima = QFileInfo(QDir::cleanPath(dados_)).absolutePath();
        QFile::link(QDir::cleanPath(dados_), acima + "/atalho");
        QFile::link(banco(), acima + "/banco.mdb");
        QDir().mkpath(acima + "/outra");
        escreve(acima + "/copia/cadastrocd.mdb", modelo_);
        QCOMPARE(mesmoarquivo(banco(), acima + "/" + outro), mesmo);
        QCOMPARE(mesmoarquivo("  " + acima + "/" + outro + " ", banco()), mesmo);   // outer spaces do not count
    }

    void nomesTamanhosEUnidades()
    {
        QCOMPARE(textotamanho(16777217), QString("16777217 bytes"));   // past what single precision keeps
        QCOMPARE(textotamanho(5000000001LL), QString("5000000001 bytes"));
        QCOMPARE(caminhoescolhido(" /media/pen "), QString("/media/pen/cadastrocd.mdb"));
        QCOMPARE(caminhoescolhido("/media/pen/"), QString("/media/pen/cadastrocd.mdb"));
        QCOMPARE(pastabackupautomatico("/media/pen", QDate(2015, 1, 5)), QString("/media/pen/backup05012015"));
        QCOMPARE(pastabackupautomatico("/", QDate(2015, 12, 31)), QString("/backup31122015"));
        QCOMPARE(unidadenova({"/", "/media/a"}, {"/", "/media/a"}), QString());
        QCOMPARE(unidadenova({"/", "/media/a"}, {"/", "/media/b"}), QString("/media/b"));   // one out, another in
        QCOMPARE(unidadenova({"/", "/media/b"}, {"/", "/media/a", "/media/b", "/media/c"}), QString("/media/c"));
        QCOMPARE(unidadenova({"/", "/media/a"}, {"/"}), QString());
        defineFonteUnidades(nullptr);   // the real drives: the root first, no pseudo file systems
        const QStringList reais = listaunidades();
        defineFonteUnidades([] { return g_unidades; });
        QCOMPARE(reais.value(0), QString("/"));
        for (const QString& u : reais)
            QVERIFY2(!u.startsWith("/proc") && !u.startsWith("/sys") && !u.startsWith("/snap/") && !u.startsWith("/dev")
                         && QFileInfo(u).isDir(), qPrintable(u));
    }

    // ---- Backup and restore -------------------------------------------------

    void idaEVoltaByteAByte()
    {
        const QString destino = pasta("pendrive");
        QCOMPARE(dizimistas(), 2000);
        QCOMPARE(executabackup(ModoBackup::Backup, destino + "/").tamanho, qint64(modelo_.size()));
        QVERIFY(Banco::conexao());   // open again after the copy
        QVERIFY(conteudo(destino + "/cadastrocd.mdb") == modelo_);
        teste::sql("DELETE FROM dizimistas WHERE codigo > '0100'");
        QCOMPARE(dizimistas(), 100);

        Dialogos::respondeMsgbox(Dialogos::Sim);   // replace the live file
        const ResultadoBackup r = executabackup(ModoBackup::Restauracao, destino);
        QCOMPARE(r.tamanho, qint64(modelo_.size()));
        QCOMPARE(Dialogos::ultimo().texto, banco().toUpper() + SUBSTITUIR);
        Banco::closeAll();
        QVERIFY(conteudo(banco()) == modelo_);
        QCOMPARE(arquivos(dados_), QStringList{"cadastrocd.mdb"});
        // The program goes on without a restart, on the restored records.
        QCOMPARE(dizimistas(), 2000);
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('9999', 'Depois')"));
        QCOMPARE(dizimistas(), 2001);
    }

    void restauracaoRecusada_data()
    {
        QTest::addColumn<QByteArray>("dados");   // null: no file
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("origem ausente") << QByteArray() << "Não foi possível encontrar o banco de dados";
        QTest::newRow("vazio") << QByteArray("") << "o arquivo está vazio";
        QTest::newRow("outro programa") << QByteArray("PK\x03\x04 planilha").repeated(300) << "não é um banco de dados do Tivane";
        QByteArray outraChave = modelo_;
        outraChave[3] = char(outraChave[3] ^ 0x55);
        QTest::newRow("outra chave") << outraChave << "não abre com a senha";
        QTest::newRow("truncado") << modelo_.left(modelo_.size() / 2) << "danificado";
        QByteArray pagina = modelo_;
        for (int i = 0; i < 1024; ++i)
            pagina[pagina.size() / 2 / 1024 * 1024 + i] = char(i * 13);
        QTest::newRow("página estragada") << pagina << "danificado";
        QTest::newRow("sem as quatro tabelas") << QByteArray("SEM-TABELAS") << "faltam as tabelas";
    }
    void restauracaoRecusada()
    {
        QFETCH(QByteArray, dados);
        QFETCH(QString, mensagem);
        const QString origem = pasta("origem");
        if (dados == "SEM-TABELAS") {
            QVERIFY(Banco::criaBancoVazio(origem + "/cadastrocd.mdb"));
            sqlite3* db = nullptr;
            sqlite3_open(QFile::encodeName(origem + "/cadastrocd.mdb").constData(), &db);
            sqlite3_exec(db, "PRAGMA key = 'qorm64'; DROP TABLE pagamentos;", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else if (!dados.isNull()) {
            escreve(origem + "/cadastrocd.mdb", dados);
        }
        Dialogos::respondeMsgbox(Dialogos::Sim);   // would replace, were it asked
        QCOMPARE(executabackup(ModoBackup::Restauracao, origem).tamanho, qint64(0));
        const Dialogos::Registro m = Dialogos::ultimo("msgbox");
        QVERIFY2(m.texto.contains(mensagem) && m.estilo == 48, qPrintable(m.texto));
        if (!dados.isNull())
            QVERIFY(m.texto.endsWith("O banco de dados atual não foi alterado."));
        Banco::closeAll();
        QVERIFY(conteudo(banco()) == modelo_);
        QCOMPARE(dizimistas(), 2000);
    }

    void destinoRecusado_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QString>("escolhida");   // "@" is the data folder
        QTest::addColumn<int>("resposta");        // to the first question asked
        QTest::addColumn<QString>("mensagem");
        const int backup = int(ModoBackup::Backup), restauracao = int(ModoBackup::Restauracao);
        QTest::newRow("pasta ausente") << backup << "@/../nao-existe" << 0 << "A pasta de destino não existe: ";
        QTest::newRow("nada escolhido") << backup << "   " << 0 << "Escolha a pasta de destino do backup.";
        QTest::newRow("pasta de dados") << backup << "@" << 0 << MESMO;
        QTest::newRow("pasta de dados sem separador") << backup << "@/." << 0 << MESMO;
        QTest::newRow("pasta de dados, restaurar") << restauracao << "@/../" + QDir(dados_).dirName() << 0 << MESMO;
        QTest::newRow("substituir? Não") << backup << "copia" << int(Dialogos::Nao) << SUBSTITUIR;
        QTest::newRow("banco danificado, copiar? Não") << backup << "danificado" << int(Dialogos::Nao)
                                                         << "Deseja copiar o arquivo mesmo assim?";
        QTest::newRow("disco cheio") << backup << "cheio" << 0 << "Erro na Cópia dos Arquivos: o disco de destino está cheio.";
    }
    void destinoRecusado()
    {
        QFETCH(int, modo);
        QFETCH(QString, escolhida);
        QFETCH(int, resposta);
        QFETCH(QString, mensagem);
        QString p = escolhida;
        p.replace("@", QDir::cleanPath(dados_));
        QByteArray vivo = modelo_;
        if (escolhida == "copia" || escolhida == "cheio") {
            p = pasta(escolhida);
            escreve(p + "/cadastrocd.mdb", "a cópia de ontem");
            resposta = escolhida == "cheio" ? int(Dialogos::Sim) : resposta;
        } else if (escolhida == "danificado") {
            p = pasta(escolhida);
            for (int i = 0; i < 1024; ++i)
                vivo[vivo.size() / 2 / 1024 * 1024 + i] = char(i * 7);
            escreve(banco(), vivo);
        }
        if (resposta)
            Dialogos::respondeMsgbox(resposta);
        if (escolhida == "cheio") {
            const QString texto = noFilho([&] {
                executabackup(ModoBackup(modo), p);
                return Dialogos::ultimo("msgbox").texto;
            }, modelo_.size() / 2);
            QVERIFY2(texto.startsWith(mensagem), qPrintable(texto));
        } else {
            QCOMPARE(executabackup(ModoBackup(modo), p).tamanho, qint64(0));
            QVERIFY2(Dialogos::ultimo("msgbox").texto.contains(mensagem), qPrintable(Dialogos::ultimo().texto));
        }
        if (escolhida == "copia" || escolhida == "cheio")
            QCOMPARE(conteudo(p + "/cadastrocd.mdb"), QByteArray("a cópia de ontem"));
        Banco::closeAll();
        QVERIFY(conteudo(banco()) == vivo);
        QCOMPARE(arquivos(dados_), QStringList{"cadastrocd.mdb"});
    }

    // ---- The window ---------------------------------------------------------

    void janelaEmCadaModo()
    {
        const QString pen = pasta("pen");
        g_unidades = QStringList{"/", pen, teste::pastaTemporaria() + "/nao-montado"};
        QVERIFY(Comandos::executa("mnucriabackup"));
        auto* j = Janelas::instancia<FrmBackup>("frmbackup");
        QVERIFY(j);
        QCOMPARE(j->windowTitle(), QString("Backup do Banco de Dados do Tivane Dízimos"));
        auto* destino = filho<QGroupBox>(j, "Framedestino");
        QCOMPARE(destino->title(), QString("Selecione o destino"));
        QVERIFY(destino->isVisible() && filho<QWidget>(j, "Frame1")->isVisible() && !filho<QWidget>(j, "Frame2")->isVisible());
        QVERIFY(!filho<QWidget>(j, "Framesucesso")->isVisible() && !filho<QWidget>(j, "Framenovapasta")->isVisible());
        auto* caminho = filho<QLineEdit>(j, "txtcaminho");
        QCOMPARE(caminho->text(), QString("/"));
        auto* drive = filho<QComboBox>(j, "Drive1");
        QCOMPARE(drive->count(), 3);
        QCOMPARE(drive->currentText(), QString("/"));

        // A drive that cannot be read keeps the one before; a good one lists its folders.
        drive->setCurrentIndex(2);
        QCOMPARE(Dialogos::ultimo().texto, QString("Erro ao Acessar Drive"));
        QCOMPARE(Dialogos::ultimo().estilo, 16);
        QCOMPARE(drive->currentText(), QString("/"));
        drive->setCurrentIndex(1);
        QCOMPARE(caminho->text(), pen);
        QDir().mkpath(pen + "/sub");
        j->definepasta(pen + "/sub");
        QCOMPARE(caminho->text(), pen + "/sub");
        QCOMPARE(j->pastaatual(), pen + "/sub");

        QVERIFY(Comandos::executa("mnurestaurabackup"));
        QCOMPARE(Janelas::instancia<FrmBackup>("frmbackup"), j);
        QCOMPARE(destino->title(), QString("Selecione a origem"));
        QVERIFY(!filho<QWidget>(j, "Frame1")->isVisible() && filho<QWidget>(j, "Frame2")->isVisible());
        filho<QPushButton>(j, "cmdsai")->click();
        QTRY_VERIFY(!Janelas::instancia("frmbackup"));
    }

    void janelaCopiaEMostraResultado_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<bool>("pastaexiste");
        QTest::newRow("backup") << int(ModoBackup::Backup) << true;
        QTest::newRow("backup para pasta ausente") << int(ModoBackup::Backup) << false;
        QTest::newRow("restaurar") << int(ModoBackup::Restauracao) << true;
        QTest::newRow("restaurar de pasta ausente") << int(ModoBackup::Restauracao) << false;
    }
    void janelaCopiaEMostraResultado()
    {
        QFETCH(int, modo);
        QFETCH(bool, pastaexiste);
        const bool backup = modo == int(ModoBackup::Backup);
        QString p = pasta("janela");
        if (!backup)
            escreve(p + "/cadastrocd.mdb", modelo_);
        if (!pastaexiste)
            p += "/nao-existe";
        Comandos::executa(backup ? "mnucriabackup" : "mnurestaurabackup");
        auto* j = Janelas::instancia<FrmBackup>("frmbackup");
        QVERIFY(QTest::qWaitForWindowExposed(j));
        filho<QLineEdit>(j, "txtcaminho")->setText(p);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QTest::keyClick(filho<QLineEdit>(j, "txtcaminho"), Qt::Key_Return);   // Enter presses "Avançar"
        auto* tamanho = filho<QLineEdit>(j, "txttamanho");
        if (pastaexiste) {
            QCOMPARE(tamanho->text(), QString::number(modelo_.size()) + " bytes");
            QVERIFY(filho<QWidget>(j, "Framesucesso")->isVisible() && !filho<QWidget>(j, "Framedestino")->isVisible());
            QVERIFY(filho<QTimer>(j, backup ? "Timer1" : "Timer2")->isActive());
            QVERIFY(filho<QLabel>(j, "lblstatus")->text().contains(backup ? p + "/cadastrocd.mdb" : banco()));
            QVERIFY(conteudo(p + "/cadastrocd.mdb") == modelo_);
            filho<QPushButton>(j, "Cmdvoltar")->click();
        } else {
            QCOMPARE(tamanho->text(), QString("0 bytes"));
            QVERIFY(!filho<QWidget>(j, "Framesucesso")->isVisible() && filho<QWidget>(j, "Framedestino")->isVisible());
            QVERIFY(!filho<QTimer>(j, "Timer1")->isActive() && filho<QPushButton>(j, "cmdavancar")->isEnabled());
            QCOMPARE(Dialogos::ultimo().estilo, 48);
            filho<QPushButton>(j, "cmdsai")->click();
        }
        QTRY_VERIFY(!Janelas::instancia("frmbackup"));
        QCOMPARE(dizimistas(), 2000);
    }

    void novaPasta()
    {
        const QString base = pasta("base");
        Comandos::executa("mnucriabackup");
        auto* j = Janelas::instancia<FrmBackup>("frmbackup");
        j->definepasta(base);
        auto* nova = filho<QWidget>(j, "Framenovapasta");
        auto* nome = filho<QLineEdit>(j, "txtpasta");
        const auto abre = [&] {
            filho<QPushButton>(j, "cmdnovapasta")->click();
            QVERIFY(nova->isVisible() && !filho<QWidget>(j, "Framedestino")->isVisible());
            QCOMPARE(nome->text(), QString("BackupQuarda"));
            QCOMPARE(filho<QLabel>(j, "lblcaminho")->text(), base);
        };
        abre();
        filho<QPushButton>(j, "cmdcriar")->click();
        QVERIFY(QFileInfo(base + "/BackupQuarda").isDir());
        QVERIFY(!nova->isVisible() && filho<QWidget>(j, "Framedestino")->isVisible());
        QCOMPARE(filho<QLineEdit>(j, "txtcaminho")->text(), base);   // the new folder is not chosen
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        // Bad names and an existing folder: a message, and nothing else is created.
        for (const QString& ruim : {QString("a/b"), QString(".."), QString("  ")}) {
            abre();
            nome->setText(ruim);
            QTest::keyClick(nome, Qt::Key_Return);
            QVERIFY2(Dialogos::ultimo().texto.startsWith("Nome de pasta inválido"), qPrintable(ruim));
            QVERIFY(nova->isVisible());
            filho<QPushButton>(j, "cmdsair")->click();
        }
        abre();
        filho<QPushButton>(j, "cmdcriar")->click();
        QCOMPARE(Dialogos::ultimo().texto, "A pasta " + base + "/BackupQuarda já existe.");
        QCOMPARE(QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"BackupQuarda"});
        fechajanelas();
        QTRY_VERIFY(!Janelas::instancia("frmbackup"));
    }

    // ---- Automatic backup ---------------------------------------------------

    void backupAutomatico()
    {
        auto* principal = qobject_cast<FrmPrincipal*>(Janelas::abre("frmprincipal"));
        QVERIFY(principal);
        auto* item = principal->findChild<QAction*>("mnubackupauto");
        const QString a = pasta("pendrive-a"), b = pasta("pendrive-b"), c = pasta("pendrive-c");
        const QString dia = "backup" + QDate::currentDate().toString("ddMMyyyy");
        const auto tick = [] { QVERIFY(Comandos::executa("temporefresh")); };

        g_unidades = QStringList{"/", a};
        principal->atualizaitens();
        QVERIFY(item->isEnabled());
        item->trigger();
        QVERIFY(principal->temporefresh()->isActive());
        QCOMPARE(principal->lblnumdrives()->text(), QString("2"));
        QCOMPARE(principal->drives()->count(), 2);
        QVERIFY(FrmAguarde::aberta());
        QCOMPARE(Janelas::instancia("frmaguarde")->windowTitle(), QString("Insira o Pen Drive para backup automático..."));
        QCOMPARE(FrmAguarde::maximo(), 10);
        // No new drive: the bar runs 1 to 10 and again, the toolbar comes back, nothing is copied.
        QList<int> barra;
        for (int i = 0; i < 11; ++i) {
            mostrabarraprincipal(false);
            tick();
            barra << FrmAguarde::valor();
            QVERIFY(!principal->barraprincipal()->isHidden());
        }
        QCOMPARE(barra, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}));
        QVERIFY(!QFileInfo::exists(a + "/" + dia) && Dialogos::registros().isEmpty());

        // One drive out and another in: the new mount point is the new drive. The timer's own tick copies.
        g_unidades = QStringList{"/", b};
        QTRY_VERIFY_WITH_TIMEOUT(!principal->temporefresh()->isActive(), 3000);
        QVERIFY(conteudo(b + "/" + dia + "/cadastrocd.mdb") == modelo_);
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QCOMPARE(Dialogos::ultimo().texto, QString("Backup Realizado com sucesso!"));
        QCOMPARE(Dialogos::ultimo().estilo, 64);
        QVERIFY(!FrmAguarde::aberta() && !Janelas::instancia("frmbackup"));
        tick();   // a tick queued before the timer stopped: it copies once
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);

        // The same day on the same drive: the replace question; No means no success message.
        Dialogos::limpa();
        g_unidades = QStringList{"/"};
        item->trigger();
        g_unidades = QStringList{"/", b};
        escreve(b + "/" + dia + "/cadastrocd.mdb", "a de hoje cedo");
        Dialogos::respondeMsgbox(Dialogos::Nao);
        tick();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QVERIFY(Dialogos::ultimo().texto.endsWith(SUBSTITUIR));
        QCOMPARE(conteudo(b + "/" + dia + "/cadastrocd.mdb"), QByteArray("a de hoje cedo"));

        // A drive that cannot take the copy: its message, and no success message.
        Dialogos::limpa();
        g_unidades = QStringList{"/"};
        item->trigger();
        g_unidades = QStringList{"/", teste::pastaTemporaria() + "/arquivo-nao-pasta"};
        escreve(teste::pastaTemporaria() + "/arquivo-nao-pasta", "x");
        tick();
        QCOMPARE(Dialogos::registros("msgbox").size(), 1);
        QVERIFY(Dialogos::ultimo().texto.startsWith("Erro na Cópia dos Arquivos"));

        // fechajanelas while it waits: nothing is copied afterwards.
        Dialogos::limpa();
        g_unidades = QStringList{"/"};
        item->trigger();
        fechajanelas();
        QVERIFY(!principal->temporefresh()->isActive() && !FrmAguarde::aberta());
        g_unidades = QStringList{"/", c};
        QTest::qWait(1300);
        QVERIFY(!QFileInfo::exists(c + "/" + dia) && Dialogos::registros().isEmpty());
        Banco::closeAll();
        QVERIFY(conteudo(banco()) == modelo_);
    }
};

TIVANE_TEST_MAIN(TstBackup)
#include "tst_backup.moc"
