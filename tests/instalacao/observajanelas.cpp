// Loaded into the installed program by Qt (QT_QPA_GENERIC_PLUGINS=observajanelas):
// waits for the login window, writes what it shows and the libraries the
// process has loaded to standard output, and ends the program.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGenericPlugin>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

void escreve(const QString& linha)
{
    std::fputs(qPrintable(linha + '\n'), stdout);
    std::fflush(stdout);
}

void relataLogin(QWidget* login)
{
    escreve(QStringLiteral("janela %1: %2").arg(login->objectName(), login->windowTitle()));
    if (auto* usuarios = login->findChild<QComboBox*>(QStringLiteral("combousuarios")))
        for (int i = 0; i < usuarios->count(); ++i)
            escreve(QStringLiteral("usuario: ") + usuarios->itemText(i));
    QFile mapa(QStringLiteral("/proc/self/maps"));
    if (!mapa.open(QIODevice::ReadOnly))
        return;
    QSet<QString> vistas;
    const auto linhas = mapa.readAll().split('\n');
    for (const QByteArray& linha : linhas) {
        const int barra = linha.indexOf('/');
        if (barra < 0 || !linha.contains(".so"))
            continue;
        const QString caminho = QString::fromLocal8Bit(linha.mid(barra));
        if (!vistas.contains(caminho)) {
            vistas.insert(caminho);
            escreve(QStringLiteral("biblioteca: ") + caminho);
        }
    }
}

}  // namespace

class ObservaJanelas : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "observajanelas.json")

public:
    QObject* create(const QString&, const QString&) override
    {
        auto* relogio = new QTimer;
        relogio->setInterval(100);
        QObject::connect(relogio, &QTimer::timeout, relogio, [relogio] {
            for (QWidget* janela : QApplication::topLevelWidgets()) {
                if (janela->objectName() == QLatin1String("frmsenha") && janela->isVisible()) {
                    relogio->stop();
                    relataLogin(janela);
                    QCoreApplication::exit(0);
                    return;
                }
            }
        });
        relogio->start();
        return relogio;
    }
};

#include "observajanelas.moc"
