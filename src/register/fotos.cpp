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

// A JPEG is whole when its segments and scans run complete up to the end
// marker; the decoder fills a cut-off picture with grey and calls it read.
bool jpeginteiro(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    qsizetype i = 2;
    for (;;) {
        while (i < n && d[i] != 0xFF)   // stray bytes between segments: the decoder skips them too
            ++i;
        while (i < n && d[i] == 0xFF)   // fill bytes before a marker
            ++i;
        if (i >= n)
            return false;
        const uchar marcador = d[i++];
        if (marcador == 0xD9)
            return true;
        if (marcador == 0x01 || (marcador >= 0xD0 && marcador <= 0xD7))
            continue;   // markers without a length
        if (i + 2 > n)
            return false;
        const int comprimento = (d[i] << 8) | d[i + 1];
        if (comprimento < 2)
            return false;
        i += comprimento;
        if (i > n)
            return false;
        if (marcador != 0xDA)
            continue;
        // The scan's coded data runs to the next marker; 0xFF00 is a stuffed
        // byte and 0xFFD0-0xFFD7 restart markers inside the data.
        for (;;) {
            if (i + 1 >= n)
                return false;
            if (d[i] != 0xFF) {
                ++i;
                continue;
            }
            const uchar seguinte = d[i + 1];
            if (seguinte == 0x00 || (seguinte >= 0xD0 && seguinte <= 0xD7))
                i += 2;
            else if (seguinte == 0xFF)
                ++i;
            else
                break;
        }
    }
}

// A bitmap is whole when the file holds every row its header announces;
// the decoder leaves missing rows black and calls it read.
bool bmpinteiro(QFile& arquivo)
{
    const QByteArray c = arquivo.read(38);
    if (c.size() < 26)
        return false;
    auto u16 = [&c](int o) { return quint32(uchar(c[o])) | quint32(uchar(c[o + 1])) << 8; };
    auto u32 = [&u16](int o) { return u16(o) | u16(o + 2) << 16; };
    const qint64 inicio = u32(10);
    qint64 largura, altura, bits, dados;
    if (u32(14) == 12) {   // the old OS/2 header
        largura = u16(18);
        altura = u16(20);
        bits = u16(24);
        dados = (largura * bits + 31) / 32 * 4 * altura;
    } else {
        if (c.size() < 38)
            return false;
        largura = qint32(u32(18));
        altura = qAbs(qint64(qint32(u32(22))));   // negative: rows stored top-down
        bits = u16(28);
        const quint32 compressao = u32(30);
        if (compressao == 1 || compressao == 2)   // run-length coded: the header gives the size
            dados = u32(34);
        else
            dados = (largura * bits + 31) / 32 * 4 * altura;
    }
    return inicio + dados <= arquivo.size();
}

