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
    setAccessibleDescription(fillStyle_ == UpwardDiagonal ? tr("no color chosen") : ToQColor(backColor_).name());
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(backColor_));
    // In the text colour, so that the hatch shows on a dark theme too. The
    // border is one device pixel inside the edge at any scale.
    const QColor ink = palette().color(QPalette::WindowText);
    if (fillStyle_ == UpwardDiagonal)
        painter.fillRect(rect(), QBrush(ink, Qt::BDiagPattern));
    const qreal half = 0.5 / devicePixelRatioF();
    painter.setPen(QPen(ink, 0));
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}
