#include "db/PgHandles.h"

#include "db/PgLibrary.h"

#include <charconv>

void PgConnCloser::operator()(PGconn* connection) const noexcept {
    Pq().PQfinish(connection);
}

void PgResultClearer::operator()(PGresult* result) const noexcept {
    Pq().PQclear(result);
}

int PgOutcome::Rows() const {
    return result ? Pq().PQntuples(result.get()) : 0;
}

bool PgOutcome::IsNull(int row, int column) const {
    return !result || Pq().PQgetisnull(result.get(), row, column) == 1;
}

std::string_view PgOutcome::Text(int row, int column) const {
    if (IsNull(row, column))
        return {};
    return {Pq().PQgetvalue(result.get(), row, column),
            static_cast<std::size_t>(Pq().PQgetlength(result.get(), row, column))};
}

long long PgOutcome::Number(int row, int column) const {
    const std::string_view text = Text(row, column);
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const char* PgOutcome::Affected() const {
    return result ? Pq().PQcmdTuples(result.get()) : "";
}

namespace {

std::string Trimmed(const char* message) {
    std::string text = message != nullptr ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? std::string("the database server gave no answer") : text;
}

// The server's own message, as SQLite gives its own: without the severity and the context lines
// that libpq's full text adds ("ERROR:  no\nCONTEXT:  PL/pgSQL function ...").
std::string ResultError(PGconn* connection, const PGresult* result) {
    if (result == nullptr)
        return Trimmed(Pq().PQerrorMessage(connection));
    if (const char* primary = Pq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY))
        return Trimmed(primary);
    return Trimmed(Pq().PQresultErrorMessage(result));
}

} // namespace

std::string PgConnectionError(PGconn* connection) {
    return Trimmed(connection != nullptr ? Pq().PQerrorMessage(connection) : "out of memory");
}

PgOutcome PgRun(PGconn* connection, std::string_view sql, const std::vector<PgParam>& params) {
    PgOutcome outcome;
    if (connection == nullptr) {
        outcome.error = "no database is open";
        return outcome;
    }
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const PgParam& param : params) {
        // A parameter ends at its first NUL: the rest would be lost without a word.
        if (param && param->find('\0') != std::string::npos) {
            outcome.error = "a text holds a NUL character, which the database server cannot store";
            return outcome;
        }
        values.push_back(param ? param->c_str() : nullptr);
    }
    const std::string text(sql);
    outcome.result.reset(Pq().PQexecParams(connection, text.c_str(),
                                           static_cast<int>(values.size()), nullptr, values.data(),
                                           nullptr, nullptr, 0));
    const ExecStatusType status =
        outcome.result ? Pq().PQresultStatus(outcome.result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        outcome.error = ResultError(connection, outcome.result.get());
    return outcome;
}

std::string UriRefusal(std::string_view uri) {
    const std::size_t scheme = uri.find("://");
    const std::string_view rest = scheme == std::string_view::npos ? uri : uri.substr(scheme + 3);
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?"));
    const std::size_t at = authority.rfind('@');
    const bool inUser =
        at != std::string_view::npos && authority.substr(0, at).find(':') != std::string_view::npos;
    const std::size_t query = rest.find('?');
    const bool inQuery = query != std::string_view::npos &&
                         (rest.find("?password=", query) != std::string_view::npos ||
                          rest.find("&password=", query) != std::string_view::npos);
    if (!inUser && !inQuery)
        return {};
    return "a password in the URI is refused: keep it in ~/.pgpass (or PGPASSWORD)";
}

bool IsServerUri(std::string_view name) {
    return name.starts_with("postgresql://") || name.starts_with("postgres://");
}
