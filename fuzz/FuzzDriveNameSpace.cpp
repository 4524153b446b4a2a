// The drive-letter name space stands between every name the user types or
// the settings file holds and the Unix tree. Whatever the name, a resolved
// one never leads outside its drive's root ("..", "." and separators are
// resolved by text and stop at the root), comes back in the space's own
// form, and names the same Unix path that its own name resolves to again;
// and every Unix path the space can name comes back from its name.
#include "platform/posix/DriveNameSpace.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quorvane::platform::posix;

// A Unix path without "." and "..", repeated or trailing slashes.
std::string Normal(std::string_view path)
{
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string component(path.substr(start, end - start));
        if (component == "..") {
            if (!components.empty()) components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    std::string normal;
    for (const std::string& component : components) normal += "/" + component;
    return normal.empty() ? "/" : normal;
}

bool AtOrBelow(const std::string& path, const std::string& root)
{
    return root == "/" || path == root || (path.starts_with(root) && path[root.size()] == '/');
}

void CheckResolved(const TResolvedName& resolved)
{
    FUZZ_CHECK(resolved.Name.size() >= 3 && resolved.Name[0] == resolved.Drive && resolved.Name[1] == ':' &&
               resolved.Name[2] == '\\');
    FUZZ_CHECK(Normal(resolved.UnixPath) == resolved.UnixPath);
    FUZZ_CHECK(AtOrBelow(resolved.UnixPath, resolved.UnixRoot));
    // The name's components are the path's below the root.
    std::string rebuilt = resolved.UnixRoot == "/" ? std::string() : resolved.UnixRoot;
    const std::string_view below = std::string_view(resolved.Name).substr(3);
    if (!below.empty()) {
        FUZZ_CHECK(below.front() != '\\' && below.back() != '\\' && below.find('/') == std::string_view::npos);
        rebuilt += "/";
        for (const char c : below) rebuilt += c == '\\' ? '/' : c;
    }
    FUZZ_CHECK((rebuilt.empty() ? "/" : rebuilt) == resolved.UnixPath);
    FUZZ_CHECK(Normal(rebuilt.empty() ? "/" : rebuilt) == resolved.UnixPath);

    // Its own name resolves to itself.
    std::uint32_t error = 0;
    const auto again = ResolveName(resolved.Name, error);
    FUZZ_CHECK(again && again->UnixPath == resolved.UnixPath && again->Name == resolved.Name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);

    // Volumes below folders that do not exist keep their roots as written
    // (normalised), so the roots are the input's; they may lie inside each
    // other and inside the home folder's drive.
    std::vector<TDriveRoot> volumes;
    const int count = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < count; ++i) {
        std::string root = "/nonexistent-quorvane-fuzz/" + input.ConsumeRandomLengthString(16);
        for (char& c : root) {
            if (c == '\0') c = '0';
        }
        volumes.push_back({static_cast<char>('D' + i), root});
    }
    FUZZ_CHECK(RebuildDrives(volumes));

    const bool fromUnix = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();
    std::uint32_t error = 0;
    if (fromUnix) {
        // A Unix path holds no zero byte.
        std::string unixPath = "/" + text;
        for (char& c : unixPath) {
            if (c == '\0') c = '0';
        }
        const std::optional<std::string> name = FromUnixPath(unixPath);
        const std::string normal = Normal(unixPath);
        if (!name) {
            // Only a backslash, which would read as a separator, keeps a path out of the space.
            FUZZ_CHECK(normal.find('\\') != std::string::npos);
        } else {
            const auto resolved = ResolveName(*name, error);
            FUZZ_CHECK(resolved && resolved->UnixPath == normal && resolved->Name == *name);
            CheckResolved(*resolved);
        }
    } else if (const auto resolved = ResolveName(text, error)) {
        FUZZ_CHECK(error == 0);
        CheckResolved(*resolved);
        const std::optional<std::string> name = FromUnixPath(resolved->UnixPath);
        FUZZ_CHECK(name);
        const auto back = ResolveName(*name, error);
        FUZZ_CHECK(back && back->UnixPath == resolved->UnixPath);
    } else {
        FUZZ_CHECK(error == 3 || error == 15 || error == 123);
    }
    RebuildDrives();
    return 0;
}
