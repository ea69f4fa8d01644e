#include "regeditor.h"

#include "registry.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

// Closed when the operation ends; nothing uses a key handle after that.
using KeyHandle = std::unique_ptr<HKEY__, decltype(&RegCloseKey)>;

// The root key's handle as the platform defines it, sign-extended as Win32 does.
HKEY RootHandle(std::int32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<std::intptr_t>(root)));
}

KeyHandle OpenKey(std::int32_t root, const std::string &path)
{
    HKEY key = nullptr;
    if (RegCreateKeyA(RootHandle(root), path.c_str(), &key) != ERROR_SUCCESS)
        key = nullptr;
    return KeyHandle(key, RegCloseKey);
}

// The value's bytes whatever its type; empty when it is missing or cannot be read.
std::string ReadBytes(HKEY key, const char *name)
{
    std::string data(4, '\0'); // the probe's scratch area
    DWORD type = REG_SZ;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
    // Another window may make the value longer between two calls.
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 8; ++attempt) {
        data.assign(size, '\0');
        type = REG_SZ;
        status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

// Only a terminating NUL is dropped: a text stored without one stays whole.
std::optional<std::string> TextOf(std::string bytes)
{
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    if (bytes.empty())
        return std::nullopt;
    return bytes;
}

// Ties go to the even number, whatever the floating-point environment.
std::int32_t RoundToInt32(double value)
{
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<std::int32_t>(whole);
}

} // namespace

std::int32_t RegEditor::HKey() const
{
    return RoundToInt32(rootKey_);
}

// A failed check is noted, but the platform call is still made.
void RegEditor::CheckKey()
{
    if (HKey() == 0 || keyPath_.empty())
        error_ = true;
}

void RegEditor::CheckValue()
{
    CheckKey();
    if (valueName_.empty())
        error_ = true;
}

void RegEditor::CreateKey()
{
    CheckKey();
    if (!OpenKey(HKey(), keyPath_))
        error_ = true;
}

void RegEditor::SetValue(const std::string &vData)
{
    CheckValue();
    const KeyHandle key = OpenKey(HKey(), keyPath_);
    if (!key || vData.size() >= std::numeric_limits<DWORD>::max()) {
        error_ = true;
        return;
    }
    // Sizes are bytes of the UTF-8 text and its NUL; an empty text is stored with none.
    static const BYTE zero[4] = {};
    const BYTE *data = vData.empty() ? zero : reinterpret_cast<const BYTE *>(vData.c_str());
    const DWORD size = vData.empty() ? 0 : DWORD(vData.size() + 1);
    if (RegSetValueExA(key.get(), valueName_.c_str(), 0, REG_SZ, data, size) != ERROR_SUCCESS)
        error_ = true;
}

std::optional<std::string> RegEditor::GetValue()
{
    CheckValue();
    const KeyHandle key = OpenKey(HKey(), keyPath_);
    if (!key) {
        error_ = true;
        return std::nullopt;
    }
    return TextOf(ReadBytes(key.get(), valueName_.c_str()));
}

std::optional<std::string> RegEditor::ReadValue()
{
    CheckValue();
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(RootHandle(HKey()), keyPath_.c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (status != ERROR_SUCCESS) {
        if (status != ERROR_FILE_NOT_FOUND)
            error_ = true;
        return std::nullopt;
    }
    const KeyHandle key(opened, RegCloseKey);
    return TextOf(ReadBytes(key.get(), valueName_.c_str()));
}

void RegEditor::DelValue()
{
    CheckValue();
    const KeyHandle key = OpenKey(HKey(), keyPath_);
    if (!key) {
        error_ = true;
        return;
    }
    RegDeleteValueA(key.get(), valueName_.c_str());
}

void RegEditor::DeleteKey()
{
    CheckKey();
    if (RegDeleteKeyA(RootHandle(HKey()), keyPath_.c_str()) != ERROR_SUCCESS)
        error_ = true;
}
