#include "db/RecordText.h"
#include "db/SchemaText.h"

#include <cctype>

namespace {

// The text without its "--" comments (the schema's texts hold no "--" inside quotes).
std::string WithoutComments(std::string_view text) {
    std::string kept;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        const std::size_t comment = line.find("--");
        kept.append(line.substr(0, comment)).push_back('\n');
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return kept;
}

std::string Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0)
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0)
        text.remove_suffix(1);
    return std::string(text);
}

} // namespace

std::vector<std::string> SchemaStatements(std::string_view text) {
    const std::string plain = WithoutComments(text);
    std::vector<std::string> statements;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '\'')
            quoted = !quoted;
        if (plain[i] != ';' || quoted)
            continue;
        std::string statement = Trim(std::string_view(plain).substr(start, i - start));
        start = i + 1;
        if (!statement.empty() && !EqualNoCase(statement, "BEGIN") &&
            !EqualNoCase(statement, "COMMIT"))
            statements.push_back(std::move(statement));
    }
    return statements;
}
