// A test run ("Testen") and the execute run ("Ausführen") that follows it on
// the same folder give the same rows: the same files, in the same order,
// with the same new names and the same statuses. The folder is a fake one
// whose rules the input chooses (telling case apart or not, forbidden
// characters, ASCII only, name length, files the system keeps from being
// renamed), filled with names from a few words that often meet one another
// in another spelling. The execute run, besides, loses no file, renames
// only the files its rows say, and gives every file of the folder its row.
#include "engine/BatchRun.h"

#include "engine/NameRestructuring.h"
#include "engine/RenameSettings.h"
#include "platform/FileSystem.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeTextCase.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using quorvane::ResultList;
using quorvane::ResultRow;
using quorvane::testing::FakeFileSystem;

constexpr const char* kFolder = "C:\\Musik\\";

// Everything a run depends on, taken from the input once, so that both runs
// meet the same folder.
struct Recipe {
    quorvane::platform::FolderNameRules Rules;
    bool RenamedEntriesReappear = true;
    quorvane::RenameSettings Settings;
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
    std::vector<std::string> Locked;
};

std::string Pick(FuzzedDataProvider& input, const std::vector<std::string>& choices)
{
    return choices[input.ConsumeIntegralInRange<std::size_t>(0, choices.size() - 1)];
}

// A name of a few sections, from words that differ only in case, in the case
// of a letter beyond ASCII, or not at all, with a character now and then
// that some folders refuse; or, now and then, any bytes at all.
std::string Name(FuzzedDataProvider& input)
{
    static const std::vector<std::string> kWords = {"a", "A", "b", "B", "\xC3\xA4", "\xC3\x84", "x_y", "X Y",
                                                    "q:r", "e.", " ", ".h", "\x01"};
    static const std::vector<std::string> kExtensions = {".mp3", ".MP3", ".mp3", "", ".txt"};
    if (input.ConsumeIntegralInRange(0, 15) == 0) return input.ConsumeRandomLengthString(24);
    std::string name;
    for (int sections = input.ConsumeIntegralInRange(1, 4); sections > 0; --sections) {
        if (!name.empty()) name += " - ";
        name += Pick(input, kWords);
    }
    return name + Pick(input, kExtensions);
}

Recipe ReadRecipe(FuzzedDataProvider& input)
{
    using quorvane::platform::NameCase;
    Recipe recipe;
    quorvane::platform::FolderNameRules& rules = recipe.Rules;
    rules.Case = static_cast<NameCase>(input.ConsumeIntegralInRange(0, 2));
    rules.AsciiOnly = input.ConsumeBool();
    rules.RefusesTrailingDotOrBlank = input.ConsumeBool();
    if (input.ConsumeBool()) rules.ForbiddenCharacters = quorvane::platform::kWindowsForbiddenCharacters;
    rules.MaxNameLength = input.ConsumeIntegralInRange<std::size_t>(4, 40);
    rules.DotNamesHide = input.ConsumeBool();
    rules.Writable = input.ConsumeIntegralInRange(0, 7) != 0;
    recipe.RenamedEntriesReappear = input.ConsumeBool();

    quorvane::RenameSettings& settings = recipe.Settings;
    settings.Folder = "C:\\Musik";
    settings.FileMask = input.ConsumeBool() ? "*.mp3" : "*";
    settings.StructureChange = input.ConsumeIntegralInRange(0, 4) != 0;
    settings.SectionCount = input.ConsumeIntegralInRange(2, 3);
    settings.MapCells.clear();
    std::vector<int> map;
    for (int r = 1; r <= settings.SectionCount; ++r) map.push_back(r);
    for (int r = settings.SectionCount - 1; r > 0; --r) {
        std::swap(map[static_cast<std::size_t>(r)], map[input.ConsumeIntegralInRange<std::size_t>(0, r)]);
    }
    for (const int cell : map) settings.MapCells.push_back(input.ConsumeIntegralInRange(0, 3) == 0 ? "0" : std::to_string(cell));
    static const std::vector<std::string> kSeparators = {" - ", " - ", " : ", "-", " \xC3\xA4 ", " . ", "/"};
    settings.NewSeparator = Pick(input, kSeparators);
    static const std::vector<std::string> kLeading = {"", "", "", ".", "neu", "Neu", "N\xC3\xA4"};
    settings.LeadingText = Pick(input, kLeading);
    settings.UnderscoreHandling = input.ConsumeBool();
    settings.CapitaliseWords = input.ConsumeBool();
    settings.EqualiseSpaces = input.ConsumeBool();
    settings.IgnoreExcessSections = input.ConsumeBool();

    for (int files = input.ConsumeIntegralInRange(0, 14); files > 0; --files) {
        const std::string name = Name(input);
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
            recipe.Folders.push_back(name);
            break;
        case 1:
            recipe.Files.push_back(name);
            recipe.Locked.push_back(name);
            break;
        default:
            recipe.Files.push_back(name);
            break;
        }
    }
    return recipe;
}

