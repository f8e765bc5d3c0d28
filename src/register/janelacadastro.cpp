#include "register/janelacadastro.h"

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/teclas.h"
#include "register/frmlocaliza.h"
#include "register/numeracao.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace tivane {

void avisafalhaleitura(const QString& causa)
{
    // With the file missing or unreadable the opener has asked, closed the
    // connection and ended the program: a second message would only hold it.
    if (Banco::conexao())
        Dialogos::avisaFalhaLeitura(QString(), causa);
}

JanelaCadastro::JanelaCadastro(const char* nome, const QString& titulo, Tabela tabela, const QString& perguntasair)
    : nome_(QString::fromLatin1(nome))
    , tabela_(tabela)
    , perguntasair_(perguntasair)
{
    setObjectName(nome_);
    setWindowTitle(titulo);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);

    // Register toolbar: no function keys on its actions (each window owns F1-F8).
    barra_ = new QToolBar(this);
    barra_->setObjectName(QStringLiteral("Barraferramentas"));
    barra_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    barra_->setIconSize(QSize(32, 32));
    barra_->setMovable(false);
    raiz->addWidget(barra_);
    QStyle* st = style();
    auto botao = [this](const char* objeto, const QString& legenda, const QIcon& icone, auto acao) {
        QAction* a = barra_->addAction(icone, legenda);
        a->setObjectName(QString::fromLatin1(objeto));
        connect(a, &QAction::triggered, this, acao);
    };
    botao("btnnovo", QStringLiteral("Novo (F1)"), st->standardIcon(QStyle::SP_FileIcon), [this] { novo(); });
    barra_->addSeparator();
    botao("btnvoltar", QStringLiteral("Voltar (F2)"), st->standardIcon(QStyle::SP_ArrowBack), [this] { anteriorregistro(); });
    botao("btnavancar", QStringLiteral("Avançar (F3)"), st->standardIcon(QStyle::SP_ArrowForward), [this] { proximoregistro(); });
    botao("btnlocalizar", QStringLiteral("Localizar(F4)"), st->standardIcon(QStyle::SP_FileDialogContentsView),
          [this] { localizar(); });
    barra_->addSeparator();
    botao("btnsalvar", QStringLiteral("Salvar (F5)"), st->standardIcon(QStyle::SP_DialogSaveButton), [this] { salvar(); });
    botao("btnexcluir", QStringLiteral("Excluir (F6)"), st->standardIcon(QStyle::SP_TrashIcon),
          [this] { excluir(txtcodigo_ ? txtcodigo_->text() : QString()); });
    botao("btnmodificar", QStringLiteral("Modificar (F7)"), st->standardIcon(QStyle::SP_FileDialogDetailedView),
          [this] { modificar(); });
    barra_->addSeparator();
    botao("btnsair", QStringLiteral("Sair (F8)"), st->standardIcon(QStyle::SP_DialogCloseButton), [this] { sair(); });

    // The frame is placed by hand, centred in the area under the toolbar.
    area_ = new QWidget(this);
    area_->setObjectName(QStringLiteral("areaprincipal"));
    raiz->addWidget(area_, 1);

    const auto registro = [](QWidget* w) { return qobject_cast<JanelaCadastro*>(w); };
    registraacoesregistro(nome_, AcoesRegistro{
        [registro](QWidget* w) { if (auto* j = registro(w)) j->anteriorregistro(); },
        [registro](QWidget* w) { if (auto* j = registro(w)) j->proximoregistro(); },
        [registro](QWidget* w) { if (auto* j = registro(w)) j->salvar(); },
        [registro](QWidget* w) { if (auto* j = registro(w)) j->excluir(j->txtcodigo_ ? j->txtcodigo_->text() : QString()); },
        [registro](QWidget* w) { if (auto* j = registro(w)) j->teclamodificar(); },
        // F4 searches tithers from either register, whatever its own button searches.
        [registro](QWidget* w) { if (auto* j = registro(w)) j->abrebusca(BUSCA_DIZIMISTAS); },
    });
}

void JanelaCadastro::abrebusca(int tipo)
{
    abrelocalizador(nome_, tipo, this, [this](const QString& codigo) { recebecodigobusca(codigo); });
}

QLineEdit* JanelaCadastro::criacaixa(QWidget* pai, const char* nome, int maximo)
{
    auto* c = new QLineEdit(pai);
    c->setObjectName(QString::fromLatin1(nome));
    c->setMaxLength(maximo);
    return c;
}

