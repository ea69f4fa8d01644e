#include "commandline.h"

#include "colortext.h"
#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <optional>
#include <utility>

namespace {

// The texts a user reads, for translators.
class CommandLineText {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

struct QtOption {
    const char *name;
    bool takesValue;
};

// The options that QGuiApplication and QApplication read themselves.
constexpr QtOption QtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"qwindowicon", true},   {"qwindowtitle", true},
    {"session", true},       {"style", true},
    {"stylesheet", true},    {"display", true},
    {"geometry", true},      {"title", true},
    {"reverse", false},      {"widgetcount", false},
    {"nograb", false},       {"dograb", false},
    {"sync", false},         {"name", true},
    {"testability", false},
};

CommandLine Print(const QString &text, int exitStatus = 0)
{
    CommandLine line;
    line.openWindow = false;
    line.output = text;
    line.outputIsError = exitStatus != 0;
    line.exitStatus = exitStatus;
    return line;
}

CommandLine Fail(const QString &error)
{
    return Print(QStringLiteral("huespin: %1\n%2\n")
                     .arg(error, CommandLineText::tr("Try 'huespin --help' for more information.")),
                 2);
}

// The parser names an unknown option without its dashes; this says it as
// it was typed ("-abc", "--bogus"), up to an "=".
QString ParseError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString &name = unknown.constFirst();
    for (const QString &argument : arguments.sliced(std::min<qsizetype>(1, arguments.size()))) {
        if (argument == u"--")
            break;
        const QString word = argument.section(u'=', 0, 0);
        if (word == QLatin1Char('-') + name || word == QLatin1String("--") + name)
            return CommandLineText::tr("Unknown option '%1'.").arg(word);
    }
    return parser.errorText();
}

