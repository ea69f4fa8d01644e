// The markup's format, styles and spaces: the output button's menu that
// chooses them, and the Template dialog.
#include "form1.h"

#include "templatedialog.h"
#include "windowmarkup.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

namespace {

// The menu's keys, one a format and one a style in the order they are listed.
constexpr char16_t FormatKeys[] = u"FPBMRXCJT";
constexpr char16_t StyleKeys[] = u"BIUKO";
static_assert(std::size(FormatKeys) - 1 == MarkupFormats.size());
static_assert(std::size(StyleKeys) - 1 == AllMarkupStyles.size());

// A name as a menu shows it: its own '&' shown as one, and key marked where
// the name holds it, else added after it as "(&K)".
QString MenuCaption(const QString &name, QChar key)
{
    QString caption = name;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    const qsizetype at = caption.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return caption + QStringLiteral(" (&%1)").arg(key);
    return caption.insert(at, QLatin1Char('&'));
}

// The start of a long template, so that the tooltip stays one screen wide.
QString Shortened(const QString &text)
{
    constexpr qsizetype Most = 60;
    return text.size() <= Most ? text : text.first(Most) + QChar(0x2026);
}

} // namespace

void Form1::CreateFormatMenu()
{
    formatMenu_ = new QMenu(tr("Output format"), this);
    formatMenu_->setObjectName(QStringLiteral("FormatMenu"));
    formatMenu_->setAccessibleName(tr("Output format"));
    formatMenu_->setWindowTitle(tr("Output format"));
    auto *choices = new QActionGroup(formatMenu_);
    for (std::size_t i = 0; i < MarkupFormats.size(); ++i) {
        const MarkupFormat format = MarkupFormats[i];
        QAction *action = formatMenu_->addAction(MenuCaption(MarkupFormatName(format), QChar(FormatKeys[i])));
        action->setCheckable(true);
        action->setData(QString::fromLatin1(MarkupFormatText(format)));
        choices->addAction(action);
        if (format == MarkupFormat::Custom)
            connect(action, &QAction::triggered, this, [this] { RunEvent([this] { ChooseTemplate(); }); });
        else
            connect(action, &QAction::triggered, this,
                    [this, format] { RunEvent([this, format] { ChooseFormat(format); }); });
    }
    formatMenu_->addSeparator();
    styleMenu_ = formatMenu_->addMenu(tr("&Style"));
    styleMenu_->setObjectName(QStringLiteral("StyleMenu"));
    styleMenu_->setAccessibleName(tr("Style"));
    styleMenu_->setWindowTitle(tr("Style"));
    for (std::size_t i = 0; i < AllMarkupStyles.size(); ++i) {
        const MarkupStyle style = AllMarkupStyles[i];
        QAction *action = styleMenu_->addAction(MenuCaption(MarkupStyleName(style), QChar(StyleKeys[i])));
        action->setCheckable(true);
        action->setData(QString::fromLatin1(MarkupStyleText(style)));
        connect(action, &QAction::triggered, this,
                [this, style](bool chosen) { RunEvent([this, style, chosen] { ChooseStyle(style, chosen); }); });
    }
    skipSpacesAction_ = formatMenu_->addAction(tr("&Leave spaces uncoloured"));
    skipSpacesAction_->setCheckable(true);
    skipSpacesAction_->setData(QStringLiteral("skip-spaces"));
    connect(skipSpacesAction_, &QAction::triggered, this,
            [this](bool chosen) { RunEvent([this, chosen] { ChooseSkipSpaces(chosen); }); });
}

void Form1::ShowFormatMenu(const QPoint &position)
{
    ShowFormatChoices();
    formatMenu_->popup(Command3->mapToGlobal(position));
}

// The menu's checks from the choices; the styles that the format has no
// form for stay checked for the formats that have, but cannot be changed.
void Form1::ShowFormatChoices()
{
    const QString format = QString::fromLatin1(MarkupFormatText(outputFormat_));
    for (QAction *action : formatMenu_->actions())
        if (action->actionGroup())
            action->setChecked(action->data().toString() == format);
    const MarkupStyles written = StylesOf(outputFormat_);
    for (QAction *action : styleMenu_->actions()) {
        const MarkupStyles style = ParseStylesText(action->data().toString().toStdString());
        action->setChecked(outputOptions_.styles.testAnyFlags(style));
        action->setEnabled(written.testAnyFlags(style));
    }
    skipSpacesAction_->setChecked(outputOptions_.skipSpaces);
}

// The format, and the styles and spaces as that format writes them, e.g.
// "BBCode, with Bold, spaces uncoloured".
QString Form1::OutputDescription() const
{
    QStringList extras;
    for (const MarkupStyle style : AllMarkupStyles)
        if ((outputOptions_.styles & StylesOf(outputFormat_)).testFlag(style))
            extras << MarkupStyleName(style);
    if (outputOptions_.skipSpaces)
        extras << tr("spaces uncoloured");
    QString description = outputFormat_ == MarkupFormat::Custom ? tr("your template") : MarkupFormatName(outputFormat_);
    if (!extras.isEmpty())
        description = tr("%1, with %2").arg(description, extras.join(tr(", ")));
    return description;
}

// After the tooltip's first line, so that a template with tags does not
// make the tooltip read as HTML.
QString Form1::OutputTemplateLine() const
{
    return outputFormat_ == MarkupFormat::Custom ? QLatin1Char('\n') + tr("Template: %1").arg(Shortened(templateText_))
                                                 : QString();
}

void Form1::ChooseFormat(MarkupFormat format)
{
    outputFormat_ = format;
    ShowOutputTarget();
}

void Form1::ChooseStyle(MarkupStyle style, bool chosen)
{
    outputOptions_.styles.setFlag(style, chosen);
    ShowOutputTarget();
}

void Form1::ChooseSkipSpaces(bool chosen)
{
    outputOptions_.skipSpaces = chosen;
    ShowOutputTarget();
}

// The dialog shows its template's output for the window's text and colours,
// or for a word and red to blue while they are missing. OK chooses the
// template, Cancel nothing.
void Form1::ChooseTemplate()
{
    for (const TemplateDialog *open : findChildren<TemplateDialog *>())
        if (open->isVisible())
            return;
    const TextCharacters &characters = OutputCharacters();
    const ColorValue first = Color1 == NoColor ? 0x0000FF : Color1;
    const ColorValue last = Color2 == NoColor ? 0xFF0000 : Color2;
    auto *dialog =
        new TemplateDialog(templateText_, characters.Count() > 0 ? characters : TextCharacters(tr("Sample text")),
                           WholeGradient(first, last, Shaping), outputOptions_.skipSpaces, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        outputOptions_.customTemplate = dialog->Chosen();
        templateText_ = dialog->Chosen().Text();
        outputFormat_ = MarkupFormat::Custom;
        ShowOutputTarget();
    });
    connect(dialog, &QDialog::rejected, this, &Form1::ShowFormatChoices);
    dialog->open();
}
