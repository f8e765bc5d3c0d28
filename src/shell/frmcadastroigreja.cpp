#include "shell/frmcadastroigreja.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "shell/frmprincipal.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tivane {

namespace {

// The third of the windows that fechajanelas closes.
RegistroJanela reg("frmcadastroigreja", [] { return new FrmCadastroIgreja; }, Janelas::Mdi, 3);

struct Campo {
    const char* caixa;
    const char* rotulo;
    int limite;   // 0: no limit
};

const Campo NOMES[] = {{"txtrazaosocial", "Razão Social :", 100},
                       {"txtfantasia", "Nome da Igreja:", 150},
                       {"txtcnpj", "CNPJ :", 20},
                       {"txtresponsavel", "Responsável :", 50}};
const Campo ENDERECO[] = {{"txtrua", "Rua : ", 150}, {"txtbairro", "Bairro :", 50}, {"txtcidade", "Cidade :", 50}};
const Campo CONTATOS[] = {
    {"txttel", "Tel.: ", 20}, {"txtfax", "Fax.: ", 20}, {"txtemail", "E-mail: ", 100}, {"txtlibtemp", "Site:", 0}};

}  // namespace

FrmCadastroIgreja::FrmCadastroIgreja()
{
    setObjectName(QStringLiteral("frmcadastroigreja"));
    setWindowTitle(QStringLiteral("Dados da Igreja"));

    auto* frame = new QGroupBox(QStringLiteral("Dados da Igreja"), this);
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    auto* principal = new QHBoxLayout(frame);
    auto* coluna = new QVBoxLayout;
    principal->addLayout(coluna);

    QList<QWidget*> ordem;
    const auto adiciona = [&](QFormLayout* form, QWidget* pai, const Campo& c) {
        auto* e = new QLineEdit(pai);
        e->setObjectName(QString::fromLatin1(c.caixa));
        if (c.limite > 0)
            e->setMaxLength(c.limite);
        e->setMinimumWidth(c.limite > 60 || c.limite == 0 ? 380 : 220);
        form->addRow(QString::fromUtf8(c.rotulo), e);
        ordem << e;
    };

    auto* dados = new QGroupBox(frame);
    auto* formdados = new QFormLayout(dados);
    for (const Campo& c : NOMES)
        adiciona(formdados, dados, c);
    coluna->addWidget(dados);

    auto* endereco = new QGroupBox(QStringLiteral("Endereço "), frame);
    endereco->setObjectName(QStringLiteral("frameendereco"));
    auto* formendereco = new QFormLayout(endereco);
    for (const Campo& c : ENDERECO)
        adiciona(formendereco, endereco, c);
    estado_ = new QComboBox(endereco);
    estado_->setObjectName(QStringLiteral("cbestado"));
    estado_->setEditable(true);
    estado_->setInsertPolicy(QComboBox::NoInsert);
    formendereco->addRow(QStringLiteral("Estado :"), estado_);
    ordem << estado_;
    adiciona(formendereco, endereco, {"txtcep", "CEP :", 12});
    coluna->addWidget(endereco);

    auto* contatos = new QGroupBox(frame);
    auto* formcontatos = new QFormLayout(contatos);
    for (const Campo& c : CONTATOS)
        adiciona(formcontatos, contatos, c);
    coluna->addWidget(contatos);

    auto* botoes = new QVBoxLayout;
    auto* salvar = new QPushButton(QStringLiteral("&Salvar && Sair"), frame);
    salvar->setObjectName(QStringLiteral("cmdsalvar"));
    auto* voltar = new QPushButton(QStringLiteral("&Sair"), frame);
    voltar->setObjectName(QStringLiteral("Cmdvoltar"));
    for (QPushButton* b : {salvar, voltar}) {
        b->setMinimumSize(110, 70);
        botoes->addWidget(b);
    }
    botoes->addStretch();
    principal->addLayout(botoes);
    frame->adjustSize();

    // Kept beside the frame, as the settings window's logo path was read here.
    auto* caminho = new QLineEdit(this);
    caminho->setObjectName(QStringLiteral("txtcaminho"));
    caminho->hide();

    for (int i = 0; i + 1 < ordem.size(); ++i)
        QWidget::setTabOrder(ordem.at(i), ordem.at(i + 1));

    connect(salvar, &QPushButton::clicked, this, &FrmCadastroIgreja::salvar);
    connect(voltar, &QPushButton::clicked, this, &FrmCadastroIgreja::voltar);

    // Load: toolbar away, states in the combo, the stored record, the logo path.
    mostrabarraprincipal(false);
    preenchecomboestados(this);
    estado_->model()->sort(0);
    estado_->setCurrentText(QStringLiteral("RJ - Rio de Janeiro"));
    DadosIgreja salvos;
    const Leitura lida = carregaigreja(&salvos);
    naolido_ = lida == Leitura::Falha;
    carregadadosigreja(salvos);
    caminho->setText(lertextopadrao(QStringLiteral("caminhologo")));
    mantemframecentralizado(this);
    // Without a connection the opener has already told why and ended the program.
    if (naolido_ && Banco::conexao())
        Dialogos::msgbox(QStringLiteral("Não foi possível ler os dados da igreja: ") + lida.causa()
                             + QStringLiteral(". Os campos estão em branco e esta janela não salvará, para não apagar "
                                              "os dados gravados. Feche-a e abra-a novamente mais tarde."),
                         Dialogos::Alerta);
}

