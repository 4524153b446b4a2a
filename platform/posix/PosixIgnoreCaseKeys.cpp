#include "platform/posix/PosixTextCase_p.h"

#include "platform/posix/Utf8.h"

#include <unicode/ucol.h>
#include <unicode/uset.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::platform::posix {

// The ignore-case key: the primary weights of a text, a separator, then its
// secondary weights, which is what comparing at secondary strength looks at
// (tertiary weights hold the case). Two texts get the same key exactly when
// the collator calls them equal.
//
// ICU's own sort keys take about a microsecond for a file name; a batch run
// needs two per file. So the weights of the Latin characters are looked up
// once, and a name made only of those gets its key by joining table entries.
// That is sound as long as no contraction or context of the locale can form
// inside such a name: of every contraction ("l·" in the root collation, "ch"
// in Czech) one character stays out of the table. Any other name goes
// through ICU's iterator whole, which gives the same weights.
//
// Finding every contraction of a collation takes ICU some milliseconds, as
// long as a run over a few hundred files. Names of plain ASCII, by far the
// most common, need only the ASCII characters' weights and the contractions
// made of ASCII alone, and those come from the locale's tailoring only: the
// root collation has none (the platform tests check that of the ICU built
// against). So the ASCII weights are learnt first, from the tailored set,
// and the whole table when the first other name asks for it.
class TIgnoreCaseKeys::TWeightTables {
public:
    explicit TWeightTables(const UCollator* collator) : m_collator(collator)
    {
        if (collator == nullptr) return;
        // Settings that make the comparison look at more than the plain
        // weights (punctuation shifted away, a case level, digits read as
        // numbers, as some locales choose) are left to ICU's sort keys.
        UErrorCode status = U_ZERO_ERROR;
        m_useSortKeys = ucol_getAttribute(collator, UCOL_ALTERNATE_HANDLING, &status) != UCOL_NON_IGNORABLE ||
            ucol_getAttribute(collator, UCOL_CASE_LEVEL, &status) != UCOL_OFF ||
            ucol_getAttribute(collator, UCOL_NUMERIC_COLLATION, &status) != UCOL_OFF || U_FAILURE(status);
        if (m_useSortKeys) return;
        m_table.resize(kSlots);
        USet* tailored = ucol_getTailoredSet(collator, &status);
        if (U_FAILURE(status)) return;
        if (!TouchesAscii(tailored)) {
            // The ASCII characters weigh as in the root collation; sort keys
            // tell which of them weigh alike without ICU's element iterator,
            // which takes milliseconds to set up.
            uset_close(tailored);
            ClassesFromSortKeys();
            return;
        }
        std::vector<bool> excluded(kSlots, false);
        ExcludeContractions(tailored, excluded, TContractions::OfAsciiAlone);
        uset_close(tailored);
        for (char32_t c = 0; c < 0x80; ++c) Learn(excluded, c);
        TClasses classes = ClassesOfWeights(TAsciiWeights::FromTable);
        if (!classes.Valid) return;
        std::copy(std::begin(classes.Ascii), std::end(classes.Ascii), std::begin(m_asciiClass));
        m_classes = true;
        AdoptClasses(std::move(classes));
    }

    // The key of `text`; `collationText` is scratch space for the slow way.
    std::string Key(std::string_view text, TCollationText& collationText) const
    {
        std::string key;
        if (m_collator == nullptr) return key;
        if (m_classes && ClassKey(text, key)) return key;
        if (!m_useSortKeys) {
            std::call_once(m_tableLearnt, [this] { LearnTable(); });
            if (TableKey(text, key)) return InClasses(std::move(key));
        }
        ToCollationText(text, collationText);
        if (m_useSortKeys) {
            key = SortKey(collationText.Units);
        } else {
            std::string& secondary = Scratch().Secondary;
            secondary.clear();
            Walker().Append(m_collator, collationText.Units.data(), collationText.Units.size(), key, secondary);
            key.push_back(kLevelSeparator);
            key += secondary;
        }
        if (!collationText.Marks.empty()) {
            key.push_back('\0');
            key += collationText.Marks;
        }
        return m_useSortKeys ? key : InClasses(std::move(key));
    }

private:
    static constexpr char32_t kLatinEnd = 0x0250;  // Basic Latin to Latin Extended-B: no combining marks
    static constexpr std::size_t kSlots = kLatinEnd + (kEscapeLast - kEscapeFirst + 1);
    static constexpr std::size_t kMostBytes = 7;
    // Between the primary and the secondary weights; no weight byte is 01,
    // and none is 00, which comes before the tie-breaker.
    static constexpr char kLevelSeparator = '\x01';

