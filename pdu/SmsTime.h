#pragma once
// The service-centre time stamp (GSM 03.40, 9.2.3.11): seven swapped-BCD octets.

#include <cstdint>
#include <string_view>

// Each field is the two-digit number as coded: year 0-99 without a century, timezone the raw
// number of the zone octet (quarter hours, sign bit not applied: -1 h reads as 84).
struct sms_time {
    std::int32_t day = 0;
    std::int32_t month = 0;
    std::int32_t year = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    std::int32_t timezone = 0;
};

// Decodes the 14 characters of a time stamp; pairs that are missing or not decimal read as 0.
// Nothing is range-checked.
sms_time decode_time(std::string_view scts);

// The zone of a time stamp in signed quarter hours, with its sign bit (bit 3 of the octet, beside
// the tens digit): a zone coded "48" is -4, one hour west. 0 when the text has no zone pair.
int timezone_quarters(std::string_view scts);
