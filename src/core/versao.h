#pragma once
// The program's version, given by the build (project VERSION in CMakeLists.txt).
#include <QString>

namespace tivane {

constexpr int VERSAO_MAIOR = TIVANE_VERSAO_MAIOR;
constexpr int VERSAO_MENOR = TIVANE_VERSAO_MENOR;
constexpr int VERSAO_REVISAO = TIVANE_VERSAO_REVISAO;

// Major, minor and revision as plain numbers joined by "." ("1.1.2").
inline QString versaosistema()
{
    return QStringLiteral("%1.%2.%3").arg(VERSAO_MAIOR).arg(VERSAO_MENOR).arg(VERSAO_REVISAO);
}

}  // namespace tivane
