#pragma once
// "Read SCA": asks the phone for its service-centre address (AT+CSCA?, 3GPP TS 27.005 3.3.1) on
// a thread of its own, so that the window keeps answering while the phone is waited for.

#include "serial/CModemSession.h"
#include "serial/TaskRunner.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

inline constexpr int kReadScaButtonId = 1068;

enum class ReadScaStatus { Read, Error, Timeout, NoNumber };

struct ReadScaResult {
    ReadScaStatus status = ReadScaStatus::NoNumber;
    std::string number; // as the edit shows it: "+" in front for type 145
};

// The number of the first "+CSCA: "<sca>",<tosca>" line; "+" is put in front for type 145 when
// the phone left it out. Nothing when no line holds a number.
std::optional<std::string> ParseCscaAnswer(const std::vector<std::string>& lines);

// One AT+CSCA? exchange; runs on the calling thread for up to 5.2 s.
ReadScaResult ReadServiceCentre(CModemSession& session);

// The status-bar line for a read that gave no number; empty for one that did.
std::string ReadScaNote(const ReadScaResult& result);

class CReadScaWorker {
public:
    using DoneCallback = std::function<void(const ReadScaResult&)>;

    explicit CReadScaWorker(CModemSession& modemSession) : session(modemSession) {}
    ~CReadScaWorker() = default; // the runner waits for the read
    CReadScaWorker(const CReadScaWorker&) = delete;
    CReadScaWorker& operator=(const CReadScaWorker&) = delete;

    // Starts the read holding the port's lease; false, with nothing started, while another task
    // holds the port. done runs on the worker thread, once the port has been given back.
    bool Start(DoneCallback done);
    void Join();
    bool Running() const { return runner.Running(); }

private:
    CModemSession& session;
    CTaskRunner runner{session};
};
