// Quorvane beside the command-line tools that do the same work, each one a
// fresh process on a freshly made folder of files named like
// "artist_000123 - title of song 123 - album.mp3", sections reordered 1, 3, 2:
//
//   execute  bench_RawLoops rename   readdir, fnmatch, renameat2 in the folder
//            bench_QuorvaneRun       the engine with the main window's defaults
//                                    (cleaning on)
//            mmv                     reorders only, no cleaning
//            perl rename             a cleaning expression; it is given the
//                                    names on its input, as a shell glob would
//   preview  bench_RawLoops list     readdir + fnmatch
//            bench_QuorvaneRun test  "Testen"
//            mmv -n                  its listing goes to a file, as every
//                                    tool's output does
//
// Every round runs each tool once, one after the other, so that a busy
// machine slows all of them alike; the table gives each tool's best wall
// time over the rounds as a ratio to the raw loop of its mode, then the
// times themselves with their spread, the processor time and the peak
// memory. Peers that are not installed are named and left out
// (Debian: apt-get install mmv rename).
//
// Usage, from the build folder (the folders are made in the current one):
//   bench/bench_PeerBench [largest file count, default 100000] [rounds, default 6]
// A largest count below 1000 measures the empty folder only.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string FileName(int number)
{
    char name[96];
    std::snprintf(name, sizeof name, "artist_%06d - title of song %d - album.mp3", number, number);
    return name;
}

// The perl rename expression that does what the engine's defaults do:
// underscores to spaces, surplus spaces removed, words capitalised, the
// sections reordered 1, 3, 2, the extension kept.
constexpr const char* kPerlCleaning =
    R"(s/^(.*?) - (.*?) - (.*)(\.[^.]*)$/join(" - ", map { (my $s = $_) =~ tr{_}{ }; )"
    R"($s =~ s{\s+}{ }g; $s =~ s{^ | $}{}g; $s =~ s{(^| )(\w)}{$1\u$2}g; $s } $1, $3, $2) . $4/e)";

enum class Mode { Execute, Preview };

struct Tool {
    Mode Kind;
    std::string Label;
    std::vector<std::string> Arguments;  // the program first; "{}" stands for the folder
    bool NamesOnInput = false;           // perl rename reads the names from its standard input
    bool IsRaw = false;
};

struct Sample {
    double Wall = 0;       // seconds
    double Processor = 0;  // user and system seconds of the process
    long PeakKilobytes = 0;
};

double Now()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::optional<std::string> FindInPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return std::nullopt;
}

// A folder of `count` benchmark files, made afresh, written out to disk so
// that no tool pays for the write-back of the creations.
void MakeFolder(const fs::path& folder, int count)
{
    fs::remove_all(folder);
    fs::create_directory(folder);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) throw std::runtime_error("cannot open " + folder.string());
    for (int i = 0; i < count; ++i) {
        const int file = ::openat(descriptor, FileName(i).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (file < 0) throw std::runtime_error("cannot create a file: " + std::string(std::strerror(errno)));
        ::close(file);
    }
    // Only this folder's creations are written out: a sync of the whole
    // machine would also wait for every other program's writes.
    ::fsync(descriptor);
    ::close(descriptor);
}

// Runs one tool in `folder` as a process of its own and waits for it.
Sample Run(const Tool& tool, const fs::path& folder, const fs::path& namesFile, const fs::path& output)
{
    std::vector<std::string> arguments = tool.Arguments;
    for (std::string& argument : arguments) {
        if (argument == "{}") argument = folder.string();
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    const double start = Now();
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        const int input = ::open(tool.NamesOnInput ? namesFile.c_str() : "/dev/null", O_RDONLY);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (input < 0 || out < 0 || ::dup2(input, 0) < 0 || ::dup2(out, 1) < 0 || ::chdir(folder.c_str()) != 0) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) throw std::runtime_error("wait4 failed");
    Sample sample;
    sample.Wall = Now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(tool.Label + " failed with status " + std::to_string(status));
    }
    sample.Processor = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    sample.PeakKilobytes = usage.ru_maxrss;
    return sample;
}

