#include "testsupport.h"

#include "core/dialogos.h"
#include "core/registro.h"

#include <QDir>
#include <QSettings>

using namespace tivane;

namespace {
QByteArray bytes(const QString& s) { return s.toLatin1(); }
QString latin1(std::initializer_list<int> codigos)
{
    QByteArray b;
    for (int c : codigos)
        b.append(static_cast<char>(c));
    return QString::fromLatin1(b);
}
}  // namespace

class TstRegistro : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        teste::limpaConfiguracoes();
        Dialogos::limpa();
    }

    void embaralhaComChaveDoPrograma_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        // VORDINK: only V O R D I N (86 79 82 68 73 78) are used, then back to V.
        QTest::newRow("0000") << "0000" << latin1({134, 127, 130, 116});
        QTest::newRow("1234567") << "1234567" << latin1({135, 129, 133, 120, 126, 132, 141});
        QTest::newRow("vazio") << "" << "";
    }
    void embaralhaComChaveDoPrograma()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        const QString r = codificatexto(CHAVE_USUARIO, texto, 1);
        QCOMPARE(bytes(r), bytes(esperado));
        QCOMPARE(codificatexto(CHAVE_USUARIO, r, 2), texto);
    }

    void embaralhaDaVoltaPor255()
    {
        // Key codes 86, 79, 82: 169+86 = 255 stays; 177+79 = 256 becomes 1; 200+82 = 282 becomes 27.
        const QString r = codificatexto(CHAVE_USUARIO, latin1({169, 177, 200}), 1);
        QCOMPARE(bytes(r), bytes(latin1({255, 1, 27})));
        QCOMPARE(bytes(codificatexto(CHAVE_USUARIO, r, 2)), bytes(latin1({169, 177, 200})));
        // Unscrambling below zero adds 255: 10 - 86 = -76 becomes 179.
        QCOMPARE(bytes(codificatexto(CHAVE_USUARIO, latin1({10}), 2)), bytes(latin1({179})));
        // Any mode but 1 and 2 gives nothing.
        QCOMPARE(codificatexto(CHAVE_USUARIO, "1234", 0), QString(""));
        QCOMPARE(codificatexto(CHAVE_USUARIO, "1234", 1.5), QString(""));
        // A one-character key always uses that character; two characters use only the first.
        QCOMPARE(bytes(codificatexto("A", "AAA", 1)), bytes(latin1({130, 130, 130})));
        QCOMPARE(bytes(codificatexto("AB", "AAA", 1)), bytes(latin1({130, 130, 130})));
    }

    void usuarioAtualGuardadoEmbaralhado()
    {
        QString codigo = "0007";
        QVERIFY(gravausuarioatual(codigo));
        QVERIFY(codigo != "0007");   // the caller's variable holds the scrambled code
        QCOMPARE(lerusuarioatual(), QString("0007"));
        QSettings s(QSettings::IniFormat, QSettings::UserScope, "Tivane", "TivaneDizimo");
        QCOMPARE(bytes(s.value("currentf/cod").toString()), bytes(codificatexto(CHAVE_USUARIO, "0007", 1)));
    }

    void configuracaoNova()
    {
        QCOMPARE(lertextopadrao("msgcentral"), QString(""));
        QVERIFY(!lertextopadrao("msgcentral").isNull());
        for (const char* op : {"01", "02", "03", "04", "05", "06", "07"})
            QVERIFY2(!leropcao(op), op);
        QVERIFY(!existemConfiguracoes());
        const QString caminho = retornacaminhopadrao();
        QCOMPARE(caminho, QDir::homePath() + "/TivaneDizimos/");
        QCOMPARE(lertextopadrao("caminhopadrao"), QDir::homePath() + "/TivaneDizimos");
    }

    void caminhoPadraoSempreTerminaComSeparador()
    {
        QVERIFY(gravatextopadrao("caminhopadrao", "/dados/igreja/"));
        QCOMPARE(retornacaminhopadrao(), QString("/dados/igreja/"));
        QVERIFY(gravatextopadrao("caminhopadrao", "/dados/igreja"));
        QCOMPARE(retornacaminhopadrao(), QString("/dados/igreja/"));
        // A long path is kept as it is (no 255-byte limit).
        const QString longo = "/" + QString("pasta-com-nome-comprido/").repeated(20);
        QVERIFY(gravatextopadrao("caminhopadrao", longo));
        QCOMPARE(retornacaminhopadrao(), longo);
    }

    void opcaoSoEhSimParaTextosClaros_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("sim");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("true") << "true" << true;
        QTest::newRow("-1") << "-1" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("Falso") << "Falso" << false;
        QTest::newRow("abc") << "abc" << false;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("vazio") << "" << false;
    }
    void opcaoSoEhSimParaTextosClaros()
    {
        QFETCH(QString, texto);
        QFETCH(bool, sim);
        QVERIFY(gravavalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\opcoes", "05", texto));
        QCOMPARE(leropcao("05"), sim);
    }

    void restaurarPadroes()
    {
        QVERIFY(gravatextopadrao("caminhologo", "/imagens/logo.jpg"));
        QVERIFY(gravatextopadrao("caminhopadrao", "/outro"));
        QVERIFY(restaurapadroes(false));
        QVERIFY(Dialogos::registros().isEmpty());
        QCOMPARE(lertextopadrao("caminhopadrao"), caminhoPadraoInicial());
        QVERIFY(leropcao("02"));
        for (const char* op : {"01", "03", "04", "05", "06", "07"})
            QVERIFY2(!leropcao(op), op);
        QCOMPARE(lertextopadrao("msgcentral"), QStringLiteral("PAGAMENTO DE DÍZIMO"));
        QCOMPARE(lertextopadrao("tempolimite"), QString("120"));
        QCOMPARE(lertextopadrao("caminhologo"), QString("/imagens/logo.jpg"));
    }

    void restaurarPerguntaAntes()
    {
        QVERIFY(gravatextopadrao("msgcentral", "OFERTA"));
        Dialogos::respondeMsgbox(Dialogos::Nao);
        QVERIFY(!restaurapadroes(true));
        QCOMPARE(Dialogos::registros().size(), 1);
        QCOMPARE(Dialogos::ultimo().estilo, 36);
        QCOMPARE(lertextopadrao("msgcentral"), QString("OFERTA"));

        Dialogos::respondeMsgbox(Dialogos::Sim);
        QVERIFY(restaurapadroes(true));
        QCOMPARE(Dialogos::ultimo().texto, QStringLiteral("Configurações restauradas com sucesso!"));
        QCOMPARE(Dialogos::ultimo().estilo, 64);
    }

    void gravacaoQueFalhaEhInformada()
    {
        QString arquivo;
        {
            QSettings s(QSettings::IniFormat, QSettings::UserScope, "Tivane", "TivaneDizimo");
            arquivo = s.fileName();
        }
        // A folder in place of the settings file cannot be written, not even by root.
        QFile::remove(arquivo);
        QVERIFY(QDir().mkpath(arquivo));
        const bool gravou = gravatextopadrao("msgcentral", "X");
        const bool restaurou = restaurapadroes(false);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        const bool restaurouPerguntando = restaurapadroes(true);
        QDir(arquivo).removeRecursively();
        QVERIFY(!gravou);
        QVERIFY(!restaurou);
        QVERIFY(!restaurouPerguntando);
        QCOMPARE(Dialogos::ultimo().estilo, 48);
    }

    void arquivoVazioNaoExiste()
    {
        const QString pasta = teste::pastaTemporaria();
        QFile vazio(pasta + "/vazio.bin");
        QVERIFY(vazio.open(QIODevice::WriteOnly));
        vazio.close();
        QVERIFY(!arquivoexiste(vazio.fileName()));
        QVERIFY(!arquivoexiste(pasta + "/nao-existe.bin"));
        QVERIFY(!arquivoexiste(pasta));
    }
};

TIVANE_TEST_MAIN(TstRegistro)
#include "tst_registro.moc"
