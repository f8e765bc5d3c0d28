#include "register/fotos.h"

#include "register/dizimistas.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryFile>

#include <cerrno>
#include <sys/stat.h>
#include <cstdio>

namespace tivane {

namespace {

// Bitmap bytes of a picture, without alpha (24 bits per pixel).
bool bytesbmp(const QImage& imagem, QByteArray* bytes)
{
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    return imagem.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
}

// The system's cause of the last file failure, in the user's language.
QString causa(int numero = errno)
{
    switch (numero) {
    case ENOSPC: return QStringLiteral("disco cheio");
    case EACCES:
    case EPERM: return QStringLiteral("sem permissão de gravação");
    case EROFS: return QStringLiteral("disco somente para leitura");
    case EISDIR: return QStringLiteral("existe uma pasta com esse nome");
    case ENOTDIR: return QStringLiteral("o caminho passa por um arquivo");
    case ENOENT: return QStringLiteral("pasta não encontrada");
    case EIO: return QStringLiteral("erro de leitura ou gravação no disco");
    case 0: return QStringLiteral("causa desconhecida");
    default: return QStringLiteral("erro %1 do sistema").arg(numero);
    }
}

// rename(2) replaces the target in one step; QFile::rename refuses an existing target.
bool substitui(const QString& de, const QString& para, QString* detalhe)
{
    if (std::rename(QFile::encodeName(de).constData(), QFile::encodeName(para).constData()) == 0)
        return true;
    if (detalhe)
        *detalhe = QFileInfo(para).fileName() + QStringLiteral(": ") + causa();
    return false;
}

// Temporary files are private (0600); the photo files get what any new file gets.
QFile::Permissions permissoesnormais()
{
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    QFile::Permissions p;
    const struct {
        mode_t bit;
        QFile::Permissions qt;
    } bits[] = {{S_IRUSR, QFile::ReadOwner | QFile::ReadUser}, {S_IWUSR, QFile::WriteOwner | QFile::WriteUser},
                {S_IRGRP, QFile::ReadGroup}, {S_IWGRP, QFile::WriteGroup},
                {S_IROTH, QFile::ReadOther}, {S_IWOTH, QFile::WriteOther}};
    for (const auto& b : bits)
        if (!(mascara & b.bit))
            p |= b.qt;
    return p;
}

// A temporary file beside the target holding the bytes, flushed.
bool gravatemporario(QTemporaryFile& arquivo, const QByteArray& bytes, QString* detalhe)
{
    errno = 0;
    if (!arquivo.open() || !arquivo.setPermissions(permissoesnormais()) || arquivo.write(bytes) != bytes.size()
        || !arquivo.flush()) {
        if (detalhe)
            *detalhe = causa();
        return false;
    }
    arquivo.close();
    return true;
}

}  // namespace

QString mensagemfoto(Foto resultado, const QString& detalhe)
{
    switch (resultado) {
    case Foto::Ok:
        return QString();
    case Foto::CodigoVazio:
        return QStringLiteral("Informe o código do dizimista antes de capturar a foto.");
    case Foto::CodigoInvalido:
        return QStringLiteral("O código do dizimista (") + detalhe
               + QStringLiteral(") não pode ser usado no nome do arquivo da foto.");
    case Foto::NaoEncontrada:
        return QStringLiteral("Foto não encontrada!");
    case Foto::NaoEImagem:
        return QStringLiteral("O arquivo escolhido não é uma imagem que o sistema consiga ler. "
                              "Escolha uma foto JPG ou BMP.");
    case Foto::GrandeDemais:
        return QStringLiteral("A imagem escolhida é grande demais (") + detalhe
               + QStringLiteral("). Escolha uma foto de até 40 megapixels.");
    case Foto::FalhaGravacao:
        return QStringLiteral("Não foi possível gravar a foto (") + detalhe
               + QStringLiteral("). A foto anterior foi mantida.");
    case Foto::FalhaExclusao:
        return QStringLiteral("Não foi possível excluir a foto (") + detalhe + QStringLiteral(").");
    }
    return QString();
}

Foto caminhosfotos(const QString& codigo, QString* pequena, QString* grande)
{
    if (codigo.trimmed().isEmpty())
        return Foto::CodigoVazio;
    const QString p = caminhofotodizimista(codigo, false);
    const QString g = caminhofotodizimista(codigo, true);
    if (p.isEmpty() || g.isEmpty())
        return Foto::CodigoInvalido;
    if (pequena)
        *pequena = p;
    if (grande)
        *grande = g;
    return Foto::Ok;
}

Foto lefotoarquivo(const QString& caminho, QImage* imagem, QString* detalhe)
{
    const QFileInfo info(caminho);
    if (caminho.isEmpty() || !info.isFile())
        return Foto::NaoEncontrada;
    QImageReader leitor(caminho);
    leitor.setDecideFormatFromContent(true);
    leitor.setAutoTransform(true);   // phone photos carry their turn in the file
    if (!leitor.canRead())
        return Foto::NaoEImagem;
    // The size comes from the header: a huge picture is refused before it fills the memory.
    const QSize tamanho = leitor.size();
    if (tamanho.isValid() && qint64(tamanho.width()) * tamanho.height() > MAXIMO_PIXELS_FOTO) {
        if (detalhe)
            *detalhe = QStringLiteral("%1 x %2 pixels").arg(tamanho.width()).arg(tamanho.height());
        return Foto::GrandeDemais;
    }
    QImage lida;
    if (!leitor.read(&lida) || lida.isNull())
        return Foto::NaoEImagem;
    if (imagem)
        *imagem = lida;
    return Foto::Ok;
}

QImage fotopequena(const QImage& origem)
{
    const QSize larga(qRound(1375 / 15.0), TAMANHO_FOTO_PEQUENA.height());
    QImage area(TAMANHO_FOTO_PEQUENA, QImage::Format_RGB32);
    area.fill(QColor(192, 255, 192));
    QPainter pintor(&area);
    pintor.setRenderHint(QPainter::SmoothPixmapTransform);
    pintor.drawImage(QRect(QPoint(0, 0), larga), origem);
    return area;
}

QImage fotogrande(const QImage& origem)
{
    QImage area(TAMANHO_FOTO_GRANDE, QImage::Format_RGB32);
    area.fill(QColor(192, 192, 255));
    QPainter pintor(&area);
    pintor.setRenderHint(QPainter::SmoothPixmapTransform);
    pintor.drawImage(QRect(QPoint(0, 0), TAMANHO_FOTO_GRANDE), origem);
    return area;
}

Foto gravafotos(const QString& codigo, const QImage& origem, QString* detalhe)
{
    QString p, g;
    const Foto caminhos = caminhosfotos(codigo, &p, &g);
    if (caminhos != Foto::Ok) {
        if (detalhe)
            *detalhe = codigo;
        return caminhos;
    }
    if (origem.isNull())
        return Foto::NaoEncontrada;
    QByteArray bytesP, bytesG;
    if (!bytesbmp(fotopequena(origem), &bytesP) || !bytesbmp(fotogrande(origem), &bytesG)) {
        if (detalhe)
            *detalhe = QStringLiteral("a imagem não pôde ser convertida");
        return Foto::FalhaGravacao;
    }
    const QString pasta = QFileInfo(p).absolutePath();
    if (!QDir().mkpath(pasta)) {
        if (detalhe)
            *detalhe = QStringLiteral("a pasta ") + QDir::toNativeSeparators(pasta) + QStringLiteral(" não pôde ser criada");
        return Foto::FalhaGravacao;
    }

    // Both new files whole on disk before either old one is touched.
    QTemporaryFile novaP(pasta + QStringLiteral("/.foto-XXXXXX"));
    QTemporaryFile novaG(pasta + QStringLiteral("/.foto-XXXXXX"));
    if (!gravatemporario(novaP, bytesP, detalhe) || !gravatemporario(novaG, bytesG, detalhe))
        return Foto::FalhaGravacao;

    // The old small photo is kept aside to be put back if the large one fails.
    QTemporaryFile antigaP(pasta + QStringLiteral("/.foto-XXXXXX"));
    bool haviaP = false;
    {
        QFile velha(p);
        if (velha.exists()) {
            errno = 0;
            if (!velha.open(QIODevice::ReadOnly)) {
                if (detalhe)
                    *detalhe = QFileInfo(p).fileName() + QStringLiteral(": ") + causa();
                return Foto::FalhaGravacao;
            }
            if (!gravatemporario(antigaP, velha.readAll(), detalhe))
                return Foto::FalhaGravacao;
            haviaP = true;
        }
    }

    if (!substitui(novaP.fileName(), p, detalhe))
        return Foto::FalhaGravacao;
    novaP.setAutoRemove(false);
    if (!substitui(novaG.fileName(), g, detalhe)) {
        if (haviaP) {
            if (substitui(antigaP.fileName(), p, nullptr))
                antigaP.setAutoRemove(false);
        } else {
            QFile::remove(p);
        }
        return Foto::FalhaGravacao;
    }
    novaG.setAutoRemove(false);
    return Foto::Ok;
}

Foto apagafotos(const QString& codigo, QString* detalhe)
{
    QString p, g;
    const Foto caminhos = caminhosfotos(codigo, &p, &g);
    if (caminhos != Foto::Ok) {
        if (detalhe)
            *detalhe = codigo;
        return caminhos;
    }
    QStringList falhas;
    for (const QString& caminho : {p, g}) {
        const QFileInfo info(caminho);
        if (!info.exists() && !info.isSymLink())
            continue;
        errno = 0;
        if (!QFile::remove(caminho))
            falhas << info.fileName() + QStringLiteral(": ") + causa();
    }
    if (falhas.isEmpty())
        return Foto::Ok;
    if (detalhe)
        *detalhe = falhas.join(QStringLiteral("; "));
    return Foto::FalhaExclusao;
}

bool existefoto(const QString& codigo)
{
    QString p, g;
    if (caminhosfotos(codigo, &p, &g) != Foto::Ok)
        return false;
    return QFileInfo(p).size() > 0 || QFileInfo(g).size() > 0;
}

}  // namespace tivane
