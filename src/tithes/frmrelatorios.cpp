#include "tithes/frmrelatorios.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "register/caixadizimista.h"
#include "register/dizimistas.h"
#include "register/frmlocaliza.h"
#include "core/frmaguarde.h"
#include "core/igreja.h"
#include "tithes/frmfolhaderelatorio.h"

namespace tivane {

namespace {

// The second of the windows that fechajanelas closes.
RegistroJanela reg("frmrelatorios", [] { return new FrmRelatorios; }, Janelas::Mdi, 2);

FrmRelatorios* abrejanela()
{
    return qobject_cast<FrmRelatorios*>(Janelas::abre(QStringLiteral("frmrelatorios")));
}

RegistroComando cmdRecebimentos("mnurelatrecebimentos", [] {
    if (FrmRelatorios* f = abrejanela())
        f->escolhetipo(FrmRelatorios::PorPeriodo);
});
RegistroComando cmdDados("mnudadoscadastro", [] {
    if (FrmRelatorios* f = abrejanela())
        f->escolhetipo(FrmRelatorios::DadosDeCadastro);
});
RegistroComando cmdBairro("mnurelatdizimistabairro", [] {
    if (FrmRelatorios* f = abrejanela())
        f->janeladizimistaporbairro();
});
RegistroComando cmdAniversariantes("mnurelataniversarianmtes", [] { promptaniversariantes(); });

const QColor LARANJA(192, 64, 0);       // caption of the main frame

const char* const SUCESSO = "Relatório Emitido com sucesso!";


enum Coluna { ColCodigo, ColNome, ColEndereco, ColTelefone, ColEmail, ColNascimento, ColDia, ColTelefone2, ColCelular };


// While a period report runs: the main window hidden, the please-wait window
// shown; both put back however the report ends.
class EsperaRelatorio {
public:
    explicit EsperaRelatorio(int dias)
    {
        FrmAguarde::abre();
        FrmAguarde::defineMaximo(dias);
    }
    ~EsperaRelatorio() { FrmAguarde::fecha(); }   // then the main window comes back
    EsperaRelatorio(const EsperaRelatorio&) = delete;
    EsperaRelatorio& operator=(const EsperaRelatorio&) = delete;

private:
    JanelaOculta principal_{janelaprincipal()};
};

bool datadoperiodo(const QString& texto, const QString& qual, QDate* data)
{
    *data = QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
    if (data->isValid())
        return true;
    Dialogos::msgbox(QStringLiteral("A data %1 (%2) não existe no calendário! Escolha outra data.").arg(qual, texto), Dialogos::Alerta);
    return false;
}

// The church's record for a report's header; false (after saying why) when it cannot be read.
bool igrejadorelatorio(DadosIgreja* igreja)
{
    const Leitura lida = carregaigreja(igreja);
    if (lida != Leitura::Falha)
        return true;
    Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler os dados da igreja para o cabeçalho"), lida.causa());
    return false;
}

using Montador = ResultadoRelatorio (*)(const PeriodoRelatorio&, const DadosIgreja&, const QDate&, const FonteDia&,
                                        const ProgressoDia&);

// Builds a period report day by day from the database, with the wait window.
void executarelatorioperiodo(const PeriodoRelatorio& periodo, Montador montador, ColunasPagamento colunas)
{
    DadosIgreja igreja;
    if (!igrejadorelatorio(&igreja))
        return;
    ResultadoRelatorio r;
    {
        EsperaRelatorio espera(int(periodo.inicio.daysTo(periodo.fim)) + 1);
        LeitorPagamentosDia leitor(colunas);
        if (!leitor.ok()) {
            r.erro = QStringLiteral("Não foi possível ler os recebimentos");
            if (!leitor.causa().isEmpty())
                r.erro += QStringLiteral(": ") + leitor.causa();
            r.erro += QStringLiteral(".");
        } else {
            const auto fonte = [&leitor](const QString& dia, QVector<LinhaPagamento>& linhas) {
                return leitor.le(dia, linhas);
            };
            const auto progresso = [](int contador, int) {
                // Lets the wait window repaint; nothing the user does runs meanwhile.
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                FrmAguarde::defineValor(contador);
            };
            r = montador(periodo, igreja, QDate::currentDate(), fonte, progresso);
        }
    }
    if (!r.ok) {
        Dialogos::msgbox(r.erro, Dialogos::Alerta);
        return;
    }
    QPointer<FrmFolhaDeRelatorio> pagina = exibefolhaderelatorio(r.texto);
    Dialogos::msgbox(QString::fromUtf8(SUCESSO), Dialogos::Informacao);
    if (pagina)
        pagina->activateWindow();
}

void mostrarelatorio(const QString& texto, bool justificar)
{
    QPointer<FrmFolhaDeRelatorio> pagina = exibefolhaderelatorio(texto);
    if (pagina && justificar)
        pagina->justifica(0, texto.size());
    Dialogos::msgbox(QString::fromUtf8(SUCESSO), Dialogos::Informacao);
    if (pagina)
        pagina->activateWindow();
}

}  // namespace

// ---- The window -------------------------------------------------------------------

FrmRelatorios::FrmRelatorios()
{
    setObjectName(QStringLiteral("frmrelatorios"));
    setWindowTitle(QStringLiteral("Relatórios"));

    const Twips r(this);
    const auto nome = [](QWidget* w, const QString& n) {
        w->setObjectName(n);
        return w;
    };
    const auto grupo = [&](QWidget* pai, const QString& n, const QString& legenda, const QRect& g) {
        auto* b = new QGroupBox(legenda, pai);
        nome(b, n);
        b->setGeometry(g);
        return b;
    };

    frame_ = grupo(this, QStringLiteral("Frameprincipal"), QStringLiteral("Relatórios"), r(0, 0, 7575, 7455));
    frame_->setFont(fonteserif(12));
    {
        QPalette p = frame_->palette();
        p.setColor(QPalette::WindowText, LARANJA);
        frame_->setPalette(p);
    }
    // The panels use the plain font and colours; only the main frame's caption is orange.
    QFont fonteComum(QStringLiteral("Liberation Sans"), 9);
    fonteComum.setBold(false);
    QPalette paletaComum = palette();
    paletaComum.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));

    // ---- Choice panel
    framerelatorios_ = new QFrame(frame_);
    nome(framerelatorios_, QStringLiteral("Framerelatorios"));
    framerelatorios_->setFrameShape(QFrame::NoFrame);
    framerelatorios_->setGeometry(r(240, 360, 7095, 6975));
    framerelatorios_->setFont(fonteComum);
    framerelatorios_->setPalette(paletaComum);

    const QString legendas[3] = {QStringLiteral("Recebimento de Dízimos por Período"),
                                 QStringLiteral("Recebimentos por dizimista"), QStringLiteral("Dados de Cadastro")};
    const QStyle::StandardPixmap icones[3] = {QStyle::SP_FileDialogContentsView, QStyle::SP_FileDialogInfoView,
                                              QStyle::SP_FileDialogDetailedView};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton(framerelatorios_);
        nome(b, QStringLiteral("cmdtiporelatorio%1").arg(i));
        // The caption wraps under the picture as on the big buttons of the old window.
        QString quebrada = legendas[i];
        const int meio = quebrada.indexOf(u' ', quebrada.size() / 2 - 3);
        if (quebrada.size() > 20 && meio > 0)
            quebrada[meio] = u'\n';
        b->setText(quebrada);
        b->setToolTip(legendas[i]);
        b->setIcon(style()->standardIcon(icones[i]));
        b->setIconSize(QSize(40, 40));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFont(fonteserif(12));
        b->setGeometry(r(i * 2280, 0, 2295, 1695));
        cmdtiporelatorio_[i] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { cmdtiporelatorio_Click(i); });
    }

    // Period
    frameperiodo_ = grupo(framerelatorios_, QStringLiteral("Frameperiodo"), QStringLiteral("Selecione um Período"),
                          r(840, 2040, 4815, 1455));
    for (int linha = 0; linha < 2; ++linha) {
        auto* l = new QLabel(linha == 0 ? QStringLiteral("De:") : QStringLiteral("Até:"), frameperiodo_);
        l->setGeometry(r(120, 360 + linha * 480, 495, 315));
        combodias_[linha] = new QComboBox(frameperiodo_);
        nome(combodias_[linha], QStringLiteral("combodias%1").arg(linha));
        combodias_[linha]->setGeometry(r(720, 360 + linha * 480, 855, 315));
        combomes_[linha] = new QComboBox(frameperiodo_);
        nome(combomes_[linha], QStringLiteral("Combomes%1").arg(linha));
        combomes_[linha]->setGeometry(r(1680, 360 + linha * 480, 1815, 315));
        comboano_[linha] = new QComboBox(frameperiodo_);
        nome(comboano_[linha], QStringLiteral("comboano%1").arg(linha));
        comboano_[linha]->setGeometry(r(3600, 360 + linha * 480, 1095, 315));
    }
    frameperiodo_->hide();

    frameopcaoperiodo_ = grupo(framerelatorios_, QStringLiteral("Frameopcaoperiodo"), QStringLiteral("Opções"),
                               r(840, 3600, 4815, 1455));
    optperiodo_[0] = new QRadioButton(QStringLiteral("Exibição de Nomes dos Dizimista"), frameopcaoperiodo_);
    optperiodo_[1] = new QRadioButton(QStringLiteral("Exibir Apenas Valores Diários"), frameopcaoperiodo_);
    for (int i = 0; i < 2; ++i) {
        nome(optperiodo_[i], QStringLiteral("optperiodo%1").arg(i));
        optperiodo_[i]->setGeometry(r(240, 360 + i * 480, 4335, 315));
    }
    optperiodo_[0]->setChecked(true);
    frameopcaoperiodo_->hide();

    // One tither
    frameseleciona_ = new QFrame(framerelatorios_);
    nome(frameseleciona_, QStringLiteral("Frameseleciona"));
    frameseleciona_->setGeometry(r(120, 3600, 6855, 1455));
    {
        auto* l = new QLabel(QStringLiteral("Dizimista:"), frameseleciona_);
        l->setGeometry(r(120, 480, 855, 255));
    }
    txtcodigodizimista_ = new QLineEdit(frameseleciona_);
    nome(txtcodigodizimista_, QStringLiteral("txtcodigodizimista"));
    txtcodigodizimista_->setGeometry(r(1080, 480, 855, 285));
    txtnomedizimista_ = new QLineEdit(frameseleciona_);
    nome(txtnomedizimista_, QStringLiteral("txtnomedizimista"));
    txtnomedizimista_->setGeometry(r(1920, 480, 3495, 285));
    // Two lines: on one the caption does not fit the narrow button.
    cmdprocurar_ = new QPushButton(QStringLiteral("&Procurar\nDízimista"), frameseleciona_);
    nome(cmdprocurar_, QStringLiteral("cmdprocurar"));
    cmdprocurar_->setGeometry(r(5520, 240, 1215, 975));
    frameseleciona_->hide();

    // Registration data: filter and list
    framedados_ = grupo(framerelatorios_, QStringLiteral("framedados"), QStringLiteral("Dados de Cadastro"),
                        r(120, 1920, 6855, 3015));
    {
        auto* filtro = grupo(framedados_, QStringLiteral("Framefiltro"), QStringLiteral("Filtro"),
                             r(120, 240, 6615, 615));
        const QString f[3] = {QStringLiteral("&Todos"), QStringLiteral("&Ativos"), QStringLiteral("&Inativos")};
        for (int i = 0; i < 3; ++i) {
            optfiltro_[i] = new QRadioButton(f[i], filtro);
            nome(optfiltro_[i], QStringLiteral("optfiltro%1").arg(i));
            optfiltro_[i]->setGeometry(r(120 + i * 1440, 240, 1335, 315));
        }
        optfiltro_[0]->setChecked(true);
        cmdfiltra_ = new QPushButton(QStringLiteral("&Filtrar"), filtro);
        nome(cmdfiltra_, QStringLiteral("cmdfiltra"));
        cmdfiltra_->setGeometry(r(5160, 180, 1335, 375));
    }
    listadizimistas_ = new QTreeWidget(framedados_);
    nome(listadizimistas_, QStringLiteral("listadizimistas"));
    listadizimistas_->setGeometry(r(120, 960, 6615, 1935));
    listadizimistas_->setRootIsDecorated(false);
    listadizimistas_->setUniformRowHeights(true);
    listadizimistas_->setHeaderLabels({QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Endereço"),
                                       QStringLiteral("Telefone"), QStringLiteral("E-Mail"),
                                       QStringLiteral("Nascimento"), QStringLiteral("Dia"), QStringLiteral("Telefone"),
                                       QStringLiteral("Celular")});
    listadizimistas_->setColumnWidth(ColCodigo, r.x(840));
    listadizimistas_->setColumnWidth(ColNome, r.x(2440));
    for (int c = ColEndereco; c <= ColCelular; ++c)
        listadizimistas_->setColumnHidden(c, true);
    listadizimistas_->header()->setSectionsClickable(true);
    listadizimistas_->header()->setSortIndicatorShown(false);
    framedados_->hide();

    frameopcoes_ = grupo(framerelatorios_, QStringLiteral("Frameopcoes"), QStringLiteral("Opções"),
                         r(240, 5040, 2175, 1815));
    const QString campos[6] = {QStringLiteral("&Nome"),     QStringLiteral("&Endereço"),   QStringLiteral("&Telefone"),
                               QStringLiteral("E&mail"),    QStringLiteral("&Nascimento"), QStringLiteral("&Código")};
    for (int i = 0; i < 6; ++i) {
        chkopcoes_[i] = new QCheckBox(campos[i], frameopcoes_);
        nome(chkopcoes_[i], QStringLiteral("chkopcoes%1").arg(i));
        chkopcoes_[i]->setGeometry(r(120, 240 + i * 255, 1935, 255));
        chkopcoes_[i]->setChecked(true);
    }
    frameopcoes_->hide();

    cmdgerarelatorio_ = new QPushButton(QStringLiteral("Gerar Relatório"), framerelatorios_);
    nome(cmdgerarelatorio_, QStringLiteral("cmdgerarelatorio"));
    cmdgerarelatorio_->setGeometry(r(3000, 5280, 1575, 1455));
    cmdgerarelatorio_->setEnabled(false);
    cmdsair_ = new QPushButton(QStringLiteral("&Sair"), framerelatorios_);
    nome(cmdsair_, QStringLiteral("cmdsair"));
    cmdsair_->setGeometry(r(4560, 5280, 1575, 1455));

    // ---- Neighbourhood panel
    framedizimistabairro_ = grupo(frame_, QStringLiteral("Framedizimistabairro"),
                                  QStringLiteral("Dizimistas Por Bairro"), r(240, 360, 7095, 6975));
    framedizimistabairro_->setFont(fonteComum);
    framedizimistabairro_->setPalette(paletaComum);
    {
        auto* l = new QLabel(QStringLiteral("Digite o Bairro:"), framedizimistabairro_);
        l->setGeometry(r(240, 480, 3000, 255));
    }
    txtbairro_ = new QLineEdit(framedizimistabairro_);
    nome(txtbairro_, QStringLiteral("txtbairro"));
    txtbairro_->setGeometry(r(240, 780, 6495, 315));
    {
        auto* opcoes = grupo(framedizimistabairro_, QStringLiteral("Frameopcoesbairro"), QStringLiteral("Opções"),
                             r(240, 1440, 3255, 1815));
        // Same fields as the choice panel, numbered from 11 down to 6.
        for (int i = 0; i < 6; ++i) {
            const int indice = 11 - i;
            chkopcoes_[indice] = new QCheckBox(campos[i], opcoes);
            nome(chkopcoes_[indice], QStringLiteral("chkopcoes%1").arg(indice));
            chkopcoes_[indice]->setGeometry(r(120 + (i / 3) * 1560, 240 + (i % 3) * 480, 1500, 315));
            chkopcoes_[indice]->setChecked(true);
        }
    }
    cmdgerarelatoriodizimistabairro_ = new QPushButton(QStringLiteral("Gerar Relatório"), framedizimistabairro_);
    nome(cmdgerarelatoriodizimistabairro_, QStringLiteral("cmdgerarelatoriodizimistabairro"));
    cmdgerarelatoriodizimistabairro_->setGeometry(r(3840, 1560, 1575, 1455));
    auto* sai1 = new QPushButton(QStringLiteral("&Sair"), framedizimistabairro_);
    nome(sai1, QStringLiteral("cmdsai1"));
    sai1->setGeometry(r(5400, 1560, 1575, 1455));
    framedizimistabairro_->hide();

    // ---- Analytic panel: no menu item reaches it; only its exit works.
    framerelatoriosanaliticos_ = grupo(frame_, QStringLiteral("Framerelatoriosanaliticos"),
                                       QStringLiteral("Relatórios Analíticos"), r(240, 360, 7095, 6975));
    {
        auto* dias = new QLineEdit(QStringLiteral("30"), framerelatoriosanaliticos_);
        nome(dias, QStringLiteral("txtdias"));
        dias->setGeometry(r(240, 480, 855, 315));
        auto* gerar = new QPushButton(QStringLiteral("Gerar Relatório"), framerelatoriosanaliticos_);
        nome(gerar, QStringLiteral("cmdgerarelatorioanalitico"));
        gerar->setGeometry(r(3840, 5280, 1575, 1455));
        gerar->setEnabled(false);
        auto* sai0 = new QPushButton(QStringLiteral("&Sair"), framerelatoriosanaliticos_);
        nome(sai0, QStringLiteral("cmdsai0"));
        sai0->setGeometry(r(5400, 5280, 1575, 1455));
        connect(sai0, &QPushButton::clicked, this, &FrmRelatorios::cmdsair_Click);
    }
    framerelatoriosanaliticos_->hide();

    // ---- Wiring
    connect(cmdgerarelatorio_, &QPushButton::clicked, this, &FrmRelatorios::cmdgerarelatorio_Click);
    connect(cmdsair_, &QPushButton::clicked, this, &FrmRelatorios::cmdsair_Click);
    connect(sai1, &QPushButton::clicked, this, &FrmRelatorios::cmdsair_Click);
    connect(cmdfiltra_, &QPushButton::clicked, this, &FrmRelatorios::cmdfiltra_Click);
    connect(cmdprocurar_, &QPushButton::clicked, this, &FrmRelatorios::cmdprocurar_Click);
    connect(cmdgerarelatoriodizimistabairro_, &QPushButton::clicked, this,
            &FrmRelatorios::cmdgerarelatoriodizimistabairro_Click);
    // textChanged also follows the code that the search window writes in.
    connect(txtcodigodizimista_, &QLineEdit::textChanged, this, &FrmRelatorios::txtcodigodizimista_Change);
    connect(listadizimistas_->header(), &QHeaderView::sectionClicked, this, &FrmRelatorios::listadizimistas_ColumnClick);

    // ---- Load: the period from the first of this month to yesterday.
    preenchecombosdata(this, 2);
    const QDate hoje = QDate::currentDate();
    for (int linha = 0; linha < 2; ++linha) {
        combomes_[linha]->setCurrentIndex(hoje.month() - 1);
        const QString ano = QString::number(hoje.year());
        if (comboano_[linha]->findText(ano) < 0)
            comboano_[linha]->addItem(ano);
        comboano_[linha]->setCurrentText(ano);
    }
    combodias_[0]->setCurrentIndex(0);
    combodias_[1]->setCurrentIndex(hoje.day() == 1 ? 0 : hoje.day() - 2);

    if (QMdiArea* area = Janelas::areaMdi()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (sub && sub->widget() == this)
                mostrabarraprincipal(false);
        });
    }
}

