#include "ArchiveGenerator.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sqlite3.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int kSenders = 2'000;
constexpr int kPhonebookEntries = 500;

struct Script {
    std::string_view text;
    int dcs; // 0: GSM 7-bit, 8: UCS2
};

constexpr std::array<Script, 8> kTexts = {{
    {"Ciao! Domani alle 18:30 in piazza, porta 5€ per il biglietto. Ci vediamo in città", 0},
    {"Arrivo in ritardo, c'è traffico sulla tangenziale: perché non partite senza di me?", 0},
    {"Wir treffen uns an der Hauptstraße um acht, danach gehen wir ins Café Müller", 8},
    {"Rendez-vous à la gare à midi, n'oublie pas les clés de la maison s'il te plaît", 8},
    {"Καλημέρα! Θα είμαι στην Αθήνα την Πέμπτη, τα λέμε στο καφέ", 8},
    {"Привет! Встречаемся в пятницу у метро, позвони когда будешь рядом", 8},
    {"Your parcel is out for delivery today between 10:00 and 14:00, reply STOP to opt out", 0},
    {"OK, va bene. A più tardi", 0},
}};

constexpr std::array<std::string_view, 10> kFirstNames = {
    "Mario", "Giulia", "Jürgen", "Chloé", "Νίκος", "Ольга", "Luca", "Anna", "Niccolò", "Zoë"};
constexpr std::array<std::string_view, 8> kSurnames = {"Rossi",  "Müller",  "Bianchi", "Dubois",
                                                       "Παππάς", "Иванова", "Ferrari", "Smith"};

// Deterministic, cheap, good enough to spread the rows.
std::uint32_t Mix(std::uint64_t n) {
    n ^= n >> 33U;
    n *= 0xff51afd7ed558ccdULL;
    n ^= n >> 33U;
    return static_cast<std::uint32_t>(n);
}

std::string Sender(int index) {
    char number[24];
    std::snprintf(number, sizeof number, "+39347%07d", 1'200'000 + index * 37);
    return number;
}

std::string IsoDate(long row, long messages) {
    // Spread over about four years, in order: a gateway's archive grows with time.
    const long minutes = row * (4L * 365 * 24 * 60) / (messages > 0 ? messages : 1);
    const long day = minutes / (24 * 60);
    const int year = 2021 + static_cast<int>(day / 365);
    const int dayOfYear = static_cast<int>(day % 365);
    const int month = dayOfYear / 31 % 12 + 1;
    const int dayOfMonth = dayOfYear % 28 + 1;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, dayOfMonth,
                  static_cast<int>(minutes / 60 % 24), static_cast<int>(minutes % 60),
                  static_cast<int>(row % 60));
    return text;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1 : 0;
    return count;
}

std::string MessageText(long row, std::uint32_t random) {
    const Script& script = kTexts[random % kTexts.size()];
    std::string text(script.text);
    text += " #" + std::to_string(row);
    if (row % kRareEvery == kRareEvery / 2)
        text += " (lo zeppelin è atterrato)";
    return text;
}

class Sql {
public:
    explicit Sql(sqlite3* db) : handle(db) {}
    bool Exec(const char* sql) {
        if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        failure = sqlite3_errmsg(handle);
        return false;
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
            failure = sqlite3_errmsg(handle);
        return statement;
    }
    bool Step(sqlite3_stmt* statement) {
        const bool done = sqlite3_step(statement) == SQLITE_DONE;
        if (!done)
            failure = sqlite3_errmsg(handle);
        sqlite3_reset(statement);
        return done;
    }
    std::string failure;

private:
    sqlite3* handle;
};

