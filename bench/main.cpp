// Figures of the hot paths on a database the size of a large parish (or a
// multiple of it), each beside a bound that does the same kind of work with
// plain statements, prepared once, on the same file and in the same run.
#include "gerador.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/integridade.h"
#include "core/registro.h"
#include "core/resultado.h"
#include "register/dizimistas.h"
#include "register/frmlocaliza.h"
#include "register/numeracao.h"
#include "shell/frmbackup.h"
#include "shell/frmsenha.h"
#include "core/igreja.h"
#include "shell/varredura.h"
#include "core/janelas.h"
#include "tithes/frmfolhaderelatorio.h"
#include "tithes/frmrelatorios.h"
#include "tithes/pagamentos.h"
#include "tithes/relatorios.h"
#include "tithes/visortexto.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <cstdio>
#include <unistd.h>

using namespace tivane;

namespace {

const QDate HOJE = QDate::currentDate();
const int ANO_COMPLETO = HOJE.year() - 1;   // the last whole year of the generated data

int g_dizimistas = 20000;   // tithers in the generated file

QString dia(const QDate& d) { return d.toString("dd/MM/yyyy"); }

void semErros(benchmark::State& estado, const Consulta& c)
{
    if (!c.ok())
        estado.SkipWithError(qPrintable(c.erro()));
}

// ---- receive one tithe -------------------------------------------------------
void ReceberDizimo(benchmark::State& estado)
{
    int i = 0;
    for (auto _ : estado) {
        const QDateTime agora = QDateTime::currentDateTime();
        QString data = dia(agora.date()), hora = agora.time().toString("hh:mm"), valor = "50,00";
        QString codigo = QString::number(1 + (i++ % (g_dizimistas * 9 / 10))).rightJustified(4, '0');
        QString nome = "Bench", mes, ano;
        const QString recibo = gravapagamento(data, hora, valor, codigo, nome, mes, ano);
        if (recibo.isEmpty())
            estado.SkipWithError("gravapagamento falhou");
        benchmark::DoNotOptimize(recibo);
    }
}
// The same index probe for the year's highest number, the insert and the
// synced commit, in the same file. Like the program, no bound keeps a read
// open between two operations: each statement is reset once read.
void ReceberDizimo_Limite(benchmark::State& estado)
{
    Escopo e = abreconexaopagamentos();
    const QString ano = QString::number(HOJE.year() % 100).rightJustified(2, '0');
    Consulta m("SELECT CAST(substr(codigo, 1, instr(codigo, '/') - 1) AS INTEGER) FROM pagamentos"
               " WHERE substr(codigo, instr(codigo, '/') + 1, 2) = ?"
               " ORDER BY CAST(substr(codigo, 1, instr(codigo, '/') - 1) AS INTEGER) DESC LIMIT 1");
    Consulta ins("INSERT INTO pagamentos (codigo, data, hora, valor, codigofuncionario, codigodizimista,"
                 " nomedizimista, mesreferencia, anoreferencia) VALUES (?,?,?,?,?,?,?,?,?)");
    int i = 0;
    for (auto _ : estado) {
        // The same tithers as the program's loop: the same index pages change.
        const QString codigo = QString::number(1 + (i++ % (g_dizimistas * 9 / 10))).rightJustified(4, '0');
        if (!e.inicia())
            estado.SkipWithError(qPrintable(e.causa()));
        m.reset();
        m.bind(ano);
        // No row this year: the first number.
        const qint64 n = (m.next() ? m.inteiro(0) : 0) + 1;
        semErros(estado, m);
        m.reset();
        ins.reset();
        ins.bind(QString::number(n).rightJustified(5, '0') + '/' + ano).bind(dia(HOJE)).bind("10:00")
            .bind("50,00").bind("0000").bind(codigo).bind("Bench").bind("").bind("");
        if (!ins.exec())
            semErros(estado, ins);
        if (!e.confirma())
            estado.SkipWithError("commit falhou");
    }
}

// ---- payments window lookup at one keystroke -----------------------------------
void ConsultaDigitacao(benchmark::State& estado)
{
    int i = 0;
    for (auto _ : estado) {
        const QString codigo = QString::number(1 + (qint64(i++) * 7919) % g_dizimistas).rightJustified(4, '0');
        QString nome;
        const Leitura existe = localizadizimista(codigo, &nome);
        benchmark::DoNotOptimize(existe);
        benchmark::DoNotOptimize(nome);
    }
}
void ConsultaDigitacao_Limite(benchmark::State& estado)
{
    Escopo e = abreconexaodizimistas();
    int i = 0;
    Consulta c("SELECT nome FROM dizimistas WHERE codigo = ?");
    for (auto _ : estado) {
        c.bind(QString::number(1 + (qint64(i++) * 7919) % g_dizimistas).rightJustified(4, '0'));
        if (!c.next())
            semErros(estado, c);
        benchmark::DoNotOptimize(c.text(0));
        c.reset();
    }
}

// ---- start-up inactivity sweep, on a fresh copy of the cached file ------------
QString g_origem, g_pasta;

// A copy made for a benchmark goes to the disk before any timing: its
// write-back would otherwise slow the synced commits measured after it.
void gravaNoDisco(const QString& caminho)
{
    QFile f(caminho);
    if (f.open(QIODevice::ReadWrite))
        ::fsync(f.handle());
}

// Points the program at its own copy of the cached database (outside the timing).
struct CopiaDoBanco {
    explicit CopiaDoBanco(benchmark::State& estado) : estado(estado)
    {
        estado.PauseTiming();
        Banco::closeAll();
        const QString pasta = g_pasta + "-copia";
        QDir().mkpath(pasta);
        QFile::remove(pasta + "/cadastrocd.mdb");
        if (!QFile::copy(g_origem, pasta + "/cadastrocd.mdb"))
            estado.SkipWithError("cópia do banco falhou");
        gravaNoDisco(pasta + "/cadastrocd.mdb");
        QString erro;
        if (!gravatextopadrao("caminhopadrao", pasta))
            estado.SkipWithError("a pasta de dados não pôde ser gravada");
        else if (!Banco::conecta(&erro))
            estado.SkipWithError(qPrintable(erro));
        estado.ResumeTiming();
    }
    ~CopiaDoBanco()
    {
        estado.PauseTiming();
        Banco::closeAll();
        QFile::remove(g_pasta + "-copia/cadastrocd.mdb");
        if (!gravatextopadrao("caminhopadrao", g_pasta))
            estado.SkipWithError("a pasta de dados não pôde ser gravada");
        estado.ResumeTiming();
    }
    benchmark::State& estado;
};

void VarreduraInativos(benchmark::State& estado)
{
    for (auto _ : estado) {
        CopiaDoBanco copia(estado);
        const ResultadoVarredura r = marcainativos(HOJE, 120, [](int, int) { QCoreApplication::processEvents(); });
        if (!r.ok)
            estado.SkipWithError(qPrintable(r.erro));
        estado.counters["inativos"] = r.inativados;
    }
}
// A stored date as a Julian day, read by the program's own date reader; NULL when it is not a date.
void juliano(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QDate d = t ? lerdata(QLatin1StringView(t, sqlite3_value_bytes(argv[0]))) : QDate();
    if (d.isValid())
        sqlite3_result_int64(ctx, d.toJulianDay());
    else
        sqlite3_result_null(ctx);
}
// The same grouped join with the engine's own max(), each date read in C++ as the program reads it.
void VarreduraInativos_Limite(benchmark::State& estado)
{
    for (auto _ : estado) {
        CopiaDoBanco copia(estado);
        Escopo e = abreconexaodizimistas();
        sqlite3_create_function_v2(Banco::conexao(), "juliano", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   juliano, nullptr, nullptr, nullptr);
        Consulta c("SELECT d.codigo FROM dizimistas d LEFT JOIN pagamentos p ON p.codigodizimista = d.codigo"
                   " WHERE d.ativo <> 0 GROUP BY d.rowid"
                   " HAVING coalesce(max(?1, max(juliano(p.data))), juliano(d.cadastro)) + 120 < ?2");
        c.bind(qint64(QDate(2010, 1, 1).toJulianDay())).bind(qint64(HOJE.toJulianDay()));
        QStringList vencidos;
        while (c.next())
            vencidos.append(c.text(0));
        semErros(estado, c);
        if (!e.inicia())
            estado.SkipWithError(qPrintable(e.causa()));
        Consulta u("UPDATE dizimistas SET ativo = 0 WHERE codigo = ?");
        for (const QString& codigo : vencidos) {
            u.reset();
            u.bind(codigo);
            if (!u.exec())
                break;
        }
        semErros(estado, u);
        if (!e.confirma())
            estado.SkipWithError(qPrintable(e.causa()));
        estado.counters["inativos"] = vencidos.size();
    }
}

// ---- the login window appears (the connection opened with the key) -----------
void JanelaDeLogin(benchmark::State& estado)
{
    for (auto _ : estado) {
        Banco::closeAll();
        auto* janela = new FrmSenha;
        janela->show();
        QCoreApplication::processEvents();
        estado.counters["usuarios"] = janela->findChild<QComboBox*>("combousuarios")->count();
        delete janela;
    }
}
void JanelaDeLogin_Limite(benchmark::State& estado)
{
    for (auto _ : estado) {
        Banco::closeAll();
        QString erro;
        if (!Banco::conecta(&erro))
            estado.SkipWithError(qPrintable(erro));
        Consulta c("SELECT codigo, nome, senha FROM usuarios");
        int n = 0;
        while (c.next())
            ++n;
        benchmark::DoNotOptimize(n);
    }
}

// ---- search by part of a name; next and previous tither -----------------------
void BuscaPorNome(benchmark::State& estado)
{
    for (auto _ : estado) {
        QVector<LinhaBusca> r;
        if (!buscalocalizador(PorNome, "silva", BUSCA_DIZIMISTAS, &r))
            estado.SkipWithError("buscalocalizador falhou");
        estado.counters["achados"] = r.size();
        benchmark::DoNotOptimize(r);
    }
}
void BuscaPorNome_Limite(benchmark::State& estado)
{
    Escopo e = abreconexaodizimistas();
    for (auto _ : estado) {
        // Name and code of each match read as text, as the search hands them back.
        Consulta c("SELECT nome, codigo FROM dizimistas WHERE instr(nome, 'Silva') > 0");
        qint64 n = 0;
        while (c.next())
            n += c.text(0).size() + c.text(1).size();
        benchmark::DoNotOptimize(n);
    }
}
void ProximoEAnterior(benchmark::State& estado)
{
    int i = 0;
    for (auto _ : estado) {
        const QString codigo = QString::number(1 + (qint64(i++) * 7919) % g_dizimistas).rightJustified(4, '0');
        QString alvo;
        benchmark::DoNotOptimize(proximocodigo(Tabela::Dizimistas, codigo, &alvo));
        benchmark::DoNotOptimize(codigoanterior(Tabela::Dizimistas, codigo, &alvo));
    }
}
void ProximoEAnterior_Limite(benchmark::State& estado)
{
    // Codes in the order of their numbers ("9999" before "10000"), on the same index.
    Escopo e = abreconexaodizimistas();
    int i = 0;
    Consulta prox("SELECT codigo FROM dizimistas WHERE CAST(codigo AS INTEGER) > ?"
                  " ORDER BY CAST(codigo AS INTEGER), codigo LIMIT 1");
    Consulta ant("SELECT codigo FROM dizimistas WHERE CAST(codigo AS INTEGER) < ?"
                 " ORDER BY CAST(codigo AS INTEGER) DESC, codigo DESC LIMIT 1");
    for (auto _ : estado) {
        const qint64 numero = 1 + (qint64(i++) * 7919) % g_dizimistas;
        prox.bind(numero);
        if (!prox.next())
            semErros(estado, prox);
        benchmark::DoNotOptimize(prox.text(0));
        prox.reset();
        ant.bind(numero);
        if (!ant.next())
            semErros(estado, ant);
        benchmark::DoNotOptimize(ant.text(0));
        ant.reset();
    }
}

// ---- period reports -------------------------------------------------------------
PeriodoRelatorio anoInteiro()
{
    PeriodoRelatorio p;
    p.inicio = QDate(ANO_COMPLETO, 1, 1);
    p.fim = QDate(ANO_COMPLETO, 12, 31);
    p.mostracodigos = true;
    return p;
}
void RelatorioRecebimentosAno(benchmark::State& estado)
{
    const DadosIgreja igreja = carregaigreja();
    for (auto _ : estado) {
        Escopo e = abreconexaopagamentos();
        LeitorPagamentosDia leitor;
        const ResultadoRelatorio r = montarelatoriorecebimentos(
            anoInteiro(), igreja, HOJE, [&](const QString& d, QVector<LinhaPagamento>& l) { return leitor.le(d, l); });
        if (!r.ok)
            estado.SkipWithError(qPrintable(r.erro));
        estado.counters["caracteres"] = r.texto.size();
    }
}
void RelatorioTotaisDiariosAno(benchmark::State& estado)
{
    const DadosIgreja igreja = carregaigreja();
    for (auto _ : estado) {
        Escopo e = abreconexaopagamentos();
        LeitorPagamentosDia leitor(ColunasPagamento::Totais);
        const ResultadoRelatorio r = montarelatoriototaisdiarios(
            anoInteiro(), igreja, HOJE, [&](const QString& d, QVector<LinhaPagamento>& l) { return leitor.le(d, l); });
        if (!r.ok)
            estado.SkipWithError(qPrintable(r.erro));
        estado.counters["caracteres"] = r.texto.size();
    }
}
// Every day of the year, one probe on the date index each, reading the same
// columns as text.
QStringList diasDoAno()
{
    QStringList dias;
    for (QDate d(ANO_COMPLETO, 1, 1); d.year() == ANO_COMPLETO; d = d.addDays(1))
        dias.append(dia(d));
    return dias;
}
void RelatorioAno_Limite(benchmark::State& estado)
{
    const QStringList dias = diasDoAno();
    Escopo e = abreconexaopagamentos();
    Consulta c("SELECT codigo, codigodizimista, nomedizimista, valor FROM pagamentos WHERE data = ? ORDER BY rowid");
    for (auto _ : estado) {
        qint64 n = 0;
        for (const QString& d : dias) {
            c.reset();
            c.bind(d);
            while (c.next())
                n += c.text(0).size() + c.text(1).size() + c.text(2).size() + c.text(3).size();
            semErros(estado, c);
        }
        c.reset();
        benchmark::DoNotOptimize(n);
    }
}
void TotaisDiariosAno_Limite(benchmark::State& estado)
{
    const QStringList dias = diasDoAno();
    Escopo e = abreconexaopagamentos();
    Consulta c("SELECT sum(CAST(replace(valor, ',', '.') AS REAL)) FROM pagamentos"
               " WHERE data = ? AND substr(codigodizimista, 1, 1) <> 'E'");
    for (auto _ : estado) {
        double total = 0;
        for (const QString& d : dias) {
            c.reset();
            c.bind(d);
            if (c.next())
                total += c.value(0).toDouble();
            semErros(estado, c);
        }
        c.reset();
        benchmark::DoNotOptimize(total);
    }
}
void RelatorioDadosCadastro(benchmark::State& estado)
{
    const DadosIgreja igreja = carregaigreja();
    for (auto _ : estado) {
        ListaDizimistas itens;
        if (!carregalistacompletadizimistas(&itens))
            estado.SkipWithError("carregalistacompletadizimistas falhou");
        const QString texto = textorelatoriodedados(itens, CamposRelatorio{}, igreja, HOJE);
        estado.counters["caracteres"] = texto.size();
    }
}
void RelatorioDadosCadastro_Limite(benchmark::State& estado)
{
    Escopo e = abreconexaodizimistas();
    for (auto _ : estado) {
        // The columns the list takes, read as text.
        Consulta c("SELECT codigo, ativo, nome, endereco, bairro, cidade, cep, tel, email, nascimento FROM dizimistas");
        qint64 n = 0;
        while (c.next())
            for (int i = 0; i < 10; ++i)
                n += c.text(i).size();
        benchmark::DoNotOptimize(n);
    }
}

// ---- the report page: from "Gerar Relatório" to the first lines on screen ------
long memoriaKb(const char* campo)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linha : f.readAll().split('\n'))
        if (linha.startsWith(campo))
            return linha.mid(int(qstrlen(campo))).trimmed().split(' ').first().toLong();
    return -1;
}
long g_picoKb = 0;        // the process's peak before any reset below
double g_vezesArquivo = -1;  // memory taken by opening the large file, in file sizes

