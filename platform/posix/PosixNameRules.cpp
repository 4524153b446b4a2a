#include "platform/posix/PosixNameRules.h"

#include "platform/posix/MountTable.h"
#include "platform/posix/PosixDescriptor.h"
#include "platform/posix/Utf8.h"
#include "runtime/AsciiCase.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quorvane::platform::posix {

namespace {

constexpr unsigned long kMsdosMagic = 0x4d44;
constexpr unsigned long kExfatMagic = 0x2011BAB0;
constexpr unsigned long kNtfsMagic = 0x5346544e;
constexpr unsigned long kNtfs3Magic = 0x7366746e;
constexpr unsigned long kCifsMagic = 0xFF534D42;
constexpr unsigned long kSmb2Magic = 0xFE534D42;
constexpr unsigned long kSmbMagic = 0x517B;
constexpr unsigned long kFuseMagic = 0x65735546;

std::string DecodeMountField(const std::string& field)
{
    std::string decoded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
            field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            decoded += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

// The type of the mount with the id `mountId` in /proc/self/mountinfo, whose
// lines read "id parent major:minor root mount-point options [tags] - type
// source super-options".
std::string MountTypeById(std::uint64_t mountId)
{
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::uint64_t id = 0;
        if (!(fields >> id) || id != mountId) continue;
        std::string field;
        while (fields >> field && field != "-") {
        }
        std::string type;
        if (fields >> type) return DecodeMountField(type);
        return {};
    }
    return {};
}

// The type the mount table gives the folder's file system; a FUSE file
// system names itself only there.
std::string MountTypeOf(int folder, const std::string& unixFolder)
{
    struct statx info {};
    if (::statx(folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) == 0 && (info.stx_mask & STATX_MNT_ID) != 0) {
        return MountTypeById(info.stx_mnt_id);
    }
    // Kernels before 5.8 do not say which mount a file lies on: the mount
    // table's entry with the longest mount point above the path stands in.
    char resolved[PATH_MAX];
    const std::string path = ::realpath(unixFolder.c_str(), resolved) != nullptr ? resolved : unixFolder;
    const std::vector<TMountEntry> mounts = ReadMountTable("/proc/self/mounts");
    const TMountEntry* mount = MountHolding(mounts, path);
    return mount != nullptr ? mount->Type : std::string();
}

bool HasAsciiLetter(const char* name)
{
    for (; *name != '\0'; ++name) {
        if (AsciiLower(*name) != AsciiUpper(*name)) return true;
    }
    return false;
}

std::string SwapAsciiCase(const char* name)
{
    std::string swapped(name);
    for (char& c : swapped) c = c == AsciiLower(c) ? AsciiUpper(c) : AsciiLower(c);
    return swapped;
}

bool IsDotEntry(const char* name) { return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')); }

// Whether the folder ignores case, found by looking up its first entry with
// a letter under the other case of its letters: a folder that finds nothing
// there tells case apart. One that finds a file there ignores case when it
// is the entry itself; FUSE file systems give each spelling a number of its
// own, so where the numbers differ, the folder tells case apart only if its
// listing holds the other spelling as an entry of its own. Nothing when the
// folder cannot be read or has no name with a letter.
std::optional<bool> ProbeIgnoresCase(int folder)
{
    const int readable = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0) return std::nullopt;
    DIR* listing = ::fdopendir(readable);
    if (listing == nullptr) {
        ::close(readable);
        return std::nullopt;
    }
    std::optional<bool> ignores;
    while (const dirent* entry = ::readdir(listing)) {
        if (IsDotEntry(entry->d_name) || !HasAsciiLetter(entry->d_name)) continue;
        const std::string swapped = SwapAsciiCase(entry->d_name);
        struct stat original {};
        struct stat other {};
        if (::fstatat(folder, swapped.c_str(), &other, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) ignores = false;
            break;
        }
        if (::fstatat(folder, entry->d_name, &original, AT_SYMLINK_NOFOLLOW) == 0 && original.st_dev == other.st_dev &&
            original.st_ino == other.st_ino && original.st_nlink == 1) {
            ignores = true;
            break;
        }
        // The entries before this one hold no letter, so the other spelling
        // can only come later.
        ignores = true;
        while (const dirent* later = ::readdir(listing)) {
            if (swapped == later->d_name) {
                ignores = false;
                break;
            }
        }
        break;
    }
    ::closedir(listing);
    return ignores;
}

// The same look at the folder's own name in its parent, for a folder with
// no name to look up, when the parent lies on the same file system.
std::optional<bool> ProbeFolderNameIgnoresCase(int folder, const std::string& unixFolder)
{
    const std::size_t slash = unixFolder.find_last_of('/', unixFolder.size() - 1);
    if (slash == std::string::npos || slash + 1 >= unixFolder.size()) return std::nullopt;
    const std::string name = unixFolder.substr(slash + 1);
    if (IsDotEntry(name.c_str()) || !HasAsciiLetter(name.c_str())) return std::nullopt;
    struct stat self {};
    struct stat parent {};
    struct stat other {};
    if (::fstat(folder, &self) != 0 || ::fstatat(folder, "..", &parent, 0) != 0 || parent.st_dev != self.st_dev) {
        return std::nullopt;
    }
    const std::string swapped = "../" + SwapAsciiCase(name.c_str());
    if (::fstatat(folder, swapped.c_str(), &other, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? std::optional<bool>(false) : std::nullopt;
    }
    if (other.st_ino == self.st_ino) return true;
    // A FUSE file system may number the two spellings apart: the other
    // spelling is a folder of its own only if the parent lists it.
    const int readable = ::openat(folder, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = readable >= 0 ? ::fdopendir(readable) : nullptr;
    if (listing == nullptr) {
        if (readable >= 0) ::close(readable);
        return std::nullopt;
    }
    bool listed = false;
    while (const dirent* entry = ::readdir(listing)) {
        if (swapped.compare(3, std::string::npos, entry->d_name) == 0) {
            listed = true;
            break;
        }
    }
    ::closedir(listing);
    return !listed;
}

// Whether this process may remove any file of a folder that lets only the
// owners remove their files (CAP_FOWNER).
bool OverridesFileOwners()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) return ::geteuid() == 0;
    return (data[CAP_TO_INDEX(CAP_FOWNER)].effective & CAP_TO_MASK(CAP_FOWNER)) != 0;
}

constexpr std::uint64_t kLockAttributes = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;

class TPosixFolderEntries final : public FolderEntries {
public:
    TPosixFolderEntries(int folder, bool checkAttributes, bool checkOwner)
        : m_folder(folder), m_checkAttributes(checkAttributes), m_checkOwner(checkOwner), m_user(::geteuid())
    {
    }
    ~TPosixFolderEntries() override { ::close(m_folder); }
    TPosixFolderEntries(const TPosixFolderEntries&) = delete;
    TPosixFolderEntries& operator=(const TPosixFolderEntries&) = delete;

