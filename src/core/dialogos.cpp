#include "core/dialogos.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QQueue>
#include <QUrl>
#include <cstdlib>

namespace tivane {
namespace Dialogos {

namespace {
struct Estado {
    bool teste = false;
    QQueue<int> msg;
    QQueue<QString> textos;
    QQueue<bool> impressora;
    QQueue<bool> programas;
    QList<Registro> vistos;
};
Estado& estado()
{
    static Estado e;
    return e;
}
void anota(const QString& tipo, const QString& texto, const QString& titulo, int estilo = 0,
           const QStringList& args = {})
{
    estado().vistos.append(Registro{tipo, texto, titulo, estilo, args});
}
QWidget* janelaPai()
{
    return QApplication::activeWindow();
}
// A short text gives a narrow box whose frame cuts the title ("Tiva...mos"):
// an empty row as wide as the title keeps it whole. Added last, since the box
// rebuilds its layout when its icon changes.
void minimoParaTitulo(QMessageBox& caixa, const QString& titulo)
{
    auto* grade = qobject_cast<QGridLayout*>(caixa.layout());
    if (!grade)
        return;
    QFont negrito = caixa.font();
    negrito.setBold(true);
    const int largura = QFontMetrics(negrito).horizontalAdvance(titulo) + 140;
    grade->addItem(new QSpacerItem(largura, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grade->rowCount(), 0, 1,
                   grade->columnCount());
}
}  // namespace

int msgbox(const QString& texto, int estilo, const QString& titulo)
{
    anota("msgbox", texto, titulo, estilo);
    const bool simNao = (estilo & 0x0F) == 4;
    if (estado().teste) {
        if (!estado().msg.isEmpty())
            return estado().msg.dequeue();
        if (!simNao)
            return Ok;
        return (estilo & 256) ? Nao : Sim;
    }
    QMessageBox caixa(janelaPai());
    caixa.setWindowTitle(titulo);
    caixa.setText(texto);
    switch (estilo & 0xF0) {
    case 16: caixa.setIcon(QMessageBox::Critical); break;
    case 32: caixa.setIcon(QMessageBox::Question); break;
    case 48: caixa.setIcon(QMessageBox::Warning); break;
    case 64: caixa.setIcon(QMessageBox::Information); break;
    default: caixa.setIcon(QMessageBox::NoIcon); break;
    }
    if (simNao) {
        QPushButton* sim = caixa.addButton("&Sim", QMessageBox::YesRole);
        QPushButton* nao = caixa.addButton("&Não", QMessageBox::NoRole);
        caixa.setDefaultButton((estilo & 256) ? nao : sim);
        caixa.setEscapeButton(nao);
        minimoParaTitulo(caixa, titulo);
        caixa.exec();
        return caixa.clickedButton() == sim ? Sim : Nao;
    }
    caixa.addButton("OK", QMessageBox::AcceptRole);
    minimoParaTitulo(caixa, titulo);
    caixa.exec();
    return Ok;
}

namespace {
void avisaFalha(const QString& oque, const QString& padrao, const QString& causa, const QString& fim)
{
    QString texto = oque.isEmpty() ? padrao : oque;
    if (!causa.isEmpty())
        texto += QStringLiteral(": ") + causa;
    msgbox(texto + fim, Alerta);
}
}  // namespace

void avisaFalhaGravacao(const QString& oque, const QString& causa)
{
    avisaFalha(oque, QStringLiteral("Não foi possível gravar no banco de dados"), causa,
               QStringLiteral(". Nada foi alterado."));
}

void avisaFalhaLeitura(const QString& oque, const QString& causa)
{
    avisaFalha(oque, QStringLiteral("Não foi possível ler o banco de dados"), causa,
               QStringLiteral(". A operação foi interrompida."));
}

QString inputbox(const QString& pergunta, const QString& titulo, const QString& padrao)
{
    anota("inputbox", pergunta, titulo);
    if (estado().teste)
        return estado().textos.isEmpty() ? QString() : estado().textos.dequeue();
    QInputDialog d(janelaPai());
    d.setWindowTitle(titulo);
    d.setLabelText(pergunta);
    d.setTextValue(padrao);
    d.setOkButtonText("OK");
    d.setCancelButtonText("Cancelar");
    if (d.exec() != QDialog::Accepted)
        return QString();
    return d.textValue();
}

QString abrirArquivo(const QString& titulo, const QString& pasta, const QString& filtro)
{
    anota("abrir", titulo, pasta, 0, {filtro});
    if (estado().teste)
        return estado().textos.isEmpty() ? QString() : estado().textos.dequeue();
    return QFileDialog::getOpenFileName(janelaPai(), titulo, pasta, filtro);
}

QString salvarArquivo(const QString& titulo, const QString& caminhoSugerido, const QString& filtro)
{
    anota("salvar", titulo, caminhoSugerido, 0, {filtro});
    if (estado().teste)
        return estado().textos.isEmpty() ? QString() : estado().textos.dequeue();
    return QFileDialog::getSaveFileName(janelaPai(), titulo, caminhoSugerido, filtro);
}

bool dialogoImpressora(QPrinter* impressora, QWidget* pai, const QString& titulo)
{
    anota("impressora", titulo, QString());
    if (estado().teste)
        return estado().impressora.isEmpty() ? false : estado().impressora.dequeue();
    QPrintDialog d(impressora, pai ? pai : janelaPai());
    d.setWindowTitle(titulo);
    return d.exec() == QDialog::Accepted;
}

bool iniciaPrograma(const QString& programa, const QStringList& argumentos, std::function<void(int codigo)> falhou)
{
    anota("programa", programa, QString(), 0, argumentos);
    if (estado().teste)
        return estado().programas.isEmpty() ? true : estado().programas.dequeue();
    if (!falhou)
        return QProcess::startDetached(programa, argumentos);
    // No parent: leaving the program must not kill the program it started. It
    // is never waited for: a mail client's helper may stay until the client closes.
    auto* p = new QProcess;
    p->setProgram(programa);
    p->setArguments(argumentos);
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(p, &QProcess::finished, p, [p, falhou](int codigo, QProcess::ExitStatus saida) {
        p->deleteLater();
        if (saida == QProcess::NormalExit && codigo != 0)
            falhou(codigo);
    });
    p->start();
    if (!p->waitForStarted(5000)) {
        delete p;
        return false;
    }
    return true;
}

bool abreLink(const QString& url)
{
    anota("link", url, QString());
    if (estado().teste)
        return estado().programas.isEmpty() ? true : estado().programas.dequeue();
    return QDesktopServices::openUrl(QUrl(url));
}

void ativaModoTeste(bool ativo) { estado().teste = ativo; }
void respondeMsgbox(int resposta) { estado().msg.enqueue(resposta); }
void respondeTexto(const QString& texto) { estado().textos.enqueue(texto); }
void respondeImpressora(bool aceita) { estado().impressora.enqueue(aceita); }
void respondePrograma(bool iniciou) { estado().programas.enqueue(iniciou); }
QList<Registro> registros() { return estado().vistos; }

QList<Registro> registros(const QString& tipo)
{
    QList<Registro> r;
    for (const Registro& x : estado().vistos)
        if (x.tipo == tipo)
            r.append(x);
    return r;
}

Registro ultimo(const QString& tipo)
{
    for (int i = estado().vistos.size() - 1; i >= 0; --i)
        if (tipo.isEmpty() || estado().vistos.at(i).tipo == tipo)
            return estado().vistos.at(i);
    return {};
}

void limpa()
{
    Estado& e = estado();
    e.msg.clear();
    e.textos.clear();
    e.impressora.clear();
    e.programas.clear();
    e.vistos.clear();
}

}  // namespace Dialogos

namespace {
std::function<QString()>& consultacliente()
{
    static std::function<QString()> c;
    return c;
}
}  // namespace

QString clienteemailpadrao()
{
    if (consultacliente())
        return consultacliente()();
    // xdg-email hands the message to MAILER before anything else.
    const QString mailer = qEnvironmentVariable("MAILER").trimmed();
    if (!mailer.isEmpty())
        return mailer;
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                         QStringLiteral("x-scheme-handler/mailto")});
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
        return QString();
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

void defineconsultaclienteemail(std::function<QString()> consulta)
{
    consultacliente() = std::move(consulta);
}

namespace {
void encerraPadrao(int codigo) { std::exit(codigo); }
void (*g_encerra)(int) = encerraPadrao;
int g_vezes = 0;
}  // namespace

void encerraprograma(int codigo)
{
    ++g_vezes;
    g_encerra(codigo);
}
void defineEncerramento(void (*funcao)(int)) { g_encerra = funcao ? funcao : encerraPadrao; }
int vezesEncerrado() { return g_vezes; }

}  // namespace tivane
