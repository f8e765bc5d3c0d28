// Whole texts of the five reports and the church header, worked out by hand,
// and the loaders that feed them.
#include "testsupport.h"

#include "core/conexao.h"
#include "tithes/cabecalho.h"
#include "tithes/relatorios.h"

using namespace tivane;

namespace {

const QString NL = QStringLiteral("\r\n");
const QString R = QString(98, u'-');
const QString SP(int n) { return QString(n, u' '); }

DadosIgreja igreja()
{
    DadosIgreja d;
    d.existe = true;
    d.fantasia = "Paróquia São José";
    d.rua = "Rua das Flores, 10";
    d.bairro = "Centro";
    d.cidade = "Niterói";
    d.tel = "(21) 2222-3333";
    return d;
}

// The header of igreja(), written out.
const QString CAB = NL + R + NL + "Igreja:        : Paróquia São José" + NL +
                    "Endereço       : Rua das Flores, 10 ,Centro ,Niterói" + NL + "Tel            : (21) 2222-3333" +
                    NL + R;

// Tuesday, 5 March 2024.
const QDate HOJE(2024, 3, 5);
const QString EMISSAO = " DATA EMISSÃO: Terça-Feira, 5 de Março de 2024";

LinhaPagamento pag(const QString& data, const QString& codigo, const QString& dizimista, const QVariant& nome,
                   const QVariant& valor)
{
    LinhaPagamento l;
    l.data = data;
    l.codigo = codigo;
    l.codigodizimista = dizimista;
    l.nomenulo = nome.isNull();
    l.nomedizimista = nome.toString();
    l.valornulo = valor.isNull();
    l.valor = valor.toString();
    return l;
}

const QString NOME60 = "MARIA APARECIDA DOS SANTOS FERREIRA DE OLIVEIRA E SOUZA LIMA";  // 60 characters

QVector<LinhaPagamento> linhasMarco()
{
    return {
        pag("01/03/2024", "00001/24", "0001", "JOÃO DA SILVA", "10,00"),
        pag("01/03/2024", "00002/24", "E0002", "Recibo Estornado", "0,00"),
        pag("04/03/2024", "00007/24", "0001", "JOÃO DA SILVA", "99,00"),  // outside the period
        pag("01/03/2024", "00003/24", "0002", QVariant(), "1234,50"),
        pag("02/03/2024", "00004/24", "E0001", "Recibo Estornado", "0,00"),
        pag("03/03/2024", "00005/24", "0000", "NÃO ESPECIFICADO", QVariant()),
        pag("03/03/2024", "00006/24", "0001", NOME60, "0,01"),
        pag("29/02/2024", "00000/24", "0001", "JOÃO DA SILVA", "7,00"),  // outside the period
    };
}

PeriodoRelatorio periodo(const QDate& a, const QDate& b, bool codigos = true, const QString& codigo = QString(),
                         const QString& nome = QString())
{
    PeriodoRelatorio p;
    p.inicio = a;
    p.fim = b;
    p.mostracodigos = codigos;
    p.codigodizimista = codigo;
    p.nomedizimista = nome;
    return p;
}

const QString CABECAS_RECEBIMENTOS =
    NL + R + NL + " DATA           DIZIMISTA                                        VALOR" + NL + R + NL;
const QString CABECAS_DIARIO = NL + R + NL + " DATA         VALOR DIÁRIO" + NL + R + NL;

QString fim(const QString& totalLinha)
{
    return NL + R + NL + totalLinha + NL + EMISSAO + NL + R;
}

ItemDizimista item(const QString& codigo, const QString& nome, bool ativo = true)
{
    ItemDizimista i;
    i.codigo = codigo;
    i.nome = nome;
    i.ativo = ativo;
    return i;
}

}  // namespace

class TstRelatorios : public QObject {
    Q_OBJECT

private slots:
    void cabecalho();
    void recebimentosPorPeriodo();
    void recebimentosSemCodigosDeUmDizimista();
    void periodoSemRecebimentos();
    void diaSoDeRecebimentosDeValorZero();
    void periodoDeUmDiaEViradaDeAno();
    void valorQueNaoENumeroInterrompe();
    void totaisDiarios();
    void dadosDeCadastro();
    void dizimistasPorBairro();
    void aniversariantes();
    void leitorDoBanco();
    void listasDoBanco();
};

