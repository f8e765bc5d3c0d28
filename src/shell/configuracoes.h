#pragma once
// The settings the settings window edits, read and written as one record, and
// the rules its boxes follow.
#include <QString>

namespace tivane {

struct Configuracoes {
    bool umavia = false;          // "01": one copy of the receipt (else two)
    bool colorido = false;        // "02": colour receipt (else black)
    bool bloqueia = false;        // "03": inactivity sweep at start-up
    bool iniciaauto = false;      // "04": start without a password
    bool codigo = false;          // "05": tither's code on the receipt
    bool margem = false;          // "06": receipt border
    bool mesreferencia = false;   // "07": reference month and year
    QString tempolimite;          // days of the sweep
    QString caminhopadrao;        // data folder
    QString msgcentral;           // central text of the receipt

    bool operator==(const Configuracoes& o) const;
};

// As stored; a missing text reads as empty and a missing option as no.
Configuracoes lerconfiguracoes();
// Writes the seven options, "tempolimite", "caminhopadrao" and "msgcentral"
// as given ("caminhologo" is written by the background buttons). False when
// the settings store could not be written.
[[nodiscard]] bool gravaconfiguracoes(const Configuracoes& c);

// Days of the sweep as a whole number: the value of the leading digits, and
// "60" when that is 0 (empty, "0", or no leading digit).
QString normalizatempolimite(const QString& texto);
constexpr int MAXIMO_DIGITOS_TEMPOLIMITE = 5;

// Why a data folder cannot be saved, or "" when it can: an empty text (the
// default folder) passes; otherwise it must be a complete path of an existing
// folder in which a file can be created.
QString verificapastadados(const QString& pasta);

}  // namespace tivane
