#pragma once
// The fingerprint template store "supremabd.mdb": an encrypted file of its own
// (same cipher and key as the main database) with one row per tither code and
// finger. It keeps its own connection, apart from the program's main one.
#include <QByteArray>
#include <QString>

struct sqlite3;

namespace tivane {

constexpr const char* ARQUIVO_IMPRESSOES = "supremabd.mdb";

class BancoImpressoes {
public:
    enum Resultado { Ok = 0, Fechado, Invalido, JaCadastrada, Falha };

    BancoImpressoes() = default;
    ~BancoImpressoes();
    BancoImpressoes(const BancoImpressoes&) = delete;
    BancoImpressoes& operator=(const BancoImpressoes&) = delete;

    // Opens an existing store; never creates one. A file that is not a store
    // (another program's, or the main database) gives Invalido and stays as it was.
    [[nodiscard]] Resultado abre(const QString& caminho);
    void fecha();
    // One row; the same code and finger twice gives JaCadastrada.
    [[nodiscard]] Resultado adiciona(const QString& codigo, int dedo, const QByteArray& modelo, const QString& memo);
    // Portuguese cause of the last failure.
    QString erro() const { return erro_; }

    // Creates an empty store (false when the file exists or cannot be written).
    [[nodiscard]] static bool cria(const QString& caminho, QString* erro = nullptr);

private:
    Resultado falha(Resultado r, const QString& causa);

    sqlite3* db_ = nullptr;
    QString erro_;
};

}  // namespace tivane
