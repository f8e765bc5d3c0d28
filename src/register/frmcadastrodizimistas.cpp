#include "register/frmcadastrodizimistas.h"

#include "core/dialogos.h"
#include "core/conexao.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "register/frmcapturafoto.h"
#include "register/frmlocaliza.h"
#include "register/numeracao.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QPointer>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tivane {

namespace {

const char* const NOME_JANELA = "frmcadastrodizimistas";
const QString MASCARA_DATA = QStringLiteral("99/99/9999;_");

FrmCadastroDizimistas* janelaAberta()
{
    return Janelas::instancia<FrmCadastroDizimistas>(QString::fromLatin1(NOME_JANELA));
}

// The first of the windows that fechajanelas closes.
static RegistroJanela reg(NOME_JANELA, [] { return new FrmCadastroDizimistas; }, Janelas::Mdi, 1);

// A date box: Null when nothing was typed, the date when complete, and what
// was typed (with "_" in the blank places) when incomplete.
TextoNulo lerdata(const QLineEdit* caixa)
{
    QString digitos = caixa->text();
    digitos.remove(QLatin1Char('/'));
    if (digitos.trimmed().isEmpty())
        return std::nullopt;
    return caixa->hasAcceptableInput() ? caixa->text() : caixa->displayText();
}

// The mask comes off while the stored text goes in, so any stored text
// (a date, an old blank "__/__/____") shows as the mask reads it.
void mostradata(QLineEdit* caixa, const TextoNulo& valor)
{
    caixa->setInputMask(QString());
    caixa->setText(valor.value_or(QString()));
    caixa->setInputMask(MASCARA_DATA);
}

// A Null field shows as an empty box. Qualified: unqualified, the call
// would find this overload first and call itself.
void mostratexto(QLineEdit* caixa, const TextoNulo& valor)
{
    tivane::mostratexto(caixa, valor.value_or(QString()));
}

void mostracombo(QComboBox* combo, const TextoNulo& valor)
{
    // A Null or empty field shows empty: keeping the previous tither's text
    // would write it into this tither at the next save.
    if (!valor || valor->isEmpty()) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    } else {
        combo->setCurrentText(*valor);
    }
}

QLabel* rotulo(const QString& texto, QWidget* pai)
{
    return new QLabel(texto, pai);
}

}  // namespace

// ---- Building ----------------------------------------------------------------

namespace {
// Typing into a blank date box starts at its first digit, wherever the click landed.
class InicioDaData : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonRelease) {
            auto* caixa = static_cast<QLineEdit*>(o);
            QString digitos = caixa->text();
            digitos.remove(QLatin1Char('/'));
            if (digitos.trimmed().isEmpty()) {
                QPointer<QLineEdit> p(caixa);
                QTimer::singleShot(0, caixa, [p] {
                    if (p)
                        p->setCursorPosition(0);
                });
            }
        }
        return false;
    }
};
}  // namespace

