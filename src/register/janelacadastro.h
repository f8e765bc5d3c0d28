#pragma once
// The window pattern of the two registers (tithers, users): the register
// toolbar "Barraferramentas", the area under it that keeps "Frameprincipal"
// centred, the record-state banner, the code box with its numbering and
// stepping, and the function keys F1 to F8.
#include <QString>
#include <QWidget>

#include "core/conexao.h"

class QFrame;
class QLabel;
class QLineEdit;
class QToolBar;

namespace tivane {

class JanelaCadastro : public QWidget {
    Q_OBJECT
public:
    // The banner's caption ("Novo Registro", "Somente Leitura", ...).
    QString status() const;
    // The next code into the code box; "Não existem registros cadastrados"
    // when the table is empty.
    void definenovocodigo();
    // "Voltar (F2)" / "Avançar (F3)": the nearest saved record below / above
    // the code box, in locked boxes, the banner left as it was;
    // "Primeiro Registro" / "Último Registro" at the ends.
    void anteriorregistro();
    void proximoregistro();
    // "Sair (F8)": asks, then shows the main toolbar and closes.
    void sair();

protected:
    JanelaCadastro(const char* nome, const QString& titulo, Tabela tabela, const QString& perguntasair);

    // The window builds its "Frameprincipal" in area(), then calls termina().
    QWidget* area() const { return area_; }
    QLineEdit* criacaixa(QWidget* pai, const char* nome, int maximo);
    // The banner "picstatus" holding "lblstatus".
    QFrame* criabanner(QWidget* pai);
    // Fixes the frame's size, keeps it centred, gives the window its keys
    // and hides the main toolbar.
    void termina(QWidget* frame);

    // An insert's answer: a code already taken, or a failure (what was typed
    // stays in the boxes, to be saved again), is reported; true when written.
    bool inclusaoaceita(Gravacao resultado, const QString& falha, QWidget* foco);
    // A delete's answer: "Registro excluído com sucesso !!!" when the row is
    // gone, else what stopped it; true when deleted.
    bool exclusaoconcluida(Gravacao resultado, const QString& naoexiste, const QString& falha);
    // An update's answer: the success message, or "Registro não encontrado…"
    // when the row is gone, each leaving the record read-only; a failure is
    // reported and the window stays modifying, so the changes can be saved again.
    void alteracaoconcluida(Gravacao resultado, const QString& sucesso, const QString& falha);
    // Modify state with the boxes unlocked. Key F7 passes no box: the code box
    // stays locked. The toolbar passes the box that gets the focus, and the
    // code box is unlocked too.
    void entramodificacao(QWidget* foco);

    // What the toolbar buttons do.
    virtual void novo() = 0;
    virtual void localizar() = 0;
    virtual void salvar() = 0;
    virtual void excluir(const QString& codigo) = 0;
    virtual void modificar() = 0;
    // What F7 does: the button's own action unless a window says otherwise.
    virtual void teclamodificar() { modificar(); }
    // Opens the search with this window as the caller; the choice comes back
    // to recebecodigobusca while the window is open.
    void abrebusca(int tipo);
    // What a code chosen in the search does: nothing unless a window says otherwise.
    virtual void recebecodigobusca(const QString&) {}
    // Shows the saved record of that code; false (window unchanged) when it
    // could not be read.
    virtual bool mostra(const QString& codigo) = 0;

    // The code box shows the record read from the table under this code.
    bool registromostrado() const;

    QToolBar* barra_ = nullptr;
    QLineEdit* txtcodigo_ = nullptr;
    // The code of the record last read from the table into the boxes; "" on a new record.
    QString codigomostrado_;
    QLabel* lblstatus_ = nullptr;

private:
    void passo(bool acima);

    QString nome_;
    Tabela tabela_;
    QString perguntasair_;
    QWidget* area_ = nullptr;
};

// A failed read: the cause, unless the opener has already ended the program.
void avisafalhaleitura(const QString& causa);

}  // namespace tivane
