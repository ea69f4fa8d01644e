// The window's output procedures: the two targets of the markup.
#include "form1.h"

#include "clipboardcontent.h"
#include "messageboxes.h"
#include "safefile.h"
#include "textcharacters.h"
#include "windowmarkup.h"

#include <QLineEdit>

QString Form1::OutputFileName()
{
    return QStringLiteral("output.html");
}

void Form1::MakeFileOutput()
{
    const TextCharacters characters(Text1->text());
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    AppendToFile(OutputFileName(), BuildMarkup(characters, Channels, Shaping, outputFormat_));
    MsgBox(tr("Done!"), MsgBoxStyle::OkOnly);
}

void Form1::MakeClipboardOutput()
{
    const TextCharacters characters(Text1->text());
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    // The HTML formats go as HTML too, in span elements, so that a rich
    // editor pastes coloured text rather than tags.
    const bool html = outputFormat_ == MarkupFormat::Font || outputFormat_ == MarkupFormat::Span;
    ColorChannels start = Channels;
    const QByteArray markup = BuildMarkup(characters, Channels, Shaping, outputFormat_);
    ReplaceClipboardContent(QString::fromUtf8(markup),
                            html ? HtmlFragment(BuildMarkup(characters, start, Shaping, MarkupFormat::Span))
                                 : QByteArray());
    MsgBox(tr("Done! (just press Ctrl+v to paste)"), MsgBoxStyle::OkOnly);
}