bool FrmRelatorios::event(QEvent* e)
{
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate)
        mostrabarraprincipal(false);
    return QWidget::event(e);
}

void FrmRelatorios::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // As every work window: the height less 500 twips.
    centralizaframe(this, width(), height() - qRound(500 * logicalDpiY() / 1440.0));
}

void FrmRelatorios::keyPressEvent(QKeyEvent* e)
{
    // A default button works only in dialogs; Enter presses it here by hand.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && padrao_ && padrao_->isVisible() &&
        padrao_->isEnabled()) {
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
            b->click();
        else
            padrao_->click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FrmRelatorios::definepadrao(QPushButton* botao)
{
    if (padrao_)
        padrao_->setDefault(false);
    padrao_ = botao;
    if (padrao_)
        padrao_->setDefault(true);
}

// ---- Report type ----------------------------------------------------------------

void FrmRelatorios::escolhetipo(int indice)
{
    if (indice < PorPeriodo || indice > Aniversariantes)
        return;
    tipo_ = TipoRelatorio(indice);
    opttiporelatorio_Click(tipo_);
}

void FrmRelatorios::cmdtiporelatorio_Click(int indice)
{
    escolhetipo(indice);
    definepadrao(cmdfiltra_);
}

void FrmRelatorios::opttiporelatorio_Click(TipoRelatorio tipo)
{
    for (QWidget* w : {static_cast<QWidget*>(frameperiodo_), static_cast<QWidget*>(frameseleciona_),
                       static_cast<QWidget*>(frameopcoes_), static_cast<QWidget*>(framedados_),
                       static_cast<QWidget*>(frameopcaoperiodo_)})
        w->hide();
    switch (tipo) {
    case PorPeriodo:
        frameperiodo_->show();
        frameopcaoperiodo_->show();
        break;
    case PorDizimista:
        frameseleciona_->show();
        frameperiodo_->show();
        break;
    case DadosDeCadastro:
        carregalistacompletadizimistas();
        framedados_->show();
        frameopcoes_->show();
        break;
    case Aniversariantes:
        framedados_->show();
        break;
    case Nenhum:
        break;
    }
    cmdgerarelatorio_->setEnabled(true);
}

QString FrmRelatorios::dataescolhida(int linha) const
{
    return combodias_[linha]->currentText() + u'/' +
           QString::number(combomes_[linha]->currentIndex() + 1).rightJustified(2, u'0') + u'/' +
           comboano_[linha]->currentText();
}

void FrmRelatorios::cmdgerarelatorio_Click()
{
    const QString inicio = dataescolhida(0);
    const QString fim = dataescolhida(1);
    switch (tipo_) {
    case PorPeriodo:
        if (optperiodo_[0]->isChecked())
            gerarelatoriorecebimentopordata(inicio, fim, QString());
        else if (optperiodo_[1]->isChecked())
            gerarelatoriorecebimentopordataanalitico(inicio, fim, QString());
        break;
    case PorDizimista:
        gerarelatoriorecebimentopordata(inicio, fim, txtcodigodizimista_->text());
        break;
    case DadosDeCadastro:
        if (frameopcoes_->isVisible())
            relatoriodedados();
        else
            frameopcoes_->show();
        break;
    case Aniversariantes:
        relatorioaniversariantes(true);
        break;
    case Nenhum:
        break;
    }
}

void FrmRelatorios::cmdprocurar_Click()
{
    abrelocalizador(QStringLiteral("frmrelatorios"), BUSCA_DIZIMISTAS, this,
                    [this](const QString& codigo) { txtcodigodizimista_->setText(codigo); });
}

void FrmRelatorios::txtcodigodizimista_Change()
{
    // An empty code box is no tither: nothing is read.
    mostradizimistadocodigo(this, txtcodigodizimista_, txtnomedizimista_);
}

void FrmRelatorios::cmdsair_Click()
{
    fechajanelas();
}

// ---- Tither list ------------------------------------------------------------------

void FrmRelatorios::preenchelista(const ListaDizimistas& itens)
{
    itens_ = itens;
    listadizimistas_->setUpdatesEnabled(false);
    listadizimistas_->clear();
    QList<QTreeWidgetItem*> novos;
    novos.reserve(itens_.size());
    for (qsizetype i = 0; i < itens_.size(); ++i) {
        QStringList colunas;
        colunas.reserve(ListaDizimistas::CAMPOS);
        for (int c = 0; c < ListaDizimistas::CAMPOS; ++c)
            colunas.append(itens_.campo(i, ListaDizimistas::Campo(c)));
        auto* item = new ItemAlfabetico(colunas);
        // The check mark shows the active flag; it is not for the user to change.
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, itens_.ativo(i) ? Qt::Checked : Qt::Unchecked);
        item->setData(0, Qt::UserRole, i);
        novos.append(item);
    }
    listadizimistas_->addTopLevelItems(novos);
    ordenalista();
    listadizimistas_->setUpdatesEnabled(true);
}

