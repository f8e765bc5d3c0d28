#include "tithes/frmpagamentos.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "register/caixadizimista.h"
#include "register/dizimistas.h"
#include "register/frmlocaliza.h"
#include "tithes/pagamentos.h"
#include "tithes/frmrecibo.h"

#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace tivane {

namespace {

// The fifth of the windows that fechajanelas closes.
RegistroJanela reg("frmpagamentos", [] { return new FrmPagamentos; }, Janelas::Mdi, 5);

const QColor LARANJA(192, 64, 0);       // captions of the window


}  // namespace

void preenchecombomes(QWidget* janela)
{
    auto* combo = janela ? janela->findChild<QComboBox*>(QStringLiteral("Combomes")) : nullptr;
    if (!combo)
        return;
    combo->clear();
    for (int m = 1; m <= 12; ++m)
        combo->addItem(QString::number(m).rightJustified(2, QLatin1Char('0')));
    combo->setCurrentText(QDate::currentDate().toString(QStringLiteral("MM")));
}

void preenchecomboano(QWidget* janela)
{
    auto* combo = janela ? janela->findChild<QComboBox*>(QStringLiteral("comboano")) : nullptr;
    if (!combo)
        return;
    combo->clear();
    const int atual = QDate::currentDate().year();
    for (int a = 2015; a <= atual + 5; ++a)
        combo->addItem(QString::number(a).rightJustified(2, QLatin1Char('0')));
    combo->setCurrentText(QString::number(atual));
}

