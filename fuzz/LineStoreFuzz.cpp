// The line store fed as the reader feeds it, in portions of up to 30 bytes with a cut after
// each, against a plain model: every carriage return ends a line; a line keeps its newest
// kMaxPending bytes, loses its line feeds and is stored unless empty; an unsolicited code (and
// the line after a +CMT/+CDS/+CBM header) is stored too but queued apart and raises no flag;
// the flags follow the other lines, and the prompt flag whether the text after the last line end
// was ever the phone's "> " prompt at the end of a portion.

#include "fuzz/FuzzCheck.h"
#include "serial/serialdata.h"

#include <algorithm>

namespace {

constexpr std::size_t kPortion = 30;

std::vector<std::string> ModelLines(std::string_view text, std::string& rest) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t cr = text.find('\r'); cr != std::string_view::npos;
         cr = text.find('\r', start)) {
        std::string_view segment = text.substr(start, cr - start);
        if (segment.size() > serialdata::kMaxPending)
            segment = segment.substr(segment.size() - serialdata::kMaxPending);
        std::string line(segment);
        std::erase(line, '\n');
        if (!line.empty())
            lines.push_back(line);
        start = cr + 1;
    }
    std::string_view tail = text.substr(start);
    if (tail.size() > serialdata::kMaxPending)
        tail = tail.substr(tail.size() - serialdata::kMaxPending);
    rest = tail;
    return lines;
}

// The phone's "> " prompt, line feeds before it aside.
bool ModelPrompt(std::string_view rest) {
    const std::size_t start = rest.find_first_not_of('\n');
    return start != std::string_view::npos &&
           (rest.substr(start) == ">" || rest.substr(start) == "> ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = FuzzText(data, size);
    serialdata store;
    bool prompt = false;
    std::string rest;
    for (std::size_t at = 0; at < text.size(); at += kPortion) {
        store.pending += text.substr(at, kPortion);
        SplitLines(store);
        ModelLines(text.substr(0, std::min(text.size(), at + kPortion)), rest);
        prompt = prompt || ModelPrompt(rest);
    }
    const std::vector<std::string> expected = ModelLines(text, rest);
    const std::vector<std::string> stored = SnapshotLines(store);
    FuzzRequire(stored == expected);
    FuzzRequire(store.pending == rest);
    bool ok = false;
    bool error = false;
    bool takenByCode = false;
    std::size_t codes = 0;
    std::vector<std::string> answer;
    for (const std::string& line : stored) {
        FuzzRequire(!line.empty() && line.size() <= serialdata::kMaxPending);
        FuzzRequire(line.find_first_of("\r\n") == std::string::npos);
        if (takenByCode) {
            takenByCode = false;
            continue;
        }
        if (IsUnsolicitedLine(line)) {
            takenByCode = TakesNextLine(line);
            ++codes;
            continue;
        }
        answer.push_back(line);
        ok = ok || line == "OK";
        error = error || line == "ERROR" || line.starts_with("+CMS ERROR:") ||
                line.starts_with("+CME ERROR:");
    }
    FuzzRequire(SnapshotAnswerLines(store) == answer);
    // A header still waiting for its line is queued once that line comes.
    FuzzRequire(store.unsolicited.Size() == codes - (takenByCode ? 1 : 0));
    FuzzRequire((store.okReceived.load() != 0) == ok);
    FuzzRequire((store.errorReceived.load() != 0) == error);
    FuzzRequire((store.promptReceived.load() != 0) == prompt);
    ClearLines(store);
    FuzzRequire(SnapshotLines(store).empty() && store.okReceived.load() == 0 &&
                store.errorReceived.load() == 0 && store.promptReceived.load() == 0);
    return 0;
}
