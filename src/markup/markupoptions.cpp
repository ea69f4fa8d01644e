#include "markupoptions.h"

#include <QCoreApplication>

namespace {

constexpr std::array<const char *, 5> StyleTexts{"bold", "italic", "underline", "strikethrough", "obfuscated"};

// The longest template read: its elements, 32,768 of them, must fit in memory.
constexpr qsizetype MaxTemplateSize = 1000;

struct Placeholder {
    const char16_t *name;
    MarkupTemplate::Field field;
};

constexpr Placeholder Placeholders[] = {
    {u"char", MarkupTemplate::Field::Character}, {u"HEX", MarkupTemplate::Field::UpperHex},
    {u"hex", MarkupTemplate::Field::LowerHex},   {u"r", MarkupTemplate::Field::Red},
    {u"g", MarkupTemplate::Field::Green},        {u"b", MarkupTemplate::Field::Blue},
};

class TemplateText {
    Q_DECLARE_TR_FUNCTIONS(MarkupTemplate)
};

} // namespace

const char *MarkupStyleText(MarkupStyle style)
{
    for (std::size_t i = 0; i < AllMarkupStyles.size(); ++i)
        if (AllMarkupStyles[i] == style)
            return StyleTexts[i];
    return "";
}

std::string StylesText(MarkupStyles styles)
{
    std::string text;
    for (const MarkupStyle style : AllMarkupStyles)
        if (styles.testFlag(style))
            text += (text.empty() ? "" : ",") + std::string(MarkupStyleText(style));
    return text;
}

MarkupStyles ParseStylesText(std::string_view text)
{
    MarkupStyles styles;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view word = text.substr(0, comma);
        for (const MarkupStyle style : AllMarkupStyles)
            if (word == MarkupStyleText(style))
                styles |= style;
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return styles;
}

std::optional<MarkupTemplate> MarkupTemplate::Parse(QStringView text, QString *error)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (text.size() > MaxTemplateSize)
        return fail(TemplateText::tr("The template is longer than %1 characters.").arg(MaxTemplateSize));
    MarkupTemplate parsed;
    parsed.text_ = text.toString();
    QString literal;
    const auto endLiteral = [&] {
        if (!literal.isEmpty())
            parsed.parts_.push_back({Field::Text, literal.toStdString()});
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c == u'{' || c == u'}') && i + 1 < text.size() && text[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == u'}')
            return fail(TemplateText::tr("The template has a '}' at character %1 that no '{' opens; write }} for "
                                         "a brace.")
                            .arg(i + 1));
        if (c != u'{') {
            literal += c;
            continue;
        }
        const qsizetype close = text.indexOf(u'}', i + 1);
        const qsizetype nextOpen = text.indexOf(u'{', i + 1);
        if (close < 0 || (nextOpen >= 0 && nextOpen < close))
            return fail(TemplateText::tr("The template has a '{' at character %1 that no '}' closes; write {{ for "
                                         "a brace.")
                            .arg(i + 1));
        const QStringView name = text.sliced(i + 1, close - i - 1);
        const Placeholder *found = nullptr;
        for (const Placeholder &placeholder : Placeholders)
            if (name == QStringView(placeholder.name))
                found = &placeholder;
        if (!found)
            return fail(TemplateText::tr("The template has an unknown placeholder {%1}: use {char}, {HEX}, {hex}, "
                                         "{r}, {g} or {b}.")
                            .arg(name));
        endLiteral();
        parsed.parts_.push_back({found->field, {}});
        i = close;
    }
    endLiteral();
    return parsed;
}
