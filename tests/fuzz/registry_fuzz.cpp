// Random sequences of registry calls against a small model of the contract:
// keys made on the way, names without regard to ASCII letter case, a key
// with sub-keys kept, a deleted key's handles refused, values read back as
// written. Each input starts on a fresh hive in a folder in memory.
#include "registry.h"
#include "require.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Value {
    DWORD type;
    std::string data;
};

// Keys by their folded path below HKEY_CURRENT_USER ("" is the root itself).
using Model = std::map<std::string, std::map<std::string, Value>>;

std::string Fold(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    unsigned Next(unsigned range) { return at_ < size_ ? data_[at_++] % range : 0; }
    std::string Bytes(std::size_t most)
    {
        std::string bytes;
        for (std::size_t n = Next(unsigned(most + 1)); n > 0 && More(); --n)
            bytes += char(data_[at_++]);
        return bytes;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

const char *const Parts[] = {"a", "A", "b", "c"};
const char *const Names[] = {"", "v", "V", "w"};

// Made once a run, and removed at its end.
const std::string &Folder()
{
    static const std::string *const folder = [] {
        std::string pattern =
            std::filesystem::exists("/dev/shm") ? "/dev/shm/huespin-fuzz-XXXXXX" : "/tmp/huespin-fuzz-XXXXXX";
        REQUIRE(::mkdtemp(pattern.data()) != nullptr);
        ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
        std::atexit([] {
            CloseHive();
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        });
        return new std::string(pattern); // outlives the handler above
    }();
    return *folder;
}

bool HasChildren(const Model &model, const std::string &path)
{
    const std::string prefix = path + '\\';
    const auto next = model.upper_bound(path);
    return next != model.end() && next->first.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string folder = Folder();
    CloseHive();
    std::filesystem::remove_all(folder + "/huespin");

    Model model{{"", {}}};
    struct Handle {
        HKEY key;
        std::string path; // folded
        bool deleted;     // its key was deleted, even if made again since
    };
    std::vector<Handle> handles;
    Input input(data, size);
    for (int step = 0; step < 64 && input.More(); ++step) {
        // A path of up to three parts below the root or below an open handle.
        const bool relative = !handles.empty() && input.Next(2);
        const Handle *base = relative ? &handles[input.Next(unsigned(handles.size()))] : nullptr;
        std::string sub, folded = base ? base->path : "";
        for (unsigned parts = input.Next(4); parts > 0; --parts) {
            const std::string part = Parts[input.Next(4)];
            sub += (sub.empty() ? "" : "\\") + part;
            folded += (folded.empty() ? "" : "\\") + Fold(part);
        }
        const HKEY parent = base ? base->key : HKEY_CURRENT_USER;
        const bool baseGone = base && base->deleted;
        const std::string name = Names[input.Next(4)];
        switch (input.Next(5)) {
        case 0: { // create
            HKEY key = nullptr;
            const LONG status = RegCreateKeyA(parent, sub.c_str(), &key);
            if (baseGone) {
                REQUIRE(status == ERROR_KEY_DELETED);
                break;
            }
            REQUIRE(status == ERROR_SUCCESS);
            std::string path;
            for (std::size_t at = 0; at != std::string::npos;) {
                const std::size_t end = folded.find('\\', at);
                path = folded.substr(0, end);
                model[path];
                at = end == std::string::npos ? end : end + 1;
            }
            handles.push_back({key, folded, false});
            break;
        }
        case 1: { // set a value on a handle
            if (!base)
                break;
            const DWORD type = input.Next(2) ? REG_BINARY : REG_DWORD;
            std::string bytes = input.Bytes(16);
            const LONG status = RegSetValueExA(base->key, name.c_str(), 0, type,
                                               reinterpret_cast<const BYTE *>(bytes.data()), DWORD(bytes.size()));
            REQUIRE(status == (baseGone ? ERROR_KEY_DELETED : ERROR_SUCCESS));
            if (!baseGone)
                model[base->path][Fold(name)] = {type, bytes};
            break;
        }
        case 2: { // query a value on a handle
            if (!base)
                break;
            BYTE buffer[32];
            DWORD type = 0, room = sizeof buffer;
            const LONG status = RegQueryValueExA(base->key, name.c_str(), nullptr, &type, buffer, &room);
            if (baseGone) {
                REQUIRE(status == ERROR_KEY_DELETED);
                break;
            }
            const auto &values = model[base->path];
            const auto found = values.find(Fold(name));
            if (found == values.end()) {
                REQUIRE(status == ERROR_FILE_NOT_FOUND);
            } else {
                REQUIRE(status == ERROR_SUCCESS && type == found->second.type);
                REQUIRE(std::string(reinterpret_cast<char *>(buffer), room) == found->second.data);
            }
            break;
        }
        case 3: { // delete a value
            if (!base)
                break;
            const LONG status = RegDeleteValueA(base->key, name.c_str());
            if (baseGone) {
                REQUIRE(status == ERROR_KEY_DELETED);
                break;
            }
            REQUIRE(status == (model[base->path].erase(Fold(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND));
            break;
        }
        case 4: { // delete a key
            const LONG status = RegDeleteKeyA(parent, sub.c_str());
            if (baseGone) {
                REQUIRE(status == ERROR_KEY_DELETED);
            } else if (!model.count(folded)) {
                REQUIRE(status == ERROR_FILE_NOT_FOUND);
            } else if (folded.empty() || HasChildren(model, folded)) {
                REQUIRE(status == ERROR_ACCESS_DENIED);
            } else {
                REQUIRE(status == ERROR_SUCCESS);
                model.erase(folded);
                for (Handle &handle : handles)
                    handle.deleted |= handle.path == folded;
            }
            break;
        }
        }
    }
    for (const Handle &handle : handles)
        REQUIRE(RegCloseKey(handle.key) == ERROR_SUCCESS);
    REQUIRE(CountOpenKeys() == 0);
    return 0;
}
