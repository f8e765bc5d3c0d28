#pragma once
// The tither code box of the payments and reports windows: the name of the
// tither typed there, shown beside it.
#include <QString>

#include "core/conexao.h"

class QLineEdit;
class QWidget;

namespace tivane {

// Whether a tither has the code typed in the box, and the name; an empty box
// is no tither's and reads nothing.
Leitura dizimistadacaixa(const QString& codigo, QString* nome = nullptr);

// Looks up the tither of the code box and shows the answer: both boxes light
// blue for a known tither (the window's base colour otherwise) and the name
// in the name box; a failed read is reported.
void mostradizimistadocodigo(QWidget* janela, QLineEdit* codigo, QLineEdit* nome);

}  // namespace tivane
