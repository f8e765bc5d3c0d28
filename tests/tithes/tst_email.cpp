// Item lists of the mail routine, the mail client's arguments, and real runs of xdg-email against fake clients.
#include "testsupport.h"

#include "core/dialogos.h"
#include "tithes/email.h"

using namespace tivane;

namespace {

const QString ASSUNTO = "Tivane Dízimos - Envio de Relatório";
const QString CORPO = "Segue em anexo Arquivo com marcações do Tivane Dízimos";

bool escreve(const QString& caminho, const QByteArray& bytes, bool executavel = false)
{
    QFile f(caminho);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() &&
           (!executavel || f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

}  // namespace

class TstEmail : public QObject {
    Q_OBJECT

private slots:
    // The desktop has a mail program unless a case says otherwise.
    void init()
    {
        Dialogos::limpa();
        defineconsultaclienteemail([] { return QString("thunderbird.desktop"); });
    }

    void itensEEnderecos()
    {
        for (const auto& [lista, n] :
             QList<QPair<QString, int>>{{"a;b;c", 3}, {"a;b;", 2}, {"", 0}, {";", 1}, {"a;;b", 3}, {"a; ", 2}})
            QVERIFY2(contaitens(lista, ";") == n, qPrintable(lista));

        QString lista = " a ;;b";
        QCOMPARE(proximoitem(lista, ";") + "|" + lista, QString("a|;b"));
        const QString vazio = proximoitem(lista, ";"), b = proximoitem(lista, ";");
        QCOMPARE(vazio + "|" + b + "|" + lista, QString("|b|"));
        QStringList quatro(4);
        separaitens(quatro, "x@a.com; y@b.com", ";");
        QCOMPARE(quatro, (QStringList{"x@a.com", "y@b.com", "", ""}));

        QVERIFY(enderecoemailvalido("  joao.silva+dizimo@gmail.com "));
        // Options, mailto and extra URL fields cannot be smuggled in.
        for (const char* e : {"--attach=/etc/passwd", "-x@a.com", "mailto:a@b.com?attach=/etc/shadow", "MAILTO:a@b.com",
                              "a@b.com?bcc=c@d.com", "a@b.com&attach=x", "paroquia.org.br", "a@b@c.com", "a b@c.com",
                              "a@b.com\nX"})
            QVERIFY2(!enderecoemailvalido(e), e);
    }

    void recusasEArgumentosDoCliente()
    {
        for (const auto& [para, copia] : QList<QPair<QString, QString>>{{"", ""}, {";", ""}, {"--help", ""},
                                                                        {"a@x.com", "mailto:b@x.com"}})
            QCOMPARE(enviaemail("s", para, copia, "", "", "b"), int(EmailDestinatarioInvalido));
        QCOMPARE(enviaemail("s", "a@x.com", "", "", "/nao/existe/relatorio.txt", "b"), int(EmailAnexoNaoEncontrado));
        QVERIFY(Dialogos::registros("programa").isEmpty());
        Dialogos::respondePrograma(false);
        QCOMPARE(enviaemail("s", "a@x.com", "", "", "", "b"), int(EmailSemCliente));
        QTemporaryDir pasta;
        const QString anexo = pasta.filePath("QuardaDigital.txt");
        QVERIFY(escreve(anexo, "x\r\n"));
        QCOMPARE(mensagemstatusemail(EmailSemCliente, anexo),
                 "Não foi possível abrir nenhum programa de e-mail: verifique se há um programa de e-mail instalado e "
                 "configurado. Nada foi enviado.\n\nO arquivo a enviar foi gravado em:\n" + anexo);
        // No mail program on the desktop: nothing is started (xdg-email would fall back to a text browser).
        defineconsultaclienteemail([] { return QString(); });
        QCOMPARE(enviaemail(ASSUNTO, "a@x.com", "", "", anexo, CORPO), int(EmailSemCliente));
        QCOMPARE(Dialogos::registros("programa").size(), 1);
        defineconsultaclienteemail([] { return QString("thunderbird.desktop"); });
        QCOMPARE(enviaemail(ASSUNTO, "a@x.com; b@x.com", "c@x.com", "d@x.com", anexo, CORPO), int(EmailEnviado));
        QCOMPARE(QStringList(Dialogos::ultimo("programa").texto) + Dialogos::ultimo("programa").argumentos,
                 (QStringList{"xdg-email", "--utf8", "--subject", ASSUNTO, "--body", CORPO, "--cc", "c@x.com", "--bcc",
                              "d@x.com", "--attach", anexo, "a@x.com", "b@x.com"}));
        // An empty subject or body is left out (the client refuses empty values); empty items too.
        QStringList args;
        QVERIFY(argumentosemail("", "a@x.com;;", "", "", "", "", &args));
        QCOMPARE(args, (QStringList{"--utf8", "a@x.com"}));
    }

    void clienteFalsoRecebeAMensagem()
    {
        if (QStandardPaths::findExecutable("xdg-email").isEmpty())
            QSKIP("xdg-email (xdg-utils) is not installed");
        QTemporaryDir pasta;
        const QString saida = pasta.filePath("mailto.txt"), script = pasta.filePath("cliente.sh");
        const QString corpo = QString("#!/bin/sh\nprintf '%s' \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(saida);
        QVERIFY(escreve(script, corpo.toUtf8(), true));
        const QString anexo = pasta.filePath("QuardaDigital.txt");
        QVERIFY(escreve(anexo, "relatorio\r\n"));

        qputenv("MAILER", QFile::encodeName(script));
        defineconsultaclienteemail(nullptr);   // MAILER is a mail program, whatever handles mailto links
        Dialogos::ativaModoTeste(false);
        const int status = enviaemail(ASSUNTO, "secretaria@paroquia.org.br", "", "", anexo, CORPO);
        Dialogos::ativaModoTeste(true);
        qunsetenv("MAILER");
        QCOMPARE(status, int(EmailEnviado));

        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saida), 15000);
        QFile r(saida);
        const QUrl url(r.open(QIODevice::ReadOnly) ? QString::fromUtf8(r.readAll()) : QString());
        QCOMPARE(url.scheme() + ":" + url.path(), QString("mailto:secretaria@paroquia.org.br"));
        for (const auto& [campo, valor] : QList<QPair<QString, QString>>{
                 {"subject", ASSUNTO}, {"body", CORPO}, {"attach", QFileInfo(anexo).canonicalFilePath()}})
            QCOMPARE(QUrlQuery(url).queryItemValue(campo, QUrl::FullyDecoded), valor);
    }

    // The desktop is asked (xdg-mime) for the handler of mailto links before anything starts.
    void semClienteDeEmailEAvisado_data()
    {
        QTest::addColumn<QByteArray>("handler");
        QTest::newRow("nenhum programa de e-mail") << QByteArray();
        QTest::newRow("programa que falha") << QByteArray("thunderbird.desktop");
    }
    void semClienteDeEmailEAvisado()
    {
        QFETCH(QByteArray, handler);
        QTemporaryDir pasta;
        const QString anexo = pasta.filePath("QuardaDigital.txt"), iniciado = pasta.filePath("iniciado");
        QVERIFY(escreve(anexo, "x\r\n"));
        QVERIFY(escreve(pasta.filePath("xdg-mime"), "#!/bin/sh\n[ \"$*\" = 'query default x-scheme-handler/mailto' ] && echo '"
                                                        + handler + "'\n", true));
        // Found, the mail program finds no mail client and ends with 3.
        QVERIFY(escreve(pasta.filePath("xdg-email"), "#!/bin/sh\ntouch '" + iniciado.toUtf8() + "'\nexit 3\n", true));
        const QByteArray caminho = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(pasta.path()) + ":" + caminho);
        defineconsultaclienteemail(nullptr);
        Dialogos::ativaModoTeste(false);
        const int status = enviaemail(ASSUNTO, "secretaria@paroquia.org.br", "", "", anexo, CORPO);
        Dialogos::ativaModoTeste(true);
        qputenv("PATH", caminho);
        if (handler.isEmpty()) {
            QCOMPARE(status, int(EmailSemCliente));
            QTest::qWait(200);
            QVERIFY(!QFile::exists(iniciado));
            return;
        }
        QCOMPARE(status, int(EmailEnviado));
        QTRY_VERIFY_WITH_TIMEOUT(!Dialogos::registros("msgbox").isEmpty(), 10000);
        QVERIFY(QFile::exists(iniciado));
        QCOMPARE(Dialogos::ultimo("msgbox").texto, mensagemstatusemail(EmailSemCliente, anexo));
        QCOMPARE(Dialogos::ultimo("msgbox").estilo, 0);
    }
};

TIVANE_TEST_MAIN(TstEmail)
#include "tst_email.moc"
