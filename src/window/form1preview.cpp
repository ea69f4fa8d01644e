// The preview: building, hiding and restyling it.
#include "form1.h"

#include "commondialog.h"
#include "formlayout.h"
#include "labelarray.h"
#include "previewrenderer.h"
#include "textcharacters.h"

#include <QFontInfo>
#include <QPushButton>

#include <cmath>
#include <utility>

PreviewStyle Form1::CurrentPreviewStyle() const
{
    return {PreviewBackColor, {PreviewFontName, float(PreviewFontSize), PreviewFontBold, PreviewFontItalic}};
}

// A build that fails (a text past the 16-bit count) fails before anything
// changes, so the window stays as it was and the next press tries again.
void Form1::ShowPreview(const QString &text)
{
    if (PreviewShown) {
        PreviewShown = false;
        HidePreview();
        return;
    }
    const TextCharacters characters(text);
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    Gradient whole;
    preview_->Build(characters, Channels, CurrentPreviewStyle(), ShapedGradient(whole));
    PreviewShown = true;
    Command8->setEnabled(true);
    Command9->setEnabled(true);
    Command7->setText(tr("Hide it"));
    SetFormSize(FormLayout::FormWidth, FormLayout::FormHeight);
}

void Form1::HidePreview()
{
    Command7->setText(tr("Preview"));
    Command8->setEnabled(false);
    Command9->setEnabled(false);
    preview_->Clear();
}

// The labels stay as they are; the next press builds afresh.
void Form1::ResetPreview()
{
    if (!PreviewShown)
        return;
    PreviewShown = false;
    Command7->setText(tr("Preview"));
}

// The dialog starts from the font that the preview really shows: the family
// that the system put in place of a missing one. A cancel changes nothing.
void Form1::ChangePreviewFont()
{
    const LabelArray::ConstElement first = std::as_const(*Label1)[1];
    QFont shown(first.FontName());
    shown.setPointSizeF(first.FontSize());
    shown.setBold(first.FontBold());
    shown.setItalic(first.FontItalic());
    const std::optional<PreviewFont> font =
        CommonDialog1.ShowFont({QFontInfo(shown).family(), first.FontSize(), first.FontBold(), first.FontItalic()});
    if (!font)
        return;

    ApplyPreviewFont(*Label1, *font);
    // Rounds half to even, as 10.5 gives 10 and 11.5 gives 12.
    PreviewFontSize = ToInteger16(std::lrint(font->Size));
    PreviewFontBold = font->Bold;
    PreviewFontItalic = font->Italic;
    PreviewFontName = font->Name;
}

void Form1::ChangePreviewBackColor()
{
    const std::optional<ColorValue> color = CommonDialog1.ShowColor((*Label1)[1].BackColor());
    if (!color)
        return;
    ApplyPreviewBackColor(*Label1, *color);
    PreviewBackColor = *color;
}
