#include "shell/verificacao.h"

#include "core/dialogos.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>
#include <memory>

namespace tivane {

namespace {
bool g_iniciada = false;
QPointer<QThread> g_tarefa;
}  // namespace

QString avisoverificacao(const QString& caminho, const VerificacaoBanco& v)
{
    switch (v.estado) {
    case EstadoBanco::Bom:
        return QString();
    case EstadoBanco::Ilegivel:
        // Another program's long write is no damage; the next start checks again.
        if (v.motivo.contains(QStringLiteral("em uso")))
            return QString();
        break;
    default:
        break;
    }
    return QStringLiteral("Atenção: o banco de dados ") + caminho + QStringLiteral(" apresenta problemas: ") + v.motivo
           + QStringLiteral(".\n\nPara não perder dados, restaure o backup mais recente (Ferramentas > Backup > "
                            "Restaurar). Se não houver backup, faça uma cópia do arquivo antes de continuar usando o "
                            "sistema.");
}

void verificabancoaposlogin(const QString& caminho)
{
    if (g_iniciada || !QCoreApplication::instance())
        return;
    g_iniciada = true;
    auto resultado = std::make_shared<VerificacaoBanco>();
    QThread* tarefa = QThread::create([caminho, resultado] { *resultado = verificabanco(caminho, false); });
    tarefa->setObjectName(QStringLiteral("verificacaobanco"));
    tarefa->setParent(QCoreApplication::instance());
    g_tarefa = tarefa;
    // finished arrives on the user-interface thread, after the check's own connection is closed.
    QObject::connect(tarefa, &QThread::finished, QCoreApplication::instance(), [tarefa, caminho, resultado] {
        const QString aviso = avisoverificacao(caminho, *resultado);
        tarefa->deleteLater();
        if (!aviso.isEmpty())
            Dialogos::msgbox(aviso, 48);
    });
    // The program never leaves with the check's thread still running (aboutToQuit is not
    // sent when the application ends without its loop; the post routine runs then too).
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, tarefa, [tarefa] { tarefa->wait(); });
    qAddPostRoutine([] {
        if (g_tarefa)
            g_tarefa->wait();
    });
    tarefa->start(QThread::LowPriority);
}

bool aguardaverificacao(int ms)
{
    const QDeadlineTimer prazo(ms);
    while (g_tarefa) {
        if (prazo.hasExpired())
            return false;
        g_tarefa->wait(QDeadlineTimer(qMin<qint64>(50, qMax<qint64>(0, prazo.remainingTime()))));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

}  // namespace tivane
