#include "tithes/pagamentos.h"

#include "core/conexao.h"
#include "core/registro.h"
#include "register/numeracao.h"

#include <QDateTime>
#include <QLocale>
#include <sqlcipher/sqlite3.h>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tivane {

namespace {

// Larger amounts are not money a church office types; they also keep cents inside qint64.
constexpr double LIMITE_VALOR = 1e13;

// Number part and year part of a code, as the indexed lookup reads them:
// the number is the leading digits before the "/" (00012 -> 12, "abc" -> 0),
// the year the two characters after it.
const char* const SQL_ANO_CODIGO = "substr(codigo, instr(codigo, '/') + 1, 2)";
const char* const SQL_NUMERO_CODIGO = "CAST(substr(codigo, 1, instr(codigo, '/') - 1) AS INTEGER)";

QString doisdigitos(int ano)
{
    return QString::number(((ano % 100) + 100) % 100).rightJustified(2, QLatin1Char('0'));
}

// The highest receipt number that still has a next one.
constexpr qint64 MAIOR_NUMERO_RECIBO = std::numeric_limits<qint64>::max() - 1;

// Highest number among the codes of that year; 0 when there is none; -1 when
// it cannot be known (read failure) or cannot be continued (a number written by
// another tool at the limit of 64 bits or beyond), with the cause in causa.
qint64 maiornumerorecibo(int ano, QString* causa)
{
    // "+": the position of "/" must not steer the plan away from the index on year and number.
    const QString sql = QStringLiteral("SELECT %1, codigo FROM pagamentos WHERE %2 = ? AND +instr(codigo, '/') > 0"
                                       " ORDER BY %1 DESC LIMIT 1")
                            .arg(QLatin1String(SQL_NUMERO_CODIGO), QLatin1String(SQL_ANO_CODIGO));
    Consulta c(sql);
    c.bind(doisdigitos(ano));
    qint64 maior = 0;
    QString limite;
    if (c.next()) {
        maior = qMax<qint64>(0, c.inteiro(0));
        // Named as stored: the cast stops at the largest 64-bit number.
        if (maior > MAIOR_NUMERO_RECIBO)
            limite = c.text(1);
    } else if (!c.ok()) {
        *causa = c.erro();
        return -1;
    }
    // The database's cast wraps numbers of 20 digits and more: those are read
    // here, from the text, through the index on the position of "/" (the year
    // term is kept off the index with "+"; a file without the index is scanned).
    Consulta longos(QStringLiteral("SELECT substr(codigo, 1, instr(codigo, '/') - 1), codigo FROM pagamentos"
                                   " WHERE instr(codigo, '/') > 19 AND +%1 = ?")
                        .arg(QLatin1String(SQL_ANO_CODIGO)));
    longos.bind(doisdigitos(ano));
    while (limite.isEmpty() && longos.next()) {
        const qint64 n = valorcodigo(longos.text(0));
        if (n > MAIOR_NUMERO_RECIBO)
            limite = longos.text(1);
        else
            maior = qMax(maior, n);
    }
    if (!longos.ok()) {
        *causa = longos.erro();
        return -1;
    }
    if (!limite.isEmpty()) {
        *causa = QStringLiteral("o recibo %1 tem o maior número possível, e o número do próximo recibo "
                                "deste ano não pode ser calculado")
                     .arg(limite);
        return -1;
    }
    return maior;
}

}  // namespace

bool lervalorcasas(const QString& texto, int casas, qint64* unidades)
{
    bool ok = false;
    const double v = QLocale(QLocale::Portuguese, QLocale::Brazil).toDouble(texto.trimmed(), &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) >= LIMITE_VALOR)
        return false;
    // Round half away from zero on the decimal digits, as "0.00" did: 1,005 -> 1,01.
    const QString s = QString::number(std::fabs(v), 'f', 8);
    const int ponto = s.indexOf(QLatin1Char('.'));
    qint64 escala = 1;
    for (int i = 0; i < casas; ++i)
        escala *= 10;
    qint64 u = s.left(ponto).toLongLong() * escala + s.mid(ponto + 1, casas).toLongLong();
    if (s.at(ponto + 1 + casas).digitValue() >= 5)
        ++u;
    if (unidades)
        *unidades = v < 0 ? -u : u;
    return true;
}

bool lervalor(const QString& texto, qint64* centavos)
{
    return lervalorcasas(texto, 2, centavos);
}

