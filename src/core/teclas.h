#pragma once
// Function keys F1 to F8 of the register windows (tithers, users). Every key
// goes to one dispatcher, which acts on the register window activated last.
#include <QString>
#include <functional>

class QWidget;

namespace tivane {

// Name of the register window activated last; "" until one was.
QString janelaativa();
void definejanelaativa(const QString& nome);

// Key codes 112 (F1) to 119 (F8); any other code does nothing. F1 to F7 act
// on the window named by janelaativa() while it is open; F8 always closes
// the work windows (fechajanelas).
void teclasdeatalho(int codigotecla);

void fecharjanelaativa();      // F1: closes it, no question (the main window shows its toolbar again
                               // once no work window is left open)
void anteriorjanelaativa();    // F2
void proximojanelaativa();     // F3
void localizarjanelaativa();   // F4: the search for tithers, from either window
void salvarjanelaativa();      // F5
void excluirjanelaativa();     // F6: with the text of the window's code box
void modificarjanelaativa();   // F7: modify mode, code box kept locked

// What a register window does for each key; each gets the open window.
struct AcoesRegistro {
    std::function<void(QWidget*)> anterior;
    std::function<void(QWidget*)> proximo;
    std::function<void(QWidget*)> salvar;
    std::function<void(QWidget*)> excluir;   // with the code in the window's own code box
    std::function<void(QWidget*)> modificar;
    std::function<void(QWidget*)> localizar;
};
void registraacoesregistro(const QString& nome, AcoesRegistro acoes);

// Gives a register window its keys F1 to F8 (even while a child control has
// the focus) and names it in janelaativa() whenever it is activated.
void instalateclasdeatalho(QWidget* janela, const QString& nome);

}  // namespace tivane
