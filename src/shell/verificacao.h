#pragma once
// The database file's integrity is checked after login, in the background, on
// a connection of its own: a damaged file is reported once, with what to do.
#include "core/integridade.h"

#include <QString>

namespace tivane {

// The warning for a check's result; empty when there is nothing to say (a good
// file, or one busy with another program's write).
QString avisoverificacao(const QString& caminho, const VerificacaoBanco& v);

// Starts the check of the file on a thread of its own and returns at once. The
// warning, if any, is shown on the user-interface thread when the check ends.
// Runs once per program start; later calls do nothing.
void verificabancoaposlogin(const QString& caminho);

// Waits for a check in progress to end and its warning to be shown; true when
// none is left running. The program's end waits here too.
bool aguardaverificacao(int ms = 30000);

}  // namespace tivane