void FrmRelatorios::ordenalista()
{
    if (colunaordem_ >= 0)
        listadizimistas_->sortItems(colunaordem_, Qt::AscendingOrder);
}

ListaDizimistas FrmRelatorios::itensdalista() const
{
    ListaDizimistas r;
    const int n = listadizimistas_->topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        const qsizetype indice = listadizimistas_->topLevelItem(i)->data(0, Qt::UserRole).toLongLong();
        if (indice >= 0 && indice < itens_.size())
            r.append(itens_, indice);
    }
    return r;
}

// After a load: the list as read, or, when it could not be read whole, an
// empty one and the cause; never a part of it.
bool FrmRelatorios::mostralista(bool lida, const ListaDizimistas& itens, const QString& causa)
{
    listafalhou_ = !lida;
    preenchelista(lida ? itens : ListaDizimistas());
    if (!lida)
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler a lista de dizimistas"), causa);
    return lida;
}

bool FrmRelatorios::listaincompleta() const
{
    if (listafalhou_)
        Dialogos::msgbox(QStringLiteral("A lista de dizimistas não pôde ser lida: o relatório não foi gerado. "
                                        "Carregue a lista novamente."),
                         Dialogos::Alerta);
    return listafalhou_;
}

bool FrmRelatorios::carregalistacompletadizimistas()
{
    ListaDizimistas itens;
    QString causa;
    const bool lida = tivane::carregalistacompletadizimistas(&itens, &causa);
    return mostralista(lida, itens, causa);
}