QString formatacentavos(qint64 centavos)
{
    const qint64 a = centavos < 0 ? -centavos : centavos;
    QString s = QString::number(a / 100) + QLatin1Char(',') + QString::number(a % 100).rightJustified(2, QLatin1Char('0'));
    if (centavos < 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

QString formatavalor(const QString& texto)
{
    qint64 c = 0;
    if (!lervalor(texto, &c))
        return texto;
    return formatacentavos(c);
}

QString montacodigorecibo(qint64 numero, int ano)
{
    return QString::number(numero).rightJustified(5, QLatin1Char('0')) + QLatin1Char('/') + doisdigitos(ano);
}

QString geracodigorecibo()
{
    return geracodigorecibo(QDate::currentDate().year());
}

QString geracodigorecibo(int ano, QString* causa)
{
    QString porque;
    Escopo e = abreconexaopagamentos();
    const qint64 maior = e ? maiornumerorecibo(ano, &porque) : -1;
    if (maior < 0) {
        if (causa)
            *causa = e ? porque : e.causa();
        return QString();
    }
    return montacodigorecibo(maior + 1, ano);
}

QString gravapagamento(QString& data, QString& hora, QString& valor, QString& codigodizimista,
                       QString& nomedizimista, QString& mesreferencia, QString& anoreferencia, QString* causa)
{
    const auto falhou = [causa](const QString& porque) {
        if (causa)
            *causa = porque;
        return QString();
    };
    if (codigodizimista.isEmpty()) {
        codigodizimista = QStringLiteral("0000");
        nomedizimista = QStringLiteral("NÃO ESPECIFICADO");
    }
    // What the payments window refuses is refused here too, whoever calls.
    qint64 centavos = 0;
    if (!lervalor(valor, &centavos))
        return falhou(QStringLiteral("o valor \"%1\" não é um valor em reais").arg(valor));
    if (centavos == 0)
        return falhou(QStringLiteral("o valor recebido não foi definido (%1)").arg(valor));
    if (centavos < 0 || centavos > VALOR_MAXIMO_CENTAVOS)
        return falhou(QStringLiteral("o valor %1 não pode ser escrito por extenso no recibo").arg(valor));
    valor = formatacentavos(centavos);
    const QString funcionario = lerusuarioatual();
    const QDate dia = lerdata(data);
    const int ano = dia.isValid() ? dia.year() : QDate::currentDate().year();

    Escopo e = abreconexaopagamentos();
    if (!e || !e.inicia())
        return falhou(e.causa());
    QString porque;
    const qint64 maior = maiornumerorecibo(ano, &porque);
    if (maior < 0) {
        e.desfaz();
        return falhou(porque);
    }
    const QString codigo = montacodigorecibo(maior + 1, ano);
    Consulta c("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
               " nomedizimista, mesreferencia, anoreferencia) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    c.bind(codigo).bind(data).bind(hora).bind(valor).bind(funcionario).bind(codigodizimista).bind(nomedizimista)
        .bind(mesreferencia).bind(anoreferencia);
    if (!c.exec()) {
        e.desfaz();
        return falhou(c.erro());
    }
    if (!e.confirma())
        return falhou(e.causa());
    return codigo;
}

Leitura reciboexiste(const QString& codigo)
{
    Escopo e = abreconexaopagamentos();
    if (!e)
        return Leitura::falha(e.causa());
    Consulta c("SELECT 1 FROM pagamentos WHERE codigo = ? LIMIT 1");
    c.bind(codigo);
    if (c.next())
        return Leitura::Encontrado;
    return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
}

namespace {

// Read by hand: the start-up sweep reads every payment date of every tither,
// and the general date parser costs a hundred times more.
template <typename Texto>
QDate lerpartesdata(Texto t)
{
    t = t.trimmed();
    int partes[3] = {0, 0, 0};
    int digitos[3] = {0, 0, 0};
    int p = 0;
    for (const auto caractere : t) {
        const char16_t ch = QChar(caractere).unicode();
        if (ch == u'/') {
            if (++p > 2)
                return {};
            continue;
        }
        if (ch < u'0' || ch > u'9' || ++digitos[p] > 4)
            return {};
        partes[p] = partes[p] * 10 + (ch - u'0');
    }
    // dd/MM/yyyy or d/M/yyyy
    if (p != 2 || digitos[0] < 1 || digitos[0] > 2 || digitos[1] < 1 || digitos[1] > 2 || digitos[2] != 4)
        return {};
    return QDate(partes[2], partes[1], partes[0]);
}

}  // namespace

QDate lerdata(const QString& texto)
{
    return lerpartesdata(QStringView(texto));
}

QDate lerdata(QLatin1StringView texto)
{
    return lerpartesdata(texto);
}

namespace {

const QDate PISO_ULTIMO_PAGAMENTO(2010, 1, 1);

// A stored date as a Julian day, read as lerdata reads it; -1 when it is not a
// date. Runs once per payment: plain ASCII, nearly every stored date, is read
// from the bytes without decoding them.
qint64 diajuliano(const unsigned char* p, int n)
{
    if (!p)
        return -1;
    const char* texto = reinterpret_cast<const char*>(p);
    const bool ascii = std::all_of(p, p + n, [](unsigned char c) { return c < 0x80; });
    const QDate d = ascii ? lerdata(QLatin1StringView(texto, n)) : lerdata(QString::fromUtf8(texto, n));
    return d.isValid() ? d.toJulianDay() : -1;
}

struct Acumulado {
    bool algum;      // a payment joined
    bool ilegivel;   // a payment's date cannot be read
    qint64 maior;
    qint64 cadastro;
};

void passo(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* a = static_cast<Acumulado*>(sqlite3_aggregate_context(ctx, sizeof(Acumulado)));
    if (!a) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        // The outer join's empty row: the tither has no payment.
        a->cadastro = diajuliano(sqlite3_value_text(argv[2]), sqlite3_value_bytes(argv[2]));
        return;
    }
    a->algum = true;
    if (a->ilegivel)
        return;
    const qint64 dia = diajuliano(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]));
    if (dia < 0)
        a->ilegivel = true;
    else if (dia > a->maior)
        a->maior = dia;
}

void final(sqlite3_context* ctx)
{
    auto* a = static_cast<Acumulado*>(sqlite3_aggregate_context(ctx, 0));
    if (!a)
        sqlite3_result_null(ctx);
    else if (!a->algum)
        a->cadastro < 0 ? sqlite3_result_null(ctx) : sqlite3_result_int64(ctx, a->cadastro);
    else if (a->ilegivel)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int64(ctx, qMax(a->maior, PISO_ULTIMO_PAGAMENTO.toJulianDay()));
}

}  // namespace

