#include "tithes/visortexto.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace tivane {

namespace {

const int MARGEM = 4;
const qsizetype TABULACAO = 8;
// Characters indexed at a time: the first screen, then each background step.
const qsizetype PASSO_INICIAL = qsizetype(1) << 16;
const qsizetype PASSO_FUNDO = qsizetype(1) << 22;

QString comCrlf(QStringView s)
{
    QString r;
    r.reserve(s.size() + s.size() / 32);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\r') {
            r += QLatin1String("\r\n");
            if (i + 1 < s.size() && s.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            r += QLatin1String("\r\n");
        } else {
            r += c;
        }
    }
    return r;
}

// Screen column of the character at i (tabs stop every 8 columns).
qsizetype colunaDe(QStringView linha, qsizetype i)
{
    i = qMin(i, linha.size());
    if (!linha.left(i).contains(u'\t'))
        return i;
    qsizetype col = 0;
    for (qsizetype k = 0; k < i; ++k)
        col = linha.at(k) == u'\t' ? (col / TABULACAO + 1) * TABULACAO : col + 1;
    return col;
}

// Index of the character nearest to a screen column.
qsizetype indiceDaColuna(QStringView linha, qsizetype coluna)
{
    if (!linha.contains(u'\t'))
        return qBound<qsizetype>(0, coluna, linha.size());
    qsizetype col = 0;
    for (qsizetype k = 0; k < linha.size(); ++k) {
        const qsizetype proxima = linha.at(k) == u'\t' ? (col / TABULACAO + 1) * TABULACAO : col + 1;
        if (coluna < proxima)
            return (coluna - col) * 2 < proxima - col ? k : k + 1;
        col = proxima;
    }
    return linha.size();
}

QString semTabulacao(QStringView linha)
{
    if (!linha.contains(u'\t'))
        return linha.toString();
    QString r;
    for (const QChar c : linha) {
        if (c == u'\t')
            r += QString(TABULACAO - r.size() % TABULACAO, u' ');
        else
            r += c;
    }
    return r;
}

bool espaco(QChar c) { return c.isSpace(); }

}  // namespace

VisorTexto::VisorTexto(QWidget* pai) : QAbstractScrollArea(pai)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    atualizaBarras();
}

// ---- line index ------------------------------------------------------------------

void VisorTexto::varre(qsizetype quantos) const
{
    if (completo_)
        return;
    const qsizetype n = texto_.size();
    qsizetype fim = qMin(n, varrido_ + quantos);
    // Never stop between the CR and the LF of one break.
    if (fim < n && fim > 0 && texto_.at(fim - 1) == u'\r')
        ++fim;
    while (varrido_ < fim) {
        const qsizetype lfAqui = texto_.indexOf(u'\n', varrido_, fim);
        const qsizetype lf = lfAqui < 0 ? -1 : lfAqui - varrido_;
        const qsizetype trecho = lf < 0 ? fim - varrido_ : lf;
        const qsizetype crAqui = texto_.indexOf(u'\r', varrido_, varrido_ + trecho);
        const qsizetype cr = crAqui < 0 ? -1 : crAqui - varrido_;
        qsizetype quebra, proximo;
        if (cr >= 0 && !(lf >= 0 && cr == trecho - 1)) {
            quebra = varrido_ + cr;
            proximo = quebra + 1;
            quebrasSoltas_ = true;
        } else if (lf >= 0) {
            proximo = varrido_ + lf + 1;
            quebra = cr >= 0 ? proximo - 2 : proximo - 1;
            if (cr < 0)
                quebrasSoltas_ = true;
        } else {
            varrido_ = fim;
            break;
        }
        maiorLinha_ = qMax(maiorLinha_, quebra - inicios_.last());
        inicios_.append(proximo);
        varrido_ = proximo;
    }
    if (varrido_ >= n) {
        completo_ = true;
        maiorLinha_ = qMax(maiorLinha_, n - inicios_.last());
    }
}

