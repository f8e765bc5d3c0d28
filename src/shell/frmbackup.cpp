#include "shell/frmbackup.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/formularios.h"
#include "core/janelas.h"
#include "core/registro.h"
#include "core/frmaguarde.h"
#include "shell/frmprincipal.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <memory>
#include <sqlcipher/sqlite3.h>

namespace tivane {

namespace {

const char* const NOME = "frmbackup";
const QString DESTINO = QStringLiteral("Selecione o destino");
const QString ORIGEM = QStringLiteral("Selecione a origem");
const QString ERRO_DRIVE = QStringLiteral("Erro ao Acessar Drive");

// The sixth of the windows that fechajanelas closes.
RegistroJanela reg(NOME, [] { return new FrmBackup; }, Janelas::Mdi, 6);

FrmBackup* abreEm(ModoBackup modo)
{
    auto* j = qobject_cast<FrmBackup*>(Janelas::abre(QString::fromLatin1(NOME)));
    if (j)
        j->definemodo(modo);
    return j;
}

// ---- The copy step's questions, progress and messages ------------------------

// Runs trabalho on a thread of its own while the please-wait window shows how far it
// got, so the window never freezes; the please-wait window is modal meanwhile, so the
// rest of the program waits for the copy.
void comandamento(EtapaCopia etapa, const ControleVerificacao& c, const std::function<void()>& trabalho)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        trabalho();
        return;
    }
    const std::unique_ptr<QThread> tarefa(QThread::create(trabalho));
    QPointer<QWidget> janela = Janelas::carrega(QStringLiteral("frmaguarde"));
    if (janela) {
        // Modality takes only on a hidden window: the automatic backup's wait for a drive may be showing.
        janela->hide();
        janela->setWindowModality(Qt::ApplicationModal);
    }
    FrmAguarde::abre(etapa == EtapaCopia::Instantaneo     ? QStringLiteral("Preparando a cópia do banco de dados ...")
                     : etapa == EtapaCopia::LeBackup      ? QStringLiteral("Lendo o backup ...")
                     : etapa == EtapaCopia::VerificaBackup ? QStringLiteral("Verificando o backup ...")
                     : etapa == EtapaCopia::VerificaBanco  ? QStringLiteral("Verificando o banco de dados ...")
                                                           : QStringLiteral("Copiando o banco de dados ..."));
    FrmAguarde::defineMaximo(1000);
    QEventLoop laco;
    QObject::connect(tarefa.get(), &QThread::finished, &laco, &QEventLoop::quit);
    QTimer relogio;
    relogio.setInterval(100);
    QObject::connect(&relogio, &QTimer::timeout, &laco, [&c] {
        const qint64 total = c.total.load(), feitos = c.feitos.load();
        FrmAguarde::defineValor(total > 0 ? static_cast<int>(qMin<qint64>(1000, feitos * 1000 / total)) : 0);
    });
    relogio.start();
    tarefa->start();
    laco.exec();
    tarefa->wait();
    if (janela) {
        // Hidden first: a modal window that stops being modal while shown leaves the others blocked.
        janela->hide();
        janela->setWindowModality(Qt::NonModal);
    }
    FrmAguarde::fecha();
}

bool confirmacopia(PerguntaCopia pergunta, const QString& sobre)
{
    if (pergunta == PerguntaCopia::Substituir)
        return Dialogos::msgbox(sobre.toUpper() + QStringLiteral("\r\nJá existe o arquivo neste diretório, Substituir?"),
                                Dialogos::Pergunta)
               == Dialogos::Sim;
    return Dialogos::msgbox(QStringLiteral("Atenção: o banco de dados atual apresenta problemas: ") + sobre
                                + QStringLiteral(".\r\nUma cópia dele pode não servir para recuperar os dados. "
                                                 "Restaure o backup mais recente em Ferramentas > Backup > "
                                                 "Restaurar, ou procure o suporte técnico.\r\n\r\n"
                                                 "Deseja copiar o arquivo mesmo assim?"),
                            Dialogos::PerguntaNao)
           == Dialogos::Sim;
}

// ---- Automatic backup -------------------------------------------------------

// Drives mounted when the automatic backup started: a new one is any other.
QStringList& unidadesIniciais()
{
    static QStringList u;
    return u;
}

QStringList atualizadrives(FrmPrincipal* p)
{
    const QStringList unidades = listaunidades();
    p->drives()->clear();
    p->drives()->addItems(unidades);
    return unidades;
}