QLineEdit* FrmCadastroDizimistas::caixadata(QWidget* pai, const char* nome)
{
    auto* c = new QLineEdit(pai);
    c->setObjectName(QString::fromLatin1(nome));
    c->setInputMask(MASCARA_DATA);
    c->installEventFilter(new InicioDaData(c));
    c->setFixedWidth(c->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
    return c;
}

FrmCadastroDizimistas::FrmCadastroDizimistas()
    : JanelaCadastro(NOME_JANELA, QStringLiteral("Cadastro de Dizimistas"), Tabela::Dizimistas,
                     QStringLiteral("Deseja realmente sair da tela de cadastro de Dizimistas?"))
{
    auto* frame = new QFrame(area());
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grade = new QGridLayout(frame);

    // Identification.
    txtcodigo_ = caixa(frame, "txtcodigo", 8);
    txtcodigo_->setAlignment(Qt::AlignCenter);
    txtcodigo_->setText(QStringLiteral("0000"));
    txtcodigo_->setReadOnly(true);
    txtdatacadastro_ = caixa(frame, "txtdatacadastro", 10);
    txtdatacadastro_->setAlignment(Qt::AlignCenter);
    txtdatacadastro_->setReadOnly(true);
    txtbarras_ = caixa(frame, "txtbarras", 20);
    txtbarras_->setAlignment(Qt::AlignCenter);
    txtbarras_->setText(QStringLiteral("0000"));
    txtbarras_->setToolTip(QStringLiteral("Código interno do funcionário ou código de barras do crachá"));

    QFrame* picstatus = criabanner(frame);

    auto* linha1 = new QHBoxLayout;
    linha1->addWidget(rotulo(QStringLiteral("Código:"), frame));
    linha1->addWidget(txtcodigo_);
    linha1->addWidget(rotulo(QStringLiteral("Cadastro:"), frame));
    linha1->addWidget(txtdatacadastro_);
    linha1->addWidget(rotulo(QStringLiteral("Código de Barras:"), frame));
    linha1->addWidget(txtbarras_);
    linha1->addWidget(picstatus, 1);
    grade->addLayout(linha1, 0, 0, 1, 2);

    // Person.
    auto* pessoa = new QGridLayout;
    txtnome_ = caixa(frame, "txtnome", 100);
    txtnascimento_ = caixadata(frame, "txtnascimento");
    auto* sexo = new QWidget(frame);
    auto* layoutSexo = new QHBoxLayout(sexo);
    layoutSexo->setContentsMargins(0, 0, 0, 0);
    optsexo_[0] = new QRadioButton(QStringLiteral("M"), sexo);
    optsexo_[0]->setObjectName(QStringLiteral("optsexo0"));
    optsexo_[1] = new QRadioButton(QStringLiteral("F"), sexo);
    optsexo_[1]->setObjectName(QStringLiteral("optsexo1"));
    layoutSexo->addWidget(optsexo_[0]);
    layoutSexo->addWidget(optsexo_[1]);
    optsexo_[0]->setChecked(true);
    combogrupo_ = new QComboBox(frame);
    combogrupo_->setObjectName(QStringLiteral("Combo0"));
    combogrupo_->setEditable(true);
    combogrupo_->setMinimumWidth(150);
    cbestadocivil_ = new QComboBox(frame);
    cbestadocivil_->setObjectName(QStringLiteral("cbestadocivil"));
    cbestadocivil_->setEditable(true);
    txtconjuge_ = caixa(frame, "txtconjuge", 100);
    pessoa->addWidget(rotulo(QStringLiteral("Nome:"), frame), 0, 0);
    pessoa->addWidget(txtnome_, 0, 1, 1, 3);
    pessoa->addWidget(rotulo(QStringLiteral("Nascimento:"), frame), 1, 0);
    pessoa->addWidget(txtnascimento_, 1, 1);
    pessoa->addWidget(rotulo(QStringLiteral("Sexo:"), frame), 1, 2, Qt::AlignRight);
    pessoa->addWidget(sexo, 1, 3);
    pessoa->addWidget(rotulo(QStringLiteral("Grupo:"), frame), 2, 0);
    pessoa->addWidget(combogrupo_, 2, 1);
    pessoa->addWidget(rotulo(QStringLiteral("Estado Civil:"), frame), 2, 2, Qt::AlignRight);
    pessoa->addWidget(cbestadocivil_, 2, 3);
    pessoa->addWidget(rotulo(QStringLiteral("Cônjuge:"), frame), 3, 0);
    pessoa->addWidget(txtconjuge_, 3, 1, 1, 3);

    auto* frame1 = new QGroupBox(frame);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* layoutAtivo = new QHBoxLayout(frame1);
    optativo_ = new QRadioButton(QStringLiteral("Ativo"), frame1);
    optativo_->setObjectName(QStringLiteral("optativo"));
    optativo_->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0);"));
    optinativo_ = new QRadioButton(QStringLiteral("Inativo"), frame1);
    optinativo_->setObjectName(QStringLiteral("optinativo"));
    optinativo_->setStyleSheet(QStringLiteral("color: rgb(128, 0, 0);"));
    layoutAtivo->addWidget(optativo_);
    layoutAtivo->addWidget(optinativo_);
    optativo_->setChecked(true);
    pessoa->addWidget(frame1, 4, 1, 1, 3, Qt::AlignLeft);
    grade->addLayout(pessoa, 1, 0);

    // Photo: the picture lies over its "Sem Foto" caption.
    auto* frame2 = new QGroupBox(QStringLiteral("Foto"), frame);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* layoutFoto = new QVBoxLayout(frame2);
    auto* moldura = new QWidget(frame2);
    moldura->setFixedSize(1335 / 15, 1215 / 15);
    lblmsgfoto_ = new QLabel(QStringLiteral("Sem Foto"), moldura);
    lblmsgfoto_->setObjectName(QStringLiteral("lblmsgfoto"));
    lblmsgfoto_->setAlignment(Qt::AlignCenter);
    lblmsgfoto_->setGeometry(0, 0, moldura->width(), moldura->height());
    picfoto_ = new QLabel(moldura);
    picfoto_->setObjectName(QStringLiteral("picfoto"));
    picfoto_->setScaledContents(true);
    picfoto_->setGeometry(0, 0, moldura->width(), moldura->height());
    picfoto_->raise();
    cmdfoto_ = new QPushButton(QStringLiteral("Capturar &Foto"), frame2);
    cmdfoto_->setObjectName(QStringLiteral("cmdfoto"));
    connect(cmdfoto_, &QPushButton::clicked, this, [this] { abrecapturafoto(txtcodigo_->text(), txtnome_->text()); });
    layoutFoto->addWidget(moldura, 0, Qt::AlignHCenter);
    layoutFoto->addWidget(cmdfoto_);
    grade->addWidget(frame2, 1, 1, Qt::AlignTop);

    // Lower panels, all in one place: address and contact, more data, filiation.
    auto* paineis = new QGridLayout;
    auto* enderecoContato = new QWidget(frame);
    auto* layoutEC = new QHBoxLayout(enderecoContato);
    layoutEC->setContentsMargins(0, 0, 0, 0);

    frameendereco_ = new QGroupBox(QStringLiteral("Endereço"), enderecoContato);
    frameendereco_->setObjectName(QStringLiteral("frameendereco"));
    auto* ge = new QGridLayout(frameendereco_);
    txtendereco_ = caixa(frameendereco_, "txtendereco", 150);
    txtbairro_ = caixa(frameendereco_, "txtbairro", 50);
    txtcidade_ = caixa(frameendereco_, "txtcidade", 50);
    cbestado_ = new QComboBox(frameendereco_);
    cbestado_->setObjectName(QStringLiteral("cbestado"));
    cbestado_->setEditable(true);
    txtcep_ = caixa(frameendereco_, "txtcep", 12);
    ge->addWidget(rotulo(QStringLiteral("Logradouro : "), frameendereco_), 0, 0);
    ge->addWidget(txtendereco_, 0, 1);
    ge->addWidget(rotulo(QStringLiteral("Bairro:"), frameendereco_), 1, 0);
    ge->addWidget(txtbairro_, 1, 1);
    ge->addWidget(rotulo(QStringLiteral("Cidade:"), frameendereco_), 2, 0);
    ge->addWidget(txtcidade_, 2, 1);
    ge->addWidget(rotulo(QStringLiteral("Estado:"), frameendereco_), 3, 0);
    ge->addWidget(cbestado_, 3, 1);
    ge->addWidget(rotulo(QStringLiteral("CEP:"), frameendereco_), 4, 0);
    ge->addWidget(txtcep_, 4, 1);

    framecontato_ = new QGroupBox(QStringLiteral("Contato"), enderecoContato);
    framecontato_->setObjectName(QStringLiteral("Framecontato"));
    auto* gc = new QGridLayout(framecontato_);
    txttel_ = caixa(framecontato_, "txttel", 20);
    txtcelular_ = caixa(framecontato_, "txtcelular", 20);
    txtemail_ = caixa(framecontato_, "txtemail", 100);
    txtmsn_ = caixa(framecontato_, "txtmsn", 100);
    gc->addWidget(rotulo(QStringLiteral("Telefone:"), framecontato_), 0, 0);
    gc->addWidget(txttel_, 0, 1);
    gc->addWidget(rotulo(QStringLiteral("Celular:"), framecontato_), 1, 0);
    gc->addWidget(txtcelular_, 1, 1);
    gc->addWidget(rotulo(QStringLiteral("E-mail:"), framecontato_), 2, 0);
    gc->addWidget(txtemail_, 2, 1);
    gc->addWidget(rotulo(QStringLiteral("MSN:"), framecontato_), 3, 0);
    gc->addWidget(txtmsn_, 3, 1);
    layoutEC->addWidget(frameendereco_, 3);
    layoutEC->addWidget(framecontato_, 2);

    framemaisdados_ = new QGroupBox(QStringLiteral("Mais Dados"), frame);
    framemaisdados_->setObjectName(QStringLiteral("Framemaisdados1"));
    auto* gm = new QGridLayout(framemaisdados_);
    txtrg_ = caixa(framemaisdados_, "txtrg", 20);
    txtcpf_ = caixa(framemaisdados_, "txtcpf", 20);
    txtcasamento_ = caixadata(framemaisdados_, "txtcasamento");
    txtconversao_ = caixadata(framemaisdados_, "txtconversao");
    txtprofissao_ = caixa(framemaisdados_, "txtprofissao", 100);
    chkdesempregado_ = new QCheckBox(QStringLiteral("Desempregado"), framemaisdados_);
    chkdesempregado_->setObjectName(QStringLiteral("chkdesempregado"));
    chkadoecido_ = new QCheckBox(QStringLiteral("Adoecido"), framemaisdados_);
    chkadoecido_->setObjectName(QStringLiteral("chkadoecido"));
    chkfalecido_ = new QCheckBox(QStringLiteral("Falecido"), framemaisdados_);
    chkfalecido_->setObjectName(QStringLiteral("chkfalecido"));
    txtobs_ = new QPlainTextEdit(framemaisdados_);
    txtobs_->setObjectName(QStringLiteral("txtobs"));
    txtobs_->setTabChangesFocus(true);
    txtobs_->setFixedHeight(txtobs_->fontMetrics().lineSpacing() * 4 + 12);
    gm->addWidget(rotulo(QStringLiteral("RG:"), framemaisdados_), 0, 0);
    gm->addWidget(txtrg_, 0, 1);
    gm->addWidget(rotulo(QStringLiteral("CPF:"), framemaisdados_), 0, 2);
    gm->addWidget(txtcpf_, 0, 3);
    gm->addWidget(rotulo(QStringLiteral("Casamento:"), framemaisdados_), 1, 0);
    gm->addWidget(txtcasamento_, 1, 1);
    gm->addWidget(rotulo(QStringLiteral("Conversão:"), framemaisdados_), 1, 2);
    gm->addWidget(txtconversao_, 1, 3);
    gm->addWidget(rotulo(QStringLiteral("Profissão:"), framemaisdados_), 2, 0);
    gm->addWidget(txtprofissao_, 2, 1, 1, 3);
    auto* flags = new QHBoxLayout;
    flags->addWidget(chkdesempregado_);
    flags->addWidget(chkadoecido_);
    flags->addWidget(chkfalecido_);
    gm->addLayout(flags, 3, 0, 1, 4);
    gm->addWidget(rotulo(QStringLiteral("Observações Gerais:"), framemaisdados_), 4, 0, 1, 4);
    gm->addWidget(txtobs_, 5, 0, 1, 4);

    // Filiation: shown, but not part of the record.
    framefiliacao_ = new QGroupBox(QStringLiteral("Filiação"), frame);
    framefiliacao_->setObjectName(QStringLiteral("Framefiliacao"));
    auto* gf = new QGridLayout(framefiliacao_);
    auto* txtnomefilho = new QLineEdit(framefiliacao_);
    txtnomefilho->setObjectName(QStringLiteral("txtnomefilho"));
    auto* listafiliacao = new QTreeWidget(framefiliacao_);
    listafiliacao->setObjectName(QStringLiteral("listafiliacao"));
    listafiliacao->setRootIsDecorated(false);
    listafiliacao->setHeaderLabels({QStringLiteral("Nome"), QStringLiteral("Cadastro")});
    listafiliacao->setColumnWidth(0, 3440 / 15);
    listafiliacao->setColumnWidth(1, 1440 / 15);
    auto* cmdadiciona = new QPushButton(QStringLiteral("&Adicionar"), framefiliacao_);
    cmdadiciona->setObjectName(QStringLiteral("cmdadiciona"));
    auto* cmdremove = new QPushButton(QStringLiteral("&Remover"), framefiliacao_);
    cmdremove->setObjectName(QStringLiteral("cmdremove"));
    gf->addWidget(txtnomefilho, 0, 0);
    gf->addWidget(cmdadiciona, 0, 1);
    gf->addWidget(listafiliacao, 1, 0);
    gf->addWidget(cmdremove, 1, 1, Qt::AlignTop);

    paineis->addWidget(enderecoContato, 0, 0);
    paineis->addWidget(framemaisdados_, 0, 0);
    paineis->addWidget(framefiliacao_, 0, 0);
    grade->addLayout(paineis, 2, 0, 1, 2);
    grade->setRowStretch(2, 1);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    const QString legendas[2] = {QStringLiteral("Filiação"), QStringLiteral("Mais Dados")};
    for (int i = 0; i < 2; ++i) {
        cmdmaisdados_[i] = new QPushButton(legendas[i], frame);
        cmdmaisdados_[i]->setObjectName(QStringLiteral("cmdmaisdados%1").arg(i));
        cmdmaisdados_[i]->setAutoDefault(false);
        connect(cmdmaisdados_[i], &QPushButton::clicked, this, [this, i] { cmdmaisdados(i); });
        botoes->addWidget(cmdmaisdados_[i]);
    }
    grade->addLayout(botoes, 3, 0, 1, 2);

    // The frame keeps the size that holds the largest of the three panels.
    termina(frame);
    framemaisdados_->hide();
    framefiliacao_->hide();

    // Loading.
    reinicia();
}

