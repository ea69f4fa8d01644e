#pragma once

#include "colorvalue.h"

#include <QWidget>

// A rectangle swatch: an opaque fill in its back colour, under a hatch
// while its fill style is the diagonal one.
class Shape : public QWidget {
    Q_OBJECT

public:
    static constexpr int Transparent = 1;
    static constexpr int UpwardDiagonal = 4;

    explicit Shape(QWidget *parent = nullptr);

    ColorValue BackColor() const { return backColor_; }
    void SetBackColor(ColorValue color);
    int FillStyle() const { return fillStyle_; }
    void SetFillStyle(int style);
    // The chosen look: solid in the colour.
    void ShowColor(ColorValue color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Describe();

    ColorValue backColor_ = ColorValue(0x80000005u); // window background
    int fillStyle_ = Transparent;
};
