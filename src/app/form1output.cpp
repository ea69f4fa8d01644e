// The window's output procedures: the two targets of the markup.
#include "form1.h"

#include "clipboardcontent.h"
#include "gradientmarkup.h"
#include "messageboxes.h"
#include "safefile.h"
#include "textcharacters.h"

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
    AppendToFile(OutputFileName(), BuildMarkup(characters, Channels));
    MsgBox(QStringLiteral("Done!"), MsgBoxStyle::OkOnly);
}

void Form1::MakeClipboardOutput()
{
    const TextCharacters characters(Text1->text());
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    ReplaceClipboardText(QString::fromUtf8(BuildMarkup(characters, Channels)));
    MsgBox(QStringLiteral("Done! (just press Ctrl+v to paste)"), MsgBoxStyle::OkOnly);
}