void iniciabackupautomatico()
{
    FrmPrincipal* p = FrmPrincipal::atual();
    if (!p)
        return;
    unidadesIniciais() = atualizadrives(p);
    p->lblnumdrives()->setText(QString::number(unidadesIniciais().size()));
    p->temporefresh()->start();
    FrmAguarde::abre(QStringLiteral("Insira o Pen Drive para backup automático..."));
    FrmAguarde::defineMaximo(10);
}

// The copy closes the program's connection: never under an open message box
// or in the middle of another operation's write.
bool podecopiaragora()
{
    if (QApplication::activeModalWidget())
        return false;
    sqlite3* db = Banco::conexao();
    return !db || sqlite3_get_autocommit(db);
}

void copiaparaunidade(const QString& unidade)
{
    const QString pasta = pastabackupautomatico(unidade, QDate::currentDate());
    // The drive as just listed: one taken out before the copy (during the replace question) is refused.
    const QVector<UnidadeListada> unidades = retratounidades({unidade});
    if (!QDir().mkpath(pasta)) {
        Dialogos::msgbox(QStringLiteral("Erro na Cópia dos Arquivos: não foi possível criar a pasta ") + pasta
                             + QStringLiteral(" (o drive permite somente leitura ou está cheio). "
                                              "O banco de dados não foi alterado."),
                         Dialogos::Alerta);
        return;
    }
    // The copy step of the backup window, without the window: one the user has
    // open is left as it is.
    if (executabackup(ModoBackup::Backup, pasta, unidades).tamanho > 0)
        Dialogos::msgbox(QStringLiteral("Backup Realizado com sucesso!"), Dialogos::Informacao);
}

void tickbackupautomatico()
{
    FrmPrincipal* p = FrmPrincipal::atual();
    // A tick already queued when the copy or fechajanelas stopped the timer does nothing.
    if (!p || !p->temporefresh()->isActive())
        return;
    const int valor = FrmAguarde::valor();
    if (valor >= 0)
        FrmAguarde::defineValor(valor < 10 ? valor + 1 : 1);
    if (podecopiaragora()) {
        const QString nova = unidadenova(unidadesIniciais(), atualizadrives(p));
        if (!nova.isEmpty()) {
            FrmAguarde::fecha();
            p->temporefresh()->stop();
            p->drives()->setCurrentIndex(p->drives()->findText(nova));
            copiaparaunidade(nova);
        }
    }
    mostrabarraprincipal(true);
}

RegistroComando criar("mnucriabackup", [] { abreEm(ModoBackup::Backup); });
RegistroComando restaurar("mnurestaurabackup", [] { abreEm(ModoBackup::Restauracao); });
RegistroComando automatico("mnubackupauto", iniciabackupautomatico);
RegistroComando refresh("temporefresh", tickbackupautomatico);

QPushButton* botao(const QString& legenda, const char* nome, QWidget* pai)
{
    auto* b = new QPushButton(legenda, pai);
    b->setObjectName(QString::fromLatin1(nome));
    b->setMinimumSize(110, 32);
    return b;
}

// The picture and caption that tell the mode at a glance.
QWidget* figura(const char* nome, QStyle::StandardPixmap icone, const QString& legenda, QWidget* pai)
{
    auto* f = new QGroupBox(pai);
    f->setObjectName(QString::fromLatin1(nome));
    auto* l = new QVBoxLayout(f);
    auto* img = new QLabel(f);
    img->setPixmap(f->style()->standardIcon(icone).pixmap(64, 64).scaled(64, 64, Qt::KeepAspectRatio,
                                                                            Qt::SmoothTransformation));
    img->setAlignment(Qt::AlignCenter);
    auto* texto = new QLabel(legenda, f);
    texto->setAlignment(Qt::AlignCenter);
    texto->setFont(fonteserif(14));
    l->addWidget(img);
    l->addWidget(texto);
    f->setFixedWidth(150);
    f->hide();
    return f;
}

}  // namespace