void VisorTexto::garanteLinha(qsizetype linha) const
{
    while (!completo_ && inicios_.size() <= linha + 1)
        varre(PASSO_FUNDO);
}

void VisorTexto::garanteCompleto() const
{
    while (!completo_)
        varre(PASSO_FUNDO);
}

qsizetype VisorTexto::linhaDe(qsizetype posicao) const
{
    while (!completo_ && varrido_ <= posicao)
        varre(PASSO_FUNDO);
    return std::upper_bound(inicios_.cbegin(), inicios_.cend(), posicao) - inicios_.cbegin() - 1;
}

qsizetype VisorTexto::fimLinha(qsizetype linha) const
{
    garanteLinha(linha);
    if (linha + 1 >= inicios_.size())
        return texto_.size();
    const qsizetype proximo = inicios_.at(linha + 1);
    if (texto_.at(proximo - 1) == u'\n' && proximo - 2 >= inicios_.at(linha) && texto_.at(proximo - 2) == u'\r')
        return proximo - 2;
    return proximo - 1;
}

qsizetype VisorTexto::totalLinhas() const
{
    if (completo_)
        return inicios_.size();
    const double porCaractere = double(inicios_.size()) / double(qMax<qsizetype>(varrido_, 1));
    return qMax<qsizetype>(inicios_.size() + 1, qsizetype(porCaractere * double(texto_.size())));
}

QString VisorTexto::linha(qsizetype l) const
{
    const qsizetype fim = fimLinha(l);
    return texto_.mid(inicios_.at(l), fim - inicios_.at(l));
}

int VisorTexto::quantidadeLinhas() const
{
    garanteCompleto();
    return int(inicios_.size());
}

// ---- text ------------------------------------------------------------------------

void VisorTexto::defineTexto(const TextoCompacto& texto)
{
    texto_ = texto;
    inicios_ = {0};
    varrido_ = 0;
    maiorLinha_ = 0;
    completo_ = texto_.isEmpty();
    quebrasSoltas_ = false;
    cursor_ = ancora_ = 0;
    colunaDesejada_ = -1;
    desfazer_.clear();
    refazer_.clear();
    varre(PASSO_INICIAL);
    if (completo_)
        varredura_.stop();
    else
        varredura_.start(0, this);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    atualizaBarras();
    viewport()->update();
}

QString VisorTexto::texto() const
{
    garanteCompleto();
    return quebrasSoltas_ ? comCrlf(texto_.toString()) : texto_.toString();
}

QString VisorTexto::textoSelecionado() const
{
    const qsizetype a = qMin(cursor_, ancora_), b = qMax(cursor_, ancora_);
    return comCrlf(texto_.mid(a, b - a));
}

void VisorTexto::setReadOnly(bool somenteLeitura)
{
    somenteLeitura_ = somenteLeitura;
    setAttribute(Qt::WA_InputMethodEnabled, !somenteLeitura);
    viewport()->update();
}

// ---- caret and selection -------------------------------------------------------

void VisorTexto::defineCursor(qsizetype posicao, bool estendeSelecao)
{
    posicao = qBound<qsizetype>(0, posicao, texto_.size());
    if (posicao > 0 && posicao < texto_.size() && texto_.at(posicao - 1) == u'\r' && texto_.at(posicao) == u'\n')
        --posicao;
    cursor_ = posicao;
    if (!estendeSelecao)
        ancora_ = posicao;
    colunaDesejada_ = -1;
    mostraCursor();
}

void VisorTexto::selecionaTudo()
{
    garanteCompleto();
    ancora_ = 0;
    cursor_ = texto_.size();
    mostraCursor();
}

void VisorTexto::copiar() const
{
    if (!temSelecao())
        return;
    QString s = textoSelecionado();
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QApplication::clipboard()->setText(s);
}

