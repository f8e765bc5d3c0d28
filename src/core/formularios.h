#pragma once
// Routines the windows share: centring the main frame, locking and clearing
// text boxes, the record-state banner and the combo fillers.
// Routines that serve a window take the window and reach its controls by
// objectName.
#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

class QComboBox;
class QLineEdit;
class QWidget;

namespace tivane {

// ---- Record-state banner ----------------------------------------------------

enum EstadoRegistro { NovoRegistro = 0, SomenteLeitura = 1, ModificandoRegistro = 2, ExcluindoRegistro = 3 };

struct AparenciaEstado {
    QString legenda;
    QColor fundo;
    QColor texto;
};
// Caption and colours of a state; false for a state outside 0 to 3.
bool aparenciaestado(int estado, AparenciaEstado* aparencia);
// Sets the window's label "lblstatus"; any other state leaves it as it was.
void definestatus(QWidget* janela, int estado);

// ---- Text boxes -------------------------------------------------------------

// The plain text boxes of a window (line edits without an input mask, plain
// and rich text edits); masked boxes, combos, spin and date boxes are left out.
QList<QWidget*> caixasdetexto(QWidget* janela);
void bloqueiacampos(QWidget* janela);
void desbloqueiacampos(QWidget* janela);
void limpatextos(QWidget* janela);
// A password box that shows "*" for each character, whatever the desktop style.
void mascarasenha(QLineEdit* caixa);
// A stored text shown whole: a box cuts what it is given past its typing
// limit, and the cut text would be saved over the whole one.
void mostratexto(QLineEdit* caixa, const QString& texto);
// Today as the registers write a date, "dd/MM/yyyy".
QString hoje();

// ---- Centring ---------------------------------------------------------------

// Moves the window's "Frameprincipal" to the centre of an area of that size
// (rounded down; a frame larger than the area gets a negative position).
void centralizaframe(QWidget* janela, double largura, double altura);
// Centres it in the window itself.
void centralizaframe(QWidget* janela);
// Keeps "Frameprincipal" centred on every resize of the window.
void mantemframecentralizado(QWidget* janela);
// Places a top-level window in the middle of the screen's free area.
void centralizanatela(QWidget* janela);

// ---- Combo fillers ----------------------------------------------------------

QStringList listaestadoscivis();   // "Solteiro(a)" ... "Divorciado(a)"
QStringList listaestados();        // the 27 "UF - Nome" texts stored in `estado`
QStringList listadias();           // "01" ... "31"
QStringList listameses();          // "Janeiro" ... "Dezembro"
QStringList listaanos();           // "2005" ... the current year (never before "2020")

// Clears "cbestadocivil" and fills it; nothing is selected.
void preenchecomboestadocivil(QWidget* janela);
void preenchecomboestadocivil(QComboBox* combo);
// Adds the states to "cbestado" without clearing it and shows "RJ - Rio de Janeiro".
void preenchecomboestados(QWidget* janela);
void preenchecomboestados(QComboBox* combo);
// For i = 0 to quantidade - 1 adds days, months and years (without clearing)
// to the combos named "combodias<i>", "Combomes<i>" and "comboano<i>"
// (e.g. "combodias0", "Combomes1").
void preenchecombosdata(QWidget* janela, int quantidade);
void preenchecombosdata(QComboBox* dias, QComboBox* meses, QComboBox* anos);

// Compares texts as a Brazilian reader sorts them: "Ângela" beside "Ana",
// "maria" beside "MARIA", never after "Zélia".
int comparaalfabetica(const QString& a, const QString& b);

// A list row whose columns sort that way.
class ItemAlfabetico : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& outro) const override;
};

// The form's serif captions (Liberation Serif has the metrics of Times New Roman).
QFont fonteserif(double pontos, bool negrito = true);

// Form positions are laid out in twips (1440 per inch); this gives them in
// the window's pixels: r(x, y, largura, altura), or one length with r.x / r.y.
class Twips {
public:
    explicit Twips(const QWidget* janela);
    QRect operator()(double x, double y, double largura, double altura) const;
    int x(double twips) const;
    int y(double twips) const;

private:
    double sx_, sy_;
};

}  // namespace tivane
