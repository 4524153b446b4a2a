#pragma once

#include <string>
#include <string_view>

namespace quorvane::platform {

// What the program needs to know of the folders that may hold its settings
// file, with folders named in the drive-letter name space.
class SettingsFolders {
public:
    virtual ~SettingsFolders() = default;

    // True when this process may create and replace files in `folder`.
    virtual bool CanWriteFolder(std::string_view folder) = 0;

    // The user's own folder for the settings of the program `program`, for a
    // program whose own folder cannot be written: on Linux
    // $XDG_CONFIG_HOME/<program>, by default ~/.config/<program>. It need not
    // exist yet. Empty where the system has no such folder or redirects such
    // writes by itself (Windows), or where the folder cannot be named.
    virtual std::string UserSettingsFolder(std::string_view program) = 0;

    // True when the settings file `file` may be used where it lies: it is
    // missing (the first write creates it) or a file the profile service
    // reads. Something else put in its place (a named pipe, a folder, a file
    // of megabytes) gives no settings and takes none, so the program keeps
    // its settings in the user's own folder instead. Where nothing but a
    // file can stand under a file's name (Windows) the answer is always true.
    virtual bool CanUseFile(std::string_view file)
    {
        static_cast<void>(file);
        return true;
    }

    // Creates `folder` and its missing parents. True when it is a folder
    // afterwards, whether it was made now or existed.
    virtual bool CreateFolder(std::string_view folder) = 0;
};

// The service of this system, or the one a test put in its place.
SettingsFolders& HostSettingsFolders();

// The real backend of this operating system.
SettingsFolders& NativeSettingsFolders();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
SettingsFolders* ReplaceHostSettingsFolders(SettingsFolders* replacement);

}  // namespace quorvane::platform
