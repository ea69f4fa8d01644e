#pragma once

// Starts a program for a bench, its output and errors to /dev/null.
#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// The child's id, or -1 when it cannot be started. The first word is the
// program's path; folder, where given, is its working folder.
inline pid_t SpawnQuietly(const std::vector<std::string> &command, const std::vector<std::string> &environment,
                          const std::filesystem::path &folder = {})
{
    std::vector<char *> argv, envp;
    for (const std::string &word : command)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);
    for (const std::string &entry : environment)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = -1;
    const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : child;
}
