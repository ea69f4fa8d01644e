#include "previewrenderer.h"

#include <optional>
#include <utility>

namespace {

void SetStyle(LabelArray::Element label, const PreviewStyle &style)
{
    label.SetBackColor(style.BackColor);
    label.SetFontSize(style.Font.Size);
    label.SetFontName(style.Font.Name);
    label.SetFontBold(style.Font.Bold);
    label.SetFontItalic(style.Font.Italic);
}

// Element i stands right after element i - 1, at its height.
void PlaceAfter(LabelArray &labels, int i)
{
    const LabelArray::ConstElement previous = std::as_const(labels)[i - 1];
    labels[i].SetLeft(previous.Left() + previous.Width());
}

void AdvanceRunning(ColorChannels &c)
{
    c.Red1 = AddInteger16(c.Red1, c.StepRed);
    c.Green1 = AddInteger16(c.Green1, c.StepGreen);
    c.Blue1 = AddInteger16(c.Blue1, c.StepBlue);
}

} // namespace

void PreviewRenderer::Build(const TextCharacters &characters, ColorChannels &c, const PreviewStyle &style,
                            const Gradient *gradient)
{
    const std::int16_t n = ToInteger16(characters.Count());
    std::optional<GradientColors> colors;
    if (gradient)
        colors.emplace(*gradient, std::size_t(n));
    GradientColors::Walk walk;
    const auto next = [&](ColorValue classic) {
        if (!colors)
            return classic;
        const Rgb rgb = colors->Next(walk);
        return ComposeColor(std::int16_t(rgb.red), std::int16_t(rgb.green), std::int16_t(rgb.blue));
    };
    UnloadShown();

    LabelArray::Element first = labels_[1];
    first.SetCaption(characters[0].toString());
    first.SetForeColor(next(ComposeColor(c.Red1, c.Green1, c.Blue1)));
    SetStyle(first, style);

    int i = 2;
    for (; i <= n - 1; ++i) {
        AdvanceRunning(c);
        SetStyle(LoadNext(i, characters[i - 1].toString(), next(ComposeColor(c.Red1, c.Green1, c.Blue1))), style);
    }
    // The last element keeps the style it copied from element 1 on loading;
    // the running channels advance once more all the same.
    AdvanceRunning(c);
    LoadNext(i, characters[i - 1].toString(), next(ComposeColor(c.Red2, c.Green2, c.Blue2)));

    for (int j = 1; j <= n; ++j)
        labels_[j].SetVisible(true);
    shownCount_ = n;
}

LabelArray::Element PreviewRenderer::LoadNext(int i, const QString &caption, ColorValue foreColor)
{
    labels_.Load(i);
    shownCount_ = std::int16_t(i); // a build that fails after this still unloads it next time
    LabelArray::Element label = labels_[i];
    label.SetForeColor(foreColor);
    label.SetAutoSize(true);
    label.SetTop(labels_[i - 1].Top());
    label.SetCaption(caption);
    PlaceAfter(labels_, i);
    return label;
}

void PreviewRenderer::Clear()
{
    LabelArray::Element first = labels_[1];
    first.SetBackColor(ButtonFaceColor);
    first.SetCaption(QString());
    UnloadShown();
}

void PreviewRenderer::UnloadShown()
{
    for (; shownCount_ >= 2; --shownCount_)
        labels_.Unload(shownCount_);
    shownCount_ = 0;
}

void ApplyPreviewFont(LabelArray &labels, const PreviewFont &font)
{
    const int count = labels.Count();
    for (int i = 1; i <= count; ++i) {
        LabelArray::Element label = labels[i];
        label.SetVisible(false);
        label.SetFontSize(font.Size);
        label.SetFontBold(font.Bold);
        label.SetFontItalic(font.Italic);
        label.SetFontName(font.Name);
    }
    labels[1].SetVisible(true);
    for (int i = 2; i <= count; ++i) {
        PlaceAfter(labels, i);
        labels[i].SetVisible(true);
    }
}

void ApplyPreviewBackColor(LabelArray &labels, ColorValue color)
{
    const int count = labels.Count();
    for (int i = 1; i <= count; ++i)
        labels[i].SetBackColor(color);
}
