#include "register/frmrecepcao.h"

#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/resultado.h"
#include "register/dizimistas.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tivane {

namespace {

const char* const NOME_JANELA = "frmrecepcao";

static RegistroJanela reg(NOME_JANELA, [] { return new FrmRecepcao; }, Janelas::Independente);

QLabel* rotulo(const QString& texto, QWidget* pai, const char* nome = nullptr)
{
    auto* r = new QLabel(texto, pai);
    if (nome)
        r->setObjectName(QString::fromLatin1(nome));
    return r;
}

QLabel* marca(const QString& texto, QWidget* pai, const char* nome)
{
    QLabel* r = rotulo(texto, pai, nome);
    r->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    return r;
}

}  // namespace

FrmRecepcao::FrmRecepcao()
{
    setObjectName(QString::fromLatin1(NOME_JANELA));
    setWindowTitle(QStringLiteral("Recepção de Fiéis"));

    auto* principal = new QGroupBox(QStringLiteral("Recepção de Fiéis"), this);
    principal->setObjectName(QStringLiteral("Frameprincipal"));
    principal->setFont(fonteserif(12));
    principal->setStyleSheet(QStringLiteral("QGroupBox#Frameprincipal { color: rgb(0, 128, 0); }"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addWidget(principal);
    auto* grade = new QGridLayout(principal);
    const QFont normal = font();

    auto* framestatus = new QGroupBox(QStringLiteral("Status"), principal);
    framestatus->setObjectName(QStringLiteral("Framestatus"));
    auto* ls = new QVBoxLayout(framestatus);
    lblstatus_ = rotulo(QStringLiteral("Coloque o dedo no sensor"), framestatus, "lblstatus");
    lblstatus_->setFrameShape(QFrame::Box);
    lblstatus_->setAlignment(Qt::AlignCenter);
    lblstatus_->setFont(normal);
    lblstatus_->setMinimumHeight(lblstatus_->sizeHint().height() * 2);
    ls->addWidget(lblstatus_);
    grade->addWidget(framestatus, 0, 0, 1, 2);

    auto* framebarras = new QGroupBox(QStringLiteral("Código de Barras"), principal);
    framebarras->setObjectName(QStringLiteral("Framecodigodebarras"));
    auto* lb = new QVBoxLayout(framebarras);
    txtcodigodebarras_ = new QLineEdit(framebarras);
    txtcodigodebarras_->setObjectName(QStringLiteral("txtcodigodebarras"));
    txtcodigodebarras_->setAlignment(Qt::AlignCenter);
    txtcodigodebarras_->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    txtcodigodebarras_->setFont(normal);
    lb->addWidget(txtcodigodebarras_);
    grade->addWidget(framebarras, 1, 0);

    auto* cmdparar = new QPushButton(QStringLiteral("&Sair"), principal);
    cmdparar->setObjectName(QStringLiteral("Cmdparar"));
    cmdparar->setAutoDefault(false);
    cmdparar->setFont(normal);
    grade->addWidget(cmdparar, 1, 1, Qt::AlignBottom);

    // The tither card; nothing fills or shows it.
    auto* cartao = new QFrame(principal);
    cartao->setObjectName(QStringLiteral("Framelocalizado"));
    cartao->setStyleSheet(QStringLiteral("QFrame#Framelocalizado { background: rgb(192, 255, 192);"
                                         " border: 1px solid gray; border-radius: 12px; }"));
    auto* lc = new QGridLayout(cartao);
    auto* moldura = new QFrame(cartao);
    moldura->setFixedSize(225, 209);
    moldura->setStyleSheet(QStringLiteral("background: white;"));
    auto* semfoto = rotulo(QStringLiteral("SEM FOTO"), moldura);
    semfoto->setAlignment(Qt::AlignCenter);
    semfoto->setGeometry(0, 0, 225, 209);
    auto* picfoto = rotulo(QString(), moldura, "picfoto");
    picfoto->setScaledContents(true);
    picfoto->setGeometry(0, 0, 225, 209);
    lc->addWidget(moldura, 0, 0, 4, 1);
    lc->addWidget(rotulo(QStringLiteral("Nome"), cartao), 0, 1);
    QLabel* lblnome = rotulo(QString(), cartao, "lblnome");
    lblnome->setFont(fonteserif(21.75, false));
    lc->addWidget(lblnome, 1, 1);
    lc->addWidget(rotulo(QStringLiteral("Código"), cartao), 2, 1);
    QLabel* lblcodigo = rotulo(QStringLiteral("0000"), cartao, "lblcodigo");
    QFont arial(QStringLiteral("Liberation Sans"));
    arial.setPointSizeF(20.25);
    lblcodigo->setFont(arial);
    lblcodigo->setStyleSheet(QStringLiteral("color: blue; background: white;"));
    lc->addWidget(lblcodigo, 3, 1);
    cartao->hide();
    grade->addWidget(cartao, 2, 0, 1, 2);

    auto* rodape = new QHBoxLayout;
    QLabel* relogio = rotulo(QStringLiteral("12:00:00"), principal, "lblrelogio");
    relogio->setFont(normal);
    rodape->addWidget(relogio);
    auto* progresso = new QProgressBar(principal);
    progresso->setObjectName(QStringLiteral("drawfield1"));
    progresso->setRange(0, 40);
    progresso->setValue(0);
    progresso->setTextVisible(false);
    rodape->addWidget(progresso, 1);
    for (QLabel* l : {marca(QStringLiteral("Tivane Dízimos"), principal, "Label4"),
                      marca(QStringLiteral("Tivane System"), principal, "Label5"),
                      marca(QStringLiteral("®"), principal, "lblregistrado")}) {
        l->setFont(normal);
        rodape->addWidget(l);
    }
    grade->addLayout(rodape, 3, 0, 1, 2);

    connect(txtcodigodebarras_, &QLineEdit::returnPressed, this, [this] {
        QString codigo = txtcodigodebarras_->text();
        // The lookup tells the user itself (status line, or a warning with the cause);
        // a match shows nothing further at this desk.
        dispensaresultado(marcaquardacodigodebarras(codigo));
    });
    connect(cmdparar, &QPushButton::clicked, this, [] { Janelas::fecha(QString::fromLatin1(NOME_JANELA)); });
    adjustSize();
    setMinimumWidth(420);
    centralizanatela(this);
}

Leitura FrmRecepcao::marcaquardacodigodebarras(QString& codigo)
{
    // Whatever was read is looked up as it is, an empty box included: what
    // no tither carries is a miss like any other.
    QString encontrado;
    const Leitura r = localizapelocodigodebarras(codigo, &encontrado);
    switch (r) {
    case Leitura::Falha:
        Dialogos::avisaFalhaLeitura(QString(), r.causa());
        return r;
    case Leitura::NaoEncontrado:
        lblstatus_->setText(QStringLiteral("Código Não Localizado"));
        break;
    case Leitura::Encontrado:
        codigo = encontrado;
        break;
    }
    txtcodigodebarras_->clear();
    return r;
}

}  // namespace tivane
