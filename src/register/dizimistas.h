#pragma once
// The tither record (table dizimistas) and the operations on its rows.
// No windows here: the registration window, the search window, the payments
// and reports windows and the inactivity sweep all come through these.
#include <QString>
#include <optional>

#include "core/conexao.h"

namespace tivane {

// A text field that may be Null in the table (a box left empty is not written).
using TextoNulo = std::optional<QString>;

struct Dizimista {
    QString codigo;
    TextoNulo nome;
    TextoNulo cadastro;
    TextoNulo nascimento;
    TextoNulo rg;
    TextoNulo cpf;
    TextoNulo endereco;
    TextoNulo bairro;
    TextoNulo cidade;
    TextoNulo estado;
    TextoNulo estadocivil;
    TextoNulo cep;
    TextoNulo tel;
    TextoNulo email;
    TextoNulo msn;
    bool ativo = true;
    bool sexo = true;          // true "M", false "F"
    TextoNulo celular;
    TextoNulo barras;
    TextoNulo obs;
    TextoNulo conversao;
    TextoNulo casamento;
    TextoNulo profissao;
    bool desempregado = false;
    bool falecido = false;
    bool adoecido = false;
    TextoNulo conjuge;
};

// Null when the box is empty, the text otherwise.
TextoNulo textoounulo(const QString& texto);

// The row of that code. Falha: the table could not be read (the result says why).
Leitura lerdizimista(const QString& codigo, Dizimista* dizimista);

// A new row with every field of the record.
Gravacao inseredizimista(const Dizimista& dizimista);
// Rewrites every field of the row of dizimista.codigo in one statement:
// a field that is Null in the record becomes Null in the row.
Gravacao atualizadizimista(const Dizimista& dizimista);
// Deletes the row and the tither's photo files.
Gravacao apagadizimista(const QString& codigo);

// What saving the window's record must do, checked in this order.
enum class PassoGravacao {
    NomeVazio,       // "Você deve digitar o nome do dizimista para continuar."
    Alterar,         // a saved code in modify mode
    JaSalvo,         // a saved code outside modify mode
    NomeExiste,      // a new code with a name already saved
    CodigoEmPagamentos,  // a new code that payments carry (a deleted or unregistered tither's)
    Incluir,
    FalhaLeitura     // the lookups could not read the table
};
// mostrado: the window shows this code's record as read from the table; a
// row deleted since then is updated (and found missing), never inserted again.
// FalhaLeitura puts the read's cause in causa.
[[nodiscard]]
PassoGravacao decidegravacao(const QString& codigo, const QString& nome, bool modificando, bool mostrado = false,
                             QString* causa = nullptr);

// Lookups by code or name; each is one indexed select. The name comparison
// folds case for every letter ("joão" = "JOÃO"). Each tells a tither that is
// not there from a table that could not be read.
Leitura dizimistaexiste(const QString& codigo);
// Existence and name in one lookup (the payments window runs it at each keystroke).
Leitura localizadizimista(const QString& codigo, QString* nome);
Leitura nomedizimistaexiste(const QString& nome);
// The name of the tither with that code; "" when Null or not found.
Leitura buscanomedizimista(const QString& codigo, QString* nome);

// Data folder + "fotos" + code + "p.jpg" (small) or "g.jpg" (large).
QString caminhofotodizimista(const QString& codigo, bool grande = false);

// The code of the first tither (in table order) with that bar-code number.
Leitura localizapelocodigodebarras(const QString& barras, QString* codigo);

}  // namespace tivane