bool FrmRelatorios::carregalistadizimistasporbairro(const QString& bairro)
{
    ListaDizimistas itens;
    QString causa;
    const bool lida = tivane::carregalistadizimistasporbairro(bairro, &itens, &causa);
    return mostralista(lida, itens, causa);
}

void FrmRelatorios::cmdfiltra_Click()
{
    ListaDizimistas itens;
    QString causa;
    const bool lida = tivane::carregalistacompletadizimistas(&itens, &causa);
    if (lida && !optfiltro_[0]->isChecked()) {
        const bool ativos = optfiltro_[1]->isChecked();
        ListaDizimistas filtrados;
        for (qsizetype i = 0; i < itens.size(); ++i)
            if (itens.ativo(i) == ativos)
                filtrados.append(itens, i);
        itens = filtrados;
    }
    mostralista(lida, itens, causa);
}

void FrmRelatorios::listadizimistas_ColumnClick(int coluna)
{
    colunaordem_ = coluna;
    ordenalista();
}

CamposRelatorio FrmRelatorios::camposmarcados(int primeiro) const
{
    // The choice panel counts 0 to 5 upwards, the neighbourhood panel 11 down to 6.
    const auto marcado = [this](int i) { return chkopcoes_[i]->checkState() == Qt::Checked; };
    const int passo = primeiro == 0 ? 1 : -1;
    CamposRelatorio c;
    c.nome = marcado(primeiro);
    c.endereco = marcado(primeiro + passo);
    c.telefone = marcado(primeiro + 2 * passo);
    c.email = marcado(primeiro + 3 * passo);
    c.nascimento = marcado(primeiro + 4 * passo);
    c.codigo = marcado(primeiro + 5 * passo);
    return c;
}

