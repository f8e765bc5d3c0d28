#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/migracao.h"
#include "core/permissoes.h"
#include "core/registro.h"
#include "core/vigia.h"
#include "shell/aberturabanco.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>

using namespace tivane;

using teste::conteudo, teste::escreve;

namespace {
// Runs SQL with the key on the data folder's file through a connection of the test's
// own (with the old collation when asked); the first column of the last statement's row.
QString cru(const QByteArray& sql, bool dobra = false)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(Banco::caminhoArquivo()).constData(), &db);
    sqlite3_exec(db, "PRAGMA key = 'qorm64';", nullptr, nullptr, nullptr);
    if (dobra)
        sqlite3_create_collation(db, "FOLD", SQLITE_UTF8, nullptr, [](void*, int n1, const void* a, int n2, const void* b) {
            return QString::fromUtf8(static_cast<const char*>(a), n1).compare(QString::fromUtf8(static_cast<const char*>(b), n2),
                                                                                Qt::CaseInsensitive);
        });
    QString r;
    const char* resto = sql.constData();
    while (*resto) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, resto, -1, &st, &resto) != SQLITE_OK) {
            r = QString::fromUtf8(sqlite3_errmsg(db));
            break;
        }
        if (st && sqlite3_step(st) == SQLITE_ROW)
            r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return r;
}

