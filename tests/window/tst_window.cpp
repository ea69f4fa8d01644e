// The window on desktops of other fonts and scales: each ctest run of this
// test gets its dpi or scale factor from the environment.
#include "fakes.h"
#include "form1.h"
#include "formdriver.h"
#include "formlayout.h"
#include "workspace.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

namespace {

QString RemoveMnemonic(const QString &caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

QRect ContentsOf(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
}

// What the window held when its first paint came.
class FirstPaintWatch : public QObject {
public:
    std::optional<QString> text;
    QStringList hidden;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || text)
            return false;
        const auto *form = static_cast<QWidget *>(watched);
        const auto *box = form->findChild<QLineEdit *>(QStringLiteral("Text1"));
        text = box ? box->text() : QStringLiteral("(no text box)");
        for (const FormLayout::ControlPlace &place : FormLayout::Controls) {
            const QString name = QString::fromLatin1(place.name.data(), qsizetype(place.name.size()));
            if (const auto *control = form->findChild<QWidget *>(name); !control || !control->isVisible())
                hidden.append(name);
        }
        return false;
    }
};

} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionsFitAndSizeHolds_data();
    void captionsFitAndSizeHolds();
    void messageBoxIsCentred_data();
    void messageBoxIsCentred();
    void firstFrameIsWhole_data();
    void firstFrameIsWhole();

private:
    QFont desktopFont_;
    std::unique_ptr<Workspace> workspace_;
    FakeMessageBoxes messages_;
    FakeCommonDialog dialog_;
    FakeProgramStarter starter_;
};

void TestWindow::initTestCase()
{
    desktopFont_ = QApplication::font();
}

void TestWindow::init()
{
    workspace_ = std::make_unique<Workspace>();
}

void TestWindow::cleanup()
{
    QApplication::setFont(desktopFont_);
    workspace_.reset();
}

void TestWindow::captionsFitAndSizeHolds_data()
{
    QTest::addColumn<QString>("family"); // empty: Qt's own default
    QTest::addColumn<double>("size");
    QTest::newRow("Qt default") << QString() << 0.0;
    QTest::newRow("Cantarell 11") << "Cantarell" << 11.0;
    QTest::newRow("DejaVu Sans 11") << "DejaVu Sans" << 11.0;
    QTest::newRow("Cantarell 16") << "Cantarell" << 16.0;
    QTest::newRow("DejaVu Sans 14") << "DejaVu Sans" << 14.0;
}

