// Whatever the user types as a folder, or a settings file holds as the last
// one, the folder list takes it apart through the current directory. It must
// end with the I/O error or a drive and folder, never with another error,
// always leave the current directory as it found it, and a folder it names
// from the root must be one that can be entered.
#include "widgets/FolderRequest.h"

#include "platform/FileSystem.h"
#include "runtime/Exceptions.h"
#include "tests/support/FakeFileSystem.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using quorvane::testing::FakeFileSystem;

void BuildMachine(FakeFileSystem& files)
{
    files.AddFile("C:\\Daten\\Musik\\lied.mp3");
    files.AddFolder("C:\\Daten\\Musik\\Live");
    files.AddFolder("C:\\Daten\\M");
    // Names that hold what the rules would read as a separator or a mask.
    files.AddFolder("C:\\Daten\\Live: 2020\\Why?");
    files.AddFile("C:\\Daten\\notiz.txt");
    files.AddFolder("D:\\Fotos\\2024");
    files.SetDriveReady('E', false);
    files.SetCurrentDirectory("D:\\Fotos");
    files.SetCurrentDirectory("C:\\Daten");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    FakeFileSystem files;
    BuildMachine(files);
    if (input.ConsumeBool()) files.SetCurrentDirectory("C:\\Daten\\Musik");
    const std::string request = input.ConsumeRemainingBytesAsString();
    quorvane::platform::FileSystem* previous = quorvane::platform::ReplaceHostFileSystem(&files);

    const std::string start = files.GetCurrentDirectory();
    try {
        const quorvane::TSplitTarget target = quorvane::SplitTarget(request);
        FUZZ_CHECK(files.GetCurrentDirectory() == start);
        if (!target.Folder.empty() && target.Folder.front() == '\\') {
            const std::string folder = std::string{target.Drive, ':'} + target.Folder;
            FUZZ_CHECK(files.SetCurrentDirectory(folder) == quorvane::platform::kErrorSuccess);
            files.SetCurrentDirectory(start);
        }
    } catch (const quorvane::EInOutError& error) {
        FUZZ_CHECK(error.ErrorCode() != quorvane::platform::kErrorSuccess);
        FUZZ_CHECK(!error.Message().empty());
        FUZZ_CHECK(files.GetCurrentDirectory() == start);
    }
    FUZZ_CHECK(files.OpenEnumerations() == 0);

    quorvane::platform::ReplaceHostFileSystem(previous);
    return 0;
}
