#pragma once
// Sending one e-mail through the desktop's mail client (xdg-email): subject,
// body, To, Cc and Bcc lists and attachments, each list one text with the
// items separated by ";".
#include <QString>
#include <QStringList>

namespace tivane {

// Results of enviaemail (the status codes the old mail interface used).
enum StatusEmail {
    EmailEnviado = 0,
    EmailFalha = 2,                  // the mail client refused or failed
    EmailAnexoNaoEncontrado = 11,    // an attachment is not a readable file
    EmailDestinatarioInvalido = 25,  // no recipient, or an address that is not one
    EmailSemCliente = 48,            // the mail program could not be started
};

// Items of a list: 0 for an empty text; otherwise the separators plus one, or
// plus none when the text ends with the separator ("a;;b" has 3, "a;b;" 2).
int contaitens(const QString& texto, const QString& separador);
// The next item, trimmed; the list loses it and the separator after it.
QString proximoitem(QString& lista, const QString& separador);
// Every element of itens receives the next item ("" once the list is used up).
void separaitens(QStringList& itens, QString lista, const QString& separador);

// An address the mail client can take as a plain address: something@something,
// no blanks, no leading "-" (an option) and no "mailto:" or URL fields.
bool enderecoemailvalido(const QString& endereco);

// The arguments for xdg-email; false (and nothing in argumentos) when a
// recipient is not a valid address or no recipient is given. Empty items are
// left out.
bool argumentosemail(const QString& assunto, const QString& para, const QString& copia,
                     const QString& copiaoculta, const QString& anexos, const QString& corpo,
                     QStringList* argumentos, int* status = nullptr);

// Hands the message to the mail client, which shows it to be sent. Returns a
// StatusEmail: EmailSemCliente when the desktop has no mail program (without
// one, xdg-email would open a text browser and still report success) or it
// could not be started; when the mail program starts and then fails, that is
// said later with avisaemail.
int enviaemail(const QString& assunto, const QString& para, const QString& copia, const QString& copiaoculta,
               const QString& anexos, const QString& corpo);

// A sentence in Portuguese for a status other than EmailEnviado; for a mail
// program that could not be opened it says where the attachments are.
QString mensagemstatusemail(int status, const QString& anexos = QString());
// Shows that sentence (nothing for EmailEnviado).
void avisaemail(int status, const QString& anexos = QString());

}  // namespace tivane
