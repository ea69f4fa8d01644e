#pragma once

#include <QtGlobal>

#include <stdexcept>
#include <string>
#include <string_view>

// A run-time error with the classic number and description ("Overflow" is 6).
// Anything that fails inside an event raises one; the window reports it and
// stays open. Detail, when there is one, names the file and the system's
// reason, for a line under the classic two.
class RuntimeError : public std::runtime_error {
public:
    // description: a string literal, the English text that the window
    // translates (marked for lupdate); a %1 in it stands for argument.
    RuntimeError(int number, const char *description, std::string detail = {}, std::string argument = {})
        : std::runtime_error(Fill(description, argument)), number_(number), description_(description),
          argument_(std::move(argument)), detail_(std::move(detail))
    {
    }

    int Number() const { return number_; }
    // In English, its %1 filled in.
    std::string Description() const { return what(); }
    // The description as written, to translate, and what fills its %1.
    const char *DescriptionSource() const { return description_; }
    const std::string &Argument() const { return argument_; }
    const std::string &Detail() const { return detail_; }

    RuntimeError WithDetail(std::string detail) const { return {number_, description_, std::move(detail), argument_}; }

private:
    static std::string Fill(std::string_view text, const std::string &argument)
    {
        const std::size_t at = text.find("%1");
        if (at == std::string_view::npos)
            return std::string(text);
        return std::string(text.substr(0, at)) + argument + std::string(text.substr(at + 2));
    }

    int number_;
    const char *description_;
    std::string argument_;
    std::string detail_;
};

namespace RuntimeErrors {
inline RuntimeError Overflow()
{
    return {6, QT_TRANSLATE_NOOP("RuntimeError", "Overflow")};
}
inline RuntimeError OutOfMemory()
{
    return {7, QT_TRANSLATE_NOOP("RuntimeError", "Out of memory")};
}
inline RuntimeError DivisionByZero()
{
    return {11, QT_TRANSLATE_NOOP("RuntimeError", "Division by zero")};
}
inline RuntimeError FileNotFound()
{
    return {53, QT_TRANSLATE_NOOP("RuntimeError", "File not found")};
}
inline RuntimeError DiskFull()
{
    return {61, QT_TRANSLATE_NOOP("RuntimeError", "Disk full")};
}
inline RuntimeError PermissionDenied()
{
    return {70, QT_TRANSLATE_NOOP("RuntimeError", "Permission denied")};
}
inline RuntimeError PathFileAccessError()
{
    return {75, QT_TRANSLATE_NOOP("RuntimeError", "Path/File access error")};
}
inline RuntimeError NoSuchControlElement(int index)
{
    return {
        340, QT_TRANSLATE_NOOP("RuntimeError", "Control array element '%1' doesn't exist"), {}, std::to_string(index)};
}
inline RuntimeError ObjectAlreadyLoaded()
{
    return {360, QT_TRANSLATE_NOOP("RuntimeError", "Object already loaded")};
}
inline RuntimeError CantUnloadDesignTimeControl()
{
    return {362, QT_TRANSLATE_NOOP("RuntimeError", "Can't unload controls created at design time")};
}
inline RuntimeError InvalidPropertyValue()
{
    return {380, QT_TRANSLATE_NOOP("RuntimeError", "Invalid property value")};
}
inline RuntimeError CantOpenClipboard()
{
    return {521, QT_TRANSLATE_NOOP("RuntimeError", "Can't open Clipboard")};
}
} // namespace RuntimeErrors
