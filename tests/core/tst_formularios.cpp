#include "core/dialogos.h"
#include "core/formularios.h"
#include "testsupport.h"

#include <QtWidgets>

using namespace tivane;

namespace {
template <typename T> T* filho(QWidget* pai, const char* nome)
{
    auto* w = new T(pai);
    w->setObjectName(QString::fromLatin1(nome));
    return w;
}
}  // namespace

class TstFormularios : public QObject {
    Q_OBJECT
private slots:
    void banner()
    {
        struct Caso { int estado; const char* legenda; QColor fundo, texto; };
        const QColor azul(192, 192, 255), azulEscuro(0, 0, 128);
        // Unknown states (4, -1) leave the banner as it was.
        const Caso casos[] = {
            {0, "Novo Registro", QColor(192, 255, 192), QColor(0, 128, 0)}, {1, "Somente Leitura", azul, azulEscuro},
            {2, "Modificando Registro", QColor(255, 255, 192), QColor(0, 192, 0)},
            {3, "Excluindo Registro", QColor(255, 192, 192), QColor(192, 0, 0)},
            {4, "Somente Leitura", azul, azulEscuro}, {-1, "Somente Leitura", azul, azulEscuro}};
        for (const Caso& c : casos) {
            QWidget janela, semBanner;
            auto* rotulo = filho<QLabel>(&janela, "lblstatus");
            definestatus(&janela, 1);
            definestatus(&janela, c.estado);
            QCOMPARE(rotulo->text(), QString::fromLatin1(c.legenda));
            QCOMPARE(rotulo->palette().color(QPalette::Window), c.fundo);
            QCOMPARE(rotulo->palette().color(QPalette::WindowText), c.texto);
            QVERIFY(rotulo->autoFillBackground());
            definestatus(&semBanner, c.estado);  // left alone
            definestatus(nullptr, c.estado);
        }
    }

    void caixasDeTexto()
    {
        QWidget janela;
        auto* frame = filho<QFrame>(&janela, "Frameprincipal");
        auto* nome = new QLineEdit("Maria", frame);
        auto* obs = new QPlainTextEdit("obs", frame);
        auto* data = new QLineEdit(frame);
        data->setInputMask("99/99/9999;_");
        data->setText("01022020");
        auto* combo = new QComboBox(frame);
        combo->setEditable(true);
        combo->setEditText("RJ");
        bloqueiacampos(&janela);  // plain text boxes only
        QVERIFY(nome->isReadOnly() && obs->isReadOnly());
        QVERIFY(!data->isReadOnly() && !combo->lineEdit()->isReadOnly());
        data->setReadOnly(true);
        desbloqueiacampos(&janela);
        QVERIFY(!nome->isReadOnly() && !obs->isReadOnly() && data->isReadOnly());
        limpatextos(&janela);
        QVERIFY(nome->text().isEmpty() && obs->toPlainText().isEmpty());
        QCOMPARE(data->text() + " " + combo->currentText(), QStringLiteral("01/02/2020 RJ"));
    }

    void centraliza()
    {
        QWidget janela;
        auto* frame = filho<QFrame>(&janela, "Frameprincipal");
        frame->resize(301, 201);
        centralizaframe(&janela, 800, 600);
        QCOMPARE(frame->geometry(), QRect(249, 199, 301, 201));  // rounded down
        centralizaframe(&janela, 200, 100);  // larger than the area
        QCOMPARE(frame->pos(), QPoint(-51, -51));
        mantemframecentralizado(&janela);
        janela.show();
        janela.resize(1001, 801);
        QCOMPARE(frame->pos(), QPoint(350, 300));
    }

    void combos()
    {
        QWidget janela;
        auto* estados = filho<QComboBox>(&janela, "cbestado");
        auto* civil = filho<QComboBox>(&janela, "cbestadocivil");
        preenchecomboestados(&janela);
        estados->setCurrentIndex(5);
        preenchecomboestados(&janela);  // not cleared first
        QCOMPARE(estados->count(), 54);
        QCOMPARE(QStringList({estados->currentText(), estados->itemText(3), estados->itemText(24)}),
                 QStringList({"RJ - Rio de Janeiro", "SP - São Paulo", "PE - Pernanbuco"}));
        preenchecomboestadocivil(&janela);
        preenchecomboestadocivil(&janela);  // cleared first
        QVERIFY(civil->count() == 6 && civil->currentIndex() == -1);
        QCOMPARE(civil->itemText(2) + "|" + civil->itemText(3), QString("Viúvo(a)|Sep.Judicial"));

        // Two sets of day, month and year, and a third set's day; the years run from 2005 to this year.
        QList<QComboBox*> c;
        for (const char* n : {"combodias0", "Combomes0", "comboano0", "combodias1", "Combomes1", "comboano1", "combodias2"})
            c << filho<QComboBox>(&janela, n);
        preenchecombosdata(&janela, 2);
        const int ano = QDate::currentDate().year();
        for (int i : {0, 3})
            QVERIFY(c[i]->count() == 31 && c[i + 1]->count() == 12 && c[i + 2]->count() == qMax(2020, ano) - 2005 + 1);
        QCOMPARE(QStringList({c[0]->itemText(0), c[1]->itemText(2), c[2]->itemText(0)}), QStringList({"01", "Março", "2005"}));
        QVERIFY(c[5]->findText(QString::number(ano)) >= 0);
        QCOMPARE(c[6]->count(), 0);
        preenchecombosdata(&janela, 1);  // not cleared first
        QCOMPARE(c[0]->count(), 62);
    }
};

TIVANE_TEST_MAIN(TstFormularios)
#include "tst_formularios.moc"
