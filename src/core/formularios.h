#pragma once
// Routines the windows share: centring the main frame, locking and clearing
// text boxes, the record-state banner, the combo fillers, the next record code
// and form printing. Routines that serve a window take the window and reach its
// controls by objectName.
#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

#include "core/conexao.h"

class QComboBox;
class QLineEdit;
class QPrinter;
class QWidget;

namespace tivane {

// ---- Next record code -------------------------------------------------------

// The code after the highest numeric code, at least four digits: "0001" for
// none, "0011" after "0002" and "0010", "10000" after "9999". Empty and
// non-numeric codes are ignored.
QString geraproximocodigo(const QStringList& codigos);
// Same over the codes stored in the tithers or users table. "" when the
// database could not be read (callers must not make up a code then).
QString geraproximocodigo(Tabela tabela);
// A number as a record code: at least four digits with leading zeros.
QString formatacodigo(qint64 numero);
// Whether a text can be a new record's code: digits only ("0012", "5").
bool codigonumerico(const QString& texto);

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
// Labels and text boxes get the system window colour as back colour.
void corfundopadrao(QWidget* janela);
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

// ---- Form printing ----------------------------------------------------------

// Prints the window's image: back colours to the system colour, hides its
// "Frameopcoes", shows the printer dialog and, when accepted and a printer
// exists (or the printer writes a file), prints the window; then closes the
// window either way. Failing steps are skipped silently. With impressora null
// a printer of the default kind is used. True when a page was printed.
bool imprimeformulario(QWidget* janela, QPrinter* impressora = nullptr);

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
