#include "sms/send/ConcatReference.h"

#include <atomic>
#include <chrono>

int NextConcatReference() {
    // The clock, not std::random_device: that may throw where the system has no entropy source.
    static std::atomic<unsigned> next{
        static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count())};
    return static_cast<int>(next.fetch_add(1) & 0xFFU);
}
