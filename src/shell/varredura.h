#pragma once
// The start-up inactivity sweep: active tithers who have not paid for more
// than "tempolimite" days are marked inactive.
#include <QDate>
#include <QString>
#include <functional>

namespace tivane {

// Days of the setting "tempolimite": a whole number of days, 0 or more;
// anything else ("abc", "12,5", "-5", empty) counts as 120.
int diasdavarredura(const QString& tempolimite);

struct [[nodiscard]] ResultadoVarredura {
    int inativados = 0;   // tithers marked inactive
    bool ok = true;       // false: nothing was written, cause in erro
    bool leitura = false; // the failure was a read, not a write
    QString erro;
};

// Marks inactive every active tither whose last payment (never before
// 01/01/2010; the registration date when there is none; reversals never
// count) plus `dias` lies before `hoje`. A tither whose dates cannot be read
// keeps the flag. One grouped pass over the tables; andamento(i, total) runs
// before each tither and may yield to the event loop: a sweep started from
// there does nothing. All flags are written in one transaction, and a tither
// paid while the sweep ran is left active.
ResultadoVarredura marcainativos(const QDate& hoje, int dias,
                                 const std::function<void(int atual, int total)>& andamento = {});

// Whether marcainativos is running now (it yields to the event loop).
bool varreduraemandamento();

// The task of the main window's timer: reads "tempolimite", sweeps with the
// please-wait window and tells how many tithers were marked inactive.
void tempobloqueia_Timer();

}  // namespace tivane
