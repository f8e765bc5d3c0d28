// Whole texts of the five reports and the church header, worked out by hand, and the loaders that feed them.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/texto.h"
#include "tithes/cabecalho.h"
#include "tithes/relatorios.h"

using namespace tivane;

namespace {

using Linhas = QVector<LinhaPagamento>;
const QString NL = QStringLiteral("\r\n");
const QString R = QString(98, u'-');
QString SP(int n) { return QString(n, u' '); }

const DadosIgreja IGREJA{true, "", "Paróquia São José", "", "", "Rua das Flores, 10", "Centro", "Niterói", "", "",
                         "(21) 2222-3333"};
const QString CAB = NL + R + NL + "Igreja:        : Paróquia São José" + NL +
                    "Endereço       : Rua das Flores, 10 ,Centro ,Niterói" + NL + "Tel            : (21) 2222-3333" +
                    NL + R;

const QDate HOJE(2024, 3, 5);  // a Tuesday
const QString EMISSAO = " DATA EMISSÃO: Terça-Feira, 5 de Março de 2024";
const QString FIM = NL + R + NL + EMISSAO + NL + R;

LinhaPagamento pag(const QString& d, const QString& c, const QString& z, const QVariant& n, const QVariant& v)
{
    return {d, c, z, n.toString(), n.isNull(), v.toString(), v.isNull()};
}

// 04/03 and 29/02 lie outside 1 to 3 March; 02/03 has only a reversed receipt; the last name is too long.
const Linhas MARCO = {
    pag("01/03/2024", "00001/24", "0001", "JOÃO DA SILVA", "10,00"),
    pag("01/03/2024", "00002/24", "E0002", "Recibo Estornado", "0,00"),
    pag("04/03/2024", "00007/24", "0001", "JOÃO DA SILVA", "99,00"),
    pag("01/03/2024", "00003/24", "0002", QVariant(), "1234,50"),
    pag("02/03/2024", "00004/24", "E0001", "Recibo Estornado", "0,00"),
    pag("03/03/2024", "00005/24", "0000", "NÃO ESPECIFICADO", QVariant()),
    pag("03/03/2024", "00006/24", "0001", "MARIA APARECIDA DOS SANTOS FERREIRA DE OLIVEIRA E SOUZA LIMA", "0,01"),
    pag("29/02/2024", "00000/24", "0001", "JOÃO DA SILVA", "7,00")};

PeriodoRelatorio periodo(int d0, int m0, int d1, int m1, bool codigos = true, QString cod = {}, QString nome = {})
{
    return {QDate(2024, m0, d0), QDate(2024, m1, d1), cod, nome, codigos};
}

// What a list loader read; one item "FALHA" when it reported a failure.
using Carga = std::function<bool(ListaDizimistas*)>;
ListaDizimistas lido(const Carga& carrega)
{
    ListaDizimistas r;
    if (!carrega(&r))
        r = {ItemDizimista{"FALHA"}};
    return r;
}
ListaDizimistas completa() { return lido([](auto* l) { return carregalistacompletadizimistas(l); }); }
ListaDizimistas porbairro(const QString& b) { return lido([&](auto* l) { return carregalistadizimistasporbairro(b, l); }); }
ListaDizimistas aniversariantesde(int mes) { return lido([&](auto* l) { return carregalistaaniversariantes(mes, l); }); }

// The report's text, or its error when it stopped.
QString texto(const ResultadoRelatorio& r) { return r.ok ? r.texto.toString() : "ERRO: " + r.erro; }
QString relatorio(bool diario, const PeriodoRelatorio& p, const Linhas& l = MARCO, const DadosIgreja& i = IGREJA)
{
    return texto((diario ? textorelatoriototaisdiarios : textorelatoriorecebimentos)(l, p, i, HOJE));
}

const QString TITULO_REC = NL + "                    RECEBIMENTO DE DÍZIMOS POR PERÍODO" + NL + NL;
const QString TITULO_DIA = NL + "               VALORES DE RECEBIMENTOS DE DÍZIMOS POR PERÍODO" + NL + NL;
const QString CABECAS_REC = NL + NL + R + NL + " DATA           DIZIMISTA" + SP(40) + "VALOR" + NL + R + NL;
const QString CABECAS_DIA = NL + NL + R + NL + " DATA         VALOR DIÁRIO" + NL + R + NL;
const QString MARCO_1_3 = "PERÍODO DE:  1 de Março de 2024  ATÉ:  3 de Março de 2024 ";

QString fim(int recuo, const QString& total)
{
    return NL + R + NL + SP(recuo) + "Total no Período:  R$ " + total + NL + EMISSAO + NL + R;
}

}  // namespace

