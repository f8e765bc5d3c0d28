#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/registro.h"

#include <QDir>
#include <sqlcipher/sqlite3.h>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>

namespace teste {

namespace {
QTemporaryDir* g_dir = nullptr;
int g_bancos = 0;
void naoEncerra(int) {}
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program runs in Brazilian Portuguese whatever the machine's language; so do the tests.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    tivane::Dialogos::ativaModoTeste(true);
    tivane::defineEncerramento(naoEncerra);
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
    tivane::gravatextopadrao("caminhopadrao", pasta);
    QString erro;
    if (!tivane::Banco::criaBancoVazio(tivane::Banco::caminhoArquivo(), &erro))
        qFatal("could not create test database: %s", qPrintable(erro));
    if (!tivane::Banco::conecta(&erro))
        qFatal("could not open test database: %s", qPrintable(erro));
    return tivane::retornacaminhopadrao();
}

void limpaBanco()
{
    tivane::Banco::conecta();
    sql("DELETE FROM dizimistas");
    sql("DELETE FROM usuarios");
    sql("DELETE FROM pagamentos");
    sql("DELETE FROM igreja");
    sql("INSERT INTO igreja (sobra) VALUES ('1')");
}

bool sql(const QString& comando)
{
    tivane::Banco::conecta();
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

Trava::Trava()
{
    tivane::Banco::defineEsperaOcupado(50);
    sqlite3_open_v2(QFile::encodeName(tivane::Banco::caminhoArquivo()).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    ok_ = sqlite3_exec(db_, "PRAGMA key = 'qorm64'; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

Trava::~Trava()
{
    sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
}

ArquivoComFalha::ArquivoComFalha(const QString& tipo)
{
    criaBancoTeste(QStringLiteral("falha"));
    sql("BEGIN");
    for (int i = 1; i <= 300; ++i) {
        const QString n = QString::number(i);
        sql(QStringLiteral("INSERT INTO dizimistas (codigo, nome, cadastro, bairro, nascimento, ativo, obs)"
                           " VALUES ('%1', 'Nome %2', '01/01/2020', 'Centro', '10/03/1980', 1, '%3')")
                .arg(n.rightJustified(4, QLatin1Char('0')), n, QString(600, QLatin1Char('x'))));
        sql(QStringLiteral("INSERT INTO pagamentos (codigo, data, valor, codigodizimista) VALUES ('%1/24', '01/03/2024',"
                           " '10,00', '%2')")
                .arg(n.rightJustified(5, QLatin1Char('0')), n.rightJustified(4, QLatin1Char('0'))));
    }
    sql("COMMIT");
    if (tipo == QLatin1String("em uso")) {
        trava_ = new Trava;
        causa_ = QStringLiteral("em uso por outro programa");
    } else if (tipo == QLatin1String("sem tabelas")) {
        sql("DROP TABLE dizimistas");
        sql("DROP TABLE pagamentos");
        causa_ = QStringLiteral("não existe no banco de dados");
    } else {
        danificaArquivo();
        causa_ = QStringLiteral("danificado");
    }
}

ArquivoComFalha::~ArquivoComFalha()
{
    delete trava_;
    tivane::Banco::defineEsperaOcupado(3000);
}

void danificaArquivo(double inicio, double fim)
{
    tivane::Banco::closeAll();
    QFile f(tivane::Banco::caminhoArquivo());
    if (!f.open(QIODevice::ReadWrite))
        qFatal("cannot damage the test database");
    constexpr qint64 PAGINA = 1024;
    const qint64 paginas = f.size() / PAGINA;
    for (qint64 p = qMax<qint64>(1, qint64(paginas * inicio)); p < qint64(paginas * fim); ++p) {
        f.seek(p * PAGINA + 100);
        f.write(QByteArray(200, char(0x5A + p)));
    }
}

}  // namespace teste
