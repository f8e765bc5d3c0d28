#include "tithes/recibo.h"

#include "core/conexao.h"
#include "core/registro.h"
#include "core/texto.h"
#include "core/igreja.h"
#include "tithes/pagamentos.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace tivane {

namespace {

// Colours of the form, as red, green, blue.
const QColor VERDE(0, 192, 0);
const QColor AZUL(0, 0, 255);
const QColor AZULESCURO(0, 0, 192);
const QColor VERMELHO(255, 0, 0);
const QColor CINZA(192, 192, 192);
const QColor LILAS(192, 192, 255);

const char* const SERIF = "Liberation Serif";  // Times New Roman metrics
const char* const SANS = "Liberation Sans";    // MS Sans Serif / Arial metrics

// Draws in twips on any device: rectangles scaled by dpi / 1440, fonts in points.
class Twips {
public:
    explicit Twips(QPainter& p)
        : p_(p)
    {
        const QPaintDevice* d = p.device();
        sx_ = (d ? d->logicalDpiX() : 96) / 1440.0;
        sy_ = (d ? d->logicalDpiY() : 96) / 1440.0;
    }

    QRectF rect(double x, double y, double w, double h) const
    {
        return QRectF((ox_ + x) * sx_, (oy_ + y) * sy_, w * sx_, h * sy_);
    }
    void origem(double x, double y) { ox_ = x; oy_ = y; }

    static QFont fonte(const char* familia, double pontos, bool negrito = false, bool sublinhado = false)
    {
        QFont f(QString::fromLatin1(familia));
        f.setPointSizeF(pontos);
        f.setBold(negrito);
        f.setUnderline(sublinhado);
        f.setStyleHint(qstrcmp(familia, SANS) == 0 ? QFont::SansSerif : QFont::Serif);
        return f;
    }

    // A label: word-wrapped inside its box and cut at its edges, as the form's labels are.
    void texto(double x, double y, double w, double h, const QString& t, const QFont& f, const QColor& cor,
               Qt::Alignment alinhamento = Qt::AlignLeft)
    {
        if (t.isEmpty())
            return;
        const QRectF r = rect(x, y, w, h);
        p_.save();
        p_.setClipRect(r);
        p_.setFont(f);
        p_.setPen(cor);
        p_.drawText(r, int(alinhamento | Qt::AlignTop | Qt::TextWordWrap), t);
        p_.restore();
    }

    // A label whose font shrinks until the whole text fits its box: first on
    // one line down to 6 points, then on as many lines as the box holds.
    void textoajustado(double x, double y, double w, double h, const QString& t, QFont f, const QColor& cor)
    {
        if (t.isEmpty())
            return;
        const QRectF r = rect(x, y, w, h);
        const double inicial = f.pointSizeF();
        int opcoes = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        double pontos = inicial;
        while (pontos > 6.0 && QFontMetricsF(f, p_.device()).horizontalAdvance(t) > r.width()) {
            pontos -= 0.25;
            f.setPointSizeF(pontos);
        }
        if (QFontMetricsF(f, p_.device()).horizontalAdvance(t) > r.width()) {
            opcoes = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            pontos = inicial;
            f.setPointSizeF(pontos);
            const auto cabe = [&] {
                const QRectF b = QFontMetricsF(f, p_.device()).boundingRect(QRectF(0, 0, r.width(), 1e6), opcoes, t);
                return b.width() <= r.width() && b.height() <= r.height();
            };
            while (pontos > 3.0 && !cabe()) {
                pontos -= 0.25;
                f.setPointSizeF(pontos);
            }
        }
        p_.save();
        p_.setClipRect(r);
        p_.setFont(f);
        p_.setPen(cor);
        p_.drawText(r, opcoes, t);
        p_.restore();
    }

    // One screen pixel wide, so lines print as they show.
    QPen caneta(const QColor& cor) const { return QPen(cor, qMax(1.0, sx_ * 15.0)); }

