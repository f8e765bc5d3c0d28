#include "shell/verificacao.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/vigia.h"
#include "shell/backup.h"
#include "shell/frmprincipal.h"
#include "shell/varredura.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <memory>

namespace tivane {

namespace {
bool g_iniciada = false;
bool g_adiada = false;   // waiting for the start-up sweep
QPointer<QThread> g_tarefa;
std::shared_ptr<ControleVerificacao> g_controle;

// The sweep writes once after reading every tither: it goes first, so the check
// never stands in its way, and the check then reads pages the sweep left in memory.
bool varreduraPendente()
{
    FrmPrincipal* p = FrmPrincipal::atual();
    return varreduraemandamento() || (p && p->tempobloqueia()->isActive());
}

void inicia(const QString& caminho)
{
    g_adiada = false;
    auto resultado = std::make_shared<VerificacaoBanco>();
    auto controle = std::make_shared<ControleVerificacao>();
    controle->discreta = true;   // nobody waits for it: it never holds up a receipt on slow storage
    g_controle = controle;
    QThread* tarefa = QThread::create([caminho, resultado, controle] {
        *resultado = verificaemfatias(caminho, controle.get());
    });
    tarefa->setObjectName(QStringLiteral("verificacaobanco"));
    tarefa->setParent(QCoreApplication::instance());
    g_tarefa = tarefa;
    // finished arrives on the user-interface thread, after the check's own connection is closed.
    QObject::connect(tarefa, &QThread::finished, QCoreApplication::instance(), [tarefa, caminho, resultado] {
        const QString aviso = avisoverificacao(caminho, *resultado);
        tarefa->deleteLater();
        if (!aviso.isEmpty())
            Dialogos::msgbox(aviso, Dialogos::Alerta);
    });
    tarefa->start(QThread::LowPriority);
}
}  // namespace

QString avisoverificacao(const QString& caminho, const VerificacaoBanco& v)
{
    switch (v.estado) {
    case EstadoBanco::Bom:
        return QString();
    case EstadoBanco::Ilegivel:
        // Stopped at the program's end, or another program's long write: no damage; the next start checks again.
        if (v.motivo.isEmpty() || v.motivo.contains(QStringLiteral("em uso")))
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
    // A copy killed half-way left its temporary file beside the database. In a folder
    // shared over the network it may be another computer's restore still running,
    // whose clock this one cannot compare with.
    const QString pasta = QFileInfo(caminho).absolutePath();
    if (Banco::vigiaconfiavel(pasta))
        removesobras(pasta);
    // And the private copy a backup or restore killed half-way left on this computer.
    removesobras(pastacopiasprivadas());
    // The program never leaves with the check's thread running: it stops it (aboutToQuit is
    // not sent when the application ends without its loop; the post routine runs then too).
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, QCoreApplication::instance(),
                     [] { paraverificacao(); });
    qAddPostRoutine([] { paraverificacao(); });
    if (!varreduraPendente()) {
        inicia(caminho);
        return;
    }
    g_adiada = true;
    auto* espera = new QTimer(QCoreApplication::instance());
    espera->setInterval(250);
    QObject::connect(espera, &QTimer::timeout, espera, [espera, caminho] {
        if (!g_adiada) {
            espera->deleteLater();   // stopped before it began
            return;
        }
        if (varreduraPendente())
            return;
        espera->deleteLater();
        inicia(caminho);
    });
    espera->start();
}

bool aguardaverificacao(int ms)
{
    const QDeadlineTimer prazo(ms);
    while (g_adiada || g_tarefa) {
        if (prazo.hasExpired())
            return false;
        if (g_tarefa)
            g_tarefa->wait(QDeadlineTimer(qMin<qint64>(50, qMax<qint64>(0, prazo.remainingTime()))));
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void paraverificacao()
{
    g_adiada = false;
    if (g_controle)
        g_controle->parar = true;
    if (g_tarefa)
        g_tarefa->wait();
}

}  // namespace tivane