void TstRelatorios::cabecalho()
{
    QCOMPARE(cabecalhoigreja(igreja()), CAB);

    DadosIgreja semRua = igreja();
    semRua.rua.clear();
    semRua.tel.clear();
    QCOMPARE(cabecalhoigreja(semRua), NL + R + NL + "Igreja:        : Paróquia São José" + NL + "Endereço       : " +
                                          NL + "Tel            : " + NL + R);

    DadosIgreja soRua = igreja();
    soRua.bairro.clear();
    QVERIFY(cabecalhoigreja(soRua).contains("Endereço       : Rua das Flores, 10 ,Niterói\r\n"));

    QCOMPARE(cabecalhoigreja(DadosIgreja()), QString(""));

    // From the database: the church row written by the church window.
    teste::criaBancoTeste();
    teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua das Flores, 10', bairro = 'Centro',"
               " cidade = 'Niterói', tel = '(21) 2222-3333'");
    QCOMPARE(cabecalhoigreja(), CAB);
    teste::sql("DELETE FROM igreja");
    QCOMPARE(cabecalhoigreja(), QString(""));
}

void TstRelatorios::recebimentosPorPeriodo()
{
    const QString esperado =
        NL + NL + CAB + NL + "                    RECEBIMENTO DE DÍZIMOS POR PERÍODO" + NL + NL +
        "PERÍODO DE:  1 de Março de 2024  ATÉ:  3 de Março de 2024 " + NL + CABECAS_RECEBIMENTOS +
        "01/03/2024      " + NL +
        "00001/24        JOÃO DA SILVA" + SP(37) + SP(11) + "10,00" + NL +
        "00003/24        Não Identificado" + SP(34) + SP(9) + "1234,50" + NL +
        "03/03/2024      " + NL +
        "00005/24        NÃO ESPECIFICADO" + SP(34) + SP(12) + "0,00" + NL +
        "00006/24        MARIA APARECIDA DOS SANTOS FERREIRA DE OLIVEIRA E " + SP(12) + "0,01" + NL +
        fim(SP(53) + "Total no Período:  R$ 1244,51");

    const ResultadoRelatorio r =
        textorelatoriorecebimentos(linhasMarco(), periodo(QDate(2024, 3, 1), QDate(2024, 3, 3)), igreja(), HOJE);
    QVERIFY2(r.ok, qPrintable(r.erro));
    QCOMPARE(r.texto, esperado);
    for (const QString& linha : r.texto.split(NL))
        if (linha.startsWith("000"))
            QCOMPARE(linha.size(), 82);
}

void TstRelatorios::recebimentosSemCodigosDeUmDizimista()
{
    // Only tither 0001 (the receipt without tither, 0000, is left out), codes blank.
    const QString esperado =
        NL + NL + CAB + NL + "                    RECEBIMENTO DE DÍZIMOS POR PERÍODO" + NL + NL +
        "DIZIMSTA: JOÃO DA SILVA" + NL + NL + "PERÍODO DE:  1 de Março de 2024  ATÉ:  3 de Março de 2024 " +
        NL + CABECAS_RECEBIMENTOS +
        "01/03/2024      " + NL +
        SP(16) + "JOÃO DA SILVA" + SP(37) + SP(11) + "10,00" + NL +
        "03/03/2024      " + NL +
        SP(16) + "MARIA APARECIDA DOS SANTOS FERREIRA DE OLIVEIRA E " + SP(12) + "0,01" + NL +
        fim(SP(55) + "Total no Período:  R$ 10,01");
    const ResultadoRelatorio r = textorelatoriorecebimentos(
        linhasMarco(), periodo(QDate(2024, 3, 1), QDate(2024, 3, 3), false, "0001", "JOÃO DA SILVA"), igreja(),
        HOJE);
    QVERIFY(r.ok);
    QCOMPARE(r.texto, esperado);

    // The receipts taken without a tither are listed only under code 0000.
    const ResultadoRelatorio semDizimista = textorelatoriorecebimentos(
        linhasMarco(), periodo(QDate(2024, 3, 1), QDate(2024, 3, 3), false, "0000", ""), igreja(), HOJE);
    QVERIFY(semDizimista.texto.contains(NL + "DIZIMSTA: " + NL));
    QVERIFY(semDizimista.texto.contains("NÃO ESPECIFICADO"));
    QVERIFY(!semDizimista.texto.contains("JOÃO"));
    QVERIFY(!semDizimista.texto.contains("01/03/2024"));
}