    void retangulo(double x, double y, double w, double h, const QColor& cor)
    {
        p_.save();
        QPen pen = caneta(cor);
        pen.setJoinStyle(Qt::MiterJoin);
        p_.setPen(pen);
        p_.setBrush(Qt::NoBrush);
        const double m = pen.widthF() / 2.0;
        p_.drawRect(rect(x, y, w, h).adjusted(m, m, -m, -m));
        p_.restore();
    }

    void linha(double x1, double y1, double x2, double y2, const QColor& cor)
    {
        p_.save();
        p_.setPen(caneta(cor));
        p_.drawLine(QPointF((ox_ + x1) * sx_, (oy_ + y1) * sy_), QPointF((ox_ + x2) * sx_, (oy_ + y2) * sy_));
        p_.restore();
    }

private:
    QPainter& p_;
    double sx_ = 1, sy_ = 1;
    double ox_ = 0, oy_ = 0;
};

void desenhavia(Twips& t, const ModeloRecibo& m, int i)
{
    const QColor preto(Qt::black);
    const auto cor = [&](const QColor& c) { return m.colorido ? c : preto; };
    const double largura = i == 0 ? 5655 : 5535;

    // Watermarks first, so the texts stay readable over them.
    if (i == 0 && m.segundavia)
        t.texto(480, 1080, 4695, 1815, QStringLiteral("2* VIA"), Twips::fonte(SERIF, 72, true), CINZA, Qt::AlignHCenter);
    if (i == 1)
        t.texto(240, 1200, 5175, 2295, QStringLiteral("VIA IGREJA"), Twips::fonte(SERIF, 48, true), LILAS,
                Qt::AlignHCenter);

    if (m.borda)
        t.retangulo(0, 0, largura, 3735, preto);

    const QFont pequena = Twips::fonte(SERIF, 8.25);
    t.texto(120, 120, 3855, 255, m.fantasia, pequena, cor(VERDE));
    t.texto(120, 360, 3975, 255, m.endereco, pequena, cor(VERDE));
    t.texto(120, 600, 3975, 255, m.telefone, pequena, cor(VERDE));
    if (i == 0)
        t.texto(120, 840, 3975, 255, m.site, Twips::fonte(SANS, 8.25, false, true), cor(AZUL), Qt::AlignHCenter);
    t.texto(2280, 1080, 1335, 255, QStringLiteral("RECIBO"), Twips::fonte(SERIF, 12, true), preto, Qt::AlignHCenter);
    if (m.mostramatricula)
        t.texto(4200, 1320, 1215, 375, m.matricula, Twips::fonte(SERIF, 14.25, true), preto, Qt::AlignHCenter);
    t.texto(120, 1440, 1095, 375, QStringLiteral("Recebemos de :"), pequena, preto);
    t.texto(1200, 1440, 2775, 495, m.nome, pequena, preto);
    t.texto(120, 1920, 1095, 255, QStringLiteral("A Quantia de :"), pequena, preto);
    t.texto(1200, 1920, 1095, 255, m.valor, pequena, preto);
    t.textoajustado(1200, 2160, 4335, 255, m.extenso, pequena, preto);
    if (i == 0)
        t.texto(120, 2400, 5415, 375, m.central, Twips::fonte(SERIF, 12, true), cor(VERDE), Qt::AlignHCenter);
    else
        t.texto(120, 2400, 5415, 375, QStringLiteral("RECEBIMENTO DE DÍZIMO"), Twips::fonte(SERIF, 15.75, true),
                cor(AZULESCURO), Qt::AlignHCenter);
    t.texto(120, i == 0 ? 2760 : 2880, 5415, 255, m.data, pequena, preto);
    t.linha(120, 3120, 5400, 3120, preto);
    t.texto(120, 3360, 855, 255, QStringLiteral("N* Recibo:"), Twips::fonte(SANS, 8.25), preto);
    if (i == 0)
        t.texto(1080, 3360, 1575, 375, m.codigo, Twips::fonte(SERIF, 12, true), cor(VERMELHO), Qt::AlignHCenter);
    else
        t.texto(1080, 3360, 1455, 255, m.codigo, Twips::fonte(SERIF, 12, true), cor(VERMELHO), Qt::AlignHCenter);
    if (m.referencia) {
        const QFont f = Twips::fonte(SERIF, 12, true);
        t.texto(2640 + 0, 3240 + 120, 735, 255, QStringLiteral("Mês:"), f, preto, Qt::AlignHCenter);
        t.texto(2640 + 600, 3240 + 120, 735, 255, m.mes, f, preto, Qt::AlignHCenter);
        t.texto(2640 + 1200, 3240 + 120, 735, 255, QStringLiteral("Ano:"), f, preto, Qt::AlignHCenter);
        t.texto(2640 + 1920, 3240 + 120, 735, 255, m.ano, f, preto, Qt::AlignHCenter);
    }
}

}  // namespace

