#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/registro.h"

#include <QDir>
#include <QFile>

using namespace tivane;

class TstConexao : public QObject {
    Q_OBJECT

    QByteArray conteudo(const QString& caminho)
    {
        QFile f(caminho);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void escreve(const QString& caminho, const QByteArray& dados)
    {
        QFile f(caminho);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(dados);
    }

private Q_SLOTS:
    void init()
    {
        teste::limpaConfiguracoes();
        teste::criaBancoTeste();
        Dialogos::limpa();
    }

    void arquivoCifrado()
    {
        const QByteArray dados = conteudo(Banco::caminhoArquivo());
        QVERIFY(dados.size() > 0);
        QVERIFY(!dados.startsWith("SQLite format 3"));
        QCOMPARE(QFileInfo(Banco::caminhoArquivo()).fileName(), QString("cadastrocd.mdb"));
    }

    void bancoNovoTemQuatroTabelasEUmaIgreja()
    {
        Escopo e = abreconexaoigreja();
        QVERIFY(e.ok());
        Consulta c("SELECT count(*), min(sobra) FROM igreja");
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 1);
        QCOMPARE(c.text(1), QString("1"));
        for (const char* t : {"dizimistas", "usuarios", "pagamentos"}) {
            Consulta n(QString("SELECT count(*) FROM %1").arg(t));
            QVERIFY2(n.next(), t);
            QCOMPARE(n.inteiro(0), 0);
        }
    }

    void apostrofoEmValores()
    {
        Escopo e = abreconexaodizimistas();
        QVERIFY(e);
        Consulta ins("INSERT INTO dizimistas (codigo, nome) VALUES (?, ?)");
        QVERIFY(ins.bind("0001").bind("Joana D'Arc").exec());
        Consulta sel("SELECT codigo FROM dizimistas WHERE nome = ?");
        sel.bind("Joana D'Arc");
        QVERIFY(sel.next());
        QCOMPARE(sel.text(0), QString("0001"));
        Consulta like("SELECT count(*) FROM dizimistas WHERE nome LIKE ?");
        like.bind("%d'arc%");
        QVERIFY(like.next());
        QCOMPARE(like.inteiro(0), 1);
    }

    void nuloDiferenteDeVazio()
    {
        Escopo e = abreconexaodizimistas();
        Consulta ins("INSERT INTO dizimistas (codigo, nome, rg, cpf) VALUES (?, ?, ?, ?)");
        QVERIFY(ins.bind("0001").bind("Ana").bindNull().bind(QString("")).exec());
        Consulta sel("SELECT rg, cpf, codigo FROM dizimistas");
        QVERIFY(sel.next());
        QVERIFY(sel.isNull(0));
        QVERIFY(!sel.value(0).isValid());
        QCOMPARE(sel.text(0), QString(""));
        QVERIFY(!sel.isNull(1));
        QCOMPARE(sel.value(1).toString(), QString(""));
        QCOMPARE(sel.text("codigo"), QString("0001"));   // text stays text
    }

    void textoComparadoSemCaixaComAcentos()
    {
        Escopo e = abreconexaodizimistas();
        teste::sql("INSERT INTO dizimistas (codigo, nome, bairro) VALUES ('0001', 'JOSÉ ÂNGELO', 'SÃO JOÃO')");
        Consulta igual("SELECT count(*) FROM dizimistas WHERE nome = ?");
        igual.bind("josé ângelo");
        QVERIFY(igual.next());
        QCOMPARE(igual.inteiro(0), 1);
        Consulta parte("SELECT count(*) FROM dizimistas WHERE bairro LIKE ?");
        parte.bind("%são joão%");
        QVERIFY(parte.next());
        QCOMPARE(parte.inteiro(0), 1);
        Consulta sublinhado("SELECT count(*) FROM dizimistas WHERE nome LIKE ?");
        sublinhado.bind("jos_ %");
        QVERIFY(sublinhado.next());
        QCOMPARE(sublinhado.inteiro(0), 1);
        // Accents still count: "jose" is another name.
        Consulta semAcento("SELECT count(*) FROM dizimistas WHERE nome = ?");
        semAcento.bind("jose ângelo");
        QVERIFY(semAcento.next());
        QCOMPARE(semAcento.inteiro(0), 0);
    }

