// Throughput of the codec on typical full-length messages: 160 septets of text.

#include "pdu/Pdu.h"

#include <benchmark/benchmark.h>

namespace {

const std::string kText = "Ciao! Domani alle 18:30 in piazza, porta 5\xE2\x82\xAC per il biglietto "
                          "[fila C]. Se piove ci vediamo al bar sotto casa di Marco; rispondi "
                          "entro stasera, grazie mille!!";

std::string submit_pdu(const std::string& text) {
    sms_container sms;
    sms.sca = encode_sca("+393358824000");
    sms.pdu_type = hex_octet(encode_pdu_type(0, 2));
    sms.mr = "00";
    sms.da = encode_da("+393471234567");
    sms.pid = "00";
    sms.dcs = hex_octet(encode_dcs(15, '7', 1));
    sms.vp = "AA";
    const encoded_ud ud = encode_ud(text);
    sms.udl = ud.udl;
    sms.ud = ud.ud;
    return encode_sms(sms);
}

// The same text as a received message: SMS-DELIVER with a time stamp.
std::string deliver_pdu(const std::string& text) {
    const encoded_ud ud = encode_ud(text);
    return std::string("07919333852804F0") + "04" + "0C91934317325476" + "00" + "00" +
           "90300280115340" + ud.udl + ud.ud;
}

bool check_length(benchmark::State& state) {
    if (gsm7_septet_count(kText) != kMaxSeptets) {
        state.SkipWithError("the sample text is not 160 septets long");
        return false;
    }
    return true;
}

void BM_Decode160(benchmark::State& state) {
    const std::string pdu = deliver_pdu(kText);
    sms_container probe;
    if (!check_length(state) || parse_sms_in(pdu, probe) != 1) {
        state.SkipWithError("the sample PDU does not parse");
        return;
    }
    for (auto _ : state) {
        sms_container sms;
        parse_sms_in(pdu, sms);
        const sms_address sender = decode_oa(sms.address);
        const sms_time when = decode_time(sms.scts);
        std::string text =
            decode_ud(sms.ud, read_byte(sms.udl), read_byte(sms.dcs), read_byte(sms.pdu_type));
        benchmark::DoNotOptimize(sender);
        benchmark::DoNotOptimize(when);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Decode160);

void BM_Encode160(benchmark::State& state) {
    if (!check_length(state)) {
        return;
    }
    for (auto _ : state) {
        std::string pdu = submit_pdu(kText);
        benchmark::DoNotOptimize(pdu);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Encode160);

} // namespace
