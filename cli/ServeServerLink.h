#pragma once
// The service's links to a database server (its own and its listener's), checked at every turn
// of the loop. The loss is logged once, with the server's words, and so is the return; while
// the server is away a new link is tried once a second and the service asks it nothing else.

#include <chrono>
#include <string>
#include <vector>

class CDaoDatabase;

class ServeServerLink {
public:
    enum class State {
        Up,   // as it was (and always on a file)
        Down, // the server is away
        Back, // it was away and is back: what came meanwhile is to be archived
    };
    explicit ServeServerLink(std::vector<CDaoDatabase*> databases);

    State Check();

private:
    // Every link checked; the first loss's words in why.
    State CheckAll(std::string& why);

    std::vector<CDaoDatabase*> databases;
    bool away = false;
    std::chrono::steady_clock::time_point lastTry{};
};