// What loading the window does; also after an insert or a delete, which
// start again on a new record with the following code.
void FrmCadastroDizimistas::reinicia()
{
    frameendereco_->show();
    framecontato_->show();
    framemaisdados_->hide();
    framefiliacao_->hide();
    optsexo_[0]->setChecked(true);
    optativo_->setChecked(true);
    preenchecomboestadocivil(this);
    cbestado_->clear();
    preenchecomboestados(this);
    cbestado_->model()->sort(0);
    cbestado_->setCurrentText(QStringLiteral("RJ - Rio de Janeiro"));
    novodizimista();
}

// ---- Form procedures ---------------------------------------------------------

void FrmCadastroDizimistas::limparcampos()
{
    limpatextos(this);
    for (QLineEdit* data : {txtnascimento_, txtconversao_, txtcasamento_})
        mostradata(data, std::nullopt);
    chkadoecido_->setChecked(false);
    chkdesempregado_->setChecked(false);
    chkfalecido_->setChecked(false);
}

void FrmCadastroDizimistas::localizar()
{
    abrebusca(BUSCA_DIZIMISTAS);
}

void FrmCadastroDizimistas::recebecodigobusca(const QString& codigo)
{
    txtcodigo_->setText(codigo);
    abredizimista(codigo);
}

void FrmCadastroDizimistas::cmdmaisdados(int indice)
{
    if (frameendereco_->isHidden()) {
        frameendereco_->show();
        framecontato_->show();
        framemaisdados_->hide();
        framefiliacao_->hide();
    } else if (indice == 0) {
        framefiliacao_->show();
        framemaisdados_->hide();
        framecontato_->hide();
        frameendereco_->hide();
    } else if (indice == 1) {
        framemaisdados_->show();
        framecontato_->hide();
        frameendereco_->hide();
        framefiliacao_->hide();
    }
}

