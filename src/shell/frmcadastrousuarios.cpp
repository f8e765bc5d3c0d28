#include "shell/frmcadastrousuarios.h"

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "register/frmlocaliza.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace tivane {

namespace {

const char* const NOME_JANELA = "frmcadastrousuarios";

static RegistroJanela reg(NOME_JANELA, [] { return new FrmCadastroUsuarios; }, Janelas::Mdi);

}  // namespace

FrmCadastroUsuarios::FrmCadastroUsuarios()
    : JanelaCadastro(NOME_JANELA, QStringLiteral("Cadastro de Usuários"), Tabela::Usuarios,
                     QStringLiteral("Deseja realmente sair da tela de cadastro de Usuários?"))
{
    auto* frame = new QGroupBox(QStringLiteral("Cadastro de Usuários"), area());
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    auto* grade = new QGridLayout(frame);

    txtcodigo_ = criacaixa(frame, "txtcodigo", 8);
    txtdatacadastro_ = criacaixa(frame, "txtdatacadastro", 10);
    for (QLineEdit* c : {txtcodigo_, txtdatacadastro_}) {
        c->setAlignment(Qt::AlignCenter);
        QPalette p = c->palette();
        p.setColor(QPalette::Base, QColor(192, 192, 255));
        p.setColor(QPalette::Text, Qt::white);
        c->setPalette(p);
        QFont f = c->font();
        f.setBold(true);
        c->setFont(f);
        c->setFixedWidth(c->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
    }
    txtnome_ = criacaixa(frame, "txtnome", 100);
    txtnome_->setMinimumWidth(txtnome_->fontMetrics().averageCharWidth() * 60);
    txtsenha_ = criacaixa(frame, "txtsenha", 100);
    txtcontrasenha_ = criacaixa(frame, "txtcontrasenha", 100);
    for (QLineEdit* c : {txtsenha_, txtcontrasenha_}) {
        mascarasenha(c);
        c->installEventFilter(this);
    }

    const auto rotulo = [frame](const QString& texto) { return new QLabel(texto, frame); };
    grade->addWidget(rotulo(QStringLiteral("Código:")), 0, 0);
    grade->addWidget(txtcodigo_, 0, 1);
    grade->addWidget(rotulo(QStringLiteral("Cadastro :")), 0, 2, Qt::AlignRight);
    grade->addWidget(txtdatacadastro_, 0, 3);
    grade->addWidget(criabanner(frame), 0, 4);
    grade->addWidget(rotulo(QStringLiteral("Nome :")), 1, 0);
    grade->addWidget(txtnome_, 1, 1, 1, 4);
    grade->addWidget(rotulo(QStringLiteral("Senha:")), 2, 0);
    grade->addWidget(txtsenha_, 2, 1, 1, 2);
    grade->addWidget(rotulo(QStringLiteral("Contra-Senha:")), 2, 3, Qt::AlignRight);
    grade->addWidget(txtcontrasenha_, 2, 4);
    grade->setColumnStretch(4, 1);

    termina(frame);
    reinicia();
}

// What loading the window does; also after an insert or a delete, which
// start again on a new record with the following code.
void FrmCadastroUsuarios::reinicia()
{
    novousuario();
    // Typing (and the keys F1-F8) goes on in this window after the message that came before.
    txtnome_->setFocus();
}

bool FrmCadastroUsuarios::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn && (o == txtsenha_ || o == txtcontrasenha_))
        selecionatexto();
    return JanelaCadastro::eventFilter(o, e);
}

// ---- Form procedures ---------------------------------------------------------

void FrmCadastroUsuarios::limparcampos()
{
    limpatextos(this);
}

Leitura FrmCadastroUsuarios::registroexiste() const
{
    return lerusuario(txtcodigo_->text(), nullptr);
}

void FrmCadastroUsuarios::novousuario()
{
    limparcampos();
    definestatus(this, NovoRegistro);
    desbloqueiacampos(this);
    definenovocodigo();
    txtdatacadastro_->setText(hoje());
}

bool FrmCadastroUsuarios::mostra(const QString& codigo)
{
    Usuario u;
    const Leitura lida = lerusuario(codigo, &u);
    switch (lida) {
    case Leitura::Encontrado:
        limparcampos();
        preenchecamposusuario(u);
        return true;
    case Leitura::NaoEncontrado:
        Dialogos::msgbox(QStringLiteral("Não existe usuário cadastrado com este código"), Dialogos::Alerta);
        return false;
    case Leitura::Falha:
        avisafalhaleitura(lida.causa());
        return false;
    }
    return false;
}

void FrmCadastroUsuarios::localizar()
{
    abrebusca(BUSCA_USUARIOS);
}

// ---- Record ------------------------------------------------------------------

Usuario FrmCadastroUsuarios::preencheregistrousuario() const
{
    return {txtcodigo_->text(), txtnome_->text(), txtsenha_->text(), txtdatacadastro_->text()};
}

void FrmCadastroUsuarios::preenchecamposusuario(const Usuario& u)
{
    mostratexto(txtcodigo_, u.codigo);
    codigomostrado_ = u.codigo;
    mostratexto(txtdatacadastro_, u.cadastro);
    mostratexto(txtnome_, u.nome);
    mostratexto(txtsenha_, u.senha);
}

