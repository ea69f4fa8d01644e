// The window's output procedures: the two targets of the markup.
#include "form1.h"

#include "clipboardcontent.h"
#include "messageboxes.h"
#include "safefile.h"
#include "textcharacters.h"
#include "windowmarkup.h"

#include <QLineEdit>

#include <memory>

QString Form1::OutputFileName()
{
    return QStringLiteral("output.html");
}

// The split of the text the outputs last read: another output of the same
// text (in another format or colours, or again) takes it as it is.
const TextCharacters &Form1::OutputCharacters()
{
    const QString text = Text1->text();
    if (!outputCharacters_ || outputCharacters_->Text() != text)
        outputCharacters_.emplace(text);
    return *outputCharacters_;
}

void Form1::MakeFileOutput()
{
    const TextCharacters &characters = OutputCharacters();
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    AppendToFile(OutputFileName(), BuildMarkup(characters, Channels, Shaping, outputFormat_, outputOptions_));
    MsgBox(tr("Done!"), MsgBoxStyle::OkOnly);
}

// The clipboard changes owner as soon as the input is known to be good, and
// the markup is made for it right after, before the message: a paster is
// served from the event loop, so it never finds the content unmade.
void Form1::MakeClipboardOutput()
{
    const TextCharacters &characters = OutputCharacters();
    if (!CheckInput(characters))
        return;
    // The steps raise the Overflow of a text too long, before the clipboard
    // changes.
    SplitColors(characters);
    auto content = std::make_unique<DeferredContent>();
    const ColorChannels start = Channels;
    const MarkupFormat format = outputFormat_;
    content->AddFlavour(QStringLiteral("text/plain"), [this, &characters, format, options = outputOptions_] {
        return BuildMarkup(characters, Channels, Shaping, format, options);
    });
    // The HTML formats go as HTML too, in span elements with the same styles
    // and spaces, so that a rich editor pastes coloured text rather than tags.
    if (format == MarkupFormat::Font || format == MarkupFormat::Span)
        content->AddFlavour(
            QStringLiteral("text/html"), [&characters, start, shaping = Shaping, options = outputOptions_] {
                ColorChannels channels = start;
                return HtmlFragment(BuildMarkup(characters, channels, shaping, MarkupFormat::Span, options));
            });
    ReplaceClipboardContent(std::move(content));
    MsgBox(tr("Done! (just press Ctrl+v to paste)"), MsgBoxStyle::OkOnly);
}
