#pragma once

#include "colorvalue.h"
#include "gradient.h"
#include "gradientlines.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What the command line asks for: open the window, or print a text and end
// with a status and no window, or keep the clipboard that the window left,
// or print the markup of a text or of each line of standard input.
struct CommandLine {
    bool openWindow = true;
    bool documentsFolder = false;
    // The hidden --keep-clipboard, which Huespin gives itself at exit.
    bool keepClipboard = false;
    // Qt's -display, for the process that keeps the clipboard.
    QString display;
    QString output;
    bool outputIsError = false;
    int exitStatus = 0;
    // Markup printed with no window: TEXT (its words joined by spaces), or
    // each line of standard input for "-".
    bool printMarkup = false;
    bool readStandardInput = false;
    // --block: the input read whole, coloured by column.
    bool block = false;
    QStringList text;
    // None where the colour chosen in the window is to be used.
    std::optional<ColorValue> from, to;
    std::vector<GradientStop> via;
    std::optional<Blend> blend;
    // A preset's gradient, in place of --from, --via and --to.
    std::optional<Gradient> preset;
    LineFormat format;
    // The styles, the uncoloured spaces and, for --template, the template.
    MarkupOptions options;
};

// Reads the program's arguments (the first is the program itself). Qt's own
// options, such as -platform, -style or -session, are accepted and left for
// QApplication.
CommandLine ParseCommandLine(const QStringList &arguments);
