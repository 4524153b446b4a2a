#include "platform/posix/PosixFolderAccess.h"

#include "platform/posix/PosixDescriptor.h"
#include "platform/posix/PosixErrors.h"
#include "platform/posix/PosixRename.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace quorvane::platform::posix {

namespace {

// As many links as the kernel follows on one path before it gives up.
constexpr int kMaxLinks = 40;

// The folders are only named, never read (O_PATH), so a folder the user may
// enter but not list is found too.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

TDescriptor OpenRoot() { return TDescriptor(::open("/", kFolderFlags)); }

std::vector<std::string> Components(std::string_view path)
{
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) components.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

bool IsPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
        name.find('\0') == std::string_view::npos;
}

std::int64_t Nanoseconds(const struct statx_timestamp& time)
{
    return time.tv_sec * std::int64_t{1000000000} + time.tv_nsec;
}

// The stamp of `name` in `folder`, or of `folder` itself for an empty name.
// A network or FUSE file system is asked afresh rather than from what the
// kernel keeps of it, which may be a guess (the kernel sets the change time
// of a renamed file itself until it asks the server again).
EntryStamp StampAt(int folder, const char* name)
{
    struct statx info {};
    const int flags = AT_SYMLINK_NOFOLLOW | AT_STATX_FORCE_SYNC | (name[0] == '\0' ? AT_EMPTY_PATH : 0);
    if (::statx(folder, name, flags, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) return {};
    EntryStamp stamp;
    stamp.HasBirth = (info.stx_mask & STATX_BTIME) != 0;
    // Without a birth time, the change time has to tell a new file from the
    // old one under a reused number; without that either, nothing does.
    if (!stamp.HasBirth && (info.stx_mask & STATX_CTIME) == 0) return {};
    stamp.Type = S_ISDIR(info.stx_mode) ? EntryStamp::Kind::Folder
        : S_ISREG(info.stx_mode)       ? EntryStamp::Kind::File
                                       : EntryStamp::Kind::Other;
    stamp.Volume = makedev(info.stx_dev_major, info.stx_dev_minor);
    stamp.File = info.stx_ino;
    if (stamp.HasBirth) stamp.Birth = Nanoseconds(info.stx_btime);
    stamp.Changed = Nanoseconds(info.stx_ctime);
    stamp.Size = info.stx_size;
    return stamp;
}

std::optional<std::string> LinkTarget(int link)
{
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(link, "", target.data(), target.size());
        if (length <= 0) return std::nullopt;
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

class TPosixIdentifiedFolder final : public IdentifiedFolder {
public:
    TPosixIdentifiedFolder(TDescriptor descriptor, std::string location, EntryStamp stamp)
        : m_descriptor(std::move(descriptor)), m_location(std::move(location)), m_stamp(stamp)
    {
    }

    const std::string& Location() const override { return m_location; }
    const EntryStamp& Stamp() const override { return m_stamp; }

    EntryStamp StampOf(std::string_view name) override
    {
        if (!IsPlainName(name)) return {};
        return StampAt(m_descriptor.Get(), std::string(name).c_str());
    }

    // The look and the rename are two system calls; no call renames an
    // entry only if it is a given file, so another program that swaps the
    // file in that instant is not noticed. The rename still never replaces.
    std::uint32_t MoveFileIfSame(std::string_view name, std::string_view newName, const EntryStamp& expected) override
    {
        if (!IsPlainName(name) || !IsPlainName(newName)) return kErrorInvalidName;
        const std::string from(name);
        const std::string to(newName);
        if (!SameEntry(expected, StampAt(m_descriptor.Get(), from.c_str()))) return kErrorFileNotFound;
        int result = RenameWithoutReplacing(m_descriptor.Get(), from.c_str(), to.c_str());
        // A case-insensitive file system finds the new name of a change of
        // case as the file itself and calls it taken.
        if (result == EEXIST && MaySpellOneEntry(m_descriptor.Get(), from.c_str(), to.c_str())) {
            result = RenameThroughTemporaryName(m_descriptor.Get(), from.c_str(), to.c_str());
        }
        return ErrorFromErrno(result);
    }

private:
    TDescriptor m_descriptor;
    std::string m_location;
    EntryStamp m_stamp;
};

std::unique_ptr<IdentifiedFolder> MakeFolder(TDescriptor descriptor, const std::vector<std::string>& components)
{
    const EntryStamp stamp = StampAt(descriptor.Get(), "");
    if (stamp.Type != EntryStamp::Kind::Folder) return nullptr;
    std::string location(components.empty() ? 1 : 0, '/');
    for (const std::string& component : components) location.append(1, '/').append(component);
    return std::make_unique<TPosixIdentifiedFolder>(std::move(descriptor), std::move(location), stamp);
}

}  // namespace

// The kernel's own lookup of a whole path stops at PATH_MAX, so the path is
// walked here as the kernel would walk it: a link's target takes the place
// of the link, "." stays and ".." goes up from where the walk really is.
std::unique_ptr<IdentifiedFolder> OpenIdentifiedUnixFolder(std::string_view unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/') return nullptr;
    std::vector<std::string> pending = Components(unixPath);
    std::reverse(pending.begin(), pending.end());
    std::vector<std::string> components;
    TDescriptor current = OpenRoot();
    int links = 0;
    while (current && !pending.empty()) {
        std::string name = std::move(pending.back());
        pending.pop_back();
        if (name == ".") continue;
        if (name == "..") {
            if (components.empty()) continue;
            components.pop_back();
            current = TDescriptor(::openat(current.Get(), "..", kFolderFlags));
            continue;
        }
        TDescriptor next(::openat(current.Get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (!next || ::fstat(next.Get(), &info) != 0) return nullptr;
        if (S_ISLNK(info.st_mode)) {
            const std::optional<std::string> target = LinkTarget(next.Get());
            if (!target || ++links > kMaxLinks) return nullptr;
            if ((*target)[0] == '/') {
                current = OpenRoot();
                components.clear();
            }
            std::vector<std::string> targetComponents = Components(*target);
            pending.insert(pending.end(), targetComponents.rbegin(), targetComponents.rend());
            continue;
        }
        if (!S_ISDIR(info.st_mode)) return nullptr;
        components.push_back(std::move(name));
        current = std::move(next);
    }
    if (!current) return nullptr;
    return MakeFolder(std::move(current), components);
}

std::unique_ptr<IdentifiedFolder> ReopenIdentifiedUnixFolder(std::string_view location)
{
    if (location.empty() || location[0] != '/') return nullptr;
    const std::vector<std::string> components = Components(location);
    TDescriptor current = OpenRoot();
    for (const std::string& name : components) {
        if (!current || !IsPlainName(name)) return nullptr;
        current = TDescriptor(::openat(current.Get(), name.c_str(), kFolderFlags));
    }
    if (!current) return nullptr;
    return MakeFolder(std::move(current), components);
}

}  // namespace quorvane::platform::posix
