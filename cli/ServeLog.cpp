#include "cli/ServeLog.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

DbDateTime LocalNow(std::chrono::seconds later) {
    const std::time_t now = std::time(nullptr) + later.count();
    std::tm local{};
    localtime_r(&now, &local);
    constexpr int kBaseYear = 1900;
    return DbDateTime::FromParts(local.tm_year + kBaseYear, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour, local.tm_min, local.tm_sec)
        .value_or(DbDateTime{});
}

void ServeLog(const std::string& text) {
    std::string line = LocalNow().ToIso() + " " + text;
    std::ranges::replace_if(
        line, [](char c) { return c == '\n' || c == '\r'; }, ' ');
    line += '\n';
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

BoxAnswer ServeSink::ShowMessage(const MessageBoxRequest& request) {
    ServeLog(request.caption.empty() ? request.text : request.caption + ": " + request.text);
    {
        const std::lock_guard lock(mutex);
        last = request.text;
    }
    switch (request.buttons) {
    case BoxButtons::Ok:
    case BoxButtons::OkCancel:
        return BoxAnswer::Ok;
    case BoxButtons::YesNo:
        return BoxAnswer::No;
    case BoxButtons::RetryCancel:
        return BoxAnswer::Cancel;
    case BoxButtons::AbortRetryIgnore:
        return BoxAnswer::Abort;
    }
    return BoxAnswer::Ok;
}

std::string ServeSink::TakeLastText() {
    const std::lock_guard lock(mutex);
    std::string text;
    text.swap(last);
    return text;
}
