#pragma once

#include <string>
#include <string_view>

// Key paths and value names compare as Windows compares them: letter case is
// ignored for every pair of upper- and lower-case letters in the Basic
// Multilingual Plane that map onto each other both ways (A/a, É/é, Ж/ж, Ω/ω),
// and for nothing else (not µ/Μ, ı/I, ſ/S or ς/Σ, whose mappings go one way).
// Names are UTF-8; bytes that are not are compared as they are.

// The name with each such upper-case letter replaced by its lower-case one:
// two names are the same name exactly when their folds are equal. The order
// of folds is SQLite's NOCASE order for ASCII.
std::string FoldNameCase(std::string_view name);

// Negative, zero or positive as a's fold sorts before, with or after b's.
int CompareNames(std::string_view a, std::string_view b);
