// The fingerprint enrolment window on the simulated reader.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/teclas.h"
#include "register/bancoimpressoes.h"
#include "register/frmcadastrodizimistas.h"
#include "register/frmcapturaimpressao.h"

#include <QtWidgets>
#include <sqlcipher/sqlite3.h>

using namespace tivane;
using Falhas = QList<QPair<int, QPair<int, int>>>;   // operation, status, times
Q_DECLARE_METATYPE(Falhas)

class TstFrmCapturaImpressao : public QObject {
    Q_OBJECT
    static constexpr const char* NOME = "frmcapturaimpressao";
    static constexpr const char* CRLF = "\r\n";
    static inline QPointer<SimuladorLeitor> sim_;
    static inline int leitores_ = 1;
    static inline int semcaptura_ = 0;   // readers that give no images
    static inline Falhas falhas_;
    QString pasta_;

    template <typename T = QWidget> static T* c(QWidget* w, const char* nome)
    {
        if (T* r = w->findChild<T*>(nome))
            return r;
        qFatal("control %s missing", nome);
    }
    static FrmCapturaImpressao* janela() { return Janelas::instancia<FrmCapturaImpressao>(NOME); }
    static QString status(QWidget* w) { return c<QLabel>(w, "lblstatus")->text(); }
    static QStringList mensagens()
    {
        QStringList r;
        for (const auto& m : Dialogos::registros("msgbox"))
            r << QString("%1 %2").arg(m.estilo).arg(m.texto);
        return r;
    }
    static void fecha() { Janelas::fecha(NOME); QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    // Opens the window on a simulated reader and waits for its start-up to end.
    static FrmCapturaImpressao* abre(const QString& codigo = "0007", const QString& nome = "Maria")
    {
        auto* w = qobject_cast<FrmCapturaImpressao*>(Janelas::abre(NOME));
        c<QLabel>(w, "lblcodigo")->setText(codigo);
        c<QLabel>(w, "lblnome")->setText(nome);
        c<QTimer>(w, "temposuprema")->setInterval(0);
        for (int i = 0; i < 20; ++i)
            QTest::qWait(5);
        return w;
    }
    static void clica(QWidget* w, const char* nome) { QTest::mouseClick(c(w, nome), Qt::LeftButton); }
    static void aponta(QWidget* w, int dedo)
    {
        QWidget* d = c(w, qPrintable(QString("cmddedo%1").arg(dedo)));
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), d->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(d, &e);
    }
    static void escolhe(QWidget* w, int dedo)
    {
        clica(w, "cmdcapturar");
        clica(w, qPrintable(QString("cmddedo%1").arg(dedo)));
    }
    // The store's rows: "code|finger|memo|template size".
    QStringList linhas(const QString& arquivo = QString()) const
    {
        QStringList r;
        sqlite3* db = nullptr;
        const QByteArray caminho = QFile::encodeName(arquivo.isEmpty() ? pasta_ + "/supremabd.mdb" : arquivo);
        if (sqlite3_open_v2(caminho.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_exec(db, "PRAGMA key = 'qorm64';", nullptr, nullptr, nullptr);
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "SELECT codigo, dedo, memo, length(modelo) FROM impressoes ORDER BY codigo, dedo", -1, &st,
                               nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                r << QString("%1|%2|%3|%4").arg(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))))
                         .arg(sqlite3_column_int(st, 1))
                         .arg(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))))
                         .arg(sqlite3_column_int(st, 3));
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return r;
    }
    void novoBanco()
    {
        QFile::remove(pasta_ + "/supremabd.mdb");
        QVERIFY(BancoImpressoes::cria(pasta_ + "/supremabd.mdb"));
    }

