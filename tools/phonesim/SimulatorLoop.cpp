#include "tools/phonesim/SimulatorLoop.h"

#include "tools/phonesim/StopSignal.h"

#include <array>
#include <chrono>

void SimulatorLoop::Run() {
    const auto start = std::chrono::steady_clock::now();
    std::array<char, 256> buffer{};
    std::vector<SimEvent> events;
    while (!StopRequested() && !vanished) {
        const std::size_t count = pty.Read(buffer, kPassMs);
        for (std::size_t i = 0; i < count && !StopRequested() && !vanished; ++i) {
            events.clear();
            phone.Feed(buffer[i], events);
            Play(events);
        }
        for (const std::string& pdu : trigger.Take())
            phone.Arrive(pdu);
        for (const int stat : trigger.TakeRegistrations())
            phone.ChangeRegistration(stat);
        events.clear();
        phone.Tick(static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count()),
                   events);
        Play(events);
    }
}

void SimulatorLoop::Play(const std::vector<SimEvent>& events) {
    bool delayed = false;
    auto delayOnce = [&] {
        if (!delayed && delayMs > 0)
            SleepUnlessStopped(delayMs);
        delayed = true;
    };
    for (const SimEvent& event : events) {
        switch (event.kind) {
        case EventKind::Echo:
            Send(event.text);
            break;
        case EventKind::Received:
            transcript.Write("RX", event.text);
            break;
        case EventKind::Line:
            delayOnce();
            MaybeUnsolicited();
            transcript.Write("TX", event.text);
            Send("\r\n" + event.text + "\r\n");
            break;
        case EventKind::Prompt:
            delayOnce();
            MaybeUnsolicited();
            transcript.Write("TX", event.text);
            Send("\r\n" + event.text);
            break;
        case EventKind::Sent:
            transcript.Write("SENT", event.text);
            break;
        case EventKind::Cancelled:
            transcript.Write("RX", "<ESC>");
            break;
        case EventKind::Unsolicited:
            transcript.Write("URC", event.text);
            Send("\r\n" + event.text + "\r\n");
            break;
        case EventKind::UnsolicitedData:
            transcript.Write("URC", event.text);
            Send(event.text + "\r\n");
            break;
        case EventKind::Vanish:
            transcript.Write("GONE", {});
            vanished = true; // the run ends and the line closes with it
            return;
        }
    }
}

void SimulatorLoop::Send(const std::string& bytes) {
    writer.Write(bytes); // a client gone meanwhile simply misses the rest
}

void SimulatorLoop::MaybeUnsolicited() {
    if (!unsolicited)
        return;
    if (const std::optional<std::string> line = unsolicited->Next()) {
        transcript.Write("URC", *line);
        Send("\r\n" + *line + "\r\n");
    }
}
