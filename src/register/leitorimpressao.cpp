#include "register/leitorimpressao.h"

#include "register/leitorfprint.h"

#include <QTimer>
#include <QtMath>

namespace tivane {

namespace {

FabricaLeitor& fabrica()
{
    static FabricaLeitor f;
    return f;
}

QString textobase(int status)
{
    switch (status) {
    case LeitorOk: return QStringLiteral("OK");
    case LeitorErroGeral: return QStringLiteral("erro no leitor");
    case LeitorNaoIniciado: return QStringLiteral("o leitor não foi iniciado");
    case LeitorAusente: return QStringLiteral("leitor não encontrado");
    case LeitorOcupado: return QStringLiteral("o leitor está ocupado");
    case LeitorRemovido: return QStringLiteral("o leitor foi desconectado");
    case LeitorCapturaFalhou: return QStringLiteral("não foi possível capturar a imagem");
    case LeitorSemDedo: return QStringLiteral("dedo não detectado, coloque o dedo novamente");
    case LeitorTempoEsgotado: return QStringLiteral("tempo esgotado aguardando o dedo");
    case LeitorCancelado: return QStringLiteral("operação cancelada");
    case LeitorQualidadeBaixa: return QStringLiteral("impressão de baixa qualidade, tente novamente");
    case LeitorBancoFechado: return QStringLiteral("o banco de impressões digitais não está aberto");
    case LeitorBancoInvalido: return QStringLiteral("o arquivo não é um banco de impressões digitais");
    case LeitorJaCadastrada: return QStringLiteral("impressão digital já cadastrada");
    case LeitorErroBanco: return QStringLiteral("erro no banco de impressões digitais");
    default: return QStringLiteral("erro no leitor (%1)").arg(status);
    }
}

}  // namespace

LeitorImpressao::~LeitorImpressao() = default;

int LeitorImpressao::anota(int status, const QString& causa)
{
    causas_.insert(status, causa);
    return status;
}

QString LeitorImpressao::textoerro(int status) const
{
    const QString base = textobase(status);
    const QString causa = causas_.value(status);
    // A cause that already begins with what the status says stands alone.
    if (causa.startsWith(base))
        return causa;
    return causa.isEmpty() ? base : base + QStringLiteral(": ") + causa;
}

int LeitorImpressao::abrebanco(const QString& caminho)
{
    switch (banco_.abre(caminho)) {
    case BancoImpressoes::Ok: return LeitorOk;
    case BancoImpressoes::Invalido: return anota(LeitorBancoInvalido, banco_.erro());
    default: return anota(LeitorBancoFechado, banco_.erro());
    }
}

int LeitorImpressao::adiciona(const QString& codigo, int dedo, const QByteArray& modelo, const QString& memo)
{
    if (modelo.isEmpty() || modelo.size() > TAMANHO_MAXIMO_MODELO)
        return anota(LeitorErroBanco, QStringLiteral("modelo de impressão inválido"));
    switch (banco_.adiciona(codigo, dedo, modelo, memo)) {
    case BancoImpressoes::Ok: return LeitorOk;
    case BancoImpressoes::JaCadastrada: return anota(LeitorJaCadastrada);
    case BancoImpressoes::Fechado: return anota(LeitorBancoFechado);
    default: return anota(LeitorErroBanco, banco_.erro());
    }
}

std::unique_ptr<LeitorImpressao> crialeitorimpressao()
{
    if (fabrica())
        return fabrica()();
    return std::make_unique<LeitorFprint>();
}

void definefabricaleitor(FabricaLeitor f)
{
    fabrica() = std::move(f);
}

// ---- Simulator -------------------------------------------------------------

SimuladorLeitor::SimuladorLeitor(int leitores, int semcaptura)
    : leitores_(leitores)
    , semcaptura_(semcaptura)
{
}

void SimuladorLeitor::falha(Operacao op, int status, int vezes)
{
    falhas_.insert(op, qMakePair(status, vezes));
}

int SimuladorLeitor::proximo(Operacao op)
{
    ++chamadas_[op];
    auto it = falhas_.find(op);
    if (it == falhas_.end() || it->second == 0)
        return LeitorOk;
    const int status = it->first;
    if (it->second > 0)
        --it->second;
    if (status > 0)
        anota(status, QStringLiteral("simulado"));
    return status;
}

// Answers through the event loop, as a device does; SEM_RESPOSTA keeps it waiting.
void SimuladorLeitor::responde(int status, std::function<void()> resposta)
{
    const int geracao = ++geracao_;
    if (status == SEM_RESPOSTA) {
        pendente_ = std::move(resposta);
        return;
    }
    QTimer::singleShot(0, this, [this, geracao, resposta = std::move(resposta)] {
        if (geracao == geracao_)
            resposta();
    });
}

int SimuladorLeitor::inicializa()
{
    const int s = proximo(Inicializa);
    iniciado_ = s == LeitorOk;
    return s;
}

int SimuladorLeitor::numeroleitores(int* quantidade)
{
    const int s = iniciado_ ? proximo(Numero) : anota(LeitorNaoIniciado);
    *quantidade = s == LeitorOk ? leitores_ : 0;
    return s;
}

void SimuladorLeitor::abreleitor(int indice, Retorno pronto)
{
    int s = proximo(Abre);
    if (s == LeitorOk && (!iniciado_ || indice < 0 || indice >= leitores_))
        s = anota(LeitorAusente);
    responde(s, [this, s, pronto] {
        aberto_ = s == LeitorOk;
        pronto(s);
    });
}

void SimuladorLeitor::captura(Retorno pronto)
{
    int s = proximo(Captura);
    if (s == LeitorOk && !aberto_)
        s = anota(LeitorNaoIniciado);
    responde(s, [this, s, pronto] {
        if (s == LeitorOk) {
            // Ridges in rings, enough to look like a finger on the screen.
            QImage img(160, 200, QImage::Format_Grayscale8);
            for (int y = 0; y < img.height(); ++y) {
                uchar* linha = img.scanLine(y);
                for (int x = 0; x < img.width(); ++x)
                    linha[x] = qSin(qSqrt((x - 80.0) * (x - 80.0) + (y - 110.0) * (y - 110.0)) * 0.7) > 0 ? 40 : 225;
            }
            imagem_ = img;
        }
        pronto(s);
    });
}

void SimuladorLeitor::extrai(RetornoModelo pronto)
{
    int s = proximo(Extrai);
    if (s == LeitorOk && imagem_.isNull())
        s = anota(LeitorCapturaFalhou);
    responde(s, [s, pronto, n = chamadas(Extrai)] {
        QByteArray modelo;
        if (s == LeitorOk)
            for (int i = 0; i < 64; ++i)
                modelo.append(static_cast<char>((i * 37 + n) & 0xFF));
        pronto(s, modelo);
    });
}

void SimuladorLeitor::cancela()
{
    ++geracao_;
    pendente_ = nullptr;
}

int SimuladorLeitor::finaliza()
{
    cancela();
    const int s = iniciado_ ? proximo(Finaliza) : anota(LeitorNaoIniciado);
    iniciado_ = aberto_ = false;
    return s;
}

int SimuladorLeitor::abrebanco(const QString& caminho)
{
    const int s = proximo(Banco);
    return s == LeitorOk ? LeitorImpressao::abrebanco(caminho) : s;
}

int SimuladorLeitor::adiciona(const QString& codigo, int dedo, const QByteArray& modelo, const QString& memo)
{
    const int s = proximo(Adiciona);
    return s == LeitorOk ? LeitorImpressao::adiciona(codigo, dedo, modelo, memo) : s;
}

}  // namespace tivane