FrmPagamentos::FrmPagamentos()
{
    setObjectName(QStringLiteral("frmpagamentos"));
    setWindowTitle(QStringLiteral("Recebimento de Dízimos"));

    const Twips r(this);
    const auto rotulo = [&](QWidget* pai, const char* nome, const QString& texto, const QRect& g, double pontos) {
        auto* l = new QLabel(texto, pai);
        l->setObjectName(QString::fromLatin1(nome));
        l->setGeometry(g);
        l->setFont(fonteserif(pontos));
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, LARANJA);
        l->setPalette(p);
        return l;
    };

    frame_ = new QGroupBox(QStringLiteral("Recebimento de Dízimos"), this);
    frame_->setObjectName(QStringLiteral("Frameprincipal"));
    frame_->setFont(fonteserif(12));
    {
        QPalette p = frame_->palette();
        p.setColor(QPalette::WindowText, LARANJA);
        frame_->setPalette(p);
    }
    frame_->setGeometry(r(0, 0, 6615, 4215));

    rotulo(frame_, "Label1", QStringLiteral("Dizimista:"), r(120, 480, 855, 255), 9.75);
    codigo_ = new QLineEdit(frame_);
    codigo_->setObjectName(QStringLiteral("txtcodigodizimista"));
    codigo_->setGeometry(r(1080, 480, 855, 285));
    nome_ = new QLineEdit(frame_);
    nome_->setObjectName(QStringLiteral("txtnomedizimista"));
    nome_->setGeometry(r(1920, 480, 3015, 285));
    for (QLineEdit* e : {codigo_, nome_})
        e->setFont(QFont(QStringLiteral("Liberation Sans"), 9));

    // The caption wraps inside the narrow button, as it did under its picture.
    procurar_ = new QPushButton(QStringLiteral("&Procurar\nDízimista"), frame_);
    procurar_->setObjectName(QStringLiteral("cmdprocurar"));
    procurar_->setGeometry(r(5280, 360, 1215, 975));
    procurar_->setFont(fonteserif(12));

    rotulo(frame_, "Label2", QStringLiteral("Valor:"), r(120, 1320, 1575, 615), 24);
    valor_ = new QLineEdit(QStringLiteral("0,00"), frame_);
    valor_->setObjectName(QStringLiteral("txtvalor"));
    valor_->setGeometry(r(1920, 1200, 3015, 855));
    valor_->setFont(fonteserif(27.75));
    valor_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    referencia_ = new QFrame(frame_);
    referencia_->setObjectName(QStringLiteral("Framereferencia"));
    referencia_->setFrameShape(QFrame::NoFrame);
    referencia_->setGeometry(r(120, 2160, 5175, 735));
    rotulo(referencia_, "Label3",
           QStringLiteral("Referência:      Mês                        Ano:"), r(120, 240, 4695, 255), 9.75);
    mes_ = new QComboBox(referencia_);
    mes_->setObjectName(QStringLiteral("Combomes"));
    mes_->setGeometry(r(1800, 240, 855, 315));
    ano_ = new QComboBox(referencia_);
    ano_->setObjectName(QStringLiteral("comboano"));
    ano_->setGeometry(r(3360, 240, 1455, 315));
    // Label3 carries the captions between the combos; it stays behind them.
    referencia_->findChild<QLabel*>(QStringLiteral("Label3"))->lower();

    receber_ = new QPushButton(QStringLiteral("&RECEBER"), frame_);
    receber_->setObjectName(QStringLiteral("cmdreceber"));
    receber_->setGeometry(r(1920, 3120, 3015, 975));
    receber_->setFont(fonteserif(14.25));
    sair_ = new QPushButton(QStringLiteral("&Sair"), frame_);
    sair_->setObjectName(QStringLiteral("cmdsair"));
    sair_->setGeometry(r(5280, 3120, 1215, 975));

    QWidget::setTabOrder(codigo_, nome_);
    QWidget::setTabOrder(nome_, procurar_);
    QWidget::setTabOrder(procurar_, valor_);
    QWidget::setTabOrder(valor_, mes_);
    QWidget::setTabOrder(mes_, ano_);
    QWidget::setTabOrder(ano_, receber_);
    QWidget::setTabOrder(receber_, sair_);

    // Load: the reference frame follows option "07"; the combos start on this month.
    referencia_->setVisible(leropcao(QStringLiteral("07")));
    preenchecombomes(this);
    preenchecomboano(this);
    mantemframecentralizado(this);

    connect(codigo_, &QLineEdit::textChanged, this, &FrmPagamentos::atualizadizimista);
    connect(procurar_, &QPushButton::clicked, this, &FrmPagamentos::procurar);
    connect(receber_, &QPushButton::clicked, this, &FrmPagamentos::receber);
    connect(sair_, &QPushButton::clicked, this, &FrmPagamentos::sair);
    for (QWidget* w : {static_cast<QWidget*>(codigo_), static_cast<QWidget*>(valor_), static_cast<QWidget*>(receber_)})
        w->installEventFilter(this);

    // Enter presses the default button (the search from the code, "RECEBER" from the value).
    for (int tecla : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto* atalho = new QShortcut(QKeySequence(tecla), this);
        atalho->setContext(Qt::WidgetWithChildrenShortcut);
        connect(atalho, &QShortcut::activated, this, [this] {
            if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
                b->click();
            else if (padrao_)
                padrao_->click();
        });
    }
    definepadrao(procurar_);

    if (QMdiArea* area = Janelas::areaMdi()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (sub && sub->widget() == this)
                mostrabarraprincipal(false);
        });
    }
    codigo_->setFocus();
}

bool FrmPagamentos::event(QEvent* e)
{
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate)
        mostrabarraprincipal(false);
    return QWidget::event(e);
}

bool FrmPagamentos::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        if (o == codigo_) {
            definepadrao(procurar_);
        } else if (o == valor_) {
            definepadrao(receber_);
            // After the click that gave the focus, or the selection is undone.
            QTimer::singleShot(0, valor_, [v = valor_] {
                if (v->hasFocus())
                    v->selectAll();
            });
        }
    } else if (e->type() == QEvent::FocusOut && (o == valor_ || o == receber_)) {
        formatacaixavalor();
    }
    return QWidget::eventFilter(o, e);
}

void FrmPagamentos::definepadrao(QPushButton* botao)
{
    if (padrao_)
        padrao_->setDefault(false);
    padrao_ = botao;
    if (padrao_)
        padrao_->setDefault(true);
}

void FrmPagamentos::formatacaixavalor()
{
    const QString formatado = formatavalor(valor_->text());
    if (formatado != valor_->text())
        valor_->setText(formatado);
}

