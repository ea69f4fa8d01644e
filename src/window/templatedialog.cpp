#include "templatedialog.h"

#include "windowmarkup.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The characters that the sample shows: a name or a chat line whole.
constexpr qsizetype SampleCharacters = 80;

QLabel *MakeLabel(const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    label->setWordWrap(true);
    return label;
}

} // namespace

TemplateDialog::TemplateDialog(const QString &templateText, TextCharacters characters, const Gradient &gradient,
                               bool skipSpaces, QWidget *parent)
    : QDialog(parent), characters_(std::move(characters)), gradient_(gradient)
{
    setObjectName(QStringLiteral("TemplateDialog"));
    setWindowTitle(tr("Template"));
    setAccessibleName(tr("Template"));
    options_.skipSpaces = skipSpaces;
    // Codes read best in a fixed font, at the size of the dialog's own text.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());

    template_ = new QLineEdit(this);
    template_->setObjectName(QStringLiteral("Template"));
    template_->setAccessibleName(tr("Template for each character"));
    template_->setFont(fixed);
    template_->setPlaceholderText(tr("for example <color:#{hex}>{char}"));

    sample_ = new QPlainTextEdit(this);
    sample_->setObjectName(QStringLiteral("Sample"));
    sample_->setAccessibleName(tr("Sample of the output"));
    sample_->setReadOnly(true);
    sample_->setTabChangesFocus(true);
    sample_->setWordWrapMode(QTextOption::WrapAnywhere);
    sample_->setFont(fixed);
    sample_->setFixedHeight(QFontMetrics(fixed).lineSpacing() * 4 + sample_->frameWidth() * 2
                            + int(sample_->document()->documentMargin() * 2));

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("TemplateMessage"));
    message_->setAccessibleName(tr("Why the template does not read"));
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    message_->setMinimumHeight(message_->fontMetrics().lineSpacing() * 2);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    ok_ = buttons->button(QDialogButtonBox::Ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(tr("&Template, written for each character:"), template_, this));
    layout->addWidget(template_);
    layout->addWidget(MakeLabel(tr("{char} is the character; {HEX} and {hex} its colour as RRGGBB or rrggbb; "
                                   "{r}, {g} and {b} its red, green and blue from 0 to 255; {{ and }} are braces."),
                                nullptr, this));
    layout->addWidget(MakeLabel(tr("The template takes no styles and escapes nothing: the characters go in as "
                                   "they are."),
                                nullptr, this));
    layout->addWidget(MakeLabel(tr("&Sample, for the window's text and colours:"), sample_, this));
    layout->addWidget(sample_);
    layout->addWidget(message_);
    layout->addWidget(buttons);

    connect(template_, &QLineEdit::textChanged, this, &TemplateDialog::ReadTemplate);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    template_->setText(templateText);
    ReadTemplate(templateText);
    template_->setFocus();
    resize(sizeHint().expandedTo(QSize(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40, 0)));
}

// An empty template writes nothing at all, which no one copies on purpose:
// it waits too.
void TemplateDialog::ReadTemplate(const QString &text)
{
    QString error;
    const std::optional<MarkupTemplate> read = MarkupTemplate::Parse(text, &error);
    if (read && text.isEmpty())
        error = tr("Write the template: an empty one writes nothing.");
    ok_->setEnabled(read && !text.isEmpty());
    message_->setText(error);
    template_->setAccessibleDescription(error);
    if (!read) {
        sample_->clear();
        return;
    }
    options_.customTemplate = *read;
    QString sample =
        QString::fromUtf8(GradientMarkupStart(characters_, gradient_, MarkupFormat::Custom, options_, SampleCharacters));
    if (characters_.Count() > SampleCharacters)
        sample += QChar(0x2026);
    sample_->setPlainText(sample);
}
