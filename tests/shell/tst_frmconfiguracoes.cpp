#include "testsupport.h"

#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/versao.h"
#include "shell/configuracoes.h"
#include "shell/frmconfiguracoes.h"
#include "shell/frmprincipal.h"

#include "core/conexao.h"

#include <QtWidgets>
#include <sys/stat.h>
#include <unistd.h>

using namespace tivane;

namespace {

const QString NOME = "Frmconfiguracoes";

FrmConfiguracoes* abre() { return qobject_cast<FrmConfiguracoes*>(Janelas::abre(NOME)); }
template <typename T = QWidget> T* filho(QWidget* j, const char* nome) { return j->findChild<T*>(nome); }
QLineEdit* caixa(QWidget* j, const char* nome) { return filho<QLineEdit>(j, nome); }
QAction* acao(const char* nome) { return FrmPrincipal::atual()->findChild<QAction*>(nome); }

QString arquivo(const QString& nome, const QByteArray& conteudo)
{
    QFile f(teste::pastaTemporaria() + "/" + nome);
    return f.open(QIODevice::WriteOnly) && f.write(conteudo) == conteudo.size() ? f.fileName() : QString("não gravado");
}

// Every character the settings file must keep as it is.
const QString TEXTO_DIFICIL = QStringLiteral("  \"Dízimo\" é 'fé'; ação = 10% # [grupo] \\ c:\\pasta\\ , fim  ");

Configuracoes exemplo(bool sim)
{
    Configuracoes c;
    c.umavia = c.colorido = c.bloqueia = c.iniciaauto = c.codigo = c.margem = c.mesreferencia = sim;
    c.tempolimite = sim ? "30" : "";
    c.caminhopadrao = sim ? teste::pastaTemporaria() + "/pasta com espaço" : "";
    c.msgcentral = sim ? TEXTO_DIFICIL : QString(3000, QChar(0x00E7));
    return c;
}

}  // namespace

class TstFrmConfiguracoes : public QObject {
    Q_OBJECT
    QString dados;   // the test's data folder

private Q_SLOTS:
    void initTestCase()
    {
        dados = teste::criaBancoTeste();
        QDir().mkpath(teste::pastaTemporaria() + "/pasta com espaço");
        // From here the relative "pasta com espaço" names a folder that exists: still refused.
        QVERIFY(QDir::setCurrent(teste::pastaTemporaria()));
        QVERIFY(Janelas::abre("frmprincipal"));
    }

    void init()
    {
        Dialogos::limpa();
        QTRY_VERIFY(!Janelas::instancia(NOME));
        QVERIFY(gravatextopadrao("caminhopadrao", dados));
    }
    void cleanup() { Janelas::fecha(NOME); }

