#include "cli/ServeServerLink.h"

#include "cli/ServeLog.h"
#include "db/CDaoDatabase.h"

namespace {

constexpr std::chrono::seconds kTryEvery{1};

} // namespace

ServeServerLink::ServeServerLink(std::vector<CDaoDatabase*> links) : databases(std::move(links)) {}

ServeServerLink::State ServeServerLink::CheckAll(std::string& why) {
    State state = State::Up;
    for (CDaoDatabase* database : databases) {
        std::string error;
        const ServerLink link = database->CheckServerLink(error);
        if (link == ServerLink::Lost && state != State::Down) {
            why = error;
            state = State::Down;
        } else if (link == ServerLink::Restored && state == State::Up) {
            state = State::Back;
        }
    }
    return state;
}

ServeServerLink::State ServeServerLink::Check() {
    const auto now = std::chrono::steady_clock::now();
    if (away && now - lastTry < kTryEvery)
        return State::Down;
    lastTry = now;
    std::string why;
    const State state = CheckAll(why);
    if (state == State::Down && !away)
        ServeLog("the database server went away (" + why +
                 "); new messages stay on the phone and the outbox waits until it is back");
    if (state != State::Down && away)
        ServeLog("the database server is back");
    else if (state == State::Back)
        ServeLog("the link to the database server was lost and is made again");
    const bool wasAway = away;
    away = state == State::Down;
    return wasAway && !away ? State::Back : state;
}
