#pragma once

#include <string>

// Makes the registry changes made while it lives one change: committed
// together by Commit, or none of them when it ends without. On Windows each
// change stands alone (the registry's own transactions, RegCreateKeyTransacted,
// are not used); there Busy is always false and Commit always succeeds.
class SettingsBatch {
public:
    // Waits up to waitMs for another program that holds the store.
    explicit SettingsBatch(int waitMs);
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch &) = delete;
    SettingsBatch &operator=(const SettingsBatch &) = delete;

    // The store was held by another program for longer than the wait: its
    // values could not be read, which is not the same as their being missing;
    // or, after a Commit, the changes could not be written.
    bool Busy() const { return busy_; }
    bool Began() const { return began_; }
    // False when the changes could not be kept; Failure then says why. Waits
    // up to waitMs for other programs that are reading the store.
    bool Commit(int waitMs = 5000);
    // Undoes the changes made since the batch began.
    void Abandon();
    std::string Failure() const { return failure_; }

    // Where the settings are kept, for a message.
    static std::string Where();
    // Where a file found unreadable in the settings' place was kept, once
    // after the batch that found it; empty when there was none.
    static std::string TakeKeptAside();

private:
    bool began_ = false;
    bool busy_ = false;
    std::string failure_;
};
