#pragma once
// Every test process runs in its own temporary home: settings, data folder and
// files written by the program stay there. Dialogs are answered in advance.
#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

struct sqlite3;

namespace teste {

// Sets HOME and the XDG folders to a fresh temporary folder and hides the
// machine's printers; call before the application exists.
void preparaAmbiente();
// Closes the database and removes the temporary home.
void encerraAmbiente();
QString pastaTemporaria();
// Points "caminhopadrao" at a fresh data folder and creates an empty database there.
// Returns the data folder (with the separator).
QString criaBancoTeste(const QString& nome = QStringLiteral("dados"));
// Removes every row of every table and the church's row is put back.
void limpaBanco();
// Runs one SQL statement on the open database (for fixtures); fails the test on error.
bool sql(const QString& comando);
// Clears the settings file of the program.
void limpaConfiguracoes();
// Files: read whole ("" when unreadable), written whole with its folder (the
// test fails when it cannot be), and a fresh folder in the test's home.
QByteArray conteudo(const QString& caminho);
void escreve(const QString& caminho, const QByteArray& dados);
QString pasta(const QString& nome);

// Runs one row ("funcao:linha") of this test program again as an unprivileged
// user, for cases that need file modes enforced when the tests run as root.
// The program and its libraries are copied where that user can reach them when
// the build lies where it cannot (under /root, 0700). True when it ran and
// passed; its output goes to saida.
bool executaSemPrivilegios(const QString& funcaoELinha, QString* saida);

// The shared libraries this process loaded, by their paths.
QStringList bibliotecasCarregadas();

// The mount table hidden from a test program, as a chroot or a container hides
// it: whether this machine lets a child process hide it (root, or a user
// namespace), whether this process runs so, and one row run again so.
bool podeOcultarMontagens();
bool montagensOcultas();
bool executaSemMontagens(const QString& funcaoELinha, QString* saida);

// Runs f on each event of that type that reaches a widget of that name (any
// widget, for an empty name), while the object lives.
class AoEvento : public QObject {
public:
    AoEvento(QEvent::Type tipo, const QString& nome, std::function<void(QWidget*)> f);
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QEvent::Type tipo_;
    QString nome_;
    std::function<void(QWidget*)> f_;
};

// Another program holding the database file: a connection of its own keeps an
// exclusive lock until the object ends. The program's busy wait is short meanwhile.
class Trava {
public:
    Trava();
    ~Trava();
    Trava(const Trava&) = delete;
    Trava& operator=(const Trava&) = delete;
    bool ok() const { return ok_; }

private:
    sqlite3* db_ = nullptr;
    bool ok_ = false;
};

// A fresh database with 300 tithers ("0001" to "0300", "Nome 1" ...) and a
// payment for each ("00001/24" ...), then made unreadable one way:
// "em uso" (another program's lock, while the object lives), "sem tabelas"
// (the tables dropped by another tool), "danificado" (pages overwritten).
class ArquivoComFalha {
public:
    explicit ArquivoComFalha(const QString& tipo);
    ~ArquivoComFalha();
    // Part of the cause the program must name.
    QString causa() const { return causa_; }

private:
    Trava* trava_ = nullptr;
    QString causa_;
};

}  // namespace teste

#define TIVANE_TEST_MAIN(ClasseTeste)                                     \
    int main(int argc, char** argv)                                       \
    {                                                                     \
        teste::preparaAmbiente();                                         \
        QApplication app(argc, argv);                                     \
        app.setAttribute(Qt::AA_Use96Dpi, true);                          \
        ClasseTeste tc;                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                        \
        const int r = QTest::qExec(&tc, argc, argv);                      \
        teste::encerraAmbiente();                                         \
        return r;                                                         \
    }
