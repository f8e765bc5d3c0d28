// The search window: its five modes, the columns they leave, and the choice written back to each kind of caller.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/janelas.h"
#include "register/frmcadastrodizimistas.h"
#include "register/frmlocaliza.h"

#include <QtWidgets>

using namespace tivane;

class TstFrmLocaliza : public QObject {
    Q_OBJECT
    static QWidget* busca() { return Janelas::instancia("frmlocaliza"); }
    static QTreeWidget* lista() { return busca()->findChild<QTreeWidget*>("lista"); }
    static QString caixa(const char* janela, const char* n) { return Janelas::instancia(janela)->findChild<QLineEdit*>(n)->text(); }
    static bool ativa() { busca()->activateWindow(); return QTest::qWaitForWindowActive(busca()); }
    static void fecha(const QStringList& janelas = {"frmlocaliza", "frmcadastrodizimistas", "frmpagamentos", "frmrelatorios"})
    {
        for (const QString& n : janelas)
            Janelas::fecha(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Searches through the window as the user would, and returns name|code rows.
    static QStringList pesquisa(int modo, const QString& texto)
    {
        busca()->findChild<QRadioButton*>(QString("optopcao%1").arg(modo))->setChecked(true);
        busca()->findChild<QLineEdit*>("txtnome")->setText(texto);
        busca()->findChild<QPushButton*>("cmdbuscar")->click();
        QStringList r;
        for (int i = 0; i < lista()->topLevelItemCount(); ++i)
            r << lista()->topLevelItem(i)->text(0) + "|" + lista()->topLevelItem(i)->text(1);
        return r;
    }
    // After searching (when asked to): the headers, then the third column of the first row.
    static QString colunas(int modo = -1, const QString& texto = {})
    {
        if (modo >= 0)
            pesquisa(modo, texto);
        QStringList r;
        for (int i = 0; i < lista()->columnCount(); ++i)
            r << lista()->headerItem()->text(i);
        return r.join(',') + (lista()->columnCount() > 2 ? "=" + lista()->topLevelItem(0)->text(2) : QString());
    }
    // How many rows the plain search finds; -1 when it reports a failure.
    static qsizetype achados(int modo, const QString& parte, int tipo)
    {
        QVector<LinhaBusca> l;
        return buscalocalizador(modo, parte, tipo, &l) ? l.size() : -1;
    }
    static void escolhe() { lista()->setCurrentItem(lista()->topLevelItem(0)); busca()->findChild<QPushButton*>("cmdselecionado")->click(); }
    // Opens the search from that open window's own button, as the user does.
    static void procura(const char* janela)
    {
        QWidget* w = Janelas::instancia(janela);
        if (auto* localizar = w->findChild<QAction*>("btnlocalizar"))
            localizar->trigger();
        else
            w->findChild<QPushButton*>("cmdprocurar")->click();
    }
    // Opens the search for that caller, finds and chooses the first row.
    static void escolhePara(const char* janela, int modo, const QString& texto)
    {
        procura(janela);
        QVERIFY(!pesquisa(modo, texto).isEmpty());
        escolhe();
        QVERIFY(!busca());
    }

private slots:
    void initTestCase()
    {
        teste::criaBancoTeste();
        // Stand-ins with only the code and value boxes and the search button, which takes the code back.
        for (const char* nome : {"frmpagamentos", "frmrelatorios"})
            Janelas::registra(nome, [nome] {
                auto* w = new QWidget;
                for (const char* caixa : {"txtcodigodizimista", "txtvalor"})
                    (new QLineEdit(w))->setObjectName(caixa);
                auto* procurar = new QPushButton(w);
                procurar->setObjectName("cmdprocurar");
                QObject::connect(procurar, &QPushButton::clicked, w, [w, nome] {
                    abrelocalizador(nome, 1, w, [w, nome](const QString& codigo) {
                        w->findChild<QLineEdit*>("txtcodigodizimista")->setText(codigo);
                        Janelas::abre(nome);
                        if (QLatin1String(nome) == QLatin1String("frmpagamentos"))
                            w->findChild<QLineEdit*>("txtvalor")->setFocus();
                    });
                });
                return w;
            }, Janelas::Independente);
    }
    void init()
    {
        fecha();
        teste::limpaBanco();
        Dialogos::limpa();
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome, barras, tel, nascimento) VALUES"
                           " ('0001', 'JOÃO D''ÁVILA', '000001', '2222-1111', '10/05/1980'),"
                           " ('0010', 'Maria', '', '3333-1000', '01/10/1975'),"
                           " ('1000', 'Zélia', '001000', '1234', '15/10/1990'),"
                           " ('0100', NULL, '000100', NULL, NULL)"));
    }
    void cleanup() { fecha(); }

    void modosDeBusca()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        QVERIFY(busca()->findChild<QRadioButton*>("optopcao0")->isChecked());
        // Name: contains, case folded. Code, telephone, birth date: 1 character is a prefix. Bar code: exact.
        const QList<std::tuple<int, QString, QString>> casos = {
            {PorNome, "joão", "JOÃO D'ÁVILA|0001"}, {PorNome, "d'á", "JOÃO D'ÁVILA|0001"}, {PorNome, "ZÉL", "Zélia|1000"},
            {PorNome, "x' OR '1'='1", ""}, {PorNome, "", "JOÃO D'ÁVILA|0001, Maria|0010, Zélia|1000"},
            {PorCodigo, "1", "Zélia|1000"}, {PorCodigo, "01", "JOÃO D'ÁVILA|0001, Maria|0010, |0100"},
            {PorBarras, "001000", "Zélia|1000"}, {PorBarras, "1000", ""}, {PorBarras, "", "Maria|0010"},
            {PorTelefone, "1", "Zélia|1000"}, {PorTelefone, "1000", "Maria|0010"},
            {PorNascimento, "/10/", "Maria|0010, Zélia|1000"}, {PorNascimento, "1", "JOÃO D'ÁVILA|0001, Zélia|1000"}};
        for (const auto& [modo, texto, linhas] : casos)
            QCOMPARE(pesquisa(modo, texto).join(", "), linhas);
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0001', 'Secretária')"));   // the plain search, users too
        QCOMPARE(QList<qsizetype>({achados(PorNome, "SECRET", BUSCA_USUARIOS), achados(PorBarras, "", BUSCA_USUARIOS),
                                   achados(PorNome, "", 3)}),
                 QList<qsizetype>({1, 0, 0}));
        // The file held by another program: the rows of the last search go, and the cause is shown.
        {
            teste::Trava trava;
            QCOMPARE(pesquisa(PorNome, ""), QStringList{});
            QCOMPARE(achados(PorCodigo, "1", BUSCA_DIZIMISTAS), -1);
        }
        QCOMPARE(Dialogos::ultimo("msgbox").texto, QString("Não foi possível fazer a busca: o arquivo está em uso por outro "
                                                           "programa. A operação foi interrompida."));
        QCOMPARE(pesquisa(PorNome, "").size(), 3);
    }

    void colunasEntreModos()
    {
        abrelocalizador("frmcadastrodizimistas", 1);
        QCOMPARE(colunas(), QString("Nome,Código"));
        QCOMPARE(colunas(PorBarras, "000001"), QString("Nome,Código,Barras=000001"));
        QCOMPARE(colunas(PorNome, "Maria"), QString("Nome,Código,Barras="));   // keeps the bar-code column, now empty
        QCOMPARE(colunas(PorTelefone, "3333"), QString("Nome,Código,Telefone=3333-1000"));
        QCOMPARE(colunas(PorNascimento, "1975"), QString("Nome,Código"));
        abrelocalizador("frmcadastrousuarios", 5);   // users: the telephone column comes, but nothing is searched
        QCOMPARE(pesquisa(PorTelefone, "1"), QStringList{});
        QCOMPARE(pesquisa(PorBarras, "000001"), QStringList{});
        QCOMPARE(lista()->headerItem()->text(2), QString("Telefone"));
    }

    void ordemPelaColuna()
    {
        QVERIFY(teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0002', 'ângela')"));
        abrelocalizador("frmcadastrodizimistas", 1);
        QHeaderView* cabecalho = lista()->header();
        const auto clica = [&](int coluna) {
            QTest::mouseClick(cabecalho->viewport(), Qt::LeftButton, {},
                              QPoint(cabecalho->sectionViewportPosition(coluna) + 5, cabecalho->height() / 2));
        };
        QCOMPARE(pesquisa(PorNome, "a").size(), 4);
        clica(0);   // as a person reads: accents and case do not push a name to the end
        QCOMPARE(pesquisa(PorNome, "a"), QStringList({"ângela|0002", "JOÃO D'ÁVILA|0001", "Maria|0010", "Zélia|1000"}));
        clica(1);
        clica(1);   // always ascending
        QCOMPARE(pesquisa(PorNome, "a"), QStringList({"JOÃO D'ÁVILA|0001", "ângela|0002", "Maria|0010", "Zélia|1000"}));
    }

    void devolveACadaChamador()
    {
        Janelas::abre("frmcadastrodizimistas");
        escolhePara("frmcadastrodizimistas", PorNome, "Maria");
        QCOMPARE(caixa("frmcadastrodizimistas", "txtcodigo") + " " + caixa("frmcadastrodizimistas", "txtnome") + " "
                     + Janelas::instancia("frmcadastrodizimistas")->findChild<QLabel*>("lblstatus")->text(),
                 QString("0010 Maria Somente Leitura"));

        QWidget* pag = Janelas::abre("frmpagamentos");
        escolhePara("frmpagamentos", PorCodigo, "1");
        QCOMPARE(caixa("frmpagamentos", "txtcodigodizimista"), QString("1000"));
        QCOMPARE(pag->focusWidget(), pag->findChild<QWidget*>("txtvalor"));
        Janelas::abre("frmrelatorios");
        escolhePara("frmrelatorios", PorNome, "joão");
        QCOMPARE(caixa("frmrelatorios", "txtcodigodizimista") + " " + caixa("frmpagamentos", "txtcodigodizimista"), QString("0001 1000"));

        abrelocalizador("frmcadastrodizimistas", 1);   // a second call replaces the caller and the kind
        QWidget* primeira = busca();
        abrelocalizador("frmpagamentos", 5);
        QCOMPARE(busca(), primeira);
        QCOMPARE(busca()->findChild<QLabel*>("lblnomedoform")->text() + " " + busca()->findChild<QLabel*>("lbltipo")->text(),
                 QString("frmpagamentos 5"));
    }

    void chamadorFechadoOuUsuariosNaoRecebemNada()
    {
        Janelas::abre("frmpagamentos");
        procura("frmpagamentos");
        fecha({"frmpagamentos"});
        pesquisa(PorNome, "Maria");
        escolhe();
        QVERIFY(!busca() && !Janelas::instancia("frmpagamentos"));
        Janelas::abre("frmcadastrodizimistas");
        procura("frmcadastrodizimistas");
        Janelas::fecha("frmcadastrodizimistas");   // closed, its deletion still waiting
        pesquisa(PorNome, "Maria");
        escolhe();   // a closed window is not opened
        QVERIFY(!Janelas::instancia("frmcadastrodizimistas"));
        QVERIFY(teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0002', 'Operador')"));
        abrelocalizador("frmcadastrousuarios", 5);
        QCOMPARE(pesquisa(PorNome, "oper"), QStringList{"Operador|0002"});
        escolhe();
        QVERIFY(!busca());
    }

    void tecladoESemSelecao()
    {
        Janelas::abre("frmcadastrodizimistas");
        procura("frmcadastrodizimistas");
        auto* texto = busca()->findChild<QLineEdit*>("txtnome");
        busca()->findChild<QPushButton*>("cmdselecionado")->click();   // nothing listed: nothing happens
        QVERIFY(busca() && ativa());
        texto->setFocus();
        QTest::keyClicks(texto, "maria");
        QTest::keyClick(texto, Qt::Key_Return);   // Enter searches while typing
        QCOMPARE(lista()->topLevelItemCount(), 1);
        lista()->setFocus();
        lista()->setCurrentItem(lista()->topLevelItem(0));
        QTest::keyClick(lista(), Qt::Key_Return);   // and chooses from the list
        QVERIFY(!busca());
        QCOMPARE(caixa("frmcadastrodizimistas", "txtcodigo"), QString("0010"));
        abrelocalizador("frmcadastrodizimistas", 1);
        QVERIFY(ativa());
        QTest::keyClick(busca()->findChild<QLineEdit*>("txtnome"), Qt::Key_Escape);   // Esc closes
        QVERIFY(!busca());
    }
};

TIVANE_TEST_MAIN(TstFrmLocaliza)
#include "tst_frmlocaliza.moc"
