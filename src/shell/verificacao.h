#pragma once
// The database file's integrity is checked after login, in the background, on
// a connection of its own: a damaged file is reported once, with what to do.
#include "core/integridade.h"

#include <QString>

namespace tivane {

// The warning for a check's result; empty when there is nothing to say (a good
// file, a check stopped before its end, or one busy with another program's write).
QString avisoverificacao(const QString& caminho, const VerificacaoBanco& v);

// Starts the check of the file on a thread of its own and returns at once; while
// the start-up sweep is due or running, the check starts after it. The warning, if
// any, is shown on the user-interface thread when the check ends. Runs once per
// program start; later calls do nothing. Leftover copies in the data folder go first.
void verificabancoaposlogin(const QString& caminho);

// Waits for a check due or in progress to end and its warning to be shown; true when
// none is left. The program's end stops the check instead of waiting for it.
bool aguardaverificacao(int ms = 30000);

// Stops a check in progress (the next start checks again) and waits for its thread.
void paraverificacao();

}  // namespace tivane
