#pragma once
// Every modal interaction of the program goes through here, so tests can
// answer it in advance and read back what was shown.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class QWidget;
class QPrinter;

namespace tivane {

namespace Dialogos {

// Answers of a message box, as the old program tested them.
enum Resposta { Ok = 1, Cancelar = 2, Sim = 6, Nao = 7 };

// Styles of a message box, with the old program's values: an icon (16, 32,
// 48, 64), plus 4 for Yes/No buttons, plus 256 for No as the default button.
enum Estilo {
    Simples = 0,         // plain, OK
    Critico = 16,
    Pergunta = 36,       // Yes/No question
    Alerta = 48,
    Informacao = 64,
    PerguntaNao = 292    // Yes/No question with No as the default button
};

int msgbox(const QString& texto, int estilo = Simples, const QString& titulo = QStringLiteral("Tivane Dízimos"));
// "<oque>: <causa>. Nada foi alterado." warning (Alerta); oque defaults to
// "Não foi possível gravar no banco de dados", and ": <causa>" is left out
// when there is no cause.
void avisaFalhaGravacao(const QString& oque, const QString& causa);
// "<oque>: <causa>. A operação foi interrompida." warning (Alerta); oque
// defaults to "Não foi possível ler o banco de dados". The operation that
// read stops after it.
void avisaFalhaLeitura(const QString& oque, const QString& causa);
// Returns the text typed; an empty text when cancelled.
QString inputbox(const QString& pergunta, const QString& titulo = QStringLiteral("Tivane Dízimos"),
                 const QString& padrao = QString());
QString abrirArquivo(const QString& titulo, const QString& pasta, const QString& filtro);
QString salvarArquivo(const QString& titulo, const QString& caminhoSugerido, const QString& filtro);
// The printer dialog; false when cancelled.
bool dialogoImpressora(QPrinter* impressora, QWidget* pai = nullptr,
                       const QString& titulo = QStringLiteral("Imprimir"));
// Starts an external program without waiting (mail client, links); false when it could not start.
// With falhou, the program is watched: an exit with a non-zero code calls it
// (later, from the event loop); leaving this program never stops it.
bool iniciaPrograma(const QString& programa, const QStringList& argumentos,
                    std::function<void(int codigo)> falhou = {});
// Opens a link with the desktop's handler.
bool abreLink(const QString& url);

// What was shown, in order.
struct Registro {
    QString tipo;        // "msgbox", "inputbox", "abrir", "salvar", "impressora", "programa", "link"
    QString texto;       // message, prompt, dialog title, program
    QString titulo;      // title, or the folder / suggested path of a file dialog
    int estilo = 0;
    QStringList argumentos;
};

// Test mode: nothing real is shown. Each call takes the next queued answer of
// its kind; without one it takes the default (the default button, cancel, an
// empty text, false for the printer dialog, true for starting programs).
void ativaModoTeste(bool ativo = true);
void respondeMsgbox(int resposta);
void respondeTexto(const QString& texto);          // input box and file dialogs
void respondeImpressora(bool aceita);
void respondePrograma(bool iniciou);
QList<Registro> registros();
QList<Registro> registros(const QString& tipo);
Registro ultimo(const QString& tipo = QString());
void limpa();

}  // namespace Dialogos

// The desktop's mail program: the MAILER variable, or the handler of mailto
// links (xdg-mime); empty when there is none, or when that cannot be told.
QString clienteemailpadrao();
// Tests answer the question themselves; an empty function asks the desktop again.
void defineconsultaclienteemail(std::function<QString()> consulta);

// Ends the program at once, without running any window's closing code.
// Tests replace it so the process lives on; callers return right after it.
void encerraprograma(int codigo = 0);
void defineEncerramento(void (*funcao)(int));
int vezesEncerrado();

}  // namespace tivane