// A GIF is whole when its blocks run complete up to the trailer byte; the
// decoder shows a cut-off one with its lower part black and calls it read.
bool gifinteiro(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < 13 || !(bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")))
        return false;
    auto tabela = [](uchar campos) -> qsizetype { return campos & 0x80 ? 3 * (qsizetype(2) << (campos & 7)) : 0; };
    qsizetype i = 13 + tabela(d[10]);
    // Sub-blocks: a length byte and that many bytes, up to a zero length.
    auto subblocos = [&]() {
        for (;;) {
            if (i >= n)
                return false;
            const uchar tamanho = d[i++];
            if (tamanho == 0)
                return true;
            i += tamanho;
        }
    };
    for (;;) {
        if (i >= n)
            return false;
        const uchar bloco = d[i++];
        if (bloco == 0x3B)
            return true;
        if (bloco == 0x21) {   // extension: its label, then sub-blocks
            ++i;
        } else if (bloco == 0x2C) {   // picture: descriptor, its own colour table, code size, then sub-blocks
            if (i + 9 > n)
                return false;
            i += 9 + tabela(d[i + 8]) + 1;
        } else {
            return false;
        }
        if (!subblocos())
            return false;
    }
}

// A PNG is whole when its chunks run complete up to the end chunk; the
// decoder calls a file read when only its last chunks are missing.
bool pnginteiro(QFile& arquivo)
{
    if (arquivo.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return false;
    qint64 i = 8;
    const qint64 n = arquivo.size();
    for (;;) {
        if (!arquivo.seek(i))
            return false;
        const QByteArray cabecalho = arquivo.read(8);
        if (cabecalho.size() < 8)
            return false;
        const auto* c = reinterpret_cast<const uchar*>(cabecalho.constData());
        const qint64 tamanho = qint64(c[0]) << 24 | c[1] << 16 | c[2] << 8 | c[3];
        i += 12 + tamanho;   // length, type, data, checksum
        if (i > n)
            return false;
        if (cabecalho.mid(4) == "IEND")
            return true;
    }
}

// The formats taken as photos: those whose files can be checked here to hold
// the whole picture. Other decoders may also fill a cut-off file's missing part.
bool formatoaceito(const QByteArray& formato)
{
    return formato == "jpeg" || formato == "png" || formato == "bmp" || formato == "gif";
}

// Whether the file holds the whole picture, by the structure of its format.
bool imageminteira(const QString& caminho, const QByteArray& formato)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return false;
    if (formato == "jpeg")
        return jpeginteiro(arquivo.readAll());
    if (formato == "bmp")
        return bmpinteiro(arquivo);
    if (formato == "gif")
        return gifinteiro(arquivo.readAll());
    if (formato == "png")
        return pnginteiro(arquivo);
    return false;
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
    case Foto::FormatoRecusado:
        return QStringLiteral("O arquivo escolhido é uma imagem ") + detalhe
               + QStringLiteral(", formato que o sistema não aceita como foto. Escolha uma foto JPG ou BMP.");
    case Foto::Incompleta:
        return QStringLiteral("O arquivo escolhido está incompleto ou danificado: a imagem não pôde ser lida "
                              "inteira. Nenhuma foto foi gravada.");
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
    if (!formatoaceito(leitor.format())) {
        if (detalhe)
            *detalhe = QString::fromLatin1(leitor.format().toUpper());
        return Foto::FormatoRecusado;
    }
    if (!imageminteira(caminho, leitor.format()))
        return Foto::Incompleta;
    // The size comes from the header: a huge picture is refused before it fills the memory.
    const QSize tamanho = leitor.size();
    if (tamanho.isValid() && qint64(tamanho.width()) * tamanho.height() > MAXIMO_PIXELS_FOTO) {
        if (detalhe)
            *detalhe = QStringLiteral("%1 x %2 pixels").arg(tamanho.width()).arg(tamanho.height());
        return Foto::GrandeDemais;
    }

    // Decoded straight to a size that still fills the large area twice over,
    // so a picture up to the limit loads in little memory.
    const int teto = 2 * TAMANHO_FOTO_GRANDE.width();
    int limiteAnterior = -1;
    if (tamanho.isValid() && (tamanho.width() > teto || tamanho.height() > teto)) {
        leitor.setScaledSize(tamanho.boundedTo(QSize(teto, teto)));
        // Only the JPEG decoder really decodes small; the others (PNG too, though it
        // says it scales) read the whole picture first, and the reader's own
        // allocation limit (128 MB) would refuse pictures below ours.
        if (leitor.format() != "jpeg") {
            const int bits = leitor.imageFormat() == QImage::Format_Invalid
                                 ? 64
                                 : QImage::toPixelFormat(leitor.imageFormat()).bitsPerPixel();
            const qint64 megas = qint64(tamanho.width()) * tamanho.height() * bits / 8 / (1024 * 1024) + 1;
            const int limite = QImageReader::allocationLimit();   // 0: none
            if (limite > 0 && megas > limite) {
                limiteAnterior = limite;
                QImageReader::setAllocationLimit(int(megas));
            }
        }
    }
    QImage lida;
    const bool leu = leitor.read(&lida);
    if (limiteAnterior >= 0)
        QImageReader::setAllocationLimit(limiteAnterior);
    if (!leu || lida.isNull())
        return Foto::Incompleta;
    if (imagem)
        *imagem = lida;
    return Foto::Ok;
}

namespace {
// The picture stretched over the top-left part `desenho` of a picture of that size and back colour.
QImage pintafoto(const QImage& origem, const QSize& tamanho, const QColor& fundo, const QSize& desenho)
{
    QImage area(tamanho, QImage::Format_RGB32);
    area.fill(fundo);
    QPainter pintor(&area);
    pintor.setRenderHint(QPainter::SmoothPixmapTransform);
    pintor.drawImage(QRect(QPoint(0, 0), desenho), origem);
    return area;
}
}  // namespace

QImage fotopequena(const QImage& origem)
{
    const QSize larga(qRound(1375 / 15.0), TAMANHO_FOTO_PEQUENA.height());
    return pintafoto(origem, TAMANHO_FOTO_PEQUENA, QColor(192, 255, 192), larga);
}

QImage fotogrande(const QImage& origem)
{
    return pintafoto(origem, TAMANHO_FOTO_GRANDE, QColor(192, 192, 255), TAMANHO_FOTO_GRANDE);
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
