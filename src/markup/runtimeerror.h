#pragma once

#include <stdexcept>
#include <string>

// A run-time error with the classic number and description ("Overflow" is 6).
// Anything that fails inside an event raises one; the window reports it and
// stays open.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string &description)
        : std::runtime_error(description), number_(number) {}

    int Number() const { return number_; }
    std::string Description() const { return what(); }

private:
    int number_;
};

namespace RuntimeErrors {
inline RuntimeError Overflow() { return {6, "Overflow"}; }
inline RuntimeError DivisionByZero() { return {11, "Division by zero"}; }
inline RuntimeError FileNotFound() { return {53, "File not found"}; }
inline RuntimeError DiskFull() { return {61, "Disk full"}; }
inline RuntimeError PermissionDenied() { return {70, "Permission denied"}; }
inline RuntimeError PathFileAccessError() { return {75, "Path/File access error"}; }
inline RuntimeError InvalidPropertyValue() { return {380, "Invalid property value"}; }
inline RuntimeError CantOpenClipboard() { return {521, "Can't open Clipboard"}; }
} // namespace RuntimeErrors
