// GLib first: its headers use the word "signals", which Qt defines as a macro.
#include <fprint.h>

#include "register/leitorfprint.h"

#include <QTimer>

namespace tivane {

namespace {
// Fewer minutiae than this is no usable fingerprint.
constexpr guint MINIMO_MINUCIAS = 12;
}  // namespace

struct LeitorFprint::Sessao {
    FpContext* contexto = nullptr;
    FpDevice* dispositivo = nullptr;
    FpImage* imagem = nullptr;
    bool aberto = false;
    int pendentes = 0;
    bool encerrar = false;   // close the device once nothing is pending

    ~Sessao()
    {
        if (imagem)
            g_object_unref(imagem);
        if (dispositivo)
            g_object_unref(dispositivo);
        if (contexto)
            g_object_unref(contexto);
    }
};

// One call in flight. It keeps the session alive until its answer arrives,
// even when the reader object is gone by then.
struct LeitorFprint::Pedido {
    std::shared_ptr<Sessao> sessao;
    QPointer<LeitorFprint> dono;
    quint64 geracao = 0;
    GCancellable* cancelavel = nullptr;
    Retorno pronto;
    RetornoModelo prontomodelo;

    ~Pedido()
    {
        if (cancelavel)
            g_object_unref(cancelavel);
    }
    // The reader still waits for this answer.
    LeitorFprint* destino() const { return dono && dono->geracao_ == geracao ? dono.data() : nullptr; }
};

namespace {

void aoFechar(GObject* origem, GAsyncResult* resultado, gpointer dados)
{
    auto* sessao = static_cast<std::shared_ptr<LeitorFprint::Sessao>*>(dados);
    GError* erro = nullptr;
    if (!fp_device_close_finish(FP_DEVICE(origem), resultado, &erro)) {
        qWarning("leitor de impressão digital: %s", erro->message);
        g_error_free(erro);
    }
    delete sessao;
}

// Closes the device once no call is pending; the last answer does it otherwise.
void encerra(const std::shared_ptr<LeitorFprint::Sessao>& s)
{
    if (!s->encerrar || s->pendentes > 0 || !s->aberto)
        return;
    s->aberto = false;
    fp_device_close(s->dispositivo, nullptr, aoFechar, new std::shared_ptr<LeitorFprint::Sessao>(s));
}

QImage paraQImage(FpImage* img)
{
    const int largura = static_cast<int>(fp_image_get_width(img));
    const int altura = static_cast<int>(fp_image_get_height(img));
    gsize tamanho = 0;
    const guchar* dados = fp_image_get_data(img, &tamanho);
    if (!dados || largura <= 0 || altura <= 0 || tamanho < static_cast<gsize>(largura) * altura)
        return QImage();
    QImage r(largura, altura, QImage::Format_Grayscale8);
    for (int y = 0; y < altura; ++y)
        memcpy(r.scanLine(y), dados + static_cast<gsize>(y) * largura, largura);
    return r;
}

// The minutiae as the template: their count, then x and y of each (16 bits, little-endian).
QByteArray modelo(GPtrArray* minucias)
{
    const int cabem = (TAMANHO_MAXIMO_MODELO - 2) / 4;
    const int n = qMin(static_cast<int>(minucias->len), cabem);
    QByteArray r;
    r.reserve(2 + 4 * n);
    const auto poe16 = [&r](int v) {
        r.append(static_cast<char>(v & 0xFF));
        r.append(static_cast<char>((v >> 8) & 0xFF));
    };
    poe16(n);
    for (int i = 0; i < n; ++i) {
        gint x = 0, y = 0;
        fp_minutia_get_coords(static_cast<FpMinutia*>(g_ptr_array_index(minucias, i)), &x, &y);
        poe16(x);
        poe16(y);
    }
    return r;
}

}  // namespace

LeitorFprint::LeitorFprint()
    : relogio_(new QTimer(this))
{
    relogio_->setSingleShot(true);
    connect(relogio_, &QTimer::timeout, this, [this] {
        if (cancelavel_) {
            esgotado_ = true;
            g_cancellable_cancel(cancelavel_);
        }
    });
}

LeitorFprint::~LeitorFprint()
{
    if (sessao_)
        finaliza();
    else
        cancela();
}

int LeitorFprint::status(GError* erro, int padrao)
{
    int s = padrao;
    if (g_error_matches(erro, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        s = esgotado_ ? LeitorTempoEsgotado : LeitorCancelado;
    else if (erro->domain == FP_DEVICE_RETRY)
        s = LeitorSemDedo;
    else if (g_error_matches(erro, FP_DEVICE_ERROR, FP_DEVICE_ERROR_REMOVED))
        s = LeitorRemovido;
    else if (g_error_matches(erro, FP_DEVICE_ERROR, FP_DEVICE_ERROR_BUSY))
        s = LeitorOcupado;
    else if (g_error_matches(erro, FP_DEVICE_ERROR, FP_DEVICE_ERROR_NOT_OPEN))
        s = LeitorNaoIniciado;
    QString causa = QString::fromUtf8(erro->message);
    if (s == LeitorTempoEsgotado || s == LeitorCancelado)
        causa.clear();
    else if (s == LeitorSemDedo)
        causa = erro->code == FP_DEVICE_RETRY_TOO_SHORT       ? QStringLiteral("o dedo foi retirado cedo demais")
                : erro->code == FP_DEVICE_RETRY_CENTER_FINGER ? QStringLiteral("centralize o dedo no leitor")
                : erro->code == FP_DEVICE_RETRY_REMOVE_FINGER ? QStringLiteral("retire o dedo e coloque de novo")
                                                              : QString();
    g_error_free(erro);
    return anota(s, causa);
}

void LeitorFprint::respondeDepois(int status, Retorno pronto)
{
    const quint64 geracao = geracao_;
    QTimer::singleShot(0, this, [this, geracao, status, pronto] {
        if (geracao == geracao_)
            pronto(status);
    });
}

LeitorFprint::Pedido* LeitorFprint::novopedido()
{
    cancela();
    auto* p = new Pedido;
    p->sessao = sessao_;
    p->dono = this;
    p->geracao = geracao_;
    p->cancelavel = g_cancellable_new();
    cancelavel_ = p->cancelavel;
    esgotado_ = false;
    ++sessao_->pendentes;
    return p;
}

int LeitorFprint::inicializa()
{
    if (sessao_)
        return LeitorOk;
    sessao_ = std::make_shared<Sessao>();
    sessao_->contexto = fp_context_new();
    if (!sessao_->contexto) {
        sessao_.reset();
        return anota(LeitorErroGeral, QStringLiteral("libfprint não pôde ser iniciada"));
    }
    return LeitorOk;
}

namespace {
// The readers that give images (or, with imagem false, those that do not:
// they keep their prints to themselves).
QVector<FpDevice*> leitoresdeimagem(FpContext* contexto, bool imagem = true)
{
    QVector<FpDevice*> r;
    GPtrArray* todos = fp_context_get_devices(contexto);
    for (guint i = 0; todos && i < todos->len; ++i) {
        auto* d = FP_DEVICE(g_ptr_array_index(todos, i));
        if (bool(fp_device_has_feature(d, FP_DEVICE_FEATURE_CAPTURE)) == imagem)
            r << d;
    }
    return r;
}
}  // namespace

int LeitorFprint::numeroleitores(int* quantidade)
{
    *quantidade = 0;
    if (!sessao_)
        return anota(LeitorNaoIniciado);
    *quantidade = leitoresdeimagem(sessao_->contexto).size();
    return LeitorOk;
}

int LeitorFprint::leitoressemcaptura()
{
    return sessao_ ? leitoresdeimagem(sessao_->contexto, false).size() : 0;
}

void LeitorFprint::abreleitor(int indice, Retorno pronto)
{
    if (!sessao_)
        return respondeDepois(anota(LeitorNaoIniciado), pronto);
    const QVector<FpDevice*> leitores = leitoresdeimagem(sessao_->contexto);
    if (indice < 0 || indice >= leitores.size())
        return respondeDepois(anota(LeitorAusente), pronto);
    if (sessao_->aberto)
        return respondeDepois(LeitorOk, pronto);
    if (!sessao_->dispositivo)
        sessao_->dispositivo = FP_DEVICE(g_object_ref(leitores.at(indice)));
    Pedido* p = novopedido();
    p->pronto = std::move(pronto);
    fp_device_open(sessao_->dispositivo, p->cancelavel, aoAbrir, p);
}

void LeitorFprint::aoAbrir(GObject* origem, GAsyncResult* resultado, void* dados)
{
    std::unique_ptr<Pedido> p(static_cast<Pedido*>(dados));
    GError* erro = nullptr;
    const bool ok = fp_device_open_finish(FP_DEVICE(origem), resultado, &erro);
    --p->sessao->pendentes;
    p->sessao->aberto = ok;
    LeitorFprint* dono = p->destino();
    if (dono) {
        dono->cancelavel_ = nullptr;
        p->pronto(ok ? int(LeitorOk) : dono->status(erro, LeitorErroGeral));
    } else if (erro) {
        g_error_free(erro);
    }
    encerra(p->sessao);
}

void LeitorFprint::captura(Retorno pronto)
{
    if (!sessao_ || !sessao_->aberto)
        return respondeDepois(anota(LeitorNaoIniciado), pronto);
    Pedido* p = novopedido();
    p->pronto = std::move(pronto);
    if (tempolimite_ > 0)
        relogio_->start(tempolimite_);
    fp_device_capture(sessao_->dispositivo, TRUE, p->cancelavel, aoCapturar, p);
}

void LeitorFprint::aoCapturar(GObject* origem, GAsyncResult* resultado, void* dados)
{
    std::unique_ptr<Pedido> p(static_cast<Pedido*>(dados));
    GError* erro = nullptr;
    FpImage* img = fp_device_capture_finish(FP_DEVICE(origem), resultado, &erro);
    --p->sessao->pendentes;
    if (img) {
        if (p->sessao->imagem)
            g_object_unref(p->sessao->imagem);
        p->sessao->imagem = img;
    }
    LeitorFprint* dono = p->destino();
    if (dono) {
        dono->relogio_->stop();
        dono->cancelavel_ = nullptr;
        int s = LeitorOk;
        dono->repetir_ = LeitorOk;
        if (img) {
            dono->imagem_ = paraQImage(img);
        } else if (erro->domain == FP_DEVICE_RETRY) {
            // The device took the finger but found no usable print in it (libfprint
            // looks for minutiae while capturing): that is a failed extraction.
            dono->repetir_ = dono->status(erro, LeitorSemDedo);
        } else {
            s = dono->status(erro, LeitorCapturaFalhou);
        }
        p->pronto(s);
    } else if (erro) {
        g_error_free(erro);
    }
    encerra(p->sessao);
}

void LeitorFprint::extrai(RetornoModelo pronto)
{
    if (repetir_ != LeitorOk) {
        const int s = repetir_;
        repetir_ = LeitorOk;
        return respondeDepois(s, [pronto](int st) { pronto(st, QByteArray()); });
    }
    if (!sessao_ || !sessao_->imagem) {
        const int s = anota(LeitorCapturaFalhou);
        return respondeDepois(s, [pronto](int st) { pronto(st, QByteArray()); });
    }
    Pedido* p = novopedido();
    p->prontomodelo = std::move(pronto);
    fp_image_detect_minutiae(sessao_->imagem, p->cancelavel, aoExtrair, p);
}

void LeitorFprint::aoExtrair(GObject* origem, GAsyncResult* resultado, void* dados)
{
    std::unique_ptr<Pedido> p(static_cast<Pedido*>(dados));
    GError* erro = nullptr;
    FpImage* img = FP_IMAGE(origem);
    const bool ok = fp_image_detect_minutiae_finish(img, resultado, &erro);
    --p->sessao->pendentes;
    LeitorFprint* dono = p->destino();
    if (dono) {
        dono->cancelavel_ = nullptr;
        GPtrArray* minucias = ok ? fp_image_get_minutiae(img) : nullptr;
        if (!ok)
            p->prontomodelo(dono->status(erro, LeitorQualidadeBaixa), QByteArray());
        else if (!minucias || minucias->len < MINIMO_MINUCIAS)
            p->prontomodelo(dono->anota(LeitorQualidadeBaixa, QStringLiteral("%1 minúcias").arg(minucias ? minucias->len : 0)),
                            QByteArray());
        else
            p->prontomodelo(LeitorOk, modelo(minucias));
    } else if (erro) {
        g_error_free(erro);
    }
    encerra(p->sessao);
}

void LeitorFprint::cancela()
{
    ++geracao_;
    relogio_->stop();
    if (cancelavel_)
        g_cancellable_cancel(cancelavel_);
    cancelavel_ = nullptr;
}

int LeitorFprint::finaliza()
{
    cancela();
    if (!sessao_)
        return anota(LeitorNaoIniciado);
    sessao_->encerrar = true;
    encerra(sessao_);
    sessao_.reset();
    imagem_ = QImage();
    return LeitorOk;
}

}  // namespace tivane