    struct TWeights {
        bool Known = false;
        std::uint8_t PrimaryLength = 0;
        std::uint8_t SecondaryLength = 0;
        std::uint8_t Primary[kMostBytes] = {};
        std::uint8_t Secondary[kMostBytes] = {};
    };

    static std::size_t Slot(char32_t c)
    {
        if (c < kLatinEnd) return static_cast<std::size_t>(c);
        if (c >= kEscapeFirst && c <= kEscapeLast) return kLatinEnd + static_cast<std::size_t>(c - kEscapeFirst);
        return kSlots;
    }

    static void Exclude(std::vector<bool>& excluded, UChar32 c)
    {
        if (c < 0) return;
        if (const std::size_t slot = Slot(static_cast<char32_t>(c)); slot < kSlots) excluded[slot] = true;
    }

    // The contractions that leave a character out of the table: those made
    // of ASCII characters alone, the only ones a plain ASCII name can hold,
    // or all those made of characters of the table.
    enum class TContractions { OfAsciiAlone, OfTableCharacters };

    // Leaves one character of each contraction in `set` of the kind given
    // out of the table.
    static void ExcludeContractions(const USet* set, std::vector<bool>& excluded, TContractions kind)
    {
        const bool asciiOnly = kind == TContractions::OfAsciiAlone;
        const bool read = VisitSetItems(set, [&](UChar32 first, UChar32 last, std::u16string_view text) {
            if (text.empty()) {
                // Single characters: in the tailored set they are merely
                // weighed anew, in the set of contractions they start one.
                if (!asciiOnly) {
                    for (UChar32 c = first; c <= last; ++c) Exclude(excluded, c);
                }
                return true;
            }
            // A contraction takes effect only where all its characters stand
            // together, so one of them left out of the table is enough: a
            // name holding it takes the slow way as a whole.
            const bool allInTable = asciiOnly ? std::all_of(text.begin(), text.end(), IsAscii)
                                              : std::all_of(text.begin(), text.end(),
                                                            [](char16_t c) { return Slot(c) < kSlots; });
            if (allInTable) Exclude(excluded, text.back());
            return true;
        });
        if (!read) std::fill(excluded.begin(), excluded.end(), true);
    }

    // The weights of every character of the table, for names not of plain ASCII.
    void LearnTable() const
    {
        std::vector<bool> excluded(kSlots, false);
        UErrorCode status = U_ZERO_ERROR;
        USet* contractions = uset_openEmpty();
        ucol_getContractionsAndExpansions(m_collator, contractions, nullptr, true, &status);
        if (U_FAILURE(status)) {
            std::fill(excluded.begin(), excluded.end(), true);
        } else {
            ExcludeContractions(contractions, excluded, TContractions::OfTableCharacters);
        }
        uset_close(contractions);
        for (TWeights& weights : m_table) weights = TWeights{};
        for (char32_t c = 0; c < kLatinEnd; ++c) Learn(excluded, c);
        for (char32_t c = kEscapeFirst; c <= kEscapeLast; ++c) Learn(excluded, c);
        if (m_classes && !m_classWeights) AdoptClasses(ClassesOfWeights(TAsciiWeights::OwnWeights));
    }

