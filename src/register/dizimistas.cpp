#include "register/dizimistas.h"
#include "register/numeracao.h"

#include "core/conexao.h"
#include "core/registro.h"

#include <QDir>
#include <QFile>

namespace tivane {

namespace {

// Field order of the record, as the window writes and shows it.
const char* const CAMPOS =
    "codigo, nome, cadastro, nascimento, rg, cpf, endereco, bairro, cidade, estado, estadocivil, cep, tel,"
    " email, msn, ativo, sexo, celular, barras, obs, conversao, casamento, profissao, desempregado, falecido,"
    " adoecido, conjuge";

QVariant valor(const TextoNulo& t)
{
    return t ? QVariant(*t) : QVariant();
}

QVariant sim(bool b)
{
    return QVariant(static_cast<qint64>(b ? 1 : 0));
}

TextoNulo ler(const Consulta& c, int coluna)
{
    if (c.isNull(coluna))
        return std::nullopt;
    return c.text(coluna);
}

// Yes/no columns: any non-zero number is yes (old files stored True as -1).
bool lerSim(const Consulta& c, int coluna)
{
    if (c.isNull(coluna))
        return false;
    return c.inteiro(coluna) != 0;
}

// Every field but the code, in the order of CAMPOS.
void bindCampos(Consulta& c, const Dizimista& d)
{
    c.bind(valor(d.nome)).bind(valor(d.cadastro)).bind(valor(d.nascimento)).bind(valor(d.rg)).bind(valor(d.cpf));
    c.bind(valor(d.endereco)).bind(valor(d.bairro)).bind(valor(d.cidade)).bind(valor(d.estado));
    c.bind(valor(d.estadocivil)).bind(valor(d.cep)).bind(valor(d.tel)).bind(valor(d.email)).bind(valor(d.msn));
    c.bind(sim(d.ativo)).bind(sim(d.sexo)).bind(valor(d.celular)).bind(valor(d.barras)).bind(valor(d.obs));
    c.bind(valor(d.conversao)).bind(valor(d.casamento)).bind(valor(d.profissao));
    c.bind(sim(d.desempregado)).bind(sim(d.falecido)).bind(sim(d.adoecido)).bind(valor(d.conjuge));
}

// One text field of the tither with that code; "" when Null or not found.
Leitura textoDoCodigo(const char* sql, const QString& codigo, QString* texto)
{
    if (texto)
        *texto = QString("");
    Escopo e = abreconexaodizimistas();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta c(QString::fromLatin1(sql));
    c.bind(codigo);
    if (!c.next())
        return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
    if (texto && !c.isNull(0))
        *texto = c.text(0);
    return Leitura::Encontrado;
}

}  // namespace

TextoNulo textoounulo(const QString& texto)
{
    if (texto.isEmpty())
        return std::nullopt;
    return texto;
}

Leitura lerdizimista(const QString& codigo, Dizimista* d)
{
    Escopo e = abreconexaodizimistas();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta c(QStringLiteral("SELECT %1 FROM dizimistas WHERE codigo = ?").arg(QLatin1String(CAMPOS)));
    c.bind(codigo);
    if (!c.next())
        return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
    if (!d)
        return Leitura::Encontrado;
    int i = 0;
    d->codigo = c.text(i++);
    d->nome = ler(c, i++);
    d->cadastro = ler(c, i++);
    d->nascimento = ler(c, i++);
    d->rg = ler(c, i++);
    d->cpf = ler(c, i++);
    d->endereco = ler(c, i++);
    d->bairro = ler(c, i++);
    d->cidade = ler(c, i++);
    d->estado = ler(c, i++);
    d->estadocivil = ler(c, i++);
    d->cep = ler(c, i++);
    d->tel = ler(c, i++);
    d->email = ler(c, i++);
    d->msn = ler(c, i++);
    d->ativo = lerSim(c, i++);
    d->sexo = lerSim(c, i++);
    d->celular = ler(c, i++);
    d->barras = ler(c, i++);
    d->obs = ler(c, i++);
    d->conversao = ler(c, i++);
    d->casamento = ler(c, i++);
    d->profissao = ler(c, i++);
    d->desempregado = lerSim(c, i++);
    d->falecido = lerSim(c, i++);
    d->adoecido = lerSim(c, i++);
    d->conjuge = ler(c, i++);
    return Leitura::Encontrado;
}

Gravacao inseredizimista(const Dizimista& d)
{
    Escopo e = abreconexaodizimistas();
    if (!e)
        return Gravacao::falha(e.causa());
    {
        Consulta c(QStringLiteral("SELECT 1 FROM dizimistas WHERE codigo = ?"));
        c.bind(d.codigo);
        if (c.next())
            return Gravacao::CodigoExiste;
        if (!c.ok())
            return Gravacao::falha(c.erro());
    }
    Consulta c(QStringLiteral("INSERT INTO dizimistas (%1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                   .arg(QLatin1String(CAMPOS)));
    c.bind(d.codigo);
    bindCampos(c, d);
    if (!c.exec())
        return dizimistaexiste(d.codigo) == Leitura::Encontrado ? Gravacao(Gravacao::CodigoExiste)
                                                                : Gravacao::falha(c.erro());
    return Gravacao::Gravado;
}

Gravacao atualizadizimista(const Dizimista& d)
{
    Escopo e = abreconexaodizimistas();
    if (!e)
        return Gravacao::falha(e.causa());
    // One statement: the row is never missing half-way, whatever fails.
    Consulta c(QStringLiteral(
        "UPDATE dizimistas SET nome = ?, cadastro = ?, nascimento = ?, rg = ?, cpf = ?, endereco = ?,"
        " bairro = ?, cidade = ?, estado = ?, estadocivil = ?, cep = ?, tel = ?, email = ?, msn = ?,"
        " ativo = ?, sexo = ?, celular = ?, barras = ?, obs = ?, conversao = ?, casamento = ?,"
        " profissao = ?, desempregado = ?, falecido = ?, adoecido = ?, conjuge = ? WHERE codigo = ?"));
    bindCampos(c, d);
    c.bind(d.codigo);
    if (!c.exec())
        return Gravacao::falha(c.erro());
    return c.changes() > 0 ? Gravacao::Gravado : Gravacao::NaoEncontrado;
}

Gravacao apagadizimista(const QString& codigo)
{
    {
        Escopo e = abreconexaodizimistas();
        if (!e)
            return Gravacao::falha(e.causa());
        Consulta c(QStringLiteral("DELETE FROM dizimistas WHERE codigo = ?"));
        c.bind(codigo);
        if (!c.exec())
            return Gravacao::falha(c.erro());
        if (c.changes() == 0)
            return Gravacao::NaoEncontrado;
    }
    // A later tither who gets this code must not show this person's photo.
    for (bool grande : {false, true}) {
        const QString caminho = caminhofotodizimista(codigo, grande);
        if (!caminho.isEmpty() && QFile::exists(caminho))
            QFile::remove(caminho);
    }
    return Gravacao::Gravado;
}

PassoGravacao decidegravacao(const QString& codigo, const QString& nome, bool modificando, bool mostrado,
                             QString* causa)
{
    if (nome.trimmed().isEmpty())
        return PassoGravacao::NomeVazio;
    const auto falhou = [causa](const Leitura& l) {
        if (causa)
            *causa = l.causa();
        return PassoGravacao::FalhaLeitura;
    };
    const Leitura existe = dizimistaexiste(codigo);
    switch (existe) {
    case Leitura::Encontrado: return modificando ? PassoGravacao::Alterar : PassoGravacao::JaSalvo;
    case Leitura::Falha: return falhou(existe);
    case Leitura::NaoEncontrado:
        if (mostrado)
            return modificando ? PassoGravacao::Alterar : PassoGravacao::JaSalvo;
        break;
    }
    const Leitura nomeexiste = nomedizimistaexiste(nome);
    switch (nomeexiste) {
    case Leitura::Encontrado: return PassoGravacao::NomeExiste;
    case Leitura::Falha: return falhou(nomeexiste);
    case Leitura::NaoEncontrado: break;
    }
    const Leitura empagamentos = codigoempagamentos(Tabela::Dizimistas, codigo);
    switch (empagamentos) {
    case Leitura::Encontrado: return PassoGravacao::CodigoEmPagamentos;
    case Leitura::Falha: return falhou(empagamentos);
    case Leitura::NaoEncontrado: break;
    }
    return PassoGravacao::Incluir;
}

Leitura dizimistaexiste(const QString& codigo)
{
    return localizadizimista(codigo, nullptr);
}

Leitura localizadizimista(const QString& codigo, QString* nome)
{
    if (nome)
        *nome = QString("");
    if (codigo == QLatin1String("'"))
        return Leitura::NaoEncontrado;
    return textoDoCodigo("SELECT nome FROM dizimistas WHERE codigo = ?", codigo, nome);
}

Leitura nomedizimistaexiste(const QString& nome)
{
    Escopo e = abreconexaodizimistas();
    if (!e)
        return Leitura::falha(e.causa());
    // Folds case for all of Unicode; on save only, so a scan is fine.
    Consulta c(QStringLiteral("SELECT 1 FROM dizimistas WHERE nome = ? COLLATE FOLD LIMIT 1"));
    c.bind(nome);
    if (c.next())
        return Leitura::Encontrado;
    return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
}

Leitura buscanomedizimista(const QString& codigo, QString* nome)
{
    return textoDoCodigo("SELECT nome FROM dizimistas WHERE codigo = ?", codigo, nome);
}

QString caminhofotodizimista(const QString& codigo, bool grande)
{
    // A code is typed by the user: never let it name a file outside "fotos".
    if (codigo.isEmpty() || codigo.contains(QLatin1Char('/')) || codigo.contains(QLatin1Char('\\')))
        return QString();
    return retornacaminhopadrao() + QStringLiteral("fotos") + QDir::separator() + codigo
           + (grande ? QStringLiteral("g.jpg") : QStringLiteral("p.jpg"));
}

Leitura localizapelocodigodebarras(const QString& barras, QString* codigo)
{
    Escopo e = abreconexaodizimistas();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta c(QStringLiteral("SELECT codigo FROM dizimistas WHERE barras = ? ORDER BY rowid LIMIT 1"));
    c.bind(barras);
    if (c.next()) {
        if (codigo)
            *codigo = c.text(0);
        return Leitura::Encontrado;
    }
    return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
}

}  // namespace tivane