// After an execute run every file is there under a new name; after a
// preview every file is there under its old one.
void Check(const Tool& tool, const fs::path& folder, int count)
{
    std::unordered_set<std::string> originals;
    for (int i = 0; i < count; ++i) originals.insert(FileName(i));
    int files = 0;
    int unchanged = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ++files;
        unchanged += originals.count(entry.path().filename().string()) != 0 ? 1 : 0;
    }
    const bool renamed = tool.Kind == Mode::Execute;
    if (files != count || unchanged != (renamed ? 0 : count)) {
        throw std::runtime_error(tool.Label + ": " + std::to_string(files) + " files, " + std::to_string(unchanged) +
                                 " unchanged, of " + std::to_string(count));
    }
}

struct Column {
    int Count = 0;
    std::vector<std::vector<Sample>> Samples;  // per tool
};

double Best(const std::vector<Sample>& samples, double Sample::*field)
{
    double best = 1e300;
    for (const Sample& sample : samples) best = std::min(best, sample.*field);
    return best;
}

double Worst(const std::vector<Sample>& samples, double Sample::*field)
{
    double worst = 0;
    for (const Sample& sample : samples) worst = std::max(worst, sample.*field);
    return worst;
}

// The head of a table with one column per folder size, each headed by the
// size followed by `cellTitle`.
void PrintHead(const std::vector<Column>& columns, const char* cellTitle)
{
    std::printf("| mode | tool |");
    for (const Column& column : columns) std::printf(" %d%s |", column.Count, cellTitle);
    std::printf("\n|---|---|");
    for (std::size_t c = 0; c < columns.size(); ++c) std::printf("---|");
    std::printf("\n");
}

void PrintRowStart(const Tool& tool)
{
    std::printf("| %s | %s |", tool.Kind == Mode::Execute ? "execute" : "preview", tool.Label.c_str());
}

void PrintRatios(const std::vector<Tool>& tools, const std::vector<Column>& columns, double Sample::*field)
{
    PrintHead(columns, "");
    for (std::size_t t = 0; t < tools.size(); ++t) {
        PrintRowStart(tools[t]);
        for (const Column& column : columns) {
            std::size_t raw = 0;
            while (!(tools[raw].IsRaw && tools[raw].Kind == tools[t].Kind)) ++raw;
            std::printf(" %.2f |", Best(column.Samples[t], field) / Best(column.Samples[raw], field));
        }
        std::printf("\n");
    }
}