// Starts a fresh peak (the old one is kept for the end); returns the memory in use.
long zeraPico()
{
    g_picoKb = qMax(g_picoKb, memoriaKb("VmHWM:"));
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
    return memoriaKb("VmRSS:");
}

// Paints the first screen of the report box, as the event loop would.
void pintaPagina(benchmark::State& estado)
{
    auto* pagina = Janelas::instancia<FrmFolhaDeRelatorio>("frmfolhaderelatorio");
    if (!pagina) {
        estado.SkipWithError("a página do relatório não abriu");
        return;
    }
    benchmark::DoNotOptimize(pagina->txtrelatorio()->viewport()->grab());
}

void RelatorioAnoNaPagina(benchmark::State& estado)
{
    auto* janela = qobject_cast<FrmRelatorios*>(Janelas::abre("frmrelatorios"));
    const QString inicio = dia(QDate(ANO_COMPLETO, 1, 1)), fim = dia(QDate(ANO_COMPLETO, 12, 31));
    for (auto _ : estado) {
        Dialogos::respondeMsgbox(Dialogos::Sim);  // the receipt codes too
        janela->gerarelatoriorecebimentopordata(inicio, fim, QString());
        pintaPagina(estado);
    }
    if (auto* pagina = Janelas::instancia<FrmFolhaDeRelatorio>("frmfolhaderelatorio"))
        estado.counters["caracteres"] = pagina->texto().size();
    Janelas::fecha("frmrelatorios");
}