void VisorTexto::recortar()
{
    if (somenteLeitura_ || !temSelecao())
        return;
    copiar();
    insere(QString());
}

void VisorTexto::colar()
{
    if (!somenteLeitura_)
        insere(QApplication::clipboard()->text());
}

qsizetype VisorTexto::anterior(qsizetype p) const
{
    if (p <= 0)
        return 0;
    const QChar a = texto_.at(p - 1), b = p >= 2 ? texto_.at(p - 2) : QChar();
    if (p >= 2 && ((a == u'\n' && b == u'\r') || (a.isLowSurrogate() && b.isHighSurrogate())))
        return p - 2;
    return p - 1;
}

qsizetype VisorTexto::seguinte(qsizetype p) const
{
    const qsizetype n = texto_.size();
    if (p >= n)
        return n;
    const QChar a = texto_.at(p), b = p + 1 < n ? texto_.at(p + 1) : QChar();
    if (p + 1 < n && ((a == u'\r' && b == u'\n') || (a.isHighSurrogate() && b.isLowSurrogate())))
        return p + 2;
    return p + 1;
}

qsizetype VisorTexto::palavraSeguinte(qsizetype p) const
{
    const qsizetype l = linhaDe(p);
    const qsizetype fim = fimLinha(l);
    if (p >= fim)
        return seguinte(p);
    while (p < fim && !espaco(texto_.at(p)))
        ++p;
    while (p < fim && espaco(texto_.at(p)))
        ++p;
    return p;
}

qsizetype VisorTexto::palavraAnterior(qsizetype p) const
{
    const qsizetype inicio = inicioLinha(linhaDe(p));
    if (p <= inicio)
        return anterior(p);
    while (p > inicio && espaco(texto_.at(p - 1)))
        --p;
    while (p > inicio && !espaco(texto_.at(p - 1)))
        --p;
    return p;
}

// The caret's position some lines up (negative) or down, in the column it started from.
qsizetype VisorTexto::naLinhaDistante(qsizetype linhas) const
{
    const qsizetype l = linhaDe(cursor_);
    const qsizetype coluna = colunaDesejada_ >= 0 ? colunaDesejada_ : colunaDe(linha(l), cursor_ - inicioLinha(l));
    qsizetype alvo = l + linhas;
    if (alvo < 0)
        return 0;
    garanteLinha(alvo);
    if (alvo >= inicios_.size()) {
        if (l == inicios_.size() - 1)
            return texto_.size();
        alvo = inicios_.size() - 1;
    }
    return inicioLinha(alvo) + indiceDaColuna(linha(alvo), coluna);
}

// ---- editing ---------------------------------------------------------------------

// Editing works on a whole index and CRLF breaks only, so every line ends alike.
void VisorTexto::preparaEdicao()
{
    garanteCompleto();
    varredura_.stop();
    if (!quebrasSoltas_)
        return;
    const auto emLinhaColuna = [this](qsizetype p) {
        const qsizetype l = linhaDe(p);
        return qMakePair(l, p - inicioLinha(l));
    };
    const auto c = emLinhaColuna(cursor_), a = emLinhaColuna(ancora_);
    const int valor = verticalScrollBar()->value();
    defineTexto(comCrlf(texto_.toString()));
    garanteCompleto();
    varredura_.stop();
    cursor_ = inicioLinha(c.first) + c.second;
    ancora_ = inicioLinha(a.first) + a.second;
    atualizaBarras();
    verticalScrollBar()->setValue(valor);
}