void TstRelatorios::periodoSemRecebimentos()
{
    // No church row either: the report begins with its own lines.
    const QString esperado = NL + NL + "" + NL + "                    RECEBIMENTO DE DÍZIMOS POR PERÍODO" + NL + NL +
                             "PERÍODO DE:  10 de Março de 2024  ATÉ:  20 de Março de 2024 " + NL +
                             CABECAS_RECEBIMENTOS + fim(SP(56) + "Total no Período:  R$ 0,00");
    const ResultadoRelatorio r = textorelatoriorecebimentos(
        linhasMarco(), periodo(QDate(2024, 3, 10), QDate(2024, 3, 20)), DadosIgreja(), HOJE);
    QVERIFY(r.ok);
    QCOMPARE(r.texto, esperado);

    const QString diario = NL + NL + "" + NL + "               VALORES DE RECEBIMENTOS DE DÍZIMOS POR PERÍODO" + NL +
                           NL + "PERÍODO DE:  10 de Março de 2024  ATÉ:  20 de Março de 2024 " + NL + CABECAS_DIARIO +
                           fim(SP(56) + "Total no Período:  R$ 0,00");
    QCOMPARE(textorelatoriototaisdiarios({}, periodo(QDate(2024, 3, 10), QDate(2024, 3, 20)), DadosIgreja(), HOJE)
                 .texto,
             diario);
}

void TstRelatorios::diaSoDeRecebimentosDeValorZero()
{
    const QVector<LinhaPagamento> linhas = {
        pag("07/03/2024", "00010/24", "0003", "ANA", "0,00"),
        pag("07/03/2024", "00011/24", "E0003", "Recibo Estornado", "0,00"),
        pag("08/03/2024", "00012/24", "0003", "ANA", "1234,5"),
    };
    const PeriodoRelatorio p = periodo(QDate(2024, 3, 7), QDate(2024, 3, 8));
    const ResultadoRelatorio r = textorelatoriorecebimentos(linhas, p, igreja(), HOJE);
    QVERIFY(r.ok);
    QVERIFY(r.texto.contains("07/03/2024      " + NL + "00010/24        ANA" + SP(47) + SP(12) + "0,00" + NL +
                             "08/03/2024      " + NL + "00012/24        ANA" + SP(47) + SP(10) + "1234,5" + NL + NL));
    QVERIFY(r.texto.contains(NL + SP(53) + "Total no Período:  R$ 1234,50" + NL));

    // The daily totals leave the zero day out.
    const ResultadoRelatorio d = textorelatoriototaisdiarios(linhas, p, igreja(), HOJE);
    QVERIFY(d.ok);
    QVERIFY(d.texto.endsWith(CABECAS_DIARIO + "08/03/2024" + SP(9) + "1234,50" + NL +
                             fim(SP(53) + "Total no Período:  R$ 1234,50")));
}