ResultadoBackup executabackup(ModoBackup modo, const QString& pasta, const QVector<UnidadeListada>& unidades)
{
    const ResultadoBackup r = copiabanco(modo, pasta, unidades, {confirmacopia, comandamento});
    const bool restaura = modo == ModoBackup::Restauracao;
    const QString intacto = restaura ? QStringLiteral(". O banco de dados atual não foi alterado.")
                                     : QStringLiteral(". O banco de dados não foi alterado e nenhum arquivo foi substituído.");
    switch (r.fim) {
    case FimCopia::NadaEscolhido:
        Dialogos::msgbox(restaura ? QStringLiteral("Escolha a pasta de origem do backup.")
                                  : QStringLiteral("Escolha a pasta de destino do backup."),
                         Dialogos::Alerta);
        break;
    case FimCopia::MesmoArquivo:
        Dialogos::msgbox(QStringLiteral("O Arquivo de origem é o mesmo de destino, o Backup não pode continuar!"),
                         Dialogos::Informacao);
        break;
    case FimCopia::DriveRetirado:
        Dialogos::msgbox(ERRO_DRIVE, Dialogos::Critico);
        break;
    case FimCopia::OrigemAusente:
        Dialogos::msgbox(QStringLiteral("Não foi possível encontrar o banco de dados"), Dialogos::Alerta);
        break;
    case FimCopia::PastaAusente:
        Dialogos::msgbox(QStringLiteral("A pasta de destino não existe: ") + r.motivo, Dialogos::Alerta);
        break;
    case FimCopia::BackupRecusado:
        Dialogos::msgbox(QStringLiteral("O arquivo ") + r.origem + QStringLiteral(" não pode ser restaurado: ") + r.motivo
                             + intacto,
                         Dialogos::Alerta);
        break;
    case FimCopia::Falhou:
        Dialogos::msgbox(QStringLiteral("Erro na Cópia dos Arquivos: ") + r.motivo + intacto, Dialogos::Alerta);
        break;
    case FimCopia::Copiado:
        if (restaura && !r.reaberto)
            Dialogos::msgbox(QStringLiteral("O banco de dados foi restaurado, mas não pôde ser aberto: ") + r.motivo
                                 + QLatin1Char('.'),
                             Dialogos::Alerta);
        break;
    case FimCopia::Desistiu:
        break;
    }
    return r;
}

