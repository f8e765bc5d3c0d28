#include "register/numeracao.h"

#include <limits>

namespace tivane {

namespace {

// Only the two registers are numbered here; receipts have codes of their own.
QString nomeTabela(Tabela tabela)
{
    return tabela == Tabela::Usuarios ? QStringLiteral("usuarios") : QStringLiteral("dizimistas");
}

// Where a box text stands among the saved codes: its number, and for a tie
// between codes of the same number ("12" and "0012"), the text that sorts it.
struct Posicao {
    qint64 numero;
    QString texto;
};

Leitura posicao(const QString& tabela, const QString& codigo, Posicao* p)
{
    const qint64 n = valorcodigo(codigo);
    const QString proprio = formatacodigo(n);
    // The program's own form of a code (what the box shows after a step)
    // stands where it is, saved or not: no need to look it up.
    if (codigo == proprio) {
        *p = {n, proprio};
        return Leitura::Encontrado;
    }
    Consulta c(QStringLiteral("SELECT 1 FROM %1 WHERE codigo = ?").arg(tabela));
    c.bind(codigo);
    const bool salvo = c.next();
    if (!c.ok())
        return Leitura::falha(c.erro());
    // A saved code stands where it is; any other text stands where the
    // program's own code of that number would ("12" is where "0012" is).
    *p = {n, salvo ? codigo : proprio};
    return Leitura::Encontrado;
}

Leitura vizinho(Tabela tabela, const QString& codigo, bool acima, QString* alvo)
{
    Escopo e(tabela);
    if (!e)
        return Leitura::falha(e.causa());
    const QString t = nomeTabela(tabela);
    Posicao p;
    const Leitura lida = posicao(t, codigo, &p);
    if (lida == Leitura::Falha)
        return lida;
    // Walks the index on (number, code) from the box's position: one select.
    Consulta c(acima ? QStringLiteral("SELECT codigo FROM %1"
                                      " WHERE CAST(codigo AS INTEGER) >= ?1"
                                      " AND (CAST(codigo AS INTEGER) > ?1 OR codigo > ?2)"
                                      " ORDER BY CAST(codigo AS INTEGER), codigo LIMIT 1").arg(t)
                     : QStringLiteral("SELECT codigo FROM %1"
                                      " WHERE CAST(codigo AS INTEGER) <= ?1"
                                      " AND (CAST(codigo AS INTEGER) < ?1 OR codigo < ?2)"
                                      " ORDER BY CAST(codigo AS INTEGER) DESC, codigo DESC LIMIT 1").arg(t));
    c.bind(p.numero).bind(p.texto);
    if (c.next()) {
        *alvo = c.text(0);
        return Leitura::Encontrado;
    }
    return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
}

// The payments that name a record of the table by its code.
QString sqlpagamentos(Tabela tabela)
{
    return tabela == Tabela::Usuarios ? QStringLiteral("SELECT 1 FROM pagamentos WHERE codigofuncionario = ? LIMIT 1")
                                      : QStringLiteral("SELECT 1 FROM pagamentos WHERE codigodizimista = ? LIMIT 1");
}

}  // namespace

QString formatacodigo(qint64 numero)
{
    return QString::number(numero).rightJustified(4, u'0');
}

bool codigonumerico(const QString& texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar ch : texto)
        if (ch.unicode() < '0' || ch.unicode() > '9')
            return false;
    return true;
}

qint64 valorcodigo(const QString& texto)
{
    int i = 0;
    const int n = texto.size();
    while (i < n && texto.at(i).isSpace())
        ++i;
    bool negativo = false;
    if (i < n && (texto.at(i) == QLatin1Char('-') || texto.at(i) == QLatin1Char('+'))) {
        negativo = texto.at(i) == QLatin1Char('-');
        ++i;
    }
    constexpr qint64 maximo = std::numeric_limits<qint64>::max();
    qint64 valor = 0;
    for (; i < n; ++i) {
        const ushort c = texto.at(i).unicode();
        if (c < '0' || c > '9')
            break;
        const int d = c - '0';
        if (valor > (maximo - d) / 10) {
            valor = maximo;   // as the database reads an oversized number
            break;
        }
        valor = valor * 10 + d;
    }
    return negativo ? -valor : valor;
}

QString formatabarras(const QString& codigo)
{
    const QString t = codigo.trimmed();
    if (!codigonumerico(t))
        return codigo;
    const qint64 n = valorcodigo(t);
    const QString numero = QString::number(n);
    return numero.size() >= 6 ? numero : QString(6 - numero.size(), QLatin1Char('0')) + numero;
}

QString novocodigo(Tabela tabela, bool* tabelavazia, QString* causa)
{
    if (tabelavazia)
        *tabelavazia = false;
    const auto falhou = [causa](const QString& porque) {
        if (causa)
            *causa = porque;
        return QString();
    };
    qint64 n = 1;
    {
        Escopo e(tabela);
        if (!e)
            return falhou(e.causa());
        Consulta c(QStringLiteral("SELECT CAST(codigo AS INTEGER) FROM %1"
                                  " ORDER BY CAST(codigo AS INTEGER) DESC LIMIT 1").arg(nomeTabela(tabela)));
        if (c.next()) {
            const qint64 maior = c.isNull(0) ? 0 : c.inteiro(0);
            if (maior >= std::numeric_limits<qint64>::max())
                n = maior;   // nothing above; the insert refuses it as a saved code
            else if (maior >= 1)
                n = maior + 1;
        } else if (!c.ok()) {
            return falhou(c.erro());
        } else if (tabelavazia) {
            *tabelavazia = true;
        }
    }
    // Payments of a deleted record still carry its code: pass it over.
    Escopo e = abreconexaopagamentos();
    if (!e)
        return falhou(e.causa());
    Consulta p(sqlpagamentos(tabela));
    for (;;) {
        p.reset();
        p.bind(formatacodigo(n));
        if (!p.next()) {
            if (!p.ok())
                return falhou(p.erro());
            break;
        }
        if (n >= std::numeric_limits<qint64>::max())
            break;
        ++n;
    }
    return formatacodigo(n);
}

Leitura codigoempagamentos(Tabela tabela, const QString& codigo)
{
    Escopo e = abreconexaopagamentos();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta p(sqlpagamentos(tabela));
    p.bind(codigo);
    if (p.next())
        return Leitura::Encontrado;
    return p.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(p.erro());
}

Leitura proximocodigo(Tabela tabela, const QString& codigo, QString* alvo)
{
    return vizinho(tabela, codigo, true, alvo);
}

Leitura codigoanterior(Tabela tabela, const QString& codigo, QString* alvo)
{
    return vizinho(tabela, codigo, false, alvo);
}

}  // namespace tivane
