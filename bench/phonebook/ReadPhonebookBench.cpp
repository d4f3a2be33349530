// A 250-position SIM read from the phone simulator, in real time. Every exchange waits at least
// one 200 ms poll step (the answer cannot be in the store when the command has just been
// written), so the floor is 0.2 s a command; the counters set the measured pace against it.

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "phonebook/CPhonebookManager.h"
#include "phonebook/FakePhonebookForm.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

constexpr int kPositions = 250;
// Index 0 (refused) and positions 1 to 250.
constexpr int kPositionCommands = kPositions + 1;
constexpr double kPollStepSeconds = 0.2;

void BM_ReadSimPhonebook(benchmark::State& state) {
    PhoneSim phone({"range SM 1 250\nphonebook SM 1 145 \"+393471234567\" \"Mario Rossi\"\n"
                    "phonebook SM 2 129 \"0612345678\" \"Anna\"\n",
                    115200,
                    {}});
    RecordingMessageSink sink;
    RealWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session(sink, waiter, sessionForm);
    session.Port().SetPortName(phone.LinkPath());
    session.Port().SetLineSettings(115200, 0, 8, 0, 2);
    session.OpenSession();
    CDaoDatabase database;
    FakePhonebookForm form;
    form.SetMemory(PhonebookMemory::Sim);
    CPhonebookManager manager(session, database, form, sink);

    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        manager.OnReadPhonebook();
        while (session.busy != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        manager.JoinWorker();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
    }
    state.counters["s_per_position"] = seconds / kPositionCommands;
    state.counters["floor_s_per_position"] = kPollStepSeconds;
    state.counters["rows"] = static_cast<double>(form.RowCount());
    state.counters["boxes"] = static_cast<double>(sink.Texts().size());
}

BENCHMARK(BM_ReadSimPhonebook)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
