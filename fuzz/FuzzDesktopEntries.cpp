// Desktop entries and mimeapps.list files are written by any program the
// user installs. Whatever they hold, the key files must read back as they
// were read (written out plainly and read again, they give the same groups,
// keys and values), their lists must hold only trimmed, non-empty items, and
// the entry-id lookup must find exactly the file that trying every reading
// of the id's dashes finds, on a tree of folders whose links may lead in
// circles, while asking each folder about each place in the id at most once.
#include "platform/posix/DesktopEntries.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorvane::platform::posix::FindEntryFile;
using quorvane::platform::posix::TEntryFolders;
using quorvane::platform::posix::TKeyFile;

// Names of folders and files, and the pieces ids are made of, chosen so that
// dashes can be read in many ways.
constexpr std::array<std::string_view, 8> kNames = {"a", "b", "a-b", "b-a", "a-b-a", "x.desktop", "b-x.desktop",
                                                    "a-x.desktop"};
constexpr std::array<std::string_view, 6> kIdPieces = {"a", "b", "-", "x.desktop", "..", "."};

// Folders in memory: each has files and subfolders by name, and a subfolder
// may be any folder, the folder itself or one above included, as a link
// would make it. Folder n is named "#n" without links.
class TTree final : public TEntryFolders {
public:
    struct TNode {
        std::map<std::string, std::size_t, std::less<>> Folders;
        std::set<std::string, std::less<>> Files;
    };

    std::vector<TNode> Nodes{TNode{}};
    std::map<std::pair<std::size_t, std::string>, int> Questions;

    std::optional<Folder> FindFolder(const std::string& path) override
    {
        const std::optional<std::pair<std::size_t, std::string>> place = Split(path);
        if (!place) return std::nullopt;
        std::size_t node = place->first;
        if (!place->second.empty()) {
            const auto sub = Nodes[node].Folders.find(place->second);
            if (sub == Nodes[node].Folders.end()) return std::nullopt;
            node = sub->second;
        }
        return Folder{{0, node}, "#" + std::to_string(node)};
    }

    std::vector<std::string> Names(const std::string& path) override
    {
        const std::optional<std::pair<std::size_t, std::string>> place = Split(path);
        FUZZ_CHECK(place && place->second.empty());
        std::vector<std::string> names(Nodes[place->first].Files.begin(), Nodes[place->first].Files.end());
        for (const auto& [name, node] : Nodes[place->first].Folders) names.push_back(name);
        return names;
    }

    bool IsFile(const std::string& path) override
    {
        const std::optional<std::pair<std::size_t, std::string>> place = Split(path);
        FUZZ_CHECK(place && !place->second.empty());
        // Each folder is asked for each rest of the id once.
        FUZZ_CHECK(++Questions[*place] == 1);
        return Nodes[place->first].Files.contains(place->second);
    }

    // The path of the file every reading of the dashes finds first, trying
    // them one by one, shortest folder name first.
    std::optional<std::string> Reference(std::size_t node, std::string_view id) const
    {
        if (Nodes[node].Files.contains(id)) return "#" + std::to_string(node) + "/" + std::string(id);
        for (std::size_t dash = id.find('-'); dash != std::string_view::npos; dash = id.find('-', dash + 1)) {
            const std::string_view prefix = id.substr(0, dash);
            if (prefix.empty() || prefix == "." || prefix == "..") continue;
            const auto sub = Nodes[node].Folders.find(prefix);
            if (sub == Nodes[node].Folders.end()) continue;
            if (auto found = Reference(sub->second, id.substr(dash + 1))) return found;
        }
        return std::nullopt;
    }

private:
    // "#n" or "#n/name" as the folder and the name below it.
    std::optional<std::pair<std::size_t, std::string>> Split(std::string_view path) const
    {
        if (path.empty() || path.front() != '#') return std::nullopt;
        const std::size_t slash = std::min(path.find('/'), path.size());
        const std::size_t node = std::stoul(std::string(path.substr(1, slash - 1)));
        FUZZ_CHECK(node < Nodes.size());
        const std::string name(path.substr(std::min(slash + 1, path.size())));
        FUZZ_CHECK(name.find('/') == std::string::npos);
        return std::make_pair(node, name);
    }
};

// The key file written out plainly: each group once, each key once.
std::string Written(const TKeyFile& file)
{
    std::string text;
    for (const auto& [group, keys] : file.Groups()) {
        text += "[" + group + "]\n";
        for (const auto& [key, value] : keys) text += key + "=" + value + "\n";
    }
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void CheckLookup(TTree& tree, const std::string& id)
{
    tree.Questions.clear();
    const std::optional<std::string> found = FindEntryFile("#0", id, tree);
    FUZZ_CHECK(found == tree.Reference(0, id));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);

    TTree tree;
    const int steps = input.ConsumeIntegralInRange(0, 24);
    for (int step = 0; step < steps; ++step) {
        TTree::TNode& node = tree.Nodes[input.ConsumeIntegralInRange<std::size_t>(0, tree.Nodes.size() - 1)];
        const std::string name(kNames[input.ConsumeIntegralInRange<std::size_t>(0, kNames.size() - 1)]);
        switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0: node.Files.insert(name); break;
        case 1:
            if (tree.Nodes.size() < 8) {
                node.Folders[name] = tree.Nodes.size();
                tree.Nodes.emplace_back();
            }
            break;
        default:
            node.Folders[name] = input.ConsumeIntegralInRange<std::size_t>(0, tree.Nodes.size() - 1);
        }
    }
    // Ids of at most twelve dashes keep the reference's every reading small.
    std::string id;
    int dashes = 0;
    const int pieces = input.ConsumeIntegralInRange(0, 20);
    for (int piece = 0; piece < pieces; ++piece) {
        const std::string_view text = kIdPieces[input.ConsumeIntegralInRange<std::size_t>(0, kIdPieces.size() - 1)];
        if (text == "-" && ++dashes > 12) break;
        id += text;
    }
    if (!id.empty()) CheckLookup(tree, id);

    const std::string text = input.ConsumeRemainingBytesAsString();
    const TKeyFile file(text);
    const std::string written = Written(file);
    FUZZ_CHECK(TKeyFile(written).Groups() == file.Groups());
    for (const auto& [group, keys] : file.Groups()) {
        FUZZ_CHECK(group.find('\n') == std::string::npos);
        for (const auto& [key, value] : keys) {
            FUZZ_CHECK(key.find_first_of("=\n") == std::string::npos && value.find('\n') == std::string::npos);
            FUZZ_CHECK(value.empty() || (!IsBlank(value.front()) && !IsBlank(value.back())));
            FUZZ_CHECK(*file.Value(group, key) == value);
            for (const std::string& item : file.List(group, key)) {
                FUZZ_CHECK(!item.empty() && item.find(';') == std::string::npos);
                FUZZ_CHECK(!IsBlank(item.front()) && !IsBlank(item.back()));
            }
            // The entries a mimeapps.list names are looked up as the
            // registry looks them up, in the same tree.
            if (group == "Default Applications") {
                for (const std::string& listed : file.List(group, key)) {
                    if (listed.size() <= 64 && listed.find('/') == std::string::npos &&
                        std::count(listed.begin(), listed.end(), '-') <= 12) {
                        CheckLookup(tree, listed);
                    }
                }
            }
        }
    }
    return 0;
}
