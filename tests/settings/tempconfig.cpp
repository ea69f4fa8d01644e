// Gives the test process a configuration folder of its own, so that its
// hive starts empty and is removed at the end.
#include "registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class TempConfigEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "huespin-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
        CloseHive();
    }

    void TearDown() override
    {
        CloseHive();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    std::string folder_;
};

[[maybe_unused]] testing::Environment *const environment = testing::AddGlobalTestEnvironment(new TempConfigEnvironment);

} // namespace