// A year of receipts on the page while a second one is built and shown in its
// place, as the office does; then the page is closed.
double g_picoDoisAnosMb = -1, g_depoisDeFecharMb = -1;
void DoisRelatoriosAno(benchmark::State& estado)
{
    auto* janela = qobject_cast<FrmRelatorios*>(Janelas::abre("frmrelatorios"));
    const QString inicio = dia(QDate(ANO_COMPLETO, 1, 1)), fim = dia(QDate(ANO_COMPLETO, 12, 31));
    for (auto _ : estado) {
        estado.PauseTiming();
        Janelas::fecha("frmfolhaderelatorio");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        zeraPico();
        estado.ResumeTiming();
        for (int i = 0; i < 2; ++i) {
            Dialogos::respondeMsgbox(Dialogos::Sim);
            janela->gerarelatoriorecebimentopordata(inicio, fim, QString());
            pintaPagina(estado);
        }
        estado.PauseTiming();
        g_picoDoisAnosMb = qMax(g_picoDoisAnosMb, memoriaKb("VmHWM:") / 1024.0);
        Janelas::fecha("frmfolhaderelatorio");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_depoisDeFecharMb = memoriaKb("VmRSS:") / 1024.0;
        estado.counters["pico_MB"] = g_picoDoisAnosMb;
        estado.counters["fechada_MB"] = g_depoisDeFecharMb;
        estado.ResumeTiming();
    }
    Janelas::fecha("frmrelatorios");
}

