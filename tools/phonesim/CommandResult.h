#pragma once
// What one AT command produced: its information lines and its final result. The interpreter
// turns the final result into text ("OK", "ERROR", "+CMS ERROR: n", "+CME ERROR: n") after the
// last command of the line.

#include <string>
#include <vector>

enum class FinalResult {
    Ok,
    Error,    // syntax fault or unknown command
    CmsError, // 3GPP TS 27.005 3.2.5, always numeric
    CmeError, // 3GPP TS 27.007 9.2, shown as +CMEE says
    Prompt,   // +CMGS: "> " and wait for the PDU
};

struct CommandResult {
    std::vector<std::string> lines;
    FinalResult final = FinalResult::Ok;
    int code = 0; // the error number of CmsError and CmeError
};

inline CommandResult OkResult(std::vector<std::string> lines = {}) {
    return CommandResult{std::move(lines), FinalResult::Ok, 0};
}
inline CommandResult ErrorResult() {
    return CommandResult{{}, FinalResult::Error, 0};
}
inline CommandResult CmsErrorResult(int code) {
    return CommandResult{{}, FinalResult::CmsError, code};
}
inline CommandResult CmeErrorResult(int code) {
    return CommandResult{{}, FinalResult::CmeError, code};
}

// +CMS ERROR numbers used here (3GPP TS 27.005 3.2.5).
inline constexpr int kCmsNotAllowed = 302;
inline constexpr int kCmsNotSupported = 303;
inline constexpr int kCmsInvalidPduParameter = 304;
inline constexpr int kCmsInvalidIndex = 321;
inline constexpr int kCmsMemoryFull = 322;
// +CME ERROR numbers used here (3GPP TS 27.007 9.2.1).
inline constexpr int kCmeNotAllowed = 3;
inline constexpr int kCmeNotSupported = 4;
inline constexpr int kCmeInvalidIndex = 21;
inline constexpr int kCmeInvalidCharacters = 25;
inline constexpr int kCmeIncorrectParameters = 50;
