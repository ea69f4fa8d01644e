// Builds, rebuilds and hides a preview of 1,000 and 32,767 characters in a
// visible window, timing each step and reporting the peak memory.
#include "fakes.h"
#include "form1.h"
#include "formdriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

double Milliseconds(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents(); // the paint and the accessible name
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    QDir::setCurrent(dir.path());
    QApplication app(argc, argv);

    FakeMessageBoxes messages;
    FakeCommonDialog dialog;
    FakeProgramStarter starter;
    Form1 form({messages, dialog, starter});
    const Form1Controls ui(form);
    ChooseColors(ui, dialog, 0x0000FF, 0xFF8000);
    form.show();
    QCoreApplication::processEvents();

    for (int length : {1000, 32767}) {
        QString text;
        const QString pattern = QStringLiteral("The quick brown fox jumps over the lazy dog. ");
        while (text.size() < length)
            text += pattern;
        text.truncate(length);
        ui.Text1->setText(text);
        const double build = Milliseconds([&] { ui.Command7->click(); });
        text[0] = u'#'; // an edit makes the preview stale; the next press rebuilds
        ui.Text1->setText(text);
        const double rebuild = Milliseconds([&] { ui.Command7->click(); });
        const double hide = Milliseconds([&] { ui.Command7->click(); });
        std::printf("preview %5d characters: build %7.2f ms, rebuild %7.2f ms, hide %7.2f ms\n", length, build, rebuild,
                    hide);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the whole program: %.1f MB\n", double(usage.ru_maxrss) / 1024);
    for (const auto &shown : messages.shown)
        std::printf("unexpected message: %s\n", qPrintable(shown.prompt));
    return messages.shown.empty() ? 0 : 1;
}