// ---- Tither list reports --------------------------------------------------------

void FrmRelatorios::relatoriodedados()
{
    DadosIgreja igreja;
    if (listaincompleta() || !igrejadorelatorio(&igreja))
        return;
    const QString texto = textorelatoriodedados(itensdalista(), camposmarcados(0), igreja, QDate::currentDate());
    mostrarelatorio(texto, false);
}

void FrmRelatorios::janeladizimistaporbairro()
{
    framedizimistabairro_->show();
    framerelatorios_->hide();
    txtbairro_->setFocus();
    definepadrao(cmdgerarelatoriodizimistabairro_);
}

void FrmRelatorios::cmdgerarelatoriodizimistabairro_Click()
{
    DadosIgreja igreja;
    if (!carregalistadizimistasporbairro(txtbairro_->text().trimmed()) || !igrejadorelatorio(&igreja))
        return;
    const QString texto = textorelatoriobairro(itensdalista(), txtbairro_->text(), camposmarcados(11), igreja,
                                               QDate::currentDate());
    mostrarelatorio(texto, false);
}

void FrmRelatorios::relatorioaniversariantes(bool exibetelefone)
{
    DadosIgreja igreja;
    if (listaincompleta() || !igrejadorelatorio(&igreja))
        return;
    colunaordem_ = ColDia;
    ordenalista();
    const QString texto = textorelatorioaniversariantes(itensdalista(), mesaniversario_, exibetelefone, igreja,
                                                        QDate::currentDate());
    mostrarelatorio(texto, true);
}