// ---- Numbering and navigation ------------------------------------------------

void FrmCadastroDizimistas::novodizimista()
{
    limparcampos();
    definestatus(this, NovoRegistro);
    desbloqueiacampos(this);
    definenovocodigo();
    txtbarras_->setText(formatabarras(txtcodigo_->text()));
    txtdatacadastro_->setText(hoje());
    picfoto_->clear();
}

bool FrmCadastroDizimistas::mostra(const QString& codigo)
{
    Dizimista d;
    const Leitura r = lerdizimista(codigo, &d);
    if (r == Leitura::Falha)
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o dizimista ") + codigo, r.causa());
    if (r != Leitura::Encontrado)
        return false;
    mostraregistro(d);
    return true;
}

void FrmCadastroDizimistas::proximodizimista()
{
    proximoregistro();
}

void FrmCadastroDizimistas::anteriordizimista()
{
    anteriorregistro();
}

// ---- Record ------------------------------------------------------------------

Dizimista FrmCadastroDizimistas::preencheregistrodizimista() const
{
    Dizimista d;
    d.codigo = txtcodigo_->text();
    d.nome = txtnome_->text();
    d.cadastro = txtdatacadastro_->text();
    d.nascimento = lerdata(txtnascimento_);
    d.rg = textoounulo(txtrg_->text());
    d.cpf = textoounulo(txtcpf_->text());
    d.endereco = textoounulo(txtendereco_->text());
    d.bairro = textoounulo(txtbairro_->text());
    d.cidade = textoounulo(txtcidade_->text());
    d.estado = cbestado_->currentText();
    d.estadocivil = textoounulo(cbestadocivil_->currentText());
    d.cep = textoounulo(txtcep_->text());
    d.tel = textoounulo(txttel_->text());
    d.email = textoounulo(txtemail_->text());
    d.msn = textoounulo(txtmsn_->text());
    d.ativo = optativo_->isChecked();
    d.sexo = optsexo_[0]->isChecked();
    d.celular = textoounulo(txtcelular_->text());
    d.barras = textoounulo(txtbarras_->text());
    d.obs = textoounulo(txtobs_->toPlainText());
    d.conversao = lerdata(txtconversao_);
    d.casamento = lerdata(txtcasamento_);
    d.profissao = textoounulo(txtprofissao_->text());
    d.desempregado = chkdesempregado_->isChecked();
    d.falecido = chkfalecido_->isChecked();
    d.adoecido = chkadoecido_->isChecked();
    d.conjuge = textoounulo(txtconjuge_->text());
    return d;
}

