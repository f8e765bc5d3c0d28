#include "core/dobra.h"

#include <QChar>
#include <QString>
#include <sqlcipher/sqlite3.h>
#include <string>

namespace tivane {

namespace {

bool soAscii(const char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}

int comparaDobrado(void*, int n1, const void* p1, int n2, const void* p2)
{
    const char* a = static_cast<const char*>(p1);
    const char* b = static_cast<const char*>(p2);
    if (soAscii(a, n1) && soAscii(b, n2)) {
        const int n = qMin(n1, n2);
        for (int i = 0; i < n; ++i) {
            int ca = static_cast<unsigned char>(a[i]);
            int cb = static_cast<unsigned char>(b[i]);
            if (ca >= 'A' && ca <= 'Z') ca += 32;
            if (cb >= 'A' && cb <= 'Z') cb += 32;
            if (ca != cb)
                return ca - cb;
        }
        return n1 - n2;
    }
    const QString x = QString::fromUtf8(a, n1).toCaseFolded();
    const QString y = QString::fromUtf8(b, n2).toCaseFolded();
    return x.compare(y);
}

// The character at byte i of a UTF-8 text, its case folded, and how many
// bytes it takes; a byte that starts no character reads as U+FFFD.
inline char32_t letraDobrada(const unsigned char* p, int n, int i, int* tamanho)
{
    char32_t c = p[i];
    if (c < 0x80) {
        *tamanho = 1;
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    }
    if ((c & 0xE0) == 0xC0 && i + 1 < n) {
        c = ((c & 0x1F) << 6) | (p[i + 1] & 0x3F);
        *tamanho = 2;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < n) {
        c = ((c & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
        *tamanho = 3;
    } else if ((c & 0xF8) == 0xF0 && i + 3 < n) {
        c = ((c & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) | ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
        *tamanho = 4;
    } else {
        *tamanho = 1;
        return 0xFFFD;
    }
    return QChar::toCaseFolded(c);
}

// Decodes UTF-8 and folds the case of each character into a reused buffer.
void dobraUtf8(const unsigned char* p, int n, std::u32string& saida)
{
    saida.clear();
    for (int i = 0, tamanho = 1; i < n; i += tamanho)
        saida.push_back(letraDobrada(p, n, i, &tamanho));
}

// LIKE with % and _ of a folded pattern over a UTF-8 text, folded as it is
// read (a search runs it on every row: nothing is copied or allocated);
// esc makes the next pattern character literal. Greedy matching with one
// backtrack point, so no pattern can take exponential time.
bool casaLike(const std::u32string& p, const unsigned char* s, int n, char32_t esc)
{
    size_t ip = 0;
    int is = 0;
    size_t voltaP = std::u32string::npos;
    int voltaS = 0;
    int tamanho = 1;
    // After a "%", the text is read on to the first character that the
    // pattern's next plain character matches: no earlier one can start the rest.
    const auto pula = [&] {
        if (ip >= p.size() || p[ip] == U'%' || p[ip] == U'_' || (esc && p[ip] == esc))
            return;
        while (is < n && letraDobrada(s, n, is, &tamanho) != p[ip])
            is += tamanho;
        voltaS = is;
    };
    while (is < n) {
        if (ip < p.size()) {
            const char32_t c = p[ip];
            if (c == U'%') {
                voltaP = ++ip;
                voltaS = is;
                pula();
                continue;
            }
            const char32_t letra = letraDobrada(s, n, is, &tamanho);
            if (esc && c == esc && ip + 1 < p.size()) {
                if (p[ip + 1] == letra) {
                    ip += 2;
                    is += tamanho;
                    continue;
                }
            } else if (c == U'_' || c == letra) {
                ++ip;
                is += tamanho;
                continue;
            }
        }
        if (voltaP == std::u32string::npos)
            return false;
        ip = voltaP;
        letraDobrada(s, n, voltaS, &tamanho);
        is = voltaS + tamanho;
        pula();
        voltaS = is;
    }
    while (ip < p.size() && p[ip] == U'%')
        ++ip;
    return ip == p.size();
}

void liberaPadrao(void* p)
{
    delete static_cast<std::u32string*>(p);
}

void funcaoLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // The folded pattern is kept while the statement runs with the same pattern.
    auto* padrao = static_cast<std::u32string*>(sqlite3_get_auxdata(ctx, 0));
    if (!padrao) {
        padrao = new std::u32string;
        dobraUtf8(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]), *padrao);
        sqlite3_set_auxdata(ctx, 0, padrao, liberaPadrao);
        padrao = static_cast<std::u32string*>(sqlite3_get_auxdata(ctx, 0));
        if (!padrao) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }
    char32_t esc = 0;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        std::u32string e;
        dobraUtf8(sqlite3_value_text(argv[2]), sqlite3_value_bytes(argv[2]), e);
        if (!e.empty())
            esc = e.front();
    }
    const unsigned char* valor = sqlite3_value_text(argv[1]);
    sqlite3_result_int(ctx, casaLike(*padrao, valor, sqlite3_value_bytes(argv[1]), esc) ? 1 : 0);
}

void funcaoDobra(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                                           sqlite3_value_bytes(argv[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(ctx, r.constData(), r.size(), SQLITE_TRANSIENT);
}

}  // namespace

void Banco::registradobra(sqlite3* db)
{
    sqlite3_create_collation_v2(db, "FOLD", SQLITE_UTF8, nullptr, comparaDobrado, nullptr);
}

void Banco::registrafuncoesdobra(sqlite3* db)
{
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, funcaoLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, funcaoLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "dobra", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, funcaoDobra, nullptr, nullptr, nullptr);
}

}  // namespace tivane