class TstRelatorios : public QObject {
    Q_OBJECT

private slots:
    void cabecalho()
    {
        QCOMPARE(cabecalhoigreja(IGREJA), CAB);
        DadosIgreja semRua = IGREJA, soRua = IGREJA;
        semRua.rua = semRua.tel = soRua.bairro = "";
        QCOMPARE(cabecalhoigreja(semRua), NL + R + NL + "Igreja:        : Paróquia São José" + NL +
                                              "Endereço       : " + NL + "Tel            : " + NL + R);
        QVERIFY(cabecalhoigreja(soRua).contains("Endereço       : Rua das Flores, 10 ,Niterói\r\n"));
        QCOMPARE(cabecalhoigreja(DadosIgreja()), QString(""));

        teste::criaBancoTeste();
        teste::sql("UPDATE igreja SET fantasia = 'Paróquia São José', rua = 'Rua das Flores, 10', bairro = 'Centro',"
                   " cidade = 'Niterói', tel = '(21) 2222-3333'");
        QCOMPARE(cabecalhoigreja(), CAB);
        teste::sql("DELETE FROM igreja");
        QCOMPARE(cabecalhoigreja(), QString(""));
    }

    void relatoriosDoPeriodo()
    {
        QCOMPARE(relatorio(false, periodo(1, 3, 3, 3)),
                 NL + NL + CAB + TITULO_REC + MARCO_1_3 + CABECAS_REC +
                 "01/03/2024      " + NL +
                 "00001/24        JOÃO DA SILVA" + SP(37) + SP(11) + "10,00" + NL +
                 "00003/24        Não Identificado" + SP(34) + SP(9) + "1234,50" + NL +
                 "03/03/2024      " + NL +
                 "00005/24        NÃO ESPECIFICADO" + SP(34) + SP(12) + "0,00" + NL +
                 "00006/24        MARIA APARECIDA DOS SANTOS FERREIRA DE OLIVEIRA E " + SP(12) + "0,01" + NL +
                 fim(53, "1244,51"));
        QCOMPARE(relatorio(true, periodo(1, 3, 3, 3)),
                 NL + NL + CAB + TITULO_DIA + MARCO_1_3 + CABECAS_DIA + "01/03/2024" + SP(9) + "1244,50" + NL +
                 "03/03/2024" + SP(12) + "0,01" + NL + fim(53, "1244,51"));
        // No receipts and no church row either: the report begins with its own lines.
        const QString p = "PERÍODO DE:  10 de Março de 2024  ATÉ:  20 de Março de 2024 ";
        const PeriodoRelatorio vazio = periodo(10, 3, 20, 3);
        QCOMPARE(relatorio(false, vazio, MARCO, {}), NL + NL + TITULO_REC + p + CABECAS_REC + fim(56, "0,00"));
        QCOMPARE(relatorio(true, vazio, {}, {}), NL + NL + TITULO_DIA + p + CABECAS_DIA + fim(56, "0,00"));
        // Only tither 0001 (the receipt without tither, 0000, is left out), codes blank.
        QCOMPARE(relatorio(false, periodo(1, 3, 3, 3, false, "0001", "JOÃO DA SILVA")),
                 NL + NL + CAB + TITULO_REC + "DIZIMSTA: JOÃO DA SILVA" + NL + NL + MARCO_1_3 + CABECAS_REC +
                 "01/03/2024      " + NL +
                 SP(16) + "JOÃO DA SILVA" + SP(37) + SP(11) + "10,00" + NL +
                 "03/03/2024      " + NL +
                 SP(16) + "MARIA APARECIDA DOS SANTOS FERREIRA DE OLIVEIRA E " + SP(12) + "0,01" + NL +
                 fim(55, "10,01"));
        // The receipts taken without a tither are listed only under code 0000.
        const QString sem = relatorio(false, periodo(1, 3, 3, 3, false, "0000"));
        QVERIFY(sem.contains(NL + "DIZIMSTA: " + NL) && sem.contains("NÃO ESPECIFICADO"));
        QVERIFY(!sem.contains("JOÃO") && !sem.contains("01/03/2024"));
    }