void FrmCadastroDizimistas::mostraregistro(const Dizimista& d)
{
    limparcampos();
    mostratexto(txtcodigo_, d.codigo);
    codigomostrado_ = d.codigo;
    mostratexto(txtnome_, d.nome);
    mostratexto(txtdatacadastro_, d.cadastro);
    mostradata(txtnascimento_, d.nascimento);
    mostratexto(txtrg_, d.rg);
    mostratexto(txtcpf_, d.cpf);
    mostratexto(txtendereco_, d.endereco);
    mostratexto(txtbairro_, d.bairro);
    mostratexto(txtcidade_, d.cidade);
    (d.ativo ? optativo_ : optinativo_)->setChecked(true);
    optsexo_[d.sexo ? 0 : 1]->setChecked(true);
    mostracombo(cbestado_, d.estado);
    mostracombo(cbestadocivil_, d.estadocivil);
    mostratexto(txtcep_, d.cep);
    mostratexto(txttel_, d.tel);
    mostratexto(txtemail_, d.email);
    carregafotodizimista(this, txtcodigo_->text());
    mostratexto(txtcelular_, d.celular);
    mostratexto(txtbarras_, d.barras);
    txtobs_->setPlainText(d.obs.value_or(QString()));
    mostratexto(txtmsn_, d.msn);
    mostradata(txtconversao_, d.conversao);
    mostradata(txtcasamento_, d.casamento);
    mostratexto(txtprofissao_, d.profissao);
    chkdesempregado_->setChecked(d.desempregado);
    chkfalecido_->setChecked(d.falecido);
    chkadoecido_->setChecked(d.adoecido);
    mostratexto(txtconjuge_, d.conjuge);
}

