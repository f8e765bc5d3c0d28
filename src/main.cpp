#include "core/conexao.h"
#include "core/frmaguarde.h"
#include "core/migracao.h"
#include "core/permissoes.h"
#include "shell/aberturabanco.h"
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

    // A file of an older version is rebuilt once when first opened: say so meanwhile.
    tivane::Banco::defineAvisoReorganizacao([](bool inicio) {
        if (!inicio) {
            tivane::FrmAguarde::fecha();
            return;
        }
        tivane::FrmAguarde::abre(QStringLiteral("Atualizando o banco de dados, aguarde ..."));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });

    // The key is fixed: file permissions are what keeps the records private.
    tivane::Banco::protegearquivos();

    // The old installer left an empty database in the default folder.
    tivane::primeiraexecucao();

    tivane::Banco::defineTratamentoAbertura(tivane::tratafalhaabertura);
    tivane::Banco::defineAvisoPastaInsegura(tivane::avisapastainsegura);
    tivane::FrmSenha::inicia();
    return app.exec();
}
