#include "sms/SmsHeader.h"

#include "core/TextHelpers.h"
#include "serial/AtFields.h"

#include <algorithm>

namespace {

AtFields HeaderFields(std::string_view line) {
    const std::size_t colon = line.find(':');
    const std::size_t from = colon == std::string_view::npos ? 1 : colon + 1;
    AtFields fields(line.substr(std::min(from, line.size())));
    fields.Begin("");
    return fields;
}

} // namespace

std::string FirstFieldAfterColon(std::string_view line) {
    const int colon = FindChar(line, ':');
    const std::string rest = CopyTail(line, static_cast<int>(line.size()) - colon - 1);
    return CopyHead(rest, FindChar(rest, ','));
}

int CountAnswerUsed(std::string_view line) {
    const std::size_t colon = line.find(':');
    AtFields fields(colon == std::string_view::npos ? line : line.substr(colon + 1));
    fields.Begin("");
    const std::optional<int> used = fields.NextNumber();
    return used && fields.CommaBehind() ? *used : 0;
}

int HeaderIndex(std::string_view line) {
    return HeaderFields(line).NextNumber().value_or(0);
}

int HeaderFirstField(std::string_view line) {
    // Nearly every header of a capture is "+CMGR: D,...": its one digit is read on the spot.
    if (line.size() >= 9 && line[5] == ':' &&
        line.substr(0, 5).find(':') == std::string_view::npos && line[6] == ' ' && line[7] >= '0' &&
        line[7] <= '9' && line[8] == ',')
        return line[7] - '0';
    AtFields fields = HeaderFields(line);
    const std::optional<int> status = fields.NextNumber();
    return status && fields.CommaBehind() ? *status : 0;
}

int HeaderSecondField(std::string_view line) {
    AtFields fields = HeaderFields(line);
    if (!fields.Skip() || !fields.CommaBehind())
        return 0;
    return fields.NextNumber().value_or(0);
}
