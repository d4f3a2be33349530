#pragma once
// The simulator's end of the line: a pseudo-terminal master whose slave is reachable through a
// symbolic link. Clients may open, close and reopen the slave as often as they like.
//
// The simulator keeps a slave descriptor of its own for as long as it runs: the line settings
// and the pty itself then outlive every client, and it can undo what a client leaves behind.
// Who has the slave open is followed with inotify (open and close events on the slave's device
// node). When the last client closes it, output it never read is thrown away (as on a wire),
// the line is set raw again, and an exclusive-use flag (TIOCEXCL) it set is cleared: on a pty
// that flag outlives the client's close and would refuse its own next open.

#include <cstddef>
#include <span>
#include <string>

class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink(); // removes the link if it still points at our slave, closes everything
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Opens the pty (slave in raw mode) and makes `linkPath` point at the slave. An existing
    // symbolic link there is replaced; any other file is left alone and the open fails.
    bool Open(const std::string& linkPath, std::string& error);

    // Waits at most `timeoutMs` for bytes from a client and reads as many as fit in `buffer`;
    // returns how many (0: none yet).
    std::size_t Read(std::span<char> buffer, int timeoutMs);

    // Whether some client has the slave open now (what it has not read when it closes is lost).
    bool ClientPresent();

    int Master() const { return master; }
    const std::string& SlaveName() const { return slaveName; }

private:
    void TrackOpens();
    void ClientLeft();

    int master = -1;
    int keeper = -1;  // our own slave descriptor
    int watcher = -1; // inotify on the slave's device node
    int clientOpens = 0;
    std::string slaveName;
    std::string link;
};
