#include "shell/usuarios.h"

#include "core/formularios.h"
#include "register/numeracao.h"

namespace tivane {

Leitura lerusuario(const QString& codigo, Usuario* u)
{
    Escopo e = abreconexaousuarios();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta c(QStringLiteral("SELECT codigo, nome, senha, cadastro FROM usuarios WHERE codigo = ?"));
    c.bind(codigo);
    if (!c.next())
        return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
    if (u)
        *u = {c.text(0), c.text(1), c.text(2), c.text(3)};
    return Leitura::Encontrado;
}

Leitura listausuarios(QVector<Usuario>* usuarios)
{
    usuarios->clear();
    Escopo e = abreconexaousuarios();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta c(QStringLiteral("SELECT codigo, nome, senha, cadastro FROM usuarios ORDER BY rowid"));
    while (c.next())
        usuarios->append({c.text(0), c.text(1), c.text(2), c.text(3)});
    if (!c.ok()) {
        usuarios->clear();   // a partial list is not the list
        return Leitura::falha(c.erro());
    }
    return usuarios->isEmpty() ? Leitura::NaoEncontrado : Leitura::Encontrado;
}

Gravacao insereusuario(const Usuario& u)
{
    Escopo e = abreconexaousuarios();
    if (!e)
        return Gravacao::falha(e.causa());
    const Leitura salvo = lerusuario(u.codigo, nullptr);
    switch (salvo) {
    case Leitura::Encontrado:
        return Gravacao::CodigoExiste;
    case Leitura::Falha:
        return Gravacao::falha(salvo.causa());
    case Leitura::NaoEncontrado:
        break;
    }
    Consulta c(QStringLiteral("INSERT INTO usuarios (codigo, nome, senha, cadastro) VALUES (?, ?, ?, ?)"));
    c.bind(u.codigo).bind(u.nome).bind(u.senha).bind(u.cadastro);
    if (!c.exec())
        return lerusuario(u.codigo, nullptr) == Leitura::Encontrado ? Gravacao(Gravacao::CodigoExiste)
                                                                     : Gravacao::falha(c.erro());
    return Gravacao::Gravado;
}

Gravacao atualizausuario(const Usuario& u)
{
    Escopo e = abreconexaousuarios();
    if (!e || !e.inicia())
        return Gravacao::falha(e.causa());
    Consulta c(QStringLiteral("UPDATE usuarios SET nome = ?, senha = ?, cadastro = ? WHERE codigo = ?"));
    c.bind(u.nome).bind(u.senha).bind(u.cadastro).bind(u.codigo);
    if (!c.exec())
        return Gravacao::falha(c.erro());   // rolled back with the scope
    if (c.changes() == 0)
        return Gravacao::NaoEncontrado;
    return e.confirma() ? Gravacao(Gravacao::Gravado) : Gravacao::falha(e.causa());
}

Gravacao apagausuario(const QString& codigo)
{
    Escopo e = abreconexaousuarios();
    if (!e)
        return Gravacao::falha(e.causa());
    Consulta c(QStringLiteral("DELETE FROM usuarios WHERE codigo = ?"));
    c.bind(codigo);
    if (!c.exec())
        return Gravacao::falha(c.erro());
    return c.changes() > 0 ? Gravacao::Gravado : Gravacao::NaoEncontrado;
}

PassoGravacaoUsuario decidegravacaousuario(const Usuario& u, bool modificando, bool mostrado, QString* causa)
{
    // Blanks are text here: a password of spaces is a password.
    if (u.senha.isEmpty() || u.nome.isEmpty())
        return PassoGravacaoUsuario::SenhaOuNomeVazio;
    const auto falhou = [causa](const Leitura& l) {
        if (causa)
            *causa = l.causa();
        return PassoGravacaoUsuario::Falha;
    };
    const Leitura salvo = lerusuario(u.codigo, nullptr);
    switch (salvo) {
    case Leitura::Falha:
        return falhou(salvo);
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
    const Leitura empagamentos = codigoempagamentos(Tabela::Usuarios, u.codigo);
    switch (empagamentos) {
    case Leitura::Falha:
        return falhou(empagamentos);
    case Leitura::Encontrado:
        return PassoGravacaoUsuario::CodigoEmPagamentos;
    case Leitura::NaoEncontrado:
        break;
    }
    return PassoGravacaoUsuario::Incluir;
}

}  // namespace tivane