    void tempoLimite_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("fica");
        const char* casos[][2] = {{"", "60"},      {"0", "60"},    {"000", "60"},   {"abc", "60"}, {"-5", "60"},
                                  {"12abc", "12"}, {"120", "120"}, {" 30 ", "30"}, {"007", "7"},  {"1234567", "99999"}};
        for (const auto& c : casos)
            QTest::newRow(c[0]) << QString(c[0]) << QString(c[1]);
    }
    // The days are a whole number: the same rule when the box loses the focus and when saving.
    void tempoLimite()
    {
        QFETCH(QString, digitado);
        QFETCH(QString, fica);
        QCOMPARE(normalizatempolimite(digitado), fica);
        FrmConfiguracoes* j = abre();
        QLineEdit* dias = caixa(j, "txttempolimite");
        dias->setText(digitado);
        QFocusEvent saida(QEvent::FocusOut);
        QApplication::sendEvent(dias, &saida);
        QCOMPARE(dias->text(), fica);
        dias->setText(digitado);
        j->salvar();
        QCOMPARE(lertextopadrao("tempolimite"), fica);
    }

    void pastaDeDados_data()
    {
        QTest::addColumn<QString>("pasta");
        QTest::addColumn<QString>("problema");   // start of the message; "" when saved
        const QString t = teste::pastaTemporaria();
        QTest::newRow("vazia: a pasta padrão") << "" << "";
        QTest::newRow("existente") << t + "/pasta com espaço" << "";
        QTest::newRow("com barra no fim") << t + "/pasta com espaço/" << "";
        QTest::newRow("não existe") << t + "/nao/existe" << "A pasta de dados";
        QTest::newRow("relativa") << "pasta com espaço" << "A pasta de dados";
        QTest::newRow("de outro sistema") << "c:\\TivaneDizimos" << "A pasta de dados";
        QTest::newRow("um arquivo") << arquivo("arquivo.txt", "x") << "A pasta de dados";
        QTest::newRow("sem gravação") << "/proc" << "Não é possível gravar";
        QDir().mkpath(t + "/somenteleitura");
        QFile::setPermissions(t + "/somenteleitura", QFile::ReadOwner | QFile::ExeOwner);
        QTest::newRow("somente leitura") << t + "/somenteleitura" << "Não é possível gravar";
    }
    // A folder that is missing or cannot be written is refused with a message and nothing is saved.
    void pastaDeDados()
    {
        QFETCH(QString, pasta);
        QFETCH(QString, problema);
        if (::geteuid() == 0 && QTest::currentDataTag() == QLatin1String("somente leitura")) {
            // Root writes through the folder's modes: the row runs as an ordinary user.
            QString saida;
            QVERIFY2(teste::executaSemPrivilegios(QStringLiteral("pastaDeDados:somente leitura"), &saida),
                     qPrintable(saida));
            return;
        }
        const QString mensagem = verificapastadados(pasta);
        QVERIFY2(problema.isEmpty() ? mensagem.isEmpty() : mensagem.startsWith(problema), qPrintable(mensagem));
        FrmConfiguracoes* j = abre();
        caixa(j, "txtcaminho0")->setText(pasta);
        filho<QCheckBox>(j, "chkcodigo")->setChecked(!leropcao("05"));
        const Configuracoes antes = lerconfiguracoes();
        filho<QPushButton>(j, "cmdsalvar")->click();
        QCOMPARE(Dialogos::registros("msgbox").size(), problema.isEmpty() ? 0 : 1);
        if (problema.isEmpty()) {
            QTRY_VERIFY(!Janelas::instancia(NOME));
            QCOMPARE(lertextopadrao("caminhopadrao"), pasta);
            return;
        }
        QVERIFY(Dialogos::ultimo("msgbox").estilo == 48 && Dialogos::ultimo("msgbox").texto.contains(pasta));
        QVERIFY(lerconfiguracoes() == antes && Janelas::instancia(NOME) == j);
    }

    // A folder that other accounts may write in: closed to them as it is saved (its group keeps
    // its access), or, shared by everyone like /tmp, the user hears once that it stays open.
    void pastaAbertaAOutros()
    {
        for (const auto& [nome, antes, depois] : {std::tuple{"aberta", 0777, 0775}, std::tuple{"de todos", 01777, 01777}}) {
            const QString pasta = teste::pastaTemporaria() + "/" + nome;
            QVERIFY(Banco::criaBancoVazio(pasta + "/cadastrocd.mdb"));
            QVERIFY(::chmod(QFile::encodeName(pasta).constData(), mode_t(antes)) == 0);
            Dialogos::limpa();
            FrmConfiguracoes* j = abre();
            caixa(j, "txtcaminho0")->setText(pasta);
            j->salvar();
            QTRY_VERIFY(!Janelas::instancia(NOME));
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(pasta).constData(), &st) == 0);
            QCOMPARE(int(st.st_mode & 07777), depois);
            QVERIFY(abreconexaodizimistas().ok());   // not told again at the next operation
            const auto caixas = Dialogos::registros("msgbox");
            QVERIFY(caixas.size() == (antes == depois ? 1 : 0) && (caixas.isEmpty() || caixas.first().texto.contains(pasta)));
            Banco::closeAll();
        }
    }

    // Long texts, quotes, accents and separators come back intact, and the file stays readable.
    void idaEVolta()
    {
        for (bool sim : {true, false}) {
            const Configuracoes c = exemplo(sim);
            QVERIFY(gravaconfiguracoes(c));
            QVERIFY(lerconfiguracoes() == c);
            QSettings arquivo(QSettings::IniFormat, QSettings::UserScope, "Tivane", "TivaneDizimo");
            QVERIFY(arquivo.status() == QSettings::NoError && arquivo.value("textopadrao/msgcentral") == c.msgcentral);
            // The window shows and saves them unchanged.
            FrmConfiguracoes* j = abre();
            QVERIFY(j->configuracoesdajanela() == c);
            QCOMPARE(filho(j, "Frametempolimite")->isVisibleTo(j), sim);
            j->salvar();
            Configuracoes salva = c;
            salva.tempolimite = normalizatempolimite(c.tempolimite);
            QVERIFY(lerconfiguracoes() == salva);
            QTRY_VERIFY(!Janelas::instancia(NOME));
        }
    }

    // A first run has no settings: the window shows two black copies and sets colour and code.
    void primeiraExecucao()
    {
        teste::limpaConfiguracoes();
        FrmConfiguracoes* j = abre();
        QVERIFY(j->configuracoesdajanela() == Configuracoes());   // two copies, black
        for (const char* b : {"optcorrecibo0", "chkcodigo", "chkbloqueia"})
            filho<QAbstractButton>(j, b)->click();
        QVERIFY(filho(j, "Frametempolimite")->isVisibleTo(j));
        j->salvar();
        Configuracoes esperada;
        esperada.colorido = esperada.codigo = esperada.bloqueia = true;
        esperada.tempolimite = "60";
        QVERIFY(lerconfiguracoes() == esperada);
        QCOMPARE(retornacaminhopadrao(), caminhoPadraoInicial() + QDir::separator());   // empty: the default folder
    }

    // The background changes at once, stays when leaving without saving and no file is deleted.
    void fundo()
    {
        FrmPrincipal* principal = FrmPrincipal::atual();
        const QString foto = teste::pastaTemporaria() + "/minha foto.PNG", ruim = arquivo("falsa.jpg", "não é figura");
        QVERIFY(QImage(64, 40, QImage::Format_RGB32).save(foto));
        QVERIFY(gravatextopadrao("caminhologo", ""));
        principal->definefundo("");
        FrmConfiguracoes* j = abre();
        const QSize preview = filho<QLabel>(j, "logoigreja")->pixmap().size();
        for (const QString& resposta : {QString(), ruim, arquivo("vazia.png", {})}) {
            Dialogos::respondeTexto(resposta);
            filho<QPushButton>(j, "cmdalteralogo")->click();
            QVERIFY(lertextopadrao("caminhologo").isEmpty() && !principal->fundopersonalizado());
            QCOMPARE(filho<QLabel>(j, "logoigreja")->pixmap().size(), preview);
        }
        const Dialogos::Registro dialogo = Dialogos::ultimo("abrir");
        QCOMPARE(dialogo.texto + "|" + dialogo.titulo + "|" + dialogo.argumentos.value(0),
                 "Selecione o arquivo de imagem para fundo do sistema|" + QCoreApplication::applicationDirPath()
                     + "|Arquivos de Imagem (*.jpg *.JPG *.jpeg *.JPEG *.png *.PNG)");
        QCOMPARE(Dialogos::registros("msgbox").size(), 2);   // cancelling says nothing

        Dialogos::respondeTexto(foto);
        filho<QPushButton>(j, "cmdalteralogo")->click();
        QVERIFY(principal->fundopersonalizado() && principal->fundo().size() == QSize(64, 40));
        QCOMPARE(filho<QLabel>(j, "logoigreja")->pixmap().size(), QSize(64, 40));
        Dialogos::respondeMsgbox(Dialogos::Sim);
        j->voltar();   // leaving without saving keeps the new background
        QTRY_VERIFY(!Janelas::instancia(NOME));
        QCOMPARE(lertextopadrao("caminhologo"), foto);

        j = abre();
        Dialogos::respondeMsgbox(Dialogos::Nao);
        filho<QPushButton>(j, "cmdexcluilogo")->click();
        QCOMPARE(lertextopadrao("caminhologo"), foto);
        Dialogos::limpa();
        filho<QPushButton>(j, "cmdexcluilogo")->click();
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Logotipo principal excluído com sucesso!!!"));
        QVERIFY(lertextopadrao("caminhologo").isEmpty() && QFile::exists(foto));
        QVERIFY(filho<QLabel>(j, "logoigreja")->pixmap().isNull() && principal->fundo().isNull());
        principal->grab();   // paints without a picture
    }

    // The menu item opens the window maximized and hides the toolbar; leaving and restoring ask first.
    void menuSairERestaurar()
    {
        FrmPrincipal* principal = FrmPrincipal::atual();
        principal->atualizaitens();
        QVERIFY(acao("mnuconfiguracoesgerais")->isEnabled());
        acao("mnuconfiguracoesgerais")->trigger();
        auto* j = Janelas::instancia<FrmConfiguracoes>(NOME);
        QVERIFY(j && qobject_cast<QMdiSubWindow*>(j->parentWidget())->isMaximized());
        QVERIFY(principal->barraprincipal()->isHidden());
        QVERIFY(gravaconfiguracoes(exemplo(true)));
        for (const char* b : {"cmdvoltar", "cmdrestaurar"}) {
            Dialogos::respondeMsgbox(Dialogos::Nao);
            filho<QPushButton>(j, b)->click();
            QCOMPARE(Janelas::instancia(NOME), j);
        }
        QVERIFY(lerconfiguracoes() == exemplo(true));
        QCOMPARE(Dialogos::registros("msgbox").at(0).texto,
                 QString("Deseja abandonar a tela de configurações sem salvar as alterações?"));
        filho<QPushButton>(j, "cmdrestaurar")->click();
        QTRY_VERIFY(!Janelas::instancia(NOME));
        QVERIFY(!principal->barraprincipal()->isHidden());
        Configuracoes padrao;
        padrao.colorido = true;
        padrao.tempolimite = "120";
        padrao.caminhopadrao = caminhoPadraoInicial();
        padrao.msgcentral = "PAGAMENTO DE DÍZIMO";
        QVERIFY(abre()->configuracoesdajanela() == padrao);
    }

    // "Desenvolvedor" and "Manual Online": the version from the build and links through the desktop.
    void sobreELinks()
    {
        QCOMPARE(mensagemversao(), "Versão do Sistema: " + versaosistema());
        FrmPrincipal::atual()->atualizaitens();
        for (const char* item : {"mnudesenvolvedor", "mnumanualonline"}) {
            QVERIFY(acao(item)->isEnabled());
            acao(item)->trigger();
        }
        QWidget* sobre = Janelas::instancia("frmsobre");
        QVERIFY(sobre && sobre->isWindow() && sobre->windowTitle() == "Sobre o Tivane Dízimos");
        QCOMPARE(filho<QLabel>(sobre, "lblVersion")->text(), "Versão do Sistema:" + versaosistema());
        Dialogos::respondePrograma(false);   // a link nothing handles: no message
        for (const char* l : {"lblsite", "lblemail", "lblskype"})
            QTest::mouseClick(filho(sobre, l), Qt::LeftButton);
        QStringList links;
        for (const auto& r : Dialogos::registros("link"))
            links << r.texto;
        QCOMPARE(links.size(), 4);
        QVERIFY(QRegularExpression("^https://[^/]+/downloads/manualtivanedizimos\\.pdf$").match(links[0]).hasMatch());
        QVERIFY(QRegularExpression("^https://[^/]+$").match(links[1]).hasMatch());
        QVERIFY(QRegularExpression("^mailto:[^/]+@").match(links[2]).hasMatch() && links[3].startsWith("callto://"));
        QVERIFY(Dialogos::registros("msgbox").isEmpty() && Janelas::instancia("frmsobre"));
        QTest::mouseClick(filho(sobre, "Frameprincipal"), Qt::LeftButton, {}, QPoint(3, 3));
        QTRY_VERIFY(!Janelas::instancia("frmsobre"));
    }
};

TIVANE_TEST_MAIN(TstFrmConfiguracoes)
#include "tst_frmconfiguracoes.moc"