int modo(const QString& caminho)
{
    struct stat st;
    return ::stat(QFile::encodeName(caminho).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
qint64 numeroInode(const QString& caminho)
{
    struct stat st;
    return ::stat(QFile::encodeName(caminho).constData(), &st) == 0 ? qint64(st.st_ino) : -1;
}
void defineModo(const QString& caminho, int m)
{
    ::chmod(QFile::encodeName(caminho).constData(), mode_t(m));
}

// The first column of the first row, with the values bound in order.
qint64 numero(const QString& sql, const QStringList& valores = {})
{
    Consulta c(sql);
    for (const QString& v : valores)
        c.bind(v);
    return c.next() ? c.inteiro(0) : -1;
}
}  // namespace

class TstConexao : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        teste::limpaConfiguracoes();
        teste::criaBancoTeste();
        Dialogos::limpa();
    }

    // An answer never set is a failure with a cause, never a row found or a row written.
    void respostaNaoDefinidaEhFalha()
    {
        QVERIFY(Leitura() == Leitura::Falha && !Leitura().causa().isEmpty());
        QVERIFY(Gravacao() == Gravacao::Falha && !Gravacao().causa().isEmpty());
    }

    void bancoNovoCifradoComQuatroTabelas()
    {
        QVERIFY(!conteudo(Banco::caminhoArquivo()).startsWith("SQLite format 3"));
        Escopo e = abreconexaoigreja();
        QVERIFY(e.ok());
        QCOMPARE(numero("SELECT count(*) FROM igreja WHERE sobra = '1'"), 1);
        QCOMPARE(numero("SELECT (SELECT count(*) FROM dizimistas) + (SELECT count(*) FROM usuarios)"
                        " + (SELECT count(*) FROM pagamentos)"),
                 0);
    }

    void valoresLigadosNuloEApostrofo()
    {
        Escopo e = abreconexaodizimistas();
        Consulta ins("INSERT INTO dizimistas (codigo, nome, rg, cpf) VALUES (?, ?, ?, ?)");
        QVERIFY(ins.bind("0001").bind("Joana D'Arc").bindNull().bind(QString("")).exec());
        Consulta sel("SELECT rg, cpf, codigo FROM dizimistas WHERE nome = ?");
        sel.bind("Joana D'Arc");
        QVERIFY(sel.next());
        QVERIFY(sel.isNull(0));
        QCOMPARE(sel.text(0), QString(""));
        QVERIFY(!sel.isNull(1));
        QCOMPARE(sel.text("codigo"), QString("0001"));   // text stays text
        QCOMPARE(numero("SELECT count(*) FROM dizimistas WHERE nome LIKE ?", {"%d'arc%"}), 1);
    }

    void textoComparadoSemCaixaComAcentos()
    {
        Escopo e = abreconexaodizimistas();
        teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'JOSÉ ÂNGELO')");
        QCOMPARE(numero("SELECT count(*) FROM dizimistas WHERE nome = ? COLLATE FOLD", {"josé ângelo"}), 1);
        QCOMPARE(numero("SELECT count(*) FROM dizimistas WHERE nome = ? COLLATE FOLD", {"jose ângelo"}), 0);   // accents count
        QCOMPARE(numero("SELECT count(*) FROM dizimistas WHERE nome = ?", {"josé ângelo"}), 0);   // the file itself compares plainly
    }

    // A file of the older program declares the collation in its schema; opening it
    // rebuilds those tables without it, every row in its place, and any SQLCipher
    // tool can then check it.
    void arquivoAntigoPerdeACollation()
    {
        Banco::closeAll();
        QDir().mkpath(teste::pastaTemporaria() + "/antigo");
        QVERIFY(gravatextopadrao("caminhopadrao", teste::pastaTemporaria() + "/antigo"));
        const char* linhas = "SELECT group_concat(rowid || ':' || codigo || ':' || ifnull(nome, '-'), ' ') FROM dizimistas";
        const QString antes = cru("CREATE TABLE dizimistas (codigo TEXT COLLATE FOLD, nome TEXT collate \"fold\", bairro TEXT);"
                                  "CREATE TABLE pagamentos (codigo TEXT COLLATE FOLD, codigodizimista TEXT COLLATE FOLD);"
                                  "CREATE UNIQUE INDEX ix_dizimistas_codigo ON dizimistas(codigo);"
                                  "CREATE INDEX ix_velho ON pagamentos(codigodizimista COLLATE FOLD, codigo);"
                                  "INSERT INTO dizimistas (codigo, nome) VALUES ('0003', 'JOSÉ'), ('0001', NULL), ('0009', 'A'),"
                                  " ('0002', 'Bia'); DELETE FROM dizimistas WHERE codigo = '0009';"
                                  "INSERT INTO pagamentos VALUES ('00001/24', '0003');" + QByteArray(linhas), true);
        QCOMPARE(antes, QString("1:0003:JOSÉ 2:0001:- 4:0002:Bia"));
        static QString avisos;
        Banco::defineAvisoReorganizacao([](bool inicio) { avisos += inicio ? "[" : "]"; });
        {
            Escopo e = abreconexaodizimistas();
            QCOMPARE(numero("SELECT count(*) FROM sqlite_master WHERE instr(upper(sql), 'FOLD') > 0"), 0);
            QCOMPARE(Consulta(linhas).next() ? antes : QString(), antes);   // every row, in its place
            QCOMPARE(numero("SELECT count(*) FROM sqlite_master WHERE name IN ('ix_dizimistas_codigo', 'ix_velho')"), 2);
            QVERIFY(!Consulta("INSERT INTO dizimistas (codigo) VALUES ('0001')").exec());   // still unique
            QCOMPARE(numero("SELECT count(*) FROM dizimistas WHERE nome = ? COLLATE FOLD", {"josé"}), 1);
        }
        Banco::closeAll();
        QVERIFY(abreconexaodizimistas().ok());   // once only
        Banco::defineAvisoReorganizacao(nullptr);
        QCOMPARE(avisos, QString("[]"));
        Banco::closeAll();
        QCOMPARE(cru("PRAGMA integrity_check"), QString("ok"));   // another tool, without the program's collation
    }

    // Failures of the engine reach the user in the program's words, naming the cause
    // (a file in use and a missing table: see the lookups' tests).
    void causaDaFalhaEmPortugues_data()
    {
        QTest::addColumn<QString>("alvo");   // made read only: "pasta", "arquivo", or nothing
        QTest::addColumn<QString>("causa");
        QTest::newRow("campo ausente") << "" << "o campo xyz não existe no banco de dados";
        QTest::newRow("pasta somente leitura") << "pasta" << "permite somente leitura (o programa precisa gravar nela)";
        QTest::newRow("arquivo somente leitura") << "arquivo" << "o arquivo permite somente leitura";
        // Not "not found": no question about restoring the settings.
        QTest::newRow("pasta sem acesso") << "entrada" << "não há permissão para entrar na pasta de dados";
    }
    void causaDaFalhaEmPortugues()
    {
        QFETCH(QString, alvo);
        QFETCH(QString, causa);
        if (!alvo.isEmpty() && ::geteuid() == 0) {
            QString saida;
            QVERIFY2(teste::executaSemPrivilegios(QString(QTest::currentTestFunction()) + ":" + QTest::currentDataTag(),
                                                  &saida),
                     qPrintable(saida));
            return;
        }
        const QString arquivo = alvo == "arquivo" ? Banco::caminhoArquivo() : QFileInfo(Banco::caminhoArquivo()).absolutePath();
        if (!alvo.isEmpty()) {
            QFile::setPermissions(arquivo, alvo == "entrada" ? QFile::Permissions() : QFile::ReadOwner | QFile::ExeOwner);
            Banco::closeAll();   // opened again as the program finds it
        }
        const bool protegido = !QFileInfo(arquivo).isWritable();
        const int encerrado = vezesEncerrado();
        Escopo e = abreconexaopagamentos();
        if (alvo == "entrada") {
            QFile::setPermissions(arquivo, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QVERIFY2(protegido, "the folder's modes are not enforced");
            QVERIFY(!e.ok() && vezesEncerrado() == encerrado + 1 && Dialogos::registros("msgbox").size() == 1);
            QVERIFY2(Dialogos::ultimo("msgbox").texto.contains(causa), qPrintable(Dialogos::ultimo("msgbox").texto));
            return;
        }
        Consulta c(alvo.isEmpty() ? "SELECT xyz FROM igreja" : "INSERT INTO pagamentos (codigo) VALUES ('00001/26')");
        const bool falhou = !c.exec();
        QFile::setPermissions(arquivo, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(alvo.isEmpty() || protegido, "the file modes are not enforced");
        QVERIFY(falhou);
        QVERIFY2(c.erro().contains(causa), qPrintable(c.erro()));
        Dialogos::avisaFalhaLeitura(QString(), c.erro());
        QCOMPARE(Dialogos::ultimo("msgbox").texto, "Não foi possível ler o banco de dados: " + c.erro() + ". A operação foi interrompida.");
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
        QTest::newRow("não contém") << "Pedro" << "%paulo%" << false;
        QTest::newRow("vazio só com %") << "" << "%" << true;
        QTest::newRow("muitos % sem casar") << QString(3000, 'a') << "%a%a%a%a%a%a%a%a%b" << false;
        // After a %, the text is read on to the first letter that can start the rest.
        QTest::newRow("começo falso antes") << "Silvio da Silva" << "%silva%" << true;
        QTest::newRow("letras que dobram para ASCII") << QString::fromUtf8("\u212Aarla \u017Filva") << "%karla%silva" << true;
        QTest::newRow("% antes de _") << "abc" << "%_c" << true;
        QTest::newRow("primeira letra ausente") << "Maria" << "%z%" << false;
    }
    void likeDobraCaixaECasaPadroes()
    {
        QFETCH(QString, valor);
        QFETCH(QString, padrao);
        QFETCH(bool, casa);
        Escopo e = abreconexaodizimistas();
        QCOMPARE(numero("SELECT ? LIKE ?", {valor, padrao}), casa ? 1 : 0);
    }

    void likeComEscapeEPadraoNovo()
    {
        Escopo e = abreconexaodizimistas();
        QCOMPARE(numero("SELECT 'a%b' LIKE 'a!%b' ESCAPE '!'"), 1);
        QCOMPARE(numero("SELECT 'axb' LIKE 'a!%b' ESCAPE '!'"), 0);
        // The same statement run again with another pattern uses the new one.
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
        teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'Ana'), ('0002', 'Bia')");
        QVERIFY(e.inicia());
        Consulta del("DELETE FROM dizimistas WHERE codigo = ?");
        QVERIFY(del.bind("0001").exec());
        Consulta ins("INSERT INTO dizimistas (codigo, nome) VALUES (?, ?)");
        QVERIFY(!ins.bind("0002").bind("Ana Maria").exec());   // collides with another code
        e.desfaz();
        QCOMPARE(numero("SELECT count(*) FROM dizimistas WHERE codigo = '0001' AND nome = 'Ana'"), 1);
    }

    void consultaVivaQuandoOArquivoEhFechado()
    {
        Escopo e = abreconexaodizimistas();
        teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001'), ('0002')");
        Consulta c("SELECT codigo FROM dizimistas");
        QVERIFY(c.next());
        Banco::closeAll();   // a whole-file copy in the middle of a walk
        QCOMPARE(c.text(0), QString(""));
        QVERIFY(!c.next());
        QVERIFY(!c.ok());
        c.reset();
        QVERIFY(!c.bind("x").exec());
    }   // and its end does not free the statement a second time

    void arquivoAusentePergunta_data()
    {
        QTest::addColumn<QByteArray>("dados");    // what stands in place of the file
        QTest::addColumn<bool>("napadrao");       // the data folder is the default one
        QTest::addColumn<int>("resposta");
        QTest::addColumn<QByteArray>("padrao");   // what stands in the default folder
        // The next start finds a database: the question does not come back for ever.
        QTest::newRow("sem arquivo, Sim: banco vazio na pasta padrão")
            << QByteArray() << false << int(Dialogos::Sim) << QByteArray();
        QTest::newRow("sem arquivo, Sim: arquivo vazio da pasta padrão posto de lado")
            << QByteArray() << false << int(Dialogos::Sim) << QByteArray("");
        QTest::newRow("sem arquivo, Sim: outro arquivo da pasta padrão não é tocado")
            << QByteArray() << false << int(Dialogos::Sim) << QByteArray("x");
        QTest::newRow("arquivo vazio na pasta padrão, Sim") << QByteArray("") << true << int(Dialogos::Sim) << QByteArray();
        QTest::newRow("arquivo vazio, Não") << QByteArray("") << false << int(Dialogos::Nao) << QByteArray();
    }
    void arquivoAusentePergunta()
    {
        QFETCH(QByteArray, dados);
        QFETCH(bool, napadrao);
        QFETCH(int, resposta);
        QFETCH(QByteArray, padrao);
        const QString novo = caminhoPadraoInicial() + "/cadastrocd.mdb";
        Banco::closeAll();
        QDir(caminhoPadraoInicial()).removeRecursively();
        if (napadrao) {
            QDir().mkpath(caminhoPadraoInicial());
            QVERIFY(gravatextopadrao("caminhopadrao", caminhoPadraoInicial()));
        }
        const QString caminho = Banco::caminhoArquivo();
        const QString pasta = lertextopadrao("caminhopadrao");
        QFile::remove(caminho);
        if (!dados.isNull())
            escreve(caminho, dados);
        if (!padrao.isNull()) {
            QDir().mkpath(caminhoPadraoInicial());
            escreve(novo, padrao);
        }
        Dialogos::respondeMsgbox(resposta);
        const int antes = vezesEncerrado();
        QVERIFY(!abreconexaousuarios().ok());
        QCOMPARE(vezesEncerrado(), antes + 1);
        const auto caixas = Dialogos::registros("msgbox");
        const bool cria = resposta == Dialogos::Sim && (padrao.isNull() || padrao.isEmpty());
        QCOMPARE(caixas.size(), cria ? 3 : 2);
        QCOMPARE(caixas[0].estilo, 292);
        QCOMPARE(caixas[0].texto, QStringLiteral("O Banco de dados de cadastros não foi localizado: ") + caminho
                                      + QStringLiteral(" , deseja restaurar as configurações padrão do sistema?"));
        if (resposta == Dialogos::Sim) {
            QCOMPARE(caixas[1].texto, QStringLiteral("Configurações restauradas com sucesso! Reinicialize o sistema !"));
            QCOMPARE(lertextopadrao("caminhopadrao"), caminhoPadraoInicial());
        } else {
            QCOMPARE(caixas[1].texto, QStringLiteral("O Sistema será finalizado!"));
            QCOMPARE(lertextopadrao("caminhopadrao"), pasta);
        }
        // An empty file is moved aside, never deleted.
        const QStringList deLado = QDir(caminhoPadraoInicial()).entryList({"cadastrocd.mdb.vazio-*"}, QDir::Files);
        QCOMPARE(deLado.size(), cria && (napadrao || !padrao.isNull()) ? 1 : 0);
        if (!deLado.isEmpty())
            QCOMPARE(QFileInfo(caminhoPadraoInicial() + "/" + deLado[0]).size(), 0);
        if (cria) {
            QCOMPARE(caixas[2].texto, "Foi criado um banco de dados vazio em " + Banco::caminhoArquivo()
                                          + ". Para recuperar os dados, entre no sistema e restaure o backup mais "
                                            "recente em Ferramentas > Backup > Restaurar.");
            Dialogos::limpa();
            QVERIFY(abreconexaousuarios().ok());   // the next start opens it
            QVERIFY(Dialogos::registros().isEmpty());
        } else if (!padrao.isNull()) {
            QCOMPARE(conteudo(novo), padrao);
        }
        Banco::closeAll();
        QDir(caminhoPadraoInicial()).removeRecursively();
    }

    // Where the default data folder cannot be made, the missing file's Yes and the first run say why;
    // once settings are stored, the first run has nothing to do and says nothing.
    void pastaPadraoImpossivelDizPorque()
    {
        const QString padrao = caminhoPadraoInicial();
        Banco::closeAll();
        QFile::remove(Banco::caminhoArquivo());
        QDir(padrao).removeRecursively();
        escreve(padrao, "não é uma pasta");
        const auto tira = qScopeGuard([&] { QFile::remove(padrao); });
        Dialogos::respondeMsgbox(Dialogos::Sim);
        QVERIFY(!abreconexaousuarios().ok());
        auto caixas = Dialogos::registros("msgbox");
        QCOMPARE(caixas.size(), 3);
        QCOMPARE(caixas[1].texto, QStringLiteral("Configurações restauradas com sucesso! Reinicialize o sistema !"));
        QCOMPARE(caixas[2].estilo, int(Dialogos::Alerta));
        QVERIFY2(caixas[2].texto.startsWith("Não foi possível criar um banco de dados vazio em " + padrao
                                            + "/cadastrocd.mdb: a pasta de dados"),
                 qPrintable(caixas[2].texto));
        teste::limpaConfiguracoes();
        Dialogos::limpa();
        primeiraexecucao();
        caixas = Dialogos::registros("msgbox");
        QCOMPARE(caixas.size(), 1);
        QCOMPARE(caixas[0].estilo, int(Dialogos::Alerta));
        QVERIFY2(caixas[0].texto.startsWith("Não foi possível criar o banco de dados na pasta padrão: ")
                     && caixas[0].texto.contains(QDir::toNativeSeparators(padrao)) && caixas[0].texto.contains("não existe"),
                 qPrintable(caixas[0].texto));
        QVERIFY(QFile::remove(padrao));
        retornacaminhopadrao();
        Dialogos::limpa();
        primeiraexecucao();
        QVERIFY(Dialogos::registros().isEmpty() && !QFileInfo::exists(padrao));
    }

    void arquivoEstranhoNaoEhTocado_data()
    {
        QTest::addColumn<QByteArray>("dados");
        QTest::newRow("texto") << QByteArray("isto não é um banco de dados\r\n").repeated(100);
        QTest::newRow("access") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 19) + QByteArray(4000, '\x11');
        // Our own format with another salt: our key no longer decrypts it.
        Banco::closeAll();
        const QString outro = teste::pastaTemporaria() + "/outra-chave.mdb";
        QFile::remove(outro);
        QVERIFY(Banco::criaBancoVazio(outro));
        QByteArray cifrado = conteudo(outro);
        for (int i = 0; i < 16; ++i)
            cifrado[i] = static_cast<char>(cifrado[i] ^ 0x5A);
        QTest::newRow("outra chave") << cifrado;
        // A plain SQLite file with the same tables, without encryption.
        const QString simples = teste::pastaTemporaria() + "/simples.db";
        QFile::remove(simples);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(simples).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE usuarios (codigo TEXT, nome TEXT, senha TEXT, cadastro TEXT);", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
        QVERIFY(conteudo(simples).startsWith("SQLite format 3"));
        QTest::newRow("sqlite sem cifra") << conteudo(simples);
    }
    void arquivoEstranhoNaoEhTocado()
    {
        QFETCH(QByteArray, dados);
        const QString caminho = Banco::caminhoArquivo();
        Banco::closeAll();
        escreve(caminho, dados);
        const int antes = vezesEncerrado();
        QVERIFY(!abreconexaodizimistas().ok());
        QCOMPARE(vezesEncerrado(), antes + 1);
        QCOMPARE(Dialogos::ultimo().estilo, 48);
        QVERIFY(Dialogos::ultimo().texto.contains("O Sistema será finalizado!"));
        QCOMPARE(conteudo(caminho), dados);
    }

    void consultaRepetidaComecaDoZeroESemTravar()
    {
        {
            Escopo e = abreconexaodizimistas();
            teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001'), ('0002')");
            Consulta c("SELECT codigo FROM dizimistas WHERE codigo >= ? ORDER BY codigo");
            QVERIFY(c.bind("0001").next());   // left in the middle of the walk
        }
        // Another program writes at once: the unfinished read holds no lock.
        QCOMPARE(cru("INSERT INTO dizimistas (codigo) VALUES ('0003'); SELECT count(*) FROM dizimistas"), QString("3"));
        Escopo e = abreconexaodizimistas();
        Consulta sem("SELECT codigo FROM dizimistas WHERE codigo >= ? ORDER BY codigo");
        QVERIFY(!sem.next());   // no value left bound from the last run
        QVERIFY(sem.ok());
        Consulta c("SELECT codigo FROM dizimistas WHERE codigo >= ? ORDER BY codigo");
        QVERIFY(c.bind("0002").next());
        QCOMPARE(c.text(0), QString("0002"));
    }

    void arquivoApagadoComOBancoAbertoPergunta()
    {
        QVERIFY(abreconexaodizimistas().ok());
        {
            // A write's journal comes and goes first: the removal after it is still seen.
            Escopo e = abreconexaodizimistas();
            QVERIFY(e.inicia() && Consulta("INSERT INTO dizimistas (codigo) VALUES ('0001')").exec() && e.confirma());
        }
        QVERIFY(abreconexaodizimistas().ok());
        QFile::remove(Banco::caminhoArquivo());   // by another program, the connection still open
        Dialogos::respondeMsgbox(Dialogos::Nao);
        const int antes = vezesEncerrado();
        QVERIFY(!abreconexaodizimistas().ok());
        QCOMPARE(vezesEncerrado(), antes + 1);
        QCOMPARE(Dialogos::registros("msgbox").value(0).estilo, 292);
    }

    // A shared network folder changes under other PCs' hands, unseen by this kernel's queue.
    // The file system itself tells, whatever the mount table shows (tst_frmsenha hides it).
    void vigiaSoEmPastaLocal()
    {
        // ext2-4, xfs, btrfs, tmpfs, vfat, overlay
        for (const quint64 local : {0xEF53ull, 0x58465342ull, 0x9123683Eull, 0x01021994ull, 0x4D44ull, 0x794C7630ull})
            QVERIFY2(Banco::sistemaarquivoslocal(local), qPrintable(QString::number(local, 16)));
        // cifs, smb2, nfs, fuse (sshfs), 9p, none
        for (const quint64 rede : {0xFF534D42ull, 0xFE534D42ull, 0x6969ull, 0x65735546ull, 0x01021997ull, 0ull})
            QVERIFY2(!Banco::sistemaarquivoslocal(rede), qPrintable(QString::number(rede, 16)));
        QVERIFY(Banco::vigiaconfiavel(teste::pastaTemporaria()));
        QVERIFY(!Banco::vigiaconfiavel(teste::pastaTemporaria() + "/nao/existe"));
        QVERIFY(!Banco::vigiaconfiavel("/proc"));
    }

    // A file changed in place (the same inode: the watch sees names only) is looked at again when a statement fails.
    void arquivoTrocadoNoLugar_data()
    {
        QTest::addColumn<QString>("troca");
        QTest::addColumn<QString>("aviso");   // start of the one message; "" for none
        QTest::newRow("esvaziado") << "vazio" << "O Banco de dados de cadastros não foi localizado";
        QTest::newRow("lixo por cima") << "lixo" << "Não foi possível abrir o banco de dados";
        QTest::newRow("outro banco por cima") << "outro" << "";
        // Not a changed file: checked once, and the operation fails with its own cause.
        QTest::newRow("tabela apagada por outro programa") << "sem tabela" << "";
    }
    void arquivoTrocadoNoLugar()
    {
        QFETCH(QString, troca);
        QFETCH(QString, aviso);
        const QString caminho = Banco::caminhoArquivo(), outro = teste::pastaTemporaria() + "/outro.mdb";
        {
            Escopo e = abreconexaodizimistas();
            QVERIFY(teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001')"));
        }
        QFile::remove(outro);
        QVERIFY(Banco::criaBancoVazio(outro));
        const qint64 inode = numeroInode(caminho);
        if (troca == "sem tabela")
            QCOMPARE(cru("DROP TABLE dizimistas; SELECT count(*) FROM sqlite_master WHERE name = 'dizimistas'"), QString("0"));
        else   // over the same file, as a copy onto it does
            escreve(caminho, troca == "outro"  ? conteudo(outro)
                             : troca == "lixo" ? QByteArray("isto não é um banco de dados\n").repeated(200)
                                               : QByteArray());
        QCOMPARE(numeroInode(caminho), inode);
        Dialogos::respondeMsgbox(Dialogos::Nao);
        const int encerrado = vezesEncerrado();
        {
            Escopo e = abreconexaodizimistas();
            QVERIFY(e.ok());   // the watch saw no name change
            Consulta c("SELECT count(*) FROM dizimistas");
            QVERIFY(!c.next());
            QVERIFY2(troca != "sem tabela" || c.erro().contains("a tabela dizimistas não existe"), qPrintable(c.erro()));
            // The rest of the operation: on the new file, on none, or on the same (not looked at again).
            QCOMPARE(numero("SELECT count(*) FROM dizimistas"), troca == "outro" ? 0 : -1);
        }
        const auto caixas = Dialogos::registros("msgbox");
        QCOMPARE(caixas.isEmpty() ? QString() : caixas.first().texto.left(aviso.size()), aviso);
        QCOMPARE(vezesEncerrado(), encerrado + (aviso.isEmpty() ? 0 : 1));
    }

    // Others could plant a database or a journal in a data folder they may write in: one of this account loses
    // that right at start-up and at each operation; one that cannot is told once.
    void pastaDeDadosFechadaAOutros_data()
    {
        QTest::addColumn<int>("antes");
        QTest::addColumn<bool>("deOutraConta");
        QTest::addColumn<int>("depois");
        QTest::addColumn<bool>("avisa");
        QTest::newRow("aberta a todos") << 0777 << false << 0775 << false;
        QTest::newRow("do grupo, lida por todos") << 0775 << false << 0775 << false;
        QTest::newRow("com sticky, de todos como /tmp") << 01777 << false << 01777 << true;
        QTest::newRow("de outra conta, aberta") << 0777 << true << 0777 << true;
        QTest::newRow("de outra conta, fechada") << 0775 << true << 0775 << false;
    }
    void pastaDeDadosFechadaAOutros()
    {
        QFETCH(int, antes);
        QFETCH(bool, deOutraConta);
        QFETCH(int, depois);
        QFETCH(bool, avisa);
        if (deOutraConta && ::geteuid() != 0)
            QSKIP("only root can give a folder to another account");
        Banco::closeAll();
        const QString pasta = teste::pastaTemporaria() + "/compartilhada-" + QString::number(antes, 8) + (deOutraConta ? "-outra" : "");
        QVERIFY(Banco::criaBancoVazio(pasta + "/cadastrocd.mdb"));
        defineModo(pasta, antes);
        QVERIFY(!deOutraConta || ::chown(QFile::encodeName(pasta).constData(), 65534, 65534) == 0);
        QVERIFY(gravatextopadrao("caminhopadrao", pasta));
        Banco::protegearquivos();   // at start-up: nobody to tell yet
        QVERIFY(Dialogos::registros("msgbox").isEmpty());
        QCOMPARE(modo(pasta), depois);
        defineModo(pasta, antes);
        for (const char* vez : {"1", "2"}) {
            QVERIFY(gravatextopadrao("msgcentral", vez));   // each operation looks at the folder again
            QVERIFY(abreconexaodizimistas().ok());
        }
        QCOMPARE(modo(pasta), depois);
        const auto caixas = Dialogos::registros("msgbox");
        QCOMPARE(caixas.size(), avisa ? 1 : 0);
        QVERIFY2(!avisa || (caixas.first().estilo == 48 && caixas.first().texto.contains(" " + pasta + ",")
                            && caixas.first().texto.contains("outros usuários deste computador podem gravar")),
                 qPrintable(caixas.value(0).texto));
        QDir(pasta).removeRecursively();
    }

    // Only regular files are tightened: a folder or a pipe where the database or its journal would be is not.
    void soArquivosComunsSaoRestringidos()
    {
        Banco::closeAll();
        for (const QString& pasta : {caminhoPadraoInicial(), teste::pastaTemporaria() + "/escolhida-estranha"}) {
            QDir(pasta).removeRecursively();
            QVERIFY(QDir().mkpath(pasta + "/cadastrocd.mdb"));
            defineModo(pasta + "/cadastrocd.mdb", 0755);
            QVERIFY(::mkfifo(QFile::encodeName(pasta + "/cadastrocd.mdb-journal").constData(), 0644) == 0);
            defineModo(pasta + "/cadastrocd.mdb-journal", 0644);
            QVERIFY(gravatextopadrao("caminhopadrao", pasta));
            Banco::protegearquivos();
            QCOMPARE(modo(pasta + "/cadastrocd.mdb"), 0755);
            QCOMPARE(modo(pasta + "/cadastrocd.mdb-journal"), 0644);
            QDir(pasta).removeRecursively();
        }
    }

    // A build "nobody" cannot reach (a clone under /root, 0700): the rows that run again as that user
    // still run. The library folder is covered, in the child's own mount namespace, by a 0700 copy.
    void linhasSemPrivilegiosDeUmaPastaFechada()
    {
        if (::geteuid() != 0 || !teste::podeOcultarMontagens())
            QSKIP("rows run again as another user only by root, and here the build cannot be hidden (a chroot?)");
        QString bibliotecas;
        for (const QString& b : teste::bibliotecasCarregadas())
            if (QFileInfo(b).fileName().startsWith("libtivane"))
                bibliotecas = QFileInfo(b).absolutePath();
        QTemporaryDir fechada(QDir::tempPath() + "/tivane-fechada-XXXXXX");
        QVERIFY(!bibliotecas.isEmpty() && modo(fechada.path()) == 0700);
        for (const QString& b : QDir(bibliotecas).entryList({"libtivane*"}, QDir::Files))
            QVERIFY(QFile::copy(bibliotecas + "/" + b, fechada.filePath(b)));
        const QString programa = fechada.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), programa));
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("unshare", {"--mount", "--propagation", "private", "--", "sh", "-c",
                            "mount --bind \"$1\" \"$2\" && exec \"$3\" \"$4\"", "sh", fechada.path(), bibliotecas,
                            bibliotecas + "/" + QFileInfo(programa).fileName(), "causaDaFalhaEmPortugues:pasta sem acesso"});
        QVERIFY(p.waitForFinished(180000));
        const QString saida = QString::fromLocal8Bit(p.readAll());
        QVERIFY2(p.exitCode() == 0 && saida.contains("PASS   : TstConexao::causaDaFalhaEmPortugues(pasta sem acesso)")
                     && !saida.contains("SKIP"),
                 qPrintable(saida));
    }

    void pastaTrocadaOuArquivoSubstituidoReabre()
    {
        {
            Escopo e = abreconexaodizimistas();
            teste::sql("INSERT INTO dizimistas (codigo) VALUES ('0001')");
        }
        QString primeira = retornacaminhopadrao();
        teste::criaBancoTeste("outra");
        {
            Escopo e = abreconexaodizimistas();
            QCOMPARE(numero("SELECT count(*) FROM dizimistas"), 0);
        }
        primeira.chop(1);   // without the trailing separator the file is still found
        QVERIFY(gravatextopadrao("caminhopadrao", primeira));
        {
            Escopo e = abreconexaodizimistas();
            QCOMPARE(numero("SELECT count(*) FROM dizimistas"), 1);
        }
        // A restore puts another file in the same place while the connection is open.
        const QString caminho = Banco::caminhoArquivo();
        QVERIFY(Banco::criaBancoVazio(caminho + ".novo"));
        QFile::remove(caminho);
        QVERIFY(QFile::rename(caminho + ".novo", caminho));
        Escopo e = abreconexaodizimistas();
        QCOMPARE(numero("SELECT count(*) FROM dizimistas"), 0);
    }

    // A first start, as the program starts: the data folder 0700, the database 0600,
    // and an empty file left by an install that never finished is moved aside.
    void primeiraExecucaoCriaBancoVazio()
    {
        teste::limpaConfiguracoes();
        Banco::closeAll();
        const QString pasta = caminhoPadraoInicial();
        QDir(pasta).removeRecursively();
        QVERIFY(QDir().mkpath(pasta));
        escreve(pasta + "/cadastrocd.mdb", "");
        defineModo(pasta, 0755);
        Banco::protegearquivos();
        QVERIFY(Banco::preparaPrimeiraExecucao());
        QVERIFY(arquivoexiste(pasta + "/cadastrocd.mdb"));
        QCOMPARE(QDir(pasta).entryList({"cadastrocd.mdb.vazio-*"}, QDir::Files).size(), 1);
        QCOMPARE(modo(pasta), 0700);
        QCOMPARE(modo(pasta + "/cadastrocd.mdb"), 0600);
        retornacaminhopadrao();   // settings exist now: the next start creates nothing
        QVERIFY(!Banco::preparaPrimeiraExecucao());
        QVERIFY(abreconexaoigreja().ok());
        QDir(pasta).removeRecursively();
    }

    // Nothing the program writes is readable by other accounts; at start-up an older
    // install's files are tightened. A folder chosen in the settings lends only its group access.
    void arquivosSoDoUsuario()
    {
        Banco::closeAll();
        const QString padrao = caminhoPadraoInicial();
        const QString banco = padrao + "/cadastrocd.mdb";
        QDir(padrao).removeRecursively();
        QVERIFY(Banco::criaBancoVazio(banco));
        escreve(banco + "-journal", "");
        QVERIFY(gravatextopadrao("caminhopadrao", padrao));
        const QString configuracoes = arquivosconfiguracao().first();
        for (const QString& a : {padrao, banco, banco + "-journal", configuracoes})
            defineModo(a, QFileInfo(a).isDir() ? 0755 : 0664);
        Banco::protegearquivos();
        QCOMPARE((QList<int>{modo(padrao), modo(banco), modo(banco + "-journal"), modo(configuracoes)}),
                 (QList<int>{0700, 0600, 0600, 0600}));
        QFile::remove(banco + "-journal");
        // From now on: reports, photo folders, settings and the database's journal.
        const QString relatorio = teste::pastaTemporaria() + "/relatorio.txt";
        escreve(relatorio, "texto");
        QVERIFY(QDir().mkpath(teste::pastaTemporaria() + "/fotos/novas"));
        QVERIFY(gravatextopadrao("msgcentral", "outra"));
        {
            Escopo e = abreconexaousuarios();
            QVERIFY(e.inicia());
            QVERIFY(teste::sql("INSERT INTO usuarios (codigo) VALUES ('0001')"));
            QCOMPARE(modo(banco + "-journal"), 0600);
        }
        QCOMPARE((QList<int>{modo(relatorio), modo(teste::pastaTemporaria() + "/fotos/novas"), modo(configuracoes)}),
                 (QList<int>{0600, 0700, 0600}));
        // A folder chosen in the settings, shared by the office's group, or private.
        Banco::closeAll();
        for (const int pastaModo : {0770, 0750, 0700}) {
            const QString escolhida = teste::pastaTemporaria() + "/escolhida" + QString::number(pastaModo, 8);
            QVERIFY(QDir().mkpath(escolhida));
            defineModo(escolhida, pastaModo);
            const QString arquivo = escolhida + "/cadastrocd.mdb";
            QVERIFY(Banco::criaBancoVazio(arquivo));
            const int esperado = 0600 | (pastaModo & 040) | (pastaModo & 020);
            QCOMPARE(modo(arquivo), esperado);
            defineModo(arquivo, 0666);
            QVERIFY(gravatextopadrao("caminhopadrao", escolhida));
            Banco::protegearquivos();
            QCOMPARE(modo(arquivo), esperado);
            QCOMPARE(modo(escolhida), pastaModo);   // the office's folder is left as it is
        }
        QDir(padrao).removeRecursively();
    }
};

TIVANE_TEST_MAIN(TstConexao)
#include "tst_conexao.moc"