    // The weights of `c` alone; unknown where they do not fit a table entry.
    TWeights WeightsOf(char32_t c) const
    {
        const auto unit = static_cast<UChar>(c);
        std::string primary;
        std::string secondary;
        Walker().Append(m_collator, &unit, 1, primary, secondary);
        TWeights weights;
        if (primary.size() > kMostBytes || secondary.size() > kMostBytes) return weights;
        weights.Known = true;
        weights.PrimaryLength = static_cast<std::uint8_t>(primary.size());
        weights.SecondaryLength = static_cast<std::uint8_t>(secondary.size());
        std::copy(primary.begin(), primary.end(), weights.Primary);
        std::copy(secondary.begin(), secondary.end(), weights.Secondary);
        return weights;
    }

    void Learn(const std::vector<bool>& excluded, char32_t c) const
    {
        const std::size_t slot = Slot(c);
        if (!excluded[slot]) m_table[slot] = WeightsOf(c);
    }

    // Most file names are plain ASCII, and a batch run asks two keys per file.
    // The ASCII characters with equal weights form a class, named by its
    // first character. Where the primary weights of the classes form a code
    // that reads back in one way only (none is the start of another) and
    // every class has secondary weights of one length, a key that is a row
    // of class weights is written as the row of class names: the same key in
    // another form, which an ASCII name gets with one look-up per character.
    // Any other key keeps its weights behind a byte that no class name has,
    // so two keys are still equal exactly when their weights are.
    static constexpr unsigned char kNoClass = 0x80;
    static constexpr char kWeightsFollow = '\xFF';

    struct TClasses {
        bool Valid = false;
        std::size_t Secondary = 0;
        unsigned char Ascii[0x80] = {};
        std::set<std::string> Primaries;
        std::map<std::string, char> OfWeights;
    };

    // The classes of the ASCII characters from their weights: those in the
    // table, where a character left out of it (by a contraction) means no
    // classes, or else their own (whatever contractions with other
    // characters there are, which plain ASCII names never hold).
    enum class TAsciiWeights { FromTable, OwnWeights };
    TClasses ClassesOfWeights(TAsciiWeights source) const
    {
        TClasses classes;
        std::array<TWeights, 0x80> ascii;
        for (char32_t c = 0; c < 0x80; ++c) ascii[c] = source == TAsciiWeights::FromTable ? m_table[c] : WeightsOf(c);
        std::size_t secondaryLength = 0;
        for (char32_t c = 0; c < 0x80; ++c) {
            const TWeights& weights = ascii[c];
            if (!weights.Known) return classes;
            if (weights.PrimaryLength == 0 && weights.SecondaryLength == 0) continue;
            if (weights.PrimaryLength == 0 || weights.SecondaryLength == 0) return classes;
            if (secondaryLength == 0) secondaryLength = weights.SecondaryLength;
            if (weights.SecondaryLength != secondaryLength) return classes;
        }
        if (secondaryLength == 0) return classes;
        for (char32_t c = 0; c < 0x80; ++c) {
            const TWeights& weights = ascii[c];
            if (weights.PrimaryLength == 0) {
                classes.Ascii[c] = kNoClass;
                continue;
            }
            const std::string primary(reinterpret_cast<const char*>(weights.Primary), weights.PrimaryLength);
            const std::string secondary(reinterpret_cast<const char*>(weights.Secondary), weights.SecondaryLength);
            classes.Primaries.insert(primary);
            const auto place = classes.OfWeights.emplace(primary + kLevelSeparator + secondary, static_cast<char>(c));
            classes.Ascii[c] = static_cast<unsigned char>(place.first->second);
        }
        for (const std::string& a : classes.Primaries) {
            for (const std::string& b : classes.Primaries) {
                if (a.size() < b.size() && b.compare(0, a.size(), a) == 0) return classes;
            }
        }
        classes.Secondary = secondaryLength;
        classes.Valid = true;
        return classes;
    }