QFrame* JanelaCadastro::criabanner(QWidget* pai)
{
    auto* picstatus = new QFrame(pai);
    picstatus->setObjectName(QStringLiteral("picstatus"));
    auto* layout = new QHBoxLayout(picstatus);
    layout->setContentsMargins(0, 0, 0, 0);
    lblstatus_ = new QLabel(picstatus);
    lblstatus_->setObjectName(QStringLiteral("lblstatus"));
    lblstatus_->setAlignment(Qt::AlignCenter);
    QFont negrito = lblstatus_->font();
    negrito.setBold(true);
    lblstatus_->setFont(negrito);
    lblstatus_->setMinimumWidth(160);
    picstatus->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(lblstatus_);
    return picstatus;
}

void JanelaCadastro::termina(QWidget* frame)
{
    frame->adjustSize();
    frame->setFixedSize(frame->sizeHint());
    mantemframecentralizado(area_);
    setMinimumSize(frame->width(), frame->height() + barra_->sizeHint().height());
    instalateclasdeatalho(this, nome_);
    mostrabarraprincipal(false);
}

QString JanelaCadastro::status() const
{
    return lblstatus_ ? lblstatus_->text() : QString();
}

bool JanelaCadastro::registromostrado() const
{
    return !codigomostrado_.isEmpty() && txtcodigo_ && txtcodigo_->text() == codigomostrado_;
}

void JanelaCadastro::definenovocodigo()
{
    codigomostrado_.clear();
    bool vazia = false;
    QString causa;
    const QString codigo = novocodigo(tabela_, &vazia, &causa);
    if (codigo.isEmpty()) {
        avisafalhaleitura(causa);
        return;
    }
    mostratexto(txtcodigo_, codigo);
    if (vazia)
        Dialogos::msgbox(QStringLiteral("Não existem registros cadastrados"), Dialogos::Informacao);
}

void JanelaCadastro::passo(bool acima)
{
    QString alvo;
    const QString atual = txtcodigo_->text();
    const Leitura lida = acima ? proximocodigo(tabela_, atual, &alvo) : codigoanterior(tabela_, atual, &alvo);
    switch (lida) {
    case Leitura::Falha:
        avisafalhaleitura(lida.causa());
        return;
    case Leitura::NaoEncontrado:
        Dialogos::msgbox(acima ? QStringLiteral("Último Registro") : QStringLiteral("Primeiro Registro"), Dialogos::Informacao);
        return;
    case Leitura::Encontrado:
        if (mostra(alvo))
            bloqueiacampos(this);
        return;
    }
}

void JanelaCadastro::anteriorregistro()
{
    passo(false);
}

void JanelaCadastro::proximoregistro()
{
    passo(true);
}

void JanelaCadastro::sair()
{
    if (Dialogos::msgbox(perguntasair_, Dialogos::Pergunta) != Dialogos::Sim)
        return;
    mostrabarraprincipal(true);
    Janelas::fecha(nome_);
}

bool JanelaCadastro::inclusaoaceita(Gravacao resultado, const QString& falha, QWidget* foco)
{
    switch (resultado) {
    case Gravacao::CodigoExiste:
        Dialogos::msgbox(QStringLiteral("Já existe funcionário cadastrado com este código, tente modificar !"), Dialogos::Alerta);
        foco->setFocus();
        return false;
    case Gravacao::Falha:
    case Gravacao::NaoEncontrado:
        Dialogos::avisaFalhaGravacao(falha, resultado.causa());
        return false;
    case Gravacao::Gravado:
        break;
    }
    return true;
}

bool JanelaCadastro::exclusaoconcluida(Gravacao resultado, const QString& naoexiste, const QString& falha)
{
    switch (resultado) {
    case Gravacao::Gravado:
        Dialogos::msgbox(QStringLiteral("Registro excluído com sucesso !!!"), Dialogos::Informacao);
        return true;
    case Gravacao::NaoEncontrado:
        Dialogos::msgbox(naoexiste, Dialogos::Alerta);
        return false;
    default:
        Dialogos::avisaFalhaGravacao(falha, resultado.causa());
        return false;
    }
}

void JanelaCadastro::alteracaoconcluida(Gravacao resultado, const QString& sucesso, const QString& falha)
{
    switch (resultado) {
    case Gravacao::Gravado:
        Dialogos::msgbox(sucesso, Dialogos::Informacao);
        break;
    case Gravacao::NaoEncontrado:
        Dialogos::msgbox(
            QStringLiteral("Registro não encontrado para ser efetuda a modificação! Operação Cancelada !"), Dialogos::Alerta);
        break;
    case Gravacao::Falha:
    case Gravacao::CodigoExiste:
        Dialogos::avisaFalhaGravacao(falha, resultado.causa());
        return;
    }
    definestatus(this, SomenteLeitura);
}

void JanelaCadastro::entramodificacao(QWidget* foco)
{
    desbloqueiacampos(this);
    if (!foco)
        txtcodigo_->setReadOnly(true);
    definestatus(this, ModificandoRegistro);
    if (foco)
        foco->setFocus();
}

}  // namespace tivane
