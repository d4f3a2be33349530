#pragma once
// The log loader's floor and its input: a terminal capture of reads, and the codec decoding the
// capture's PDUs in full as it reads the file line by line - what `telvane-cli log` cannot do
// without.

#include <cstddef>
#include <string>

// Writes a capture of about `bytes` bytes to `path` (about 120 bytes a message, three kinds of
// message); false when the file cannot be written.
bool WriteCapture(const std::string& path, std::size_t bytes);

struct CaptureDecode {
    long pdus = 0;         // PDUs decoded
    std::size_t chars = 0; // bytes of the decoded numbers and texts, so that none is skipped
};

// Reads the capture line by line and decodes each received message's PDU: sender, time stamp,
// text.
CaptureDecode DecodeCapture(const std::string& path);
