#include "platform/posix/DriveNameSpace.h"

#include "platform/FileSystem.h"
#include "runtime/AsciiCase.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <mutex>

#include <pwd.h>
#include <unistd.h>

namespace quorvane::platform::posix {

namespace {

constexpr char kHomeDrive = 'C';
constexpr char kSystemDrive = 'Z';

struct TDrive {
    char Letter = 0;
    std::string Root;
    // The drive's current folder below its root, components joined with
    // backslashes; empty for the root itself.
    std::string Current;
};

// The drive table and the current drive. The process has one working
// directory, so the name space is process-wide as well.
struct TNameSpace {
    std::mutex Lock;
    bool Ready = false;
    std::vector<TDrive> Drives;
    char CurrentDrive = kHomeDrive;
};

TNameSpace& State()
{
    static TNameSpace state;
    return state;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Adds the components of `text` (separated by `isSeparator`) to `components`,
// resolving "." and ".." by text; ".." at the root stays at the root.
template <class Separator>
void AppendComponents(std::string_view text, Separator isSeparator, std::vector<std::string_view>& components)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        const std::string_view component = text.substr(start, end - start);
        if (component == "..") {
            if (!components.empty()) components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
}

// An absolute Unix path without "." and "..", repeated and trailing slashes.
std::string NormalUnixPath(std::string_view path)
{
    std::vector<std::string_view> components;
    AppendComponents(path, [](char c) { return c == '/'; }, components);
    std::string result;
    for (std::string_view component : components) {
        result += '/';
        result += component;
    }
    return result.empty() ? "/" : result;
}

// A root as the kernel names it, so that the working directory read back from
// the system (which has no symbolic links in it) is found under its drive.
std::string CanonicalRoot(const std::string& root)
{
    char resolved[PATH_MAX];
    if (::realpath(root.c_str(), resolved) != nullptr) return resolved;
    return NormalUnixPath(root);
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    if (const passwd* user = ::getpwuid(::getuid());
        user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/') {
        return user->pw_dir;
    }
    return "/";
}

TDrive* FindDrive(TNameSpace& state, char letter)
{
    for (TDrive& drive : state.Drives) {
        if (drive.Letter == letter) return &drive;
    }
    return nullptr;
}

const TDrive* FindDrive(const TNameSpace& state, char letter)
{
    for (const TDrive& drive : state.Drives) {
        if (drive.Letter == letter) return &drive;
    }
    return nullptr;
}

// The drive whose root holds `unixPath` most specifically, and the rest of the
// path below that root.
const TDrive* DriveHolding(const TNameSpace& state, const std::string& unixPath, std::string_view& rest)
{
    const TDrive* best = nullptr;
    for (const TDrive& drive : state.Drives) {
        const std::string& root = drive.Root;
        const bool holds = root == "/" || unixPath == root ||
            (unixPath.size() > root.size() && unixPath.compare(0, root.size(), root) == 0 &&
             unixPath[root.size()] == '/');
        if (holds && (best == nullptr || root.size() > best->Root.size())) best = &drive;
    }
    if (best != nullptr) {
        rest = std::string_view(unixPath).substr(best->Root == "/" ? 0 : best->Root.size());
    }
    return best;
}

std::optional<std::string> FromUnixPathLocked(const TNameSpace& state, std::string_view unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/') return std::nullopt;
    const std::string normal = NormalUnixPath(unixPath);
    std::string_view rest;
    const TDrive* drive = DriveHolding(state, normal, rest);
    if (drive == nullptr) return std::nullopt;
    // A backslash inside a Unix name would read as a separator here.
    if (rest.find('\\') != std::string_view::npos) return std::nullopt;
    std::string name{drive->Letter, ':', '\\'};
    for (std::size_t i = rest.empty() ? 0 : 1; i < rest.size(); ++i) {
        name += rest[i] == '/' ? '\\' : rest[i];
    }
    return name;
}

// The Unix path of the current folder of the current drive.
std::string CurrentUnixPath(const TNameSpace& state)
{
    const TDrive* drive = FindDrive(state, state.CurrentDrive);
    if (drive == nullptr) return {};
    std::string path = drive->Root == "/" ? std::string() : drive->Root;
    if (!drive->Current.empty()) path += '/';
    for (const char c : drive->Current) path += c == '\\' ? '/' : c;
    return path.empty() ? "/" : path;
}

std::string WorkingDirectory()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

// Makes the folder at `unixPath` the current folder of the drive that holds
// it. Where it cannot be named the home folder becomes current.
void AdoptCurrentFolder(TNameSpace& state, const std::string& unixPath)
{
    const std::optional<std::string> name = FromUnixPathLocked(state, unixPath);
    if (!name) {
        state.CurrentDrive = kHomeDrive;
        FindDrive(state, kHomeDrive)->Current.clear();
        return;
    }
    state.CurrentDrive = (*name)[0];
    FindDrive(state, state.CurrentDrive)->Current = name->substr(3);
}

// The process's working directory would hold the folder it names busy: a
// stick the program was started in could not be ejected while it runs. So
// the process waits in the home folder, where a desktop starts programs
// anyway, and the name space alone knows the current folders.
void LeaveWorkingDirectory(const TNameSpace& state)
{
    const TDrive* home = FindDrive(state, kHomeDrive);
    if (::chdir(home->Root.c_str()) == 0) return;
    [[maybe_unused]] const int ignored = ::chdir("/");
}

std::vector<TDrive> BuildTable(const std::vector<TDriveRoot>& volumes)
{
    std::vector<TDrive> drives;
    drives.push_back({kHomeDrive, CanonicalRoot(HomeFolder()), {}});
    for (const TDriveRoot& volume : volumes) {
        drives.push_back({AsciiUpper(volume.Letter), CanonicalRoot(volume.UnixRoot), {}});
    }
    drives.push_back({kSystemDrive, "/", {}});
    std::sort(drives.begin(), drives.end(), [](const TDrive& a, const TDrive& b) { return a.Letter < b.Letter; });
    return drives;
}

// The first table takes the folder the program was started in as the
// current one; a later one keeps the current folder, under the drive that
// holds it now.
void InstallTable(TNameSpace& state, std::vector<TDrive> drives)
{
    const bool first = !state.Ready;
    const std::string current = first ? WorkingDirectory() : CurrentUnixPath(state);
    const TDrive* oldCurrent = first ? nullptr : FindDrive(state, state.CurrentDrive);
    bool currentStays = false;
    for (TDrive& drive : drives) {
        if (const TDrive* old = FindDrive(state, drive.Letter); old != nullptr && old->Root == drive.Root) {
            drive.Current = old->Current;
            currentStays = currentStays || old == oldCurrent;
        }
    }
    state.Drives = std::move(drives);
    state.Ready = true;
    if (!currentStays) AdoptCurrentFolder(state, current);
    if (first) LeaveWorkingDirectory(state);
}

TNameSpace& ReadyState(std::unique_lock<std::mutex>& lock)
{
    TNameSpace& state = State();
    lock = std::unique_lock<std::mutex>(state.Lock);
    if (!state.Ready) InstallTable(state, BuildTable({}));
    return state;
}

}  // namespace

std::optional<TResolvedName> ResolveName(std::string_view path, std::uint32_t& error)
{
    error = kErrorSuccess;
    if (path.find('\0') != std::string_view::npos) {
        error = kErrorInvalidName;
        return std::nullopt;
    }
    if (path.empty()) {
        error = kErrorPathNotFound;
        return std::nullopt;
    }
    std::unique_lock<std::mutex> lock;
    TNameSpace& state = ReadyState(lock);

    char letter = state.CurrentDrive;
    std::string_view rest = path;
    if (path.size() >= 2 && path[1] == ':' && IsLetter(path[0])) {
        letter = AsciiUpper(path[0]);
        rest = path.substr(2);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // Network names ("\\server\share") have no place in this space.
        error = kErrorPathNotFound;
        return std::nullopt;
    }
    const TDrive* drive = FindDrive(state, letter);
    if (drive == nullptr) {
        error = kErrorInvalidDrive;
        return std::nullopt;
    }

    std::vector<std::string_view> components;
    if (rest.empty() || !IsSeparator(rest[0])) AppendComponents(drive->Current, IsSeparator, components);
    AppendComponents(rest, IsSeparator, components);

    TResolvedName resolved;
    resolved.Drive = letter;
    resolved.UnixRoot = drive->Root;
    resolved.Name = {letter, ':', '\\'};
    resolved.UnixPath = drive->Root == "/" ? std::string() : drive->Root;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) resolved.Name += '\\';
        resolved.Name += components[i];
        resolved.UnixPath += '/';
        resolved.UnixPath += components[i];
    }
    if (resolved.UnixPath.empty()) resolved.UnixPath = "/";
    return resolved;
}

