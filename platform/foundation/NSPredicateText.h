#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Private text helpers shared by predicates and sort descriptors (ICU behind them). Any thread.
namespace PredicateText {

enum Folding : uint8_t {
    FoldNone = 0,
    FoldCase = 1, // "[c]": case-insensitive
    FoldDiacritics = 2, // "[d]": diacritic-insensitive
};

// The text with case folded and/or combining marks removed (after canonical decomposition),
// so two folded texts compare equal exactly when the originals match under the folding.
std::string fold(std::string_view text, uint8_t folding);

// The folded text without copying when folding leaves it as it is (no folding, or ASCII text
// with no capitals to lower): a view of `text`, or of `storage` holding fold(text, folding).
// The view lives as long as both `text` and `storage`.
std::string_view foldedView(std::string_view text, uint8_t folding, std::string& storage);

// A text as a comparison under `folding` sees it, for comparing one text against folded ones
// without copying it: ASCII text is read through lowering its capitals (under case folding),
// any other text that folding changes is folded once into the object. Every answer is the one
// the same operation gives on fold(text, folding). Not copyable: it may point into itself.
class FoldedText {
public:
    FoldedText(std::string_view text, uint8_t folding);
    FoldedText(const FoldedText&) = delete;
    FoldedText& operator=(const FoldedText&) = delete;

    // The arguments are folded texts (from fold or foldedView).
    bool contains(std::string_view part) const;
    bool startsWith(std::string_view prefix) const;
    bool endsWith(std::string_view suffix) const;
    bool equals(std::string_view other) const;
    // By code point (UTF-8 byte order): -1, 0 or 1.
    int compare(std::string_view other) const;
    // The folded text itself, made in `storage` when it is read through lowering.
    std::string_view view(std::string& storage) const;

private:
    bool same(std::string_view other, size_t at) const;

    std::string_view m_text;
    bool m_lowering { false };
    std::string m_folded;
};

// Orders two texts by code point after folding: -1, 0 or 1.
int compare(std::string_view a, std::string_view b, uint8_t folding);

// Orders two texts the way the current locale sorts them, ignoring case: -1, 0 or 1.
int localizedCaseInsensitiveCompare(std::string_view a, std::string_view b);

// Wildcard match of the whole text: "*" any run of characters, "?" one character, "\" quotes
// the next one. Both sides are expected to be folded already.
bool like(std::string_view text, std::string_view pattern);

// A compiled regular expression, matched against the whole text.
class Regex {
public:
    // Raises "NSInvalidArgumentException" when the pattern does not compile.
    Regex(std::string_view pattern, bool caseInsensitive);
    ~Regex();
    bool matchesWhole(std::string_view text) const;
    const std::string& pattern() const { return m_pattern; }
    bool caseInsensitive() const { return m_caseInsensitive; }

private:
    struct Compiled;
    std::string m_pattern;
    bool m_caseInsensitive;
    std::unique_ptr<Compiled> m_compiled;
};

} // namespace PredicateText
