#pragma once

#include "commandline.h"

// Prints the markup that the command line asks for (line.printMarkup), with
// no window and no display, and gives the exit status: 0, 1 when a line was
// left out or the output could not be written, 2 for a colour that was
// neither given nor chosen in the window. argv is checked to be UTF-8.
int PrintMarkup(const CommandLine &line, int argc, char *argv[]);
