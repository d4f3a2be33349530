#include "serial/SerialRead.h"

#include "serial/CComPort.h"
#include "serial/serialdata.h"

#include <chrono>
#include <string>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kPassPause{100};

} // namespace

namespace {

constexpr std::chrono::milliseconds kLineWait{50};

// Line pace: each pass takes whatever the port has, waiting a little for the first byte so
// that the stop flag is still seen soon.
void ReadAtLinePace(serialdata& data) {
    std::string portion;
    while (data.stopReader.load(std::memory_order_acquire) == 0) {
        if (data.port == nullptr) {
            std::this_thread::sleep_for(kLineWait);
            continue;
        }
        data.port->ReadAvailable(portion, kLineWait);
        data.pending += portion;
        SplitLines(data);
        if (data.port->Gone()) {
            RaiseFlag(data, data.portGone);
            return;
        }
    }
}

} // namespace

unsigned SerialRead(serialdata* data) {
    if (data == nullptr)
        return 0;
    if (data->linePace.load(std::memory_order_acquire) != 0) {
        ReadAtLinePace(*data);
        return 0;
    }
    std::string portion;
    while (data->stopReader.load(std::memory_order_acquire) == 0) {
        if (data->port != nullptr && data->port->DataAvailable() != 0) {
            data->port->Read(portion);
            data->pending += portion;
            if (data->port->Gone()) {
                SplitLines(*data);
                RaiseFlag(*data, data->portGone);
                return 0;
            }
        }
        std::this_thread::sleep_for(kPassPause);
        SplitLines(*data);
    }
    return 0;
}
