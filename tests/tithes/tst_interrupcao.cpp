// A writer killed at any moment loses nothing it reported as written and leaves a sound file.
#include "testsupport.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/integridade.h"
#include "register/dizimistas.h"
#include "register/numeracao.h"
#include "tithes/pagamentos.h"
#include "tithes/frmrecibo.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <unistd.h>

using namespace tivane;

namespace {

void relata(const QString& linha)
{
    const QByteArray b = (linha + '\n').toUtf8();
    // One write per line, straight to the pipe: a line seen by the parent was written after the data.
    if (::write(1, b.constData(), static_cast<size_t>(b.size())) != b.size())
        _exit(4);
}

// The child: writes tithers, payments and reversals through the program's own
// functions until it is killed, reporting each one once it is done.
int escritor()
{
    Dialogos::ativaModoTeste(true);
    defineEncerramento([](int) { _exit(3); });
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // Opened (the key costs a while, more so under the sanitizers): the parent's clock for the kill runs from here.
    if (!Banco::conecta())
        return 2;
    relata("I");
    for (int i = 0;; ++i) {
        Dizimista d;
        d.codigo = novocodigo(Tabela::Dizimistas);
        d.nome = "Dizimista " + d.codigo;
        d.cadastro = "01/02/2020";
        if (d.codigo.isEmpty() || inseredizimista(d) != Gravacao::Gravado)
            return 5;
        relata("D " + d.codigo);
        QString data = QDate::currentDate().toString("dd/MM/yyyy"), hora = "10:00", valor = "25,00",
                codigo = d.codigo, nome = *d.nome, mes = "02", ano = "2020";
        const QString recibo = gravapagamento(data, hora, valor, codigo, nome, mes, ano);
        if (recibo.isEmpty())
            return 6;
        relata("P " + recibo + " " + d.codigo);
        if (i % 3 == 2) {
            if (!estornarecibo(recibo))
                return 7;
            relata("E " + recibo + " " + d.codigo);
        }
    }
}

QString um(const QString& sql, const QString& valor = QString())
{
    Consulta c(sql);
    if (!valor.isNull())
        c.bind(valor);
    return c.next() ? c.text(0) : (c.ok() ? QString("<nenhum>") : "<falha: " + c.erro() + ">");
}

}  // namespace

class TstInterrupcao : public QObject {
    Q_OBJECT

private slots:
    void mortoAQualquerMomentoNaoPerdeNada()
    {
        teste::criaBancoTeste();
        const QString arquivo = Banco::caminhoArquivo();
        Banco::closeAll();
        QSet<QString> dizimistas;
        QHash<QString, QString> recibos;   // receipt -> tither code it must carry ("E..." once reversed)
        int escritas = 0, quentes = 0;
        for (int rodada = 0; rodada < 30; ++rodada) {
            QProcess filho;
            filho.start(QCoreApplication::applicationFilePath(), {"--escritor"});
            QVERIFY(filho.waitForStarted());
            QVERIFY(filho.waitForReadyRead(30000));
            QThread::msleep(QRandomGenerator::global()->bounded(0, 250));
            filho.kill();
            QVERIFY(filho.waitForFinished());
            QCOMPARE(filho.exitStatus(), QProcess::CrashExit);   // killed while writing, never stopped on its own
            for (const QString& linha : QString::fromUtf8(filho.readAllStandardOutput()).split('\n')) {
                const QStringList p = linha.split(' ');
                if (p.size() == 2 && p[0] == "D")
                    dizimistas.insert(p[1]);
                else if (p.size() == 3 && p[0] == "P")
                    recibos[p[1]] = p[2];
                else if (p.size() == 3 && p[0] == "E")
                    recibos[p[1]] = "E" + p[2];
                else
                    continue;
                ++escritas;
            }

            quentes += QFile::exists(arquivo + "-journal");
            // Opening rolls back what the killed writer left half done; then the file checks whole.
            QVERIFY(Banco::conecta());
            QCOMPARE(um("SELECT count(*) FROM igreja"), QString("1"));
            const VerificacaoBanco v = verificabanco(arquivo, true);
            QVERIFY2(v.estado == EstadoBanco::Bom, qPrintable(v.motivo));
            for (const QString& codigo : dizimistas)
                QCOMPARE(um("SELECT codigo FROM dizimistas WHERE codigo = ?", codigo), codigo);
            for (auto it = recibos.cbegin(); it != recibos.cend(); ++it) {
                const QString gravado = um("SELECT codigodizimista FROM pagamentos WHERE codigo = ?", it.key());
                // A reversal done just before the kill may not have been reported yet.
                QVERIFY2(gravado == it.value() || gravado == "E" + it.value(), qPrintable(it.key() + " " + gravado));
            }
            QCOMPARE(um("SELECT codigo FROM pagamentos GROUP BY codigo HAVING count(*) > 1"), QString("<nenhum>"));
            QCOMPARE(um("SELECT codigo FROM dizimistas GROUP BY codigo HAVING count(*) > 1"), QString("<nenhum>"));
            Banco::closeAll();
        }
        qInfo("%d escritas relatadas, %lld dizimistas, %lld recibos, %d mortes no meio de uma gravação", escritas,
              qint64(dizimistas.size()), qint64(recibos.size()), quentes);
        QVERIFY(escritas > 30);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--escritor") == 0) {
        QCoreApplication app(argc, argv);
        return escritor();
    }
    teste::preparaAmbiente();
    QApplication app(argc, argv);
    TstInterrupcao tc;
    const int r = QTest::qExec(&tc, 1, argv);
    teste::encerraAmbiente();
    return r;
}

#include "tst_interrupcao.moc"
