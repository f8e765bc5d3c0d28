#include "core/conexao.h"
#include "shell/frmsenha.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tivane Dízimos");
    QApplication::setOrganizationName("Tivane");

    // The old installer left an empty database in the default folder.
    tivane::Banco::preparaPrimeiraExecucao();

    tivane::FrmSenha::inicia();
    return app.exec();
}
