// A 1,000,000-character paste into the text box: the time each keystroke
// takes to be handled and painted afterwards, and the processor time the
// idle window takes. Needs a display (Xvfb will do); prints the figures.
#include "fakes.h"
#include "form1.h"
#include "formdriver.h"
#include "workspace.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Workspace workspace;
    FakeMessageBoxes messages;
    FakeCommonDialog dialog;
    FakeProgramStarter starter;
    Form1 form({messages, dialog, starter});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    QLineEdit *const text1 = Form1Controls(form).Text1;

    QString text;
    for (int n = 0; n < 1000000; ++n)
        text += QChar(u'a' + n % 26);
    QApplication::clipboard()->setText(text);
    text1->setFocus();
    QElapsedTimer timer;
    timer.start();
    text1->paste();
    text1->repaint();
    std::printf("paste: %lld ms, %lld characters taken\n", timer.elapsed(), qlonglong(text1->text().size()));

    std::vector<double> keystrokes;
    text1->end(false);
    for (int key = 0; key < 30; ++key) {
        timer.restart();
        QTest::keyClick(text1, key % 2 ? Qt::Key_Backspace : Qt::Key_Left);
        text1->repaint();
        keystrokes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(keystrokes.begin(), keystrokes.end());
    std::printf("keystroke: median %.1f ms, worst %.1f ms\n", keystrokes[keystrokes.size() / 2], keystrokes.back());

    const double before = ProcessorSeconds();
    timer.restart();
    QTest::qWait(5000);
    std::printf("idle: %.1f%% of a core over %.1f s\n",
                100.0 * (ProcessorSeconds() - before) / (double(timer.elapsed()) / 1000.0),
                double(timer.elapsed()) / 1000.0);
    return 0;
}
