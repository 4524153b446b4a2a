// The mount table names mount points that users and programs choose (a
// stick's label, a share's path), with blanks, tabs, newlines and
// backslashes written as octal escapes. Whatever the names hold, a table
// written by those rules must read back as exactly the mounts written; any
// text at all must read without a fault; and the drives made of a table
// must take their letters in order, each volume once.
#include "platform/posix/MountTable.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using quorvane::platform::posix::TMountEntry;

// A field as the kernel writes it into the table.
std::string Escaped(const std::string& field)
{
    std::string text;
    for (const char c : field) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(c));
            text += escape;
        } else {
            text += c;
        }
    }
    return text;
}

// One file for every input, rewritten each time and removed at the end.
struct TTableFile {
    TTableFile()
    {
        char name[] = "/tmp/quorvane-fuzz-mounts-XXXXXX";
        const int fd = ::mkstemp(name);
        FUZZ_CHECK(fd >= 0);
        ::close(fd);
        Path = name;
    }
    ~TTableFile() { ::unlink(Path.c_str()); }

    std::string Path;
};

const std::string& TablePath()
{
    static const TTableFile file;
    return file.Path;
}

std::vector<TMountEntry> ReadBack(const std::string& text)
{
    std::FILE* file = std::fopen(TablePath().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return quorvane::platform::posix::ReadMountTable(TablePath());
}

// A field the kernel could write: not empty, no zero byte.
std::string Field(FuzzedDataProvider& input)
{
    std::string field = input.ConsumeRandomLengthString(40);
    for (char& c : field) {
        if (c == '\0') c = '0';
    }
    return field.empty() ? "x" : field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        std::vector<TMountEntry> written;
        std::string text;
        const int count = input.ConsumeIntegralInRange(0, 8);
        for (int i = 0; i < count; ++i) {
            TMountEntry entry{Field(input), Field(input), Field(input)};
            if (input.ConsumeBool()) entry.MountPoint = "/media/" + entry.MountPoint;
            text += Escaped(entry.Source) + " " + Escaped(entry.MountPoint) + " " + Escaped(entry.Type) + " rw 0 0\n";
            written.push_back(std::move(entry));
        }
        const std::vector<TMountEntry> read = ReadBack(text);
        FUZZ_CHECK(read.size() == written.size());
        for (std::size_t i = 0; i < read.size(); ++i) {
            FUZZ_CHECK(read[i].Source == written[i].Source);
            FUZZ_CHECK(read[i].MountPoint == written[i].MountPoint);
            FUZZ_CHECK(read[i].Type == written[i].Type);
        }
    }

    const std::vector<TMountEntry> mounts = ReadBack(input.ConsumeRemainingBytesAsString());
    quorvane::platform::posix::TVolumeSources sources;
    sources.MountTable = TablePath();
    sources.ByLabelFolder = "/nonexistent/quorvane-fuzz/by-label";
    sources.SysBlockFolder = "/nonexistent/quorvane-fuzz/block";
    const auto drives = quorvane::platform::posix::VolumeDrives(mounts, "/home/anna", sources);
    FUZZ_CHECK(drives.size() >= 2 && drives.front().Letter == 'C' && drives.back().Letter == 'Z');
    std::set<std::string> roots;
    for (std::size_t i = 1; i + 1 < drives.size(); ++i) {
        FUZZ_CHECK(drives[i].Letter == static_cast<char>('C' + i));
        FUZZ_CHECK(roots.insert(drives[i].UnixRoot).second);
        bool mounted = false;
        for (const TMountEntry& mount : mounts) {
            mounted = mounted || (mount.MountPoint == drives[i].UnixRoot && IsUserVolume(mount));
        }
        FUZZ_CHECK(mounted);
    }
    return 0;
}
