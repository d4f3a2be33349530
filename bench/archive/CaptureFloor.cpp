#include "CaptureFloor.h"

#include "pdu/Pdu.h"

#include <array>
#include <fstream>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 3> kCapturedPdus = {
    "0791447700090010040C919343173254760000423041900350401AC334C85E26A7C3ED3788FC6E87DD695098CD2E8"
    "362B01F",
    "07919333852804F0040C9193431732547600009030028011534005C8329BFD06",
    "07919333852804F0040C9193431732547600089003028011534022004300690074007400E0002000E800200063006F"
    "0073007400E0002C0020006F006B",
};

} // namespace

bool WriteCapture(const std::string& path, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    for (std::size_t index = 1; written < bytes && out; ++index) {
        const std::string group = "AT+CMGR=" + std::to_string(index) + "\r\n+CMGR: 1,,26\r\n" +
                                  std::string(kCapturedPdus[index % kCapturedPdus.size()]) +
                                  "\r\nOK\r\n";
        out << group;
        written += group.size();
    }
    return static_cast<bool>(out.flush());
}

CaptureDecode DecodeCapture(const std::string& path) {
    CaptureDecode result;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() < 20 || line.starts_with("AT") || line.starts_with("+") || line == "OK")
            continue;
        sms_container sms;
        if (parse_sms_in(line, sms) != 1)
            continue;
        const sms_address sender = decode_oa(sms.address);
        const sms_time when = decode_time(sms.scts);
        const std::string text =
            decode_ud(sms.ud, read_byte(sms.udl), read_byte(sms.dcs), read_byte(sms.pdu_type));
        result.chars += sender.number.size() + text.size() + static_cast<std::size_t>(when.day);
        ++result.pdus;
    }
    return result;
}
