#pragma once

#include "tools.h"
#include "virtualdisplay.h"

#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRect>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

// The window's controls that a user clicks or looks at.
enum class Control {
    Text1,     // the text box
    Command1,  // "Color 1"
    Command2,  // "Color 2"
    Command3,  // "Clipboard" or "File": the output
    Command4,  // "Exit"
    Command5,  // "Swap"
    Command6,  // "Help & About"
    Command7,  // "Preview" or "Hide it"
    Command8,  // "Change Font"
    Command9,  // "Back-color"
    Command10, // the small toggle between clipboard and file
    Command11, // "Uninstall"
    Shape1,    // the swatch of colour 1
    Shape2,    // the swatch of colour 2
    Preview,   // the band below the buttons where the preview is drawn
};

// The built program, started in a home, settings folder and current folder
// of its own, and driven from outside with xdotool and xclip as a user
// would. The folders outlive each run, so that a second start finds what
// the first one left. Every wait is bounded.
class HuespinSession {
public:
    explicit HuespinSession(const VirtualDisplay &display);
    ~HuespinSession();
    HuespinSession(const HuespinSession &) = delete;
    HuespinSession &operator=(const HuespinSession &) = delete;

    // Starts the program and waits for its window.
    bool Start();
    bool IsRunning() const;
    // What went wrong, with what the program printed.
    QString Failure() const;

    void Click(Control control);
    // Clicks the text box, selects what is there and types over it; false
    // when a tool failed on the way.
    bool TypeText(const QString &text);
    // Clicks button, types html (say "#FF8000") into the colour dialog's
    // HTML field and confirms; false when no dialog came or it stayed.
    bool ChooseColor(Control button, const QString &html);
    // Types text and chooses html1 and html2 as the two colours.
    bool EnterInput(const QString &text, const QString &html1, const QString &html2);
    // Waits for a message box and reads the first paragraph of its text by
    // selecting it; an icon moves the text to the right.
    QString ReadMessage(bool withIcon = false);
    // Presses Enter in the message box; false when none came or it stayed.
    bool AnswerMessage();
    // The text box's contents, selected and read from the primary selection.
    QString ReadText();

    QByteArray ReadClipboard();
    // The program's window as it shows now; saved to path when one is given.
    QImage Screenshot(const QString &path = QString());
    static QRect LocateControl(Control control);

    bool WaitForEnd(int timeoutMs = 10000);
    void Terminate();
    bool EndedCleanly() const;

    // Values of the program's settings key in the hive: name -> text.
    QMap<QString, QString> HiveValues();
    // Keys in the hive whose path names Huespin; -1 when there is no hive or
    // it cannot be read.
    int CountHuespinKeys();

    QString WorkPath(const QString &name = QString()) const;
    QString HomePath(const QString &name = QString()) const;
    // A folder that comes first on the program's PATH, for stand-in tools.
    QString ToolsPath() const;

private:
    ToolResult XDoTool(const QStringList &arguments, int timeoutMs = 10000);
    QStringList FindWindows(const QString &title);
    QString FindMessageWindow();
    void Focus(const QString &window);
    void ClickAt(const QString &window, QPoint point, int repeat = 1);
    bool BindKeysFor(const QString &text);
    QString ReadSelection(const QString &selection);
    ToolResult ReadXSelection(const QString &selection);
    ToolResult QueryHive(const QString &sql);
    void MarkPrimaryUnread();
    static QString NameKeysym(char32_t c);
    QString Fail(const QString &what);

    QProcessEnvironment environment_;
    QTemporaryDir sandbox_;
    std::unique_ptr<QProcess> program_;
    QString window_;
    QSet<char32_t> bound_;
    QString failure_;
};
