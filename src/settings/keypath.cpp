#include "keypath.h"

#include <algorithm>

std::optional<std::vector<std::string>> SplitPath(std::string_view path)
{
    if (path.starts_with('\\'))
        return std::nullopt;
    std::vector<std::string> parts;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::size_t Utf16Length(std::string_view name)
{
    std::size_t units = 0;
    for (const char byte : name) {
        const auto value = static_cast<unsigned char>(byte);
        if ((value & 0xC0) != 0x80)
            ++units;
        if (value >= 0xF0)
            ++units;
    }
    return units;
}

std::size_t DepthOf(std::string_view path)
{
    return path.empty() ? 0 : std::size_t(std::count(path.begin(), path.end(), '\\')) + 1;
}

bool KeyPathFits(const std::vector<std::string> &parts, std::size_t depthAbove)
{
    if (depthAbove + parts.size() > MaxDepth)
        return false;
    return std::none_of(parts.begin(), parts.end(), [](const std::string &part) {
        return part.size() > MaxKeyName && Utf16Length(part) > MaxKeyName;
    });
}

bool ValueNameFits(std::string_view name)
{
    return name.size() <= MaxValueName || Utf16Length(name) <= MaxValueName;
}

std::string JoinPath(const std::string &above, const std::vector<std::string> &parts)
{
    std::string path = above;
    for (const std::string &part : parts)
        (path.empty() ? path : path += '\\') += part;
    return path;
}
