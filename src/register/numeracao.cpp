#include "register/numeracao.h"

#include <limits>

namespace tivane {

namespace {

// Only the two registers are numbered here; receipts have codes of their own.
QString nomeTabela(Tabela tabela)
{
    return tabela == Tabela::Usuarios ? QStringLiteral("usuarios") : QStringLiteral("dizimistas");
}

// The number of a code, false when it does not fit in 64 bits.
bool lenumerocodigo(const QString& texto, qint64* numero)
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
            *numero = negativo ? -maximo : maximo;
            return false;
        }
        valor = valor * 10 + d;
    }
    *numero = negativo ? -valor : valor;
    return true;
}

// Whether the database's number of a row's code (column numero) is the code's
// own: the engine's cast wraps codes of twenty digits and more
// ("99999999999999999999" reads as 7766279631452241919) and stops those of
// nineteen at the largest 64-bit number, so such codes stand in the index
// where no number of theirs would. Codes typed by hand are the only ones.
bool numerodoindice(const Consulta& c, int codigo, int numero)
{
    qint64 n = 0;
    return lenumerocodigo(c.text(codigo), &n) && n == c.inteiro(numero);
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
    // Walks the index on (number, code) from the box's position: one select,
    // which passes over the codes that the index files under a wrong number.
    Consulta c(acima ? QStringLiteral("SELECT codigo, CAST(codigo AS INTEGER) FROM %1"
                                      " WHERE CAST(codigo AS INTEGER) >= ?1"
                                      " AND (CAST(codigo AS INTEGER) > ?1 OR codigo > ?2)"
                                      " ORDER BY CAST(codigo AS INTEGER), codigo").arg(t)
                     : QStringLiteral("SELECT codigo, CAST(codigo AS INTEGER) FROM %1"
                                      " WHERE CAST(codigo AS INTEGER) <= ?1"
                                      " AND (CAST(codigo AS INTEGER) < ?1 OR codigo < ?2)"
                                      " ORDER BY CAST(codigo AS INTEGER) DESC, codigo DESC").arg(t));
    c.bind(p.numero).bind(p.texto);
    while (c.next()) {
        if (numerodoindice(c, 0, 1)) {
            *alvo = c.text(0);
            return Leitura::Encontrado;
        }
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
    qint64 n = 0;
    lenumerocodigo(texto, &n);
    return n;
}

QString formatabarras(const QString& codigo)
{
    const QString t = codigo.trimmed();
    if (!codigonumerico(t))
        return codigo;
    // "00000#" written out on the digits themselves: no number to outgrow.
    int zeros = 0;
    while (zeros < t.size() && t.at(zeros) == u'0')
        ++zeros;
    const QString numero = t.mid(zeros);
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
        // From the top of the index on (number, code): the highest code that
        // has a next one. A code typed beyond 64 bits, or at their very end,
        // is passed over, never continued with a wrong number.
        Consulta c(QStringLiteral("SELECT codigo, CAST(codigo AS INTEGER) FROM %1"
                                  " ORDER BY CAST(codigo AS INTEGER) DESC, codigo DESC").arg(nomeTabela(tabela)));
        bool linhas = false;
        while (c.next()) {
            linhas = true;
            if (!numerodoindice(c, 0, 1) || c.inteiro(1) == std::numeric_limits<qint64>::max())
                continue;
            if (c.inteiro(1) >= 1)
                n = c.inteiro(1) + 1;
            break;
        }
        if (!c.ok())
            return falhou(c.erro());
        if (tabelavazia)
            *tabelavazia = !linhas;
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
