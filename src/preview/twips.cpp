#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

double TwipsPerPixel(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
