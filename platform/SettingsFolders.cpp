#include "platform/SettingsFolders.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<SettingsFolders> g_settingsFolders;
}

SettingsFolders& HostSettingsFolders() { return g_settingsFolders.Get(NativeSettingsFolders()); }
SettingsFolders* ReplaceHostSettingsFolders(SettingsFolders* replacement)
{
    return g_settingsFolders.Replace(replacement);
}

}  // namespace quorvane::platform
