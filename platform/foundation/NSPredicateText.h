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