void VisorTexto::substitui(qsizetype de, qsizetype ate, const QString& novo)
{
    const qsizetype primeira = linhaDe(de);
    const qsizetype ultima = linhaDe(ate);
    texto_.replace(de, ate - de, novo);
    const qsizetype delta = novo.size() - (ate - de);
    inicios_.remove(primeira + 1, ultima - primeira);
    for (qsizetype k = primeira + 1; k < inicios_.size(); ++k)
        inicios_[k] += delta;
    // The edited lines are indexed again; the rest only moved.
    const qsizetype inicio = inicios_.at(primeira);
    const qsizetype fim = primeira + 1 < inicios_.size() ? inicios_.at(primeira + 1) : texto_.size();
    QVector<qsizetype> novos;
    qsizetype linhaInicio = inicio;
    for (qsizetype p = inicio; p < fim; ++p) {
        if (texto_.at(p) != u'\n')
            continue;
        maiorLinha_ = qMax(maiorLinha_, p - 1 - linhaInicio);
        linhaInicio = p + 1;
        if (linhaInicio < fim)
            novos.append(linhaInicio);
    }
    maiorLinha_ = qMax(maiorLinha_, fim - linhaInicio);
    inicios_.insert(primeira + 1, novos.size(), 0);
    std::copy(novos.cbegin(), novos.cend(), inicios_.begin() + primeira + 1);
    // A break typed at the very end starts an empty last line.
    if (fim == texto_.size() && fim > 0 && texto_.at(fim - 1) == u'\n' && inicios_.last() != fim)
        inicios_.append(fim);
    varrido_ = texto_.size();
}

void VisorTexto::insere(const QString& texto)
{
    if (somenteLeitura_)
        return;
    preparaEdicao();
    const qsizetype a = qMin(cursor_, ancora_), b = qMax(cursor_, ancora_);
    const QString novo = comCrlf(texto);
    if (a == b && novo.isEmpty())
        return;
    const bool letra = a == b && novo.size() == 1 && !novo.at(0).isSpace();
    Passo* ultimo = desfazer_.isEmpty() ? nullptr : &desfazer_.last();
    if (letra && ultimo && ultimo->removido.isEmpty() && !ultimo->inserido.at(0).isSpace() &&
        ultimo->posicao + ultimo->inserido.size() == a)
        ultimo->inserido += novo;
    else
        desfazer_.append({a, texto_.mid(a, b - a), novo});
    refazer_.clear();
    substitui(a, b, novo);
    cursor_ = ancora_ = a + novo.size();
    colunaDesejada_ = -1;
    atualizaBarras();
    mostraCursor();
}

void VisorTexto::desfaz()
{
    if (somenteLeitura_ || desfazer_.isEmpty())
        return;
    const Passo p = desfazer_.takeLast();
    substitui(p.posicao, p.posicao + p.inserido.size(), p.removido);
    refazer_.append(p);
    cursor_ = ancora_ = p.posicao + p.removido.size();
    colunaDesejada_ = -1;
    atualizaBarras();
    mostraCursor();
}

void VisorTexto::refaz()
{
    if (somenteLeitura_ || refazer_.isEmpty())
        return;
    const Passo p = refazer_.takeLast();
    substitui(p.posicao, p.posicao + p.removido.size(), p.inserido);
    desfazer_.append(p);
    cursor_ = ancora_ = p.posicao + p.inserido.size();
    colunaDesejada_ = -1;
    atualizaBarras();
    mostraCursor();
}

// ---- screen ------------------------------------------------------------------------