TextoCompacto recibosDoPeriodo(const QDate& inicio, const QDate& fim)
{
    PeriodoRelatorio p = anoInteiro();
    p.inicio = inicio;
    p.fim = fim;
    Escopo e = abreconexaopagamentos();
    LeitorPagamentosDia leitor;
    return montarelatoriorecebimentos(p, carregaigreja(), HOJE, [&](const QString& d, QVector<LinhaPagamento>& l) {
               return leitor.le(d, l);
           }).texto;
}
// Only the showing: the same for a day as for a year.
void mostraNaPagina(benchmark::State& estado, const QDate& fim)
{
    const TextoCompacto texto = recibosDoPeriodo(QDate(ANO_COMPLETO, 1, 1), fim);
    for (auto _ : estado) {
        exibefolhaderelatorio(texto);
        pintaPagina(estado);
    }
    estado.counters["caracteres"] = texto.size();
}
void PaginaUmAno(benchmark::State& estado) { mostraNaPagina(estado, QDate(ANO_COMPLETO, 12, 31)); }
void PaginaUmDia(benchmark::State& estado) { mostraNaPagina(estado, QDate(ANO_COMPLETO, 1, 1)); }

// A saved report of 50 MB: years of receipts one after the other.
QString relatorioGrande()
{
    const QString caminho = g_pasta + "/relatorio-grande.txt";
    if (QFile::exists(caminho))
        return caminho;
    const QByteArray ano = recibosDoPeriodo(QDate(ANO_COMPLETO, 1, 1), QDate(ANO_COMPLETO, 12, 31)).toString().toUtf8();
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    while (f.size() + ano.size() <= 50'000'000)
        f.write(ano);
    f.write(ano.left(50'000'000 - int(f.size())));
    return caminho;
}
void AbrirRelatorio50MB(benchmark::State& estado)
{
    const QString caminho = relatorioGrande();
    const double tamanhoKb = QFileInfo(caminho).size() / 1024.0;
    FrmFolhaDeRelatorio* pagina = exibefolhaderelatorio(QString());
    for (auto _ : estado) {
        estado.PauseTiming();
        pagina->definetexto(QString());
        const long antes = zeraPico();
        estado.ResumeTiming();
        Dialogos::respondeTexto(caminho);
        pagina->abrir();
        pintaPagina(estado);
        estado.PauseTiming();
        g_vezesArquivo = qMax(g_vezesArquivo, (memoriaKb("VmHWM:") - antes) / tamanhoKb);
        estado.counters["vezes_o_arquivo"] = g_vezesArquivo;
        estado.ResumeTiming();
    }
    pagina->definetexto(QString());
}
void AbrirRelatorio50MB_Limite(benchmark::State& estado)
{
    const QString caminho = relatorioGrande();
    for (auto _ : estado) {
        QFile f(caminho);
        if (!f.open(QIODevice::ReadOnly))
            estado.SkipWithError("arquivo grande não abriu");
        benchmark::DoNotOptimize(QString::fromUtf8(f.readAll()));
    }
}