    bool MayRename(std::string_view name) override
    {
        m_name.assign(name);
        struct statx info {};
        // A file that cannot be looked at is left to the rename to judge.
        if (::statx(m_folder, m_name.c_str(), AT_SYMLINK_NOFOLLOW, m_checkOwner ? STATX_UID : 0, &info) != 0) {
            return true;
        }
        if (m_checkAttributes && (info.stx_attributes & info.stx_attributes_mask & kLockAttributes) != 0) return false;
        return !(m_checkOwner && (info.stx_mask & STATX_UID) != 0 && info.stx_uid != m_user);
    }

private:
    int m_folder;
    bool m_checkAttributes;
    bool m_checkOwner;
    uid_t m_user;
    std::string m_name;
};

}  // namespace

TNameFamily NameFamily(unsigned long magic, std::string_view mountType)
{
    switch (magic) {
    case kMsdosMagic:
        return TNameFamily::Fat;
    case kExfatMagic:
    case kNtfsMagic:
    case kNtfs3Magic:
    case kCifsMagic:
    case kSmb2Magic:
    case kSmbMagic:
        return TNameFamily::WindowsNames;
    case kFuseMagic:
        break;
    default:
        return TNameFamily::Native;
    }
    if (mountType == "fuse.fusefat") return TNameFamily::FuseFat;
    // A FUSE file system on a block device is, in practice, NTFS (ntfs-3g)
    // or exFAT (exfat-fuse); the ones that name themselves are recognised
    // by name.
    static constexpr std::string_view kWindows[] = {"fuseblk", "fuse.exfat", "fuse.exfat-fuse", "fuse.ntfs-3g",
                                                    "fuse.ntfs", "fuse.lowntfs-3g"};
    if (std::find(std::begin(kWindows), std::end(kWindows), mountType) != std::end(kWindows)) {
        return TNameFamily::WindowsNames;
    }
    return TNameFamily::Native;
}

