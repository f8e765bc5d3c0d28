#include "tithes/justificacao.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace tivane {

void justifica(QTextEdit* caixa, int inicio, int fim)
{
    if (!caixa)
        return;
    QTextDocument* doc = caixa->document();
    const int ultimo = qMax(0, doc->characterCount() - 1);
    inicio = qBound(0, inicio, ultimo);
    fim = qBound(inicio, fim, ultimo);

    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (QTextBlock b = doc->findBlock(inicio); b.isValid() && b.position() <= fim; b = b.next()) {
        const Qt::Alignment horizontal = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (horizontal != Qt::AlignLeft && horizontal != Qt::AlignLeading &&
            horizontal != (Qt::AlignLeft | Qt::AlignAbsolute))
            continue;
        QTextBlockFormat f = b.blockFormat();
        f.setAlignment(Qt::AlignJustify);
        cursor.setPosition(b.position());
        cursor.setBlockFormat(f);
    }
    cursor.endEditBlock();

    QTextCursor inicioTexto(doc);
    inicioTexto.setPosition(0);
    caixa->setTextCursor(inicioTexto);
}

}  // namespace tivane