    void periodoDeUmDiaEViradaDeAno()
    {
        const Linhas linhas = {pag("31/12/2023", "00950/23", "0001", "JOÃO", "50,00"),
                               pag("01/01/2024", "00001/24", "0001", "JOÃO", "20,00"),
                               pag("01/01/2024", "00002/24", "0002", "ANA", "5,00"),
                               pag("02/01/2024", "00003/24", "0002", "ANA", "1,00")};
        QList<QPair<int, int>> chamadas;
        auto fonte = [&](const QString& dia, Linhas& s) {
            std::copy_if(linhas.begin(), linhas.end(), std::back_inserter(s), [&](auto& l) { return l.data == dia; });
            return true;
        };
        auto progresso = [&](int c, int t) { chamadas.append({c, t}); };

        QCOMPARE(texto(montarelatoriototaisdiarios(periodo(1, 1, 1, 1), IGREJA, HOJE, fonte, progresso)),
                 NL + NL + CAB + TITULO_DIA + "PERÍODO DE:  1 de Janeiro de 2024  ATÉ:  1 de Janeiro de 2024 " +
                 CABECAS_DIA + "01/01/2024" + SP(11) + "25,00" + NL + fim(55, "25,00"));
        QCOMPARE(chamadas, (QList<QPair<int, int>>{{1, 1}}));

        chamadas.clear();
        const PeriodoRelatorio virada{QDate(2023, 12, 31), QDate(2024, 1, 1), {}, {}, true};
        QCOMPARE(texto(montarelatoriorecebimentos(virada, IGREJA, HOJE, fonte, progresso)),
                 NL + NL + CAB + TITULO_REC + "PERÍODO DE:  31 de Dezembro de 2023  ATÉ:  1 de Janeiro de 2024 " +
                 CABECAS_REC + "31/12/2023      " + NL + "00950/23        JOÃO" + SP(57) + "50,00" + NL +
                 "01/01/2024      " + NL + "00001/24        JOÃO" + SP(57) + "20,00" + NL +
                 "00002/24        ANA" + SP(59) + "5,00" + NL + fim(55, "75,00"));
        QCOMPARE(chamadas, (QList<QPair<int, int>>{{1, 2}, {2, 2}}));
        // One byte a character while the letters allow (a year is tens of millions of them);
        // a name outside Latin-1 keeps its letters.
        QVERIFY(montarelatoriorecebimentos(virada, IGREJA, HOJE, fonte).texto.compacto());
        Linhas outras = linhas;
        outras[1].nomedizimista = "ŁUKASZ €";
        const ResultadoRelatorio largo = textorelatoriorecebimentos(outras, virada, IGREJA, HOJE);
        QVERIFY(!largo.texto.compacto());
        QVERIFY(largo.texto.toString().contains("00001/24        ŁUKASZ €" + SP(53) + "20,00" + NL));

        // A failing source stops the report with a message.
        auto falha = [](const QString&, Linhas&) { return false; };
        const ResultadoRelatorio erro = montarelatoriorecebimentos(periodo(1, 1, 2, 1), IGREJA, HOJE, falha);
        QVERIFY(!erro.ok && erro.texto.isEmpty() && erro.erro.contains("01/01/2024"));
        // So does one whose answer was never set.
        auto semresposta = [](const QString&, Linhas&) { return LeituraDia(); };
        const ResultadoRelatorio sem = montarelatoriototaisdiarios(periodo(1, 1, 2, 1), IGREJA, HOJE, semresposta);
        QVERIFY(!sem.ok && sem.texto.isEmpty() && sem.erro.contains("01/01/2024"));
    }