std::optional<std::string> ToUnixPath(std::string_view path, std::uint32_t& error)
{
    std::optional<TResolvedName> resolved = ResolveName(path, error);
    if (!resolved) return std::nullopt;
    return std::move(resolved->UnixPath);
}

std::optional<std::string> FromUnixPath(std::string_view unixPath)
{
    std::unique_lock<std::mutex> lock;
    return FromUnixPathLocked(ReadyState(lock), unixPath);
}

std::vector<TDriveRoot> Drives()
{
    std::unique_lock<std::mutex> lock;
    std::vector<TDriveRoot> drives;
    for (const TDrive& drive : ReadyState(lock).Drives) drives.push_back({drive.Letter, drive.Root});
    return drives;
}

bool RebuildDrives(const std::vector<TDriveRoot>& volumes)
{
    std::string letters;
    for (const TDriveRoot& volume : volumes) {
        const char letter = AsciiUpper(volume.Letter);
        if (letter < 'D' || letter > 'Y' || letters.find(letter) != std::string::npos) return false;
        if (volume.UnixRoot.empty() || volume.UnixRoot[0] != '/') return false;
        letters += letter;
    }
    std::vector<TDrive> drives = BuildTable(volumes);
    std::unique_lock<std::mutex> lock;
    InstallTable(ReadyState(lock), std::move(drives));
    return true;
}

std::string CurrentFolder()
{
    std::unique_lock<std::mutex> lock;
    TNameSpace& state = ReadyState(lock);
    const TDrive* drive = FindDrive(state, state.CurrentDrive);
    return std::string{drive->Letter, ':', '\\'} + drive->Current;
}

void RecordCurrentFolder(const TResolvedName& folder)
{
    std::unique_lock<std::mutex> lock;
    TNameSpace& state = ReadyState(lock);
    TDrive* drive = FindDrive(state, folder.Drive);
    if (drive == nullptr || drive->Root != folder.UnixRoot) return;
    drive->Current = folder.Name.substr(3);
    state.CurrentDrive = folder.Drive;
}

}  // namespace quorvane::platform::posix
