#pragma once
// The service's log: one event a line on standard error, local time first, for the journal or a
// file. Boxes the shared operations show become such lines too; the last one is kept so that a
// failed send can name the phone's own words.

#include "core/MessageSink.h"
#include "db/DbDateTime.h"

#include <chrono>
#include <mutex>
#include <string>

// The computer's local time now (or `later` from now), to the second.
DbDateTime LocalNow(std::chrono::seconds later = std::chrono::seconds(0));

// Writes the line (line ends inside it become " / "); any thread.
void ServeLog(const std::string& text);

class ServeSink final : public IMessageSink {
public:
    // Logged; a question gets its careful answer (No, Cancel, Abort), a plain box OK.
    BoxAnswer ShowMessage(const MessageBoxRequest& request) override;
    // The text of the last box; empty when none came since the last call.
    std::string TakeLastText();

private:
    std::mutex mutex;
    std::string last;
};
