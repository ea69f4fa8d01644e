#pragma once

#include "tools.h"
#include "virtualdisplay.h"

#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
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

    // Starts the program in the session's working folder and waits for its
    // window.
    bool Start();
    // The same, in another folder and with command-line arguments.
    bool StartIn(const QString &folder, const QStringList &arguments);
    bool IsRunning() const;
    // What went wrong, with what the program printed.
    QString Failure() const;

    void Click(Control control);
    // Clicks the text box, selects what is there and types over it; false
    // when a tool failed on the way.
    bool TypeText(const QString &text);
    // Puts text on the clipboard and pastes it over the text box's contents,
    // as a user enters a script that no keyboard map holds; false when a tool
    // failed or the text box does not hold text afterwards.
    bool PasteText(const QString &text);
    // Clicks button, types html (say "#FF8000") into the colour dialog's
    // HTML field and confirms; false when no dialog came or it stayed.
    bool ChooseColor(Control button, const QString &html);
    // Clicks "Change Font" and confirms the font dialog as it opens.
    bool ConfirmFontDialog();
    // Waits for the dialog of the title, focuses it and presses the keys there.
    bool PressKeysIn(const QString &title, const QStringList &keys);
    // Answers the colour dialog, once it opens, with the colour.
    bool AnswerColorDialog(const QString &html);
    // Presses Enter in the focused dialog and waits for it to close.
    bool CloseDialog(const QString &title);
    // The dialog of the title as it stands on the screen, saved at path.
    QImage ScreenshotOf(const QString &title, const QString &path);
    // Types text and chooses html1 and html2 as the two colours.
    bool EnterInput(const QString &text, const QString &html1, const QString &html2);
    // Waits for a message box and reads its text from the accessibility bus.
    QString ReadMessage();
    // The name of the program's window of an AT-SPI role ("frame") on the
    // accessibility bus; empty when it has none.
    QString ReadWindowName(const QString &role);
    // Presses Enter in the message box; false when none came or it stayed.
    bool AnswerMessage();
    // The text box's contents, selected and read from the primary selection.
    QString ReadText();

    // The clipboard in one of its flavours (xclip's target names: UTF8_STRING,
    // text/html), and the flavours it offers.
    QByteArray ReadClipboard(const QString &target = QStringLiteral("UTF8_STRING"));
    QStringList ClipboardTargets();
    // Right-clicks the output button and picks the menu's entry at index.
    bool ChooseFormat(int index);
    // Right-clicks the output button and presses the keys (xdotool names) in its menu.
    bool PressKeysInFormatMenu(const QStringList &keys);
    // Puts text on the clipboard with xclip, as another program takes it.
    bool CopyToClipboard(const QByteArray &text);
    // The processes that keep the clipboard after this session's program
    // ended (huespin --keep-clipboard, with the session's home).
    QList<qint64> FindKeepers() const;
    // The program's window as it shows now; saved to path when one is given.
    QImage Screenshot(const QString &path = QString());
    // Where the control is in the window, in the display's pixels.
    QRect LocateControl(Control control) const;
    // The window's design size, frame included, in the display's pixels.
    QSize DesignSize() const;
    // The window on the screen, frame included; null until the window
    // manager has framed it.
    QRect FrameGeometry();
    // What xprop prints for the property of the program's window.
    QString WindowProperty(const QString &name);
    // Presses keys (xdotool names) in the program's window.
    void PressKeys(const QStringList &keys);
    // Asks the window manager for another size, as a program may.
    void AskToResize(QSize size);

    bool WaitForEnd(int timeoutMs = WaitLimitMs);
    void Terminate();
    bool EndedCleanly();

    // Holds the hive locked as another program does (sqlite3 in an exclusive
    // transaction) until ReleaseHive; null when the lock was not taken.
    std::unique_ptr<QProcess> LockHive();
    bool ReleaseHive(QProcess &holder);
    QString HiveFile() const { return ConfigPath(QStringLiteral("huespin/registry.db")); }

    // Values of the program's settings key in the hive: name -> text.
    QMap<QString, QString> HiveValues();
    // Keys in the hive whose path names Huespin; -1 when there is no hive or
    // it cannot be read.
    int CountHuespinKeys();

    QString WorkPath(const QString &name = QString()) const;
    QString ConfigPath(const QString &name = QString()) const;
    void SetEnvironment(const QString &name, const QString &value) { environment_.insert(name, value); }
    QString HomePath(const QString &name = QString()) const;
    // A folder that comes first on the program's PATH, for stand-in tools.
    QString ToolsPath() const;

private:
    // The title of the program's window, as a pattern for xdotool.
    static QString MainTitle();
    QRect FromTwips(int left, int top, int width, int height) const;
    // Runs the accessibility reader with role (none: a message box's text).
    QString ReadAccessible(const QStringList &role, const QString &what);
    ToolResult XDoTool(const QStringList &arguments);
    QStringList FindWindows(const QString &title);
    QString FindMessageWindow();
    // Waits for the dialog and focuses it; empty when none came.
    QString WaitForDialog(const QString &title);
    void Focus(const QString &window);
    quint64 FindTopLevel(const QString &window);
    void ClickAt(const QString &window, QPoint point, int repeat = 1, int button = 1);
    bool BindKeysFor(const QString &text);
    QString ReadSelection(const QString &selection);
    ToolResult ReadXSelection(const QString &selection);
    ToolResult QueryHive(const QString &sql);
    void MarkPrimaryUnread();
    static QString NameKeysym(char32_t c);
    QString Fail(const QString &what);

    double twipsPerPixel_;
    QProcessEnvironment environment_;
    QTemporaryDir sandbox_;
    std::unique_ptr<QProcess> program_;
    QString window_;
    QSet<char32_t> bound_;
    QString failure_;
};
