#include "core/igreja.h"

#include "core/conexao.h"
#include "core/registro.h"
#include "core/resultado.h"

#include <QLabel>
#include <QPixmap>

namespace tivane {

DadosIgreja carregaigreja()
{
    // A read that fails gives the blank record, as an empty table does: only for callers
    // that have nowhere to say why. The windows read with the Leitura below and warn.
    DadosIgreja d;
    dispensaresultado(carregaigreja(&d));
    return d;
}

Leitura carregaigreja(DadosIgreja* igreja)
{
    // Reset first: a failed or empty read leaves the blank record.
    *igreja = DadosIgreja();
    Escopo escopo = abreconexaoigreja();
    if (!escopo)
        return Leitura::falha(escopo.causa());
    Consulta c("SELECT razaosocial, fantasia, cnpj, responsavel, rua, bairro, cidade, estado, cep, tel, fax,"
               " email, site FROM igreja ORDER BY rowid LIMIT 1");
    if (!c.next())
        return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
    DadosIgreja& d = *igreja;
    d.existe = true;
    QString* campos[] = {&d.razaosocial, &d.fantasia, &d.cnpj, &d.responsavel, &d.rua, &d.bairro, &d.cidade,
                         &d.estado, &d.cep, &d.tel, &d.fax, &d.email, &d.site};
    for (int i = 0; i < 13; ++i)
        *campos[i] = c.text(i);
    return Leitura::Encontrado;
}

QString linhaenderecoigreja(const DadosIgreja& igreja)
{
    if (igreja.rua.isEmpty())
        return QString("");
    QString linha = igreja.rua;
    if (!igreja.bairro.isEmpty())
        linha += " ," + igreja.bairro;
    if (!igreja.cidade.isEmpty())
        linha += " ," + igreja.cidade;
    return linha;
}

bool gravarigreja(const DadosIgreja& d, QString* causa)
{
    Escopo escopo = abreconexaoigreja();
    if (!escopo || !escopo.inicia())
        return falhou(causa, escopo.causa());
    const auto campo = [](const QString& t) { return t.isEmpty() ? QVariant() : QVariant(t); };
    // Every reader takes the first row: the old rows go, the new one carries the mark.
    Consulta apaga("DELETE FROM igreja");
    Consulta c("INSERT INTO igreja (razaosocial, fantasia, cnpj, responsavel, rua, bairro, cidade, estado, cep,"
               " tel, fax, email, site, sobra) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '1')");
    c.bind(QVariant(d.razaosocial));
    for (const QString* t : {&d.fantasia, &d.cnpj, &d.responsavel, &d.rua, &d.bairro, &d.cidade, &d.estado, &d.cep,
                             &d.tel, &d.fax, &d.email, &d.site})
        c.bind(campo(*t));
    if (!apaga.exec() || !c.exec()) {
        escopo.desfaz();
        return falhou(causa, apaga.ok() ? c.erro() : apaga.erro());
    }
    return escopo.confirma() || falhou(causa, escopo.causa());
}

bool carregalogoigreja(QWidget* janela)
{
    auto* logo = janela ? janela->findChild<QLabel*>(QStringLiteral("logoigreja")) : nullptr;
    if (!logo)
        return false;
    const QString caminho = lertextopadrao(QStringLiteral("caminhologo"));
    if (!arquivoexiste(caminho))
        return false;
    const QPixmap figura(caminho);
    if (figura.isNull())
        return false;
    logo->setPixmap(figura);
    return true;
}

}  // namespace tivane
