#pragma once
// The church header block that opens every text report, and the pieces of
// layout that all reports share.
#include <QString>

#include "core/igreja.h"

namespace tivane {

// Line break of report texts (saved and printed files keep it).
inline QString quebralinha() { return QStringLiteral("\r\n"); }
// The rule: 98 hyphens.
QString reguarelatorio();

// Line break, rule, "Igreja:", "Endereço" and "Tel " lines, rule (without a
// final line break). Empty when the church has no row.
QString cabecalhoigreja(const DadosIgreja& igreja);
// The same from the church row in the database.
QString cabecalhoigreja();

}  // namespace tivane
