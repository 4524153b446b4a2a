// Any file name under any settings the window lets through, and under maps
// that were never validated (another tool may link the engine): the new name
// keeps the extension, is never longer than its parts allow, and comes back
// unchanged when every switch is off and the map keeps the order.
#include "engine/NameRestructuring.h"

#include "engine/RenameSettings.h"
#include "engine/SectionNormaliser.h"
#include "platform/TextCase.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using quorvane::RenameSettings;
using quorvane::RestructureName;
using quorvane::Restructuring;
using quorvane::SectionMap;

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    RenameSettings settings;
    settings.StructureChange = input.ConsumeBool();
    settings.SectionCount = input.ConsumeIntegralInRange(quorvane::kMinSectionCount, quorvane::kMaxSectionCount);
    settings.UnderscoreHandling = input.ConsumeBool();
    settings.CapitaliseWords = input.ConsumeBool();
    settings.EqualiseSpaces = input.ConsumeBool();
    settings.IgnoreExcessSections = input.ConsumeBool();
    const bool keepOrder = input.ConsumeBool();
    const bool validMap = input.ConsumeBool();

    const int count = settings.SectionCount;
    SectionMap map;
    if (keepOrder) {
        for (int r = 1; r <= count; ++r) map.push_back(r);
    } else if (validMap) {
        // A permutation of 1..N with some positions dropped.
        for (int r = 1; r <= count; ++r) map.push_back(r);
        for (int r = count - 1; r > 0; --r) {
            std::swap(map[static_cast<std::size_t>(r)], map[input.ConsumeIntegralInRange<std::size_t>(0, r)]);
        }
        for (auto& entry : map) {
            if (input.ConsumeIntegralInRange(0, 3) == 0) entry = 0;
        }
    } else {
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 12);
        for (std::size_t i = 0; i < length; ++i) map.push_back(input.ConsumeIntegralInRange(-3, 13));
    }

    settings.OldSeparator = input.ConsumeRandomLengthString(8);
    settings.NewSeparator = keepOrder ? settings.OldSeparator : input.ConsumeRandomLengthString(8);
    settings.LeadingText = keepOrder ? std::string() : input.ConsumeRandomLengthString(16);
    const std::string fileName = input.ConsumeRemainingBytesAsString();

    const quorvane::platform::TextCase& textCase = quorvane::platform::NativeTextCase();
    const Restructuring result = RestructureName(fileName, settings, map, textCase);
    const Restructuring again = RestructureName(fileName, settings, map, textCase);
    FUZZ_CHECK(result.Restructured == again.Restructured && result.NewName == again.NewName);

    const quorvane::SplitName split = quorvane::SplitExtension(fileName);
    FUZZ_CHECK(split.Base + split.Extension == fileName);
    FUZZ_CHECK(split.Extension.empty() || split.Extension.front() == '.');
    FUZZ_CHECK(split.Extension.find_first_of(".:\\", 1) == std::string::npos);

    if (!result.Restructured) {
        FUZZ_CHECK(result.NewName.empty());
        FUZZ_CHECK(settings.StructureChange);
        return 0;
    }
    FUZZ_CHECK(EndsWith(result.NewName, split.Extension));

    if (!settings.StructureChange) {
        FUZZ_CHECK(result.NewName ==
              quorvane::NormaliseSection(split.Base, quorvane::NormaliseOptionsOf(settings), textCase) +
                  split.Extension);
        return 0;
    }

    // Only a map that fits the count restructures anything.
    FUZZ_CHECK(!settings.OldSeparator.empty());
    FUZZ_CHECK(map.size() >= static_cast<std::size_t>(count));
    const auto chosen = static_cast<std::size_t>(
        std::count_if(map.begin(), map.begin() + count, [](std::int32_t entry) { return entry > 0; }));
    std::size_t limit = settings.LeadingText.size() + chosen * settings.NewSeparator.size() + split.Base.size() +
                        split.Extension.size();
    if (settings.LeadingText.empty() && chosen > 0) limit -= settings.NewSeparator.size();
    // A valid map names every section once at most, so the sections together
    // are never longer than the base name; an unvalidated one may repeat them.
    if (keepOrder || validMap) FUZZ_CHECK(result.NewName.size() <= limit);

    const bool switchesOff = !settings.UnderscoreHandling && !settings.CapitaliseWords && !settings.EqualiseSpaces;
    if (keepOrder && switchesOff) FUZZ_CHECK(result.NewName == fileName);
    return 0;
}
