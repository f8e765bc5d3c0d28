#pragma once
// The church's one record (table igreja), as receipts and report headers read it.
#include <QString>

namespace tivane {

struct DadosIgreja {
    bool existe = false;        // false when the table has no row
    QString razaosocial, fantasia, cnpj, responsavel, rua, bairro, cidade, estado, cep, tel, fax, email, site;
};

// The first row of the table; Null fields read as empty. Opens its own scope.
DadosIgreja carregaigreja();

// rua, then " ," and bairro, then " ," and cidade, each only when it has a
// value; nothing at all when rua is empty.
QString linhaenderecoigreja(const DadosIgreja& igreja);

}  // namespace tivane
