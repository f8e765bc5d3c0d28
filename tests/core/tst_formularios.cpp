#include "core/dialogos.h"
#include "core/formularios.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QSpinBox>

using namespace tivane;

class TstFormularios : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void proximoCodigoDeLista();
    void proximoCodigoDaTabela();
    void banner_data();
    void banner();
    void bannerEstadoDesconhecido();
    void caixasDeTexto();
    void centraliza();
    void combosDeEstados();
    void combosDeData();
    void impressaoCancelada();
    void impressaoConfirmada();
};

void TstFormularios::initTestCase()
{
    teste::criaBancoTeste();
}

void TstFormularios::init()
{
    Dialogos::limpa();
}

void TstFormularios::proximoCodigoDeLista()
{
    QCOMPARE(geraproximocodigo(QStringList{"0001", "0005", "0003"}), QStringLiteral("0006"));
    QCOMPARE(geraproximocodigo(QStringList{"0002", "0010"}), QStringLiteral("0011"));
    QCOMPARE(geraproximocodigo(QStringList{}), QStringLiteral("0001"));
    QCOMPARE(geraproximocodigo(QStringList{"", "", QString()}), QStringLiteral("0001"));
    QCOMPARE(geraproximocodigo(QStringList{"9999", "0001"}), QStringLiteral("10000"));
    // Compared as numbers, not as text ("9" > "10000" as text).
    QCOMPARE(geraproximocodigo(QStringList{"10000", "9"}), QStringLiteral("10001"));
    QCOMPARE(geraproximocodigo(QStringList{"0004", "abc", "12x", "-7"}), QStringLiteral("0005"));
}

void TstFormularios::proximoCodigoDaTabela()
{
    teste::limpaBanco();
    QCOMPARE(geraproximocodigo(Tabela::Dizimistas), QStringLiteral("0001"));
    QCOMPARE(geraproximocodigo(Tabela::Usuarios), QStringLiteral("0001"));

    teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('0002', 'A'), ('0010', 'B'), ('0007', 'C')");
    QCOMPARE(geraproximocodigo(Tabela::Dizimistas), QStringLiteral("0011"));
    QCOMPARE(geraproximocodigo(Tabela::Usuarios), QStringLiteral("0001"));

    teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('9999', 'D'), (NULL, 'E'), ('', 'F')");
    QCOMPARE(geraproximocodigo(Tabela::Dizimistas), QStringLiteral("10000"));
    teste::sql("INSERT INTO dizimistas (codigo, nome) VALUES ('10000', 'G')");
    QCOMPARE(geraproximocodigo(Tabela::Dizimistas), QStringLiteral("10001"));

    teste::limpaBanco();
    teste::sql("INSERT INTO usuarios (codigo, nome) VALUES (NULL, 'X'), ('', 'Y')");
    QCOMPARE(geraproximocodigo(Tabela::Usuarios), QStringLiteral("0001"));
    teste::sql("INSERT INTO usuarios (codigo, nome) VALUES ('0003', 'Z')");
    QCOMPARE(geraproximocodigo(Tabela::Usuarios), QStringLiteral("0004"));
    teste::limpaBanco();
}

void TstFormularios::banner_data()
{
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("legenda");
    QTest::addColumn<QColor>("fundo");
    QTest::addColumn<QColor>("texto");
    QTest::newRow("novo") << 0 << "Novo Registro" << QColor(192, 255, 192) << QColor(0, 128, 0);
    QTest::newRow("leitura") << 1 << "Somente Leitura" << QColor(192, 192, 255) << QColor(0, 0, 128);
    QTest::newRow("modificando") << 2 << "Modificando Registro" << QColor(255, 255, 192) << QColor(0, 192, 0);
    QTest::newRow("excluindo") << 3 << "Excluindo Registro" << QColor(255, 192, 192) << QColor(192, 0, 0);
}

void TstFormularios::banner()
{
    QFETCH(int, estado);
    QFETCH(QString, legenda);
    QFETCH(QColor, fundo);
    QFETCH(QColor, texto);
    QWidget janela;
    auto* rotulo = new QLabel(&janela);
    rotulo->setObjectName("lblstatus");
    definestatus(&janela, estado);
    QCOMPARE(rotulo->text(), legenda);
    QCOMPARE(rotulo->palette().color(QPalette::Window), fundo);
    QCOMPARE(rotulo->palette().color(QPalette::WindowText), texto);
    QVERIFY(rotulo->autoFillBackground());
}

