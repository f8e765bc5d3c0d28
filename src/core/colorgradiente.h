#pragma once
// A colour gradient of eleven stops (0 to 10). Colours are 24-bit &HBBGGRR
// values (blue in the high byte). Stops a caller did not set are blends
// of the nearest set stops on each side; stops 0 and 10 always count as set.
#include <QColor>
#include <QtGlobal>

namespace tivane {

class ColorGradiente {
public:
    ColorGradiente();   // stop 0 black, stop 10 white

    // An index outside 0 to 10 is ignored. A negative colour clears the stop's
    // set flag and keeps its colour, so it becomes a blend again.
    void SetColor(int ColorIndex, qint32 ColorValue);
    // 0 for an index outside 0 to 10.
    qint32 GetColor(int ColorIndex = 0) const;

    static QColor paraQColor(qint32 cor);   // &HBBGGRR to a QColor

private:
    void RecalcColors();
    static void SplitColor(qint32 cor, int* vermelho, int* verde, int* azul);
    static qint32 BlendColors(int r1, int g1, int b1, int r2, int g2, int b2, int percentual);
    static int InterpolateValue(int a, int b, int percentual);

    qint32 cores_[11];
    bool definida_[11];
};

// One tick of the login title's colour timers ("tempocor" is pass 1,
// "tempocor2" pass 2). While the counter is below 11 it gives the colour of
// the counter's stop, advances the counter and returns true. At 11 it resets
// the counter, sets the end stops of the other pass and returns false: the
// timer then stops and starts the other one.
bool passocortitulo(ColorGradiente& gradiente, int& contador, int passo, qint32* cor);

}  // namespace tivane
