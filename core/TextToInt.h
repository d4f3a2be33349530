#pragma once
// Numbers in texts (settings, phone answers, form fields) are read the way the C library's atoi
// reads them: leading blanks skipped, an optional sign, then decimal digits up to the first other
// character; a text without digits gives 0. Unlike atoi, a number beyond the 32-bit range saturates
// instead of being undefined.

#include <cstdint>
#include <string_view>

int32_t TextToInt(std::string_view text);