    void valoresZeradosEQueNaoSaoNumeros()
    {
        // A receipt of 0,00 is listed, but its day is left out of the daily totals; "1234,5" is printed as typed.
        Linhas linhas = {pag("07/03/2024", "00010/24", "0003", "ANA", "0,00"),
                         pag("08/03/2024", "00012/24", "0003", "ANA", "1234,5")};
        QVERIFY(relatorio(false, periodo(7, 3, 8, 3), linhas)
                    .contains("07/03/2024      " + NL + "00010/24        ANA" + SP(59) + "0,00" + NL +
                              "08/03/2024      " + NL + "00012/24        ANA" + SP(57) + "1234,5" + NL + NL));
        QVERIFY(relatorio(true, periodo(7, 3, 8, 3), linhas)
                    .endsWith(CABECAS_DIA + "08/03/2024" + SP(9) + "1234,50" + NL + fim(53, "1234,50")));
        // An amount that is not a number stops either report.
        linhas = MARCO;
        linhas.append(pag("02/03/2024", "00099/24", "0005", "PEDRO", "12,5x"));
        const PeriodoRelatorio p = periodo(1, 3, 3, 3);
        for (const ResultadoRelatorio& r : {textorelatoriorecebimentos(linhas, p, IGREJA, HOJE),
                                            textorelatoriototaisdiarios(linhas, p, IGREJA, HOJE)})
            QVERIFY(!r.ok && r.texto.isEmpty() && r.erro.contains("00099/24") && r.erro.contains("12,5x"));
        // A reversed receipt's amount is never read; an empty one counts as zero; other shapes add up exactly.
        linhas.last() = pag("02/03/2024", "00099/24", "E0005", "Recibo Estornado", "lixo");
        linhas.append(pag("02/03/2024", "00100/24", "0005", "PEDRO", ""));
        QVERIFY(!relatorio(false, p, linhas).startsWith("ERRO"));
        Linhas formas;
        for (const char* valor : {"0,10", "0,20", "1.000,05", " 7 "})
            formas << pag("01/03/2024", valor, "0001", "A", valor);
        QVERIFY(relatorio(true, p, formas).contains("01/03/2024" + SP(9) + "1007,35" + NL));
        // Four decimals added up, rounded once where printed.
        Linhas meios;
        for (const char* codigo : {"00001/24", "00002/24", "00003/24"})
            meios << pag("01/03/2024", codigo, "0001", "A", "0,005");
        QVERIFY(relatorio(false, p, meios).endsWith("A" + SP(60) + "0,005" + NL + fim(56, "0,02")));
        QVERIFY(relatorio(true, p, meios).endsWith(CABECAS_DIA + "01/03/2024" + SP(12) + "0,02" + NL + fim(56, "0,02")));
    }

    void caracteresForaDoBmp()
    {
        // An emoji takes one column and is never cut in half: on the page, in the file, in every column.
        const QString e = QString::fromUtf8("\xF0\x9F\x98\x80");
        const Linhas linhas = {pag("01/03/2024", "00001/24", "0001", "Ana " + e, "1,00"),
                               pag("01/03/2024", "00002/24", "0002", e.repeated(60), "2,00")};
        const QString t = relatorio(false, periodo(1, 3, 1, 3), linhas);
        QVERIFY(t.contains(NL + "00001/24        Ana " + e + SP(45) + SP(12) + "1,00" + NL));
        QVERIFY(t.contains(NL + "00002/24        " + e.repeated(50) + SP(12) + "2,00" + NL));
        QCOMPARE(QString::fromUtf8(t.toUtf8()), t);
        const ItemDizimista n{"0001", true, e.repeated(41) + "x", {}, {}, {}, "05/03/1980", "05", "2222-0001"};
        QVERIFY(textorelatorioaniversariantes({n}, 3, true, IGREJA, HOJE)
                    .contains(NL + "   05        " + e.repeated(40) + "2222-0001      " + SP(10) + NL));
        QCOMPARE(completaaesquerda(e + "1,00", 7), "  " + e + "1,00");
        QCOMPARE(completaaesquerda(e + e + "1", 2), e + e);
    }