private slots:
    void initTestCase()
    {
        teste::criaBancoTeste();
        pasta_ = teste::pastaTemporaria() + "/impressoes";
        definefabricaleitor([] {
            auto s = std::make_unique<SimuladorLeitor>(leitores_, semcaptura_);
            for (const auto& f : falhas_)
                s->falha(SimuladorLeitor::Operacao(f.first), f.second.first, f.second.second);
            sim_ = s.get();
            return s;
        });
    }
    void init()
    {
        fecha();
        teste::limpaBanco();
        definejanelaativa(QString());
        QVERIFY(gravatextopadrao("caminhoimpressao", pasta_));
        novoBanco();
        leitores_ = 1;
        semcaptura_ = 0;
        falhas_.clear();
        Dialogos::limpa();
    }
    void cleanup() { fecha(); }

    void inicializacao_data()
    {
        QTest::addColumn<int>("leitores");
        QTest::addColumn<Falhas>("falhas");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<int>("tipo");
        const QString simulado = QString(": simulado") + CRLF;
        QTest::newRow("pronto") << 1 << Falhas{} << "Clique em [Iniciar Captura]" << 1;
        QTest::newRow("sem leitor") << 0 << Falhas{} << QString("Leitor não encontrado!") + CRLF << 0;
        QTest::newRow("leitor sem imagens") << -1 << Falhas{}
                                            << QString("Leitor encontrado, mas ele não captura imagens de impressões digitais!")
                                                   + CRLF
                                            << 0;
        QTest::newRow("início falha") << 1 << Falhas{{SimuladorLeitor::Inicializa, {LeitorErroGeral, -1}}}
                                      << "UFS_Init: erro no leitor" + simulado << 0;
        QTest::newRow("contagem falha") << 1 << Falhas{{SimuladorLeitor::Numero, {LeitorRemovido, -1}}}
                                        << "UFS_GetScannerNumber: o leitor foi desconectado" + simulado << 0;
        QTest::newRow("abertura falha") << 2 << Falhas{{SimuladorLeitor::Abre, {LeitorOcupado, -1}}}
                                        << "UFS_GetScannerHandle: o leitor está ocupado" + simulado << 0;
    }
    void inicializacao()
    {
        QFETCH(int, leitores);
        QFETCH(Falhas, falhas);
        QFETCH(QString, esperado);
        QFETCH(int, tipo);
        leitores_ = qMax(0, leitores);
        semcaptura_ = leitores < 0 ? 1 : 0;   // -1: one reader, which gives no images
        falhas_ = falhas;
        auto* w = abre();
        QCOMPARE(w->windowTitle(), QString("Captura de Impressão Digital"));
        QTRY_COMPARE(status(w), esperado);
        QCOMPARE(w->tipoleitor(), tipo);
        QVERIFY(mensagens().isEmpty() && c(w, "cmdcapturar")->isEnabled());
        QVERIFY(c(w, "Framenomecodigo")->isVisible() && c(w, "framecomandos")->isVisible());
        QVERIFY(!c(w, "Framesuprema")->isVisible() && !c(w, "frameselecionadedo")->isVisible());
        if (tipo)
            return;
        escolhe(w, 6);   // without a reader the choice changes panels only
        QVERIFY(!c(w, "Framesuprema")->isVisible() && !c<QTimer>(w, "temposuprema")->isActive());
        QVERIFY(status(w) == esperado && sim_->chamadas(SimuladorLeitor::Captura) == 0);
    }

    // Missing, empty or foreign stores: a clear message, nothing written, the window still closes.
    void bancoAusenteVazioOuDeOutroPrograma_data()
    {
        QTest::addColumn<QString>("conteudo");   // "-": no file; "main": a copy of the main database
        QTest::addColumn<bool>("naoencontrado");
        QTest::newRow("ausente") << "-" << true;
        QTest::newRow("vazio") << "" << true;
        QTest::newRow("texto") << "Não é um banco de dados\n" << false;
        QTest::newRow("banco principal") << "main" << false;
    }
    void bancoAusenteVazioOuDeOutroPrograma()
    {
        QFETCH(QString, conteudo);
        QFETCH(bool, naoencontrado);
        const QString pasta = pasta_ + "/" + QTest::currentDataTag() + "/";
        QDir().mkpath(pasta);
        QVERIFY(gravatextopadrao("caminhoimpressao", pasta));   // the trailing separator is not doubled
        const QString arquivo = pasta + "supremabd.mdb";
        if (conteudo == "main")
            QVERIFY(QFile::copy(Banco::caminhoArquivo(), arquivo));
        QFile f(arquivo);
        QVERIFY(conteudo == "main" || conteudo == "-" || (f.open(QIODevice::WriteOnly) && f.write(conteudo.toUtf8()) >= 0));
        f.close();
        const QByteArray antes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        f.close();

        auto* w = abre();
        QTRY_COMPARE(mensagens().size(), 1);
        if (naoencontrado) {
            QCOMPARE(mensagens().first(), "48 Banco de dados de impressão digital Suprema não encontrado! (" + arquivo + ")");
            QCOMPARE(sim_->chamadas(SimuladorLeitor::Inicializa), 0);
        } else {
            const QString causa = "o arquivo não é um banco de impressões digitais ou está danificado";   // said once
            QCOMPARE(mensagens().first(), "48 Não foi possível abrir o banco de dados de impressão digital (" + arquivo
                                              + "): " + causa + ". Nada foi gravado.");
            QCOMPARE(status(w), "UFD_Open: " + causa + CRLF);
        }
        QVERIFY(!c(w, "cmdcapturar")->isEnabled() && !QFileInfo(pasta + "supremabd.mdb-journal").exists());
        clica(w, "cmdsair");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!janela());
        if (f.open(QIODevice::ReadOnly))
            QCOMPARE(f.readAll(), antes);
        else
            QCOMPARE(conteudo, QString("-"));   // a missing store is not created
    }

    void escolhaDoDedo()
    {
        auto* w = abre();
        QTRY_COMPARE(w->tipoleitor(), 1);
        clica(w, "cmdcapturar");
        QVERIFY(c(w, "frameselecionadedo")->isVisible() && !c(w, "Framestatus")->isVisible() && c(w, "lblrecomendado")->isVisible());
        const int x[10] = {240, 600, 840, 1200, 1560, 2040, 2400, 2760, 3120, 3480};
        const int y[10] = {0, -120, -120, 0, 600, 600, 120, -120, -120, 120};
        for (int i = 0; i < 10; ++i) {
            aponta(w, i);
            QCOMPARE(c(w, "imgseta")->pos(), QPoint(x[i] / 15, y[i] / 15));   // twips at 96 dpi
            QCOMPARE(c(w, "lblrecomendado")->isVisible(), i == 6);
        }
        c<QTimer>(w, "temposuprema")->setInterval(60000);   // the capture waits: panels as the choice left them
        clica(w, "cmddedo3");
        QCOMPARE(c<QLineEdit>(w, "txtqualdedo")->text(), QString("3"));
        QVERIFY(!c(w, "frameselecionadedo")->isVisible() && c(w, "Framestatus")->isVisible());
        QVERIFY(c(w, "Framesuprema")->isVisible() && c<QTimer>(w, "temposuprema")->isActive());
        QCOMPARE(status(w), QString("Coloque o dedo no sensor"));
    }

    void capturaExtracaoEArmazenamento_data()
    {
        QTest::addColumn<Falhas>("falhas");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<int>("capturas");
        QTest::addColumn<bool>("sucesso");   // "Impressão Capturada com sucesso!" shown
        QTest::addColumn<QStringList>("gravado");
        const QStringList linha{"0007|6|Maria|64"};
        QTest::newRow("sucesso") << Falhas{} << "Clique em [Sair]" << 1 << true << linha;
        QTest::newRow("captura falha") << Falhas{{SimuladorLeitor::Captura, {LeitorCapturaFalhou, -1}}} << "Leitor Inativo"
                                       << 1 << false << QStringList();
        QTest::newRow("extração falha duas vezes") << Falhas{{SimuladorLeitor::Extrai, {LeitorQualidadeBaixa, 2}}}
                                                   << "Clique em [Sair]" << 3 << true << linha;
        // The old loop never ended while the reader gave images; now it gives up.
        QTest::newRow("extração sempre falha") << Falhas{{SimuladorLeitor::Extrai, {LeitorQualidadeBaixa, -1}}}
                                               << "Leitor Inativo" << TENTATIVAS_EXTRACAO << false << QStringList();
        QTest::newRow("gravação falha") << Falhas{{SimuladorLeitor::Adiciona, {LeitorErroBanco, -1}}}
                                        << QString("UFD_AddData: erro no banco de impressões digitais: simulado") + CRLF << 1
                                        << true << QStringList();
    }
    void capturaExtracaoEArmazenamento()
    {
        QFETCH(Falhas, falhas);
        QFETCH(QString, esperado);
        QFETCH(int, capturas);
        QFETCH(bool, sucesso);
        QFETCH(QStringList, gravado);
        falhas_ = falhas;
        auto* w = abre();
        QTRY_COMPARE(w->tipoleitor(), 1);
        escolhe(w, 6);
        QTRY_COMPARE(status(w), esperado);
        QCOMPARE(sim_->chamadas(SimuladorLeitor::Captura), capturas);
        QCOMPARE(mensagens(), sucesso ? QStringList{"64 Impressão Capturada com sucesso!"} : QStringList());
        QCOMPARE(c<QLabel>(w, "pbImageFrame")->pixmap().isNull(), !sucesso);
        QCOMPARE(linhas(), gravado);
    }

    void mesmoDedoDuasVezes()
    {
        auto* w = abre("0007", "Maria José");
        QTRY_COMPARE(w->tipoleitor(), 1);
        for (int dedo : {6, 6, 2}) {
            Dialogos::limpa();
            escolhe(w, dedo);
            QTRY_VERIFY(!mensagens().isEmpty() && !sim_->pendente());
            QTest::qWait(10);
        }
        QCOMPARE(mensagens(), QStringList{"64 Impressão Capturada com sucesso!"});
        QCOMPARE(linhas(), QStringList({"0007|2|Maria José|64", "0007|6|Maria José|64"}));
        Dialogos::limpa();
        escolhe(w, 6);
        QTRY_COMPARE(mensagens(), QStringList({"64 Impressão Capturada com sucesso!", "64 Impressão Digital já cadastrada"}));
        QCOMPARE(linhas().size(), 2);
    }

    // A reader that never answers keeps no one waiting: the window takes a new
    // choice and closes, and the late capture is dropped.
    void leitorQueNaoResponde()
    {
        falhas_ = {{SimuladorLeitor::Captura, {SimuladorLeitor::SEM_RESPOSTA, 1}}};
        auto* w = abre();
        QTRY_COMPARE(w->tipoleitor(), 1);
        escolhe(w, 6);
        QTRY_VERIFY(sim_->pendente());
        QCOMPARE(status(w), QString("Coloque o dedo no leitor") + CRLF);
        clica(w, "cmdcapturar");   // choosing again drops the waiting capture
        QVERIFY(!sim_->pendente() && c(w, "frameselecionadedo")->isVisible());
        clica(w, "cmddedo1");
        QTRY_COMPARE(status(w), QString("Clique em [Sair]"));
        QCOMPARE(linhas(), QStringList{"0007|1|Maria|64"});

        falhas_ = {{SimuladorLeitor::Captura, {SimuladorLeitor::SEM_RESPOSTA, 1}}};
        fecha();
        w = abre();
        QTRY_COMPARE(w->tipoleitor(), 1);
        escolhe(w, 6);
        QTRY_VERIFY(sim_->pendente());
        QPointer<SimuladorLeitor> sim = sim_;
        clica(w, "cmdsair");
        QVERIFY(!sim->pendente() && sim->chamadas(SimuladorLeitor::Finaliza) == 1);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!janela() && !sim);
    }

    void desligamento_data()
    {
        QTest::addColumn<int>("falha");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("desligado") << 0 << "Leitor desligado!";
        QTest::newRow("erro") << int(LeitorErroGeral) << "Erro ao desligar leitor";
    }
    void desligamento()
    {
        QFETCH(int, falha);
        QFETCH(QString, esperado);
        if (falha)
            falhas_ = {{SimuladorLeitor::Finaliza, {falha, -1}}};
        auto* w = abre();
        QTRY_COMPARE(w->tipoleitor(), 1);
        w->finalizasensorsuprema();
        QCOMPARE(status(w), esperado);
        w->finalizasensorsuprema();   // a second shut-down says only what the reader answers
        QCOMPARE(status(w), QString("UFS_Uninit: o leitor não foi iniciado") + CRLF);
    }

    // Exit: the code goes back to an open tithers window named by janelaativa, once.
    void saidaDevolveCodigo_data()
    {
        QTest::addColumn<QString>("ativa");
        QTest::addColumn<bool>("cadastroaberto");
        QTest::addColumn<QString>("codigo");   // shown by the fingerprint window
        QTest::addColumn<QString>("esperado"); // tithers window afterwards: code and name, or "fechada"
        QTest::newRow("outro dizimista") << "frmcadastrodizimistas" << true << "0002" << "0002 Bia";
        QTest::newRow("mesmo dizimista") << "frmcadastrodizimistas" << true << "0001" << "0001 Ana";
        QTest::newRow("código inexistente") << "frmcadastrodizimistas" << true << "0099" << "0001 Ana";
        QTest::newRow("usuários ativa") << "frmcadastrousuarios" << true << "0002" << "0001 Ana";
        QTest::newRow("cadastro fechado") << "frmcadastrodizimistas" << false << "0002" << "fechada";
    }
    void saidaDevolveCodigo()
    {
        QFETCH(QString, ativa);
        QFETCH(bool, cadastroaberto);
        QFETCH(QString, codigo);
        QFETCH(QString, esperado);
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0001', 'Ana'), ('0002', 'Bia')"));
        if (cadastroaberto)
            abredizimista("0001");
        auto* w = abre(codigo);
        QTRY_COMPARE(w->tipoleitor(), 1);
        definejanelaativa(ativa);
        QPointer<SimuladorLeitor> sim = sim_;
        w->close();   // the close box runs the same exit as "Sair"
        QCOMPARE(sim->chamadas(SimuladorLeitor::Finaliza), 1);
        QWidget* cad = Janelas::instancia("frmcadastrodizimistas");
        QCOMPARE(cad ? c<QLineEdit>(cad, "txtcodigo")->text() + " " + c<QLineEdit>(cad, "txtnome")->text() : "fechada",
                 esperado);
        Janelas::fecha("frmcadastrodizimistas");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TIVANE_TEST_MAIN(TstFrmCapturaImpressao)
#include "tst_frmcapturaimpressao.moc"
