// Where the program's window and its controls are on the display, and
// what it shows there.
#include "huespinsession.h"

#include "formlayout.h"

namespace {

std::string_view LayoutName(Control control)
{
    switch (control) {
    case Control::Text1: return "Text1";
    case Control::Command1: return "Command1";
    case Control::Command2: return "Command2";
    case Control::Command3: return "Command3";
    case Control::Command4: return "Command4";
    case Control::Command5: return "Command5";
    case Control::Command6: return "Command6";
    case Control::Command7: return "Command7";
    case Control::Command8: return "Command8";
    case Control::Command9: return "Command9";
    case Control::Command10: return "Command10";
    case Control::Command11: return "Command11";
    case Control::Shape1: return "Shape1";
    case Control::Shape2: return "Shape2";
    case Control::Preview: break;
    }
    return "Label1";
}

} // namespace

QRect HuespinSession::FromTwips(int left, int top, int width, int height) const
{
    return QRect(qRound(left / twipsPerPixel_), qRound(top / twipsPerPixel_), qRound(width / twipsPerPixel_),
                 qRound(height / twipsPerPixel_));
}

QRect HuespinSession::LocateControl(Control control) const
{
    if (control == Control::Preview) {
        // The band below the buttons, from the first label's top down.
        const FormLayout::ControlPlace label = FormLayout::Find("Label1");
        return FromTwips(0, label.top - 30, FormLayout::FormWidth, FormLayout::FormHeight - label.top + 30);
    }
    const FormLayout::ControlPlace place = FormLayout::Find(LayoutName(control));
    return FromTwips(place.left, place.top, place.width, place.height);
}

QSize HuespinSession::DesignSize() const
{
    return FromTwips(0, 0, FormLayout::FormWidth, FormLayout::FormHeight).size();
}

QString HuespinSession::WindowProperty(const QString &name)
{
    return QString::fromLatin1(RunTool("xprop", {"-id", window_, name}, environment_).output).trimmed();
}

// The window with its frame, from the client's place and the frame's
// extents that the window manager publishes; null while it has none.
QRect HuespinSession::FrameGeometry()
{
    const QString extentsText = WindowProperty("_NET_FRAME_EXTENTS");
    if (!extentsText.contains('='))
        return QRect();
    QList<int> extents; // left, right, top, bottom
    for (const QString &field : extentsText.section('=', 1).split(','))
        extents << field.trimmed().toInt();
    const ToolResult info = RunTool("xwininfo", {"-id", window_}, environment_);
    QMap<QString, int> values;
    for (const QByteArray &line : info.output.split('\n')) {
        const QList<QByteArray> parts = line.split(':');
        if (parts.size() == 2)
            values.insert(QString::fromLatin1(parts[0].trimmed()), parts[1].trimmed().toInt());
    }
    if (extents.size() != 4 || !values.contains("Width"))
        return QRect();
    return QRect(values["Absolute upper-left X"] - extents[0], values["Absolute upper-left Y"] - extents[2],
                 values["Width"] + extents[0] + extents[1], values["Height"] + extents[2] + extents[3]);
}

void HuespinSession::AskToResize(QSize size)
{
    XDoTool({"windowsize", window_, QString::number(size.width()), QString::number(size.height())});
}

QImage HuespinSession::Screenshot(const QString &path)
{
    const ToolResult shot = RunTool("import", {"-window", window_, "png:-"}, environment_);
    QImage image = QImage::fromData(shot.output, "PNG");
    if (image.isNull())
        Fail("import took no screenshot: " + QString::fromLocal8Bit(shot.errors));
    else if (!path.isEmpty())
        image.save(path);
    return image;
}