double VisorTexto::larguraCaractere() const { return QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M')); }

int VisorTexto::larguraParaColunas(int colunas) const
{
    const int texto = qCeil(double(colunas + 1) * larguraCaractere()) + 2 * MARGEM;
    return texto + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

int VisorTexto::alturaLinha() const { return qMax(1, qCeil(QFontMetricsF(font()).lineSpacing())); }

int VisorTexto::linhasVisiveis() const { return qMax(1, (viewport()->height() - 2 * MARGEM) / alturaLinha()); }

void VisorTexto::atualizaBarras()
{
    const int visiveis = linhasVisiveis();
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, int(qMax<qsizetype>(0, totalLinhas() - visiveis)));
    v->setPageStep(visiveis);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    const double cw = larguraCaractere();
    const int largura = int(qMin(double(std::numeric_limits<int>::max() / 2), double(maiorLinha_ + 1) * cw)) + 2 * MARGEM;
    h->setRange(0, qMax(0, largura - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(qMax(1, qRound(cw)));
}

QRect VisorTexto::retanguloCursor() const
{
    const qsizetype l = linhaDe(cursor_);
    const double cw = larguraCaractere();
    const double x = MARGEM + double(colunaDe(linha(l), cursor_ - inicioLinha(l))) * cw - horizontalScrollBar()->value();
    const int y = MARGEM + int(l - verticalScrollBar()->value()) * alturaLinha();
    return QRect(qRound(x), y, 1, alturaLinha());
}

void VisorTexto::mostraCursor()
{
    const qsizetype l = linhaDe(cursor_);
    QScrollBar* v = verticalScrollBar();
    const int visiveis = linhasVisiveis();
    if (l >= v->maximum() + visiveis)
        atualizaBarras();
    if (l < v->value())
        v->setValue(int(l));
    else if (l >= v->value() + visiveis)
        v->setValue(int(l - visiveis + 1));
    QScrollBar* h = horizontalScrollBar();
    const double cw = larguraCaractere();
    const int x = qRound(double(colunaDe(linha(l), cursor_ - inicioLinha(l))) * cw);
    const int util = viewport()->width() - 2 * MARGEM;
    if (x < h->value())
        h->setValue(x);
    else if (x + qCeil(cw) > h->value() + util)
        h->setValue(x + qCeil(cw) - util);
    reiniciaPisca();
    viewport()->update();
}

qsizetype VisorTexto::posicaoEm(const QPoint& p) const
{
    qsizetype l = verticalScrollBar()->value() + qFloor(double(p.y() - MARGEM) / alturaLinha());
    if (l < 0)
        return 0;
    garanteLinha(l);
    if (l >= inicios_.size())
        return texto_.size();
    const double coluna = (p.x() - MARGEM + horizontalScrollBar()->value()) / larguraCaractere();
    return inicioLinha(l) + indiceDaColuna(linha(l), qMax<qsizetype>(0, qRound(coluna)));
}

void VisorTexto::reiniciaPisca()
{
    cursorAceso_ = true;
    const int periodo = QApplication::cursorFlashTime();
    if (hasFocus() && periodo > 0)
        pisca_.start(periodo / 2, this);
    else
        pisca_.stop();
}

void VisorTexto::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.setFont(font());
    const QPalette& pal = palette();
    const QFontMetricsF m(font());
    const double cw = larguraCaractere();
    const int alt = alturaLinha();
    const int hval = horizontalScrollBar()->value();
    const qsizetype primeiraColuna = qMax(0, int((hval - MARGEM) / cw));
    const qsizetype colunas = qsizetype(viewport()->width() / cw) + 3;
    const double x0 = MARGEM + double(primeiraColuna) * cw - hval;
    const qsizetype selA = qMin(cursor_, ancora_), selB = qMax(cursor_, ancora_);
    const qsizetype primeira = verticalScrollBar()->value();
    const int visiveis = linhasVisiveis() + 1;
    garanteLinha(primeira + visiveis);
    for (int k = 0; k < visiveis; ++k) {
        const qsizetype l = primeira + k;
        if (l >= inicios_.size())
            break;
        const int y = MARGEM + k * alt;
        const QString t = linha(l);
        // A character takes at least one column: the columns on screen come from the line's start.
        const QString tela = semTabulacao(t.left(primeiraColuna + colunas)).mid(primeiraColuna, colunas);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QPointF(x0, y + m.ascent()), tela);
        const qsizetype ini = inicioLinha(l), fim = ini + t.size();
        if (selA < selB && selA <= fim && selB > ini) {
            // The break is shown selected as one more column.
            const double xa = MARGEM + double(colunaDe(t, qMax(selA, ini) - ini)) * cw - hval;
            const double xb = MARGEM + double(colunaDe(t, qMin(selB, fim) - ini) + (selB > fim ? 1 : 0)) * cw - hval;
            const QRectF faixa(xa, y, xb - xa, alt);
            p.save();
            p.setClipRect(faixa);
            p.fillRect(faixa, pal.color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
            p.setPen(pal.color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText));
            p.drawText(QPointF(x0, y + m.ascent()), tela);
            p.restore();
        }
    }
    if (hasFocus() && cursorAceso_)
        p.fillRect(retanguloCursor(), pal.color(QPalette::Text));
}

void VisorTexto::keyPressEvent(QKeyEvent* e)
{
    const auto move = [this](qsizetype p, bool estende) { defineCursor(p, estende); };
    const auto vertical = [&](qsizetype linhas, bool estende) {
        const qsizetype l = linhaDe(cursor_);
        const qsizetype coluna = colunaDesejada_ >= 0 ? colunaDesejada_ : colunaDe(linha(l), cursor_ - inicioLinha(l));
        move(naLinhaDistante(linhas), estende);
        colunaDesejada_ = coluna;
    };
    const int pagina = linhasVisiveis();
    if (e == QKeySequence::SelectAll)
        selecionaTudo();
    else if (e == QKeySequence::Copy)
        copiar();
    else if (e == QKeySequence::Cut)
        recortar();
    else if (e == QKeySequence::Paste)
        colar();
    else if (e == QKeySequence::MoveToNextChar || e == QKeySequence::SelectNextChar)
        move(seguinte(cursor_), e == QKeySequence::SelectNextChar);
    else if (e == QKeySequence::MoveToPreviousChar || e == QKeySequence::SelectPreviousChar)
        move(anterior(cursor_), e == QKeySequence::SelectPreviousChar);
    else if (e == QKeySequence::MoveToNextWord || e == QKeySequence::SelectNextWord)
        move(palavraSeguinte(cursor_), e == QKeySequence::SelectNextWord);
    else if (e == QKeySequence::MoveToPreviousWord || e == QKeySequence::SelectPreviousWord)
        move(palavraAnterior(cursor_), e == QKeySequence::SelectPreviousWord);
    else if (e == QKeySequence::MoveToNextLine || e == QKeySequence::SelectNextLine)
        vertical(1, e == QKeySequence::SelectNextLine);
    else if (e == QKeySequence::MoveToPreviousLine || e == QKeySequence::SelectPreviousLine)
        vertical(-1, e == QKeySequence::SelectPreviousLine);
    else if (e == QKeySequence::MoveToNextPage || e == QKeySequence::SelectNextPage)
        vertical(pagina, e == QKeySequence::SelectNextPage);
    else if (e == QKeySequence::MoveToPreviousPage || e == QKeySequence::SelectPreviousPage)
        vertical(-pagina, e == QKeySequence::SelectPreviousPage);
    else if (e == QKeySequence::MoveToStartOfLine || e == QKeySequence::SelectStartOfLine)
        move(inicioLinha(linhaDe(cursor_)), e == QKeySequence::SelectStartOfLine);
    else if (e == QKeySequence::MoveToEndOfLine || e == QKeySequence::SelectEndOfLine)
        move(fimLinha(linhaDe(cursor_)), e == QKeySequence::SelectEndOfLine);
    else if (e == QKeySequence::MoveToStartOfDocument || e == QKeySequence::SelectStartOfDocument)
        move(0, e == QKeySequence::SelectStartOfDocument);
    else if (e == QKeySequence::MoveToEndOfDocument || e == QKeySequence::SelectEndOfDocument) {
        garanteCompleto();
        atualizaBarras();
        move(texto_.size(), e == QKeySequence::SelectEndOfDocument);
    } else if (somenteLeitura_)
        e->ignore();
    else if (e == QKeySequence::Undo)
        desfaz();
    else if (e == QKeySequence::Redo)
        refaz();
    else if (e == QKeySequence::InsertParagraphSeparator || e == QKeySequence::InsertLineSeparator)
        insere(QStringLiteral("\r\n"));
    else if (e == QKeySequence::Delete || e->key() == Qt::Key_Backspace) {
        if (!temSelecao())
            ancora_ = e->key() == Qt::Key_Backspace ? anterior(cursor_) : seguinte(cursor_);
        insere(QString());
    } else {
        const QString t = e->text();
        const bool imprimivel =
            !t.isEmpty() && std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c.isPrint() || c == u'\t'; });
        if (imprimivel && !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
            insere(t);
        else
            e->ignore();
    }
}