void TestWindow::captionsFitAndSizeHolds()
{
    QFETCH(QString, family);
    QFETCH(double, size);
    if (!family.isEmpty()) {
        if (!QFontDatabase::families().contains(family))
            QSKIP(qPrintable(family + " is not installed"));
        QFont desktop(family);
        desktop.setPointSizeF(size);
        QApplication::setFont(desktop);
    }
    const QFont desktop = QApplication::font();
    Form1 form({messages_, dialog_, starter_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const Form1Controls ui(form);

    QCOMPARE(form.font().family(), desktop.family());
    QVERIFY(form.font().pointSizeF() <= desktop.pointSizeF());
    // Above 11 points the captions and the text show at the desktop's size.
    const double dpi = form.screen()->logicalDotsPerInchY();
    const double desktopPoints = desktop.pointSizeF() > 0 ? desktop.pointSizeF() : desktop.pixelSize() * 72 / dpi;
    if (desktopPoints > 11)
        QCOMPARE(form.font().pointSizeF(), desktopPoints);
    QCOMPARE(ui.Text1->font(), form.font());

    // Every caption that each button shows at some time.
    const QMap<QString, QStringList> later{
        {"Command3", {"File"}}, {"Command6", {"Help && About"}}, {"Command7", {"Hide it"}}};
    for (QPushButton *button : form.findChildren<QPushButton *>()) {
        const QRect contents = ContentsOf(button);
        const QFontMetrics metrics(button->font());
        for (const QString &caption : QStringList{button->text()} + later.value(button->objectName())) {
            if (caption.isEmpty())
                continue;
            const QString shown = RemoveMnemonic(caption);
            QVERIFY2(metrics.horizontalAdvance(shown) <= contents.width() && metrics.height() <= contents.height(),
                     qPrintable(QStringLiteral("\"%1\" (%2 x %3 px) does not fit %4 x %5 px at %6 pt")
                                    .arg(shown)
                                    .arg(metrics.horizontalAdvance(shown))
                                    .arg(metrics.height())
                                    .arg(contents.width())
                                    .arg(contents.height())
                                    .arg(button->font().pointSizeF())));
        }
    }

    // The window grows as at a higher dpi: by the desktop's font's ratio to
    // 11 points at least, its twips all scaled alike; up to 11 points it
    // keeps the design's size.
    const QSize outer = form.frameGeometry().size();
    const double scale = outer.width() * (1440 / dpi) / FormLayout::FormWidth;
    if (desktopPoints > 11)
        QVERIFY2(scale >= desktopPoints / 11 - 0.01, qPrintable(QString::number(scale)));
    else
        QVERIFY2(qAbs(scale - 1) < 0.01, qPrintable(QString::number(scale)));
    const double twipsPerPixel = 1440 / dpi / scale;
    // Whole pixels: within half a pixel of the design, or a pixel where the
    // scale is read from the rounded width.
    const double slack = desktopPoints > 11 ? twipsPerPixel : twipsPerPixel / 2;
    const FormLayout::ControlPlace text = FormLayout::Find("Text1");
    const QRect shown = ui.Text1->geometry();
    QVERIFY2(qAbs(shown.left() * twipsPerPixel - text.left) <= slack
                 && qAbs(shown.top() * twipsPerPixel - text.top) <= slack
                 && qAbs(shown.width() * twipsPerPixel - text.width) <= slack
                 && qAbs(shown.height() * twipsPerPixel - text.height) <= slack,
             qPrintable(QStringLiteral("the text box at %1,%2 %3 x %4 px")
                            .arg(shown.left())
                            .arg(shown.top())
                            .arg(shown.width())
                            .arg(shown.height())));
    // The preview's labels keep their size in twips: their font grows with
    // the window.
    QFont labelFont(QStringLiteral("MS Sans Serif"));
    labelFont.setPointSizeF(9.75);
    labelFont.setBold(true);
    const double labelTwips = QFontMetricsF(labelFont, &form).height() * 1440 / dpi;
    const double labelHeight = std::as_const(*ui.Label1)[1].Height();
    QVERIFY2(qAbs(labelHeight - labelTwips) <= labelTwips / 10,
             qPrintable(QStringLiteral("a label %1 twips high, not %2").arg(labelHeight).arg(labelTwips)));

    QVERIFY2(qAbs(outer.width() * twipsPerPixel - FormLayout::FormWidth) <= slack
                 && qAbs(outer.height() * twipsPerPixel - FormLayout::FormHeight) <= slack,
             qPrintable(QStringLiteral("%1 x %2 px at %3 twips a pixel")
                            .arg(outer.width())
                            .arg(outer.height())
                            .arg(twipsPerPixel)));
}

void TestWindow::messageBoxIsCentred_data()
{
    QTest::addColumn<bool>("windowShown");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::newRow("over the window") << true << "Centred"
                                     << "Huespin v" EXPECTED_VERSION;
    QTest::newRow("before the window shows") << false << "Centred"
                                             << "Huespin v" EXPECTED_VERSION;
    QTest::newRow("title longer than the text") << true << "Not enough data"
                                                << "Huespin v" EXPECTED_VERSION " (a longer caption)";
}

// Over the window's middle, or the screen's while the window is hidden (an
// error at start-up), never in a corner; wide enough for its whole title in
// a bold title font, with the frame's icon and three buttons beside it.
void TestWindow::messageBoxIsCentred()
{
    QFETCH(bool, windowShown);
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    QWidget window;
    // In the screen's middle: its edges would hold a wide box off the window's.
    QRect place(0, 0, 300, 120);
    place.moveCenter(QApplication::primaryScreen()->availableGeometry().center() + QPoint(10, 10));
    window.setGeometry(place);
    if (windowShown) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QRect box;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            box = shown->frameGeometry();
            shown->accept();
        }
    });
    answer.start(20);
    QtMessageBoxes(&window).MsgBox(prompt, MsgBoxStyle::Exclamation, title);
    const QPoint middle = windowShown ? window.frameGeometry().center() : window.screen()->availableGeometry().center();
    QVERIFY2((box.center() - middle).manhattanLength() <= 4,
             qPrintable(QStringLiteral("box at %1,%2 %3 x %4; middle %5,%6")
                            .arg(box.x())
                            .arg(box.y())
                            .arg(box.width())
                            .arg(box.height())
                            .arg(middle.x())
                            .arg(middle.y())));
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int titleWidth = metrics.horizontalAdvance(title) + 4 * metrics.height();
    QVERIFY2(box.width() >= titleWidth,
             qPrintable(QStringLiteral("%1 px wide for a title of %2 px").arg(box.width()).arg(titleWidth)));
}

void TestWindow::firstFrameIsWhole_data()
{
    QTest::addColumn<bool>("unreadableStore");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("stored settings") << false << "kept text" << QStringList();
    QTest::newRow("unreadable settings file") << true << "" << QStringList{"over the window's first frame"};
}

// On the desktop the window is shown before it is built: its first frame
// still holds every control and the stored settings, a message of the load
// comes over that frame, and the cue for the work that waits for the frame
// comes once.
void TestWindow::firstFrameIsWhole()
{
    QFETCH(bool, unreadableStore);
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    if (unreadableStore) {
        QDir().mkpath(workspace_->FilePath("config/huespin"));
        QFile hive(workspace_->FilePath("config/huespin/registry.db"));
        QVERIFY(hive.open(QIODevice::WriteOnly));
        hive.write(QByteArray(4096, 'x'));
    } else {
        Form1 earlier({messages_, dialog_, starter_});
        Form1Controls(earlier).Text1->setText(text);
    }
    Form1 form;
    FirstPaintWatch watch;
    form.installEventFilter(&watch);
    QStringList shown;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown.append(box->parentWidget() == &form && watch.text ? "over the window's first frame" : "before it");
            box->accept();
        }
    });
    answer.start(20);
    QSignalSpy painted(&form, &Form1::firstPainted);
    form.show();
    QVERIFY(painted.wait());
    QCOMPARE(watch.text, text);
    QCOMPARE(watch.hidden, QStringList());
    QTRY_COMPARE(shown, messages);
    form.repaint();
    QTest::qWait(20);
    QCOMPARE(painted.count(), 1);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
