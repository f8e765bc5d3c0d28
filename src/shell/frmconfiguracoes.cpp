#include "shell/frmconfiguracoes.h"

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/permissoes.h"
#include "core/registro.h"
#include "shell/frmprincipal.h"
#include "core/igreja.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tivane {

namespace {

// The fourth of the windows that fechajanelas closes.
RegistroJanela reg("Frmconfiguracoes", [] { return new FrmConfiguracoes; }, Janelas::Mdi, 4);

const char* const FALHA_GRAVACAO = "Não foi possível gravar as configurações do sistema. "
                                   "Verifique as permissões da pasta de configurações.";

QRadioButton* opcao(const QString& nome, const QString& legenda, QWidget* pai, QButtonGroup* grupo)
{
    auto* b = new QRadioButton(legenda, pai);
    b->setObjectName(nome);
    grupo->addButton(b);
    return b;
}

QCheckBox* caixa(const char* nome, const char* legenda, QWidget* pai)
{
    auto* c = new QCheckBox(QString::fromUtf8(legenda), pai);
    c->setObjectName(QString::fromLatin1(nome));
    return c;
}

QPushButton* botao(const char* nome, const char* legenda, QWidget* pai)
{
    auto* b = new QPushButton(QString::fromUtf8(legenda), pai);
    b->setObjectName(QString::fromLatin1(nome));
    b->setMinimumSize(130, 34);
    return b;
}

}  // namespace