void FrmCadastroDizimistas::gravardizimista()
{
    const QString codigo = txtcodigo_->text();
    const QString nome = txtnome_->text();
    QString causa;
    switch (decidegravacao(codigo, nome, status() == QLatin1String("Modificando Registro"), registromostrado(),
                           &causa)) {
    case PassoGravacao::NomeVazio:
        Dialogos::msgbox(QStringLiteral("Você deve digitar o nome do dizimista para continuar."), Dialogos::Informacao);
        txtnome_->setFocus();
        return;
    case PassoGravacao::JaSalvo:
        Dialogos::msgbox(QStringLiteral("Esse registro já foi salvo, tente modificar !"), Dialogos::Informacao);
        return;
    case PassoGravacao::Alterar:
        alterardizimista(true);
        return;
    case PassoGravacao::NomeExiste:
        Dialogos::msgbox(QStringLiteral("Já existe funcionário cadastrado com este nome!"), Dialogos::Informacao);
        txtnome_->setFocus();
        return;
    case PassoGravacao::CodigoEmPagamentos:
        Dialogos::msgbox(QStringLiteral("O código ") + codigo
                             + QStringLiteral(" já consta em pagamentos gravados, de um dizimista excluído ou não "
                                              "cadastrado. Escolha outro código, para que este dizimista não fique "
                                              "com esses pagamentos."),
                         Dialogos::Alerta);
        txtcodigo_->setFocus();
        return;
    case PassoGravacao::FalhaLeitura:
        // What was typed stays in the boxes, so it can be saved again.
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível conferir o dizimista no banco de dados"), causa);
        return;
    case PassoGravacao::Incluir:
        if (codigo.trimmed().isEmpty()) {
            // A tither without a code could not be found by the other windows.
            Dialogos::msgbox(QStringLiteral("Você deve informar o código do dizimista para continuar."), Dialogos::Informacao);
            txtcodigo_->setFocus();
            return;
        }
        incluirdizimista(codigo);
        return;
    }
}

