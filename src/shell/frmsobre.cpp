#include "shell/frmsobre.h"

#include "core/formularios.h"
#include "core/janelas.h"
#include "core/link.h"
#include "core/versao.h"
#include "shell/fabricante.h"

#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace tivane {

namespace {
const char* const NOME = "frmsobre";
RegistroJanela reg(NOME, [] { return new FrmSobre; }, Janelas::Independente);
RegistroComando manual("mnumanualonline", [] { abrelink(linkmanual()); });
}  // namespace

QString linksite() { return QString::fromLatin1(Fabricante::SITE); }
QString linkemail() { return QStringLiteral("mailto:") + QString::fromLatin1(Fabricante::EMAIL); }
QString linkchamada() { return QStringLiteral("callto://") + QString::fromLatin1(Fabricante::CHAMADA); }
QString linkmanual() { return QString::fromLatin1(Fabricante::MANUAL); }

FrmSobre::FrmSobre()
{
    setObjectName(QString::fromLatin1(NOME));
    setWindowTitle(QStringLiteral("Sobre o Tivane Dízimos"));
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->installEventFilter(this);

    auto* logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("imglogo"));
    logo->setPixmap(QIcon(QStringLiteral(":/tivane/icone.svg")).pixmap(64, 64));
    auto* titulo = new QLabel(QStringLiteral("Tivane Dízimos"), frame);
    titulo->setObjectName(QStringLiteral("lbltitulo"));
    QFont f = titulo->font();
    f.setPointSize(18);
    f.setBold(true);
    titulo->setFont(f);
    auto* versao = new QLabel(QStringLiteral("Versão do Sistema:") + versaosistema(), frame);
    versao->setObjectName(QStringLiteral("lblVersion"));
    auto* fabricante = new QLabel(QString::fromLatin1(Fabricante::NOME) + QLatin1Char('\n')
                                      + QString::fromUtf8(Fabricante::ENDERECO) + QStringLiteral("\nTel.: ")
                                      + QString::fromLatin1(Fabricante::TELEFONE),
                                  frame);
    fabricante->setObjectName(QStringLiteral("lblendereco"));

    auto* contatos = new QGridLayout;
    const auto linha = [&](int r, const QString& rotulo, QLabel* l) {
        contatos->addWidget(new QLabel(rotulo, frame), r, 0);
        contatos->addWidget(l, r, 1);
    };
    linha(0, QStringLiteral("Site:"), link(QStringLiteral("lblsite"), linksite(), linksite()));
    linha(1, QStringLiteral("Msn :"), link(QStringLiteral("lblemail"), QString::fromLatin1(Fabricante::EMAIL), linkemail()));
    linha(2, QStringLiteral("Skype:"),
          link(QStringLiteral("lblskype"), QStringLiteral("Chamar: ") + QString::fromLatin1(Fabricante::CHAMADA),
               linkchamada()));
    contatos->setColumnStretch(1, 1);

    auto* topo = new QHBoxLayout;
    topo->addWidget(logo);
    auto* nomes = new QVBoxLayout;
    nomes->addWidget(titulo);
    nomes->addWidget(versao);
    topo->addLayout(nomes, 1);
    auto* lf = new QVBoxLayout(frame);
    lf->addLayout(topo);
    lf->addSpacing(8);
    lf->addWidget(fabricante);
    lf->addSpacing(8);
    lf->addLayout(contatos);
    auto* l = new QVBoxLayout(this);
    l->addWidget(frame);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
    centralizanatela(this);
}

QLabel* FrmSobre::link(const QString& nome, const QString& texto, const QString& destino)
{
    auto* l = new QLabel(texto, findChild<QFrame*>(QStringLiteral("Frameprincipal")));
    l->setObjectName(nome);
    l->setProperty("destino", destino);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(p);
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    return l;
}

bool FrmSobre::eventFilter(QObject* o, QEvent* e)
{
    const bool solta = e->type() == QEvent::MouseButtonRelease
                       && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
    const QVariant destino = o->property("destino");
    if (destino.isValid()) {
        // A link's click is its own: it must not reach the frame, which closes the window.
        if (e->type() == QEvent::MouseButtonPress)
            return true;
        if (solta) {
            abrelink(destino.toString());
            return true;
        }
    } else if (solta && o->objectName() == QLatin1String("Frameprincipal")) {
        close();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

}  // namespace tivane