// ---- Period reports -----------------------------------------------------------

void FrmRelatorios::gerarelatoriorecebimentopordata(const QString& datainicio, const QString& datafim,
                                                    const QString& codigodizimista)
{
    PeriodoRelatorio p;
    if (!datadoperiodo(datainicio, QStringLiteral("inicial"), &p.inicio) ||
        !datadoperiodo(datafim, QStringLiteral("final"), &p.fim))
        return;
    p.mostracodigos = Dialogos::msgbox(QStringLiteral("Deseja emitir os códigos dos recibos?"), Dialogos::PerguntaNao) == Dialogos::Sim;
    if (p.inicio.daysTo(p.fim) < 0) {
        Dialogos::msgbox(QStringLiteral("A data inicial é maior que a data final!"), Dialogos::Alerta);
        return;
    }
    p.codigodizimista = codigodizimista;
    if (!codigodizimista.isEmpty()) {
        const Leitura lida = buscanomedizimista(codigodizimista, &p.nomedizimista);
        if (lida == Leitura::Falha) {
            Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler o dizimista ") + codigodizimista,
                                        lida.causa());
            return;
        }
    }
    executarelatorioperiodo(p, &montarelatoriorecebimentos, ColunasPagamento::Recibos);
}

void FrmRelatorios::gerarelatoriorecebimentopordataanalitico(const QString& datainicio, const QString& datafim,
                                                             const QString& codigodizimista)
{
    PeriodoRelatorio p;
    if (!datadoperiodo(datainicio, QStringLiteral("inicial"), &p.inicio) ||
        !datadoperiodo(datafim, QStringLiteral("final"), &p.fim))
        return;
    if (p.inicio.daysTo(p.fim) < 0) {
        Dialogos::msgbox(QStringLiteral("A data inicial é maior que a data final!"), Dialogos::Alerta);
        return;
    }
    p.codigodizimista = codigodizimista;
    executarelatorioperiodo(p, &montarelatoriototaisdiarios, ColunasPagamento::Totais);
}

