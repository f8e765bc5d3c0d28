#include "shell/igreja.h"

#include "core/conexao.h"

namespace tivane {

DadosIgreja carregaigreja()
{
    DadosIgreja d;
    Escopo escopo = abreconexaoigreja();
    if (!escopo)
        return d;
    Consulta c("SELECT razaosocial, fantasia, cnpj, responsavel, rua, bairro, cidade, estado, cep, tel, fax,"
               " email, site FROM igreja ORDER BY rowid LIMIT 1");
    if (!c.next())
        return d;
    d.existe = true;
    QString* campos[] = {&d.razaosocial, &d.fantasia, &d.cnpj, &d.responsavel, &d.rua, &d.bairro, &d.cidade,
                         &d.estado, &d.cep, &d.tel, &d.fax, &d.email, &d.site};
    for (int i = 0; i < 13; ++i)
        *campos[i] = c.text(i);
    return d;
}

QString linhaenderecoigreja(const DadosIgreja& igreja)
{
    if (igreja.rua.isEmpty())
        return QString("");
    QString linha = igreja.rua;
    if (!igreja.bairro.isEmpty())
        linha += " ," + igreja.bairro;
    if (!igreja.cidade.isEmpty())
        linha += " ," + igreja.cidade;
    return linha;
}

}  // namespace tivane