bool registraultimopagamento()
{
    return sqlite3_create_function_v2(Banco::conexao(), "ultimopagamento", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                      nullptr, nullptr, passo, final, nullptr)
           == SQLITE_OK;
}

Gravacao estornapagamento(const QString& codigo, bool* falhouleitura)
{
    const QString funcionario = lerusuarioatual();
    const QDateTime agora = QDateTime::currentDateTime();
    Escopo e = abreconexaopagamentos();
    if (falhouleitura)
        *falhouleitura = false;
    if (!e)
        return Gravacao::falha(e.causa());
    qint64 linha = 0;
    QString dizimista;
    {
        Consulta c("SELECT rowid, codigodizimista FROM pagamentos WHERE codigo = ? LIMIT 1");
        c.bind(codigo);
        if (!c.next()) {
            if (c.ok())
                return Gravacao::NaoEncontrado;
            if (falhouleitura)
                *falhouleitura = true;
            return Gravacao::falha(c.erro());
        }
        linha = c.inteiro(0);
        dizimista = c.text(1);
    }
    if (!e.inicia())
        return Gravacao::falha(e.causa());
    Consulta apaga("DELETE FROM pagamentos WHERE rowid = ?");
    apaga.bind(linha);
    Consulta novo("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
                  " nomedizimista) VALUES (?, ?, ?, ?, ?, ?, ?)");
    novo.bind(codigo)
        .bind(agora.toString(QStringLiteral("dd/MM/yyyy")))
        .bind(agora.toString(QStringLiteral("HH:mm")))
        .bind(QStringLiteral("0,00"))
        .bind(funcionario)
        .bind(QStringLiteral("E") + dizimista)
        .bind(QStringLiteral("Recibo Estornado"));
    if (!apaga.exec() || apaga.changes() != 1 || !novo.exec()) {
        e.desfaz();
        return Gravacao::falha(apaga.ok() ? novo.erro() : apaga.erro());
    }
    if (!e.confirma())
        return Gravacao::falha(e.causa());
    return Gravacao::Gravado;
}


}  // namespace tivane
