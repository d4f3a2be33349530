#include "serial/SerialRead.h"

#include "serial/CComPort.h"
#include "serial/serialdata.h"

#include <chrono>
#include <string>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kPassPause{100};

} // namespace

unsigned SerialRead(serialdata* data) {
    if (data == nullptr)
        return 0;
    std::string portion;
    while (data->stopReader.load(std::memory_order_acquire) == 0) {
        if (data->port != nullptr && data->port->DataAvailable() != 0) {
            data->port->Read(portion);
            data->pending += portion;
            if (data->port->Gone()) {
                SplitLines(*data);
                data->portGone.store(1, std::memory_order_release);
                return 0;
            }
        }
        std::this_thread::sleep_for(kPassPause);
        SplitLines(*data);
    }
    return 0;
}
