#include "sms/SmsHeader.h"

#include "core/TextHelpers.h"
#include "core/TextToInt.h"

std::string HeaderTail(std::string_view line) {
    const int colon = FindChar(line, ':');
    return CopyTail(line, static_cast<int>(line.size()) - colon - 2);
}

std::string FirstFieldAfterColon(std::string_view line) {
    const int colon = FindChar(line, ':');
    const std::string rest = CopyTail(line, static_cast<int>(line.size()) - colon - 1);
    return CopyHead(rest, FindChar(rest, ','));
}

int HeaderIndex(std::string_view line) {
    return TextToInt(HeaderTail(line));
}

int HeaderFirstField(std::string_view line) {
    const std::string tail = HeaderTail(line);
    return TextToInt(CopyHead(tail, FindChar(tail, ',')));
}

int HeaderSecondField(std::string_view line) {
    const std::string tail = HeaderTail(line);
    const int comma = FindChar(tail, ',');
    if (comma < 0)
        return 0;
    return TextToInt(CopyTail(tail, static_cast<int>(tail.size()) - comma - 1));
}
