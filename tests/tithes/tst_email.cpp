// Item lists of the mail routine, the arguments handed to the mail client and
// a real run of xdg-email against a fake mail client.
#include "testsupport.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

#include "core/dialogos.h"
#include "tithes/email.h"

using namespace tivane;

class TstEmail : public QObject {
    Q_OBJECT

private slots:
    void init() { Dialogos::limpa(); }
    void contagemDeItens_data();
    void contagemDeItens();
    void proximoItemESeparacao();
    void enderecos_data();
    void enderecos();
    void argumentosDoCliente();
    void recusasNaoChamamOCliente();
    void falhaAoIniciarOCliente();
    void clienteFalsoRecebeAMensagem();
};

void TstEmail::contagemDeItens_data()
{
    QTest::addColumn<QString>("lista");
    QTest::addColumn<int>("itens");
    QTest::newRow("tres") << "a;b;c" << 3;
    QTest::newRow("separador final") << "a;b;" << 2;
    QTest::newRow("vazio") << "" << 0;
    QTest::newRow("so separador") << ";" << 1;
    QTest::newRow("item vazio no meio") << "a;;b" << 3;
    QTest::newRow("espacos") << "a ; b" << 2;
    QTest::newRow("espaco depois do separador") << "a; " << 2;
}

void TstEmail::contagemDeItens()
{
    QFETCH(QString, lista);
    QFETCH(int, itens);
    QCOMPARE(contaitens(lista, ";"), itens);
}

void TstEmail::proximoItemESeparacao()
{
    QString lista = " a ;;b";
    QCOMPARE(proximoitem(lista, ";"), QString("a"));
    QCOMPARE(lista, QString(";b"));
    QCOMPARE(proximoitem(lista, ";"), QString(""));
    QCOMPARE(proximoitem(lista, ";"), QString("b"));
    QCOMPARE(lista, QString(""));

    QStringList quatro(4);
    separaitens(quatro, "x@a.com; y@b.com", ";");
    QCOMPARE(quatro, (QStringList{"x@a.com", "y@b.com", "", ""}));
}

void TstEmail::enderecos_data()
{
    QTest::addColumn<QString>("endereco");
    QTest::addColumn<bool>("valido");
    QTest::newRow("simples") << "secretaria@paroquia.org.br" << true;
    QTest::newRow("com espacos em volta") << "  joao.silva+dizimo@gmail.com " << true;
    QTest::newRow("opcao") << "--attach=/etc/passwd" << false;
    QTest::newRow("hifen") << "-x@a.com" << false;
    QTest::newRow("mailto") << "mailto:a@b.com?attach=/etc/shadow" << false;
    QTest::newRow("MAILTO") << "MAILTO:a@b.com" << false;
    QTest::newRow("campo extra") << "a@b.com?bcc=c@d.com" << false;
    QTest::newRow("e comercial") << "a@b.com&attach=x" << false;
    QTest::newRow("sem arroba") << "paroquia.org.br" << false;
    QTest::newRow("duas arrobas") << "a@b@c.com" << false;
    QTest::newRow("espaco no meio") << "a b@c.com" << false;
    QTest::newRow("quebra de linha") << "a@b.com\nX" << false;
}

void TstEmail::enderecos()
{
    QFETCH(QString, endereco);
    QFETCH(bool, valido);
    QCOMPARE(enderecoemailvalido(endereco), valido);
}

