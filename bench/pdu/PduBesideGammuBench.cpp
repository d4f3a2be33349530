// Full decodes of the published real-world PDUs of the cross-check tests (service centre,
// number, time stamp, text to UTF-8), by our codec and by libGammu's C decoder in the same run:
// each iteration times both over the whole corpus, and the ratio of their rates is printed.

#include "pdu/Pdu.h"

#include <benchmark/benchmark.h>
#include <cctype>
#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <gammu.h>
}

namespace {

struct Published {
    std::string pdu;
    bool deliver;
};

// The corpus is the cross-check tests' own: read from their source, so both stay one list.
std::vector<Published> Corpus() {
    std::ifstream source(std::string(TELVANE_SOURCE_DIR) + "/tests/pdu/CrossCheckTest.cpp");
    std::stringstream text;
    text << source.rdbuf();
    const std::string all = text.str();
    // A long PDU is written as adjacent string literals.
    const std::regex entry(R"re(\{((?:"[0-9A-Fa-f]+"\s*)+),\s*(true|false),)re");
    std::vector<Published> corpus;
    for (auto match = std::sregex_iterator(all.begin(), all.end(), entry);
         match != std::sregex_iterator(); ++match) {
        std::string pdu;
        for (const char c : (*match)[1].str())
            if (std::isxdigit(static_cast<unsigned char>(c)) != 0)
                pdu += c;
        corpus.push_back({pdu, (*match)[2].str() == "true"});
    }
    return corpus;
}

std::size_t DecodeOurs(const Published& message) {
    sms_container sms;
    if ((message.deliver ? parse_sms_in(message.pdu, sms) : parse_sms_out(message.pdu, sms)) != 1)
        return 0;
    const sms_address centre = decode_sca(sms.sca.view());
    const sms_address sender = decode_oa(sms.address.view());
    const sms_time when = message.deliver ? decode_time(sms.scts.view()) : sms_time{};
    const std::string body = decode_ud(sms.ud.view(), read_byte(sms.udl.view()),
                                       read_byte(sms.dcs.view()), read_byte(sms.pdu_type.view()));
    benchmark::DoNotOptimize(centre);
    benchmark::DoNotOptimize(sender);
    benchmark::DoNotOptimize(when);
    return body.size() + 1;
}

std::size_t DecodeGammu(const Published& message, GSM_Debug_Info* debug) {
    std::vector<unsigned char> bytes(message.pdu.size() / 2 + 1);
    if (!DecodeHexBin(bytes.data(), reinterpret_cast<const unsigned char*>(message.pdu.data()),
                      message.pdu.size()))
        return 0;
    GSM_SMSMessage sms{};
    size_t end = 0;
    if (GSM_DecodePDUFrame(debug, &sms, bytes.data(), message.pdu.size() / 2, &end, TRUE) !=
        ERR_NONE)
        return 0;
    char text[4 * (GSM_MAX_SMS_LENGTH + 1) + 1];
    char number[4 * (GSM_MAX_NUMBER_LENGTH + 1) + 1];
    EncodeUTF8(text, sms.Text);
    EncodeUTF8(number, sms.Number);
    benchmark::DoNotOptimize(number);
    return std::char_traits<char>::length(text) + 1;
}

template <class Decode>
double CorpusSeconds(const std::vector<Published>& corpus, Decode&& decode, std::size_t& decoded) {
    const auto start = std::chrono::steady_clock::now();
    for (const Published& message : corpus)
        decoded += decode(message) > 0 ? 1 : 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DecodeBesideGammu(benchmark::State& state) {
    const std::vector<Published> corpus = Corpus();
    if (corpus.empty()) {
        state.SkipWithError("no PDUs found in the cross-check tests");
        return;
    }
    GSM_Debug_Info* debug = GSM_GetGlobalDebug();
    GSM_SetDebugLevel("nothing", debug);
    double ours = 0;
    double gammu = 0;
    std::size_t oursDecoded = 0;
    std::size_t gammuDecoded = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        ours += CorpusSeconds(corpus, DecodeOurs, oursDecoded);
        gammu += CorpusSeconds(
            corpus, [debug](const Published& message) { return DecodeGammu(message, debug); },
            gammuDecoded);
    }
    const auto iterations = static_cast<double>(state.iterations());
    const auto count = static_cast<double>(corpus.size());
    state.counters["PDUs"] = count;
    state.counters["ours/s"] = count * iterations / ours;
    state.counters["gammu/s"] = count * iterations / gammu;
    state.counters["ratio"] = gammu / ours;
    state.counters["decoded ours"] = static_cast<double>(oursDecoded) / iterations;
    state.counters["decoded gammu"] = static_cast<double>(gammuDecoded) / iterations;
}
BENCHMARK(BM_DecodeBesideGammu)->MinTime(2.0);

} // namespace
