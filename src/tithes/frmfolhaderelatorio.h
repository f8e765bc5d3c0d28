#pragma once
// The report page "frmfolhaderelatorio": shows a report text in a fixed-pitch
// font and opens, saves, edits, prints and e-mails it.
#include "core/textocompacto.h"

#include <QString>
#include <QWidget>
#include <memory>

class QAction;
class QGroupBox;
class QPrinter;
class QTimer;
class QToolBar;

namespace tivane {

class VisorTexto;

class FrmFolhaDeRelatorio : public QWidget {
    Q_OBJECT
public:
    FrmFolhaDeRelatorio();
    ~FrmFolhaDeRelatorio() override;

    QGroupBox* Frameprincipal() const { return frame_; }
    VisorTexto* txtrelatorio() const { return txtrelatorio_; }
    QTimer* tempoimprime() const { return tempoimprime_; }
    // The printer the page prints on (the default printer, or what the
    // printer dialog chose; tests point it at a PDF file).
    QPrinter* impressora();

    // The text with CRLF line breaks.
    QString texto() const;
    void definetexto(const TextoCompacto& texto);

    // Toolbar "barrarelatorio".
    void abrir();
    void salvar();
    void editar();
    void botaoimprimir();
    void enviar();
    void sair();

    // Prints the whole text in Courier New 8, page after page.
    void imprimir();
    // Justifies the lines between two positions; leaves the caret at the start.
    void justifica(int inicio, int fim);

private:
    QGroupBox* frame_;
    VisorTexto* txtrelatorio_;
    QToolBar* barrarelatorio_;
    QTimer* tempoimprime_;
    std::unique_ptr<QPrinter> impressora_;
};

// Shows the report page (opening it when needed) with this text in place of
// the last one. Returns the page.
FrmFolhaDeRelatorio* exibefolhaderelatorio(const TextoCompacto& texto);

// ---- Files and printing (no window needed) ---------------------------------

// Reads a text file line by line as the report page opens it: each line is
// preceded by a line break. UTF-8, or Windows-1252 for files of the old
// system. False (with a message in erro) when it cannot be read.
[[nodiscard]] bool lerarquivorelatorio(const QString& caminho, QString* texto, QString* erro = nullptr);
// Writes the text followed by a line break, with CRLF line breaks, in UTF-8,
// replacing the file only when the whole write succeeded.
[[nodiscard]] bool gravaarquivorelatorio(const QString& caminho, const QString& texto, QString* erro = nullptr);
// The report text in Courier New 8 from the top-left of each page, as many
// lines per page as fit. Returns the number of pages, or -1 when the printer
// could not be started.
int imprimetexto(QPrinter* impressora, const QString& texto);
// The lines of a text (CRLF, LF or CR), without an empty last line after a final break.
QStringList linhasdotexto(const QString& texto);

}  // namespace tivane
