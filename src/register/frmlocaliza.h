#pragma once
// The search window "frmlocaliza": finds tithers (or users) by part of the
// name, code, bar code, telephone or birth date and hands the chosen code
// back to the window that opened it.
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace tivane {

// Kinds of record searched; any other number finds nothing.
enum TipoBusca : int { BUSCA_DIZIMISTAS = 1, BUSCA_USUARIOS = 5 };

enum ModoBusca { PorNome = 0, PorCodigo = 1, PorBarras = 2, PorTelefone = 3, PorNascimento = 4 };

struct LinhaBusca {
    QString nome;
    QString codigo;
    QString extra;   // bar code or telephone, for those modes
};

// The matches in table order. Name: contains the text (case folded for every
// letter). Code, telephone, birth date: one character finds the values that
// begin with it, more find those that contain it. Bar code: exactly the text.
// Users (kind 5) are found by name and code only; any other kind finds nothing.
// False, linhas untouched and why in causa, when the table could not be read whole.
bool buscalocalizador(int modo, const QString& parte, int tipo, QVector<LinhaBusca>* linhas,
                      QString* causa = nullptr);

// What the calling window does with the chosen code (writes it into its code box).
using RetornoBusca = std::function<void(const QString& codigo)>;

// Opens the search for the window of that name and a kind; a second call while
// it is open replaces them. The chosen code goes to aoescolher while chamador
// is open; without them nothing is written back.
void abrelocalizador(const QString& janela, int tipo, QWidget* chamador = nullptr, RetornoBusca aoescolher = {});
// Closes the search and hands the chosen code to the caller, when it is still
// open. The kind is not used.
void retornaselecionado(int tipo);

class FrmLocaliza : public QWidget {
    Q_OBJECT
public:
    FrmLocaliza();

    // The window the choice goes to, the kind searched and what the window
    // does with the choice, replacing the last ones.
    void defineorigem(const QString& janela, TipoBusca tipo, QWidget* chamador = nullptr, RetornoBusca aoescolher = {});
    // What hands the code to the caller, when it is still open; it outlives the window.
    RetornoBusca devolucao() const;
    // The code of the chosen row; false when no row is chosen.
    bool codigoescolhido(QString* codigo) const;

    void buscar();
    void carregalistaporpartedonome(const QString& parte, TipoBusca tipo);
    void carregalistaporcodigo(const QString& parte, TipoBusca tipo);
    void carregalistaporcodigodebarras(const QString& parte, TipoBusca tipo);
    void carregalistaportelefone(const QString& parte, TipoBusca tipo);
    void carregalistaporpis(const QString& parte, TipoBusca tipo);
    void selecionado();
    // A click on a column header: sort by it, ascending, from now on.
    void ordenapelacoluna(int coluna);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void adiciona(const QVector<LinhaBusca>& linhas, bool terceira);
    // Runs the search and lists what it found; on a read failure the list stays empty and the cause is shown.
    void busca(ModoBusca modo, const QString& parte, TipoBusca tipo, bool terceira);
    void tiraterceiracoluna();
    void definepadrao(QPushButton* botao);

    QLabel* lbltitulo_;
    QLineEdit* txtnome_;
    QPushButton* cmdbuscar_;
    QRadioButton* optopcao_[5];
    QTreeWidget* lista_;
    QPushButton* cmdselecionado_;
    QPushButton* cmdsair_;
    QLabel* lbldestino_;
    // Hidden copies of the caller and the kind, for whoever inspects the window.
    QLabel* lblnomedoform_;
    QLabel* lbltipo_;
    QPushButton* padrao_ = nullptr;
    TipoBusca tipo_ = BUSCA_DIZIMISTAS;
    QPointer<QWidget> chamador_;
    RetornoBusca aoescolher_;
    int colunaordem_ = -1;
};

}  // namespace tivane
