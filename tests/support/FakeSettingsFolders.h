#pragma once

#include "platform/SettingsFolders.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace quorvane::testing {

// The settings folders with two answers under the test's control: every
// folder can be written except those in ReadOnly (tests run as root, for whom
// nearly every folder can), and the user's own folder is UserFolder when
// given, else the system's. Folders are really created by the system's
// service.
class FakeSettingsFolders : public platform::SettingsFolders {
public:
    bool CanWriteFolder(std::string_view folder) override
    {
        return !ReadOnly.contains(folder);
    }

    std::string UserSettingsFolder(std::string_view program) override
    {
        return UserFolder ? *UserFolder : platform::NativeSettingsFolders().UserSettingsFolder(program);
    }

    bool CreateFolder(std::string_view folder) override
    {
        return platform::NativeSettingsFolders().CreateFolder(folder);
    }

    std::set<std::string, std::less<>> ReadOnly;
    std::optional<std::string> UserFolder;
};

}  // namespace quorvane::testing