bool FrmCadastroIgreja::event(QEvent* e)
{
    if (e->type() == QEvent::Show)
        mostrabarraprincipal(false);
    return QWidget::event(e);
}

QLineEdit* FrmCadastroIgreja::caixa(const char* nome) const
{
    return findChild<QLineEdit*>(QString::fromLatin1(nome));
}

void FrmCadastroIgreja::carregadadosigreja(const DadosIgreja& d)
{
    const auto poe = [&](const char* nome, const QString& valor) {
        if (!valor.isEmpty())
            caixa(nome)->setText(valor);
    };
    poe("txtrazaosocial", d.razaosocial);
    poe("txtfantasia", d.fantasia);
    poe("txtcnpj", d.cnpj);
    poe("txtresponsavel", d.responsavel);
    poe("txtrua", d.rua);
    poe("txtbairro", d.bairro);
    poe("txtcidade", d.cidade);
    if (!d.estado.isEmpty())
        estado_->setCurrentText(d.estado);
    poe("txtcep", d.cep);
    poe("txttel", d.tel);
    poe("txtfax", d.fax);
    poe("txtemail", d.email);
    poe("txtlibtemp", d.site);
}

DadosIgreja FrmCadastroIgreja::dadosdajanela() const
{
    DadosIgreja d;
    d.razaosocial = caixa("txtrazaosocial")->text();
    d.fantasia = caixa("txtfantasia")->text();
    d.cnpj = caixa("txtcnpj")->text();
    d.responsavel = caixa("txtresponsavel")->text();
    d.rua = caixa("txtrua")->text();
    d.bairro = caixa("txtbairro")->text();
    d.cidade = caixa("txtcidade")->text();
    d.estado = estado_->currentText();
    d.cep = caixa("txtcep")->text();
    d.tel = caixa("txttel")->text();
    d.fax = caixa("txtfax")->text();
    d.email = caixa("txtemail")->text();
    d.site = caixa("txtlibtemp")->text();
    return d;
}

void FrmCadastroIgreja::salvar()
{
    const DadosIgreja d = dadosdajanela();
    // Blanks count as text here, as they always did.
    if (d.razaosocial.isEmpty() || d.fantasia.isEmpty()) {
        Dialogos::msgbox(QStringLiteral("Digite a razão social e nome fantasia da igreja !"), Dialogos::Alerta);
        caixa("txtrazaosocial")->setFocus();
        return;
    }
    if (naolido_) {
        Dialogos::msgbox(QStringLiteral("Os dados da igreja não puderam ser lidos quando esta janela foi aberta: "
                                        "nada foi salvo, para não apagar os dados gravados. Feche a janela e "
                                        "abra-a novamente."),
                         Dialogos::Alerta);
        return;
    }
    QString causa;
    if (!gravarigreja(d, &causa)) {
        Dialogos::avisaFalhaGravacao(QStringLiteral("Não foi possível gravar os dados da igreja"), causa);
        return;
    }
    Dialogos::msgbox(QStringLiteral("Igreja : (") + d.fantasia + QStringLiteral(") cadastrada com sucesso ."), Dialogos::Informacao);
    fechajanelas();
    mostrabarraprincipal(true);
}

void FrmCadastroIgreja::voltar()
{
    fechajanelas();
    mostrabarraprincipal(true);
}

}  // namespace tivane
