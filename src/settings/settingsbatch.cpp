#include "settingsbatch.h"

#include "registry.h"

#ifdef _WIN32

SettingsBatch::SettingsBatch(int) : began_(true) {}
SettingsBatch::~SettingsBatch() = default;
bool SettingsBatch::Commit(int)
{
    return true;
}
void SettingsBatch::Abandon() {}
std::string SettingsBatch::Where()
{
    return "the registry";
}
std::string SettingsBatch::TakeKeptAside()
{
    return {};
}

#else

SettingsBatch::SettingsBatch(int waitMs)
{
    const LONG status = BeginHiveBatch(waitMs);
    began_ = status == ERROR_SUCCESS;
    busy_ = status == ERROR_BUSY;
    if (!began_)
        failure_ = LastHiveFailure();
}

SettingsBatch::~SettingsBatch()
{
    Abandon();
}

bool SettingsBatch::Commit(int waitMs)
{
    if (!began_)
        return false;
    began_ = false;
    const LONG status = EndHiveBatch(true, waitMs);
    if (status == ERROR_SUCCESS)
        return true;
    busy_ = status == ERROR_BUSY;
    failure_ = LastHiveFailure();
    return false;
}

void SettingsBatch::Abandon()
{
    if (!began_)
        return;
    failure_ = LastHiveFailure();
    EndHiveBatch(false, 0);
    began_ = false;
}

std::string SettingsBatch::Where()
{
    return HivePath();
}

std::string SettingsBatch::TakeKeptAside()
{
    return TakeHiveKeptAside();
}

#endif