void TstRelatorios::periodoDeUmDiaEViradaDeAno()
{
    QVector<LinhaPagamento> linhas = {
        pag("31/12/2023", "00950/23", "0001", "JOÃO", "50,00"),
        pag("01/01/2024", "00001/24", "0001", "JOÃO", "20,00"),
        pag("01/01/2024", "00002/24", "0002", "ANA", "5,00"),
        pag("02/01/2024", "00003/24", "0002", "ANA", "1,00"),
    };
    QList<QPair<int, int>> chamadas;
    auto fonte = [&](const QString& dia, QVector<LinhaPagamento>& saida) {
        for (const LinhaPagamento& l : linhas)
            if (l.data == dia)
                saida.append(l);
        return true;
    };
    auto progresso = [&](int c, int t) { chamadas.append({c, t}); };

    const ResultadoRelatorio um =
        montarelatoriototaisdiarios(periodo(QDate(2024, 1, 1), QDate(2024, 1, 1)), igreja(), HOJE, fonte, progresso);
    QCOMPARE(chamadas, (QList<QPair<int, int>>{{1, 1}}));
    QVERIFY(um.texto.contains("PERÍODO DE:  1 de Janeiro de 2024  ATÉ:  1 de Janeiro de 2024 " + NL));
    QVERIFY(um.texto.contains(CABECAS_DIARIO + "01/01/2024" + SP(11) + "25,00" + NL + NL + R));

    chamadas.clear();
    const ResultadoRelatorio virada = montarelatoriorecebimentos(periodo(QDate(2023, 12, 31), QDate(2024, 1, 1)),
                                                                 igreja(), HOJE, fonte, progresso);
    QCOMPARE(chamadas, (QList<QPair<int, int>>{{1, 2}, {2, 2}}));
    QVERIFY(virada.texto.contains("PERÍODO DE:  31 de Dezembro de 2023  ATÉ:  1 de Janeiro de 2024 " + NL));
    QVERIFY(virada.texto.contains(CABECAS_RECEBIMENTOS + "31/12/2023      " + NL + "00950/23        JOÃO" + SP(46) +
                                  SP(11) + "50,00" + NL + "01/01/2024      " + NL));
    QVERIFY(virada.texto.contains(SP(55) + "Total no Período:  R$ 75,00"));
    QVERIFY(!virada.texto.contains("02/01/2024"));

    // A failing source stops the report with a message.
    auto falha = [](const QString&, QVector<LinhaPagamento>&) { return false; };
    const ResultadoRelatorio erro =
        montarelatoriorecebimentos(periodo(QDate(2024, 1, 1), QDate(2024, 1, 2)), igreja(), HOJE, falha);
    QVERIFY(!erro.ok);
    QVERIFY(erro.texto.isEmpty());
    QVERIFY(erro.erro.contains("01/01/2024"));
}

void TstRelatorios::valorQueNaoENumeroInterrompe()
{
    QVector<LinhaPagamento> linhas = linhasMarco();
    linhas.append(pag("02/03/2024", "00099/24", "0005", "PEDRO", "12,5x"));
    const PeriodoRelatorio p = periodo(QDate(2024, 3, 1), QDate(2024, 3, 3));
    for (const ResultadoRelatorio& r : {textorelatoriorecebimentos(linhas, p, igreja(), HOJE),
                                        textorelatoriototaisdiarios(linhas, p, igreja(), HOJE)}) {
        QVERIFY(!r.ok);
        QVERIFY(r.texto.isEmpty());
        QVERIFY(r.erro.contains("00099/24"));
        QVERIFY(r.erro.contains("12,5x"));
    }
    // A reversed receipt's amount is never read; an empty one counts as zero.
    linhas.last() = pag("02/03/2024", "00099/24", "E0005", "Recibo Estornado", "lixo");
    linhas.append(pag("02/03/2024", "00100/24", "0005", "PEDRO", ""));
    QVERIFY(textorelatoriorecebimentos(linhas, p, igreja(), HOJE).ok);
    // Amounts in other accepted shapes add up exactly.
    const QVector<LinhaPagamento> formas = {
        pag("01/03/2024", "1", "0001", "A", "0,10"), pag("01/03/2024", "2", "0001", "A", "0,20"),
        pag("01/03/2024", "3", "0001", "A", "1.000,05"), pag("01/03/2024", "4", "0001", "A", " 7 "),
    };
    const ResultadoRelatorio s = textorelatoriototaisdiarios(formas, p, igreja(), HOJE);
    QVERIFY(s.ok);
    QVERIFY(s.texto.contains("01/03/2024" + SP(9) + "1007,35" + NL));
}

