#include "shell/frmsenha.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/resultado.h"
#include "core/registro.h"
#include "shell/verificacao.h"
#include "shell/usuarios.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tivane {

namespace {

// The users of table usuarios in table order, then the built-in "Master".
QVector<Usuario> listausuarioslogin()
{
    QVector<Usuario> usuarios;
    // Unread users are not "no users": the office is told, and Master still enters.
    const Leitura lida = listausuarios(&usuarios);
    if (lida == Leitura::Falha && Banco::conexao())
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível ler a lista de usuários"), lida.causa());
    usuarios.append({QStringLiteral("0000"), QStringLiteral("Master"), QString::fromLatin1(SENHA_BANCO), QString()});
    return usuarios;
}

}  // namespace

FrmSenha::FrmSenha(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("frmsenha");
    setWindowTitle(QStringLiteral("Tivane Dízimos 1.0 - Tivane System"));
    // The program's first window: a plain window (window managers leave a
    // dialog without its minimize button) with no maximize button; the hints
    // count only with CustomizeWindowHint.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);

    auto* titulo = new QLabel(QStringLiteral("Tivane Dízimos"), this);
    titulo->setObjectName("lblquardalegal");
    QFont f = titulo->font();
    f.setPointSize(20);
    f.setBold(true);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);

    combousuarios_ = new QComboBox(this);
    combousuarios_->setObjectName("combousuarios");
    combousuarios_->setEditable(false);
    txtsenha_ = new QLineEdit(this);
    txtsenha_->setObjectName("txtsenha");
    mascarasenha(txtsenha_);
    txtsenha_->installEventFilter(this);

    cmdentrar_ = new QPushButton(QStringLiteral("&Entrar"), this);
    cmdentrar_->setObjectName("cmdentrar");
    cmdentrar_->setDefault(true);
    cmdsair_ = new QPushButton(QStringLiteral("&Sair"), this);
    cmdsair_->setObjectName("cmdsair");

    lblinstrucao_ = new QLabel(QStringLiteral("    Software para Controle de Recebimento de Dízimos. www.tivanesystem.com.br"), this);
    lblinstrucao_->setObjectName("lblinstrucao");
    timerinstrucao_ = new QTimer(this);
    timerinstrucao_->setObjectName("Timerinstrucao");
    timerinstrucao_->setInterval(150);

    listausuarios_ = new QTreeWidget(this);
    listausuarios_->setObjectName("listausuarios");
    listausuarios_->setHeaderLabels({QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Senha")});
    listausuarios_->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Usuário:"), combousuarios_);
    form->addRow(QStringLiteral("Senha:"), txtsenha_);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(cmdentrar_);
    botoes->addWidget(cmdsair_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titulo);
    layout->addLayout(form);
    layout->addLayout(botoes);
    layout->addWidget(lblinstrucao_);
    layout->addWidget(listausuarios_);
    setMinimumWidth(420);
    // A fixed frame: window managers drop the maximize button only then.
    setFixedSize(sizeHint());

    connect(cmdentrar_, &QPushButton::clicked, this, [this] { entrarnosistema(); });
    connect(cmdsair_, &QPushButton::clicked, this, &QDialog::close);
    connect(timerinstrucao_, &QTimer::timeout, this, [this] {
        const QString t = lblinstrucao_->text();
        if (!t.isEmpty())
            lblinstrucao_->setText(t.mid(1) + t.left(1));
    });

    // The title's colour cycle: green to white, then orange passes back and forth.
    tempocor_ = new QTimer(this);
    tempocor_->setObjectName("tempocor");
    tempocor2_ = new QTimer(this);
    tempocor2_->setObjectName("tempocor2");
    const auto ciclo = [this, titulo](QTimer* este, QTimer* outro, int* contador, int passo) {
        qint32 cor = 0;
        if (passocortitulo(gradiente_, *contador, passo, &cor)) {
            QPalette p = titulo->palette();
            p.setColor(QPalette::WindowText, ColorGradiente::paraQColor(cor));
            titulo->setPalette(p);
        } else {
            este->stop();
            outro->start();
        }
    };
    for (QTimer* t : {tempocor_, tempocor2_})
        t->setInterval(400);
    connect(tempocor_, &QTimer::timeout, this, [this, ciclo] { ciclo(tempocor_, tempocor2_, &contadorcor_, 1); });
    connect(tempocor2_, &QTimer::timeout, this, [this, ciclo] { ciclo(tempocor2_, tempocor_, &contadorcor2_, 2); });
    gradiente_.SetColor(0, 0x00FF00);
    gradiente_.SetColor(10, 0xFFFFFF);

    carregausuarioslogin();
    timerinstrucao_->start();
    // The first user is already chosen: typing goes straight into the password.
    txtsenha_->setFocus();
}

FrmSenha* FrmSenha::inicia()
{
    auto* janela = new FrmSenha;
    janela->setAttribute(Qt::WA_DeleteOnClose);
    if (leropcao("04")) {
        const int master = janela->combousuarios_->findText(QStringLiteral("Master"));
        janela->combousuarios_->setCurrentIndex(master);
        janela->txtsenha_->setText(QString::fromLatin1(SENHA_BANCO));
        if (janela->entrarnosistema())
            return nullptr;
    }
    janela->show();
    centralizanatela(janela);
    return janela;
}

void FrmSenha::carregausuarioslogin()
{
    combousuarios_->clear();
    listausuarios_->clear();
    const QVector<Usuario> usuarios = listausuarioslogin();
    for (int i = 0; i < usuarios.size(); ++i)
        new QTreeWidgetItem(listausuarios_, {usuarios[i].codigo, usuarios[i].nome, usuarios[i].senha});
    // The list keeps its entries sorted as a Brazilian reader expects ("álvaro"
    // beside "Ana", whatever the capitals); each entry knows its own user's row.
    QList<int> ordem;
    for (int i = 0; i < usuarios.size(); ++i)
        ordem.append(i);
    std::stable_sort(ordem.begin(), ordem.end(), [&](int a, int b) {
        return comparaalfabetica(usuarios[a].nome, usuarios[b].nome) < 0;
    });
    for (int i : ordem)
        combousuarios_->addItem(usuarios[i].nome, i);
    if (combousuarios_->count() > 0)
        combousuarios_->setCurrentIndex(0);
}

bool FrmSenha::entrarnosistema()
{
    const int linha = combousuarios_->currentData().toInt();
    QTreeWidgetItem* item = listausuarios_->topLevelItem(linha);
    if (!item)
        return false;
    if (txtsenha_->text() != item->text(2)) {
        Dialogos::msgbox(QStringLiteral("Senha Incorreta!"), Dialogos::Alerta);
        txtsenha_->setFocus();
        return false;
    }
    QString codigo = item->text(0);
    if (codigo.isEmpty())
        codigo = QStringLiteral("0000");
    if (!gravausuarioatual(codigo))
        Dialogos::msgbox(QStringLiteral("Não foi possível gravar o usuário atual nas configurações do sistema. "
                                        "Verifique as permissões da pasta de configurações."), Dialogos::Alerta);
    logou_ = true;
    // The main window comes first, so closing the login does not end the program.
    if (!Janelas::abre("frmprincipal")) {
        auto* principal = new QMainWindow;
        principal->setObjectName("frmprincipal");
        principal->setAttribute(Qt::WA_DeleteOnClose);
        principal->setWindowTitle(QStringLiteral("Sistema para Recebimento de Dízimos"));
        auto* area = new QMdiArea(principal);
        principal->setCentralWidget(area);
        Janelas::defineAreaMdi(area);
        principal->showMaximized();
    }
    // A damaged file is told early, without slowing the login down.
    verificabancoaposlogin(Banco::caminhoArquivo());
    close();
    return true;
}

void FrmSenha::reject()
{
    close();
}

void FrmSenha::closeEvent(QCloseEvent* e)
{
    timerinstrucao_->stop();
    e->accept();
    if (!logou_)
        QCoreApplication::quit();
}

bool FrmSenha::eventFilter(QObject* o, QEvent* e)
{
    if (o == txtsenha_) {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F6) {
            // It asks first and tells the outcome itself.
            dispensaresultado(restaurapadroes(true));
            return true;
        }
        if (e->type() == QEvent::FocusIn) {
            selecionatexto();
            cmdentrar_->setDefault(true);
        }
    }
    return QDialog::eventFilter(o, e);
}

}  // namespace tivane
