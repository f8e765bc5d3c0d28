#pragma once
// Justifies the paragraphs of a rich text box: left-aligned paragraphs between
// two character positions become justified; the others keep their alignment.
class QTextEdit;

namespace tivane {

// Positions beyond the text are taken as its end. Leaves the caret at the
// start with nothing selected.
void justifica(QTextEdit* caixa, int inicio, int fim);

}  // namespace tivane
