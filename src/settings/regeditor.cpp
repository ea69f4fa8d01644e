#include "regeditor.h"

#include "registry.h"

#include <cmath>
#include <vector>

namespace {

// The root key's handle as the platform defines it, sign-extended as Win32 does.
HKEY RootHandle(std::int32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<std::intptr_t>(root)));
}

// Closes the key when the operation ends.
class KeyHandle {
public:
    KeyHandle(std::int32_t root, const std::string &path)
        : status_(RegCreateKeyA(RootHandle(root), path.c_str(), &key_)) {}
    ~KeyHandle()
    {
        if (status_ == ERROR_SUCCESS)
            RegCloseKey(key_);
    }
    KeyHandle(const KeyHandle &) = delete;
    KeyHandle &operator=(const KeyHandle &) = delete;

    bool Opened() const { return status_ == ERROR_SUCCESS; }
    HKEY Key() const { return key_; }

private:
    HKEY key_ = nullptr;
    LONG status_;
};

} // namespace

std::int32_t RegEditor::HKey() const
{
    return static_cast<std::int32_t>(std::nearbyint(rootKey_));
}

// A failed check is noted, but the platform call is still made.
bool RegEditor::CheckKey()
{
    if (HKey() == 0 || keyPath_.empty())
        error_ = true;
    return !error_;
}

bool RegEditor::CheckValue()
{
    CheckKey();
    if (valueName_.empty())
        error_ = true;
    return !error_;
}

void RegEditor::CreateKey()
{
    CheckKey();
    if (!KeyHandle(HKey(), keyPath_).Opened())
        error_ = true;
}

void RegEditor::SetValue(std::string vData)
{
    CheckValue();
    const KeyHandle key(HKey(), keyPath_);
    if (!key.Opened()) {
        error_ = true;
        return;
    }
    static const BYTE zero[4] = {};
    const BYTE *data = vData.empty() ? zero : reinterpret_cast<const BYTE *>(vData.c_str());
    const DWORD size = vData.empty() ? 0 : DWORD(vData.size() + 1);
    if (RegSetValueExA(key.Key(), valueName_.c_str(), 0, REG_SZ, data, size) != ERROR_SUCCESS)
        error_ = true;
}

std::optional<std::string> RegEditor::GetValue()
{
    CheckValue();
    const KeyHandle key(HKey(), keyPath_);
    if (!key.Opened()) {
        error_ = true;
        return std::nullopt;
    }
    DWORD size = 0;
    DWORD type = REG_SZ;
    BYTE scratch[4] = {};
    RegQueryValueExA(key.Key(), valueName_.c_str(), nullptr, &type, scratch, &size);
    if (size == 0)
        return std::nullopt;
    std::vector<BYTE> buffer(size + 1);
    type = REG_SZ;
    RegQueryValueExA(key.Key(), valueName_.c_str(), nullptr, &type, buffer.data(), &size);
    // Only a terminating NUL is dropped: a text stored without one stays whole.
    if (size > 0 && buffer[size - 1] == 0)
        --size;
    if (size == 0)
        return std::nullopt;
    return std::string(reinterpret_cast<const char *>(buffer.data()), size);
}

void RegEditor::DelValue()
{
    CheckValue();
    const KeyHandle key(HKey(), keyPath_);
    if (!key.Opened()) {
        error_ = true;
        return;
    }
    RegDeleteValueA(key.Key(), valueName_.c_str());
}

void RegEditor::DeleteKey()
{
    CheckKey();
    if (RegDeleteKeyA(RootHandle(HKey()), keyPath_.c_str()) != ERROR_SUCCESS)
        error_ = true;
}
