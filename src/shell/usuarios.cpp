#include "shell/usuarios.h"

#include "core/formularios.h"
#include "register/numeracao.h"

namespace tivane {

Leitura lerusuario(const QString& codigo, Usuario* u)
{
    Escopo e = abreconexaousuarios();
    if (!e)
        return Leitura::Falha;
    Consulta c(QStringLiteral("SELECT codigo, nome, senha, cadastro FROM usuarios WHERE codigo = ?"));
    c.bind(codigo);
    if (!c.next())
        return c.ok() ? Leitura::NaoEncontrado : Leitura::Falha;
    if (u)
        *u = {c.text(0), c.text(1), c.text(2), c.text(3)};
    return Leitura::Encontrado;
}

Leitura listausuarios(QVector<Usuario>* usuarios)
{
    usuarios->clear();
    Escopo e = abreconexaousuarios();
    if (!e)
        return Leitura::Falha;
    Consulta c(QStringLiteral("SELECT codigo, nome, senha, cadastro FROM usuarios ORDER BY rowid"));
    while (c.next())
        usuarios->append({c.text(0), c.text(1), c.text(2), c.text(3)});
    if (!c.ok()) {
        usuarios->clear();   // a partial list is not the list
        return Leitura::Falha;
    }
    return usuarios->isEmpty() ? Leitura::NaoEncontrado : Leitura::Encontrado;
}

Gravacao insereusuario(const Usuario& u)
{
    Escopo e = abreconexaousuarios();
    if (!e)
        return Gravacao::Falha;
    switch (lerusuario(u.codigo, nullptr)) {
    case Leitura::Encontrado:
        return Gravacao::CodigoExiste;
    case Leitura::Falha:
        return Gravacao::Falha;
    case Leitura::NaoEncontrado:
        break;
    }
    Consulta c(QStringLiteral("INSERT INTO usuarios (codigo, nome, senha, cadastro) VALUES (?, ?, ?, ?)"));
    c.bind(u.codigo).bind(u.nome).bind(u.senha).bind(u.cadastro);
    if (!c.exec())
        return lerusuario(u.codigo, nullptr) == Leitura::Encontrado ? Gravacao::CodigoExiste : Gravacao::Falha;
    return Gravacao::Gravado;
}

Gravacao atualizausuario(const Usuario& u)
{
    Escopo e = abreconexaousuarios();
    if (!e || !e.inicia())
        return Gravacao::Falha;
    Consulta c(QStringLiteral("UPDATE usuarios SET nome = ?, senha = ?, cadastro = ? WHERE codigo = ?"));
    c.bind(u.nome).bind(u.senha).bind(u.cadastro).bind(u.codigo);
    if (!c.exec())
        return Gravacao::Falha;   // rolled back with the scope
    if (c.changes() == 0)
        return Gravacao::NaoEncontrado;
    return e.confirma() ? Gravacao::Gravado : Gravacao::Falha;
}

Gravacao apagausuario(const QString& codigo)
{
    Escopo e = abreconexaousuarios();
    if (!e)
        return Gravacao::Falha;
    Consulta c(QStringLiteral("DELETE FROM usuarios WHERE codigo = ?"));
    c.bind(codigo);
    if (!c.exec())
        return Gravacao::Falha;
    return c.changes() > 0 ? Gravacao::Gravado : Gravacao::NaoEncontrado;
}

PassoGravacaoUsuario decidegravacaousuario(const Usuario& u, bool modificando, bool mostrado)
{
    // Blanks are text here: a password of spaces is a password.
    if (u.senha.isEmpty() || u.nome.isEmpty())
        return PassoGravacaoUsuario::SenhaOuNomeVazio;
    switch (lerusuario(u.codigo, nullptr)) {
    case Leitura::Falha:
        return PassoGravacaoUsuario::Falha;
    case Leitura::Encontrado:
        return modificando ? PassoGravacaoUsuario::Alterar : PassoGravacaoUsuario::JaSalvo;
    case Leitura::NaoEncontrado:
        if (mostrado)
            return modificando ? PassoGravacaoUsuario::Alterar : PassoGravacaoUsuario::JaSalvo;
        break;
    }
    // The numbering, the stepping and the search all read codes as numbers.
    if (!codigonumerico(u.codigo))
        return PassoGravacaoUsuario::CodigoInvalido;
    switch (codigoempagamentos(Tabela::Usuarios, u.codigo)) {
    case Leitura::Falha:
        return PassoGravacaoUsuario::Falha;
    case Leitura::Encontrado:
        return PassoGravacaoUsuario::CodigoEmPagamentos;
    case Leitura::NaoEncontrado:
        break;
    }
    return PassoGravacaoUsuario::Incluir;
}

}  // namespace tivane