// ---- a receipt while the file check runs, and Backup > Criar as the user runs it ---
void ReceberDuranteVerificacao(benchmark::State& estado)
{
    ControleVerificacao c;
    c.discreta = true;   // as the check after login runs
    QThread* verificacao = QThread::create([&c] {
        // Only the load it puts on the file counts here, not its verdict.
        while (!c.parar)
            dispensaresultado(verificaemfatias(Banco::caminhoArquivo(), &c));
    });
    verificacao->start(QThread::LowPriority);
    ReceberDizimo(estado);
    c.parar = true;
    verificacao->wait();
    delete verificacao;
}
// Backup > Criar after a day's work, as the user runs it: the private copy of one committed
// state, its check, the copy to the folder and its flush to disk.
void CriarBackup(benchmark::State& estado)
{
    const QString pasta = g_pasta + "/pen";
    QDir().mkpath(pasta);
    for (auto _ : estado) {
        estado.PauseTiming();
        QFile::remove(pasta + "/cadastrocd.mdb");
        {   // a day's work since the last check: the file is read again
            Escopo e = abreconexaoigreja();
            Consulta escrita("UPDATE igreja SET sobra = sobra");
            if (!escrita.exec())
                semErros(estado, escrita);
        }
        estado.ResumeTiming();
        if (executabackup(ModoBackup::Backup, pasta).tamanho <= 0)
            estado.SkipWithError("o backup falhou");
    }
    QDir(pasta).removeRecursively();
}
// The same file copied to a folder on the same disk and flushed there, nothing checked.
void CriarBackup_Limite(benchmark::State& estado)
{
    const QString origem = Banco::caminhoArquivo(), destino = g_pasta + "/copia.mdb";
    for (auto _ : estado)
        if (!copiaarquivo(origem, destino).ok)
            estado.SkipWithError("a cópia falhou");
    QFile::remove(destino);
}

