#include "cli/CliMessageSink.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace {

// Boxes that report success or nothing to do; every other box tells of a failure.
constexpr std::array<std::string_view, 2> kSuccessTexts = {"Sent OK", "Nothing to copy !!"};
constexpr std::string_view kCopiedSuffix = " Record succesfully copied";

std::string_view AnswerName(BoxAnswer answer) {
    switch (answer) {
    case BoxAnswer::Ok:
        return "OK";
    case BoxAnswer::Cancel:
        return "Cancel";
    case BoxAnswer::Yes:
        return "Yes";
    case BoxAnswer::No:
        return "No";
    case BoxAnswer::Abort:
        return "Abort";
    case BoxAnswer::Retry:
        return "Retry";
    case BoxAnswer::Ignore:
        return "Ignore";
    }
    return {};
}

} // namespace

BoxAnswer TerminalAnswer(BoxButtons buttons, bool yes) {
    switch (buttons) {
    case BoxButtons::Ok:
        return BoxAnswer::Ok;
    case BoxButtons::OkCancel:
        return yes ? BoxAnswer::Ok : BoxAnswer::Cancel;
    case BoxButtons::YesNo:
        return yes ? BoxAnswer::Yes : BoxAnswer::No;
    case BoxButtons::RetryCancel:
        return yes ? BoxAnswer::Retry : BoxAnswer::Cancel;
    case BoxButtons::AbortRetryIgnore:
        return yes ? BoxAnswer::Retry : BoxAnswer::Abort;
    }
    return BoxAnswer::Cancel;
}

std::string BoxLine(const MessageBoxRequest& request, BoxAnswer answer) {
    std::string line = request.caption.empty() ? std::string() : request.caption + ": ";
    line += request.text;
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    if (request.buttons != BoxButtons::Ok)
        line += " [" + std::string(AnswerName(answer)) + "]";
    return line;
}

bool IsFailureBox(const MessageBoxRequest& request) {
    if (request.icon == BoxIcon::Information)
        return false;
    if (std::ranges::find(kSuccessTexts, request.text) != kSuccessTexts.end())
        return false;
    return !request.text.ends_with(kCopiedSuffix);
}

BoxAnswer CliMessageSink::ShowMessage(const MessageBoxRequest& request) {
    const BoxAnswer answer = TerminalAnswer(request.buttons, yes && !stopped.load());
    if (IsFailureBox(request))
        ++failures;
    std::string line = BoxLine(request, answer);
    const std::lock_guard lock(lineMutex);
    if (holding) {
        held = std::move(line);
        return answer;
    }
    line += '\n';
    std::fputs(line.c_str(), stream);
    std::fflush(stream);
    return answer;
}

void CliMessageSink::Hold(bool hold) {
    const std::lock_guard lock(lineMutex);
    holding = hold;
}

std::string CliMessageSink::TakeHeld() {
    const std::lock_guard lock(lineMutex);
    std::string taken;
    taken.swap(held);
    return taken;
}
