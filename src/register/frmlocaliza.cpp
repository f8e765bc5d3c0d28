#include "register/frmlocaliza.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tivane {

namespace {

static RegistroJanela reg("frmlocaliza", [] { return new FrmLocaliza; }, Janelas::Independente);

// A text of one character finds the values that begin with it; a longer one
// those that contain it.
QString padraoParcial(const QString& parte)
{
    return parte.size() == 1 ? parte + QLatin1Char('%') : QLatin1Char('%') + parte + QLatin1Char('%');
}

}  // namespace

bool buscalocalizador(int modo, const QString& parte, int tipo, QVector<LinhaBusca>* resultado, QString* causa)
{
    QVector<LinhaBusca> linhas;
    // Each LIKE is compared with 1 rather than tested as a truth value: the
    // engine tests a truth value by turning it into a floating-point number,
    // which on every row of a whole-table search cost more than the match.
    QString sql;
    QString valor;
    bool terceira = false;
    if (tipo == BUSCA_USUARIOS) {
        if (modo == PorNome)
            sql = QStringLiteral("SELECT nome, codigo FROM usuarios WHERE (nome LIKE ?) = 1");
        else if (modo == PorCodigo)
            sql = QStringLiteral("SELECT nome, codigo FROM usuarios WHERE (codigo LIKE ?) = 1");
    } else if (tipo == BUSCA_DIZIMISTAS) {
        switch (modo) {
        case PorNome: sql = QStringLiteral("SELECT nome, codigo FROM dizimistas WHERE (nome LIKE ?) = 1"); break;
        case PorCodigo: sql = QStringLiteral("SELECT nome, codigo FROM dizimistas WHERE (codigo LIKE ?) = 1"); break;
        case PorBarras:
            sql = QStringLiteral("SELECT nome, codigo, barras FROM dizimistas WHERE barras = ?");
            terceira = true;
            break;
        case PorTelefone:
            sql = QStringLiteral("SELECT nome, codigo, tel FROM dizimistas WHERE (tel LIKE ?) = 1");
            terceira = true;
            break;
        case PorNascimento: sql = QStringLiteral("SELECT nome, codigo FROM dizimistas WHERE (nascimento LIKE ?) = 1"); break;
        default: break;
        }
    }
    if (sql.isEmpty()) {
        resultado->clear();
        return true;
    }
    if (modo == PorNome)
        valor = QLatin1Char('%') + parte + QLatin1Char('%');
    else if (modo == PorBarras)
        valor = parte;
    else
        valor = padraoParcial(parte);

    Escopo e = tipo == BUSCA_USUARIOS ? abreconexaousuarios() : abreconexaodizimistas();
    if (!e)
        return falhou(causa, e.causa());
    // The text is bound, never spliced: apostrophes search like any letter.
    Consulta c(sql);
    c.bind(valor);
    while (c.next())
        linhas.append({c.text(0), c.text(1), terceira ? c.text(2) : QString()});
    if (!c.ok())
        return falhou(causa, c.erro());
    *resultado = std::move(linhas);
    return true;
}

