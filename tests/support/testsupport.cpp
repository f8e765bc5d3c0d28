#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/permissoes.h"
#include "core/registro.h"
#include "shell/aberturabanco.h"

#include <QDir>
#include <QProcess>
#include <sqlcipher/sqlite3.h>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <link.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace teste {

namespace {
QTemporaryDir* g_dir = nullptr;
int g_bancos = 0;
bool g_semMontagens = false;
const char* const SEM_MONTAGENS = "TIVANE_TESTE_SEM_MONTAGENS";
void naoEncerra(int) {}

// Runs a row of this program again in a child; true when it ran and passed.
bool executaLinha(const QString& programa, const QStringList& argumentos, const QProcessEnvironment& ambiente,
                  const QString& pasta, QString* saida)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setProcessEnvironment(ambiente);
    if (!pasta.isEmpty())
        p.setWorkingDirectory(pasta);
    p.start(programa, argumentos);
    const bool terminou = p.waitForFinished(120000);
    *saida = QString::fromLocal8Bit(p.readAll());
    if (!terminou)
        p.kill();
    // A row that skipped did not run.
    return terminou && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && saida->contains("PASS   : ")
           && !saida->contains("SKIP   : ");
}

// Whether an account that neither owns the file nor is in its group reaches it:
// every folder above it lets others through, and others may read it.
bool outrosAlcancam(const QString& caminho)
{
    const QString real = QFileInfo(caminho).canonicalFilePath();
    struct stat st;
    if (real.isEmpty() || ::stat(QFile::encodeName(real).constData(), &st) != 0 || !(st.st_mode & S_IROTH))
        return false;
    for (QDir d = QFileInfo(real).absoluteDir();; d.cdUp()) {
        if (::stat(QFile::encodeName(d.absolutePath()).constData(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
        if (d.isRoot())
            return true;
    }
}

// Hides the mount table from this process (in a mount namespace of its own):
// an empty file over both of the kernel's lists.
void ocultaMontagens()
{
    const QByteArray vazio = QFile::encodeName(g_dir->path() + "/montagens-ocultas");
    QFile(QFile::decodeName(vazio)).open(QIODevice::WriteOnly);
    for (const char* lista : {"/proc/self/mountinfo", "/proc/self/mounts"})
        if (::mount(vazio.constData(), lista, nullptr, MS_BIND, nullptr) != 0)
            qFatal("could not hide %s: %s", lista, strerror(errno));
    g_semMontagens = true;
}

// unshare's options for a mount namespace of its own; not root, in a user namespace
// of its own too, where it may mount (refused in a chroot).
QStringList argumentosSemMontagens()
{
    return (::geteuid() != 0 ? QStringList{"--user", "--map-root-user"} : QStringList())
           + QStringList{"--mount", "--propagation", "private", "--"};
}
}  // namespace

void preparaAmbiente()
{
    g_dir = new QTemporaryDir(QDir::tempPath() + "/tivane-teste-XXXXXX");
    const QByteArray home = QFile::encodeName(g_dir->path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_RUNTIME_DIR", home + "/run");
    QDir().mkpath(g_dir->path() + "/run");
    QFile::setPermissions(g_dir->path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Before Qt starts any thread.
    if (qEnvironmentVariableIsSet(SEM_MONTAGENS)) {
        qunsetenv(SEM_MONTAGENS);
        ocultaMontagens();
    }
    // No printing service: the machine's printers (a default one above all)
    // change what printing does, so the tests see none and print to files.
    qputenv("CUPS_SERVER", home + "/sem-cups.sock");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program runs in Brazilian Portuguese whatever the machine's language; so do the tests.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    tivane::Dialogos::ativaModoTeste(true);
    tivane::defineEncerramento(naoEncerra);
    tivane::Banco::defineTratamentoAbertura(tivane::tratafalhaabertura);
    tivane::Banco::defineAvisoPastaInsegura(tivane::avisapastainsegura);
}

void encerraAmbiente()
{
    tivane::Banco::closeAll();
    delete g_dir;
    g_dir = nullptr;
}

QString pastaTemporaria()
{
    return g_dir ? g_dir->path() : QDir::tempPath();
}

QString criaBancoTeste(const QString& nome)
{
    tivane::Banco::closeAll();
    const QString pasta = pastaTemporaria() + "/" + nome + QString::number(++g_bancos);
    QDir().mkpath(pasta);
    if (!tivane::gravatextopadrao("caminhopadrao", pasta))
        qFatal("could not write the test data folder setting");
    QString erro;
    if (!tivane::Banco::criaBancoVazio(tivane::Banco::caminhoArquivo(), &erro))
        qFatal("could not create test database: %s", qPrintable(erro));
    if (!tivane::Banco::conecta(&erro))
        qFatal("could not open test database: %s", qPrintable(erro));
    return tivane::retornacaminhopadrao();
}

void limpaBanco()
{
    QString erro;
    if (!tivane::Banco::conecta(&erro))
        QTest::qFail(qPrintable("could not open the test database: " + erro), __FILE__, __LINE__);
    sql("DELETE FROM dizimistas");
    sql("DELETE FROM usuarios");
    sql("DELETE FROM pagamentos");
    sql("DELETE FROM igreja");
    sql("INSERT INTO igreja (sobra) VALUES ('1')");
}

bool sql(const QString& comando)
{
    QString erro;
    if (!tivane::Banco::conecta(&erro)) {
        qWarning("SQL not run, the database did not open: %s: %s", qPrintable(comando), qPrintable(erro));
        return false;
    }
    tivane::Consulta c(comando);
    if (!c.exec()) {
        qWarning("SQL failed: %s: %s", qPrintable(comando), qPrintable(c.erro()));
        return false;
    }
    return true;
}

void limpaConfiguracoes()
{
    for (const char* app : {"TivaneDizimo", "Tivane"}) {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, "Tivane", app);
        s.clear();
        s.sync();
    }
}

QByteArray conteudo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escreve(const QString& caminho, const QByteArray& dados)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(dados) == dados.size());
}

QString pasta(const QString& nome)
{
    static int n = 0;
    const QString p = pastaTemporaria() + "/" + nome + QString::number(++n);
    QDir().mkpath(p);
    return p;
}

bool executaSemPrivilegios(const QString& funcaoELinha, QString* saida)
{
    // Root reads and writes whatever the file modes say: the row runs again
    // in a child that has dropped to the unprivileged user "nobody". What it
    // needs and cannot reach is copied into a folder of its own.
    QTemporaryDir copias(QDir::tempPath() + "/tivane-nobody-XXXXXX");
    const QString pasta = copias.path();
    const auto abre = [](const QString& caminho) { ::chmod(QFile::encodeName(caminho).constData(), 0755); };
    abre(pasta);
    const auto alcancavel = [&](const QString& caminho) {
        if (outrosAlcancam(caminho))
            return caminho;
        const QString copia = pasta + "/" + QFileInfo(caminho).fileName();
        if (!QFile::exists(copia) && QFile::copy(caminho, copia))
            abre(copia);
        return copia;
    };
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    bool copiouBiblioteca = false;
    for (const QString& b : bibliotecasCarregadas())
        copiouBiblioteca = alcancavel(b) != b || copiouBiblioteca;
    if (copiouBiblioteca) {
        const QString antes = ambiente.value("LD_LIBRARY_PATH");
        ambiente.insert("LD_LIBRARY_PATH", antes.isEmpty() ? pasta : pasta + ":" + antes);
    }
    // The sanitizers' suppression files live in the source tree.
    for (const QString& nome : ambiente.keys()) {
        if (!nome.endsWith("SAN_OPTIONS"))
            continue;
        QStringList opcoes = ambiente.value(nome).split(':');
        for (QString& o : opcoes)
            if (o.startsWith("suppressions="))
                o = "suppressions=" + alcancavel(o.mid(int(strlen("suppressions="))));
        ambiente.insert(nome, opcoes.join(':'));
    }
    return executaLinha("setpriv",
                        {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
                         alcancavel(QCoreApplication::applicationFilePath()), funcaoELinha},
                        ambiente, pasta, saida);
}

QStringList bibliotecasCarregadas()
{
    QStringList caminhos;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* dados) {
            // The program itself and the kernel's vdso have no path.
            if (info->dlpi_name && info->dlpi_name[0] == '/')
                static_cast<QStringList*>(dados)->append(QFile::decodeName(info->dlpi_name));
            return 0;
        },
        &caminhos);
    return caminhos;
}