void BindText(sqlite3_stmt* statement, int column, const std::string& text) {
    sqlite3_bind_text(statement, column, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

bool FillPhonebook(Sql& sql) {
    sqlite3_stmt* add = sql.Prepare(
        "INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory) VALUES (?, ?, ?, '145', 'SM')");
    bool ok = add != nullptr;
    for (int entry = 0; ok && entry < kPhonebookEntries; ++entry) {
        const int sender = entry * (kSenders / kPhonebookEntries);
        BindText(add, 1, std::to_string(entry + 1));
        BindText(add, 2, Sender(sender));
        BindText(add, 3,
                 std::string(kFirstNames[Mix(entry) % kFirstNames.size()]) + " " +
                     std::string(kSurnames[Mix(entry + 7) % kSurnames.size()]));
        ok = sql.Step(add);
    }
    sqlite3_finalize(add);
    return ok;
}

bool FillMessages(Sql& sql, long messages) {
    sqlite3_stmt* in =
        sql.Prepare("INSERT INTO SMS_In (SCA, PDUTYPE, Mittente, PID, DCS, DateTime, UDL, "
                    "Messaggio) VALUES ('+393359609600', 4, ?, 0, ?, ?, ?, ?)");
    sqlite3_stmt* out = sql.Prepare("INSERT INTO SMS_Out (SCA, PDUTYPE, MR, Mittente, PID, DCS, "
                                    "ValidityType, Validity, UDL, Messaggio) VALUES "
                                    "('+393359609600', 17, ?, ?, 0, ?, 2, 'AA', ?, ?)");
    bool ok = in != nullptr && out != nullptr;
    for (long row = 0; ok && row < messages; ++row) {
        const std::uint32_t random = Mix(static_cast<std::uint64_t>(row));
        const std::string text = MessageText(row, random);
        const Script& script = kTexts[random % kTexts.size()];
        const bool sent = random / 16 % 10 == 0;
        sqlite3_stmt* insert = sent ? out : in;
        int column = 1;
        if (sent)
            sqlite3_bind_int(insert, column++, static_cast<int>(row % 256));
        BindText(insert, column++, Sender(static_cast<int>(random / 256 % kSenders)));
        sqlite3_bind_int(insert, column++, script.dcs);
        if (!sent)
            BindText(insert, column++, IsoDate(row, messages));
        const std::size_t chars = CharCount(text);
        sqlite3_bind_int(insert, column++,
                         static_cast<int>(script.dcs == 8 ? chars * 2 : chars) & 0xFF);
        BindText(insert, column, text);
        ok = sql.Step(insert);
    }
    sqlite3_finalize(in);
    sqlite3_finalize(out);
    return ok;
}

} // namespace

std::string GenerateArchive(const std::string& shipped, const std::string& target, long messages) {
    std::error_code copyError;
    std::filesystem::copy_file(shipped, target, std::filesystem::copy_options::overwrite_existing,
                               copyError);
    if (copyError)
        return "cannot copy " + shipped + ": " + copyError.message();
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(target.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(handle);
        return "cannot open " + target;
    }
    Sql sql(handle);
    const bool filled = sql.Exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN") &&
                        FillPhonebook(sql) && FillMessages(sql, messages) && sql.Exec("COMMIT");
    std::string failure = filled ? std::string() : "cannot fill " + target + ": " + sql.failure;
    sqlite3_close(handle);
    return failure;
}

namespace {

class Archives {
public:
    ~Archives() {
        for (const auto& [size, path] : made) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
    std::string Of(long messages) {
        std::string& path = made[messages];
        if (path.empty()) {
            const std::filesystem::path target = std::filesystem::temp_directory_path() /
                                                 ("telvane-bench-" + std::to_string(getpid()) +
                                                  "-" + std::to_string(messages) + ".mdb");
            if (GenerateArchive(std::string(TELVANE_BINARY_DIR) + "/telvane.mdb", target, messages)
                    .empty())
                path = target.string();
        }
        return path;
    }

private:
    std::map<long, std::string> made;
};

} // namespace

std::string GeneratedArchive(long messages) {
    static Archives archives;
    return archives.Of(messages);
}
