// Reading 30 messages from the phone simulator at 115200 baud through the read worker, with the
// floor that the reader's 30-byte, 100 ms passes and the 200 ms polls of the exchange impose;
// and loading a 50 MB capture of reads into the line store and the SMS list.

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "sms/CSmsReader.h"
#include "sms/CopySmsToDatabase.h"
#include "sms/FakeSmsReadForm.h"
#include "sms/SmsLogFile.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <fstream>
#include <string>

namespace {

constexpr int kMessages = 30;
// From +393471234567: "Ci vediamo domani alle 10?"
constexpr std::string_view kPdu =
    "0791447700090010040C919343173254760000423041900350401AC334C85E26A"
    "7C3ED3788FC6E87DD695098CD2E8362B01F";
constexpr std::size_t kReaderBytesPerPass = 30;
constexpr double kPassSeconds = 0.1;
constexpr double kPollSeconds = 0.2;

// The earliest an exchange can end when its answer holds `bytes` bytes.
double ExchangeFloor(std::size_t bytes) {
    const std::size_t passes = (bytes + kReaderBytesPerPass - 1) / kReaderBytesPerPass;
    const double polls = std::ceil(static_cast<double>(passes) * kPassSeconds / kPollSeconds);
    return polls * kPollSeconds;
}

double ReadFloorPerMessage() {
    // The simulator frames each of the three lines "\r\n...\r\n".
    const std::string header = "+CMGR: 1,,26";
    return ExchangeFloor(header.size() + kPdu.size() + std::string_view("OK").size() +
                         std::size_t{12});
}

void BM_ReadMessagesFromPhone(benchmark::State& state) {
    std::string fixture = "capacity SM 40\n";
    for (int index = 1; index <= kMessages; ++index)
        fixture += "sms SM " + std::to_string(index) + " 1 " + std::string(kPdu) + "\n";
    TempDir dir;
    CDaoDatabase database;
    database.Open(CopyShippedDatabase(dir), true);
    RecordingMessageSink sink;
    FakeSmsReadForm form;
    double seconds = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        PhoneSim phone({fixture, 115200, {}});
        RealWaiter waiter;
        RecordingForm sessionForm;
        CModemSession session(sink, waiter, sessionForm);
        session.Port().SetPortName(phone.LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        session.OpenSession();
        CSmsReader reader(session, {database, sink, form});
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        reader.OnReadSmsFromPhone();
        reader.Join();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (form.SmsRowCount() != kMessages)
            state.SkipWithError("not every message was listed");
        session.CloseSession();
        state.ResumeTiming();
    }
    state.counters["s_per_msg"] = seconds / static_cast<double>(state.iterations()) / kMessages;
    state.counters["floor_s_per_msg"] = ReadFloorPerMessage();
}
BENCHMARK(BM_ReadMessagesFromPhone)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A terminal capture of reads: command, header, PDU, final result, about 120 bytes a message.
std::string WriteCapture(const TempDir& dir, std::size_t bytes) {
    const std::string path = dir.File("capture.log");
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    for (int index = 1; written < bytes; ++index) {
        const std::string group = "AT+CMGR=" + std::to_string(index) + "\r\n+CMGR: 1,,26\r\n" +
                                  std::string(kPdu) + "\r\nOK\r\n";
        out << group;
        written += group.size();
    }
    return path;
}

void BM_LoadLogFile(benchmark::State& state) {
    TempDir dir;
    const std::string path = WriteCapture(dir, 50U << 20U);
    CDaoDatabase database;
    database.Open(CopyShippedDatabase(dir), true);
    RecordingMessageSink sink;
    FakeSmsReadForm form;
    serialdata store;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
        ReadSmsFromFile(path, store, {database, sink, form});
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (50LL << 20));
    state.counters["rows"] = form.SmsRowCount();
}
BENCHMARK(BM_LoadLogFile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The lines alone, without building rows.
void BM_LoadLogLinesOnly(benchmark::State& state) {
    TempDir dir;
    const std::string path = WriteCapture(dir, 50U << 20U);
    serialdata store;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
        benchmark::DoNotOptimize(LoadLogLines(path, store));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (50LL << 20));
}
BENCHMARK(BM_LoadLogLinesOnly)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Copy SMS to database" of a list of 10,000 received messages into a fresh archive.
void BM_CopyRowsToArchive(benchmark::State& state) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    std::vector<SmsRow> list;
    list.reserve(rows);
    for (std::size_t i = 1; i <= rows; ++i)
        list.push_back({std::to_string(i), "IN", "READ", "Ci vediamo domani alle 10?", "07/03/01",
                        "14:05.09 (4)", "+393471234567", "Mario Rossi", "+447700900100"});
    FakeSmsReadForm form;
    form.InsertSmsRows(0, list);
    RecordingMessageSink sink;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        TempDir dir;
        CDaoDatabase database;
        database.Open(CopyShippedDatabase(dir), true);
        state.ResumeTiming();
        OnCopySmsToDatabase({database, sink, form});
        state.PauseTiming();
        database.Close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
}
BENCHMARK(BM_CopyRowsToArchive)->Arg(10'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
