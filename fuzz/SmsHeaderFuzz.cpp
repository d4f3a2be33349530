// The header helpers of the message answers ("+CMGR:", "+CMGL:") and the "+CPMS:" count, and the
// atoi-like number reader under them, against plain models of what their comments promise.

#include "core/TextToInt.h"
#include "fuzz/FuzzCheck.h"
#include "sms/SmsHeader.h"

#include <algorithm>
#include <climits>

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

std::string ModelTail(std::string_view line) {
    const std::size_t colon = line.find(':');
    const std::size_t from = colon == std::string_view::npos ? 1 : colon + 2;
    return std::string(line.substr(std::min(from, line.size())));
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
    const std::string tail = ModelTail(line);
    FuzzRequire(HeaderTail(line) == tail);
    FuzzRequire(FirstFieldAfterColon(line) == ModelFirstField(line));
    FuzzRequire(HeaderIndex(line) == ModelInt(tail));
    const std::size_t comma = tail.find(',');
    // A status field is ended by its comma; without one there is none.
    const int first =
        comma == std::string::npos ? 0 : ModelInt(std::string_view(tail).substr(0, comma));
    FuzzRequire(HeaderFirstField(line) == first);
    const int second =
        comma == std::string::npos ? 0 : ModelInt(std::string_view(tail).substr(comma + 1));
    FuzzRequire(HeaderSecondField(line) == second);
    return 0;
}