bool FrmCadastroDizimistas::datasconferem()
{
    const struct {
        QLineEdit* caixa;
        const char* rotulo;
    } datas[] = {{txtnascimento_, "Nascimento"}, {txtcasamento_, "Casamento"}, {txtconversao_, "Conversão"}};
    for (const auto& d : datas) {
        QString digitos = d.caixa->text();
        digitos.remove(QLatin1Char('/'));
        if (digitos.trimmed().isEmpty())
            continue;
        if (!QDate::fromString(d.caixa->text(), QStringLiteral("dd/MM/yyyy")).isValid()) {
            Dialogos::msgbox(QStringLiteral("A data de ") + QString::fromUtf8(d.rotulo) + QStringLiteral(" (")
                                 + d.caixa->displayText()
                                 + QStringLiteral(") não é válida. Corrija a data ou apague-a para continuar."),
                             Dialogos::Informacao);
            d.caixa->setFocus();
            return false;
        }
    }
    return true;
}

void FrmCadastroDizimistas::incluirdizimista(const QString& codigo)
{
    if (!datasconferem())
        return;
    Dizimista d = preencheregistrodizimista();
    d.codigo = codigo;
    if (!inclusaoaceita(inseredizimista(d), QStringLiteral("Não foi possível gravar o dizimista"), txtnome_))
        return;
    Dialogos::msgbox(QStringLiteral("Dizimista: (") + txtnome_->text() + QStringLiteral(") cadastrado com sucesso !"), Dialogos::Informacao);
    reinicia();
    // The message took the focus away: typing and the keys F1-F8 go on here.
    txtnome_->setFocus();
}

