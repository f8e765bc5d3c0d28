#include "core/formularios.h"
#include <QTreeWidget>
#include <QCollator>
#include <QGuiApplication>
#include <QScreen>

#include "core/texto.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QTextBrowser>
#include <QTextEdit>
#include <cmath>

namespace tivane {

// ---- Record-state banner ----------------------------------------------------

bool aparenciaestado(int estado, AparenciaEstado* a)
{
    switch (estado) {
    case NovoRegistro:
        *a = {QStringLiteral("Novo Registro"), QColor(192, 255, 192), QColor(0, 128, 0)};
        return true;
    case SomenteLeitura:
        *a = {QStringLiteral("Somente Leitura"), QColor(192, 192, 255), QColor(0, 0, 128)};
        return true;
    case ModificandoRegistro:
        *a = {QStringLiteral("Modificando Registro"), QColor(255, 255, 192), QColor(0, 192, 0)};
        return true;
    case ExcluindoRegistro:
        *a = {QStringLiteral("Excluindo Registro"), QColor(255, 192, 192), QColor(192, 0, 0)};
        return true;
    default:
        return false;
    }
}

void definestatus(QWidget* janela, int estado)
{
    if (!janela)
        return;
    QLabel* rotulo = janela->findChild<QLabel*>(QStringLiteral("lblstatus"));
    AparenciaEstado a;
    if (!rotulo || !aparenciaestado(estado, &a))
        return;
    rotulo->setText(a.legenda);
    QPalette p = rotulo->palette();
    p.setColor(QPalette::Window, a.fundo);
    p.setColor(QPalette::WindowText, a.texto);
    rotulo->setAutoFillBackground(true);
    rotulo->setPalette(p);
}

// ---- Text boxes -------------------------------------------------------------

namespace {
bool dentroDeOutroControle(QWidget* w, QWidget* janela)
{
    for (QWidget* p = w->parentWidget(); p && p != janela; p = p->parentWidget())
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p))
            return true;
    return false;
}
}  // namespace

QList<QWidget*> caixasdetexto(QWidget* janela)
{
    QList<QWidget*> r;
    if (!janela)
        return r;
    const QList<QWidget*> todos = janela->findChildren<QWidget*>();
    for (QWidget* w : todos) {
        if (auto* le = qobject_cast<QLineEdit*>(w)) {
            if (le->inputMask().isEmpty() && !dentroDeOutroControle(le, janela))
                r << le;
        } else if (qobject_cast<QPlainTextEdit*>(w)) {
            r << w;
        } else if (qobject_cast<QTextEdit*>(w) && !qobject_cast<QTextBrowser*>(w)) {
            r << w;
        }
    }
    return r;
}

namespace {
void defineSomenteLeitura(QWidget* w, bool somenteLeitura)
{
    if (auto* le = qobject_cast<QLineEdit*>(w))
        le->setReadOnly(somenteLeitura);
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(w))
        pe->setReadOnly(somenteLeitura);
    else if (auto* te = qobject_cast<QTextEdit*>(w))
        te->setReadOnly(somenteLeitura);
}
}  // namespace

void bloqueiacampos(QWidget* janela)
{
    for (QWidget* w : caixasdetexto(janela))
        defineSomenteLeitura(w, true);
}

void desbloqueiacampos(QWidget* janela)
{
    for (QWidget* w : caixasdetexto(janela))
        defineSomenteLeitura(w, false);
}

void limpatextos(QWidget* janela)
{
    for (QWidget* w : caixasdetexto(janela)) {
        if (auto* le = qobject_cast<QLineEdit*>(w))
            le->clear();
        else if (auto* pe = qobject_cast<QPlainTextEdit*>(w))
            pe->clear();
        else if (auto* te = qobject_cast<QTextEdit*>(w))
            te->clear();
    }
}

namespace {
class EstiloSenha : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint dica, const QStyleOption* opcao, const QWidget* w, QStyleHintReturn* r) const override
    {
        if (dica == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(dica, opcao, w, r);
    }
};
}  // namespace

void mascarasenha(QLineEdit* caixa)
{
    if (!caixa)
        return;
    // One style for every password box, made on the application's own style
    // and owned by the application, so it outlives every box that uses it.
    static QPointer<EstiloSenha> estilo;
    if (!estilo) {
        estilo = new EstiloSenha(QApplication::style()->name());
        estilo->setParent(qApp);
    }
    caixa->setStyle(estilo);
    caixa->setEchoMode(QLineEdit::Password);
}

void mostratexto(QLineEdit* caixa, const QString& texto)
{
    if (texto.size() > caixa->maxLength())
        caixa->setMaxLength(texto.size());
    caixa->setText(texto);
}

QString hoje()
{
    return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}

// ---- Centring ---------------------------------------------------------------

void centralizaframe(QWidget* janela, double largura, double altura)
{
    if (!janela)
        return;
    QWidget* frame = janela->findChild<QWidget*>(QStringLiteral("Frameprincipal"));
    if (!frame || !std::isfinite(largura) || !std::isfinite(altura))
        return;
    const int x = static_cast<int>(std::floor(largura / 2.0 - frame->width() / 2.0));
    const int y = static_cast<int>(std::floor(altura / 2.0 - frame->height() / 2.0));
    frame->move(x, y);
}

void centralizaframe(QWidget* janela)
{
    if (janela)
        centralizaframe(janela, janela->width(), janela->height());
}

