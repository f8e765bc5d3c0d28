#pragma once
// Fills a database the size of a large parish: 20,000 tithers and 1,000,000
// payments over five years. The file is kept in a cache folder between runs.
#include <QString>

namespace bench {

struct Tamanho {
    int dizimistas = 20000;
    int pagamentos = 1000000;
    int anos = 5;
};

// Returns the path of the cached database, generating it when missing.
QString bancoEmCache(const QString& pastaCache, const Tamanho& t = {});

}  // namespace bench
