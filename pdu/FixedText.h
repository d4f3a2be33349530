#pragma once
// A text field of fixed capacity, the way the PDU record keeps its hex texts: the capacity
// counts the terminator, so at most Capacity - 1 characters are stored. Anything longer is cut,
// never written past the end.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

template <std::size_t Capacity> class FixedText {
    static_assert(Capacity > 0, "a field needs room for its terminator");

public:
    static constexpr std::size_t kMaxLength = Capacity - 1;

    // Stores text, cut to kMaxLength characters. False when it had to be cut.
    bool assign(std::string_view text) {
        const std::size_t n = std::min(text.size(), kMaxLength);
        std::copy_n(text.data(), n, chars.data());
        chars[n] = '\0';
        length = n;
        return n == text.size();
    }
    FixedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    void clear() { assign({}); }

    std::string_view view() const { return {chars.data(), length}; }
    operator std::string_view() const { return view(); } // NOLINT(google-explicit-constructor)
    const char* c_str() const { return chars.data(); }
    std::size_t size() const { return length; }
    bool empty() const { return length == 0; }
    bool operator==(std::string_view text) const { return view() == text; }

private:
    std::array<char, Capacity> chars{};
    std::size_t length = 0;
};