// ---- Birthday prompt ----------------------------------------------------------

bool lernumeromes(const QString& resposta, int* mes)
{
    bool ok = false;
    const double v = QLocale(QLocale::Portuguese, QLocale::Brazil).toDouble(resposta.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    const double inteiro = std::floor(v);
    // Far outside the months: no month at all, so an empty report.
    *mes = (inteiro < -1000 || inteiro > 1000) ? 0 : int(inteiro);
    return true;
}

void promptaniversariantes()
{
    int mes = 0;
    for (;;) {
        const QString resposta = Dialogos::inputbox(
            QStringLiteral("Digite o Número do mês para emissão do relatório de Aniversariantes do Mês:\n"
                           "Exemplo: 01 = Janeiro"),
            QStringLiteral("Tivane Dízimos"));
        if (resposta.isEmpty()) {
            Dialogos::msgbox(QStringLiteral("Operação Cancelada!"), Dialogos::Informacao);
            return;
        }
        if (lernumeromes(resposta, &mes))
            break;
        Dialogos::msgbox(QStringLiteral("O Valor deve ser númerico!"), Dialogos::Informacao);
    }
    // Works on its own list, so a reports window the user has open keeps its choices.
    ListaDizimistas itens;
    QString causa;
    if (!carregalistaaniversariantes(mes, &itens, &causa)) {
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler a lista de aniversariantes"), causa);
        return;
    }
    DadosIgreja igreja;
    if (!igrejadorelatorio(&igreja))
        return;
    const bool telefone = Dialogos::msgbox(QStringLiteral("Deseja emitir o telefone dos Dízimistas?"), Dialogos::Pergunta,
                                           QStringLiteral("Tivane Dízimos")) == Dialogos::Sim;
    mostrarelatorio(textorelatorioaniversariantes(itens, mes, telefone, igreja, QDate::currentDate()), true);
}

}  // namespace tivane
