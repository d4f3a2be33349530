// The header readers of the message answers ("+CMGR:", "+CMGL:") and the "+CPMS:" count, and the
// atoi-like number reader, against plain models of what their comments promise.

#include "core/TextToInt.h"
#include "fuzz/FuzzCheck.h"
#include "sms/SmsHeader.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

// atoi's reading with saturation at the 32-bit limits.
int ModelInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The fields of a header: behind the first ':' (from the second character without one), blanks
// before the first one skipped.
std::string_view ModelFields(std::string_view line, std::size_t noColonStart) {
    const std::size_t colon = line.find(':');
    std::string_view fields = line.substr(
        std::min(colon == std::string_view::npos ? noColonStart : colon + 1, line.size()));
    while (fields.starts_with(' '))
        fields.remove_prefix(1);
    return fields;
}

// A field's number ('-' and digits, saturated) and whether a comma ends it (blanks between).
struct ModelNumber {
    std::optional<int> value;
    bool comma = false;
};

ModelNumber ReadModelNumber(std::string_view text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return {};
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    const std::size_t end = i;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return {ModelInt(text.substr(0, end)), i < text.size() && text[i] == ','};
}

std::string ModelFirstField(std::string_view line) {
    const std::size_t colon = line.find(':');
    const std::string_view rest = colon == std::string_view::npos ? line : line.substr(colon + 1);
    const std::size_t comma = rest.find(',');
    return comma == std::string_view::npos ? std::string() : std::string(rest.substr(0, comma));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line = FuzzText(data, size);
    FuzzRequire(TextToInt(line) == ModelInt(line));
    FuzzRequire(FirstFieldAfterColon(line) == ModelFirstField(line));
    const std::string_view fields = ModelFields(line, 1);
    const ModelNumber first = ReadModelNumber(fields);
    FuzzRequire(HeaderIndex(line) == first.value.value_or(0));
    // A status field is ended by its comma; without one there is none.
    FuzzRequire(HeaderFirstField(line) == (first.comma ? *first.value : 0));
    const ModelNumber used = ReadModelNumber(ModelFields(line, 0));
    FuzzRequire(CountAnswerUsed(line) == (used.comma ? *used.value : 0));
    // The second field, behind a first one that holds no quote or bracket.
    const std::size_t comma = fields.find(',');
    if (comma != std::string_view::npos &&
        fields.substr(0, comma).find_first_of("\"()") == std::string_view::npos) {
        std::string_view second = fields.substr(comma + 1);
        while (second.starts_with(' '))
            second.remove_prefix(1);
        FuzzRequire(HeaderSecondField(line) == ReadModelNumber(second).value.value_or(0));
    }
    return 0;
}
