#pragma once
// What the command-line read benchmarks share: a 160-character message and the line's floor,
// the bytes of every line the simulator received or sent.

#include "common/PhoneSim.h"

#include <string_view>

inline constexpr int kBenchBaud = 115200;
inline constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit

// SMS-DELIVER with 160 characters of the 7-bit alphabet.
inline constexpr std::string_view kLongPdu =
    "07911326040000F0040B911326880736F4000099309251619580A0D432DB1E769741E2B27B8C6E87E56B50BB"
    "3C9F87CF651D888E4ECBE979D0DB0CA2A3CBF332282C2F83E4E530196496BFDB203ABA0C9AA7DB7576985E"
    "2683E0E8B7BB0C0AD341B1584D068381C4E13A19447F83E8E9761944479741E377BB1D769341ECB4BB0C0A"
    "9FC369F79C0EA2A3CB2033FBFD9683DE66101D5D06B1D3EEB20B14140E8945E31199542E99";

// The bytes of every line the simulator received or sent, with their line ends.
inline std::size_t LineBytes(const PhoneSim& phone) {
    std::size_t bytes = 0;
    for (const TranscriptEntry& entry : phone.Transcript()) {
        if (entry.kind == "RX")
            bytes += entry.text.size() + 1; // the carriage return
        else if (entry.kind == "TX")
            bytes += entry.text.size() + 4; // "\r\n" before and after
    }
    return bytes;
}

// The seconds the line needs at least for what crossed it.
inline double LineFloorSeconds(const PhoneSim& phone, int baud) {
    return static_cast<double>(LineBytes(phone)) * kBitsPerByte / baud;
}
