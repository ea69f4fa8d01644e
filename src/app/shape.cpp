#include "shape.h"

#include "qtcolor.h"

#include <QPainter>

Shape::Shape(QWidget *parent) : QWidget(parent)
{
    Describe();
}

void Shape::SetBackColor(ColorValue color)
{
    backColor_ = color;
    Describe();
    update();
}

void Shape::SetFillStyle(int style)
{
    fillStyle_ = style;
    Describe();
    update();
}

void Shape::ShowColor(ColorValue color)
{
    fillStyle_ = Transparent;
    SetBackColor(color);
}

void Shape::Describe()
{
    setAccessibleDescription(fillStyle_ == UpwardDiagonal ? tr("no colour chosen") : ToQColor(backColor_).name());
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, ToQColor(backColor_));
    // In the text colour, so that the hatch shows on a dark theme too.
    const QColor ink = palette().color(QPalette::WindowText);
    if (fillStyle_ == UpwardDiagonal)
        painter.fillRect(box, QBrush(ink, Qt::BDiagPattern));
    painter.setPen(ink);
    painter.drawRect(box);
}