void VisorTexto::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    defineCursor(posicaoEm(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
}

void VisorTexto::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton)
        defineCursor(posicaoEm(e->position().toPoint()), true);
}

void VisorTexto::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const qsizetype p = posicaoEm(e->position().toPoint());
    const qsizetype l = linhaDe(p);
    qsizetype a = p, b = p;
    const qsizetype ini = inicioLinha(l), fim = fimLinha(l);
    while (a > ini && !espaco(texto_.at(a - 1)))
        --a;
    while (b < fim && !espaco(texto_.at(b)))
        ++b;
    defineCursor(a);
    defineCursor(b, true);
}

void VisorTexto::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    const bool editavel = !somenteLeitura_;
    menu.addAction(QStringLiteral("Desfazer"), this, &VisorTexto::desfaz)->setEnabled(editavel && !desfazer_.isEmpty());
    menu.addAction(QStringLiteral("Refazer"), this, &VisorTexto::refaz)->setEnabled(editavel && !refazer_.isEmpty());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Recortar"), this, &VisorTexto::recortar)->setEnabled(editavel && temSelecao());
    menu.addAction(QStringLiteral("Copiar"), this, &VisorTexto::copiar)->setEnabled(temSelecao());
    menu.addAction(QStringLiteral("Colar"), this, &VisorTexto::colar)
        ->setEnabled(editavel && !QApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Selecionar tudo"), this, &VisorTexto::selecionaTudo);
    menu.exec(e->globalPos());
}