// A plain name of one folder, as the fake can hold it.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string("\\/\0", 3)) == std::string::npos;
}

// Fills a fake folder by the recipe, as files of those names would be
// created: a folder that ignores case keeps the first spelling of a name.
void Fill(FakeFileSystem& files, const Recipe& recipe)
{
    files.SetFolderNameRules(recipe.Rules);
    files.SetRenamedEntriesReappear(recipe.RenamedEntriesReappear);
    files.AddFolder("C:\\Musik");
    for (const std::string& name : recipe.Folders) {
        if (IsPlainName(name) && !files.Exists(kFolder + name)) files.AddFolder(kFolder + name);
    }
    for (const std::string& name : recipe.Files) {
        if (IsPlainName(name) && !files.Exists(kFolder + name)) files.AddFile(kFolder + name);
    }
    for (const std::string& name : recipe.Locked) {
        std::uint32_t attributes = 0;
        if (IsPlainName(name) && files.GetFileAttributes(kFolder + name, attributes) &&
            (attributes & quorvane::platform::faDirectory) == 0) {
            files.LockFile(kFolder + name);
        }
    }
}

std::vector<ResultRow> Rows(const ResultList& list)
{
    std::vector<ResultRow> rows = list.Rows();
    if (rows.size() == 1 && rows[0].OldName.empty()) rows.clear();
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const Recipe recipe = ReadRecipe(input);
    const quorvane::testing::FakeTextCase textCase;

    FakeFileSystem previewed;
    Fill(previewed, recipe);
    ResultList preview;
    quorvane::RunBatch(recipe.Settings, false, preview, previewed, textCase);
    FUZZ_CHECK(previewed.MoveFileCalls() == 0);

    FakeFileSystem executed;
    Fill(executed, recipe);
    const std::vector<std::string> before = executed.Names("C:\\Musik");
    ResultList run;
    quorvane::RunBatch(recipe.Settings, true, run, executed, textCase);

    const std::vector<ResultRow> previewRows = Rows(preview);
    const std::vector<ResultRow> runRows = Rows(run);
    FUZZ_CHECK(previewRows.size() == runRows.size());
    for (std::size_t row = 0; row < runRows.size(); ++row) {
        FUZZ_CHECK(previewRows[row].Status == runRows[row].Status);
        FUZZ_CHECK(previewRows[row].OldName == runRows[row].OldName);
        FUZZ_CHECK(previewRows[row].NewName == runRows[row].NewName);
    }

    // Replaying the "Ok" rows on the names before gives the names after:
    // no file lost, none renamed behind a row's back.
    std::set<std::string> names(before.begin(), before.end());
    std::set<std::string> listed;
    for (const ResultRow& row : runRows) {
        FUZZ_CHECK(listed.insert(row.OldName).second);
        if (row.Status != "Ok" || row.OldName == row.NewName) continue;
        FUZZ_CHECK(names.erase(row.OldName) == 1);
        FUZZ_CHECK(names.insert(row.NewName).second);
    }
    const std::vector<std::string> after = executed.Names("C:\\Musik");
    FUZZ_CHECK(std::set<std::string>(after.begin(), after.end()) == names);
    FUZZ_CHECK(after.size() == before.size());

    // Every file that matches the mask has its row: the listing delivers
    // each once, and only the files the run renamed come back.
    for (const std::string& name : before) {
        std::uint32_t attributes = 0;
        const bool isFile = previewed.GetFileAttributes(kFolder + name, attributes) &&
            (attributes & quorvane::platform::faDirectory) == 0;
        if (isFile && quorvane::testing::FakeMaskMatches(recipe.Settings.FileMask, name)) {
            FUZZ_CHECK(listed.count(name) == 1);
        }
    }
    return 0;
}