FrmLocaliza::FrmLocaliza()
{
    setObjectName(QStringLiteral("frmlocaliza"));
    setWindowTitle(QStringLiteral("Localizador Quarda Legal"));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addWidget(frame);

    lbltitulo_ = new QLabel(QStringLiteral("Buscar Dizimista"), frame);
    lbltitulo_->setObjectName(QStringLiteral("lbltitulo"));
    lbltitulo_->setAlignment(Qt::AlignCenter);
    lbltitulo_->setFrameShape(QFrame::Box);
    QFont fonte(QStringLiteral("Times New Roman"));
    fonte.setPointSize(24);
    lbltitulo_->setFont(fonte);

    txtnome_ = new QLineEdit(frame);
    txtnome_->setObjectName(QStringLiteral("txtnome"));
    cmdbuscar_ = new QPushButton(QStringLiteral("Buscar"), frame);
    cmdbuscar_->setObjectName(QStringLiteral("cmdbuscar"));

    auto* opcoes = new QGroupBox(frame);
    auto* layoutOpcoes = new QHBoxLayout(opcoes);
    const QString legendas[5] = {QStringLiteral("Parte do &Nome"), QStringLiteral("&Código"),
                                 QStringLiteral("Código de &Barras"), QStringLiteral("&Telefone"),
                                 QStringLiteral("&Data de Nascimento")};
    for (int i = 0; i < 5; ++i) {
        optopcao_[i] = new QRadioButton(legendas[i], opcoes);
        optopcao_[i]->setObjectName(QStringLiteral("optopcao%1").arg(i));
        layoutOpcoes->addWidget(optopcao_[i]);
    }
    optopcao_[0]->setChecked(true);

    lista_ = new QTreeWidget(frame);
    lista_->setObjectName(QStringLiteral("lista"));
    lista_->setRootIsDecorated(false);
    lista_->setUniformRowHeights(true);
    lista_->setSelectionMode(QAbstractItemView::SingleSelection);
    lista_->setHeaderLabels({QStringLiteral("Nome"), QStringLiteral("Código")});
    const Twips twips(this);
    lista_->setColumnWidth(0, twips.x(2401));
    lista_->setColumnWidth(1, twips.x(900));
    lista_->setSortingEnabled(false);
    lista_->header()->setSectionsClickable(true);
    lista_->setMinimumSize(twips.x(6400), twips.y(3000));

    cmdselecionado_ = new QPushButton(QStringLiteral("Selecionado"), frame);
    cmdselecionado_->setObjectName(QStringLiteral("cmdselecionado"));
    cmdsair_ = new QPushButton(QStringLiteral("S&air"), frame);
    cmdsair_->setObjectName(QStringLiteral("cmdsair"));

    lbldestino_ = new QLabel(QStringLiteral("Janela de Destino"), frame);
    lbldestino_->setObjectName(QStringLiteral("lbldestino"));
    lbldestino_->setAlignment(Qt::AlignCenter);
    lbldestino_->setFrameShape(QFrame::Box);
    lblnomedoform_ = new QLabel(QStringLiteral("1"), frame);
    lblnomedoform_->setObjectName(QStringLiteral("lblnomedoform"));
    lblnomedoform_->hide();
    lbltipo_ = new QLabel(QStringLiteral("1"), frame);
    lbltipo_->setObjectName(QStringLiteral("lbltipo"));
    lbltipo_->hide();

    auto* grade = new QGridLayout(frame);
    grade->addWidget(lbltitulo_, 0, 0, 1, 3);
    grade->addWidget(txtnome_, 1, 0, 1, 2);
    grade->addWidget(cmdbuscar_, 1, 2);
    grade->addWidget(opcoes, 2, 0, 1, 3);
    grade->addWidget(lista_, 3, 0, 1, 3);
    auto* destino = new QHBoxLayout;
    destino->addWidget(new QLabel(QStringLiteral("Janela de Destino:"), frame));
    destino->addWidget(lbldestino_, 1);
    grade->addLayout(destino, 4, 0);
    grade->addWidget(cmdselecionado_, 4, 1);
    grade->addWidget(cmdsair_, 4, 2);

    connect(cmdbuscar_, &QPushButton::clicked, this, &FrmLocaliza::buscar);
    connect(cmdselecionado_, &QPushButton::clicked, this, &FrmLocaliza::selecionado);
    connect(cmdsair_, &QPushButton::clicked, this, [] { Janelas::fecha(QStringLiteral("frmlocaliza")); });
    connect(lista_, &QTreeWidget::itemDoubleClicked, this, [this] { selecionado(); });
    connect(lista_, &QTreeWidget::itemClicked, this, [this] { definepadrao(cmdselecionado_); });
    connect(lista_->header(), &QHeaderView::sectionClicked, this, &FrmLocaliza::ordenapelacoluna);
    txtnome_->installEventFilter(this);
    lista_->installEventFilter(this);

    // Enter presses the default button of the moment; Esc leaves.
    for (int tecla : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto* enter = new QShortcut(QKeySequence(tecla), this);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, this, [this] {
            if (padrao_)
                padrao_->click();
        });
    }
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, cmdsair_, &QPushButton::click);
    definepadrao(cmdselecionado_);
}

void FrmLocaliza::definepadrao(QPushButton* botao)
{
    padrao_ = botao;
    cmdbuscar_->setDefault(botao == cmdbuscar_);
    cmdselecionado_->setDefault(botao == cmdselecionado_);
}

bool FrmLocaliza::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        if (o == txtnome_)
            definepadrao(cmdbuscar_);
        else if (o == lista_)
            definepadrao(cmdselecionado_);
    }
    return QWidget::eventFilter(o, e);
}

void FrmLocaliza::buscar()
{
    lista_->clear();
    ModoBusca modo = PorNome;
    for (int i = 0; i < 5; ++i)
        if (optopcao_[i]->isChecked())
            modo = ModoBusca(i);
    const QString parte = txtnome_->text();
    switch (modo) {
    case PorNome: carregalistaporpartedonome(parte, tipo_); break;
    case PorCodigo: carregalistaporcodigo(parte, tipo_); break;
    case PorBarras: carregalistaporcodigodebarras(parte, tipo_); break;
    case PorTelefone: carregalistaportelefone(parte, tipo_); break;
    case PorNascimento: carregalistaporpis(parte, tipo_); break;
    }
}

