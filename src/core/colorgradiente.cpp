#include "core/colorgradiente.h"

#include <cmath>

namespace tivane {

namespace {

// Halves go to the even number.
int arredonda(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

qint32 rgb(int r, int g, int b)
{
    return qint32(qBound(0, r, 255) | (qBound(0, g, 255) << 8) | (qBound(0, b, 255) << 16));
}

}  // namespace

ColorGradiente::ColorGradiente()
{
    for (int i = 0; i <= 10; ++i) {
        cores_[i] = 0;
        definida_[i] = false;
    }
    cores_[0] = 0x000000;
    cores_[10] = 0xFFFFFF;
    definida_[0] = definida_[10] = true;
    RecalcColors();
}

void ColorGradiente::SetColor(int ColorIndex, qint32 ColorValue)
{
    if (ColorIndex < 0 || ColorIndex > 10)
        return;
    if (ColorValue >= 0) {
        cores_[ColorIndex] = ColorValue;
        definida_[ColorIndex] = true;
    } else {
        definida_[ColorIndex] = false;
    }
    RecalcColors();
}

qint32 ColorGradiente::GetColor(int ColorIndex) const
{
    if (ColorIndex < 0 || ColorIndex > 10)
        return 0;
    return cores_[ColorIndex];
}

void ColorGradiente::RecalcColors()
{
    definida_[0] = definida_[10] = true;
    int a = 0;
    for (int b = 1; b <= 10; ++b) {
        if (!definida_[b])
            continue;
        int ra, ga, ba, rb, gb, bb;
        SplitColor(cores_[a], &ra, &ga, &ba);
        SplitColor(cores_[b], &rb, &gb, &bb);
        for (int k = a + 1; k < b; ++k) {
            // 100 x (k - a) / (b - a), written so that halves come out exactly.
            const double p = 100.0 - (100.0 / ((b - a) * 10)) * (b - k) * 10;
            cores_[k] = BlendColors(ra, ga, ba, rb, gb, bb, arredonda(p));
        }
        a = b;
    }
}

void ColorGradiente::SplitColor(qint32 cor, int* vermelho, int* verde, int* azul)
{
    // Read through the hexadecimal text: a value over &HFFFFFF keeps only its
    // six leading digits.
    const QString hex = QString::number(quint32(cor), 16).rightJustified(6, QLatin1Char('0'));
    *azul = hex.mid(0, 2).toInt(nullptr, 16);
    *verde = hex.mid(2, 2).toInt(nullptr, 16);
    *vermelho = hex.mid(4, 2).toInt(nullptr, 16);
}

qint32 ColorGradiente::BlendColors(int r1, int g1, int b1, int r2, int g2, int b2, int percentual)
{
    const int p = qBound(0, percentual, 100);
    return rgb(InterpolateValue(r1, r2, p), InterpolateValue(g1, g2, p), InterpolateValue(b1, b2, p));
}

int ColorGradiente::InterpolateValue(int a, int b, int percentual)
{
    if (a <= b)
        return arredonda(a + double(b - a) * percentual / 100.0);
    return arredonda(a - double(a - b) * percentual / 100.0);
}

QColor ColorGradiente::paraQColor(qint32 cor)
{
    return QColor(cor & 0xFF, (cor >> 8) & 0xFF, (cor >> 16) & 0xFF);
}

bool passocortitulo(ColorGradiente& gradiente, int& contador, int passo, qint32* cor)
{
    if (contador < 11) {
        if (cor)
            *cor = gradiente.GetColor(contador);
        ++contador;
        return true;
    }
    contador = 0;
    if (passo == 1) {
        gradiente.SetColor(0, 0xC0E0FF);
        gradiente.SetColor(10, 0x0080FF);
    } else {
        gradiente.SetColor(0, 0x0080FF);
        gradiente.SetColor(10, 0xC0E0FF);
    }
    return false;
}

}  // namespace tivane
