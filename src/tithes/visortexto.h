#pragma once
// A plain-text box for long reports: one compact text, a fixed-pitch font and
// an index of line starts. Only the lines on screen are decoded, laid out and
// painted, so showing a year of receipts costs the same as showing a day.
#include "core/textocompacto.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <QVector>

namespace tivane {

class VisorTexto : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit VisorTexto(QWidget* pai = nullptr);

    // Takes the text as it is (CRLF, LF or CR breaks); a compact text is not copied.
    void defineTexto(const TextoCompacto& texto);
    // The whole text with CRLF line breaks.
    QString texto() const;

    bool isReadOnly() const { return somenteLeitura_; }
    void setReadOnly(bool somenteLeitura);

    qsizetype posicaoCursor() const { return cursor_; }
    bool temSelecao() const { return cursor_ != ancora_; }
    // The selected text with CRLF line breaks.
    QString textoSelecionado() const;
    // Positions inside a CRLF pair move before it.
    void defineCursor(qsizetype posicao, bool estendeSelecao = false);
    void selecionaTudo();
    // The clipboard gets "\n" line breaks, as other programs expect here.
    void copiar() const;
    void recortar();
    void colar();
    // Replaces the selection (or inserts at the caret), as typing does.
    void insere(const QString& texto);
    // Each change goes back and forth; letters typed in a row go back together.
    void desfaz();
    void refaz();
    // Reads the whole text to count its lines.
    int quantidadeLinhas() const;
    // The width the box needs, in its font, to show lines of that many
    // characters whole (the caret after the last one included) beside its
    // vertical scroll bar, so that no horizontal scroll bar is needed.
    int larguraParaColunas(int colunas) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery consulta) const override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    // ---- line index (filled as far as it is needed, the rest in the background)
    void varre(qsizetype quantos) const;
    void garanteLinha(qsizetype linha) const;
    void garanteCompleto() const;
    qsizetype linhaDe(qsizetype posicao) const;
    qsizetype inicioLinha(qsizetype linha) const { return inicios_.at(linha); }
    qsizetype fimLinha(qsizetype linha) const;
    qsizetype totalLinhas() const;  // estimated until the index is complete
    QString linha(qsizetype l) const;

    // ---- editing
    void preparaEdicao();
    void substitui(qsizetype de, qsizetype ate, const QString& novo);
    qsizetype anterior(qsizetype p) const;
    qsizetype seguinte(qsizetype p) const;
    qsizetype palavraAnterior(qsizetype p) const;
    qsizetype palavraSeguinte(qsizetype p) const;
    qsizetype naLinhaDistante(qsizetype linhas) const;

    // ---- screen
    double larguraCaractere() const;
    int alturaLinha() const;
    int linhasVisiveis() const;
    void atualizaBarras();
    void mostraCursor();
    qsizetype posicaoEm(const QPoint& p) const;
    QRect retanguloCursor() const;
    void reiniciaPisca();

    TextoCompacto texto_;
    mutable QVector<qsizetype> inicios_{0};
    mutable qsizetype varrido_ = 0;
    mutable qsizetype maiorLinha_ = 0;
    mutable bool completo_ = true;
    mutable bool quebrasSoltas_ = false;  // a CR or LF that is not part of a CRLF

    struct Passo {
        qsizetype posicao;
        QString removido, inserido;
    };
    QVector<Passo> desfazer_, refazer_;

    qsizetype cursor_ = 0;
    qsizetype ancora_ = 0;
    qsizetype colunaDesejada_ = -1;  // kept while moving up and down
    bool somenteLeitura_ = true;
    bool cursorAceso_ = true;
    QBasicTimer pisca_;
    QBasicTimer varredura_;
};

}  // namespace tivane
