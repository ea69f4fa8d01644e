#include "readmetext.h"

#include "version.h"

#include <QCoreApplication>

#include <span>

namespace {

// The text in sections, each line ending with a line end; the first holds the
// version as %1.
constexpr const char *ReadmeSections[] = {
    //: readme.txt, which Help & About opens: plain text, lines of at most 80 characters
    QT_TRANSLATE_NOOP("Readme", " Huespin v%1  /                                   14-7-98\n"
                                "                   /   the Huespin developers\n"
                                "----------------------------------------------------------------\n"
                                "\n"
                                "(for 'whats new' scroll down... =P)\n"
                                "\n"),
    QT_TRANSLATE_NOOP("Readme", " Legal stuff\n"
                                " -----------\n"
                                "Copyright (c) 1998-2026 the Huespin developers. MIT licence: free to use,\n"
                                "copy, change and pass on, WITHOUT ANY WARRANTY; see the file LICENSE.\n"),
    QT_TRANSLATE_NOOP("Readme", " Interesting stuff and what you really have to read\n"
                                " --------------------------------------------------\n"
                                "This program creates colorized text you can than paste to your HTML\n"
                                "files. it works this way:\n"
                                " - Enter a string\n"
                                " - Choose Color[1]\n"
                                " - Choose Color[2]\n"
                                "\n"
                                " Now you can [Preview] the output. When you do this, you get two more\n"
                                " buttons - one to change the font of the previewed text, and one to change\n"
                                " its background. fun eh? =P\n"
                                " When you're done, hit [Clipboard], or the button next to it and then [File]\n"
                                " and the prog will generate your output. If you choose [Clipboard], you'll\n"
                                " be able to paste it to your html. If [File] is what you desire(heheheheh),\n"
                                " the prog will open a file called output.html in its directory. Now, you can\n"
                                " repeat this routine until your harddisk is full with this file. (if you\n"
                                " chose [Clipboard] the output won't append to the clipboard! you'll have to\n"
                                " paste it one-by-one...)\n"
                                " There is also a [Swap] button - you can enter half a sentence, hit [File],\n"
                                " (or [Clipboard] dammit! =P), type the rest of it, hit [Swap] and change the\n"
                                " second color and so on.\n"
                                " Uhhh.. by the way, the program doesn't write the preview settings to the\n"
                                " output. Any plain text editor is a fine tool to put it in your pages.\n"
                                "\n"),
    QT_TRANSLATE_NOOP("Readme", "The output of Huespin was tested with:\n"
                                " Opera Browser v3.2\n"
                                " Netscape Navigator 4.05\n"
                                " CSE 3310 HTML Validator v3.00beta\n"
                                "\n"
                                "(you can remove the </font> tags that follow each character but it is\n"
                                "not recommended - it probably won't work with Opera and by the HTML\n"
                                "Validator it will be full with errors.)\n"
                                "\n"),
    QT_TRANSLATE_NOOP("Readme", " New in version 1.4 -- 14-07-98\n"
                                " ------------------\n"
                                "Totally new registry handling routines.\n"
                                "Added [Uninstall] feature that removes all registry settings(restores\n"
                                "defaults). Changed Interface a bit...\n"
                                "\n"
                                " New in version 1.3 -- 05-07-98\n"
                                " ------------------\n"
                                "Preview Added(!), and Change Font/Change Background color(for the preview).\n"
                                "The prog now saves all of its settings - text, two colors, preview font&bkg.\n"
                                "some code optimization, bugs fixed. Clipboard option.\n"
                                "\n"
                                " New in version 1.2 -- 26-06-98\n"
                                " ------------------\n"
                                "Some small bugs fixed. code optimization.\n"
                                "changed icon. =)\n"
                                "\n"
                                " New in version 1.1 -- 22-06-98\n"
                                " ------------------\n"
                                "Program changes sequential spaces to non-breaking spaces.\n"
                                "\n"
                                "(first release v1.0 -- 24-05-98)\n"
                                "\n"
                                "\n"),
    QT_TRANSLATE_NOOP("Readme", " How to contact the author\n"
                                " -------------------------\n"
                                "HTTP Site:\n"
                                "the Huespin project's page, where you got this program\n"
                                "\n"
                                "Email:\n"
                                "none; write through the project's issue tracker\n"
                                "\n"
                                "ICQ:\n"
                                "none\n"
                                "\n"
                                "IRC:\n"
                                "none\n"
                                "\n"
                                "Snail:\n"
                                "no postal address;\n"
                                "the Huespin developers\n"
                                "answer through the project's\n"
                                "issue tracker\n"
                                "\n"),
    QT_TRANSLATE_NOOP("Readme", " Greetz\n"
                                " ------\n"
                                "to everyone who puts a little colour in a web page,\n"
                                "and to all who send in bug reports. =)\n"
                                "\n"),
};

} // namespace

// In the user's language, its lines ending with CR LF for Notepad.
QByteArray ReadmeText()
{
    QString text = QCoreApplication::translate("Readme", ReadmeSections[0]).arg(QStringLiteral(HUESPIN_VERSION));
    for (const char *section : std::span(ReadmeSections).subspan(1))
        text += QCoreApplication::translate("Readme", section);
    return text.toUtf8().replace("\n", "\r\n");
}
