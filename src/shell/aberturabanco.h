#pragma once
// What the program does when an operation cannot open its database file.

#include <QString>

namespace tivane {

struct FalhaAbertura;

// Missing file: asks whether to restore the default settings (and then
// leaves an empty database to restore a backup into); no permission or a
// file that cannot be opened: says so. The program ends in every case.
// Installed with Banco::defineTratamentoAbertura before the login.
void tratafalhaabertura(const FalhaAbertura& falha);

// First run (no settings yet): creates the empty database in the default folder,
// and says why when it could not; the login then finds no file and asks as usual.
void primeiraexecucao();

// Tells the user, in plain words, that other accounts of this computer can
// write in the data folder and that it could not be closed to them. Installed
// with Banco::defineAvisoPastaInsegura before the login.
void avisapastainsegura(const QString& pasta);

}  // namespace tivane