void TstRelatorios::totaisDiarios()
{
    const QString esperado = NL + NL + CAB + NL + "               VALORES DE RECEBIMENTOS DE DÍZIMOS POR PERÍODO" + NL +
                             NL + "PERÍODO DE:  1 de Março de 2024  ATÉ:  3 de Março de 2024 " + NL + CABECAS_DIARIO +
                             "01/03/2024" + SP(9) + "1244,50" + NL +
                             "03/03/2024" + SP(12) + "0,01" + NL +
                             fim(SP(53) + "Total no Período:  R$ 1244,51");
    const ResultadoRelatorio r =
        textorelatoriototaisdiarios(linhasMarco(), periodo(QDate(2024, 3, 1), QDate(2024, 3, 3)), igreja(), HOJE);
    QVERIFY(r.ok);
    QCOMPARE(r.texto, esperado);
}

void TstRelatorios::dadosDeCadastro()
{
    ItemDizimista a = item("0001", "JOÃO DA SILVA");
    a.endereco = "Rua A, 1 ,Centro ,Niterói CEP.: 24000-000";
    a.telefone = "2222-1111";
    a.email = "joao@exemplo.com";
    a.nascimento = "05/03/1970";
    ItemDizimista b = item("0002", "ANA", false);

    const QString abertura = NL + NL + CAB + NL + NL + "DADOS DE CADASTRO DE DIZIMISTAS";
    const QString esperado = abertura +
        NL + NL + R + NL +
        NL + "Nome:       JOÃO DA SILVA" + NL + "Endereço:   Rua A, 1 ,Centro ,Niterói CEP.: 24000-000" +
        NL + "Telefone:   2222-1111" + NL + "E-Mail:     joao@exemplo.com" + NL + "Nascimento: 05/03/1970" +
        NL + "0001" +
        NL + NL + R + NL +
        NL + "Nome:       ANA" + NL + "Endereço:   " + NL + "Telefone:   " + NL + "E-Mail:     " +
        NL + "Nascimento: " + NL + "0002" +
        NL + R + NL + EMISSAO + NL + R;
    QCOMPARE(textorelatoriodedados({a, b}, CamposRelatorio(), igreja(), HOJE), esperado);

    CamposRelatorio nenhum;
    nenhum.nome = nenhum.endereco = nenhum.telefone = nenhum.email = nenhum.nascimento = nenhum.codigo = false;
    QCOMPARE(textorelatoriodedados({a, b}, nenhum, igreja(), HOJE),
             abertura + NL + NL + R + NL + NL + NL + R + NL + NL + R + NL + EMISSAO + NL + R);

    CamposRelatorio soCodigoENascimento = nenhum;
    soCodigoENascimento.codigo = soCodigoENascimento.nascimento = true;
    QCOMPARE(textorelatoriodedados({a}, soCodigoENascimento, igreja(), HOJE),
             abertura + NL + NL + R + NL + NL + "Nascimento: 05/03/1970" + NL + "0001" + NL + R + NL + EMISSAO +
                 NL + R);

    QCOMPARE(textorelatoriodedados({}, CamposRelatorio(), igreja(), HOJE), abertura + NL + R + NL + EMISSAO + NL + R);
}

void TstRelatorios::dizimistasPorBairro()
{
    ItemDizimista a = item("0007", "CARLOS");
    a.endereco = " ,Olho D'Água ,Niterói";
    CamposRelatorio campos;
    campos.telefone = campos.email = campos.nascimento = false;
    const QString esperado = NL + NL + CAB + NL + NL + "RELATÓRIO DE DIZIMISTAS POR BAIRRO" + NL + NL +
                             "BAIRRO:  olho d'água " + NL + NL + R + NL + NL + "Nome:       CARLOS" + NL +
                             "Endereço:    ,Olho D'Água ,Niterói" + NL + "0007" + NL + R + NL + EMISSAO + NL + R;
    QCOMPARE(textorelatoriobairro({a}, "  olho d'água ", campos, igreja(), HOJE), esperado);
}

