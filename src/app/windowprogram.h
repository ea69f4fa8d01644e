#pragma once

#include "commandline.h"

// The window and the process that keeps the clipboard after it, which need
// Qt's GUI libraries. They live in a module of their own that the program
// loads only when the command line asks for one of them, so that printing
// markup starts with Qt Core alone.
extern "C" int HuespinRunWindowProgram(const CommandLine *line, int argc, char *argv[]);

// The name that the program looks the entry point up by.
inline constexpr char RunWindowProgramName[] = "HuespinRunWindowProgram";
using RunWindowProgramFunction = decltype(&HuespinRunWindowProgram);