void FrmPagamentos::atualizadizimista()
{
    mostradizimistadocodigo(this, codigo_, nome_);
    nome_->home(false);   // a long name shows its beginning, not its end
}

void FrmPagamentos::procurar()
{
    // The chosen code comes into the code box, and the cursor into the value.
    abrelocalizador(QStringLiteral("frmpagamentos"), BUSCA_DIZIMISTAS, this, [this](const QString& codigo) {
        codigo_->setText(codigo);
        Janelas::abre(QStringLiteral("frmpagamentos"));
        valor_->setFocus(Qt::OtherFocusReason);
    });
}

void FrmPagamentos::receber()
{
    formatacaixavalor();
    qint64 centavos = 0;
    const bool numero = lervalor(valor_->text(), &centavos);
    if (valor_->text().trimmed() == QLatin1String("0,00") || (numero && centavos == 0)) {
        Dialogos::msgbox(QStringLiteral("Você deve definir o valor recebido!"), Dialogos::Informacao);
        valor_->setFocus();
        return;
    }
    // The receipt must be able to put the amount in words.
    if (numero && (centavos < 0 || centavos > VALOR_MAXIMO_CENTAVOS)) {
        Dialogos::msgbox(centavos < 0 ? QStringLiteral("O valor recebido não pode ser negativo! Ajuste por favor!")
                                      : QStringLiteral("O valor máximo de um recibo é 9.999.999,99: um valor maior não "
                                                       "pode ser escrito por extenso. Ajuste por favor!"),
                         Dialogos::Alerta);
        valor_->setFocus();
        return;
    }
    const Leitura existe = dizimistadacaixa(codigo_->text());
    switch (existe) {
    case Leitura::Encontrado:
        break;
    case Leitura::NaoEncontrado:
        if (Dialogos::msgbox(QStringLiteral("Não foi encontrado Dizimista com o código especificado acima, deseja "
                                            "continuar?"),
                             Dialogos::Pergunta)
            != Dialogos::Sim)
            return;
        break;
    case Leitura::Falha:
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível procurar o dizimista ") + codigo_->text(),
                                    existe.causa());
        return;
    }
    if (!numero) {
        Dialogos::msgbox(QStringLiteral("Formato de valor incorreto! Ajuste por favor!"), Dialogos::Alerta);
        valor_->setFocus();
        return;
    }
    // One reading of the clock for date, time and the receipt's year.
    const QDateTime agora = QDateTime::currentDateTime();
    QString data = agora.toString(QStringLiteral("dd/MM/yyyy"));
    QString hora = agora.toString(QStringLiteral("HH:mm"));
    QString valor = valor_->text();
    QString codigo = codigo_->text();
    QString nome = nome_->text();
    QString mes = mes_->currentText();
    QString ano = ano_->currentText();
    QString causa;
    const QString recibo = gravapagamento(data, hora, valor, codigo, nome, mes, ano, &causa);
    if (recibo.isEmpty()) {
        Dialogos::avisaFalhaGravacao(QStringLiteral("Não foi possível gravar o pagamento"), causa);
        return;
    }
    // The tithe is recorded whatever happens next: a receipt that cannot be
    // shown must not read as a payment that stopped, or it is taken twice.
    const Leitura mostrado = mostrarecibo(recibo);
    if (mostrado != Leitura::Encontrado)
        Dialogos::msgbox(QStringLiteral("O dízimo foi gravado com o recibo %1, mas o recibo não pôde ser mostrado: %2. "
                                        "Emita-o pelo menu \"2* Via Recibo\".")
                             .arg(recibo, mostrado == Leitura::Falha ? mostrado.causa()
                                                                     : QStringLiteral("ele não foi encontrado depois de gravado")),
                         Dialogos::Alerta);
    codigo_->clear();
    valor_->setText(QStringLiteral("0,00"));
    codigo_->setFocus();
}

void FrmPagamentos::sair()
{
    if (Dialogos::msgbox(QStringLiteral("Deseja realmente sair da tela de Pagamentos?"), Dialogos::Pergunta) == Dialogos::Sim)
        fechajanelas();
}

}  // namespace tivane