bool podeOcultarMontagens()
{
    static const bool pode = [] {
        QProcess p;
        // The same mount the child makes, on the mount program's own table.
        p.start("unshare", argumentosSemMontagens() + QStringList{"mount", "--bind", "/dev/null", "/proc/self/mountinfo"});
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }();
    return pode;
}

bool montagensOcultas() { return g_semMontagens; }

bool executaSemMontagens(const QString& funcaoELinha, QString* saida)
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(SEM_MONTAGENS, "1");
    return executaLinha("unshare", argumentosSemMontagens() << QCoreApplication::applicationFilePath() << funcaoELinha,
                        ambiente, QString(), saida);
}

AoEvento::AoEvento(QEvent::Type tipo, const QString& nome, std::function<void(QWidget*)> f)
    : tipo_(tipo), nome_(nome), f_(std::move(f))
{
    qApp->installEventFilter(this);
}

bool AoEvento::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == tipo_ && o->isWidgetType() && (nome_.isEmpty() || o->objectName() == nome_))
        f_(static_cast<QWidget*>(o));
    return false;
}

Trava::Trava()
{
    tivane::Banco::defineEsperaOcupado(50);
    sqlite3_open_v2(QFile::encodeName(tivane::Banco::caminhoArquivo()).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    ok_ = sqlite3_exec(db_, "PRAGMA key = 'qorm64'; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

Trava::~Trava()
{
    sqlite3_close(db_);   // the lock goes with the connection
    tivane::Banco::defineEsperaOcupado(3000);
}

ArquivoComFalha::ArquivoComFalha(const QString& tipo)
{
    criaBancoTeste(QStringLiteral("falha"));
    sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)"
        " INSERT INTO dizimistas (codigo, nome, cadastro, ativo, obs)"
        " SELECT printf('%04d', i), 'Nome ' || i, '01/01/2020', 1, hex(zeroblob(300)) FROM n");
    sql("INSERT INTO pagamentos (codigo, data, valor, codigodizimista)"
        " SELECT printf('%05d/24', rowid), '01/03/2024', '10,00', codigo FROM dizimistas");
    if (tipo == QLatin1String("em uso")) {
        trava_ = new Trava;
        causa_ = QStringLiteral("em uso por outro programa");
    } else if (tipo == QLatin1String("sem tabelas")) {
        sql("DROP TABLE dizimistas");
        sql("DROP TABLE pagamentos");
        causa_ = QStringLiteral("não existe no banco de dados");
    } else {
        // Pages in the middle of the file overwritten with garbage.
        tivane::Banco::closeAll();
        QFile f(tivane::Banco::caminhoArquivo());
        f.open(QIODevice::ReadWrite);
        for (qint64 p = f.size() / 1024 * 2 / 5; p < f.size() / 1024 * 3 / 5; ++p) {
            f.seek(p * 1024 + 100);
            f.write(QByteArray(200, char(0x5A + p)));
        }
        causa_ = QStringLiteral("danificado");
    }
}

ArquivoComFalha::~ArquivoComFalha()
{
    delete trava_;
}

}  // namespace teste
