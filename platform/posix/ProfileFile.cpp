#include "platform/posix/ProfileFile.h"

#include "platform/posix/IniText.h"
#include "platform/posix/RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform::posix {

namespace {

// The program's own settings are a few hundred bytes; a file of megabytes
// in their place is none the program wrote, and reading it at every value
// would stall the start.
constexpr std::size_t kLargestSettingsFile = 4u << 20;

// A missing file and a missing folder are alike: both give the defaults on
// reading and a new file on writing. Anything but a regular file of at most
// kLargestSettingsFile bytes cannot be read.
FileRead ReadWholeFile(const std::string& path, std::string& content, struct stat& status)
{
    return ReadRegularFile(path, kLargestSettingsFile, content, status);
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t count = ::write(fd, data.data(), data.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// A symbolic link to the settings file stays a link: the file at the end of
// its chain of links is the one replaced, or created where the link points
// nowhere yet (a settings file kept with the user's other files). Nothing,
// for a chain that loops or cannot be read.
std::optional<std::string> WriteTarget(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
        std::string target(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
        target.resize(static_cast<std::size_t>(length));
        // A relative target counts from the folder that holds the link.
        if (target.front() != '/') {
            const std::size_t slash = current.rfind('/');
            target.insert(0, slash == std::string::npos ? std::string() : current.substr(0, slash + 1));
        }
        current = std::move(target);
    }
    return std::nullopt;
}

// Creates an unused temporary file beside `target`. A new settings file gets
// the usual permissions of the user's new files (the process's umask); a
// replacement starts private and takes the old file's permissions later.
int CreateTemporaryFile(const std::string& target, bool replacing, std::string& temporaryPath)
{
    static unsigned s_counter = 0;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = folder + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(++s_counter);
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool ReplaceFile(const std::string& target, std::string_view content, const struct stat* old)
{
    std::string temporaryPath;
    const int fd = CreateTemporaryFile(target, old != nullptr, temporaryPath);
    if (fd < 0) return false;

    bool written = true;
    if (old != nullptr) {
        // The owner first, as changing it may clear set-id bits that the mode
        // then restores. Only a privileged process may give a file away; for
        // everyone else the file simply stays their own, which is no failure.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
        }
        written = ::fchmod(fd, old->st_mode & 07777) == 0;
    }
    written = written && WriteAll(fd, content) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    // The content is on the disk before the name changes, so that after a
    // crash the name shows either the old file or the complete new one.
    if (!written || ::rename(temporaryPath.c_str(), target.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    return true;
}

std::string_view WithoutTrailingSpaces(std::string_view text)
{
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string Delivered(std::string_view text, std::size_t bufferSize)
{
    if (bufferSize == 0) return {};
    return std::string(text.substr(0, bufferSize - 1));
}

}  // namespace

std::string ProfileDefault(std::string_view defaultValue, std::size_t bufferSize)
{
    return Delivered(WithoutTrailingSpaces(defaultValue), bufferSize);
}

bool IsUsableProfileFile(const std::string& unixPath)
{
    struct stat status {};
    if (::stat(unixPath.c_str(), &status) != 0) return errno == ENOENT || errno == ENOTDIR;
    return S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) <= kLargestSettingsFile;
}

std::string ReadProfileFileString(const std::string& unixPath, std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::size_t bufferSize)
{
    std::string content;
    struct stat status {};
    if (ReadWholeFile(unixPath, content, status) != FileRead::kRead) return ProfileDefault(defaultValue, bufferSize);
    const std::optional<std::string> value = FindIniValue(content, section, key);
    if (!value) return ProfileDefault(defaultValue, bufferSize);
    return Delivered(*value, bufferSize);
}

bool WriteProfileFileString(const std::string& unixPath, std::string_view section, std::string_view key,
                            std::string_view value)
{
    const std::optional<std::string> target = WriteTarget(unixPath);
    if (!target) return false;
    std::string content;
    struct stat old {};
    const FileRead state = ReadWholeFile(*target, content, old);
    if (state == FileRead::kUnreadable) return false;
    // Replacing the file by renaming would get round its write protection; a
    // settings file the user made read-only stays as it is.
    if (state == FileRead::kRead && ::access(target->c_str(), W_OK) != 0) return false;

    const std::optional<std::string> changed = SetIniValue(content, section, key, value);
    if (!changed) return false;
    return ReplaceFile(*target, *changed, state == FileRead::kRead ? &old : nullptr);
}

}  // namespace quorvane::platform::posix
