#include "shell/configuracoes.h"

#include "core/registro.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tivane {

namespace {
const char* const OPCOES[] = {"01", "02", "03", "04", "05", "06", "07"};
}

bool Configuracoes::operator==(const Configuracoes& o) const
{
    return umavia == o.umavia && colorido == o.colorido && bloqueia == o.bloqueia && iniciaauto == o.iniciaauto
           && codigo == o.codigo && margem == o.margem && mesreferencia == o.mesreferencia
           && tempolimite == o.tempolimite && caminhopadrao == o.caminhopadrao && msgcentral == o.msgcentral;
}

Configuracoes lerconfiguracoes()
{
    Configuracoes c;
    bool* opcoes[] = {&c.umavia, &c.colorido, &c.bloqueia, &c.iniciaauto, &c.codigo, &c.margem, &c.mesreferencia};
    for (int i = 0; i < 7; ++i)
        *opcoes[i] = leropcao(QString::fromLatin1(OPCOES[i]));
    c.tempolimite = lertextopadrao(QStringLiteral("tempolimite"));
    c.caminhopadrao = lertextopadrao(QStringLiteral("caminhopadrao"));
    c.msgcentral = lertextopadrao(QStringLiteral("msgcentral"));
    return c;
}

bool gravaconfiguracoes(const Configuracoes& c)
{
    const bool opcoes[] = {c.umavia, c.colorido, c.bloqueia, c.iniciaauto, c.codigo, c.margem, c.mesreferencia};
    bool ok = true;
    for (int i = 0; i < 7; ++i)
        ok = gravaopcao(QString::fromLatin1(OPCOES[i]), opcoes[i]) && ok;
    ok = gravatextopadrao(QStringLiteral("tempolimite"), c.tempolimite) && ok;
    ok = gravatextopadrao(QStringLiteral("caminhopadrao"), c.caminhopadrao) && ok;
    ok = gravatextopadrao(QStringLiteral("msgcentral"), c.msgcentral) && ok;
    return ok;
}

QString normalizatempolimite(const QString& texto)
{
    QString digitos;
    for (const QChar ch : texto.trimmed()) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            break;
        digitos += ch;
    }
    while (digitos.startsWith(QLatin1Char('0')))
        digitos.remove(0, 1);
    if (digitos.isEmpty())
        return QStringLiteral("60");
    // A number too long for the box (only from a hand-edited file) keeps the box's largest.
    if (digitos.size() > MAXIMO_DIGITOS_TEMPOLIMITE)
        return QString(MAXIMO_DIGITOS_TEMPOLIMITE, QLatin1Char('9'));
    return digitos;
}

QString verificapastadados(const QString& pasta)
{
    if (pasta.isEmpty())
        return QString();
    const QFileInfo fi(pasta);
    if (!QDir::isAbsolutePath(pasta) || !fi.isDir())
        return QStringLiteral("A pasta de dados \"%1\" não existe. Digite o caminho completo de uma pasta existente, "
                              "ou deixe o campo em branco para usar a pasta padrão.")
            .arg(pasta);
    // The permission bits do not tell everything (read-only disks, root): try a file.
    QTemporaryFile prova(QDir(pasta).filePath(QStringLiteral(".tivane-XXXXXX")));
    if (!prova.open())
        return QStringLiteral("Não é possível gravar na pasta de dados \"%1\". Escolha uma pasta em que o sistema "
                              "possa gravar.")
            .arg(pasta);
    return QString();
}

}  // namespace tivane