    void likeDobraCaixaECasaPadroes_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("padrao");
        QTest::addColumn<bool>("casa");
        QTest::newRow("contém") << "Maria da Conceição" << "%CONCEIÇÃO%" << true;
        QTest::newRow("fim exige volta") << "abcabd" << "%abd" << true;
        QTest::newRow("vários %") << "Rua São João, 12" << "%são%jo_o%12" << true;
        QTest::newRow("sublinhado é um caractere") << "É" << "_" << true;
        QTest::newRow("sublinhado não é dois") << "Éa" << "_" << false;
        QTest::newRow("sem curinga é igual") << "ana" << "ANA" << true;
        QTest::newRow("prefixo") << "0012" << "0%" << true;
        QTest::newRow("não contém") << "Pedro" << "%paulo%" << false;
        QTest::newRow("vazio só com %") << "" << "%" << true;
        QTest::newRow("muitos % sem casar") << QString(3000, 'a') << "%a%a%a%a%a%a%a%a%b" << false;
    }
    void likeDobraCaixaECasaPadroes()
    {
        QFETCH(QString, valor);
        QFETCH(QString, padrao);
        QFETCH(bool, casa);
        Escopo e = abreconexaodizimistas();
        Consulta c("SELECT ? LIKE ?");
        c.bind(valor).bind(padrao);
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0) == 1, casa);
    }

    void likeComEscape()
    {
        Escopo e = abreconexaodizimistas();
        Consulta c("SELECT 'a%b' LIKE 'a!%b' ESCAPE '!', 'axb' LIKE 'a!%b' ESCAPE '!', 'A_B' LIKE 'a!_%' ESCAPE '!'");
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 1);
        QCOMPARE(c.inteiro(1), 0);
        QCOMPARE(c.inteiro(2), 1);
        // The same statement run with another pattern uses the new one.
        Consulta d("SELECT count(*) FROM (SELECT 'Ana' AS n UNION ALL SELECT 'Bia') WHERE n LIKE ?");
        d.bind("a%");
        QVERIFY(d.next());
        QCOMPARE(d.inteiro(0), 1);
        d.reset();
        d.bind("%a");
        QVERIFY(d.next());
        QCOMPARE(d.inteiro(0), 2);
    }

    void alteracaoQueFalhaMantemLinhaAntiga()
    {
        Escopo e = abreconexaodizimistas();
        teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'Ana')");
        teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0002', 'Bia')");
        QVERIFY(e.inicia());
        Consulta del("DELETE FROM dizimistas WHERE codigo = ?");
        QVERIFY(del.bind("0001").exec());
        // The new row collides with another code: the insert fails.
        Consulta ins("INSERT INTO dizimistas (codigo, nome) VALUES (?, ?)");
        QVERIFY(!ins.bind("0002").bind("Ana Maria").exec());
        QVERIFY(!ins.erro().isEmpty());
        e.desfaz();
        Consulta sel("SELECT nome FROM dizimistas WHERE codigo = '0001'");
        QVERIFY(sel.next());
        QCOMPARE(sel.text(0), QString("Ana"));
    }

    void transacaoNaoConfirmadaEhDesfeitaAoSairDoEscopo()
    {
        {
            Escopo e = abreconexaopagamentos();
            QVERIFY(e.inicia());
            QVERIFY(teste::sql("INSERT INTO pagamentos (codigo) VALUES ('00001/26')"));
            {
                Escopo interno = abreconexaodizimistas();
                QVERIFY(interno.inicia());
                QVERIFY(teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0009')"));
                QVERIFY(interno.confirma());
            }
        }
        Escopo e = abreconexaopagamentos();
        Consulta c("SELECT (SELECT count(*) FROM pagamentos) + (SELECT count(*) FROM dizimistas)");
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 0);
    }

    void arquivoAusentePerguntaERestaura()
    {
        const QString caminho = Banco::caminhoArquivo();
        Banco::closeAll();
        QFile::remove(caminho);
        Dialogos::respondeMsgbox(Dialogos::Sim);
        const int antes = vezesEncerrado();
        {
            Escopo e = abreconexaousuarios();
            QVERIFY(!e.ok());
        }
        QCOMPARE(vezesEncerrado(), antes + 1);
        const auto caixas = Dialogos::registros("msgbox");
        QCOMPARE(caixas.size(), 2);
        QCOMPARE(caixas[0].estilo, 292);
        QCOMPARE(caixas[0].texto, QStringLiteral("O Banco de dados de cadastros não foi localizado: ") + caminho
                                      + QStringLiteral(" , deseja restaurar as configurações padrão do sistema?"));
        QCOMPARE(caixas[1].texto, QStringLiteral("Configurações restauradas com sucesso! Reinicialize o sistema !"));
        QCOMPARE(lertextopadrao("caminhopadrao"), caminhoPadraoInicial());
        QVERIFY(!QFile::exists(caminho));
    }

    void arquivoVazioContaComoAusente()
    {
        const QString caminho = Banco::caminhoArquivo();
        const QString pasta = lertextopadrao("caminhopadrao");
        Banco::closeAll();
        escreve(caminho, QByteArray());
        Dialogos::respondeMsgbox(Dialogos::Nao);
        Escopo e = abreconexaopagamentos();
        QVERIFY(!e.ok());
        QCOMPARE(Dialogos::ultimo().texto, QStringLiteral("O Sistema será finalizado!"));
        QCOMPARE(Dialogos::ultimo().estilo, 48);
        QCOMPARE(lertextopadrao("caminhopadrao"), pasta);   // No changes nothing
    }

    void arquivoEstranhoNaoEhTocado_data()
    {
        QTest::addColumn<QByteArray>("dados");
        QTest::newRow("texto") << QByteArray("isto não é um banco de dados\r\n").repeated(100);
        QTest::newRow("access") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 19) + QByteArray(4000, '\x11');
    }
    void arquivoEstranhoNaoEhTocado()
    {
        QFETCH(QByteArray, dados);
        const QString caminho = Banco::caminhoArquivo();
        Banco::closeAll();
        escreve(caminho, dados);
        const int antes = vezesEncerrado();
        {
            Escopo e = abreconexaodizimistas();
            QVERIFY(!e.ok());
        }
        QCOMPARE(vezesEncerrado(), antes + 1);
        QCOMPARE(Dialogos::ultimo().estilo, 48);
        QVERIFY(Dialogos::ultimo().texto.contains("O Sistema será finalizado!"));
        QCOMPARE(conteudo(caminho), dados);
    }

    void arquivoComOutraSenhaNaoAbre()
    {
        // A SQLCipher file keyed with another password.
        const QString caminho = Banco::caminhoArquivo();
        Banco::closeAll();
        QFile::remove(caminho);
        QVERIFY(Banco::criaBancoVazio(caminho));
        QByteArray dados = conteudo(caminho);
        // Flip the salt: the same bytes can no longer be decrypted with our key.
        for (int i = 0; i < 16; ++i)
            dados[i] = static_cast<char>(dados[i] ^ 0x5A);
        escreve(caminho, dados);
        {
            Escopo e = abreconexaousuarios();
            QVERIFY(!e.ok());
        }
        QCOMPARE(conteudo(caminho), dados);
        QVERIFY(Dialogos::ultimo().texto.contains("senha"));
    }

    void pastaDeDadosTrocadaReabreOutroArquivo()
    {
        {
            Escopo e = abreconexaodizimistas();
            teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001')");
        }
        const QString primeira = retornacaminhopadrao();
        teste::criaBancoTeste("outra");
        {
            Escopo e = abreconexaodizimistas();
            Consulta c("SELECT count(*) FROM dizimistas");
            QVERIFY(c.next());
            QCOMPARE(c.inteiro(0), 0);
        }
        // Without the trailing separator the file is still found.
        QString semBarra = primeira;
        semBarra.chop(1);
        gravatextopadrao("caminhopadrao", semBarra);
        Escopo e = abreconexaodizimistas();
        Consulta c("SELECT count(*) FROM dizimistas");
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 1);
    }

    void arquivoSubstituidoEhReaberto()
    {
        const QString caminho = Banco::caminhoArquivo();
        {
            Escopo e = abreconexaodizimistas();
            QVERIFY(teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001')"));
        }
        // A restore puts another file in the same place while the connection is open.
        const QString copia = caminho + ".novo";
        QVERIFY(Banco::criaBancoVazio(copia));
        QFile::remove(caminho);
        QVERIFY(QFile::rename(copia, caminho));
        Escopo e = abreconexaodizimistas();
        Consulta c("SELECT count(*) FROM dizimistas");
        QVERIFY(c.next());
        QCOMPARE(c.inteiro(0), 0);
    }

    void primeiraExecucaoCriaBancoVazio()
    {
        teste::limpaConfiguracoes();
        Banco::closeAll();
        const QString pasta = caminhoPadraoInicial();
        QDir(pasta).removeRecursively();
        QVERIFY(Banco::preparaPrimeiraExecucao());
        QVERIFY(arquivoexiste(pasta + "/cadastrocd.mdb"));
        // Settings exist now: the next start does not create anything.
        retornacaminhopadrao();
        QVERIFY(!Banco::preparaPrimeiraExecucao());
        Escopo e = abreconexaoigreja();
        QVERIFY(e.ok());
        QDir(pasta).removeRecursively();
    }

    void gravacaoQueFalhaEhInformada()
    {
        Escopo e = abreconexaodizimistas();
        teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001')");
        Consulta dup("INSERT INTO dizimistas (codigo) VALUES ('0001')");
        QVERIFY(!dup.exec());
        Banco::avisaFalhaGravacao();
        QCOMPARE(Dialogos::ultimo().estilo, 48);
        QVERIFY(Dialogos::ultimo().texto.startsWith(QStringLiteral("Não foi possível gravar")));
    }
};

TIVANE_TEST_MAIN(TstConexao)
#include "tst_conexao.moc"
