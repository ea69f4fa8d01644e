#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Key paths as the registry takes them: parts between backslashes, within
// Windows's limits. Names are UTF-8 and counted in UTF-16 units, as Windows
// counts them.

// A key name may have 256 units (257 fail), a value name 16,383, and a tree
// 512 levels below its root.
inline constexpr std::size_t MaxKeyName = 256;
inline constexpr std::size_t MaxValueName = 16383;
inline constexpr std::size_t MaxDepth = 512;

// The parts of a path. Runs of backslashes separate like one, so a trailing
// one is ignored; a leading one makes the path bad (nullopt).
std::optional<std::vector<std::string>> SplitPath(std::string_view path);

// One unit a character, two beyond the Basic Multilingual Plane.
std::size_t Utf16Length(std::string_view name);

// Levels below the root of a path as stored ("" is the root itself).
std::size_t DepthOf(std::string_view path);

// Whether parts may be added below a key depthAbove levels deep.
bool KeyPathFits(const std::vector<std::string> &parts, std::size_t depthAbove);
bool ValueNameFits(std::string_view name);

// above with parts appended, separated by backslashes.
std::string JoinPath(const std::string &above, const std::vector<std::string> &parts);
