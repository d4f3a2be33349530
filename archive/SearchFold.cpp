#include "archive/SearchFold.h"

#include "core/Utf8.h"

#include <algorithm>
#include <iterator>

namespace {

struct Fold {
    char32_t letter;
    const char* folded;
};

constexpr Fold kFolds[] = {
#include "archive/SearchFoldTable.inc"
};

const char* Folded(char32_t letter) {
    const auto* found =
        std::lower_bound(std::begin(kFolds), std::end(kFolds), letter,
                         [](const Fold& fold, char32_t wanted) { return fold.letter < wanted; });
    return found != std::end(kFolds) && found->letter == letter ? found->folded : nullptr;
}

} // namespace

void AppendFolded(std::string& out, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out += byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a')
                                              : static_cast<char>(byte);
            ++pos;
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
