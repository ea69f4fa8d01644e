#pragma once

#include <QFlags>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The styles that markup can give its whole text. Each format writes those
// it has a form for: Obfuscated is Minecraft's (and MiniMessage's) only.
enum class MarkupStyle { Bold = 0x1, Italic = 0x2, Underline = 0x4, Strikethrough = 0x8, Obfuscated = 0x10 };
Q_DECLARE_FLAGS(MarkupStyles, MarkupStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(MarkupStyles)

// Every style, in the order that markup writes them.
inline constexpr std::array<MarkupStyle, 5> AllMarkupStyles{MarkupStyle::Bold, MarkupStyle::Italic,
                                                            MarkupStyle::Underline, MarkupStyle::Strikethrough,
                                                            MarkupStyle::Obfuscated};

// "bold", "italic", "underline", "strikethrough", "obfuscated".
const char *MarkupStyleText(MarkupStyle style);

// The styles' texts in the order above, separated by commas; empty for none.
std::string StylesText(MarkupStyles styles);

// The styles named in a text of words separated by commas, in any order;
// words that name none are passed over.
MarkupStyles ParseStylesText(std::string_view text);

// A format of the user's own: a template written for each character, with
// {char}, {HEX} (RRGGBB), {hex} (rrggbb), {r}, {g} and {b} (0 to 255) put in,
// and {{ and }} for single braces. Nothing is escaped.
class MarkupTemplate {
public:
    enum class Field { Text, Character, UpperHex, LowerHex, Red, Green, Blue };
    struct Part {
        Field field = Field::Text;
        std::string text; // UTF-8, for Field::Text
    };

    // The empty template: nothing for each character.
    MarkupTemplate() = default;

    // The template of text, or none with error saying what does not read:
    // an unknown placeholder or a brace without its match.
    static std::optional<MarkupTemplate> Parse(QStringView text, QString *error = nullptr);

    const QString &Text() const { return text_; }
    const std::vector<Part> &Parts() const { return parts_; }

private:
    QString text_;
    std::vector<Part> parts_;
};

// What markup writes beside its format's colours and characters; none of it
// chosen, the markup is the format's alone.
struct MarkupOptions {
    MarkupStyles styles;
    // A character that is a single space gets no colour of its own: it is
    // written bare, and still counted by the gradient.
    bool skipSpaces = false;
    // What MarkupFormat::Custom writes.
    MarkupTemplate customTemplate;
};
