#include "tithes/relatorios.h"
#include "tithes/pagamentos.h"

#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#include "core/conexao.h"
#include "core/texto.h"
#include "tithes/cabecalho.h"
#include "tithes/pagamentos.h"

namespace tivane {

namespace {

// Decodes UTF-8 at out exactly as QString::fromUtf8 does; gives the end.
// Plain ASCII and two-byte letters (the accents of Portuguese) are decoded
// here; from the first other sequence on, Qt's decoder takes the rest.
QChar* decodificautf8(QChar* out, QByteArrayView utf8)
{
    const auto* p = reinterpret_cast<const uchar*>(utf8.data());
    const qsizetype n = utf8.size();
    char16_t* d = reinterpret_cast<char16_t*>(out);
    qsizetype k = 0;
    while (k < n) {
        quint64 oito;
        if (k + 8 <= n && (std::memcpy(&oito, p + k, 8), (oito & 0x8080808080808080ULL) == 0)) {
            for (int j = 0; j < 8; ++j)
                d[j] = p[k + j];
            d += 8;
            k += 8;
        } else if (p[k] < 0x80) {
            *d++ = p[k++];
        } else if (p[k] >= 0xC2 && p[k] <= 0xDF && k + 1 < n && (p[k + 1] & 0xC0) == 0x80) {
            *d++ = char16_t(((p[k] & 0x1F) << 6) | (p[k + 1] & 0x3F));
            k += 2;
        } else {
            break;
        }
    }
    if (k == n)
        return reinterpret_cast<QChar*>(d);
    // fromUtf8 drops a BOM only at the very start of the text.
    QStringDecoder resto(QStringConverter::Utf8,
                         k == 0 ? QStringConverter::Flag::Stateless
                                : QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return resto.appendToBuffer(reinterpret_cast<QChar*>(d), utf8.sliced(k));
}

QString rodape(const QDate& hoje)
{
    return quebralinha() + reguarelatorio() + quebralinha() + QStringLiteral(" DATA EMISSÃO: ") +
           dataporextenso(hoje, true) + quebralinha() + reguarelatorio();
}

// Opening of the registration-data, neighbourhood and birthday reports, up to the title.
QString aberturalista(const DadosIgreja& igreja, const QString& titulo)
{
    const QString nl = quebralinha();
    return nl + nl + cabecalhoigreja(igreja) + nl + nl + titulo;
}

void blocosdizimistas(QString& t, const ListaDizimistas& itens, const CamposRelatorio& campos)
{
    struct Linha {
        bool CamposRelatorio::*mostra;
        QStringView rotulo;
        ListaDizimistas::Campo campo;
    };
    static const Linha linhas[] = {{&CamposRelatorio::nome, u"Nome:       ", ListaDizimistas::Nome},
                                   {&CamposRelatorio::endereco, u"Endereço:   ", ListaDizimistas::Endereco},
                                   {&CamposRelatorio::telefone, u"Telefone:   ", ListaDizimistas::Telefone},
                                   {&CamposRelatorio::email, u"E-Mail:     ", ListaDizimistas::Email},
                                   {&CamposRelatorio::nascimento, u"Nascimento: ", ListaDizimistas::Nascimento},
                                   {&CamposRelatorio::codigo, u"", ListaDizimistas::Codigo}};
    const QString nl = quebralinha();
    const QString regua = reguarelatorio();
    // One allocation, then plain copies (thousands of tithers). A text takes at
    // most as many units as its UTF-8 bytes; the spare is cut at the end.
    qsizetype tamanho = t.size() + itens.size() * (3 * nl.size() + regua.size());
    for (qsizetype i = 0; i < itens.size(); ++i)
        for (const Linha& l : linhas)
            if (campos.*l.mostra)
                tamanho += nl.size() + l.rotulo.size() + itens.utf8(i, l.campo).size();
    qsizetype pos = t.size();
    t.reserve(tamanho + 256);  // and the foot
    t.resize(tamanho);
    QChar* d = t.data();
    // Pieces of a few dozen characters: a plain loop beats a call to memcpy each.
    const auto poe = [&d, &pos](QStringView s) {
        char16_t* const destino = reinterpret_cast<char16_t*>(d + pos);
        const char16_t* const origem = s.utf16();
        for (qsizetype k = 0; k < s.size(); ++k)
            destino[k] = origem[k];
        pos += s.size();
    };
    for (qsizetype i = 0; i < itens.size(); ++i) {
        poe(nl);
        poe(nl);
        poe(regua);
        poe(nl);
        for (const Linha& l : linhas) {
            if (!(campos.*l.mostra))
                continue;
            poe(nl);
            poe(l.rotulo);
            pos = decodificautf8(d + pos, itens.utf8(i, l.campo)) - d;
        }
    }
    t.resize(pos);
}

}  // namespace

QString textorelatoriodedados(const ListaDizimistas& itens, const CamposRelatorio& campos,
                              const DadosIgreja& igreja, const QDate& hoje)
{
    QString t = aberturalista(igreja, QStringLiteral("DADOS DE CADASTRO DE DIZIMISTAS"));
    blocosdizimistas(t, itens, campos);
    t += rodape(hoje);
    return t;
}

QString textorelatoriobairro(const ListaDizimistas& itens, const QString& bairro,
                             const CamposRelatorio& campos, const DadosIgreja& igreja, const QDate& hoje)
{
    QString t = aberturalista(igreja, QStringLiteral("RELATÓRIO DE DIZIMISTAS POR BAIRRO"));
    t += quebralinha() + quebralinha() + QStringLiteral("BAIRRO:") + bairro;
    blocosdizimistas(t, itens, campos);
    t += rodape(hoje);
    return t;
}

QString textorelatorioaniversariantes(const ListaDizimistas& itens, int mes, bool exibetelefone,
                                      const DadosIgreja& igreja, const QDate& hoje)
{
    const QString nl = quebralinha();
    const QString regua = reguarelatorio();
    QString t = aberturalista(igreja, QStringLiteral("              ANIVERSARIANTES DO MÊS"));
    t += nl + QString(22, u' ') + nomedomes(mes).toUpper();
    t += nl + regua + nl + QStringLiteral("   DIA       NOME");
    if (exibetelefone)
        t += QStringLiteral("                                     TELEFONE                CELULAR");
    t += nl + regua;

    // By day of birth, the order of the load kept within a day.
    QVector<ItemDizimista> ordem;
    ordem.reserve(itens.size());
    for (qsizetype i = 0; i < itens.size(); ++i)
        ordem.append(itens.item(i));
    std::stable_sort(ordem.begin(), ordem.end(),
                     [](const ItemDizimista& a, const ItemDizimista& b) { return a.dia < b.dia; });
    QString ultimodia = QStringLiteral("00");
    for (const ItemDizimista& i : ordem) {
        if (i.dia != ultimodia) {
            t += nl + QStringLiteral("   ") + completaadireita(i.dia, 10) + completaadireita(i.nome, 40);
            ultimodia = i.dia;
        } else {
            t += completaadireita(QStringLiteral(" "), 13) + completaadireita(i.nome, 40);
        }
        if (exibetelefone)
            t += completaadireita(i.telefonedia, 15) + QString(10, u' ') + i.celular;
        t += nl;
    }

    t += nl + regua + nl + QStringLiteral(" DATA EMISSÃO: ") + dataporextenso(hoje, true);
    t += QStringLiteral("  -  ") + igreja.site;
    t += nl + regua;
    return t;
}

// ---- The list ---------------------------------------------------------------

ListaDizimistas::ListaDizimistas(std::initializer_list<ItemDizimista> itens)
{
    for (const ItemDizimista& d : itens)
        append(d);
}

ItemDizimista ListaDizimistas::item(qsizetype i) const
{
    const auto t = [this, i](Campo c) { return campo(i, c); };
    return {t(Codigo), ativo(i), t(Nome), t(Endereco), t(Telefone), t(Email), t(Nascimento), t(Dia), t(TelefoneDia),
            t(Celular)};
}

void ListaDizimistas::append(const ItemDizimista& d)
{
    const QString* campos[CAMPOS] = {&d.codigo,     &d.nome, &d.endereco,    &d.telefone, &d.email,
                                     &d.nascimento, &d.dia,  &d.telefonedia, &d.celular};
    QByteArray utf8[CAMPOS];
    Pedaco pedacos[2 * CAMPOS];
    int n = 0;
    for (int c = 0; c < CAMPOS; ++c) {
        // Decoding drops a leading BOM: one more keeps a text that starts with U+FEFF.
        if (campos[c]->startsWith(QChar(0xFEFF)))
            pedacos[n++] = {Campo(c), "\xEF\xBB\xBF"};
        utf8[c] = campos[c]->toUtf8();
        pedacos[n++] = {Campo(c), utf8[c]};
    }
    appendutf8(d.ativo, pedacos, n);
}

void ListaDizimistas::append(const ListaDizimistas& outra, qsizetype i)
{
    Linha l = outra.linhas_.at(i);
    const qsizetype inicio = l.inicio;
    l.inicio = texto_.size();
    texto_ += QByteArrayView(outra.texto_).sliced(inicio, l.fim[CAMPOS - 1]);
    linhas_.append(l);
}

void ListaDizimistas::appendutf8(bool ativo, const Pedaco* pedacos, int quantos)
{
    Linha l;
    l.inicio = texto_.size();
    l.ativo = ativo;
    qsizetype bytes = 0;
    for (int k = 0; k < quantos; ++k)
        bytes += pedacos[k].utf8.size();
    texto_.resize(l.inicio + bytes);   // one resize per tither, not one per piece
    char* const base = texto_.data() + l.inicio;
    quint32 pos = 0;
    int campo = 0;
    for (int k = 0; k < quantos; ++k) {
        for (; campo < pedacos[k].campo; ++campo)
            l.fim[campo] = pos;
        const QByteArrayView p = pedacos[k].utf8;
        if (!p.isEmpty())
            std::memcpy(base + pos, p.data(), size_t(p.size()));
        pos += quint32(p.size());
    }
    for (; campo < CAMPOS; ++campo)
        l.fim[campo] = pos;
    linhas_.append(l);
}

// ---- Loaders ----------------------------------------------------------------

namespace {

const char* const CAMPOS_LISTA =
    "SELECT codigo, nome, endereco, bairro, cidade, cep, tel, email, nascimento, ativo FROM dizimistas";

// A field as every other read gives it: without a byte-order mark at its start.
QByteArrayView sembom(QByteArrayView utf8)
{
    return utf8.startsWith("\xEF\xBB\xBF") ? utf8.sliced(3) : utf8;
}

// One tither of the complete or neighbourhood list. The address is endereco,
// then " ," bairro, " ," cidade and " CEP.: " cep, each only when it has a
// value; the complete list composes it only when there is a street, the
// neighbourhood list also when there is a neighbourhood.
void poeitemlista(const Consulta& c, bool enderecosembairro, ListaDizimistas* l)
{
    using L = ListaDizimistas;
    L::Pedaco p[12];
    int n = 0;
    p[n++] = {L::Codigo, c.utf8(0)};
    p[n++] = {L::Nome, c.utf8(1)};
    const QByteArrayView rua = sembom(c.utf8(2)), bairro = sembom(c.utf8(3));
    if (!rua.isEmpty() || (enderecosembairro && !bairro.isEmpty())) {
        p[n++] = {L::Endereco, rua};
        const std::pair<QByteArrayView, QByteArrayView> partes[] = {
            {" ,", bairro}, {" ,", sembom(c.utf8(4))}, {" CEP.: ", sembom(c.utf8(5))}};
        for (const auto& [separador, parte] : partes) {
            if (!parte.isEmpty()) {
                p[n++] = {L::Endereco, separador};
                p[n++] = {L::Endereco, parte};
            }
        }
    }
    p[n++] = {L::Telefone, c.utf8(6)};
    p[n++] = {L::Email, c.utf8(7)};
    p[n++] = {L::Nascimento, c.utf8(8)};
    l->appendutf8(!c.isNull(9) && c.inteiro(9) != 0, p, n);
}

}  // namespace

bool carregalistacompletadizimistas(ListaDizimistas* itens, QString* causa)
{
    ListaDizimistas r;
    Escopo e = abreconexaodizimistas();
    if (!e)
        return falhou(causa, e.causa());
    Consulta c(QString::fromLatin1(CAMPOS_LISTA) + QStringLiteral(" ORDER BY rowid"));
    while (c.next())
        poeitemlista(c, false, &r);
    if (!c.ok())
        return falhou(causa, c.erro());
    *itens = std::move(r);
    return true;
}

bool carregalistadizimistasporbairro(const QString& bairro, ListaDizimistas* itens, QString* causa)
{
    ListaDizimistas r;
    Escopo e = abreconexaodizimistas();
    if (!e)
        return falhou(causa, e.causa());
    // A plain "contains", folding case (not accents: "sao" does not find "São");
    // the typed text is never part of the SQL.
    Consulta c(QString::fromLatin1(CAMPOS_LISTA) +
               QStringLiteral(" WHERE instr(dobra(bairro), dobra(?)) > 0 ORDER BY rowid"));
    c.bind(bairro);
    while (c.next())
        poeitemlista(c, true, &r);
    if (!c.ok())
        return falhou(causa, c.erro());
    *itens = std::move(r);
    return true;
}

bool itemaniversariante(const QString& nascimento, int mes, QString* dia)
{
    const QDate d = lerdata(nascimento.trimmed());
    if (!d.isValid() || d.month() != mes)
        return false;
    if (dia)
        *dia = QStringLiteral("%1").arg(d.day(), 2, 10, QChar(u'0'));
    return true;
}

bool carregalistaaniversariantes(int mes, ListaDizimistas* itens, QString* causa)
{
    ListaDizimistas r;
    if (mes < 1 || mes > 12) {
        *itens = r;
        return true;
    }
    Escopo e = abreconexaodizimistas();
    if (!e)
        return falhou(causa, e.causa());
    Consulta c("SELECT codigo, nome, nascimento, tel, celular, ativo FROM dizimistas"
               " WHERE nascimento IS NOT NULL ORDER BY rowid");
    while (c.next()) {
        QString dia;
        if (!itemaniversariante(c.text(2), mes, &dia))
            continue;
        using L = ListaDizimistas;
        const QByteArray diautf8 = dia.toUtf8();
        const L::Pedaco p[] = {{L::Codigo, c.utf8(0)},      {L::Nome, c.utf8(1)},        {L::Nascimento, c.utf8(2)},
                               {L::Dia, diautf8},           {L::TelefoneDia, c.utf8(3)}, {L::Celular, c.utf8(4)}};
        r.appendutf8(!c.isNull(5) && c.inteiro(5) != 0, p, int(std::size(p)));
    }
    if (!c.ok())
        return falhou(causa, c.erro());
    *itens = std::move(r);
    return true;
}

// ---- Receipts over a period -------------------------------------------------

namespace {

bool reciboestornado(const LinhaPagamento& l)
{
    return l.codigodizimista.startsWith(u'E');
}

QString erronovalor(const LinhaPagamento& l)
{
    return QStringLiteral("O valor \"%1\" do recibo %2 (dia %3) não é um número. O relatório foi interrompido; "
                          "corrija o valor desse recibo e emita o relatório novamente.")
        .arg(l.valor, l.codigo, l.data);
}

QString errodeleitura(const QString& dia, const QString& causa)
{
    QString t = QStringLiteral("Não foi possível ler os recebimentos do dia %1").arg(dia);
    if (!causa.isEmpty())
        t += QStringLiteral(": ") + causa;
    return t + QStringLiteral(". O relatório foi interrompido.");
}

// Amounts add up as the currency type does, in ten-thousandths of a real,
// and are rounded to cents only where printed: three receipts of 0,005 make 0,02.
constexpr double LIMITE_VALOR = 1e13;

// The stored form "1234,50" is read here directly (a year holds hundreds of
// thousands of rows); anything else goes through the general reader.
bool valorarmazenado(const QString& t, qint64* dezmilesimos)
{
    const int n = t.size();
    if (n < 4 || n > 18 || t.at(n - 3) != u',')
        return false;
    int i = t.at(0) == u'-' ? 1 : 0;
    if (i >= n - 3)
        return false;
    qint64 v = 0;
    for (int k = i; k < n; ++k) {
        if (k == n - 3)
            continue;
        const char16_t c = t.at(k).unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    if (v >= qint64(LIMITE_VALOR) * 100)
        return false;
    *dezmilesimos = (i ? -v : v) * 100;
    return true;
}

bool valordalinha(const LinhaPagamento& l, qint64* dezmilesimos)
{
    if (l.valornulo || l.valor.trimmed().isEmpty()) {
        *dezmilesimos = 0;
        return true;
    }
    return valorarmazenado(l.valor, dezmilesimos) || lervalorcasas(l.valor, 4, dezmilesimos);
}

// "0.00" of a sum: rounded once, half away from zero.
QString formatasoma(qint64 dezmilesimos)
{
    const qint64 centavos = (std::abs(dezmilesimos) + 50) / 100;
    return formatacentavos(dezmilesimos < 0 ? -centavos : centavos);
}

// Walks the period day by day: progress, the day's rows from the source, then
// the report's handling of the counted rows (reversed receipts and other
// tithers left out). False, with the message in r, when a day cannot be read
// or an amount is not a number.
template <typename PorLinha, typename FimDoDia>
bool percorreperiodo(const PeriodoRelatorio& p, const FonteDia& fonte, const ProgressoDia& progresso,
                     ResultadoRelatorio& r, PorLinha porlinha, FimDoDia fimdodia)
{
    const bool filtra = !p.codigodizimista.isEmpty();
    const int total = int(p.inicio.daysTo(p.fim)) + 1;
    QVector<LinhaPagamento> linhas;
    QDate data = p.inicio;
    for (int contador = 1; contador <= total; ++contador, data = data.addDays(1)) {
        if (progresso)
            progresso(contador, total);
        const QString dia = data.toString(QStringLiteral("dd/MM/yyyy"));
        linhas.clear();
        const LeituraDia lida = fonte(dia, linhas);
        if (!lida) {
            r.erro = errodeleitura(dia, lida.causa());
            r.texto.clear();
            return false;
        }
        for (const LinhaPagamento& l : linhas) {
            if (reciboestornado(l) || (filtra && l.codigodizimista != p.codigodizimista))
                continue;
            qint64 valor = 0;
            if (!valordalinha(l, &valor)) {
                r.erro = erronovalor(l);
                r.texto.clear();
                return false;
            }
            porlinha(dia, l, valor);
        }
        fimdodia(dia);
    }
    return true;
}

// The head of a period report: the church header, the title, the tither when
// the report is for one, the period, and the column heading between two rules.
void cabecalhoperiodo(TextoCompacto& t, const DadosIgreja& igreja, const QString& titulo, const PeriodoRelatorio& p,
                      bool comdizimista, const QString& colunas)
{
    const QString nl = quebralinha();
    const QString regua = reguarelatorio();
    t += nl;
    t += nl + cabecalhoigreja(igreja);
    t += nl + titulo;
    t += nl;
    if (comdizimista)
        t += nl + QStringLiteral("DIZIMSTA: ") + p.nomedizimista + nl;
    t += nl + QStringLiteral("PERÍODO DE:  ") + dataporextenso(p.inicio, false) + QStringLiteral("  ATÉ:  ")
         + dataporextenso(p.fim, false) + QStringLiteral(" ");
    t += nl;
    t += nl + regua;
    t += nl + colunas;
    t += nl + regua;
    t += nl;
}

QString rodapeperiodo(qint64 total, const QDate& hoje)
{
    const QString nl = quebralinha();
    return nl + reguarelatorio() + nl +
           completaaesquerda(QStringLiteral("Total no Período:  R$ ") + formatasoma(total), 82) + nl +
           QStringLiteral(" DATA EMISSÃO: ") + dataporextenso(hoje, true) + nl + reguarelatorio();
}

bool periodovalido(const PeriodoRelatorio& p, ResultadoRelatorio* r)
{
    if (!p.inicio.isValid() || !p.fim.isValid() || p.fim < p.inicio) {
        r->erro = QStringLiteral("Período inválido.");
        return false;
    }
    return true;
}

}  // namespace

ResultadoRelatorio montarelatoriorecebimentos(const PeriodoRelatorio& p, const DadosIgreja& igreja,
                                              const QDate& hoje, const FonteDia& fonte,
                                              const ProgressoDia& progresso)
{
    ResultadoRelatorio r;
    if (!periodovalido(p, &r))
        return r;
    const QString nl = quebralinha();
    const QString semcodigo(16, u' ');
    const QString naoidentificado = QStringLiteral("Não Identificado");
    const QString zero = QStringLiteral("0,00");

    TextoCompacto& t = r.texto;
    t.reserve(64 * 1024);
    cabecalhoperiodo(t, igreja, QStringLiteral("                    RECEBIMENTO DE DÍZIMOS POR PERÍODO"), p,
                     !p.codigodizimista.isEmpty(),
                     QStringLiteral(" DATA           DIZIMISTA                                        VALOR"));

    qint64 soma = 0;
    bool datalancada = false;
    const bool ok = percorreperiodo(
        p, fonte, progresso, r,
        [&](const QString& dia, const LinhaPagamento& l, qint64 valor) {
            if (!datalancada) {
                t += completaadireita(dia, 16);
                t += nl;
                datalancada = true;
            }
            // Columns as completaadireita / completaaesquerda make them, without a string per column.
            if (p.mostracodigos)
                t.acrescentaAEsquerda(l.codigo, 16);
            else
                t += semcodigo;
            t.acrescentaAEsquerda(l.nomenulo ? naoidentificado : l.nomedizimista, 50);
            t.acrescentaADireita(l.valornulo ? zero : l.valor, 16);
            t += nl;
            soma += valor;
        },
        [&](const QString&) { datalancada = false; });
    if (!ok)
        return r;
    t += rodapeperiodo(soma, hoje);
    r.ok = true;
    return r;
}

ResultadoRelatorio montarelatoriototaisdiarios(const PeriodoRelatorio& p, const DadosIgreja& igreja,
                                               const QDate& hoje, const FonteDia& fonte,
                                               const ProgressoDia& progresso)
{
    ResultadoRelatorio r;
    if (!periodovalido(p, &r))
        return r;
    const QString nl = quebralinha();

    TextoCompacto& t = r.texto;
    t.reserve(32 * 1024);
    cabecalhoperiodo(t, igreja, QStringLiteral("               VALORES DE RECEBIMENTOS DE DÍZIMOS POR PERÍODO"), p,
                     false, QStringLiteral(" DATA         VALOR DIÁRIO"));

    qint64 soma = 0;
    qint64 somadia = 0;
    const bool ok = percorreperiodo(
        p, fonte, progresso, r, [&](const QString&, const LinhaPagamento&, qint64 valor) { somadia += valor; },
        [&](const QString& dia) {
            soma += somadia;
            if (somadia != 0) {
                t += dia;
                t += completaaesquerda(formatasoma(somadia), 16);
                t += nl;
            }
            somadia = 0;
        });
    if (!ok)
        return r;
    t += rodapeperiodo(soma, hoje);
    r.ok = true;
    return r;
}

namespace {

// Rows grouped by day, each day in the order given.
FonteDia fontememoria(const QVector<LinhaPagamento>& linhas)
{
    auto porDia = std::make_shared<QHash<QString, QVector<int>>>();
    for (int i = 0; i < linhas.size(); ++i)
        (*porDia)[linhas.at(i).data].append(i);
    return [porDia, &linhas](const QString& dia, QVector<LinhaPagamento>& saida) {
        const auto it = porDia->constFind(dia);
        if (it != porDia->constEnd())
            for (int i : *it)
                saida.append(linhas.at(i));
        return true;
    };
}

}  // namespace

ResultadoRelatorio textorelatoriorecebimentos(const QVector<LinhaPagamento>& linhas, const PeriodoRelatorio& periodo,
                                              const DadosIgreja& igreja, const QDate& hoje)
{
    return montarelatoriorecebimentos(periodo, igreja, hoje, fontememoria(linhas));
}

ResultadoRelatorio textorelatoriototaisdiarios(const QVector<LinhaPagamento>& linhas,
                                               const PeriodoRelatorio& periodo, const DadosIgreja& igreja,
                                               const QDate& hoje)
{
    return montarelatoriototaisdiarios(periodo, igreja, hoje, fontememoria(linhas));
}

// ---- Day reader ---------------------------------------------------------------

struct LeitorPagamentosDia::Dados {
    Escopo escopo = abreconexaopagamentos();
    ColunasPagamento colunas = ColunasPagamento::Recibos;
    std::unique_ptr<Consulta> consulta;
    std::unique_ptr<Consulta> codigo;   // daily totals: the code of a row whose amount is not a number
};

LeitorPagamentosDia::LeitorPagamentosDia(ColunasPagamento colunas) : d(std::make_unique<Dados>())
{
    d->colunas = colunas;
    if (!d->escopo)
        return;
    if (colunas == ColunasPagamento::Recibos)
        d->consulta = std::make_unique<Consulta>("SELECT codigodizimista, valor, codigo, nomedizimista FROM pagamentos"
                                                 " WHERE data = ? ORDER BY rowid");
    else
        d->consulta = std::make_unique<Consulta>("SELECT codigodizimista, valor, rowid FROM pagamentos"
                                                 " WHERE data = ? ORDER BY rowid");
}

// Dados declares the statements after their connection, so they are finalized first.
LeitorPagamentosDia::~LeitorPagamentosDia() = default;

bool LeitorPagamentosDia::ok() const
{
    return d->escopo && d->consulta && d->consulta->ok();
}

QString LeitorPagamentosDia::causa() const
{
    return !d->escopo ? d->escopo.causa() : d->consulta ? d->consulta->erro() : QString();
}

LeituraDia LeitorPagamentosDia::le(const QString& dia, QVector<LinhaPagamento>& linhas)
{
    if (!ok())
        return LeituraDia::falha(causa());
    const bool recibos = d->colunas == ColunasPagamento::Recibos;
    Consulta& c = *d->consulta;
    c.reset();
    c.bind(dia);
    while (c.next()) {
        LinhaPagamento l;
        l.data = dia;
        l.codigodizimista = c.text(0);
        l.valornulo = c.isNull(1);
        l.valor = c.text(1);
        if (recibos) {
            l.codigo = c.text(2);
            l.nomenulo = c.isNull(3);
            l.nomedizimista = c.text(3);
        } else if (qint64 v = 0; !reciboestornado(l) && !valordalinha(l, &v)) {
            if (!d->codigo)
                d->codigo = std::make_unique<Consulta>("SELECT codigo FROM pagamentos WHERE rowid = ?");
            Consulta& k = *d->codigo;
            k.reset();
            k.bind(c.inteiro(2));
            if (k.next())
                l.codigo = k.text(0);
            if (!k.ok()) {
                const LeituraDia falhou = LeituraDia::falha(k.erro());
                k.reset();
                c.reset();
                return falhou;
            }
            k.reset();
        }
        linhas.append(std::move(l));
    }
    const LeituraDia lida = c.ok() ? LeituraDia(true) : LeituraDia::falha(c.erro());
    c.reset();
    return lida;
}

}  // namespace tivane
