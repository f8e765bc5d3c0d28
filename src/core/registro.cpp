#include "core/registro.h"
#include "core/dialogos.h"
#include "core/resultado.h"

#include <QApplication>
#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace tivane {

namespace {

struct LocalChave {
    QString aplicacao;
    QString grupo;
    bool valido = false;
};

// "Software\TivaneDizimo\opcoes" -> application "TivaneDizimo", group "opcoes".
LocalChave localDaChave(QString chave)
{
    chave.replace('/', '\\');
    while (chave.startsWith('\\'))
        chave.remove(0, 1);
    const QStringList partes = chave.split('\\', Qt::SkipEmptyParts);
    LocalChave l;
    if (partes.size() < 2 || partes.first().compare("Software", Qt::CaseInsensitive) != 0)
        return l;
    l.aplicacao = partes.at(1);
    l.grupo = partes.mid(2).join('/');
    l.valido = true;
    return l;
}

QString caminhoValor(const LocalChave& l, const QString& nome)
{
    return l.grupo.isEmpty() ? nome : l.grupo + '/' + nome;
}

struct Carimbo {
    qint64 segundos = -1, nanos = -1, tamanho = -1;
    bool operator!=(const Carimbo& o) const { return segundos != o.segundos || nanos != o.nanos || tamanho != o.tamanho; }
};

Carimbo carimbo(const QByteArray& arquivo)
{
    Carimbo c;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(arquivo.constData(), &st) == 0) {
        c.segundos = st.st_mtim.tv_sec;
        c.nanos = st.st_mtim.tv_nsec;
        c.tamanho = st.st_size;
    }
#else
    const QFileInfo fi(QFile::decodeName(arquivo));
    if (fi.exists()) {
        c.segundos = fi.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
        c.tamanho = fi.size();
    }
#endif
    return c;
}

struct Leitor {
    QSettings* settings = nullptr;
    QByteArray arquivo;
    Carimbo visto;
};

// One long-lived reader per application: building a QSettings costs more than
// a database lookup. QSettings objects of one process share their data, so
// writes made here are seen at once; a change by another process is seen
// because the file's stamp is compared before every read.
QSettings& leitor(const QString& aplicacao)
{
    // Kept for the whole run, never destroyed: a reader may still be asked during shutdown.
    static auto* leitores = new QHash<QString, Leitor>;
    Leitor& l = (*leitores)[aplicacao];
    if (!l.settings) {
        l.settings = new QSettings(QSettings::IniFormat, QSettings::UserScope, "Tivane", aplicacao);
        l.arquivo = QFile::encodeName(l.settings->fileName());
    }
    const Carimbo agora = carimbo(l.arquivo);
    if (agora != l.visto) {
        l.settings->sync();
        l.visto = agora;
    }
    return *l.settings;
}

}  // namespace

bool gravavalorregistro(RaizRegistro, const QString& chave, const QString& nome, const QVariant& valor)
{
    const LocalChave l = localDaChave(chave);
    if (!l.valido)
        return false;
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "Tivane", l.aplicacao);
    if (!s.isWritable())
        return false;
    const QString caminho = caminhoValor(l, nome);
    const QVariant atual = s.value(caminho);
    if (atual.isValid() && atual.typeId() == QMetaType::Int)
        s.setValue(caminho, valor.toInt());
    else
        s.setValue(caminho, valor.toString());
    s.sync();
    return s.status() == QSettings::NoError;
}

QVariant lervalorregistro(RaizRegistro, const QString& chave, const QString& nome)
{
    const LocalChave l = localDaChave(chave);
    if (!l.valido)
        return {};
    return leitor(l.aplicacao).value(caminhoValor(l, nome));
}

bool gravatextopadrao(const QString& nome, const QString& texto)
{
    return gravavalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\textopadrao", nome, texto);
}

QString lertextopadrao(const QString& nome)
{
    const QVariant v = lervalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\textopadrao", nome);
    return v.isValid() ? v.toString() : QString("");
}

bool textoEhSim(const QString& texto)
{
    const QString t = texto.trimmed().toLower();
    return t == "true" || t == "-1" || t == "1" || t == "verdadeiro";
}

bool gravaopcao(const QString& nome, bool valor)
{
    return gravavalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\opcoes", nome,
                              valor ? QStringLiteral("True") : QStringLiteral("False"));
}

