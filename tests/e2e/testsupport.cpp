#include "testsupport.h"

#include "huespinsession.h"

#include <QDir>

int FindLeftmostPixel(const QImage &image, QRect area, const QColor &color)
{
    area = area.intersected(image.rect());
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (image.pixel(x, y) == color.rgb())
                return x;
    return -1;
}

QString MakeArtifactPath(const QString &name)
{
    const QString folder = qEnvironmentVariable("E2E_ARTIFACTS", QDir::tempPath());
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

bool ExitAndWait(HuespinSession &session)
{
    session.Click(Control::Command4);
    return session.WaitForEnd() && session.EndedCleanly();
}
