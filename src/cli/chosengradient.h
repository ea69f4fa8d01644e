#pragma once

#include "commandline.h"
#include "gradient.h"

#include <QString>

#include <optional>

// The gradient the command line asks for: a preset; or --from, --via and
// --to, the window's colours for the ends not given; or, with none of them,
// the window's whole gradient (a stored value that does not read is taken
// as none). --blend goes over any of them. None, with why, where a colour
// is missing. The window's settings are read, never written.
std::optional<Gradient> ChooseGradient(const CommandLine &line, QString &error);
