#include "panels/PanelResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerImages()
{
    Q_INIT_RESOURCE(images);
}

void initPanelResources()
{
    static const bool done = (registerImages(), true);
    (void)done;
}

QString pngResourcePath(int resourceId)
{
    return QStringLiteral(":/png/%1.png").arg(resourceId);
}