Leitura montarecibo(const QString& codigo, ModeloRecibo* m, const QDate& hoje)
{
    ModeloRecibo r;
    {
        Escopo e = abreconexaopagamentos();
        if (!e)
            return Leitura::falha(e.causa());
        Consulta c("SELECT nomedizimista, valor, codigodizimista, mesreferencia, anoreferencia"
                   " FROM pagamentos WHERE codigo = ? LIMIT 1");
        c.bind(codigo);
        if (!c.next())
            return c.ok() ? Leitura(Leitura::NaoEncontrado) : Leitura::falha(c.erro());
        r.nome = c.text(0);
        r.valor = c.text(1);
        r.matricula = c.text(2);
        r.mes = c.text(3);
        r.ano = c.text(4);
    }
    r.codigo = codigo;
    r.extenso = valorporextenso(r.valor, true);
    r.data = dataporextenso(hoje, false);

    // A receipt without the church's name because the file could not be read is not a receipt.
    DadosIgreja igreja;
    const Leitura lida = carregaigreja(&igreja);
    if (lida == Leitura::Falha)
        return lida;
    r.fantasia = igreja.fantasia;
    r.endereco = linhaenderecoigreja(igreja);
    r.telefone = igreja.tel;
    r.site = igreja.site;

    const QString central = lertextopadrao(QStringLiteral("msgcentral"));
    if (!central.isEmpty())
        r.central = central;
    r.duasvias = !leropcao(QStringLiteral("01"));
    r.colorido = leropcao(QStringLiteral("02"));
    r.mostramatricula = leropcao(QStringLiteral("05"));
    r.borda = leropcao(QStringLiteral("06"));
    r.referencia = leropcao(QStringLiteral("07"));
    if (m)
        *m = r;
    return Leitura::Encontrado;
}

QSize tamanhorecibo(int dpix, int dpiy)
{
    return QSize(qRound(LARGURA_RECIBO_TWIPS * dpix / 1440.0), qRound(ALTURA_RECIBO_TWIPS * dpiy / 1440.0));
}

void desenharecibo(QPainter& pintor, const ModeloRecibo& m)
{
    pintor.save();
    pintor.setRenderHint(QPainter::Antialiasing, true);
    pintor.setRenderHint(QPainter::TextAntialiasing, true);
    Twips t(pintor);
    // Frameprincipal at 120, 120; the copies 120 below its top, side by side.
    t.origem(120 + 0, 120 + 120);
    desenhavia(t, m, 0);
    if (m.duasvias) {
        t.origem(120 + 5640, 120 + 120);
        desenhavia(t, m, 1);
    }
    pintor.restore();
}

bool imprimerecibo(const ModeloRecibo& modelo, QPrinter* impressora)
{
    if (!impressora)
        return false;
    impressora->setFullPage(false);
    impressora->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(impressora))
        return false;
    desenharecibo(p, modelo);
    return p.end();
}

QString nomedocumento(const QString& nome)
{
    // Printing to a file proposes the document's name as the file's name.
    QString r = nome;
    for (QChar& c : r)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'-';
    return r;
}

}  // namespace tivane
