#include "Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initQuorvexResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace appResources {

void ensureLoaded()
{
    static const bool loaded = (initQuorvexResources(), true);
    (void)loaded;
}

} // namespace appResources
