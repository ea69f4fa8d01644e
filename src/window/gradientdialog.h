#pragma once

#include "gradient.h"

#include <QDialog>

class CommonDialog;
class GradientStrip;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// Shapes the gradient: its stops from Color 1 to Color 2 as a row of
// swatches over a strip that shows it, stops added between any two, removed,
// moved, coloured and placed; the blend; a preset to start from. The
// colours come from the window's colour dialog. The controls carry object
// names, by which tests find them.
class GradientDialog : public QDialog {
    Q_OBJECT

public:
    GradientDialog(const Gradient &gradient, CommonDialog &colors, QWidget *parent);

    // The gradient as the dialog shows it, its ends Color 1 and Color 2.
    const Gradient &Chosen() const { return gradient_; }

private:
    void ShowStops(int select);
    void ShowSelected();
    int Selected() const;
    bool IsBetween(int row) const;
    void AddStop();
    void RemoveStop();
    void MoveStop(int by);
    void PickColor();
    void TakePosition(const QString &text);
    void ChooseBlend(int index);
    void ChoosePreset(int index);

    Gradient gradient_;
    CommonDialog &colors_;
    GradientStrip *strip_ = nullptr;
    QListWidget *swatches_ = nullptr;
    QPushButton *add_ = nullptr, *remove_ = nullptr, *left_ = nullptr, *right_ = nullptr, *color_ = nullptr;
    QLineEdit *position_ = nullptr;
    QComboBox *blend_ = nullptr, *preset_ = nullptr;
};
