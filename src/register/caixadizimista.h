#pragma once
// The tither code box of the payments and reports windows: the name of the
// tither typed there, shown beside it.
class QLineEdit;
class QWidget;

namespace tivane {

// Looks up the tither of the code box and shows the answer: both boxes light
// blue for a known tither (the window's base colour otherwise) and the name
// in the name box; a failed read is reported. With procuravazio false an
// empty code counts as not found, without a read.
void mostradizimistadocodigo(QWidget* janela, QLineEdit* codigo, QLineEdit* nome, bool procuravazio);

}  // namespace tivane