    // Takes the classes' weights for InClasses, where the classes are those
    // the ASCII names get.
    void AdoptClasses(TClasses classes) const
    {
        if (!classes.Valid) return;
        if (!std::equal(std::begin(classes.Ascii), std::end(classes.Ascii), std::begin(m_asciiClass))) return;
        m_classSecondary = classes.Secondary;
        m_classPrimaries = std::move(classes.Primaries);
        m_classOfWeights = std::move(classes.OfWeights);
        m_classWeights = true;
    }

    // Whether the tailoring of the collation changes an ASCII character or
    // a contraction with one.
    static bool TouchesAscii(const USet* tailored)
    {
        bool touches = false;
        const bool read = VisitSetItems(tailored, [&](UChar32 first, UChar32, std::u16string_view text) {
            touches = text.empty() ? first < 0x80 : std::any_of(text.begin(), text.end(), IsAscii);
            return !touches;
        });
        return touches || !read;
    }

    // The classes of the ASCII characters of a collation whose tailoring
    // leaves them alone: those with equal sort keys weigh alike, and those
    // whose key is that of the empty text weigh nothing. In the root
    // collation every ASCII character has weights of its own kind, which
    // LearnTable checks against the classes once it knows the weights.
    void ClassesFromSortKeys()
    {
        const std::string ignorable = SortKey({});
        std::map<std::string, char> classOfKey;
        for (char32_t c = 0; c < 0x80; ++c) {
            const std::string key = SortKey({static_cast<UChar>(c)});
            if (key == ignorable) {
                m_asciiClass[c] = kNoClass;
                continue;
            }
            m_asciiClass[c] = static_cast<unsigned char>(classOfKey.emplace(key, static_cast<char>(c)).first->second);
        }
        m_classes = true;
    }