FrmBackup::FrmBackup()
{
    setObjectName(QString::fromLatin1(NOME));
    setWindowTitle(QStringLiteral("Backup do Banco de Dados do Tivane Dízimos"));

    auto* frame = new QGroupBox(QStringLiteral("Backup Tivane Dízimos"), this);
    frame->setObjectName(QStringLiteral("Frameprincipal"));
    auto* principal = new QVBoxLayout(frame);

    // Folder panel.
    destino_ = new QGroupBox(DESTINO, frame);
    destino_->setObjectName(QStringLiteral("Framedestino"));
    auto* gd = new QGridLayout(destino_);
    drive_ = new QComboBox(destino_);
    drive_->setObjectName(QStringLiteral("Drive1"));
    modelo_ = new QFileSystemModel(this);
    modelo_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    modelo_->setRootPath(QStringLiteral("/"));
    dir_ = new QTreeView(destino_);
    dir_->setObjectName(QStringLiteral("Dir1"));
    dir_->setModel(modelo_);
    for (int c = 1; c < modelo_->columnCount(); ++c)
        dir_->hideColumn(c);
    dir_->header()->hide();
    dir_->setMinimumSize(360, 260);
    caminho_ = new QLineEdit(destino_);
    caminho_->setObjectName(QStringLiteral("txtcaminho"));
    frame1_ = figura("Frame1", QStyle::SP_DialogSaveButton, QStringLiteral("BACKUP"), destino_);
    frame2_ = figura("Frame2", QStyle::SP_BrowserReload, QStringLiteral("RESTAURAR"), destino_);
    auto* avancar = botao(QStringLiteral("&Avançar >>"), "cmdavancar", destino_);
    avancar->setDefault(true);
    auto* novapasta = botao(QStringLiteral("&Nova Pasta"), "cmdnovapasta", destino_);
    auto* sai = botao(QStringLiteral("&Sair"), "cmdsai", destino_);
    gd->addWidget(drive_, 0, 0);
    gd->addWidget(dir_, 1, 0);
    // One picture at a time, in the same place.
    gd->addWidget(frame1_, 0, 1, 2, 1, Qt::AlignTop);
    gd->addWidget(frame2_, 0, 1, 2, 1, Qt::AlignTop);
    gd->addWidget(new QLabel(QStringLiteral("Caminho :"), destino_), 5, 0);
    gd->addWidget(caminho_, 6, 0, 1, 2);
    auto* botoes = new QHBoxLayout;
    for (QPushButton* b : {avancar, novapasta, sai})
        botoes->addWidget(b);
    gd->addLayout(botoes, 7, 0, 1, 2);
    principal->addStretch();
    principal->addWidget(destino_);

    // New-folder panel.
    novapasta_ = new QGroupBox(QStringLiteral("Criar nova pasta"), frame);
    novapasta_->setObjectName(QStringLiteral("Framenovapasta"));
    auto* gn = new QGridLayout(novapasta_);
    lblcaminho_ = new QLabel(novapasta_);
    lblcaminho_->setObjectName(QStringLiteral("lblcaminho"));
    txtpasta_ = new QLineEdit(novapasta_);
    txtpasta_->setObjectName(QStringLiteral("txtpasta"));
    auto* criar = botao(QStringLiteral("&Criar"), "cmdcriar", novapasta_);
    auto* voltar = botao(QStringLiteral("&Voltar"), "cmdsair", novapasta_);
    gn->addWidget(new QLabel(QStringLiteral("Caminho Atual:"), novapasta_), 0, 0);
    gn->addWidget(lblcaminho_, 0, 1);
    gn->addWidget(new QLabel(QStringLiteral("Nome da Pasta:"), novapasta_), 1, 0);
    gn->addWidget(txtpasta_, 1, 1);
    auto* bn = new QHBoxLayout;
    bn->addWidget(criar);
    bn->addWidget(voltar);
    gn->addLayout(bn, 2, 0, 1, 2);
    principal->addWidget(novapasta_);

    // Success panel.
    sucesso_ = new QGroupBox(frame);
    sucesso_->setObjectName(QStringLiteral("Framesucesso"));
    auto* gs = new QGridLayout(sucesso_);
    auto* realizado = new QLabel(QStringLiteral("REALIZADO COM SUCESSO !!!"), sucesso_);
    realizado->setFont(fonteserif(16));
    lblstatus_ = new QLabel(sucesso_);
    lblstatus_->setObjectName(QStringLiteral("lblstatus"));
    lblstatus_->setWordWrap(true);
    tamanho_ = new QLineEdit(sucesso_);
    tamanho_->setObjectName(QStringLiteral("txttamanho"));
    auto* lblimpressoes = new QLabel(sucesso_);
    lblimpressoes->setObjectName(QStringLiteral("lblimpressoes"));
    auto* tamanho2 = new QLineEdit(sucesso_);
    tamanho2->setObjectName(QStringLiteral("txttamanho2"));
    for (QLineEdit* t : {tamanho_, tamanho2}) {
        // Shown, never edited.
        t->setReadOnly(true);
        t->setFrame(false);
        t->setFocusPolicy(Qt::NoFocus);
        QPalette pal = t->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        pal.setColor(QPalette::Text, Qt::red);
        t->setPalette(pal);
    }
    auto* sair = botao(QStringLiteral("&Sair"), "Cmdvoltar", sucesso_);
    gs->addWidget(realizado, 0, 0, 1, 2);
    gs->addWidget(lblstatus_, 1, 0, 1, 2);
    gs->addWidget(new QLabel(QStringLiteral("Tamanho do Banco de dados :"), sucesso_), 2, 0);
    gs->addWidget(tamanho_, 2, 1);
    gs->addWidget(lblimpressoes, 3, 0);
    gs->addWidget(tamanho2, 3, 1);
    gs->addWidget(sair, 4, 1, Qt::AlignRight);
    principal->addWidget(sucesso_);
    principal->addStretch();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    // The status label names the file written, so the user knows where the copy is.
    for (QTimer* t : {timer1_, timer2_})
        connect(t, &QTimer::timeout, this, [this] { lblstatus_->setText(QStringLiteral("Arquivo: ") + copiado_); });

    // The panels take turns in one area, the size of the largest.
    novapasta_->hide();
    sucesso_->hide();
    frame1_->show();
    frame->adjustSize();
    frame->setFixedSize(frame->size());
    destino_->hide();

    connect(drive_, &QComboBox::currentTextChanged, this, &FrmBackup::trocadrive);
    connect(dir_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& atual) {
                if (atual.isValid())
                    caminho_->setText(modelo_->filePath(atual));
            });
    connect(avancar, &QPushButton::clicked, this, &FrmBackup::avancabackup);
    connect(novapasta, &QPushButton::clicked, this, &FrmBackup::novapasta);
    connect(criar, &QPushButton::clicked, this, &FrmBackup::criapasta);
    connect(voltar, &QPushButton::clicked, this, &FrmBackup::voltapasta);
    connect(txtpasta_, &QLineEdit::returnPressed, this, &FrmBackup::criapasta);
    for (QPushButton* b : {sai, sair})
        connect(b, &QPushButton::clicked, this, [] { fechajanelas(); });
    // "Avançar" is the default button: Enter anywhere in the folder panel presses it.
    for (int tecla : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* atalho = new QShortcut(QKeySequence(tecla), destino_);
        atalho->setContext(Qt::WidgetWithChildrenShortcut);
        connect(atalho, &QShortcut::activated, this, &FrmBackup::avancabackup);
    }

    // Load: every drive, the root of the file system chosen, the toolbar away.
    {
        const QSignalBlocker bloqueio(drive_);
        const QStringList unidades = listaunidades();
        drive_->addItems(unidades);
        unidades_ = retratounidades(unidades);
        drive_->setCurrentIndex(drive_->findText(QStringLiteral("/")));
    }
    driveAtual_ = QStringLiteral("/");
    dir_->setRootIndex(modelo_->index(driveAtual_));
    caminho_->setText(driveAtual_);
    mostrabarraprincipal(false);
    mantemframecentralizado(this);
}

