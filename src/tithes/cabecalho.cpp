#include "tithes/cabecalho.h"

#include "core/texto.h"

namespace tivane {

QString reguarelatorio()
{
    return QString(98, u'-');
}

QString cabecalhoigreja(const DadosIgreja& igreja)
{
    if (!igreja.existe)
        return QString("");
    const QString nl = quebralinha();
    QString t;
    t += nl + reguarelatorio() + nl;
    t += completaadireita(QStringLiteral("Igreja:"), 15) + QStringLiteral(": ") + igreja.fantasia + nl;
    t += completaadireita(QStringLiteral("Endereço"), 15) + QStringLiteral(": ") + linhaenderecoigreja(igreja) + nl;
    t += completaadireita(QStringLiteral("Tel "), 15) + QStringLiteral(": ") + igreja.tel + nl;
    t += reguarelatorio();
    return t;
}

QString cabecalhoigreja()
{
    return cabecalhoigreja(carregaigreja());
}

}  // namespace tivane
