// "queue": a message into the outbox for "serve" to send. The file is opened shared (the
// service may hold it too), and the row is one bound insert.

#include "cli/Commands.h"
#include "db/CDaoDatabase.h"
#include "db/OutboxTable.h"

#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

// The text from standard input, without the one line end a shell's echo adds.
std::string ReadStandardInput() {
    std::ostringstream text;
    text << std::cin.rdbuf();
    std::string read = text.str();
    for (const char end : {'\n', '\r'})
        if (read.ends_with(end))
            read.pop_back();
    return read;
}

} // namespace

int RunQueue(CliRun& run) {
    OutboxRecord record;
    record.recipient = run.options.to;
    record.text = run.options.text == "-" ? ReadStandardInput() : run.options.text;
    record.options = run.options.report ? "--report" : "";
    CDaoDatabase database;
    if (!database.Open(run.options.database)) {
        std::fprintf(stderr, "telvane-cli: %s did not open: %s\n", run.options.database.c_str(),
                     database.OpenErrorText().c_str());
        return kExitRefused;
    }
    OutboxTable outbox(&database);
    if (!outbox.Add(record)) {
        std::fprintf(stderr, "telvane-cli: the message was not queued: %s\n",
                     outbox.ErrorText().c_str());
        return kExitRefused;
    }
    std::printf("%lld\n", static_cast<long long>(record.id));
    return kExitDone;
}
