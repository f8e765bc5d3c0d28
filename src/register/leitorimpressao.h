#pragma once
// The fingerprint reader as the enrolment window sees it: start-up, number of
// readers, opening one, capture, template extraction, storing the template,
// error texts and shut-down. Opening, capture and extraction answer later,
// through the event loop, so the window never waits on the device.
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "register/bancoimpressoes.h"

namespace tivane {

// Status of every operation: 0 is success.
enum StatusLeitor {
    LeitorOk = 0,
    LeitorErroGeral,
    LeitorNaoIniciado,
    LeitorAusente,
    LeitorOcupado,
    LeitorRemovido,
    LeitorCapturaFalhou,
    LeitorSemDedo,
    LeitorTempoEsgotado,
    LeitorCancelado,
    LeitorQualidadeBaixa,
    LeitorBancoFechado,
    LeitorBancoInvalido,
    LeitorJaCadastrada,
    LeitorErroBanco,
};

// Templates never exceed this size.
constexpr int TAMANHO_MAXIMO_MODELO = 1024;

class LeitorImpressao : public QObject {
    Q_OBJECT
public:
    using Retorno = std::function<void(int status)>;
    using RetornoModelo = std::function<void(int status, const QByteArray& modelo)>;

    ~LeitorImpressao() override;

    virtual int inicializa() = 0;
    // Readers that give images (the only ones the window can use).
    virtual int numeroleitores(int* quantidade) = 0;
    // Readers connected that give no images (they keep their prints to themselves).
    virtual int leitoressemcaptura() = 0;
    virtual void abreleitor(int indice, Retorno pronto) = 0;
    // One image from the open reader, waiting for a finger.
    virtual void captura(Retorno pronto) = 0;
    // A template from the last image.
    virtual void extrai(RetornoModelo pronto) = 0;
    // The last image captured (null before the first).
    virtual QImage imagem() const = 0;
    // Drops whatever is in progress; its answer never comes.
    virtual void cancela() = 0;
    virtual int finaliza() = 0;

    // The template store.
    virtual int abrebanco(const QString& caminho);
    virtual int adiciona(const QString& codigo, int dedo, const QByteArray& modelo, const QString& memo);

    // Portuguese text of a status, with the cause of the last failure of that status.
    QString textoerro(int status) const;

protected:
    int anota(int status, const QString& causa = QString());

    BancoImpressoes banco_;
    QHash<int, QString> causas_;
};

// The reader the enrolment window uses: libfprint unless a test put another.
using FabricaLeitor = std::function<std::unique_ptr<LeitorImpressao>()>;
std::unique_ptr<LeitorImpressao> crialeitorimpressao();
void definefabricaleitor(FabricaLeitor fabrica);   // empty: back to libfprint

// A reader that exists only in memory and fails when told to: tests and
// demonstrations without a device.
class SimuladorLeitor : public LeitorImpressao {
    Q_OBJECT
public:
    enum Operacao { Inicializa, Numero, Abre, Captura, Extrai, Adiciona, Finaliza, Banco };
    // Answer that never comes, until cancela(): a device that hangs.
    static constexpr int SEM_RESPOSTA = -1;

    explicit SimuladorLeitor(int leitores = 1, int semcaptura = 0);

    // The next vezes calls of op give status (vezes -1: every call).
    void falha(Operacao op, int status, int vezes = -1);
    int chamadas(Operacao op) const { return chamadas_.value(op); }
    bool pendente() const { return static_cast<bool>(pendente_); }

    int inicializa() override;
    int numeroleitores(int* quantidade) override;
    int leitoressemcaptura() override { return iniciado_ ? semcaptura_ : 0; }
    void abreleitor(int indice, Retorno pronto) override;
    void captura(Retorno pronto) override;
    void extrai(RetornoModelo pronto) override;
    QImage imagem() const override { return imagem_; }
    void cancela() override;
    int finaliza() override;
    int abrebanco(const QString& caminho) override;
    int adiciona(const QString& codigo, int dedo, const QByteArray& modelo, const QString& memo) override;

private:
    int proximo(Operacao op);
    void responde(int status, std::function<void()> resposta);

    int leitores_;
    int semcaptura_;
    bool iniciado_ = false;
    bool aberto_ = false;
    QImage imagem_;
    QHash<int, QPair<int, int>> falhas_;   // op -> (status, times left)
    QHash<int, int> chamadas_;
    std::function<void()> pendente_;
    int geracao_ = 0;
};

}  // namespace tivane
