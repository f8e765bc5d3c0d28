#include "gerador.h"

#include "core/conexao.h"
#include "core/registro.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

namespace bench {

namespace {
const char* const NOMES[] = {"Maria", "José", "Ana", "João", "Antônio", "Francisca", "Carlos", "Paulo", "Adriana",
                             "Lucas", "Juliana", "Márcia", "Pedro", "Fernanda", "Raimundo", "Luiz", "Patrícia",
                             "Sebastião", "Aline", "Joana", "Conceição", "Marcos", "Gabriel", "Letícia"};
const char* const SOBRENOMES[] = {"da Silva", "dos Santos", "Oliveira", "Souza", "Rodrigues", "Ferreira", "Alves",
                                  "Pereira", "Lima", "Gomes", "Costa", "Ribeiro", "Martins", "Carvalho", "Araújo",
                                  "Melo", "Barbosa", "Cardoso", "D'Ávila", "Nascimento", "Conceição", "Moreira"};
const char* const BAIRROS[] = {"Centro", "São José", "Vila Nova", "Jardim América", "Boa Vista", "Santa Luzia",
                               "Alto da Boa Vista", "Cidade Nova", "Planalto", "São João", "Bela Vista", "Lagoa"};
const char* const VALORES[] = {"10,00", "20,00", "25,00", "30,00", "50,00", "100,00", "150,00", "12,50", "75,00", "200,00"};

template <typename T, size_t N> const T& escolhe(const T (&v)[N], QRandomGenerator& r) { return v[r.bounded(int(N))]; }

bool exec(const QString& sql)
{
    tivane::Consulta c(sql);
    return c.exec();
}
}  // namespace

QString bancoEmCache(const QString& pastaCache, const Tamanho& t)
{
    const QString nome = QString("cadastrocd-%1-%2-%3.mdb").arg(t.dizimistas).arg(t.pagamentos).arg(t.anos);
    const QString caminho = QDir(pastaCache).filePath(nome);
    if (QFileInfo(caminho).size() > 0)
        return caminho;
    QDir().mkpath(pastaCache);
    const QString temporario = caminho + ".gerando";
    QFile::remove(temporario);
    if (!tivane::Banco::criaBancoVazio(temporario))
        return {};

    std::fprintf(stderr, "Gerando base de teste (%d dizimistas, %d pagamentos)...\n", t.dizimistas, t.pagamentos);
    // Generate in a folder of its own, through the program's data layer.
    const QString pasta = QDir(pastaCache).filePath("gerando-" + QFileInfo(nome).completeBaseName());
    QDir(pasta).removeRecursively();
    QDir().mkpath(pasta);
    QFile::rename(temporario, QDir(pasta).filePath("cadastrocd.mdb"));
    if (!tivane::gravatextopadrao("caminhopadrao", pasta))
        return {};
    bool gerado = true;
    {
        tivane::Escopo e = tivane::abreconexaodizimistas();
        if (!e.inicia())
            return {};
        QRandomGenerator r(20261206);
        const QDate hoje = QDate::currentDate();
        tivane::Consulta d("INSERT INTO dizimistas (codigo, nome, cadastro, nascimento, endereco, bairro, cidade,"
                           " estado, tel, ativo, sexo, barras) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
        QStringList nomes;
        for (int i = 1; i <= t.dizimistas; ++i) {
            const QString codigo = QString::number(i).rightJustified(4, '0');
            const QString nome = QString::fromUtf8(escolhe(NOMES, r)) + ' ' + QString::fromUtf8(escolhe(SOBRENOMES, r))
                                 + ' ' + QString::fromUtf8(escolhe(SOBRENOMES, r));
            nomes.append(nome);
            const QDate cadastro = hoje.addDays(-r.bounded(365 * 8));
            const QDate nascimento = QDate(1940 + r.bounded(65), 1 + r.bounded(12), 1 + r.bounded(28));
            d.reset();
            d.bind(codigo).bind(nome).bind(cadastro.toString("dd/MM/yyyy")).bind(nascimento.toString("dd/MM/yyyy"))
                .bind(QString("Rua %1, %2").arg(1 + r.bounded(300)).arg(1 + r.bounded(2000)))
                .bind(QString::fromUtf8(escolhe(BAIRROS, r))).bind("Rio de Janeiro").bind("RJ - Rio de Janeiro")
                .bind(QString("(21) 9%1").arg(r.bounded(10000000, 99999999)))
                .bind(r.bounded(10) == 0 ? 0 : 1).bind(r.bounded(2)).bind(QString::number(i).rightJustified(6, '0'));
            gerado = d.exec() && gerado;
        }
        tivane::Consulta p("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
                           " nomedizimista, mesreferencia, anoreferencia) VALUES (?,?,?,?,?,?,?,?,?)");
        const int porAno = t.pagamentos / t.anos;
        const int anoFinal = hoje.year();
        for (int a = 0; a < t.anos; ++a) {
            const int ano = anoFinal - t.anos + 1 + a;
            const QDate inicio(ano, 1, 1);
            const int dias = (ano == anoFinal) ? inicio.daysTo(hoje) + 1 : inicio.daysInYear();
            for (int n = 1; n <= porAno; ++n) {
                const QDate dia = inicio.addDays(static_cast<qint64>(n - 1) * dias / porAno);
                const QString codigo = QString::number(n).rightJustified(5, '0') + '/' + QString::number(ano % 100).rightJustified(2, '0');
                const QString hora = QString("%1:%2").arg(8 + r.bounded(10), 2, 10, QChar('0')).arg(r.bounded(60), 2, 10, QChar('0'));
                const int quem = r.bounded(t.dizimistas + t.dizimistas / 50);
                p.reset();
                if (r.bounded(50) == 0) {
                    const QString antigo = quem >= t.dizimistas ? QString("0000") : QString::number(quem + 1).rightJustified(4, '0');
                    p.bind(codigo).bind(dia.toString("dd/MM/yyyy")).bind(hora).bind("0,00").bind("0000")
                        .bind("E" + antigo).bind("Recibo Estornado").bindNull().bindNull();
                } else if (quem >= t.dizimistas) {
                    p.bind(codigo).bind(dia.toString("dd/MM/yyyy")).bind(hora).bind(QString::fromUtf8(escolhe(VALORES, r)))
                        .bind("0000").bind("0000").bind(QStringLiteral("NÃO ESPECIFICADO")).bindNull().bindNull();
                } else {
                    p.bind(codigo).bind(dia.toString("dd/MM/yyyy")).bind(hora).bind(QString::fromUtf8(escolhe(VALORES, r)))
                        .bind("0000").bind(QString::number(quem + 1).rightJustified(4, '0'))
                        .bind(nomes.at(quem))
                        .bind(QString::number(dia.month()).rightJustified(2, '0')).bind(QString::number(ano));
                }
                gerado = p.exec() && gerado;
            }
        }
        gerado = gerado && e.confirma() && exec("ANALYZE");
    }
    tivane::Banco::closeAll();
    if (!gerado) {
        std::fprintf(stderr, "A base de teste não pôde ser gravada\n");
        return {};
    }
    if (!QFile::rename(QDir(pasta).filePath("cadastrocd.mdb"), caminho))
        return {};
    QDir(pasta).removeRecursively();
    return caminho;
}

}  // namespace bench