void FrmCadastroDizimistas::alterardizimista(bool perguntar)
{
    Dizimista salvo;
    const Leitura lida = lerdizimista(txtcodigo_->text(), &salvo);
    switch (lida) {
    case Leitura::Encontrado:
        break;
    case Leitura::NaoEncontrado:
        alteracaoconcluida(Gravacao::NaoEncontrado, QString(), QString());
        return;
    case Leitura::Falha:
        // Still modifying: the changes stay on screen to be saved again.
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o dizimista ") + txtcodigo_->text(),
                                    lida.causa());
        return;
    }
    if (!datasconferem())
        return;
    if (perguntar
        && Dialogos::msgbox(QStringLiteral("Deseja alterar os dados do Dizimista:") + salvo.nome.value_or(QString())
                                + QStringLiteral(" ?"),
                            Dialogos::Pergunta)
               != Dialogos::Sim)
        return;
    alteracaoconcluida(atualizadizimista(preencheregistrodizimista()),
                       QStringLiteral("Dados do Dizimista: (") + txtnome_->text()
                           + QStringLiteral(") , alterado com sucesso !"),
                       QStringLiteral("Não foi possível alterar os dados do dizimista"));
}

void FrmCadastroDizimistas::modificardizimista()
{
    entramodificacao(nullptr);
}

void FrmCadastroDizimistas::iniciamodificacaodizimista()
{
    entramodificacao(txtnome_);
}

void FrmCadastroDizimistas::excluirdizimista(const QString& codigo)
{
    Dizimista salvo;
    const Leitura lida = lerdizimista(codigo, &salvo);
    switch (lida) {
    case Leitura::Encontrado:
        break;
    case Leitura::NaoEncontrado:
        Dialogos::msgbox(QStringLiteral("Não existe dizimista cadastrado com este código"), Dialogos::Alerta);
        return;
    case Leitura::Falha:
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o dizimista ") + codigo, lida.causa());
        return;
    }
    if (Dialogos::msgbox(QStringLiteral("Deseja Realmente excluir o Dizimista: ") + salvo.nome.value_or(QString())
                             + QStringLiteral(" ?"),
                         Dialogos::Pergunta)
        != Dialogos::Sim)
        return;
    if (!exclusaoconcluida(apagadizimista(codigo), QStringLiteral("Não existe dizimista cadastrado com este código"),
                           QStringLiteral("Não foi possível excluir o dizimista")))
        return;
    reinicia();
    txtnome_->setFocus();
}

// ---- Used by other windows ---------------------------------------------------

void abredizimista(const QString& codigo)
{
    Janelas::abre(QString::fromLatin1(NOME_JANELA));
    FrmCadastroDizimistas* janela = janelaAberta();
    if (!janela)
        return;
    Dizimista d;
    const Leitura lida = lerdizimista(codigo, &d);
    switch (lida) {
    case Leitura::Encontrado:
        janela->mostraregistro(d);
        break;
    case Leitura::NaoEncontrado:
        break;
    case Leitura::Falha:
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o dizimista ") + codigo, lida.causa());
        return;
    }
    definestatus(janela, SomenteLeitura);
}

void carregafotodizimista(QWidget* janela, const QString& codigo)
{
    if (!janela)
        return;
    auto* foto = janela->findChild<QLabel*>(QStringLiteral("picfoto"));
    auto* mensagem = janela->findChild<QLabel*>(QStringLiteral("lblmsgfoto"));
    const QString caminho = caminhofotodizimista(codigo);
    // Read by content: the files are bitmaps named .jpg.
    const QImage imagem = !caminho.isEmpty() && arquivoexiste(caminho) ? QImage(caminho) : QImage();
    if (!imagem.isNull()) {
        if (foto)
            foto->setPixmap(QPixmap::fromImage(imagem));
        return;
    }
    if (foto)
        foto->clear();
    if (mensagem)
        mensagem->setText(QStringLiteral("Sem Foto"));
}

}  // namespace tivane
