#pragma once
// A tither's photo files: "<code>p.jpg" (small) and "<code>g.jpg" (large)
// under "fotos" in the data folder. They hold bitmaps despite the name, at
// the pixel sizes of the two picture areas that show them; readers load them
// by content. No windows here.
#include <QImage>
#include <QSize>
#include <QString>

namespace tivane {

// The two picture areas at 96 dots per inch (1335 x 1215 and 3375 x 3135 twips).
constexpr QSize TAMANHO_FOTO_PEQUENA(89, 81);
constexpr QSize TAMANHO_FOTO_GRANDE(225, 209);
// A picture larger than this is refused before it is decoded.
constexpr qint64 MAXIMO_PIXELS_FOTO = 40000000;

enum class [[nodiscard]] Foto { Ok, CodigoVazio, CodigoInvalido, NaoEncontrada, NaoEImagem, FormatoRecusado, Incompleta,
                                GrandeDemais, FalhaGravacao, FalhaExclusao };

// Why a photo could not be read or written, for the user.
QString mensagemfoto(Foto resultado, const QString& detalhe = QString());

// Checks the code and gives both paths ("fotos" may not exist yet).
Foto caminhosfotos(const QString& codigo, QString* pequena, QString* grande);

// Reads a picture chosen by the user, by its content whatever its name, at a
// size no larger than the photos need. Only JPEG, PNG, BMP and GIF are taken,
// and only when the file holds the whole picture.
Foto lefotoarquivo(const QString& caminho, QImage* imagem, QString* detalhe = nullptr);

// The small and the large picture made from any picture: stretched over
// each area; the small one is painted 40 twips wider, so its right edge is cut.
QImage fotopequena(const QImage& origem);
QImage fotogrande(const QImage& origem);

// Writes both files of the tither from one picture: the folder is created
// when missing, each file goes to a temporary file first and is then renamed
// over the old one; when the second cannot be written the first is put back.
// So either both files are the new photo or both are as they were.
Foto gravafotos(const QString& codigo, const QImage& origem, QString* detalhe = nullptr);

// Removes both files; Ok only when neither exists afterwards.
Foto apagafotos(const QString& codigo, QString* detalhe = nullptr);

// True when either photo file of the code exists and is not empty.
bool existefoto(const QString& codigo);

}  // namespace tivane
