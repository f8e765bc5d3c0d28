#pragma once
// The user record (table usuarios) and the operations on its rows. The users
// window and the login come through these; no windows here.
#include <QString>
#include <QVector>

#include "core/conexao.h"

namespace tivane {

// Every field is text; a Null field reads as "". Passwords are kept as typed.
struct Usuario {
    QString codigo;
    QString nome;
    QString senha;
    QString cadastro;   // "dd/mm/yyyy"
};

Leitura lerusuario(const QString& codigo, Usuario* usuario);
// Every user, in table order (the order the login lists them in).
Leitura listausuarios(QVector<Usuario>* usuarios);

// A new row with the four fields.
Gravacao insereusuario(const Usuario& usuario);
// Rewrites the other three fields of the row of usuario.codigo with one
// UPDATE: the row keeps its place and is never missing, whatever fails.
Gravacao atualizausuario(const Usuario& usuario);
Gravacao apagausuario(const QString& codigo);

// What saving the window's record must do, checked in this order.
enum class PassoGravacaoUsuario {
    SenhaOuNomeVazio,   // "Você deve digitar a senha e o nome do usuário."
    Alterar,            // a saved code in modify mode
    JaSalvo,            // a saved code outside modify mode
    CodigoInvalido,     // a new code that is empty or not a number
    CodigoEmPagamentos, // a new code that payments carry (recorded by a deleted user)
    Incluir,
    Falha               // the saved codes could not be read
};
// mostrado: the window shows this code's record as read from the table; a
// row deleted since then is updated (and found missing), never inserted again.
// Falha puts the read's cause in causa.
[[nodiscard]]
PassoGravacaoUsuario decidegravacaousuario(const Usuario& usuario, bool modificando, bool mostrado = false,
                                           QString* causa = nullptr);

}  // namespace tivane