    void dadosDeCadastroEBairro()
    {
        const ItemDizimista a{"0001", true, "JOÃO DA SILVA", "Rua A, 1 ,Centro ,Niterói CEP.: 24000-000", "2222-1111",
                              "joao@exemplo.com", "05/03/1970"};
        const ItemDizimista b{"0002", false, "ANA"};
        const QString topo = NL + NL + CAB + NL + NL + "DADOS DE CADASTRO DE DIZIMISTAS";
        QCOMPARE(textorelatoriodedados({a, b}, CamposRelatorio(), IGREJA, HOJE),
                 topo + NL + NL + R + NL +
                 NL + "Nome:       JOÃO DA SILVA" + NL + "Endereço:   Rua A, 1 ,Centro ,Niterói CEP.: 24000-000" +
                 NL + "Telefone:   2222-1111" + NL + "E-Mail:     joao@exemplo.com" + NL + "Nascimento: 05/03/1970" +
                 NL + "0001" + NL + NL + R + NL +
                 NL + "Nome:       ANA" + NL + "Endereço:   " + NL + "Telefone:   " + NL + "E-Mail:     " +
                 NL + "Nascimento: " + NL + "0002" + FIM);
        const CamposRelatorio sem{false, false, false, false, false, false};
        QCOMPARE(textorelatoriodedados({a, b}, sem, IGREJA, HOJE), topo + NL + NL + R + NL + NL + NL + R + NL + FIM);
        QCOMPARE(textorelatoriodedados({}, CamposRelatorio(), IGREJA, HOJE), topo + FIM);

        const ItemDizimista c{"0007", true, "CARLOS", " ,Olho D'Água ,Niterói"};
        QCOMPARE(textorelatoriobairro({c}, "  olho d'água ", {true, true, false, false, false, true}, IGREJA, HOJE),
                 NL + NL + CAB + NL + NL + "RELATÓRIO DE DIZIMISTAS POR BAIRRO" + NL + NL + "BAIRRO:  olho d'água " +
                 NL + NL + R + NL + NL + "Nome:       CARLOS" + NL + "Endereço:    ,Olho D'Água ,Niterói" + NL +
                 "0007" + FIM);
    }

    void aniversariantes()
    {
        auto niver = [](QString codigo, QString nome, QString dia, QString tel, QString cel) {
            return ItemDizimista{codigo, true, nome, {}, {}, {}, dia + "/03/1980", dia, tel, cel};
        };
        const ListaDizimistas itens = {niver("0003", "CARLOS", "15", "2222-0003", ""),
            niver("0001", "ANA MARIA DA CONCEIÇÃO DOS SANTOS PEREIRA LIMA", "05", "2222-0001", "99999-0001"),
            niver("0002", "BRUNO", "15", "", "98888-0002")};
        const QString topo = NL + NL + CAB + NL + NL + SP(14) + "ANIVERSARIANTES DO MÊS" + NL + SP(22) + "MARÇO" +
                                 NL + R + NL + "   DIA       NOME";
        // Without a site the issue line still ends in "  -  ".
        const QString fimsemsite = NL + R + NL + EMISSAO + "  -  " + NL + R;
        QCOMPARE(textorelatorioaniversariantes(itens, 3, false, IGREJA, HOJE),
                 topo + NL + R + NL + "   05        ANA MARIA DA CONCEIÇÃO DOS SANTOS PEREIR" + NL +
                     NL + "   15        CARLOS" + SP(34) + NL + SP(13) + "BRUNO" + SP(35) + NL + fimsemsite);

        DadosIgreja ig = IGREJA;
        ig.site = "www.paroquiasaojose.org.br";
        QCOMPARE(textorelatorioaniversariantes(itens, 3, true, ig, HOJE),
                 topo + "                                     TELEFONE                CELULAR" + NL + R +
                     NL + "   05        ANA MARIA DA CONCEIÇÃO DOS SANTOS PEREIR" + "2222-0001      " + SP(10) +
                     "99999-0001" + NL + NL + "   15        CARLOS" + SP(34) + "2222-0003      " + SP(10) + NL +
                     SP(13) + "BRUNO" + SP(35) + SP(15) + SP(10) + "98888-0002" + NL +
                     NL + R + NL + EMISSAO + "  -  www.paroquiasaojose.org.br" + NL + R);

        // A month outside 1 to 12: no month name, no rows.
        QCOMPARE(textorelatorioaniversariantes({}, 13, false, IGREJA, HOJE),
                 NL + NL + CAB + NL + NL + "              ANIVERSARIANTES DO MÊS" + NL + SP(22) + NL + R + NL +
                     "   DIA       NOME" + NL + R + fimsemsite);
    }