void PrintTimes(const std::vector<Tool>& tools, const std::vector<Column>& columns)
{
    PrintHead(columns, ": best (worst) wall ms, best cpu ms, peak MB");
    for (std::size_t t = 0; t < tools.size(); ++t) {
        PrintRowStart(tools[t]);
        for (const Column& column : columns) {
            const auto& samples = column.Samples[t];
            long peak = 0;
            for (const Sample& sample : samples) peak = std::max(peak, sample.PeakKilobytes);
            std::printf(" %.2f (%.2f), %.2f, %.1f |", Best(samples, &Sample::Wall) * 1e3,
                        Worst(samples, &Sample::Wall) * 1e3, Best(samples, &Sample::Processor) * 1e3,
                        static_cast<double>(peak) / 1024.0);
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int largest = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 6;
    const fs::path own = fs::canonical("/proc/self/exe").parent_path();
    const std::string raw = (own / "bench_RawLoops").string();
    const std::string quorvane = (own / "bench_QuorvaneRun").string();
    for (const std::string& program : {raw, quorvane}) {
        if (::access(program.c_str(), X_OK) != 0) {
            std::fprintf(stderr, "%s is missing: build the targets bench_RawLoops and bench_QuorvaneRun\n",
                         program.c_str());
            return 1;
        }
    }

    std::vector<Tool> tools = {
        {Mode::Execute, "raw `renameat2` loop", {raw, "rename", "{}"}, false, true},
        {Mode::Execute, "Quorvane, defaults", {quorvane, "execute", "{}"}},
    };
    std::vector<std::string> missing;
    const std::optional<std::string> mmv = FindInPath("mmv");
    const std::optional<std::string> perlRename = FindInPath("file-rename");
    if (mmv) tools.push_back({Mode::Execute, "`mmv` (reorders only, no cleaning)", {*mmv, "* - * - *.mp3", "#1 - #3 - #2.mp3"}});
    else missing.push_back("mmv (Debian package mmv)");
    if (perlRename) tools.push_back({Mode::Execute, "perl `rename` with a cleaning expression", {*perlRename, kPerlCleaning}, true});
    else missing.push_back("perl rename (Debian package rename, program file-rename)");
    tools.push_back({Mode::Preview, "raw `readdir` + `fnmatch`", {raw, "list", "{}"}, false, true});
    tools.push_back({Mode::Preview, "Quorvane, defaults", {quorvane, "test", "{}"}});
    if (mmv) tools.push_back({Mode::Preview, "`mmv -n`", {*mmv, "-n", "* - * - *.mp3", "#1 - #3 - #2.mp3"}});

    std::string pattern = "quorvane-peers-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path base = fs::absolute(pattern);
    const fs::path folder = base / "files";
    const fs::path namesFile = base / "names";
    const fs::path output = base / "output";
    int status = 0;
    try {
        std::printf("Peers on %s, %d rounds, LANG=%s\n", base.c_str(), rounds,
                    std::getenv("LANG") != nullptr ? std::getenv("LANG") : "");
        for (const std::string& peer : missing) std::printf("Not found, left out: %s\n", peer.c_str());

        // An empty folder shows what starting a run costs.
        Column empty;
        empty.Samples.resize(tools.size());
        MakeFolder(folder, 0);
        std::ofstream(namesFile).flush();
        for (int round = 0; round < 10 * rounds; ++round) {
            for (std::size_t t = 0; t < tools.size(); ++t) {
                if (tools[t].Arguments[0] == quorvane || tools[t].Arguments[0] == raw) {
                    empty.Samples[t].push_back(Run(tools[t], folder, namesFile, output));
                }
            }
        }
        std::printf("\nEmpty folder, over %d starts: best (worst) wall ms, best processor ms\n", 10 * rounds);
        for (std::size_t t = 0; t < tools.size(); ++t) {
            if (empty.Samples[t].empty()) continue;
            std::printf("  %-8s %-28s %.2f (%.2f), %.2f\n", tools[t].Kind == Mode::Execute ? "execute" : "preview",
                        tools[t].Label.c_str(), Best(empty.Samples[t], &Sample::Wall) * 1e3,
                        Worst(empty.Samples[t], &Sample::Wall) * 1e3,
                        Best(empty.Samples[t], &Sample::Processor) * 1e3);
        }
        std::fflush(stdout);

        std::vector<Column> columns;
        for (int count = 1000; count <= largest; count *= 10) {
            Column column;
            column.Count = count;
            column.Samples.resize(tools.size());
            {
                std::ofstream names(namesFile);
                for (int i = 0; i < count; ++i) names << FileName(i) << '\n';
            }
            for (int round = 0; round < rounds; ++round) {
                for (std::size_t t = 0; t < tools.size(); ++t) {
                    MakeFolder(folder, count);
                    column.Samples[t].push_back(Run(tools[t], folder, namesFile, output));
                    Check(tools[t], folder, count);
                }
            }
            columns.push_back(std::move(column));
            std::fprintf(stderr, "%d files measured\n", count);
        }
        if (!columns.empty()) {
            std::printf("\nWall time, best of %d, as a ratio to the raw loop of the same mode:\n\n", rounds);
            PrintRatios(tools, columns, &Sample::Wall);
            std::printf("\nProcessor time (user and system), best of %d, as a ratio to the raw loop:\n\n", rounds);
            PrintRatios(tools, columns, &Sample::Processor);
            std::printf("\nTimes and peak resident memory of each process:\n\n");
            PrintTimes(tools, columns);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    std::error_code ignored;
    fs::remove_all(base, ignored);
    return status;
}
