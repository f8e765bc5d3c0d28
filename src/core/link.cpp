#include "core/link.h"

#include "core/dialogos.h"

namespace tivane {

void abrelink(const QString& link)
{
    Dialogos::abreLink(link);
}

}  // namespace tivane
