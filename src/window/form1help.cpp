// Help: the readme that the program writes itself, and opening it.
#include "form1.h"

#include "messageboxes.h"
#include "programstarter.h"
#include "readmetext.h"
#include "safefile.h"
#ifdef _WIN32
#include "regeditor.h"
#endif

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

namespace {

const QString ReadmeFile = QStringLiteral("readme.txt");

// Started from the menu, the readme is in a folder the user may not know.
QString NoNotepadPrompt()
{
    return Form1::tr("Read readme.txt! I can't find your notepad!") + QLatin1Char('\n')
           + QDir::toNativeSeparators(QFileInfo(ReadmeFile).absoluteFilePath());
}

} // namespace

// An empty readme is what a full disk or a kill left; it is written again.
bool Form1::ReadmeMissing()
{
    const QFileInfo readme(ReadmeFile);
    return !readme.exists() || readme.size() == 0;
}

void Form1::WriteReadme()
{
    WriteFile(ReadmeFile, ReadmeText());
}

// The system's Notepad: on Windows the one in the system folder, elsewhere
// the desktop's opener for text files.
void Form1::ShowHelp()
{
#ifdef _WIN32
    Reg = std::make_unique<RegEditor>();
    Reg->SetHKey(std::int32_t(0x80000002u));
    Reg->SubKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\");
    Reg->ValName("SystemRoot");
    const QString notepad = QString::fromStdString(Reg->GetValue().value_or("")) + QStringLiteral("\\notepad.exe");
    const bool found = QFileInfo::exists(notepad);
#else
    const QString notepad = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    const bool found = !notepad.isEmpty();
#endif
    if (!found) {
        MsgBox(NoNotepadPrompt(), MsgBoxStyle::Exclamation);
        return;
    }
    if (ReadmeMissing())
        WriteReadme();
    // An opener that finds no program for text files ends with a failure
    // (xdg-open exits 3 or 4); the window stays usable while it runs.
    const QPointer<Form1> self(this);
    services_.Starter.Start(notepad, {ReadmeFile}, QDir::currentPath(), [self] {
        if (self)
            self->RunEvent([&] { self->MsgBox(NoNotepadPrompt(), MsgBoxStyle::Exclamation); });
    });
}