void FrmCadastroUsuarios::salvar()
{
    if (txtsenha_->text() != txtcontrasenha_->text()) {
        Dialogos::msgbox(QStringLiteral("Senha e contra-senha não conferem"), Dialogos::Alerta);
        txtsenha_->setFocus();
        return;
    }
    gravarusuario();
}

void FrmCadastroUsuarios::gravarusuario()
{
    const Usuario u = preencheregistrousuario();
    QString causa;
    switch (decidegravacaousuario(u, status() == QLatin1String("Modificando Registro"), registromostrado(), &causa)) {
    case PassoGravacaoUsuario::SenhaOuNomeVazio:
        Dialogos::msgbox(QStringLiteral("Você deve digitar a senha e o nome do usuário."), Dialogos::Informacao);
        txtnome_->setFocus();
        return;
    case PassoGravacaoUsuario::JaSalvo:
        Dialogos::msgbox(QStringLiteral("Esse registro já foi salvo, tente modificar !"), Dialogos::Informacao);
        return;
    case PassoGravacaoUsuario::Alterar:
        alterarusuario(true);
        return;
    case PassoGravacaoUsuario::CodigoInvalido:
        Dialogos::msgbox(QStringLiteral("O código do usuário deve ser um número, como 0001. Corrija o código (")
                             + u.codigo + QStringLiteral(") para salvar."),
                         Dialogos::Alerta);
        txtcodigo_->setFocus();
        return;
    case PassoGravacaoUsuario::CodigoEmPagamentos:
        Dialogos::msgbox(QStringLiteral("O código ") + u.codigo
                             + QStringLiteral(" já consta em pagamentos registrados por outro usuário. Escolha outro "
                                              "código, para que este usuário não fique com esses pagamentos."),
                         Dialogos::Alerta);
        txtcodigo_->setFocus();
        return;
    case PassoGravacaoUsuario::Incluir:
        incluirusuario(u.codigo);
        return;
    case PassoGravacaoUsuario::Falha:
        avisafalhaleitura(causa);
        return;
    }
}

void FrmCadastroUsuarios::incluirusuario(const QString& codigo)
{
    Usuario u = preencheregistrousuario();
    u.codigo = codigo;
    if (!inclusaoaceita(insereusuario(u), QStringLiteral("Não foi possível gravar o usuário"), txtnome_))
        return;
    Dialogos::msgbox(QStringLiteral("Usuário: (") + u.nome + QStringLiteral(") cadastrado com sucesso !"), Dialogos::Informacao);
    reinicia();
}

void FrmCadastroUsuarios::alterarusuario(bool perguntar)
{
    Usuario salvo;
    const Leitura lida = lerusuario(txtcodigo_->text(), &salvo);
    switch (lida) {
    case Leitura::Falha:
        avisafalhaleitura(lida.causa());
        return;
    case Leitura::NaoEncontrado:
        alteracaoconcluida(Gravacao::NaoEncontrado, QString(), QString());
        return;
    case Leitura::Encontrado:
        break;
    }
    if (perguntar
        && Dialogos::msgbox(QStringLiteral("Deseja alterar os dados do usuário:") + salvo.nome + QStringLiteral(" ?"), Dialogos::Pergunta)
               != Dialogos::Sim)
        return;
    alteracaoconcluida(atualizausuario(preencheregistrousuario()),
                       QStringLiteral("Usuário: (") + txtnome_->text() + QStringLiteral(") , alterado com sucesso !"),
                       QStringLiteral("Não foi possível alterar os dados do usuário"));
}

void FrmCadastroUsuarios::excluirusuario(const QString& codigo)
{
    Usuario salvo;
    const Leitura lida = lerusuario(codigo, &salvo);
    switch (lida) {
    case Leitura::Falha:
        avisafalhaleitura(lida.causa());
        return;
    case Leitura::NaoEncontrado:
        Dialogos::msgbox(QStringLiteral("Não existe usuário cadastrado com este código"), Dialogos::Alerta);
        return;
    case Leitura::Encontrado:
        break;
    }
    if (Dialogos::msgbox(QStringLiteral("Deseja Realmente excluir o Usuário: ") + salvo.nome + QStringLiteral(" ?"), Dialogos::Pergunta)
        != Dialogos::Sim)
        return;
    if (!exclusaoconcluida(apagausuario(codigo), QStringLiteral("Não existe usuário cadastrado com este código"),
                           QStringLiteral("Não foi possível excluir o usuário")))
        return;
    reinicia();
}

// ---- Modify ------------------------------------------------------------------

bool FrmCadastroUsuarios::confirmasenhaatual()
{
    const QString senha = Dialogos::inputbox(QStringLiteral("Digite a senha atual para modificar este registro:"));
    if (senha != txtsenha_->text()) {
        Dialogos::msgbox(QStringLiteral("Senha incorreta!"), Dialogos::Simples);
        return false;
    }
    return true;
}

void FrmCadastroUsuarios::modificar()
{
    if (confirmasenhaatual())
        entramodificacao(txtnome_);
}

void FrmCadastroUsuarios::teclamodificar()
{
    if (confirmasenhaatual())
        entramodificacao(nullptr);
}

}  // namespace tivane