void TstEmail::argumentosDoCliente()
{
    QTemporaryDir pasta;
    const QString anexo = pasta.filePath("QuardaDigital.txt");
    QFile f(anexo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x\r\n");
    f.close();

    QCOMPARE(enviaemail("Tivane Dízimos - Envio de Relatório", "a@x.com; b@x.com", "c@x.com", "d@x.com", anexo,
                        "Segue em anexo Arquivo com marcações do Tivane Dízimos"),
             int(EmailEnviado));
    const Dialogos::Registro r = Dialogos::ultimo("programa");
    QCOMPARE(r.texto, QString("xdg-email"));
    QCOMPARE(r.argumentos,
             (QStringList{"--utf8", "--subject", "Tivane Dízimos - Envio de Relatório", "--body",
                          "Segue em anexo Arquivo com marcações do Tivane Dízimos", "--cc", "c@x.com", "--bcc",
                          "d@x.com", "--attach", anexo, "a@x.com", "b@x.com"}));

    // An empty subject or body is left out (the client refuses empty values); empty items too.
    QStringList args;
    QVERIFY(argumentosemail("", "a@x.com;;", "", "", "", "", &args));
    QCOMPARE(args, (QStringList{"--utf8", "a@x.com"}));
}

void TstEmail::recusasNaoChamamOCliente()
{
    QCOMPARE(enviaemail("s", "", "", "", "", "b"), int(EmailDestinatarioInvalido));
    QCOMPARE(enviaemail("s", ";", "", "", "", "b"), int(EmailDestinatarioInvalido));
    QCOMPARE(enviaemail("s", "--help", "", "", "", "b"), int(EmailDestinatarioInvalido));
    QCOMPARE(enviaemail("s", "a@x.com", "mailto:b@x.com", "", "", "b"), int(EmailDestinatarioInvalido));
    QCOMPARE(enviaemail("s", "a@x.com", "", "", "/nao/existe/relatorio.txt", "b"), int(EmailAnexoNaoEncontrado));
    QVERIFY(Dialogos::registros("programa").isEmpty());
    QVERIFY(!mensagemstatusemail(EmailDestinatarioInvalido).isEmpty());
}

void TstEmail::falhaAoIniciarOCliente()
{
    Dialogos::respondePrograma(false);
    QCOMPARE(enviaemail("s", "a@x.com", "", "", "", "b"), int(EmailSemCliente));
    QVERIFY(mensagemstatusemail(EmailSemCliente).contains("programa de e-mail"));
}

void TstEmail::clienteFalsoRecebeAMensagem()
{
    if (QStandardPaths::findExecutable("xdg-email").isEmpty())
        QSKIP("xdg-email (xdg-utils) is not installed");
    QTemporaryDir pasta;
    const QString saida = pasta.filePath("mailto.txt");
    const QString script = pasta.filePath("cliente.sh");
    QFile s(script);
    QVERIFY(s.open(QIODevice::WriteOnly));
    s.write(QString("#!/bin/sh\nprintf '%s' \"$1\" > '" + saida + ".tmp' && mv '" + saida + ".tmp' '" + saida +
                    "'\n")
                .toUtf8());
    s.close();
    s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString anexo = pasta.filePath("QuardaDigital.txt");
    QFile a(anexo);
    QVERIFY(a.open(QIODevice::WriteOnly));
    a.write("relatorio\r\n");
    a.close();

    qputenv("MAILER", QFile::encodeName(script));
    Dialogos::ativaModoTeste(false);
    const int status = enviaemail("Tivane Dízimos - Envio de Relatório", "secretaria@paroquia.org.br", "", "", anexo,
                                  "Segue em anexo Arquivo com marcações do Tivane Dízimos");
    Dialogos::ativaModoTeste(true);
    qunsetenv("MAILER");
    QCOMPARE(status, int(EmailEnviado));

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saida), 15000);
    QFile r(saida);
    QVERIFY(r.open(QIODevice::ReadOnly));
    const QUrl url(QString::fromUtf8(r.readAll()));
    QCOMPARE(url.scheme(), QString("mailto"));
    QCOMPARE(url.path(), QString("secretaria@paroquia.org.br"));
    const QUrlQuery q(url);
    QCOMPARE(q.queryItemValue("subject", QUrl::FullyDecoded), QString("Tivane Dízimos - Envio de Relatório"));
    QCOMPARE(q.queryItemValue("body", QUrl::FullyDecoded),
             QString("Segue em anexo Arquivo com marcações do Tivane Dízimos"));
    QCOMPARE(q.queryItemValue("attach", QUrl::FullyDecoded), QFileInfo(anexo).canonicalFilePath());
}

TIVANE_TEST_MAIN(TstEmail)
#include "tst_email.moc"