// Collects the mean time of each run for the table at the end; with
// --benchmark_repetitions, the best repetition (others' work only adds time:
// add --benchmark_enable_random_interleaving=true on a busy machine).
class Coletor : public benchmark::ConsoleReporter {
public:
    QMap<QString, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const QString nome = QString::fromStdString(r.run_name.function_name);
            const double t = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
            ms[nome] = ms.contains(nome) ? qMin(ms[nome], t) : t;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

long picoMemoriaKb() { return qMax(g_picoKb, memoriaKb("VmHWM:")); }

}  // namespace

BENCHMARK(ReceberDizimo)->Unit(benchmark::kMillisecond);
BENCHMARK(ReceberDizimo_Limite)->Unit(benchmark::kMillisecond);
BENCHMARK(ConsultaDigitacao)->Unit(benchmark::kMillisecond);
BENCHMARK(ConsultaDigitacao_Limite)->Unit(benchmark::kMillisecond);
BENCHMARK(BuscaPorNome)->Unit(benchmark::kMillisecond);
BENCHMARK(BuscaPorNome_Limite)->Unit(benchmark::kMillisecond);
BENCHMARK(ProximoEAnterior)->Unit(benchmark::kMillisecond);
BENCHMARK(ProximoEAnterior_Limite)->Unit(benchmark::kMillisecond);
BENCHMARK(RelatorioRecebimentosAno)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RelatorioAno_Limite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RelatorioTotaisDiariosAno)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(TotaisDiariosAno_Limite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(VarreduraInativos)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(VarreduraInativos_Limite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(JanelaDeLogin)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(JanelaDeLogin_Limite)->Unit(benchmark::kMillisecond)->Iterations(10);
// Twenty runs: the first ones also pay for the process growing its heap.
BENCHMARK(RelatorioDadosCadastro)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(RelatorioDadosCadastro_Limite)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(RelatorioAnoNaPagina)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DoisRelatoriosAno)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PaginaUmAno)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PaginaUmDia)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(AbrirRelatorio50MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AbrirRelatorio50MB_Limite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReceberDuranteVerificacao)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(CriarBackup)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CriarBackup_Limite)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QTemporaryDir casa(QDir::tempPath() + "/tivane-bench-XXXXXX");
    qputenv("HOME", QFile::encodeName(casa.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(casa.path() + "/.config"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Dialogos::ativaModoTeste(true);

    QString cache = qEnvironmentVariable("TIVANE_BENCH_CACHE");
    if (cache.isEmpty())
        cache = QCoreApplication::applicationDirPath() + "/dados";
    bench::Tamanho tamanho;
    if (qEnvironmentVariableIsSet("TIVANE_BENCH_PEQUENO"))
        tamanho = {2000, 50000, 5};
    // TIVANE_BENCH_ESCALA=5: five parishes' worth of tithers and payments.
    const int escala = qMax(1, qEnvironmentVariableIntValue("TIVANE_BENCH_ESCALA"));
    tamanho.dizimistas *= escala;
    tamanho.pagamentos *= escala;
    g_dizimistas = tamanho.dizimistas;
    const QString origem = bench::bancoEmCache(cache, tamanho);
    if (origem.isEmpty()) {
        std::fprintf(stderr, "Não foi possível gerar a base de teste em %s\n", qPrintable(cache));
        return 1;
    }
    const QString pasta = casa.path() + "/dados";
    QDir().mkpath(pasta);
    QFile::copy(origem, pasta + "/cadastrocd.mdb");
    gravaNoDisco(pasta + "/cadastrocd.mdb");
    // Opening creates any index the cached file lacks; keep the result for the next run.
    const qint64 antes = QFileInfo(pasta + "/cadastrocd.mdb").size();
    QString erro;
    if (!gravatextopadrao("caminhopadrao", pasta) || !Banco::conecta(&erro)) {
        std::fprintf(stderr, "A base de teste não abriu: %s\n", qPrintable(erro));
        return 1;
    }
    Banco::closeAll();
    if (QFileInfo(pasta + "/cadastrocd.mdb").size() != antes) {
        QFile::remove(origem);
        QFile::copy(pasta + "/cadastrocd.mdb", origem);
    }

    g_origem = origem;
    g_pasta = pasta;

    benchmark::Initialize(&argc, argv);
    Coletor coletor;
    benchmark::RunSpecifiedBenchmarks(&coletor);

    struct Figura {
        const char* nome;
        const char* programa;
        const char* limite;
        double metaMs;
        double metaRazao = 0;   // when set, the goal is this many times the limit
    };
    const Figura figuras[] = {
        {"Receber um dízimo (código + gravação)", "ReceberDizimo", "ReceberDizimo_Limite", 10},
        {"Consulta do código a cada tecla", "ConsultaDigitacao", "ConsultaDigitacao_Limite", 1},
        {"Busca por parte do nome", "BuscaPorNome", "BuscaPorNome_Limite", 50},
        {"Próximo e anterior", "ProximoEAnterior", "ProximoEAnterior_Limite", 5},
        {"Recibos por período, um ano", "RelatorioRecebimentosAno", "RelatorioAno_Limite", 1000},
        {"Totais diários, um ano", "RelatorioTotaisDiariosAno", "TotaisDiariosAno_Limite", 1000},
        {"Dados cadastrais, todos", "RelatorioDadosCadastro", "RelatorioDadosCadastro_Limite", 1000},
        {"Varredura de inativos", "VarreduraInativos", "VarreduraInativos_Limite", 2000},
        {"Janela de login aparece", "JanelaDeLogin", "JanelaDeLogin_Limite", 500},
        {"Recibos de um ano, até a página", "RelatorioAnoNaPagina", "RelatorioAno_Limite", 1000},
        {"Página: um ano / um dia, só a tela", "PaginaUmAno", "PaginaUmDia", 50},
        {"Abrir relatório salvo de 50 MB", "AbrirRelatorio50MB", "AbrirRelatorio50MB_Limite", 1000},
        {"Recibo durante a verificação / sozinho", "ReceberDuranteVerificacao", "ReceberDizimo", 50},
        {"Backup > Criar / cópia + fsync", "CriarBackup", "CriarBackup_Limite", 0, 4},
    };
    std::printf("\n%-40s %12s %12s %8s %10s\n", "figura", "programa", "limite", "razão", "meta");
    for (const Figura& f : figuras) {
        const double p = coletor.ms.value(f.programa, -1);
        const double l = coletor.ms.value(f.limite, -1);
        const double razao = l > 0 ? p / l : 0.0;
        const bool ok = p >= 0 && (f.metaRazao > 0 ? l > 0 && razao <= f.metaRazao : p < f.metaMs);
        if (f.metaRazao > 0)
            std::printf("%-40s %9.3f ms %9.3f ms %7.2fx %9.0fx %s\n", f.nome, p, l, razao, f.metaRazao,
                        ok ? "ok" : "ACIMA DA META");
        else
            std::printf("%-40s %9.3f ms %9.3f ms %7.2fx %7.0f ms %s\n", f.nome, p, l, razao, f.metaMs,
                        ok ? "ok" : "ACIMA DA META");
    }
    std::printf("Memória para abrir o relatório de 50 MB: %.1f vezes o arquivo (meta: 4x)\n", g_vezesArquivo);
    std::printf("Dois relatórios de um ano, um após o outro na página: pico de %.0f MB (meta: 300 MB);"
                " %.0f MB depois de fechar a página\n", g_picoDoisAnosMb, g_depoisDeFecharMb);
    std::printf("Escala: %dx (%d dizimistas, %d pagamentos)\n", escala, tamanho.dizimistas, tamanho.pagamentos);
    std::printf("Pico de memória do processo, todas as linhas (o arquivo de 50 MB incluído): %.1f MB\n",
                picoMemoriaKb() / 1024.0);
    std::printf("Núcleos: %d\n", QThread::idealThreadCount());
    return 0;
}
