#pragma once
// Every test process runs in its own temporary home: settings, data folder and
// files written by the program stay there. Dialogs are answered in advance.
#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

namespace teste {

// Sets HOME and the XDG folders to a fresh temporary folder; call before the application exists.
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
