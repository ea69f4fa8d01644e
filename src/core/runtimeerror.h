#pragma once

#include <stdexcept>
#include <string>

// A run-time error with the classic number and description ("Overflow" is 6).
// Anything that fails inside an event raises one; the window reports it and
// stays open. Detail, when there is one, names the file and the system's
// reason, for a line under the classic two.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string &description, std::string detail = {})
        : std::runtime_error(description), number_(number), detail_(std::move(detail))
    {
    }

    int Number() const { return number_; }
    std::string Description() const { return what(); }
    const std::string &Detail() const { return detail_; }

    RuntimeError WithDetail(std::string detail) const { return {number_, Description(), std::move(detail)}; }

private:
    int number_;
    std::string detail_;
};

namespace RuntimeErrors {
inline RuntimeError Overflow()
{
    return {6, "Overflow"};
}
inline RuntimeError OutOfMemory()
{
    return {7, "Out of memory"};
}
inline RuntimeError DivisionByZero()
{
    return {11, "Division by zero"};
}
inline RuntimeError FileNotFound()
{
    return {53, "File not found"};
}
inline RuntimeError DiskFull()
{
    return {61, "Disk full"};
}
inline RuntimeError PermissionDenied()
{
    return {70, "Permission denied"};
}
inline RuntimeError PathFileAccessError()
{
    return {75, "Path/File access error"};
}
inline RuntimeError NoSuchControlElement(int index)
{
    return {340, "Control array element '" + std::to_string(index) + "' doesn't exist"};
}
inline RuntimeError ObjectAlreadyLoaded()
{
    return {360, "Object already loaded"};
}
inline RuntimeError CantUnloadDesignTimeControl()
{
    return {362, "Can't unload controls created at design time"};
}
inline RuntimeError InvalidPropertyValue()
{
    return {380, "Invalid property value"};
}
inline RuntimeError CantOpenClipboard()
{
    return {521, "Can't open Clipboard"};
}
} // namespace RuntimeErrors
