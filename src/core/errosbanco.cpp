#include "core/errosbanco.h"
#include "core/arquivobanco.h"
#include "core/integridade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tivane {

namespace {

bool pastaGravavel(const QString& pasta)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(pasta).constData(), W_OK | X_OK) == 0;
#else
    return QFileInfo(pasta).isWritable();
#endif
}

// Why the file cannot be opened or written: a missing file, a folder where the
// program cannot create its journal, or a file it may not read or write.
QString causaArquivo(int codigo, const QString& tentado)
{
    const QString caminho = !tentado.isEmpty() ? tentado : Banco::caminhoArquivo();
    const QFileInfo arquivo(caminho);
    const QString pasta = arquivo.absolutePath();
    const QString somenteLeitura =
        QStringLiteral("a pasta de dados %1 permite somente leitura (o programa precisa gravar nela)")
            .arg(QDir::toNativeSeparators(pasta));
    if (!QFileInfo(pasta).isDir())
        return QStringLiteral("a pasta de dados %1 não existe").arg(QDir::toNativeSeparators(pasta));
    if (!arquivo.exists())
        return pastaGravavel(pasta) ? QStringLiteral("o arquivo não existe") : somenteLeitura;
    if (!arquivo.isReadable())
        return QStringLiteral("não há permissão para ler o arquivo");
    if (!pastaGravavel(pasta))
        return somenteLeitura;
    if (!arquivo.isWritable())
        return QStringLiteral("o arquivo permite somente leitura");
    return codigo == SQLITE_READONLY ? QStringLiteral("o arquivo permite somente leitura")
                                     : QStringLiteral("o arquivo não pôde ser aberto");
}

// The engine's own English text, in the program's words.
QString traduzMensagem(const QString& msg)
{
    static const struct {
        const char* ingles;
        const char* portugues;
    } prefixos[] = {
        {"no such table: ", "a tabela %1 não existe no banco de dados"},
        {"no such column: ", "o campo %1 não existe no banco de dados"},
        {"no such collation sequence: ", "o banco de dados usa uma ordenação desconhecida (%1)"},
        {"no such function: ", "o banco de dados usa uma função desconhecida (%1)"},
        {"no such index: ", "o índice %1 não existe no banco de dados"},
        {"table ", "a tabela %1 não tem a forma esperada"},
    };
    for (const auto& p : prefixos) {
        const QString ingles = QString::fromLatin1(p.ingles);
        if (msg.startsWith(ingles))
            return QString::fromUtf8(p.portugues).arg(msg.mid(ingles.size()).section(QLatin1Char(' '), 0, 0));
    }
    return QStringLiteral("o banco de dados não tem a forma esperada pelo programa");
}

}  // namespace

QString Banco::traduzerro(int codigo, sqlite3* db, const QString& arquivo)
{
    switch (codigo & 0xFF) {
    case SQLITE_FULL: return QStringLiteral("o disco está cheio");
    case SQLITE_READONLY: return causaArquivo(SQLITE_READONLY, arquivo);
    case SQLITE_CANTOPEN: return causaArquivo(SQLITE_CANTOPEN, arquivo);
    case SQLITE_NOTADB: return QStringLiteral("o arquivo não é um banco de dados do Tivane Dízimos, está danificado ou a senha não confere");
    case SQLITE_CORRUPT: return QStringLiteral("o arquivo está danificado");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        // The program's own check of the file may be what holds it; it lets go within moments.
        return verificacoesemandamento() > 0
                   ? QStringLiteral("o arquivo está ocupado pela verificação do banco de dados que o próprio "
                                    "programa está fazendo; tente de novo em instantes")
                   : QStringLiteral("o arquivo está em uso por outro programa");
    case SQLITE_IOERR: return QStringLiteral("houve um erro de leitura ou gravação no disco");
    case SQLITE_PERM:
    case SQLITE_AUTH: return QStringLiteral("não há permissão para usar o arquivo");
    case SQLITE_CONSTRAINT: return QStringLiteral("já existe um registro com este código");
    case SQLITE_NOMEM: return QStringLiteral("falta memória no computador");
    case SQLITE_TOOBIG: return QStringLiteral("o dado é grande demais");
    case SQLITE_NOLFS: return QStringLiteral("o sistema não aceita arquivos deste tamanho");
    case SQLITE_SCHEMA: return QStringLiteral("a estrutura do banco de dados mudou durante a operação");
    case SQLITE_ERROR: return traduzMensagem(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString());
    default: return QStringLiteral("o banco de dados recusou a operação (código %1)").arg(codigo);
    }
}

}  // namespace tivane
