#pragma once

#include "colorvalue.h"
#include "previewrenderer.h"

#include <optional>

class QWidget;

// The colour and font dialogs. Each starts from a value and gives back the
// user's choice, or nothing when the user cancels. The colour dialog keeps
// the last colour it showed, to start from when it is given none.
class CommonDialog {
public:
    explicit CommonDialog(QWidget *parent = nullptr) : parent_(parent) {}
    virtual ~CommonDialog() = default;
    CommonDialog(const CommonDialog &) = delete;
    CommonDialog &operator=(const CommonDialog &) = delete;

    std::optional<ColorValue> ShowColor(std::optional<ColorValue> start = std::nullopt);
    std::optional<PreviewFont> ShowFont(const PreviewFont &start);

protected:
    // The dialogs themselves; tests answer in their place.
    virtual std::optional<ColorValue> RunColorDialog(ColorValue start);
    virtual std::optional<PreviewFont> RunFontDialog(const PreviewFont &start);

private:
    QWidget *parent_;
    ColorValue color_ = 0;
};
