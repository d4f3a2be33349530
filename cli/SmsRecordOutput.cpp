#include "cli/SmsRecordOutput.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {

// The columns the text form shows, by key position.
constexpr std::array<std::size_t, 7> kTextColumns = {1, 2, 3, 4, 5, 7, 8};

std::string Number(const std::optional<int>& value) {
    return value ? std::to_string(*value) : std::string();
}

void AppendJsonNumber(std::string& line, const std::optional<int>& value) {
    line += value ? std::to_string(*value) : std::string("null");
}

std::vector<std::string> TextHeadings() {
    std::vector<std::string> headings;
    for (const std::size_t column : kTextColumns) {
        std::string heading(kSmsRecordKeys[column]);
        std::ranges::transform(heading, heading.begin(),
                               [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
        headings.push_back(std::move(heading));
    }
    return headings;
}

} // namespace

std::vector<std::string> SmsRecordCells(const SmsRecord& r) {
    return {r.memory,
            std::to_string(r.index),
            r.status,
            r.type,
            r.number,
            r.name,
            r.smsc,
            r.time,
            r.text,
            r.coding,
            Number(r.msgClass),
            Number(r.part),
            Number(r.parts),
            Number(r.reference),
            r.error,
            r.pdu};
}

void AppendSmsRecordJson(std::string& line, const SmsRecord& r) {
    const std::vector<std::string> cells = SmsRecordCells(r);
    const std::array<const std::optional<int>*, 4> numbers = {&r.msgClass, &r.part, &r.parts,
                                                              &r.reference};
    constexpr std::size_t kIndexKey = 1;
    constexpr std::size_t kFirstNumberKey = 10;
    line += '{';
    for (std::size_t key = 0; key < kSmsRecordKeys.size(); ++key) {
        if (key > 0)
            line += ',';
        AppendJsonString(line, kSmsRecordKeys[key]);
        line += ':';
        if (key == kIndexKey)
            line += cells[key];
        else if (key >= kFirstNumberKey && key < kFirstNumberKey + numbers.size())
            AppendJsonNumber(line, *numbers[key - kFirstNumberKey]);
        else
            AppendJsonString(line, cells[key]);
    }
    line += "}\n";
}

SmsRecordPrinter::SmsRecordPrinter(OutputFormat outputFormat, bool header, std::FILE* output)
    : format(outputFormat), out(output) {
    if (format == OutputFormat::Text) {
        text = std::make_unique<RowStream>(TextHeadings(), format, kTextColumns.size(), out);
        return;
    }
    if (format == OutputFormat::Csv && header) {
        const std::vector<std::string> keys(kSmsRecordKeys.begin(), kSmsRecordKeys.end());
        std::string line;
        AppendCsvLine(line, keys);
        std::fputs(line.c_str(), out);
    }
}

void SmsRecordPrinter::Write(const SmsRecord& record) {
    std::string line;
    switch (format) {
    case OutputFormat::Text: {
        const std::vector<std::string> cells = SmsRecordCells(record);
        std::vector<std::string> shown;
        for (const std::size_t column : kTextColumns)
            shown.push_back(cells[column]);
        text->Write(shown);
        return;
    }
    case OutputFormat::Csv:
        AppendCsvLine(line, SmsRecordCells(record));
        break;
    case OutputFormat::Json:
        AppendSmsRecordJson(line, record);
        break;
    }
    // A script reading the pipe sees each message as soon as it is decoded.
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
}

bool SmsRecordPrinter::Finish() {
    if (text && !text->Finish())
        return false;
    return std::fflush(out) == 0 && std::ferror(out) == 0;
}

std::vector<SmsRecord> JoinLongMessages(std::vector<SmsRecord> records) {
    using Key = std::tuple<std::string, int, int>; // number, reference, parts
    std::map<Key, std::vector<std::size_t>> partsOf;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].part && records[i].parts && records[i].reference && records[i].error.empty())
            partsOf[{records[i].number, *records[i].reference, *records[i].parts}].push_back(i);
    std::vector<bool> dropped(records.size(), false);
    for (auto& [key, members] : partsOf) {
        std::ranges::sort(members, {}, [&](std::size_t i) { return *records[i].part; });
        const int total = std::get<2>(key);
        bool whole = std::ssize(members) == total;
        for (int n = 0; whole && n < total; ++n)
            whole = *records[members[static_cast<std::size_t>(n)]].part == n + 1;
        if (!whole)
            continue;
        const std::size_t first = *std::ranges::min_element(members);
        std::string text;
        for (const std::size_t i : members)
            text += records[i].text;
        for (const std::size_t i : members)
            dropped[i] = i != first;
        SmsRecord& joined = records[first];
        joined.text = std::move(text);
        joined.part.reset();
    }
    std::vector<SmsRecord> kept;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!dropped[i])
            kept.push_back(std::move(records[i]));
    return kept;
}
