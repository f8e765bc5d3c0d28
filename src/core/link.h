#pragma once
// The program's one way of opening a web, mail or call link.
#include <QString>

namespace tivane {

// Hands the link to the desktop. A link nothing handles opens nothing and
// shows nothing.
void abrelink(const QString& link);

}  // namespace tivane
