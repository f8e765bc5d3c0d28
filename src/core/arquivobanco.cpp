#include "core/arquivobanco.h"
#include "core/registro.h"

#include <QByteArray>
#include <sqlcipher/sqlite3.h>

namespace tivane::Banco {

QString caminhoArquivo()
{
    return retornacaminhopadrao() + QString::fromLatin1(ARQUIVO_BANCO);
}

bool aplicachave(sqlite3* db)
{
    const QByteArray chave = QByteArray("PRAGMA key = '") + SENHA_BANCO + "';";
    const bool ok = sqlite3_exec(db, chave.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    // cipher_compatibility is unknown to older SQLCipher builds; that is fine.
    sqlite3_exec(db, "PRAGMA cipher_compatibility = 3;", nullptr, nullptr, nullptr);
    return ok;
}

}  // namespace tivane::Banco
