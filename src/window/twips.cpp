#include "twips.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

double LogicalDpi(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 0;
    return dpi > 0 ? dpi : 96;
}

} // namespace

double TwipsPerPixel(const QWidget *widget)
{
    return 1440.0 / LogicalDpi(widget);
}

double FontPointSize(const QFont &font, const QWidget *widget)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() * 72.0 / LogicalDpi(widget);
}