// One preset a line: its name, its stops and its blend.
QString ListPresets()
{
    QString list;
    for (const GradientPreset &preset : GradientPresets()) {
        list += QString::fromStdString(preset.name).leftJustified(10);
        list += QString::fromStdString(StopsText(preset.gradient.stops)).replace(u',', u' ');
        list += u' ' + QString::fromLatin1(BlendText(preset.gradient.blend)) + u'\n';
    }
    return list;
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are single words after one dash, as in "-platform xcb".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(CommandLineText::tr(
        "Huespin turns a line of text into colour-gradient HTML: one font element a\n"
        "character, the colours running from Color 1 to Color 2. The markup goes to the\n"
        "clipboard or is appended to output.html in the current folder.\n"
        "\n"
        "Given TEXT, Huespin opens no window: it prints the markup of TEXT (its words\n"
        "joined by single spaces) and a line end; given -, the markup of each line of\n"
        "standard input, one line for each. A COLOUR is #RRGGBB, RRGGBB, #RGB or an SVG\n"
        "colour name such as cornflowerblue. Without --from or --to, the colour chosen\n"
        "in the window is used; without --from, --via, --to and --preset, the window's\n"
        "whole gradient, its stops and blend included. A line that is not valid UTF-8 is left out with a\n"
        "message, and Huespin then ends with status 1; a mistake on the command line\n"
        "ends it with status 2."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  CommandLineText::tr("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     CommandLineText::tr("Show the version and exit."));
    const QCommandLineOption documentsFolder(
        QStringLiteral("documents-folder"),
        CommandLineText::tr("Work in the Huespin folder of your documents folder (created when missing), "
                            "as the desktop menu starts it; without it Huespin works in the current folder."));
    const QCommandLineOption from(QStringLiteral("from"),
                                  CommandLineText::tr("The first character's colour (default: Color 1 of the window)."),
                                  CommandLineText::tr("COLOUR"));
    const QCommandLineOption to(QStringLiteral("to"),
                                CommandLineText::tr("The last character's colour (default: Color 2 of the window)."),
                                CommandLineText::tr("COLOUR"));
    const QCommandLineOption via(
        QStringLiteral("via"),
        CommandLineText::tr("A colour the gradient passes through on its way, at an equal share "
                            "of the line, or at P percent of it with @P (lime@25); give it again for more."),
        CommandLineText::tr("COLOUR[@P]"));
    const QCommandLineOption blend(
        QStringLiteral("blend"),
        CommandLineText::tr("How the colours go from one to the next: classic (whole steps in RGB, the default), "
                            "oklab (perceptual: as bright in the middle as at the ends), hsv (round the hue circle "
                            "the short way) or hsv-long (the long way)."),
        CommandLineText::tr("NAME"));
    const QCommandLineOption preset(
        QStringLiteral("preset"),
        CommandLineText::tr("A named gradient, in place of --from, --via and --to (see --list-presets)."),
        CommandLineText::tr("NAME"));
    const QCommandLineOption block(
        QStringLiteral("block"),
        CommandLineText::tr("Colour the lines by column, for ASCII art: one gradient across the widest line, "
                            "the character in column j of every line in its colour j. The input is read whole "
                            "first."));
    const QCommandLineOption listPresets(QStringLiteral("list-presets"),
                                         CommandLineText::tr("List the named gradients and exit."));
    const QCommandLineOption format(
        QStringLiteral("format"),
        CommandLineText::tr("font (<font color=\"#RRGGBB\">, the default), span (<span style=\"color:#RRGGBB\">), "
                            "bbcode ([color=#RRGGBB]), minimessage (<#RRGGBB>), mc-hex (&#RRGGBB), mc-legacy "
                            "(&x&R&R&G&G&B&B), mc-section (§x§R§R§G§G§B§B), "
                            "mc-json (Minecraft's JSON text components, one array a line) or ansi (24-bit colour "
                            "escapes for a terminal)."),
        CommandLineText::tr("NAME"));
    const QCommandLineOption markupTemplate(
        QStringLiteral("template"),
        CommandLineText::tr("A format of your own, in place of --format: TEMPLATE is written for each character, "
                            "with {char}, {HEX} (RRGGBB), {hex} (rrggbb), {r}, {g} and {b} (0 to 255) put in and {{ "
                            "and }} for braces. It escapes nothing and takes no styles."),
        CommandLineText::tr("TEMPLATE"));
    const QCommandLineOption bold(
        QStringLiteral("bold"),
        CommandLineText::tr("Bold text: once for the whole text in HTML, BBCode, MiniMessage and ANSI, after "
                            "each colour code in the Minecraft codes, in each component in mc-json."));
    const QCommandLineOption italic(QStringLiteral("italic"), CommandLineText::tr("Italic text, in the same way."));
    const QCommandLineOption underline(QStringLiteral("underline"),
                                       CommandLineText::tr("Underlined text, in the same way."));
    const QCommandLineOption strikethrough(QStringLiteral("strikethrough"),
                                           CommandLineText::tr("Struck-through text, in the same way."));
    const QCommandLineOption obfuscated(
        QStringLiteral("obfuscated"),
        CommandLineText::tr("Obfuscated (ever-changing) text, in MiniMessage and the Minecraft formats; HTML, "
                            "BBCode and ANSI have no form for it and leave it out."));
    const QCommandLineOption skipSpaces(
        QStringLiteral("skip-spaces"),
        CommandLineText::tr("Leave spaces uncoloured: a single space is written bare, with no colour code of its "
                            "own, and still counts in the gradient, so the other characters keep their colours."));
    // Each style option and the style it chooses.
    const std::pair<const QCommandLineOption *, MarkupStyle> styleOptions[] = {
        {&bold, MarkupStyle::Bold},
        {&italic, MarkupStyle::Italic},
        {&underline, MarkupStyle::Underline},
        {&strikethrough, MarkupStyle::Strikethrough},
        {&obfuscated, MarkupStyle::Obfuscated}};
    QCommandLineOption keepClipboard(QStringLiteral("keep-clipboard"), QString());
    keepClipboard.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(documentsFolder);
    parser.addOption(from);
    parser.addOption(to);
    parser.addOption(via);
    parser.addOption(blend);
    parser.addOption(preset);
    parser.addOption(block);
    parser.addOption(listPresets);
    parser.addOption(format);
    parser.addOption(markupTemplate);
    for (const auto &[option, style] : styleOptions)
        parser.addOption(*option);
    parser.addOption(skipSpaces);
    parser.addOption(keepClipboard);
    parser.addPositionalArgument(
        QStringLiteral("TEXT"),
        CommandLineText::tr("The text to print as markup, or - for each line of standard input."),
        CommandLineText::tr("[TEXT...|-]"));
    for (const QtOption &qtOption : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(qtOption.name), QString(),
                                  qtOption.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments))
        return Fail(ParseError(parser, arguments));
    if (parser.isSet(help)) {
        // The parser names the program after the application object, which
        // is not made yet; the usage line says it as one types it.
        const QString text = parser.helpText();
        return Print(CommandLineText::tr("Usage: huespin [options] [TEXT...|-]") + text.mid(text.indexOf(u'\n')));
    }
    if (parser.isSet(version))
        return Print(QStringLiteral("huespin %1\n").arg(QStringLiteral(HUESPIN_VERSION)));
    if (parser.isSet(listPresets))
        return Print(ListPresets());

    CommandLine line;
    const QStringList words = parser.positionalArguments();
    const bool printing = !words.isEmpty();
    for (const QCommandLineOption *option : {&from, &to, &via, &blend, &preset, &block, &format, &markupTemplate, &bold,
                                             &italic, &underline, &strikethrough, &obfuscated, &skipSpaces})
        if (!printing && parser.isSet(*option))
            return Fail(CommandLineText::tr("--%1 needs a TEXT to print, or - for standard input.")
                            .arg(option->names().constFirst()));
    if (printing && (parser.isSet(documentsFolder) || parser.isSet(keepClipboard)))
        return Fail(CommandLineText::tr("--%1 opens no window with a TEXT to print.")
                        .arg(parser.isSet(documentsFolder) ? QStringLiteral("documents-folder")
                                                           : QStringLiteral("keep-clipboard")));
    if (printing) {
        const auto colour = [](const QCommandLineOption &option, const QString &text,
                               QString &error) -> std::optional<ColorValue> {
            const auto value = ParseColorText(text.toStdString());
            if (!value)
                error = CommandLineText::tr("Unknown colour '%1' for --%2: give #RRGGBB, RRGGBB, #RGB or an SVG colour "
                                            "name such as red.")
                            .arg(text, option.names().constFirst());
            return value;
        };
        QString error;
        if (parser.isSet(from))
            line.from = colour(from, parser.value(from), error);
        if (parser.isSet(to) && error.isEmpty())
            line.to = colour(to, parser.value(to), error);
        for (const QString &value : parser.values(via)) {
            if (!error.isEmpty())
                break;
            const qsizetype at = value.lastIndexOf(u'@');
            GradientStop stop{colour(via, at < 0 ? value : value.left(at), error).value_or(0), std::nullopt};
            if (at >= 0 && error.isEmpty()) {
                bool number = false;
                const double position = value.mid(at + 1).toDouble(&number);
                if (!number || !(position >= 0 && position <= 100))
                    error = CommandLineText::tr("Position '%1' for --via is not a number from 0 to 100.")
                                .arg(value.mid(at + 1));
                stop.position = position;
            }
            line.via.push_back(stop);
        }
        if (!error.isEmpty())
            return Fail(error);
        if (parser.isSet(blend)) {
            line.blend = ParseBlend(parser.value(blend).toStdString());
            if (!line.blend)
                return Fail(CommandLineText::tr("Unknown blend '%1': give classic, oklab, hsv or hsv-long.")
                                .arg(parser.value(blend)));
        }
        if (parser.isSet(preset)) {
            if (parser.isSet(from) || parser.isSet(via) || parser.isSet(to))
                return Fail(
                    CommandLineText::tr("--preset gives every colour: it goes without --from, --via and --to."));
            for (const GradientPreset &named : GradientPresets())
                if (parser.value(preset) == QString::fromStdString(named.name))
                    line.preset = named.gradient;
            if (!line.preset)
                return Fail(CommandLineText::tr("Unknown preset '%1': huespin --list-presets lists them.")
                                .arg(parser.value(preset)));
        }
        if (parser.isSet(format)) {
            const auto named = ParseLineFormat(parser.value(format).toStdString());
            if (!named)
                return Fail(CommandLineText::tr("Unknown format '%1': give font, span, bbcode, minimessage, mc-hex, "
                                                "mc-legacy, mc-section, mc-json or ansi.")
                                .arg(parser.value(format)));
            if (!named->ansi && named->markup == MarkupFormat::Custom)
                return Fail(CommandLineText::tr("--format custom takes its template from --template: give --template "
                                                "TEMPLATE instead."));
            line.format = *named;
        }
        if (parser.isSet(markupTemplate)) {
            if (parser.isSet(format))
                return Fail(CommandLineText::tr("--template is a format of its own: it goes without --format."));
            const QString text = parser.value(markupTemplate);
            // An empty template would print nothing but line ends.
            if (text.isEmpty())
                return Fail(CommandLineText::tr("The template is empty: give --template a text such as "
                                                "'<#{HEX}>{char}'."));
            const auto parsed = MarkupTemplate::Parse(text, &error);
            if (!parsed)
                return Fail(error);
            line.format = LineFormat{.markup = MarkupFormat::Custom};
            line.options.customTemplate = *parsed;
        }
        for (const auto &[option, style] : styleOptions)
            line.options.styles.setFlag(style, parser.isSet(*option));
        line.options.skipSpaces = parser.isSet(skipSpaces);
        line.openWindow = false;
        line.printMarkup = true;
        line.readStandardInput = words == QStringList{QStringLiteral("-")};
        line.block = parser.isSet(block);
        line.text = words;
        return line;
    }

    line.documentsFolder = parser.isSet(documentsFolder);
    line.keepClipboard = parser.isSet(keepClipboard);
    line.openWindow = !line.keepClipboard;
    line.display = parser.value(QStringLiteral("display"));
    return line;
}
