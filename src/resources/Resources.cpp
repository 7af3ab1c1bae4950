#include "resources/Resources.h"

#include <QtGlobal>

static void initCompiled()
{
    Q_INIT_RESOURCE(pinvara);
    Q_INIT_RESOURCE(database);
    Q_INIT_RESOURCE(skins);
}

namespace resources {

void initResources()
{
    static const bool done = [] {
        initCompiled();
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace resources