FrmConfiguracoes::FrmConfiguracoes()
{
    setObjectName(QStringLiteral("Frmconfiguracoes"));
    setWindowTitle(QStringLiteral("Configurações do Sistema"));

    auto* frame = new QGroupBox(QStringLiteral("Configurações do Sistema"), this);
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    auto* principal = new QHBoxLayout(frame);
    auto* esquerda = new QVBoxLayout;
    auto* direita = new QVBoxLayout;
    principal->addLayout(esquerda);
    principal->addSpacing(12);
    principal->addLayout(direita);

    // Receipt.
    auto* recibo = new QGroupBox(QStringLiteral("Impressão de Recibo"), frame);
    auto* lrecibo = new QVBoxLayout(recibo);
    auto* vias = new QGroupBox(recibo);
    auto* lvias = new QVBoxLayout(vias);
    auto* grupovias = new QButtonGroup(this);
    optrecibo_[0] = opcao(QStringLiteral("optrecibo0"), QStringLiteral("Somnente 1 Via"), vias, grupovias);
    optrecibo_[1] = opcao(QStringLiteral("optrecibo1"), QStringLiteral("2 Vias"), vias, grupovias);
    lvias->addWidget(optrecibo_[0]);
    lvias->addWidget(optrecibo_[1]);
    auto* cores = new QGroupBox(recibo);
    auto* lcores = new QVBoxLayout(cores);
    auto* grupocores = new QButtonGroup(this);
    optcorrecibo_[0] = opcao(QStringLiteral("optcorrecibo0"), QStringLiteral("&Colorido"), cores, grupocores);
    optcorrecibo_[1] = opcao(QStringLiteral("optcorrecibo1"), QStringLiteral("&Monocromático"), cores, grupocores);
    lcores->addWidget(optcorrecibo_[0]);
    lcores->addWidget(optcorrecibo_[1]);
    auto* pares = new QHBoxLayout;
    pares->addWidget(vias);
    pares->addWidget(cores);
    lrecibo->addLayout(pares);
    chkcodigo_ = caixa("chkcodigo", "Imprimir Código do Dizimista", recibo);
    chkmargem_ = caixa("chkmargem", "Imprimir Margem", recibo);
    chkmesreferencia_ = caixa("chkmesreferencia", "Emitr Mês de Referência", recibo);
    for (QCheckBox* c : {chkcodigo_, chkmargem_, chkmesreferencia_})
        lrecibo->addWidget(c);
    auto* rotulocentral = new QLabel(QStringLiteral("Mensagem Central do Recibo"), recibo);
    rotulocentral->setAlignment(Qt::AlignCenter);
    txtmensagemcentral_ = new QLineEdit(recibo);
    txtmensagemcentral_->setObjectName(QStringLiteral("txtmensagemcentral"));
    txtmensagemcentral_->setAlignment(Qt::AlignCenter);
    lrecibo->addWidget(rotulocentral);
    lrecibo->addWidget(txtmensagemcentral_);
    esquerda->addWidget(recibo);

    // Start-up: the sweep with its days, and the login.
    auto* sistema = new QGroupBox(frame);
    auto* lsistema = new QHBoxLayout(sistema);
    auto* checks = new QVBoxLayout;
    chkbloqueia_ = caixa("chkbloqueia", "Bloquear por Inatividade", sistema);
    chkiniciaauto_ = caixa("chkiniciaauto", "Iniciar sem digitar senha", sistema);
    checks->addWidget(chkbloqueia_);
    checks->addWidget(chkiniciaauto_);
    checks->addStretch();
    lsistema->addLayout(checks, 1);
    frametempolimite_ = new QGroupBox(QStringLiteral("Tempo Limite"), sistema);
    frametempolimite_->setObjectName(QStringLiteral("Frametempolimite"));
    auto* ltempo = new QHBoxLayout(frametempolimite_);
    txttempolimite_ = new QLineEdit(frametempolimite_);
    txttempolimite_->setObjectName(QStringLiteral("txttempolimite"));
    txttempolimite_->setAlignment(Qt::AlignCenter);
    txttempolimite_->setMaximumWidth(80);
    txttempolimite_->installEventFilter(this);
    ltempo->addWidget(txttempolimite_);
    ltempo->addWidget(new QLabel(QStringLiteral("Dias"), frametempolimite_));
    // Its place stays when hidden, so the frame does not jump when the box is checked.
    QSizePolicy politica = frametempolimite_->sizePolicy();
    politica.setRetainSizeWhenHidden(true);
    frametempolimite_->setSizePolicy(politica);
    frametempolimite_->hide();
    lsistema->addWidget(frametempolimite_);
    esquerda->addWidget(sistema);

    // Data folder ("Buscar" and "Padrão" have no behaviour).
    auto* dados = new QGroupBox(QStringLiteral("Caminho de Dados"), frame);
    auto* ldados = new QHBoxLayout(dados);
    txtcaminhodados_ = new QLineEdit(dados);
    txtcaminhodados_->setObjectName(QStringLiteral("txtcaminho0"));
    txtcaminhodados_->setMinimumWidth(240);
    auto* buscar = new QPushButton(QStringLiteral("Buscar"), dados);
    buscar->setEnabled(false);
    auto* padrao = new QCheckBox(QStringLiteral("Padrão"), dados);
    padrao->setEnabled(false);
    ldados->addWidget(txtcaminhodados_, 1);
    ldados->addWidget(buscar);
    ldados->addWidget(padrao);
    esquerda->addWidget(dados);
    esquerda->addStretch();

    // Background picture and the window's buttons.
    logoigreja_ = new QLabel(frame);
    logoigreja_->setObjectName(QStringLiteral("logoigreja"));
    logoigreja_->setFixedSize(292, 200);
    logoigreja_->setFrameShape(QFrame::StyledPanel);
    logoigreja_->setScaledContents(true);
    logoigreja_->setPixmap(QPixmap::fromImage(figurapadraofundo()));
    direita->addWidget(logoigreja_);
    auto* lfundo = new QHBoxLayout;
    auto* alteralogo = botao("cmdalteralogo", "Alterar Fundo", frame);
    auto* excluilogo = botao("cmdexcluilogo", "Excluir Fundo", frame);
    lfundo->addWidget(alteralogo);
    lfundo->addWidget(excluilogo);
    direita->addLayout(lfundo);
    direita->addStretch();
    auto* salvar = botao("cmdsalvar", "&Salvar && Sair", frame);
    auto* restaurar = botao("cmdrestaurar", "&Restaurar", frame);
    auto* voltar = botao("cmdvoltar", "&Sair", frame);
    for (QPushButton* b : {salvar, restaurar, voltar})
        direita->addWidget(b);
    frame->adjustSize();

    txtcaminhologo_ = new QLineEdit(this);
    txtcaminhologo_->setObjectName(QStringLiteral("txtcaminho3"));
    txtcaminhologo_->hide();

    connect(chkbloqueia_, &QCheckBox::toggled, frametempolimite_, &QWidget::setVisible);
    connect(salvar, &QPushButton::clicked, this, &FrmConfiguracoes::salvar);
    connect(restaurar, &QPushButton::clicked, this, &FrmConfiguracoes::restaurar);
    connect(voltar, &QPushButton::clicked, this, &FrmConfiguracoes::voltar);
    connect(alteralogo, &QPushButton::clicked, this, &FrmConfiguracoes::alterarfundo);
    connect(excluilogo, &QPushButton::clicked, this, &FrmConfiguracoes::excluirfundo);

    mostrabarraprincipal(false);
    carregaconfiguracoes(lerconfiguracoes());
    txtcaminhologo_->setText(lertextopadrao(QStringLiteral("caminhologo")));
    carregalogoigreja(this);
    mantemframecentralizado(this);
}

bool FrmConfiguracoes::event(QEvent* e)
{
    if (e->type() == QEvent::Show)
        mostrabarraprincipal(false);
    return QWidget::event(e);
}

bool FrmConfiguracoes::eventFilter(QObject* o, QEvent* e)
{
    if (o == txttempolimite_ && e->type() == QEvent::FocusOut)
        txttempolimite_->setText(normalizatempolimite(txttempolimite_->text()));
    return QWidget::eventFilter(o, e);
}

