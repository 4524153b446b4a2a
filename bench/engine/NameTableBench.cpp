// Measures whether names made to collide cost more than ordinary ones: the
// name table alone (every name added, then every name asked for) and
// "Testen" on a folder of such files, for random names and for names made to
// share one value of the hash the table once used (the standard library's
// std::hash of a string on 64-bit Linux). Both kinds of name have the same
// length and the same sections, so that only their bytes differ. A table
// whose cost grows with the number of colliding names shows crafted times
// far above the random ones, growing tenfold and more per tenfold of names.
//
// Usage: bench_NameTableBench [largest name count, default 100000]
//
// It first gives the table's cost per name for song names ("artist_000123 -
// title of song 123 - album.mp3"), the names it was tuned for.

#include "bench/engine/BenchScratch.h"
#include "engine/BatchRun.h"
#include "engine/NameTable.h"
#include "platform/posix/DriveNameSpace.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The standard library's string hash on 64-bit systems mixes each 8-byte
// block b into its state h as h = (h ^ F(b)) * kMul, with F bijective. A
// difference of the top bit alone passes through that multiplication
// unchanged, so two blocks whose F differ only in the top bit change the
// state by exactly that bit, and an even number of such swapped blocks
// leaves the state as it was, whatever the seed.
constexpr std::uint64_t kMul = (std::uint64_t{0xc6a4a793} << 32) + 0x5bd1e995;
constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;

std::uint64_t ShiftMix(std::uint64_t v) { return v ^ (v >> 47); }

std::uint64_t Inverse(std::uint64_t odd)
{
    std::uint64_t inverse = odd;
    for (int i = 0; i < 6; ++i) inverse *= 2 - odd * inverse;
    return inverse;
}

std::uint64_t Mixed(std::uint64_t block) { return ShiftMix(block * kMul) * kMul; }

std::uint64_t Unmixed(std::uint64_t data)
{
    static const std::uint64_t inverse = Inverse(kMul);
    return ShiftMix(data * inverse) * inverse;
}

bool IsNameByte(unsigned char c) { return c != 0 && c != '/' && c != '\\' && c != ' ' && c != '-' && c != '.'; }

std::string BlockText(std::uint64_t block)
{
    std::string text(8, '\0');
    std::memcpy(text.data(), &block, 8);
    return text;
}

bool IsNameBlock(std::uint64_t block)
{
    const std::string text = BlockText(block);
    return std::all_of(text.begin(), text.end(), [](char c) { return IsNameByte(static_cast<unsigned char>(c)); });
}

constexpr std::string_view kPrefix = "crafted_";                  // one whole block, so the pairs stay aligned
constexpr std::string_view kSuffix = " - title of song - album.mp3";

// `count` names of equal length that all share one value of std::hash:
// n + 1 blocks, each one of a pair, with an even number of second choices.
std::vector<std::string> CraftedNames(int count)
{
    int bits = 0;
    while ((1 << bits) < count) ++bits;
    std::vector<std::pair<std::string, std::string>> pairs;
    std::mt19937_64 random(7);
    while (static_cast<int>(pairs.size()) < bits + 1) {
        std::uint64_t first = 0;
        for (int i = 0; i < 8; ++i) first |= std::uint64_t{'a' + random() % 26} << (8 * i);
        const std::uint64_t second = Unmixed(Mixed(first) ^ kTopBit);
        if (IsNameBlock(second)) pairs.emplace_back(BlockText(first), BlockText(second));
    }
    std::vector<std::string> names;
    for (std::uint32_t choice = 0; static_cast<int>(names.size()) < count; ++choice) {
        std::string name(kPrefix);
        bool odd = false;
        for (int bit = 0; bit < bits; ++bit) {
            const bool second = (choice >> bit & 1) != 0;
            odd ^= second;
            name += second ? pairs[bit].second : pairs[bit].first;
        }
        name += odd ? pairs[bits].second : pairs[bits].first;
        names.push_back(name + std::string(kSuffix));
    }
    return names;
}