bool FrmBackup::event(QEvent* e)
{
    if (e->type() == QEvent::Show)
        mostrabarraprincipal(false);
    return QWidget::event(e);
}

void FrmBackup::definemodo(ModoBackup modo)
{
    modo_ = modo;
    const bool backup = modo == ModoBackup::Backup;
    destino_->setTitle(backup ? DESTINO : ORIGEM);
    frame1_->setVisible(backup);
    frame2_->setVisible(!backup);
    novapasta_->hide();
    sucesso_->hide();
    destino_->show();
}

void FrmBackup::avancabackup()
{
    const ResultadoBackup r = executabackup(modo_, caminho_->text(), unidades_);
    tamanho_->setText(textotamanho(r.tamanho));
    limpaframes();
    if (r.tamanho > 0) {
        copiado_ = r.destino;
        lblstatus_->setText(QStringLiteral("Arquivo: ") + copiado_);
        sucesso_->show();
        (modo_ == ModoBackup::Backup ? timer1_ : timer2_)->start(500);
    } else {
        destino_->show();
        timer1_->stop();
    }
}

void FrmBackup::limpaframes()
{
    timer1_->stop();
    destino_->hide();
    sucesso_->hide();
}

QString FrmBackup::pastaatual() const
{
    const QModelIndex i = dir_->currentIndex();
    return i.isValid() ? modelo_->filePath(i) : driveAtual_;
}

void FrmBackup::definepasta(const QString& pasta)
{
    const QModelIndex i = modelo_->index(pasta);
    if (i.isValid() && i != dir_->rootIndex()) {
        dir_->setCurrentIndex(i);
        dir_->scrollTo(i);
    } else {
        dir_->setCurrentIndex(QModelIndex());
    }
    caminho_->setText(pasta);
}

void FrmBackup::trocadrive()
{
    const QString unidade = drive_->currentText();
    if (unidade.isEmpty() || unidade == driveAtual_)
        return;
    const QFileInfo fi(unidade);
    if (!fi.isDir() || !fi.isReadable() || !QDir(unidade).exists()) {
        Dialogos::msgbox(ERRO_DRIVE, Dialogos::Critico);
        const QSignalBlocker bloqueio(drive_);
        drive_->setCurrentIndex(drive_->findText(driveAtual_));
        return;
    }
    driveAtual_ = unidade;
    dir_->setRootIndex(modelo_->index(unidade));
    definepasta(unidade);
}

void FrmBackup::novapasta()
{
    txtpasta_->setText(QStringLiteral("BackupQuarda"));
    lblcaminho_->setText(pastaatual());
    destino_->hide();
    novapasta_->show();
    txtpasta_->setFocus();
    txtpasta_->selectAll();
}

void FrmBackup::criapasta()
{
    const QString nome = txtpasta_->text().trimmed();
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String("..") || nome.contains(QLatin1Char('/'))) {
        Dialogos::msgbox(QStringLiteral("Nome de pasta inválido: \"") + txtpasta_->text()
                             + QStringLiteral("\". Digite um nome sem \"/\"."),
                         Dialogos::Alerta);
        txtpasta_->setFocus();
        return;
    }
    const QString pasta = QDir(lblcaminho_->text()).filePath(nome);
    if (QFileInfo::exists(pasta)) {
        Dialogos::msgbox(QStringLiteral("A pasta ") + pasta + QStringLiteral(" já existe."), Dialogos::Alerta);
    } else if (!QDir(lblcaminho_->text()).mkdir(nome)) {
        Dialogos::msgbox(QStringLiteral("Não foi possível criar a pasta ") + pasta
                             + QStringLiteral(": a pasta atual não permite gravação ou não existe mais."),
                         Dialogos::Alerta);
        txtpasta_->setFocus();
        return;
    }
    voltapasta();
}

void FrmBackup::voltapasta()
{
    novapasta_->hide();
    destino_->show();
}

}  // namespace tivane