void TstFormularios::bannerEstadoDesconhecido()
{
    QWidget janela;
    auto* rotulo = new QLabel(&janela);
    rotulo->setObjectName("lblstatus");
    definestatus(&janela, 1);
    const QPalette antes = rotulo->palette();
    definestatus(&janela, 4);
    definestatus(&janela, -1);
    QCOMPARE(rotulo->text(), QStringLiteral("Somente Leitura"));
    QCOMPARE(rotulo->palette().color(QPalette::Window), antes.color(QPalette::Window));
    // A window without the banner is left alone.
    QWidget semBanner;
    definestatus(&semBanner, 0);
    definestatus(nullptr, 0);
}

void TstFormularios::caixasDeTexto()
{
    QWidget janela;
    auto* frame = new QFrame(&janela);
    frame->setObjectName("Frameprincipal");
    auto* nome = new QLineEdit("Maria", frame);
    auto* obs = new QPlainTextEdit("obs", frame);
    auto* data = new QLineEdit(frame);
    data->setInputMask("99/99/9999;_");
    data->setText("01022020");
    auto* combo = new QComboBox(frame);
    combo->setEditable(true);
    combo->setEditText("RJ");
    auto* spin = new QSpinBox(frame);
    spin->setValue(5);

    const auto caixas = caixasdetexto(&janela);
    QCOMPARE(caixas.size(), 2);
    QVERIFY(caixas.contains(nome) && caixas.contains(obs));

    bloqueiacampos(&janela);
    QVERIFY(nome->isReadOnly());
    QVERIFY(obs->isReadOnly());
    QVERIFY(!data->isReadOnly());
    QVERIFY(!combo->lineEdit()->isReadOnly());

    desbloqueiacampos(&janela);
    QVERIFY(!nome->isReadOnly());
    QVERIFY(!obs->isReadOnly());

    data->setReadOnly(true);
    desbloqueiacampos(&janela);
    QVERIFY(data->isReadOnly());  // masked boxes are not touched

    limpatextos(&janela);
    QCOMPARE(nome->text(), QString());
    QCOMPARE(obs->toPlainText(), QString());
    QCOMPARE(data->text(), QStringLiteral("01/02/2020"));
    QCOMPARE(combo->currentText(), QStringLiteral("RJ"));
    QCOMPARE(spin->value(), 5);
}

void TstFormularios::centraliza()
{
    QWidget janela;
    janela.resize(800, 600);
    auto* frame = new QFrame(&janela);
    frame->setObjectName("Frameprincipal");
    frame->resize(301, 201);
    centralizaframe(&janela, 800, 600);
    QCOMPARE(frame->pos(), QPoint(249, 199));  // 400 - 150.5 and 300 - 100.5, rounded down
    QCOMPARE(frame->size(), QSize(301, 201));
    // A frame larger than the area is placed at a negative position.
    centralizaframe(&janela, 200, 100);
    QCOMPARE(frame->pos(), QPoint(-51, -51));

    mantemframecentralizado(&janela);
    janela.show();
    janela.resize(1001, 801);
    QCOMPARE(frame->pos(), QPoint(350, 300));

    QWidget semFrame;
    centralizaframe(&semFrame, 100, 100);
}

