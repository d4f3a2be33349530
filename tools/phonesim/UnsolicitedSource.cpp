#include "tools/phonesim/UnsolicitedSource.h"

namespace {

constexpr std::uint32_t kOneIn = 4;
constexpr std::uint32_t kKinds = 4;

} // namespace

std::optional<std::string> UnsolicitedSource::Next() {
    if (random() % kOneIn != 0)
        return std::nullopt;
    switch (random() % kKinds) {
    case 0:
        return "+CMTI: \"SM\"," + std::to_string(++index);
    case 1:
        return "+CDSI: \"SM\"," + std::to_string(++index);
    case 2:
        return "RING";
    default:
        return "+CREG: 1";
    }
}