void TstRelatorios::aniversariantes()
{
    auto niver = [](const QString& codigo, const QString& nome, const QString& dia, const QString& tel,
                    const QString& cel) {
        ItemDizimista i = item(codigo, nome);
        i.dia = dia;
        i.nascimento = dia + "/03/1980";
        i.telefonedia = tel;
        i.celular = cel;
        return i;
    };
    const QVector<ItemDizimista> itens = {
        niver("0003", "CARLOS", "15", "2222-0003", ""),
        niver("0001", "ANA MARIA DA CONCEIÇÃO DOS SANTOS PEREIRA LIMA", "05", "2222-0001", "99999-0001"),
        niver("0002", "BRUNO", "15", "", "98888-0002"),
    };
    DadosIgreja ig = igreja();
    const QString abertura = NL + NL + CAB + NL + NL + "              ANIVERSARIANTES DO MÊS" + NL + SP(22) + "MARÇO" + NL +
                             R + NL + "   DIA       NOME";
    const QString esperado = abertura + NL + R +
                             NL + "   05        ANA MARIA DA CONCEIÇÃO DOS SANTOS PEREIR" + NL +
                             NL + "   15        CARLOS" + SP(34) + NL +
                             SP(13) + "BRUNO" + SP(35) + NL +
                             NL + R + NL + EMISSAO + NL + R;
    QCOMPARE(textorelatorioaniversariantes(itens, 3, false, ig, HOJE), esperado);

    ig.site = "www.paroquiasaojose.org.br";
    const QString comFone =
        abertura + "                                     TELEFONE                CELULAR" + NL + R +
        NL + "   05        ANA MARIA DA CONCEIÇÃO DOS SANTOS PEREIR" + "2222-0001      " + SP(10) + "99999-0001" + NL +
        NL + "   15        CARLOS" + SP(34) + "2222-0003      " + SP(10) + NL +
        SP(13) + "BRUNO" + SP(35) + SP(15) + SP(10) + "98888-0002" + NL +
        NL + R + NL + EMISSAO + "  -  www.paroquiasaojose.org.br" + NL + R;
    const QString texto = textorelatorioaniversariantes(itens, 3, true, ig, HOJE);
    QCOMPARE(texto, comFone);
    QCOMPARE(texto.split(NL).at(14).indexOf("99999-0001"), 78);  // the mobile number from column 79

    // A month outside 1 to 12: no month name, no rows.
    QCOMPARE(textorelatorioaniversariantes({}, 13, false, igreja(), HOJE),
             NL + NL + CAB + NL + NL + "              ANIVERSARIANTES DO MÊS" + NL + SP(22) + NL + R + NL +
                 "   DIA       NOME" + NL + R + NL + R + NL + EMISSAO + NL + R);
}

void TstRelatorios::leitorDoBanco()
{
    teste::criaBancoTeste();
    // Inserted out of code order: the report follows the order of the table.
    teste::sql("INSERT INTO pagamentos (codigo, data, hora, valor, codigodizimista, nomedizimista) VALUES"
               " ('00003/24', '01/03/2024', '10:00', '1234,50', '0002', NULL),"
               " ('00001/24', '01/03/2024', '09:00', '10,00', '0001', 'JOÃO DA SILVA'),"
               " ('00002/24', '01/03/2024', '09:30', '0,00', 'E0002', 'Recibo Estornado'),"
               " ('00005/24', '03/03/2024', '09:00', NULL, '0000', 'NÃO ESPECIFICADO'),"
               " ('00007/24', '04/03/2024', '09:00', '99,00', '0001', 'JOÃO DA SILVA'),"
               " ('00006/24', '03/03/2024', '09:00', '2,50', '0001', 'JOÃO DA SILVA')");
    LeitorPagamentosDia leitor;
    QVERIFY(leitor.ok());
    auto fonte = [&](const QString& dia, QVector<LinhaPagamento>& l) { return leitor.le(dia, l); };
    const ResultadoRelatorio r =
        montarelatoriorecebimentos(periodo(QDate(2024, 3, 1), QDate(2024, 3, 3)), igreja(), HOJE, fonte);
    QVERIFY2(r.ok, qPrintable(r.erro));
    QVERIFY(r.texto.contains(CABECAS_RECEBIMENTOS + "01/03/2024      " + NL +
                             "00003/24        Não Identificado" + SP(34) + SP(9) + "1234,50" + NL +
                             "00001/24        JOÃO DA SILVA" + SP(37) + SP(11) + "10,00" + NL +
                             "03/03/2024      " + NL +
                             "00005/24        NÃO ESPECIFICADO" + SP(34) + SP(12) + "0,00" + NL +
                             "00006/24        JOÃO DA SILVA" + SP(37) + SP(12) + "2,50" + NL + NL));
    QVERIFY(r.texto.contains(SP(53) + "Total no Período:  R$ 1247,00"));

    // The day is a bound value: a quote in it is just text.
    QVector<LinhaPagamento> nada;
    QVERIFY(leitor.le("01/03/2024' OR '1'='1", nada));
    QVERIFY(nada.isEmpty());
}

