#include "archive/SearchFold.h"

#include "core/Utf8.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

struct Fold {
    char32_t letter;
    const char* folded;
};

constexpr Fold kFolds[] = {
#include "archive/SearchFoldTable.inc"
};

const char* Searched(char32_t letter) {
    const auto* found =
        std::lower_bound(std::begin(kFolds), std::end(kFolds), letter,
                         [](const Fold& fold, char32_t wanted) { return fold.letter < wanted; });
    return found != std::end(kFolds) && found->letter == letter ? found->folded : nullptr;
}

// The letters below this are looked up directly: Latin, Greek and Cyrillic all are.
constexpr char32_t kDirectLetters = 0x600;

const char* Folded(char32_t letter) {
    static const std::array<const char*, kDirectLetters> direct = [] {
        std::array<const char*, kDirectLetters> table{};
        for (const Fold& fold : kFolds)
            if (fold.letter < kDirectLetters)
                table[fold.letter] = fold.folded;
        return table;
    }();
    return letter < kDirectLetters ? direct[letter] : Searched(letter);
}

// Appends the run of ASCII bytes from pos in lower case; where the run ends.
std::size_t AppendAsciiRun(std::string& out, std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80U)
        ++end;
    const std::size_t at = out.size();
    out.append(text.substr(pos, end - pos));
    for (auto c = out.begin() + static_cast<std::ptrdiff_t>(at); c != out.end(); ++c)
        if (*c >= 'A' && *c <= 'Z')
            *c = static_cast<char>(*c - 'A' + 'a');
    return end;
}

} // namespace

void AppendFolded(std::string& out, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80U) {
            pos = AppendAsciiRun(out, text, pos);
            continue;
        }
        const std::size_t start = pos;
        const char32_t letter = next_code_point(text, pos);
        if (const char* folded = Folded(letter))
            out += folded;
        else if (letter == kReplacementChar)
            append_utf8(out, letter);
        else
            out.append(text.substr(start, pos - start));
    }
}

std::string FoldForSearch(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}
