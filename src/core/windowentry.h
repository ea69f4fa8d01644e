#pragma once

// Where the program and the window's module meet. The window and the
// process that keeps the clipboard after it need Qt's GUI libraries; they
// live in a module of their own that the program loads only when the
// command line asks for one of them, so that printing markup starts with Qt
// Core alone. Only C types cross: the program's arguments and a request
// that carries its version, so that a module of another build says so
// rather than misreading it.

// Raised whenever the request's fields change.
inline constexpr int WindowRequestVersion = 1;

extern "C" {

struct HuespinWindowRequest {
    int version;          // WindowRequestVersion of the program that filled it
    bool keepClipboard;   // the hidden --keep-clipboard, which Huespin gives itself at exit
    bool documentsFolder; // --documents-folder: work in the documents folder
    const char *display;  // Qt's -display in UTF-8, for the clipboard keeper; empty for none
};

// The window, or the clipboard keeper; returns the program's exit status.
int HuespinRunWindowProgram(const HuespinWindowRequest *request, int argc, char *argv[]);
}

// The name that the program looks the entry point up by.
inline constexpr char RunWindowProgramName[] = "HuespinRunWindowProgram";
using RunWindowProgramFunction = decltype(&HuespinRunWindowProgram);
