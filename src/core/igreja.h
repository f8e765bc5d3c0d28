#pragma once
// The church's one record (table igreja), as receipts and report headers read it.
#include <QString>

#include "core/conexao.h"

class QWidget;

namespace tivane {

struct DadosIgreja {
    bool existe = false;        // false when the table has no row
    QString razaosocial, fantasia, cnpj, responsavel, rua, bairro, cidade, estado, cep, tel, fax, email, site;
};

// The first row of the table; Null fields read as empty. Opens its own scope.
// A table that cannot be read gives the blank record too: windows use the form below.
DadosIgreja carregaigreja();
// The same, telling a table without a row from one that could not be read.
Leitura carregaigreja(DadosIgreja* igreja);

// rua, then " ," and bairro, then " ," and cidade, each only when it has a
// value; nothing at all when rua is empty.
QString linhaenderecoigreja(const DadosIgreja& igreja);

// Replaces the church's record by this one in one transaction: the table keeps
// exactly one row, marked "1" in `sobra`; empty fields (but the legal name) are
// left Null. False (and why in causa) when nothing was written.
[[nodiscard]] bool gravarigreja(const DadosIgreja& igreja, QString* causa = nullptr);

// Shows the picture of the setting "caminhologo" in the window's label
// "logoigreja" when the file exists, is not empty and is a picture; otherwise
// the label keeps what it shows. True when the picture was loaded.
bool carregalogoigreja(QWidget* janela);

}  // namespace tivane
