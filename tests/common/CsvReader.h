#pragma once
// An RFC 4180 reader for checking what the exporters write: records end at CRLF outside quotes;
// a field in double quotes may hold commas, CR, LF and doubled quotes. Strict: a bare quote
// inside an unquoted field, text after a closing quote or a missing final CRLF is an error.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

using CsvRecord = std::vector<std::string>;

inline std::optional<std::vector<CsvRecord>> ReadCsv(std::string_view text) {
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            for (++i;; ++i) {
                if (i >= text.size())
                    return std::nullopt; // unclosed quote
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r') {
                if (text[i] == '"' || text[i] == '\n')
                    return std::nullopt;
                field += text[i++];
            }
        }
        if (i < text.size() && text[i] == ',') {
            record.push_back(std::move(field));
            field.clear();
            ++i;
            continue;
        }
        if (text.substr(i, 2) != "\r\n")
            return std::nullopt;
        record.push_back(std::move(field));
        field.clear();
        records.push_back(std::move(record));
        record.clear();
        i += 2;
    }
    return records;
}