    // The key of a plain ASCII name in classes; false for any other name.
    bool ClassKey(std::string_view text, std::string& key) const
    {
        key.resize(text.size());
        char* const begin = key.data();
        char* out = begin;
        const unsigned char* const classes = m_asciiClass;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                key.clear();
                return false;
            }
            const unsigned char name = classes[byte];
            *out = static_cast<char>(name);
            out += name != kNoClass ? 1 : 0;
        }
        key.resize(static_cast<std::size_t>(out - begin));
        return true;
    }

    // A key of weights in classes where it is a row of class weights.
    std::string InClasses(std::string key) const
    {
        if (!m_classWeights) return key;
        const std::size_t separator = key.find(kLevelSeparator);
        // Weights hold no zero byte; one stands before the tie-breaker.
        if (separator != std::string::npos && key.find('\0') == std::string::npos) {
            const std::string_view primary = std::string_view(key).substr(0, separator);
            const std::string_view secondary = std::string_view(key).substr(separator + 1);
            std::string classes;
            std::size_t at = 0;
            std::size_t secondaryAt = 0;
            bool found = true;
            while (at < primary.size() && found) {
                found = false;
                for (std::size_t length = 1; length <= kMostBytes && at + length <= primary.size(); ++length) {
                    const std::string weight(primary.substr(at, length));
                    if (m_classPrimaries.count(weight) == 0) continue;
                    if (secondaryAt + m_classSecondary > secondary.size()) break;
                    const auto place = m_classOfWeights.find(weight + kLevelSeparator +
                                                             std::string(secondary.substr(secondaryAt, m_classSecondary)));
                    if (place == m_classOfWeights.end()) break;
                    classes.push_back(place->second);
                    at += length;
                    secondaryAt += m_classSecondary;
                    found = true;
                    break;
                }
            }
            if (found && secondaryAt == secondary.size()) return classes;
        }
        key.insert(key.begin(), kWeightsFollow);
        return key;
    }

    // The key of a name made only of characters in the table, straight from
    // its UTF-8 bytes; false for any other name.
    bool TableKey(std::string_view text, std::string& key) const
    {
        TScratch& scratch = Scratch();
        std::vector<std::uint8_t>& primary = scratch.TablePrimary;
        std::vector<std::uint8_t>& secondary = scratch.TableSecondary;
        std::string& marks = scratch.TableMarks;
        if (primary.size() < text.size() * kMostBytes) {
            primary.resize(text.size() * kMostBytes);
            secondary.resize(text.size() * kMostBytes);
        }
        marks.clear();
        std::uint8_t* p = primary.data();
        std::uint8_t* s = secondary.data();
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        for (std::size_t i = 0; i < text.size();) {
            char32_t c = bytes[i];
            if (c < 0x80) {
                ++i;
            } else if (const std::size_t length = DecodeUtf8(bytes + i, text.size() - i, c); length == 0) {
                c = kEscapeBase + bytes[i++];
                marks.push_back(kEscapedByte);
            } else {
                i += length;
                if (c >= kEscapeFirst && c <= kEscapeLast) marks.push_back(kGenuineCharacter);
            }
            const std::size_t slot = Slot(c);
            if (slot == kSlots || !m_table[slot].Known) return false;
            const TWeights& weights = m_table[slot];
            std::memcpy(p, weights.Primary, kMostBytes);
            p += weights.PrimaryLength;
            std::memcpy(s, weights.Secondary, kMostBytes);
            s += weights.SecondaryLength;
        }
        const auto primaryLength = static_cast<std::size_t>(p - primary.data());
        const auto secondaryLength = static_cast<std::size_t>(s - secondary.data());
        key.reserve(primaryLength + 1 + secondaryLength + (marks.empty() ? 0 : 1 + marks.size()));
        key.append(reinterpret_cast<const char*>(primary.data()), primaryLength);
        key.push_back(kLevelSeparator);
        key.append(reinterpret_cast<const char*>(secondary.data()), secondaryLength);
        if (!marks.empty()) {
            key.push_back('\0');
            key += marks;
        }
        return true;
    }

    // ICU ends its key with one zero byte and has none before it, so the
    // tie-breaker can follow a zero without two keys running together.
    std::string SortKey(const std::vector<UChar>& units) const
    {
        std::vector<std::uint8_t>& key = Scratch().SortKey;
        if (key.size() < 256) key.resize(256);
        int32_t length = ucol_getSortKey(m_collator, units.data(), static_cast<int32_t>(units.size()), key.data(),
                                         static_cast<int32_t>(key.size()));
        if (length > static_cast<int32_t>(key.size())) {
            key.resize(static_cast<std::size_t>(length));
            length = ucol_getSortKey(m_collator, units.data(), static_cast<int32_t>(units.size()), key.data(),
                                     static_cast<int32_t>(key.size()));
        }
        return std::string(reinterpret_cast<const char*>(key.data()), length > 0 ? length - 1 : 0);
    }

    const UCollator* m_collator;
    bool m_useSortKeys = false;
    mutable std::once_flag m_tableLearnt;
    // Per slot: the weights of that character alone; the ASCII characters'
    // from the start, the others once LearnTable has run.
    mutable std::vector<TWeights> m_table;
    // Whether ASCII names get class keys; set once at the start.
    bool m_classes = false;
    unsigned char m_asciiClass[0x80] = {};  // per ASCII character its class, kNoClass for none
    // The classes' weights, for InClasses: known from the start where the
    // ASCII weights were learnt then, else once LearnTable has run.
    mutable bool m_classWeights = false;
    mutable std::size_t m_classSecondary = 0;  // bytes of secondary weight of every class
    mutable std::set<std::string> m_classPrimaries;
    mutable std::map<std::string, char> m_classOfWeights;  // primary, separator, secondary weights -> class
};

TIgnoreCaseKeys::TIgnoreCaseKeys(const UCollator* collator) : m_tables(std::make_unique<TWeightTables>(collator)) {}

TIgnoreCaseKeys::~TIgnoreCaseKeys() = default;

std::string TIgnoreCaseKeys::Key(std::string_view text, TCollationText& collationText) const
{
    return m_tables->Key(text, collationText);
}

}  // namespace quorvane::platform::posix
