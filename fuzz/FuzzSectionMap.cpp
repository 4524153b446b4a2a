// The map cells are whatever the user typed into the structure grid. The
// validation must answer every one of them with a map or with the error of
// the first bad row, exactly as a plain reading of the rules does.
#include "engine/NameRestructuring.h"

#include "runtime/Conversions.h"
#include "runtime/Exceptions.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Expected {
    enum Kind { kMap, kConversion, kRange, kDuplicate, kCount } kind = kMap;
    int row = 0;
    std::string message;
    quorvane::SectionMap map;
};

Expected ReferenceValidation(const std::vector<std::string>& cells, int count)
{
    Expected expected;
    if (count < 2 || count > 10) {
        expected.kind = Expected::kCount;
        return expected;
    }
    for (int row = 1; row <= count; ++row) {
        const std::string cell = static_cast<std::size_t>(row) <= cells.size() ? cells[row - 1] : std::string();
        std::int32_t value = 0;
        if (!quorvane::TryStrToInt(cell, value)) {
            expected.kind = Expected::kConversion;
            expected.message = "'" + cell + "' ist kein gültiger Integerwert";
            return expected;
        }
        if (value < 0 || value > count) {
            expected.kind = Expected::kRange;
            expected.row = row;
            expected.message = "Wert außerhalb Gültigkeitsbereich: " + std::to_string(value);
            return expected;
        }
        if (value != 0 && std::count(expected.map.begin(), expected.map.end(), value) > 0) {
            expected.kind = Expected::kDuplicate;
            expected.row = row;
            expected.message = "Doppelter Wert: " + std::to_string(value);
            return expected;
        }
        expected.map.push_back(value);
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int count = input.ConsumeIntegralInRange(0, 12);
    std::vector<std::string> cells(input.ConsumeIntegralInRange<std::size_t>(0, 12));
    for (std::string& cell : cells) {
        // Mostly short numbers, so that the fuzzer also reaches the range
        // and duplicate rules, sometimes anything at all.
        if (input.ConsumeBool()) {
            cell = std::to_string(input.ConsumeIntegralInRange(-2, 12));
        } else {
            cell = input.ConsumeRandomLengthString(16);
        }
    }

    const Expected expected = ReferenceValidation(cells, count);
    try {
        const quorvane::SectionMap map = quorvane::ValidateSectionMap(cells, count);
        FUZZ_CHECK(expected.kind == Expected::kMap && map == expected.map);
    } catch (const quorvane::SectionMapError& error) {
        FUZZ_CHECK(expected.kind == Expected::kRange || expected.kind == Expected::kDuplicate);
        FUZZ_CHECK(error.Row() == expected.row && error.Message() == expected.message);
    } catch (const quorvane::EConvertError& error) {
        FUZZ_CHECK(expected.kind == Expected::kConversion && error.Message() == expected.message);
    } catch (const quorvane::Exception&) {
        FUZZ_CHECK(expected.kind == Expected::kCount);
    }
    return 0;
}