void FrmLocaliza::adiciona(const QVector<LinhaBusca>& linhas, bool terceira)
{
    QList<QTreeWidgetItem*> itens;
    itens.reserve(linhas.size());
    for (const LinhaBusca& l : linhas) {
        QStringList textos{l.nome, l.codigo};
        if (terceira)
            textos << l.extra;
        itens << new ItemAlfabetico(textos);
    }
    lista_->setUpdatesEnabled(false);
    lista_->addTopLevelItems(itens);
    if (colunaordem_ >= 0)
        lista_->sortItems(colunaordem_, Qt::AscendingOrder);
    lista_->setUpdatesEnabled(true);
}

void FrmLocaliza::busca(ModoBusca modo, const QString& parte, TipoBusca tipo, bool terceira)
{
    QVector<LinhaBusca> linhas;
    QString causa;
    if (!buscalocalizador(modo, parte, tipo, &linhas, &causa)) {
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível fazer a busca"), causa);
        return;
    }
    adiciona(linhas, terceira);
}

void FrmLocaliza::tiraterceiracoluna()
{
    if (lista_->columnCount() == 3) {
        lista_->setColumnCount(2);
        if (colunaordem_ >= 2)
            colunaordem_ = -1;
    }
}

void FrmLocaliza::carregalistaporpartedonome(const QString& parte, TipoBusca tipo)
{
    busca(PorNome, parte, tipo, false);
}

void FrmLocaliza::carregalistaporcodigo(const QString& parte, TipoBusca tipo)
{
    busca(PorCodigo, parte, tipo, false);
}

void FrmLocaliza::carregalistaporcodigodebarras(const QString& parte, TipoBusca tipo)
{
    if (tipo != BUSCA_DIZIMISTAS)
        return;
    tiraterceiracoluna();
    lista_->setColumnCount(3);
    lista_->headerItem()->setText(2, QStringLiteral("Barras"));
    busca(PorBarras, parte, tipo, true);
}

void FrmLocaliza::carregalistaportelefone(const QString& parte, TipoBusca tipo)
{
    tiraterceiracoluna();
    lista_->setColumnCount(3);
    lista_->headerItem()->setText(2, QStringLiteral("Telefone"));
    if (tipo == BUSCA_DIZIMISTAS)
        busca(PorTelefone, parte, tipo, true);
}

void FrmLocaliza::carregalistaporpis(const QString& parte, TipoBusca tipo)
{
    tiraterceiracoluna();
    if (tipo == BUSCA_DIZIMISTAS)
        busca(PorNascimento, parte, tipo, false);
}

void FrmLocaliza::ordenapelacoluna(int coluna)
{
    // Always ascending, by text; later searches keep the order.
    colunaordem_ = coluna;
    lista_->header()->setSortIndicatorShown(true);
    lista_->header()->setSortIndicator(coluna, Qt::AscendingOrder);
    lista_->sortItems(coluna, Qt::AscendingOrder);
}

void FrmLocaliza::selecionado()
{
    QTreeWidgetItem* item = lista_->currentItem();
    if (lista_->topLevelItemCount() == 0 || !item || !item->isSelected())
        return;
    retornaselecionado(tipo_);
}

void FrmLocaliza::defineorigem(const QString& janela, TipoBusca tipo, QWidget* chamador, RetornoBusca aoescolher)
{
    tipo_ = tipo;
    chamador_ = chamador;
    aoescolher_ = std::move(aoescolher);
    lblnomedoform_->setText(janela);
    lbltipo_->setText(QString::number(tipo));
    if (tipo == BUSCA_DIZIMISTAS) {
        lbltitulo_->setText(QStringLiteral("Busca de Dizimistas"));
        lbldestino_->setText(QStringLiteral("Cadastro de Dizimistas"));
    }
}

RetornoBusca FrmLocaliza::devolucao() const
{
    // The caller may have been closed while the search stayed open: then
    // there is nothing to write into.
    return [chamador = chamador_, aoescolher = aoescolher_](const QString& codigo) {
        if (aoescolher && Janelas::aberta(chamador))
            aoescolher(codigo);
    };
}

bool FrmLocaliza::codigoescolhido(QString* codigo) const
{
    QTreeWidgetItem* item = lista_->currentItem();
    if (!item)
        return false;
    *codigo = item->text(1);
    return true;
}

void abrelocalizador(const QString& janela, int tipo, QWidget* chamador, RetornoBusca aoescolher)
{
    if (auto* busca = qobject_cast<FrmLocaliza*>(Janelas::abre(QStringLiteral("frmlocaliza"))))
        busca->defineorigem(janela, TipoBusca(tipo), chamador, std::move(aoescolher));
}

void retornaselecionado(int)
{
    auto* busca = Janelas::instancia<FrmLocaliza>(QStringLiteral("frmlocaliza"));
    if (!busca)
        return;
    QString codigo;
    const bool escolhido = busca->codigoescolhido(&codigo);
    const RetornoBusca devolve = busca->devolucao();
    Janelas::fecha(QStringLiteral("frmlocaliza"));
    if (escolhido)
        devolve(codigo);
}

}  // namespace tivane
