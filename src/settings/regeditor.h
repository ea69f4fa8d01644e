#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A small cursor over the registry: set the root key, the key path and the
// value name, then call an operation. Operations never throw; a failure sets
// Error, which stays set for the life of the instance. Texts are UTF-8 and
// every value written is REG_SZ.
class RegEditor {
public:
    void CreateKey();
    void SetValue(const std::string &vData);
    void ValName(const std::string &vData) { valueName_ = vData; }
    bool Error() const { return error_; }
    std::string ValName() const { return valueName_; }
    void SubKey(const std::string &vData) { keyPath_ = vData; }
    std::string SubKey() const { return keyPath_; }
    std::int32_t HKey() const;
    // nullopt (Empty) when there is no usable value: missing, no bytes, or a lone NUL.
    std::optional<std::string> GetValue();
    // GetValue without making or changing anything: a missing key, or a
    // store not made yet, is no value and no Error.
    std::optional<std::string> ReadValue();
    void DelValue();
    void DeleteKey();
    void SetHKey(const std::int32_t &vData) { rootKey_ = vData; }

private:
    void CheckKey();
    void CheckValue();

    double rootKey_ = 0;
    std::string keyPath_;
    std::string valueName_;
    bool error_ = false;
};
