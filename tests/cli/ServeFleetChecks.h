#pragma once
// What the phones' transcripts say of a server outbox: the PDUs each phone accepted, counted by
// recipient, checked against the rows marked "sent".

#include "common/PhoneSim.h"
#include "db/PgTestServer.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <thread>

// Polls until done holds, for at most a minute; whether it did.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The recipient of an SMS-SUBMIT PDU ("+" and its digits): after the centre's address, the first
// octet and TP-MR, its digits in swapped semi-octets.
inline std::string Recipient(const std::string& pdu) {
    const auto octet = [&pdu](std::size_t at) {
        return std::stoi(pdu.substr(at * 2, 2), nullptr, 16);
    };
    std::size_t at = 1 + static_cast<std::size_t>(octet(0)) + 2;
    const std::size_t digits = static_cast<std::size_t>(octet(at));
    at += 2; // the length and the type of number
    std::string number = "+";
    for (std::size_t i = 0; i < (digits + 1) / 2; ++i) {
        const std::string pair = pdu.substr((at + i) * 2, 2);
        number += pair[1];
        if (pair[0] != 'F')
            number += pair[0];
    }
    return number;
}

// Adds what the phone accepted to sends (recipient: how many times).
inline void AddSends(const PhoneSim& phone, std::map<std::string, int>& sends) {
    for (const std::string& pdu : phone.SentPdus())
        ++sends[Recipient(pdu)];
}

// None sent twice, every row marked sent among what the phones accepted, and nothing accepted
// beyond the sent rows but at most `uncertain` more.
inline void ExpectSentOnceEach(const PgTestDatabase& server,
                               const std::map<std::string, int>& sends, long long uncertain) {
    std::string accepted;
    for (const auto& [number, times] : sends) {
        EXPECT_EQ(times, 1) << number << " sent " << times << " times";
        accepted += (accepted.empty() ? "'" : ", '") + number + "'";
    }
    const std::string sentRows = "SELECT count(*) FROM sms_outbox WHERE state = 'sent'";
    const long long sent = server.Count(sentRows);
    if (!accepted.empty()) {
        EXPECT_EQ(server.Count(sentRows + " AND recipient IN (" + accepted + ")"), sent)
            << "a row marked sent that no phone accepted";
    }
    EXPECT_GE(static_cast<long long>(sends.size()), sent);
    EXPECT_LE(static_cast<long long>(sends.size()), sent + uncertain);
}
