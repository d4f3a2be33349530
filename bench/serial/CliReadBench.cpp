// telvane-cli read of 30 stored 160-character messages from the phone simulator at 115200 baud,
// with the line's floor: the bytes that crossed the line (both ways) divided by its byte rate.

#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace {

constexpr int kMessages = 30;
constexpr int kBaud = 115200;
constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit
// SMS-DELIVER with 160 characters of the 7-bit alphabet.
constexpr std::string_view kLongPdu =
    "07911326040000F0040B911326880736F4000099309251619580A0D432DB1E769741E2B27B8C6E87E56B50BB"
    "3C9F87CF651D888E4ECBE979D0DB0CA2A3CBF332282C2F83E4E530196496BFDB203ABA0C9AA7DB7576985E"
    "2683E0E8B7BB0C0AD341B1584D068381C4E13A19447F83E8E9761944479741E377BB1D769341ECB4BB0C0A"
    "9FC369F79C0EA2A3CB2033FBFD9683DE66101D5D06B1D3EEB20B14140E8945E31199542E99";

// The bytes of every line the simulator received or sent, with their line ends.
std::size_t LineBytes(const PhoneSim& phone) {
    std::size_t bytes = 0;
    for (const TranscriptEntry& entry : phone.Transcript()) {
        if (entry.kind == "RX")
            bytes += entry.text.size() + 1; // the carriage return
        else if (entry.kind == "TX")
            bytes += entry.text.size() + 4; // "\r\n" before and after
    }
    return bytes;
}

void BM_CliReadThirtyMessages(benchmark::State& state) {
    std::string fixture = "capacity SM 40\n";
    for (int index = 1; index <= kMessages; ++index)
        fixture += "sms SM " + std::to_string(index) + " 1 " + std::string(kLongPdu) + "\n";
    double seconds = 0;
    double floor = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        CliTestBase setup;
        PhoneSim phone({fixture, kBaud, {}});
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const CliResult result =
            setup.Cli({"--port", phone.LinkPath(), "--baud", std::to_string(kBaud), "read"});
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (result.status != 0 || SplitLines(result.out).size() != kMessages + 1)
            state.SkipWithError(("the read failed: " + result.err).c_str());
        floor = static_cast<double>(LineBytes(phone)) * kBitsPerByte / kBaud;
        state.ResumeTiming();
    }
    state.counters["read_s"] = seconds / static_cast<double>(state.iterations());
    state.counters["line_floor_s"] = floor;
}
BENCHMARK(BM_CliReadThirtyMessages)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
