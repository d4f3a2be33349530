#include "sms/send/SmsText.h"

#include "core/Utf8.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/SubmitUserData.h"

namespace {

// Calls visit(character bytes, code point) for each character until it returns false.
template <typename Visit> void ForEachChar(std::string_view text, Visit visit) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = next_code_point(text, pos);
        if (!visit(text.substr(start, pos - start), cp)) {
            return;
        }
    }
}

} // namespace

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    ForEachChar(text, [&count](std::string_view, char32_t) {
        ++count;
        return true;
    });
    return count;
}

std::string CutToSeptets(std::string_view text, int maxSeptets) {
    int septets = 0;
    std::size_t bytes = 0;
    ForEachChar(text, [&](std::string_view character, char32_t) {
        const int needed = gsm7_septet_count(character);
        if (septets + needed > maxSeptets) {
            return false;
        }
        septets += needed;
        bytes += character.size();
        return true;
    });
    return std::string(text.substr(0, bytes));
}

int SmsTextLength(std::string_view text) {
    return needs_ucs2(text) ? static_cast<int>(CharCount(text)) : gsm7_septet_count(text);
}

std::string CutToSmsLength(std::string_view text, int maxLength) {
    if (!needs_ucs2(text)) {
        return CutToSeptets(text, maxLength);
    }
    std::string head;
    int count = 0;
    ForEachChar(text, [&](std::string_view character, char32_t) {
        if (++count > maxLength) {
            return false;
        }
        head += character;
        return true;
    });
    return head;
}

std::string UnsendableCharacters(std::string_view text) {
    std::u32string seen;
    std::string shown;
    ForEachChar(text, [&](std::string_view character, char32_t cp) {
        const bool lost =
            cp != U'?' && utf8_to_gsm7(character) == std::vector<std::uint8_t>{kGsm7Unknown};
        if (lost && seen.find(cp) == std::u32string::npos) {
            seen.push_back(cp);
            append_utf8(shown, cp);
        }
        return true;
    });
    return shown;
}
