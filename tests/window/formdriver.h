#pragma once

// Drives the window as a user does: its controls found by their object
// names, colours chosen through the stand-in dialog, and what it shows read
// back.
#include "fakes.h"
#include "labelarray.h"
#include "shape.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <optional>

struct Form1Controls {
    explicit Form1Controls(const QWidget &form) : Form(form) {}

    template <typename T>
    T *Find(const char *name) const
    {
        T *control = Form.findChild<T *>(QString::fromLatin1(name));
        if (!control)
            qFatal("the window has no %s", name);
        return control;
    }

    const QWidget &Form;
    QLineEdit *Text1 = Find<QLineEdit>("Text1");
    QPushButton *Command1 = Find<QPushButton>("Command1"), *Command2 = Find<QPushButton>("Command2");
    QPushButton *Command3 = Find<QPushButton>("Command3"), *Command4 = Find<QPushButton>("Command4");
    QPushButton *Command5 = Find<QPushButton>("Command5"), *Command6 = Find<QPushButton>("Command6");
    QPushButton *Command7 = Find<QPushButton>("Command7"), *Command8 = Find<QPushButton>("Command8");
    QPushButton *Command9 = Find<QPushButton>("Command9"), *Command10 = Find<QPushButton>("Command10");
    QPushButton *Command11 = Find<QPushButton>("Command11");
    Shape *Shape1 = Find<Shape>("Shape1"), *Shape2 = Find<Shape>("Shape2");
    LabelArray *Label1 = Find<LabelArray>("Label1");
};

// Clicks Color 1 and Color 2, the dialog answering each; no answer cancels.
inline void ChooseColors(const Form1Controls &ui, FakeCommonDialog &dialog, std::optional<ColorValue> color1,
                         std::optional<ColorValue> color2)
{
    dialog.colors = {color1, color2};
    ui.Command1->click();
    ui.Command2->click();
}

// The colour that a colour button's dialog starts from, the dialog cancelled:
// the button's colour once chosen, else the dialog's last.
inline ColorValue ColorDialogStart(QPushButton *button, FakeCommonDialog &dialog)
{
    dialog.colors = {std::nullopt};
    button->click();
    return dialog.colorStarts.back();
}

// The preview is shown while its button offers to hide it.
inline bool PreviewShown(const Form1Controls &ui)
{
    return ui.Command7->text() == QStringLiteral("Hide it");
}

// The colours, as "#RRGGBB", of the markup that the output button puts on
// the clipboard; none when it puts nothing there.
inline QStringList OutputColors(const Form1Controls &ui)
{
    QGuiApplication::clipboard()->clear();
    ui.Command3->click();
    QStringList colors;
    static const QRegularExpression color(QStringLiteral("color=\"(#[0-9A-F]{6})\""));
    for (const QRegularExpressionMatch &match : color.globalMatch(QGuiApplication::clipboard()->text()))
        colors << match.captured(1);
    return colors;
}
