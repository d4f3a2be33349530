#pragma once
// A text looked at eight bytes at a time: whether any byte of it is of a kind, without a branch
// a byte. What a listing writes is mostly plain ASCII, and a cell found plain is copied whole.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace bytewords {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kTops = 0x8080808080808080ULL;

// Nonzero when some byte of `word` is below `limit` (at most 128). Which bits are set says
// nothing more: only the answer "any" is exact.
constexpr std::uint64_t BytesBelow(std::uint64_t word, unsigned limit) {
    return (word - kOnes * limit) & ~word & kTops;
}

// Nonzero when some byte of `word` is `byte`.
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
    return BytesBelow(word ^ (kOnes * byte), 1);
}

// Nonzero when some byte of `word` is not ASCII.
constexpr std::uint64_t HighBytes(std::uint64_t word) {
    return word & kTops;
}

inline std::uint64_t Load8(const char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// True when `flagged` is zero for every word of `text`. Words overlap where the length is not a
// multiple of eight; a text shorter than eight bytes is padded with `filler`, which `flagged`
// must pass.
template <typename Flagged>
[[gnu::always_inline]] inline bool NoneFlagged(std::string_view text, unsigned char filler,
                                               Flagged flagged) {
    const char* const at = text.data();
    const std::size_t size = text.size();
    if (size >= sizeof(std::uint64_t)) {
        std::uint64_t any = 0;
        for (std::size_t pos = 0; pos + sizeof(std::uint64_t) <= size; pos += sizeof(std::uint64_t))
            any |= flagged(Load8(at + pos));
        return (any | flagged(Load8(at + size - sizeof(std::uint64_t)))) == 0;
    }
    std::uint64_t word = kOnes * filler;
    if (size >= sizeof(std::uint32_t)) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::memcpy(&low, at, sizeof low);
        std::memcpy(&high, at + size - sizeof high, sizeof high);
        word = low | (std::uint64_t{high} << 32U);
    } else if (size > 0) {
        // The first, middle and last bytes cover one to three.
        word = (word & ~0xFFFFFFULL) | static_cast<unsigned char>(at[0]) |
               (std::uint64_t{static_cast<unsigned char>(at[size / 2])} << 8U) |
               (std::uint64_t{static_cast<unsigned char>(at[size - 1])} << 16U);
    }
    return flagged(word) == 0;
}

// True when every byte of `text` is ASCII.
inline bool IsAscii(std::string_view text) {
    return NoneFlagged(text, ' ', HighBytes);
}

} // namespace bytewords