void FrmConfiguracoes::carregaconfiguracoes(const Configuracoes& c)
{
    optrecibo_[c.umavia ? 0 : 1]->setChecked(true);
    optcorrecibo_[c.colorido ? 0 : 1]->setChecked(true);
    chkbloqueia_->setChecked(c.bloqueia);
    chkiniciaauto_->setChecked(c.iniciaauto);
    chkcodigo_->setChecked(c.codigo);
    chkmargem_->setChecked(c.margem);
    chkmesreferencia_->setChecked(c.mesreferencia);
    txttempolimite_->setText(c.tempolimite);
    txtcaminhodados_->setText(c.caminhopadrao);
    txtmensagemcentral_->setText(c.msgcentral);
}

Configuracoes FrmConfiguracoes::configuracoesdajanela() const
{
    Configuracoes c;
    c.umavia = optrecibo_[0]->isChecked();
    c.colorido = optcorrecibo_[0]->isChecked();
    c.bloqueia = chkbloqueia_->isChecked();
    c.iniciaauto = chkiniciaauto_->isChecked();
    c.codigo = chkcodigo_->isChecked();
    c.margem = chkmargem_->isChecked();
    c.mesreferencia = chkmesreferencia_->isChecked();
    c.tempolimite = txttempolimite_->text();
    c.caminhopadrao = txtcaminhodados_->text();
    c.msgcentral = txtmensagemcentral_->text();
    return c;
}

void FrmConfiguracoes::salvar()
{
    txttempolimite_->setText(normalizatempolimite(txttempolimite_->text()));
    const Configuracoes c = configuracoesdajanela();
    const QString problema = verificapastadados(c.caminhopadrao);
    if (!problema.isEmpty()) {
        Dialogos::msgbox(problema, Dialogos::Alerta);
        txtcaminhodados_->setFocus();
        txtcaminhodados_->selectAll();
        return;
    }
    if (!gravaconfiguracoes(c)) {
        Dialogos::msgbox(QString::fromUtf8(FALHA_GRAVACAO), Dialogos::Alerta);
        return;
    }
    // The folder just chosen: closed to other accounts now, or the user hears why not.
    if (!c.caminhopadrao.isEmpty())
        Banco::protegepastadados(c.caminhopadrao);
    fechajanelas();
}

void FrmConfiguracoes::restaurar()
{
    if (restaurapadroes(true))
        fechajanelas();
}

void FrmConfiguracoes::voltar()
{
    if (Dialogos::msgbox(QStringLiteral("Deseja abandonar a tela de configurações sem salvar as alterações?"), Dialogos::Pergunta)
        == Dialogos::Sim)
        fechajanelas();
}

void FrmConfiguracoes::alterarfundo()
{
    const QString caminho = Dialogos::abrirArquivo(
        QStringLiteral("Selecione o arquivo de imagem para fundo do sistema"), QCoreApplication::applicationDirPath(),
        QStringLiteral("Arquivos de Imagem (*.jpg *.JPG *.jpeg *.JPEG *.png *.PNG)"));
    if (caminho.isEmpty())
        return;
    QImage figura;
    if (arquivoexiste(caminho)) {
        QImageReader leitor(caminho);
        leitor.setAutoTransform(true);
        figura = leitor.read();
    }
    if (figura.isNull()) {
        Dialogos::msgbox(QStringLiteral("O arquivo \"%1\" não é uma imagem que o sistema consiga abrir. "
                                        "O fundo atual foi mantido.")
                             .arg(caminho),
                         Dialogos::Alerta);
        return;
    }
    if (!gravatextopadrao(QStringLiteral("caminhologo"), caminho)) {
        Dialogos::msgbox(QString::fromUtf8(FALHA_GRAVACAO) + QStringLiteral(" O fundo atual foi mantido."), Dialogos::Alerta);
        return;
    }
    txtcaminhologo_->setText(caminho);
    logoigreja_->setPixmap(QPixmap::fromImage(figura));
    if (FrmPrincipal* p = FrmPrincipal::atual())
        p->definefundo(caminho);
}

void FrmConfiguracoes::excluirfundo()
{
    if (Dialogos::msgbox(QStringLiteral("Deseja apagar a logotipo do sistema?"), Dialogos::Pergunta) != Dialogos::Sim)
        return;
    // Only the setting goes: the picture file stays where it is.
    if (!gravatextopadrao(QStringLiteral("caminhologo"), QString())) {
        Dialogos::msgbox(QString::fromUtf8(FALHA_GRAVACAO), Dialogos::Alerta);
        return;
    }
    txtcaminhologo_->clear();
    logoigreja_->clear();
    if (FrmPrincipal* p = FrmPrincipal::atual())
        p->limpafundo();
    Dialogos::msgbox(QStringLiteral("Logotipo principal excluído com sucesso!!!"), Dialogos::Informacao);
}

}  // namespace tivane