// Names of the same length and shape with random letters where the crafted ones have their blocks.
std::vector<std::string> RandomNames(int count, std::size_t length)
{
    std::mt19937_64 random(11);
    std::vector<std::string> names;
    std::set<std::string> seen;
    while (static_cast<int>(names.size()) < count) {
        std::string name(kPrefix);
        while (name.size() < length - kSuffix.size()) name += static_cast<char>('a' + random() % 26);
        name += kSuffix;
        if (seen.insert(name).second) names.push_back(name);
    }
    return names;
}

// Names of the kind users rename, shorter than the crafted ones, for the
// table's cost per name where nobody tries anything.
std::vector<std::string> SongNames(int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "artist_%06d - title of song %d - album.mp3", i, i);
        names.emplace_back(name);
    }
    return names;
}

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// The best of `rounds` rounds, in seconds.
template <class Work>
double Best(int rounds, Work work)
{
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const Clock::time_point start = Clock::now();
        work();
        best = std::min(best, Seconds(Clock::now() - start));
    }
    return best;
}

double TableSeconds(const std::vector<std::string>& names, int rounds)
{
    return Best(rounds, [&] {
        quorvane::NameTable table;
        for (const std::string& name : names) table.Add(name);
        for (const std::string& name : names) {
            if (table.Find(name) == 0) throw std::runtime_error("a name added is missing");
        }
        if (table.Size() != names.size()) throw std::runtime_error("names were lost or doubled");
    });
}

double TestRunSeconds(const std::filesystem::path& folder, const std::vector<std::string>& names, int rounds)
{
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    for (const std::string& name : names) {
        const int fd = ::open((folder / name).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) throw std::runtime_error("cannot create a file: " + std::string(std::strerror(errno)));
        ::close(fd);
    }
    quorvane::RenameSettings settings;
    const std::optional<std::string> drivePath = quorvane::platform::posix::FromUnixPath(folder.string());
    if (!drivePath) throw std::runtime_error("the folder has no drive-letter name");
    settings.Folder = *drivePath;
    return Best(rounds, [&] {
        quorvane::ResultList rows;
        quorvane::RunBatch(settings, false, rows);
        if (rows.Rows().size() != names.size()) throw std::runtime_error("the test run missed files");
    });
}

std::size_t DistinctStdHashes(const std::vector<std::string>& names)
{
    std::set<std::size_t> hashes;
    for (const std::string& name : names) hashes.insert(std::hash<std::string_view>{}(name));
    return hashes.size();
}

}  // namespace

int main(int argc, char** argv)
{
    const int largest = argc > 1 ? std::atoi(argv[1]) : 100000;
    return quorvane::bench::WithScratchFolder([largest](const std::filesystem::path& base) {
        std::printf("The table with song names, nanoseconds per name (added, then asked for), best of 9 rounds\n");
        for (int count = 1000; count <= largest; count *= 10) {
            const double seconds = TableSeconds(SongNames(count), 9);
            std::printf("%8d %8.1f ns\n", count, seconds * 1e9 / count);
        }
        std::printf("\nCrafted names against random names of the same length, on %s\n", base.c_str());
        std::printf("Seconds, best of the rounds; ratio crafted / random\n");
        std::printf("%8s %6s %11s %11s %7s %11s %11s %7s\n", "names", "hashes", "table rand", "table craft", "ratio",
                    "test rand", "test craft", "ratio");
        for (int count = 1000; count <= largest; count *= 10) {
            const std::vector<std::string> crafted = CraftedNames(count);
            const std::vector<std::string> random = RandomNames(count, crafted.front().size());
            const int rounds = count >= 100000 ? 2 : 5;
            const double tableRandom = TableSeconds(random, rounds);
            const double tableCrafted = TableSeconds(crafted, rounds);
            const double testRandom = TestRunSeconds(base / "random", random, rounds);
            const double testCrafted = TestRunSeconds(base / "crafted", crafted, rounds);
            std::printf("%8d %6zu %11.4f %11.4f %7.2f %11.4f %11.4f %7.2f\n", count, DistinctStdHashes(crafted),
                        tableRandom, tableCrafted, tableCrafted / tableRandom, testRandom, testCrafted,
                        testCrafted / testRandom);
            std::fflush(stdout);
        }
        std::printf("(hashes: distinct std::hash values among the crafted names)\n");
    });
}