    void carregamentosDoBanco()
    {
        teste::criaBancoTeste();
        // Out of code order: the report follows the order of the table. Null name and amount.
        teste::sql("INSERT INTO pagamentos (codigo, data, hora, valor, codigodizimista, nomedizimista) VALUES"
                   " ('00003/24', '01/03/2024', '10:00', '1234,50', '0002', NULL),"
                   " ('00001/24', '01/03/2024', '09:00', '10,00', '0001', 'JOÃO DA SILVA'),"
                   " ('00002/24', '01/03/2024', '09:30', '0,00', 'E0002', 'Recibo Estornado'),"
                   " ('00005/24', '03/03/2024', '09:00', NULL, '0000', 'NÃO ESPECIFICADO'),"
                   " ('00007/24', '04/03/2024', '09:00', '99,00', '0001', 'JOÃO DA SILVA')");
        LeitorPagamentosDia leitor;
        QVERIFY(leitor.ok());
        auto fonte = [&](const QString& dia, Linhas& l) { return leitor.le(dia, l); };
        QCOMPARE(texto(montarelatoriorecebimentos(periodo(1, 3, 3, 3), IGREJA, HOJE, fonte)),
                 NL + NL + CAB + TITULO_REC + MARCO_1_3 + CABECAS_REC + "01/03/2024      " + NL +
                 "00003/24        Não Identificado" + SP(43) + "1234,50" + NL +
                 "00001/24        JOÃO DA SILVA" + SP(48) + "10,00" + NL + "03/03/2024      " + NL +
                 "00005/24        NÃO ESPECIFICADO" + SP(46) + "0,00" + NL + fim(53, "1244,50"));
        // The daily totals' reader takes only the amount and the reversal mark, and the code
        // of a receipt whose amount is not a number, which the message names.
        LeitorPagamentosDia totais(ColunasPagamento::Totais);
        auto fontetotais = [&](const QString& dia, Linhas& l) { return totais.le(dia, l); };
        QCOMPARE(texto(montarelatoriototaisdiarios(periodo(1, 3, 3, 3), IGREJA, HOJE, fontetotais)),
                 NL + NL + CAB + TITULO_DIA + MARCO_1_3 + CABECAS_DIA + "01/03/2024" + SP(9) + "1244,50" + NL +
                 fim(53, "1244,50"));
        teste::sql("INSERT INTO pagamentos (codigo, data, valor, codigodizimista) VALUES ('00008/24', '02/03/2024', 'dez',"
                   " '0001'), ('00009/24', '02/03/2024', 'lixo', 'E0001')");
        QVERIFY(texto(montarelatoriototaisdiarios(periodo(1, 3, 3, 3), IGREJA, HOJE, fontetotais))
                    .startsWith("ERRO: O valor \"dez\" do recibo 00008/24 (dia 02/03/2024) não é um número."));
        teste::sql("DELETE FROM pagamentos WHERE codigo IN ('00008/24', '00009/24')");
        // The day is a bound value: a quote in it is just text.
        Linhas nada;
        QVERIFY(leitor.le("01/03/2024' OR '1'='1", nada) && nada.isEmpty());
        // The file closed between two days (a backup meanwhile): the report stops and says why.
        int dias = 0;
        auto fechada = [&](const QString& dia, Linhas& l) {
            if (++dias == 2)
                Banco::closeAll();
            return leitor.le(dia, l);
        };
        QCOMPARE(montarelatoriorecebimentos(periodo(1, 3, 3, 3), IGREJA, HOJE, fechada).erro,
                 QString("Não foi possível ler os recebimentos do dia 02/03/2024: o banco de dados foi fechado durante "
                         "a operação. O relatório foi interrompido."));

        teste::sql("INSERT INTO dizimistas (codigo, nome, endereco, bairro, cidade, cep, tel, email, nascimento, ativo,"
                   " celular) VALUES"
                   " ('0002', 'BRUNO', 'Rua B, 2', 'São Cristóvão', 'Rio', '20000-000', '2222-0002', 'b@x.com',"
                   "  '15/03/1985', 1, '98888-0002'),"
                   " ('0001', 'ANA', NULL, 'SÃO CRISTÓVÃO', 'Rio', NULL, NULL, NULL, '05/03/1990', NULL, NULL),"
                   " ('0003', 'CARLOS', 'Rua C', NULL, NULL, NULL, NULL, NULL, '31/02/1980', 0, NULL),"
                   " ('0004', 'DÉBORA', 'Rua D', 'Olho D''Água', NULL, NULL, NULL, NULL, '7/3/1975', 1, NULL),"
                   " ('0005', 'EDU', 'Rua E', '100% Feliz', NULL, NULL, NULL, NULL, NULL, 1, NULL),"
                   " ('0006', 'FÁBIO', 'Rua F', '', NULL, NULL, NULL, NULL, '01/04/1980', 1, NULL)");

        // In table order; no street gives no address in the complete list, and a Null "ativo" is inactive.
        const ListaDizimistas todos = completa();
        QCOMPARE(todos.size(), 6);
        QCOMPARE(todos.item(0).codigo + "|" + todos.item(0).endereco,
                 QString("0002|Rua B, 2 ,São Cristóvão ,Rio CEP.: 20000-000"));
        QVERIFY(todos.ativo(0) && todos.item(1).endereco.isEmpty() && !todos.ativo(1));

        // Case folds for accented letters too, and the typed text is only a value.
        QCOMPARE(porbairro("são cristóvão").item(1).endereco,
                 QString(" ,SÃO CRISTÓVÃO ,Rio"));
        QList<int> n;
        for (const char* b : {"são cristóvão", "d'água", "%", "x' OR 1=1 --", ""})
            n << porbairro(b).size();
        QCOMPARE(n, (QList<int>{2, 1, 1, 0, 5}));  // "": every tither with a neighbourhood

        // Birthdays: invalid and missing dates never count; "7/3/1975" is a date of March.
        const ListaDizimistas marco = aniversariantesde(3);
        QCOMPARE(marco.size(), 3);
        const ItemDizimista b = marco.item(0);
        QCOMPARE((QStringList{b.codigo, b.dia, b.telefonedia, b.celular, marco.item(2).dia}),
                 (QStringList{"0002", "15", "2222-0002", "98888-0002", "07"}));
        for (int mes : {2, 13, 0})
            QVERIFY(aniversariantesde(mes).isEmpty());

        // The list and the report decode texts as every other read does: a BOM at the
        // start and further on, broken, overlong and cut-off sequences, accents
        // after a long plain start.
        teste::sql("INSERT INTO dizimistas (codigo, nome, endereco, ativo) VALUES"
                   " ('0007', CAST(X'EFBBBF416E61' AS TEXT), CAST(X'52756120C3A9C181C3EFBBBF' AS TEXT), 1),"
                   " ('0008', CAST(X'4142434445464748C3A7EFBBBFFF80C3' AS TEXT),"
                   "  CAST(X'4A6F73C378' AS TEXT) || ' São Sebastião 😀 ' || CAST(X'F09F' AS TEXT), 1)");
        const ListaDizimistas estranhos = completa();
        QCOMPARE(estranhos.size(), 8);
        const QString texto = textorelatoriodedados(estranhos, CamposRelatorio(), IGREJA, HOJE);
        Escopo e = abreconexaodizimistas();
        Consulta c("SELECT nome, endereco FROM dizimistas WHERE codigo IN ('0007', '0008') ORDER BY rowid");
        for (int i = 6; c.next(); ++i) {
            QCOMPARE(estranhos.item(i).nome + "|" + estranhos.item(i).endereco, c.text(0) + "|" + c.text(1));
            QVERIFY(texto.contains(NL + "Nome:       " + c.text(0) + NL + "Endereço:   " + c.text(1) + NL));
        }
        // A byte-order mark at the start of bairro, cidade or cep stays out of the address, as in every other read.
        teste::sql("INSERT INTO dizimistas (codigo, nome, endereco, bairro, cidade, cep) VALUES"
                   " ('0009', 'GIL', 'Rua G', char(65279) || 'Vila Bom', char(65279) || 'Rio', char(65279) || '24000'),"
                   " ('0010', 'HELENA', NULL, char(65279) || 'Vila Bom', NULL, NULL)");
        QCOMPARE(completa().item(8).endereco, QString("Rua G ,Vila Bom ,Rio CEP.: 24000"));
        const ListaDizimistas vila = porbairro("vila bom");
        QCOMPARE(vila.item(0).endereco + "|" + vila.item(1).endereco, QString("Rua G ,Vila Bom ,Rio CEP.: 24000| ,Vila Bom"));
        // A text that starts with U+FEFF keeps it in a list built from items.
        const QString combom = QChar(0xFEFF) + QString("Ana");
        QCOMPARE(ListaDizimistas{ItemDizimista{combom}}.item(0).codigo, combom);
    }
};

TIVANE_TEST_MAIN(TstRelatorios)
#include "tst_relatorios.moc"
