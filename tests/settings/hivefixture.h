#pragma once

#include "registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Each test gets a hive of its own in a fresh folder.
class HiveTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/huespin-hive-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
        CloseHive();
    }
    void TearDown() override
    {
        CloseHive();
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder_);
    }

    std::string folder_;
};
