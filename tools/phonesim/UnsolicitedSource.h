#pragma once
// Unsolicited result codes at random points of the output (--urc-seed): before a response line
// the phone may put one of "+CMTI: "SM",n", "+CDSI: "SM",n", "RING" or "+CREG: 1", so that they
// land between two answers and inside one (between "+CMGR:" and its PDU). The same seed gives the
// same lines at the same points.

#include <cstdint>
#include <optional>
#include <random>
#include <string>

class UnsolicitedSource {
public:
    explicit UnsolicitedSource(std::uint32_t seed) : random(seed) {}

    // The line to put before the next response line, if any (about one time in four).
    std::optional<std::string> Next();

private:
    std::mt19937 random; // its sequence is the same everywhere, unlike the distributions'
    int index = 0;
};
