#pragma once
// The fingerprint reader through libfprint: any reader that gives images
// (libfprint's capture feature). Every device call is asynchronous; its answer
// arrives through the GLib main loop that Qt's event loop runs.
#include "register/leitorimpressao.h"

#include <QPointer>

class QTimer;
struct _GObject;
struct _GAsyncResult;
struct _GError;
struct _GCancellable;

namespace tivane {

class LeitorFprint : public LeitorImpressao {
    Q_OBJECT
public:
    LeitorFprint();
    ~LeitorFprint() override;

    // How long a capture waits for a finger before it fails.
    void definetempolimite(int milissegundos) { tempolimite_ = milissegundos; }

    int inicializa() override;
    int numeroleitores(int* quantidade) override;
    int leitoressemcaptura() override;
    void abreleitor(int indice, Retorno pronto) override;
    void captura(Retorno pronto) override;
    void extrai(RetornoModelo pronto) override;
    QImage imagem() const override { return imagem_; }
    void cancela() override;
    int finaliza() override;

    struct Sessao;
    struct Pedido;

private:
    void respondeDepois(int status, Retorno pronto);
    Pedido* novopedido();
    static void aoAbrir(_GObject* origem, _GAsyncResult* resultado, void* dados);
    static void aoCapturar(_GObject* origem, _GAsyncResult* resultado, void* dados);
    static void aoExtrair(_GObject* origem, _GAsyncResult* resultado, void* dados);
    int status(_GError* erro, int padrao);

    std::shared_ptr<Sessao> sessao_;
    QImage imagem_;
    QTimer* relogio_;
    _GCancellable* cancelavel_ = nullptr;
    bool esgotado_ = false;
    int repetir_ = 0;   // the last capture gave no usable print: its status
    quint64 geracao_ = 0;
    int tempolimite_ = 20000;
};

}  // namespace tivane
