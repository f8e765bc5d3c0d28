#include "tithes/email.h"

#include <QFileInfo>

#include "core/dialogos.h"

namespace tivane {

int contaitens(const QString& texto, const QString& separador)
{
    if (texto.isEmpty())
        return 0;
    if (separador.isEmpty())
        return 1;
    const int separadores = texto.count(separador);
    return texto.endsWith(separador) ? separadores : separadores + 1;
}

QString proximoitem(QString& lista, const QString& separador)
{
    const int p = separador.isEmpty() ? -1 : lista.indexOf(separador);
    QString item;
    if (p < 0) {
        item = lista.trimmed();
        lista.clear();
    } else {
        item = lista.left(p).trimmed();
        lista = lista.mid(p + separador.size());
    }
    return item;
}

void separaitens(QStringList& itens, QString lista, const QString& separador)
{
    for (QString& item : itens)
        item = proximoitem(lista, separador);
}

bool enderecoemailvalido(const QString& endereco)
{
    const QString e = endereco.trimmed();
    if (e.isEmpty() || e.startsWith(u'-') || e.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return false;
    const int arroba = e.indexOf(u'@');
    if (arroba <= 0 || arroba == e.size() - 1 || e.indexOf(u'@', arroba + 1) >= 0)
        return false;
    for (const QChar c : e) {
        if (c.isSpace() || c.category() == QChar::Other_Control || QStringLiteral("?&,;<>\"()[]\\%:=").contains(c))
            return false;
    }
    return true;
}

namespace {

QStringList itens(const QString& lista)
{
    QStringList r(contaitens(lista, QStringLiteral(";")));
    separaitens(r, lista, QStringLiteral(";"));
    r.removeAll(QString());
    r.removeAll(QString(""));
    return r;
}

}  // namespace

bool argumentosemail(const QString& assunto, const QString& para, const QString& copia,
                     const QString& copiaoculta, const QString& anexos, const QString& corpo,
                     QStringList* argumentos, int* status)
{
    const QStringList to = itens(para), cc = itens(copia), bcc = itens(copiaoculta), arquivos = itens(anexos);
    const auto falha = [&](int s) {
        if (status)
            *status = s;
        if (argumentos)
            argumentos->clear();
        return false;
    };
    if (to.isEmpty() && cc.isEmpty() && bcc.isEmpty())
        return falha(EmailDestinatarioInvalido);
    for (const QStringList* lista : {&to, &cc, &bcc})
        for (const QString& e : *lista)
            if (!enderecoemailvalido(e))
                return falha(EmailDestinatarioInvalido);
    for (const QString& a : arquivos) {
        const QFileInfo f(a);
        if (!f.isFile() || !f.isReadable())
            return falha(EmailAnexoNaoEncontrado);
    }

    QStringList args{QStringLiteral("--utf8")};
    // xdg-email refuses an empty --subject or --body: leave them out instead.
    if (!assunto.isEmpty())
        args << QStringLiteral("--subject") << assunto;
    if (!corpo.isEmpty())
        args << QStringLiteral("--body") << corpo;
    for (const QString& e : cc)
        args << QStringLiteral("--cc") << e;
    for (const QString& e : bcc)
        args << QStringLiteral("--bcc") << e;
    for (const QString& a : arquivos)
        args << QStringLiteral("--attach") << QFileInfo(a).absoluteFilePath();
    args << to;  // addresses go last
    if (argumentos)
        *argumentos = args;
    if (status)
        *status = EmailEnviado;
    return true;
}

int enviaemail(const QString& assunto, const QString& para, const QString& copia, const QString& copiaoculta,
               const QString& anexos, const QString& corpo)
{
    QStringList args;
    int status = EmailEnviado;
    if (!argumentosemail(assunto, para, copia, copiaoculta, anexos, corpo, &args, &status))
        return status;
    if (clienteemailpadrao().isEmpty())
        return EmailSemCliente;
    // xdg-email ends with a non-zero code when it finds no mail client to hand
    // the message to; that is said when it happens.
    const bool iniciado = Dialogos::iniciaPrograma(QStringLiteral("xdg-email"), args,
                                                   [anexos](int) { avisaemail(EmailSemCliente, anexos); });
    return iniciado ? EmailEnviado : EmailSemCliente;
}

void avisaemail(int status, const QString& anexos)
{
    if (status == EmailEnviado)
        return;
    // A typing mistake is a warning; a mail client that fails gets the mail
    // routine's plain box.
    Dialogos::msgbox(mensagemstatusemail(status, anexos), status == EmailDestinatarioInvalido ? Dialogos::Alerta : Dialogos::Simples);
}

QString mensagemstatusemail(int status, const QString& anexos)
{
    switch (status) {
    case EmailEnviado:
        return QString();
    case EmailDestinatarioInvalido:
        return QStringLiteral("O endereço de e-mail digitado não é válido! Digite um endereço como nome@provedor.com.br.");
    case EmailAnexoNaoEncontrado:
        return QStringLiteral("O arquivo do relatório não foi encontrado para ser anexado ao e-mail.");
    case EmailSemCliente: {
        QString t = QStringLiteral("Não foi possível abrir nenhum programa de e-mail: verifique se há um programa de "
                                   "e-mail instalado e configurado. Nada foi enviado.");
        QStringList arquivos = itens(anexos);
        for (QString& a : arquivos)
            a = QFileInfo(a).absoluteFilePath();
        if (!arquivos.isEmpty())
            t += QStringLiteral("\n\nO arquivo a enviar foi gravado em:\n") + arquivos.join(u'\n');
        return t;
    }
    default:
        return QStringLiteral("O programa de e-mail não conseguiu preparar a mensagem (código %1).").arg(status);
    }
}

}  // namespace tivane