void TstRelatorios::listasDoBanco()
{
    teste::criaBancoTeste();
    teste::sql("INSERT INTO dizimistas (codigo, nome, endereco, bairro, cidade, cep, tel, email, nascimento, ativo,"
               " celular) VALUES"
               " ('0002', 'BRUNO', 'Rua B, 2', 'São Cristóvão', 'Rio', '20000-000', '2222-0002', 'b@x.com',"
               "  '15/03/1985', 1, '98888-0002'),"
               " ('0001', 'ANA', NULL, 'SÃO CRISTÓVÃO', 'Rio', NULL, NULL, NULL, '05/03/1990', NULL, NULL),"
               " ('0003', 'CARLOS', 'Rua C', NULL, NULL, NULL, NULL, NULL, '31/02/1980', 0, NULL),"
               " ('0004', 'DÉBORA', 'Rua D', 'Olho D''Água', NULL, NULL, NULL, NULL, '7/3/1975', 1, NULL),"
               " ('0005', 'EDU', 'Rua E', '100% Feliz', NULL, NULL, NULL, NULL, NULL, 1, NULL),"
               " ('0006', 'FÁBIO', 'Rua F', '', NULL, NULL, NULL, NULL, '01/04/1980', 1, NULL)");

    const QVector<ItemDizimista> todos = carregalistacompletadizimistas();
    QCOMPARE(todos.size(), 6);
    QCOMPARE(todos.at(0).codigo, QString("0002"));
    QCOMPARE(todos.at(0).endereco, QString("Rua B, 2 ,São Cristóvão ,Rio CEP.: 20000-000"));
    QVERIFY(todos.at(0).ativo);
    QCOMPARE(todos.at(1).endereco, QString(""));  // no street: no address in the complete list
    QVERIFY(!todos.at(1).ativo);                  // Null counts as inactive
    QCOMPARE(todos.at(2).endereco, QString("Rua C"));

    // Case folds for accented letters too, and the typed text is only a value.
    QVector<ItemDizimista> sao = carregalistadizimistasporbairro("são cristóvão");
    QCOMPARE(sao.size(), 2);
    QCOMPARE(sao.at(1).endereco, QString(" ,SÃO CRISTÓVÃO ,Rio"));
    QCOMPARE(carregalistadizimistasporbairro("d'água").size(), 1);
    QCOMPARE(carregalistadizimistasporbairro("100%").size(), 1);
    QCOMPARE(carregalistadizimistasporbairro("%").size(), 1);
    QCOMPARE(carregalistadizimistasporbairro("x' OR 1=1 --").size(), 0);
    QCOMPARE(carregalistadizimistasporbairro("").size(), 5);  // every tither with a neighbourhood

    // Birthdays: invalid and missing dates never count; "7/3/1975" is a date of March.
    const QVector<ItemDizimista> marco = carregalistaaniversariantes(3);
    QCOMPARE(marco.size(), 3);
    QCOMPARE(marco.at(0).codigo, QString("0002"));
    QCOMPARE(marco.at(0).dia, QString("15"));
    QCOMPARE(marco.at(0).telefonedia, QString("2222-0002"));
    QCOMPARE(marco.at(0).celular, QString("98888-0002"));
    QCOMPARE(marco.at(2).dia, QString("07"));
    QCOMPARE(carregalistaaniversariantes(2).size(), 0);
    QCOMPARE(carregalistaaniversariantes(4).size(), 1);
    QCOMPARE(carregalistaaniversariantes(13).size(), 0);
    QCOMPARE(carregalistaaniversariantes(0).size(), 0);
}

TIVANE_TEST_MAIN(TstRelatorios)
#include "tst_relatorios.moc"