bool leropcao(const QString& nome)
{
    const QVariant v = lervalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\opcoes", nome);
    return v.isValid() && textoEhSim(v.toString());
}

bool leropcaotivane(const QString& nome)
{
    const QVariant v = lervalorregistro(RaizRegistro::LocalMachine, "Software\\Tivane\\opcoes", nome);
    return v.isValid() && textoEhSim(v.toString());
}

bool gravausuarioatual(QString& codigo)
{
    codigo = codificatexto(CHAVE_USUARIO, codigo, 1);
    return gravavalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\currentf", "cod", codigo);
}

QString lerusuarioatual()
{
    const QVariant v = lervalorregistro(RaizRegistro::LocalMachine, "Software\\TivaneDizimo\\currentf", "cod");
    return codificatexto(CHAVE_USUARIO, v.isValid() ? v.toString() : QString(), 2);
}

QString caminhoPadraoInicial()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\TivaneDizimos");
#else
    return QDir::homePath() + QStringLiteral("/TivaneDizimos");
#endif
}

QString retornacaminhopadrao()
{
    QString caminho = lertextopadrao("caminhopadrao");
    if (caminho.isEmpty()) {
        caminho = caminhoPadraoInicial();
        // Best effort: the default folder is used either way, and written again next time.
        dispensaresultado(gravatextopadrao("caminhopadrao", caminho));
    }
    const QChar sep = QDir::separator();
    if (!caminho.endsWith(sep) && !caminho.endsWith('/') && !caminho.endsWith('\\'))
        caminho += sep;
    return caminho;
}

bool restaurapadroes(bool perguntar)
{
    if (perguntar && Dialogos::msgbox("Deseja restaurar os padrões do Sistema?", Dialogos::Pergunta) != Dialogos::Sim)
        return false;
    bool ok = gravatextopadrao("caminhopadrao", caminhoPadraoInicial());
    ok = gravaopcao("01", false) && ok;
    ok = gravaopcao("02", true) && ok;
    for (const char* op : {"03", "04", "05", "06", "07"})
        ok = gravaopcao(op, false) && ok;
    ok = gravatextopadrao("msgcentral", QStringLiteral("PAGAMENTO DE DÍZIMO")) && ok;
    ok = gravatextopadrao("tempolimite", "120") && ok;
    if (!ok) {
        if (perguntar)
            Dialogos::msgbox("Não foi possível gravar as configurações do sistema. "
                             "Verifique as permissões da pasta de configurações.", Dialogos::Alerta);
        return false;
    }
    if (perguntar)
        Dialogos::msgbox("Configurações restauradas com sucesso!", Dialogos::Informacao);
    return true;
}

bool existemConfiguracoes()
{
    return !leitor("TivaneDizimo").allKeys().isEmpty();
}

QStringList arquivosconfiguracao()
{
    return {leitor(QStringLiteral("TivaneDizimo")).fileName(), leitor(QStringLiteral("Tivane")).fileName()};
}

QString codificatexto(const QString& chave, const QString& texto, double modo)
{
    if (modo != 1 && modo != 2)
        return QString("");
    const QByteArray k = chave.toLatin1();
    const QByteArray t = texto.toLatin1();
    QByteArray saida;
    saida.reserve(t.size());
    int pos = 0;
    for (int i = 0; i < t.size(); ++i) {
        pos = (pos + 1 >= k.size()) ? 1 : pos + 1;
        // Key positions are 1-based; with an empty key nothing is added.
        const int codigoChave = k.isEmpty() ? 0 : static_cast<unsigned char>(k.at(pos - 1));
        int c = static_cast<unsigned char>(t.at(i));
        if (modo == 1) {
            c += codigoChave;
            if (c > 255)
                c -= 255;
        } else {
            c -= codigoChave;
            if (c < 0)
                c += 255;
        }
        saida.append(static_cast<char>(c));
    }
    return QString::fromLatin1(saida);
}

bool arquivoexiste(const QString& caminho)
{
    const QFileInfo fi(caminho);
    return fi.exists() && fi.isFile() && fi.size() > 0;
}

void selecionatexto()
{
    auto* caixa = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!caixa)
        return;
    // Selecting at once is undone by the mouse click that gave the focus.
    QPointer<QLineEdit> p(caixa);
    QTimer::singleShot(0, caixa, [p] {
        if (p)
            p->selectAll();
    });
}

}  // namespace tivane
