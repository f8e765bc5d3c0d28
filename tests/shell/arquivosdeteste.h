#pragma once
// Files for the backup tests: read whole, written whole, and a fresh folder in the test's home.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

inline QByteArray conteudo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline void escreve(const QString& caminho, const QByteArray& dados)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(dados) == dados.size());
}
inline QString pasta(const QString& nome)
{
    static int n = 0;
    const QString p = teste::pastaTemporaria() + "/" + nome + QString::number(++n);
    QDir().mkpath(p);
    return p;
}

}  // namespace
