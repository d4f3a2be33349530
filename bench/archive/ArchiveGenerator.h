#pragma once
// A realistic archive for measuring at size: a copy of the shipped database holding `messages`
// messages (nine in ten received, one in ten sent) from 2,000 senders, 500 of them in the
// phonebook, in Italian, German, French, Greek, Cyrillic and plain English texts, with dates over
// some years. Every value is in the form the program writes it (ISO date text, international
// numbers, the PDU bytes of the coding used). One message in 12,500 holds the word "zeppelin",
// so a search for it is a rare hit. Written in one transaction through prepared statements.

#include <string>

// The number of messages holding kRareWord among `messages`.
inline constexpr const char* kRareWord = "zeppelin";
inline constexpr long kRareEvery = 12'500;

// Copies `shipped` to `target` (overwriting it) and fills it; empty on success, else what failed.
std::string GenerateArchive(const std::string& shipped, const std::string& target, long messages);

// For benchmarks: an archive of `messages` generated once per process in the temporary folder
// and removed at exit; its path, or empty when it could not be made.
std::string GeneratedArchive(long messages);
