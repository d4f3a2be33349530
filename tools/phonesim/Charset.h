#pragma once
// Text strings in the character set chosen with +CSCS (3GPP TS 27.007 5.5).

#include <optional>
#include <string>

// Character sets +CSCS offers, for +CSCS=?.
inline constexpr const char* kCharsets = R"(("GSM","IRA","UCS2"))";

bool IsKnownCharset(const std::string& name);

// `utf8` as the phone writes it in `charset`: UCS2 as four hex digits per UTF-16 unit, the
// others as they are (the fixture's names are meant to be plain ASCII for them).
std::string EncodeText(const std::string& utf8, const std::string& charset);

// The reverse of EncodeText: UCS2 hex (four digits a unit, surrogate pairs joined) as UTF-8;
// nothing when the text is not such hex. The other sets give the text as it is.
std::optional<std::string> DecodeText(const std::string& text, const std::string& charset);
