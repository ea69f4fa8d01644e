#pragma once

#include "colorvalue.h"

#include <QString>

class QWidget;

// The colour and font dialogs, with the properties they are preset from and
// read back through. The values stay between uses. ShowColor and ShowFont
// return false when the user cancels; the values are then left as they were.
class CommonDialog {
public:
    explicit CommonDialog(QWidget *parent = nullptr) : parent_(parent) {}
    virtual ~CommonDialog() = default;

    QString DialogTitle = QStringLiteral("Choose Color");
    ColorValue Color = 0;
    int Flags = 0;
    QString FontName;
    float FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;

    virtual bool ShowColor();
    virtual bool ShowFont();

protected:
    QWidget *parent_;
};

namespace CommonDialogFlags {
inline constexpr int ColorRgbInit = 1; // start from Color
inline constexpr int ColorFullOpen = 2;
inline constexpr int FontScreenFonts = 1;
} // namespace CommonDialogFlags