namespace {
class Centralizador : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Show)
            centralizaframe(static_cast<QWidget*>(o));
        return false;
    }
};
}  // namespace

void mantemframecentralizado(QWidget* janela)
{
    static const QString marca = QStringLiteral("_centralizadorFrame");
    if (!janela || janela->findChild<QObject*>(marca, Qt::FindDirectChildrenOnly))
        return;
    auto* filtro = new Centralizador(janela);
    filtro->setObjectName(marca);
    janela->installEventFilter(filtro);
    centralizaframe(janela);
}

// ---- Combo fillers ----------------------------------------------------------

QStringList listaestadoscivis()
{
    return {QStringLiteral("Solteiro(a)"), QStringLiteral("Casado(a)"), QString::fromUtf8("Viúvo(a)"),
            QStringLiteral("Sep.Judicial"), QStringLiteral("Desquitado(a)"), QStringLiteral("Divorciado(a)")};
}

QStringList listaestados()
{
    // These exact texts are stored in the records; "Pernanbuco" included.
    static const char* const ESTADOS[] = {
        "RJ - Rio de Janeiro", "AL - Alagoas", "PB - Paraíba", "SP - São Paulo", "AM - Amazonas",
        "PA - Pará", "MG - Minas Gerais", "PR - Paraná", "RS - Rio Grande do Sul",
        "RN - Rio Grande do Norte", "SE - Sergipe", "SC - Santa Catarina", "MT - Mato Grosso",
        "MS - Mato Grosso do Sul", "AP - Amapá", "RR - Roraima", "RO - Rondônia", "TO - Tocantins",
        "PI - Piauí", "CE - Ceará", "BA - Bahia", "AC - Acre", "DF - Distrito Federal",
        "ES - Espírito Santo", "PE - Pernanbuco", "GO - Goiás", "MA - Maranhão"};
    QStringList r;
    for (const char* e : ESTADOS)
        r << QString::fromUtf8(e);
    return r;
}

QStringList listadias()
{
    QStringList r;
    for (int d = 1; d <= 31; ++d)
        r << QString::number(d).rightJustified(2, u'0');
    return r;
}

QStringList listameses()
{
    QStringList r;
    for (int c = 10; c <= 21; ++c)
        r << textopornumero(c);
    return r;
}

QStringList listaanos()
{
    // Runs up to this year, so a period of the current year can be chosen.
    const int ultimo = qMax(2020, QDate::currentDate().year());
    QStringList r;
    for (int a = 2005; a <= ultimo; ++a)
        r << QString::number(a);
    return r;
}

void preenchecomboestadocivil(QComboBox* combo)
{
    if (!combo)
        return;
    combo->clear();
    combo->addItems(listaestadoscivis());
    combo->setCurrentIndex(-1);
}

void preenchecomboestadocivil(QWidget* janela)
{
    if (janela)
        preenchecomboestadocivil(janela->findChild<QComboBox*>(QStringLiteral("cbestadocivil")));
}

void preenchecomboestados(QComboBox* combo)
{
    if (!combo)
        return;
    combo->addItems(listaestados());
    combo->setCurrentText(QStringLiteral("RJ - Rio de Janeiro"));
}

void preenchecomboestados(QWidget* janela)
{
    if (janela)
        preenchecomboestados(janela->findChild<QComboBox*>(QStringLiteral("cbestado")));
}

void preenchecombosdata(QComboBox* dias, QComboBox* meses, QComboBox* anos)
{
    if (dias)
        dias->addItems(listadias());
    if (meses)
        meses->addItems(listameses());
    if (anos)
        anos->addItems(listaanos());
}

void preenchecombosdata(QWidget* janela, int quantidade)
{
    if (!janela)
        return;
    for (int i = 0; i < quantidade; ++i) {
        const QString n = QString::number(i);
        preenchecombosdata(janela->findChild<QComboBox*>(QStringLiteral("combodias") + n),
                           janela->findChild<QComboBox*>(QStringLiteral("Combomes") + n),
                           janela->findChild<QComboBox*>(QStringLiteral("comboano") + n));
    }
}

void centralizanatela(QWidget* janela)
{
    QScreen* tela = janela->screen() ? janela->screen() : QGuiApplication::primaryScreen();
    if (!tela)
        return;
    QRect r = janela->frameGeometry();
    r.moveCenter(tela->availableGeometry().center());
    janela->move(r.topLeft());
}

int comparaalfabetica(const QString& a, const QString& b)
{
    static const QCollator colacao = [] {
        QCollator c(QLocale(QLocale::Portuguese, QLocale::Brazil));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return colacao.compare(a, b);
}

bool ItemAlfabetico::operator<(const QTreeWidgetItem& outro) const
{
    const int coluna = treeWidget() ? treeWidget()->sortColumn() : 0;
    return comparaalfabetica(text(coluna), outro.text(coluna)) < 0;
}

QFont fonteserif(double pontos, bool negrito)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(pontos);
    f.setBold(negrito);
    return f;
}

Twips::Twips(const QWidget* janela)
    : sx_(janela->logicalDpiX() / 1440.0)
    , sy_(janela->logicalDpiY() / 1440.0)
{
}

QRect Twips::operator()(double x, double y, double largura, double altura) const
{
    return QRect(qRound(x * sx_), qRound(y * sy_), qRound(largura * sx_), qRound(altura * sy_));
}

int Twips::x(double twips) const
{
    return qRound(twips * sx_);
}

int Twips::y(double twips) const
{
    return qRound(twips * sy_);
}

}  // namespace tivane