FolderNameRules FolderNameRulesOf(const std::string& unixFolder)
{
    FolderNameRules rules;
    rules.DotNamesHide = true;
    const long nameMax = ::pathconf(unixFolder.c_str(), _PC_NAME_MAX);
    if (nameMax > 0) rules.MaxNameLength = static_cast<std::size_t>(nameMax);
    // A run renames inside the open folder, but the way back (undo) and the
    // fallbacks go by full path, which with its closing zero byte must fit
    // into PATH_MAX; a name that could not go back is not given.
    const std::size_t pathRoom = unixFolder.size() + 2 < PATH_MAX ? PATH_MAX - unixFolder.size() - 2 : 0;
    rules.MaxNameLength = std::min(rules.MaxNameLength, pathRoom);
    // An immutable folder answers EPERM.
    rules.Writable =
        ::access(unixFolder.c_str(), W_OK | X_OK) == 0 || (errno != EACCES && errno != EROFS && errno != EPERM);

    const TDescriptor folder(::open(unixFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0) return rules;
    // Nothing can be renamed out of an immutable or append-only folder.
    struct statx self {};
    if (::statx(folder.Get(), "", AT_EMPTY_PATH, STATX_MODE, &self) == 0 &&
        (self.stx_attributes & self.stx_attributes_mask & kLockAttributes) != 0) {
        rules.Writable = false;
    }

    struct statfs volume {};
    const unsigned long magic =
        ::fstatfs(folder.Get(), &volume) == 0 ? static_cast<unsigned long>(volume.f_type) : 0;
    const TNameFamily family = NameFamily(magic, magic == kFuseMagic ? MountTypeOf(folder.Get(), unixFolder) : "");
    if (family != TNameFamily::Native) {
        rules.ForbiddenCharacters = kWindowsForbiddenCharacters;
        rules.RefusesTrailingDotOrBlank = true;
        rules.AsciiOnly = family == TNameFamily::FuseFat;
    }
    const NameCase ignoring =
        family == TNameFamily::Fat || family == TNameFamily::FuseFat ? NameCase::IgnoreAscii : NameCase::IgnoreLetters;

    // A case-folded folder of ext4, f2fs or tmpfs carries a flag; reading it
    // needs a descriptor that is more than a name.
    if (family == TNameFamily::Native) {
        const TDescriptor readable(::openat(folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK));
        int flags = 0;
        if (readable.Get() >= 0 && ::ioctl(readable.Get(), FS_IOC_GETFLAGS, &flags) == 0 &&
            (flags & FS_CASEFOLD_FL) != 0) {
            rules.Case = NameCase::IgnoreLetters;
            return rules;
        }
    }
    // Everything else is found out by looking, since the kind does not
    // settle it: NTFS-3G tells case apart unless told otherwise, and a share
    // or a FUSE file system follows whatever lies behind it. The kind
    // decides only for a folder without a name to look up.
    std::optional<bool> ignores = ProbeIgnoresCase(folder.Get());
    if (!ignores) ignores = ProbeFolderNameIgnoresCase(folder.Get(), unixFolder);
    const bool ignoresByKind = family == TNameFamily::Fat || family == TNameFamily::FuseFat || magic == kExfatMagic ||
        magic == kCifsMagic || magic == kSmb2Magic || magic == kSmbMagic;
    rules.Case = ignores.value_or(ignoresByKind) ? ignoring : NameCase::Exact;
    return rules;
}

void PosixNameKey(std::string_view name, NameCase nameCase, std::string& key)
{
    key.clear();
    if (nameCase == NameCase::Exact) {
        key.assign(name);
        return;
    }
    key.reserve(name.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            key += AsciiUpper(static_cast<char>(c));
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(bytes + i, name.size() - i, codePoint);
        // A byte that starts no character stands for itself, as the file
        // system keeps it.
        if (length == 0 || nameCase == NameCase::IgnoreAscii) {
            const std::size_t take = length == 0 ? 1 : length;
            key.append(name.substr(i, take));
            i += take;
            continue;
        }
        // The Windows file systems compare by the simple capital of each
        // character, as their tables of capitals hold it.
        const auto upper = static_cast<char32_t>(u_toupper(static_cast<UChar32>(codePoint)));
        unsigned char encoded[4];
        EncodeUtf8(upper, encoded);
        key.append(reinterpret_cast<const char*>(encoded), Utf8Length(upper));
        i += length;
    }
}

std::unique_ptr<FolderEntries> OpenPosixFolderEntries(const std::string& unixFolder)
{
    TDescriptor folder(::open(unixFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct statx self {};
    if (folder.Get() < 0 || ::statx(folder.Get(), "", AT_EMPTY_PATH, STATX_MODE | STATX_UID, &self) != 0) {
        return nullptr;
    }
    // Only a file system that knows immutable and append-only files can hold
    // one, and the sticky bit keeps this program only from other users'
    // files, and only in a folder of another user.
    const bool checkAttributes = (self.stx_attributes_mask & kLockAttributes) != 0;
    const bool checkOwner =
        (self.stx_mode & S_ISVTX) != 0 && self.stx_uid != ::geteuid() && !OverridesFileOwners();
    if (!checkAttributes && !checkOwner) return nullptr;
    return std::make_unique<TPosixFolderEntries>(folder.Release(), checkAttributes, checkOwner);
}

}  // namespace quorvane::platform::posix