void VisorTexto::inputMethodEvent(QInputMethodEvent* e)
{
    if (!e->commitString().isEmpty())
        insere(e->commitString());
    e->accept();
}

QVariant VisorTexto::inputMethodQuery(Qt::InputMethodQuery consulta) const
{
    switch (consulta) {
    case Qt::ImEnabled:
        return !somenteLeitura_;
    case Qt::ImCursorRectangle:
        return retanguloCursor().translated(viewport()->pos());
    case Qt::ImFont:
        return font();
    default:
        return QAbstractScrollArea::inputMethodQuery(consulta);
    }
}

void VisorTexto::focusInEvent(QFocusEvent* e)
{
    reiniciaPisca();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(e);
}

void VisorTexto::focusOutEvent(QFocusEvent* e)
{
    pisca_.stop();
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(e);
}

void VisorTexto::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    atualizaBarras();
}

void VisorTexto::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        atualizaBarras();
        viewport()->update();
    }
}

void VisorTexto::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == pisca_.timerId()) {
        cursorAceso_ = !cursorAceso_;
        viewport()->update(retanguloCursor());
    } else if (e->timerId() == varredura_.timerId()) {
        varre(PASSO_FUNDO);
        if (completo_)
            varredura_.stop();
        atualizaBarras();
    } else {
        QAbstractScrollArea::timerEvent(e);
    }
}

void VisorTexto::scrollContentsBy(int, int)
{
    // The scroll bar may reach lines not indexed yet; the estimate then grows true.
    if (!completo_ && verticalScrollBar()->value() + linhasVisiveis() >= inicios_.size()) {
        garanteLinha(verticalScrollBar()->value() + linhasVisiveis());
        atualizaBarras();
    }
    viewport()->update();
}

}  // namespace tivane
