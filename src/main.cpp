#include "core/conexao.h"
#include "shell/frmsenha.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tivane Dízimos");
    QApplication::setOrganizationName("Tivane");

    // Dates, numbers and the standard dialogs (files, printer) in Brazilian Portuguese.
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brasil);
    QTranslator traducao;
    if (traducao.load(brasil, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&traducao);

    // The old installer left an empty database in the default folder.
    tivane::Banco::preparaPrimeiraExecucao();

    tivane::FrmSenha::inicia();
    return app.exec();
}