void TstFormularios::combosDeEstados()
{
    QWidget janela;
    auto* estados = new QComboBox(&janela);
    estados->setObjectName("cbestado");
    auto* civil = new QComboBox(&janela);
    civil->setObjectName("cbestadocivil");

    preenchecomboestados(&janela);
    QCOMPARE(estados->count(), 27);
    QCOMPARE(estados->currentText(), QStringLiteral("RJ - Rio de Janeiro"));
    QCOMPARE(estados->itemText(24), QStringLiteral("PE - Pernanbuco"));
    QCOMPARE(estados->itemText(3), QString::fromUtf8("SP - São Paulo"));
    QCOMPARE(estados->itemText(26), QString::fromUtf8("MA - Maranhão"));
    estados->setCurrentIndex(5);
    preenchecomboestados(&janela);
    QCOMPARE(estados->count(), 54);
    QCOMPARE(estados->currentText(), QStringLiteral("RJ - Rio de Janeiro"));

    preenchecomboestadocivil(&janela);
    preenchecomboestadocivil(&janela);
    QCOMPARE(civil->count(), 6);
    QCOMPARE(civil->itemText(2), QString::fromUtf8("Viúvo(a)"));
    QCOMPARE(civil->itemText(3), QStringLiteral("Sep.Judicial"));
    QCOMPARE(civil->currentIndex(), -1);
}

void TstFormularios::combosDeData()
{
    QWidget janela;
    QList<QComboBox*> dias, meses, anos;
    for (int i = 0; i < 3; ++i) {
        dias << new QComboBox(&janela);
        dias.last()->setObjectName(QStringLiteral("combodias%1").arg(i));
        meses << new QComboBox(&janela);
        meses.last()->setObjectName(QStringLiteral("Combomes%1").arg(i));
        anos << new QComboBox(&janela);
        anos.last()->setObjectName(QStringLiteral("comboano%1").arg(i));
    }
    preenchecombosdata(&janela, 2);
    const int anoAtual = QDate::currentDate().year();
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(dias[i]->count(), 31);
        QCOMPARE(dias[i]->itemText(0), QStringLiteral("01"));
        QCOMPARE(dias[i]->itemText(30), QStringLiteral("31"));
        QCOMPARE(meses[i]->count(), 12);
        QCOMPARE(meses[i]->itemText(0), QStringLiteral("Janeiro"));
        QCOMPARE(meses[i]->itemText(2), QString::fromUtf8("Março"));
        QCOMPARE(meses[i]->itemText(11), QStringLiteral("Dezembro"));
        QCOMPARE(anos[i]->itemText(0), QStringLiteral("2005"));
        QVERIFY(anos[i]->findText(QString::number(anoAtual)) >= 0);
        QVERIFY(anos[i]->findText(QStringLiteral("2020")) >= 0);
        QCOMPARE(anos[i]->count(), qMax(2020, anoAtual) - 2005 + 1);
    }
    QCOMPARE(dias[2]->count(), 0);
    QCOMPARE(meses[2]->count(), 0);
    QCOMPARE(anos[2]->count(), 0);
    // Not cleared first.
    preenchecombosdata(&janela, 1);
    QCOMPARE(dias[0]->count(), 62);
}

namespace {
QWidget* formulario()
{
    auto* w = new QWidget;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->resize(400, 200);
    auto* l = new QLabel("RECIBO 00001/24", w);
    l->move(10, 10);
    auto* opcoes = new QFrame(w);
    opcoes->setObjectName("Frameopcoes");
    return w;
}
}  // namespace

void TstFormularios::impressaoCancelada()
{
    const QString arquivo = teste::pastaTemporaria() + "/cancelado.pdf";
    QPrinter impressora;
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(arquivo);
    QPointer<QWidget> w = formulario();
    w->show();
    Dialogos::respondeImpressora(false);
    QVERIFY(!imprimeformulario(w, &impressora));
    QCOMPARE(Dialogos::registros("impressora").size(), 1);
    QVERIFY(!QFile::exists(arquivo));
    QTRY_VERIFY(w.isNull());  // unloaded either way
}

void TstFormularios::impressaoConfirmada()
{
    const QString arquivo = teste::pastaTemporaria() + "/recibo.pdf";
    QPrinter impressora;
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(arquivo);
    QPointer<QWidget> w = formulario();
    w->show();
    QWidget* opcoes = w->findChild<QWidget*>("Frameopcoes");
    Dialogos::respondeImpressora(true);
    QVERIFY(imprimeformulario(w, &impressora));
    QVERIFY(w.isNull() || opcoes->isHidden());
    QVERIFY(QFileInfo(arquivo).size() > 0);
    QTRY_VERIFY(w.isNull());
}

TIVANE_TEST_MAIN(TstFormularios)
#include "tst_formularios.moc"
