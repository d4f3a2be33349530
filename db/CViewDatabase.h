#pragma once
// The form's one database object, the path it opens, and the commands that open it, let the
// user choose another file, and close it. The form view owns one (as a base or a member) and
// builds every record set on `database`.

#include "db/CDaoDatabase.h"
#include "db/IDatabaseDialogs.h"

#include <string>

class CViewDatabase {
public:
    explicit CViewDatabase(IDatabaseDialogs& boxes) : dialogs(boxes) {}

    // Opens databasePath exclusively, read-write (a file that cannot be written, or fails the
    // engine's check, is not open; the status bar says so). When that fails, asks whether to choose
    // another file, again after each file that fails, until one opens or the user answers No
    // or cancels the file dialog. 0 when the database is open at the end, 1 otherwise.
    int OpenDatabase();
    // The "Apri nuovo DB..." command: on OK closes the current file and opens the chosen one;
    // on Cancel nothing changes.
    void SelectDatabase();
    // Closes the current database and opens the one on a server at uri; when that fails, says
    // why and asks for a file as OpenDatabase does.
    void ConnectToServer(const std::string& uri);
    void CloseDatabase();

    CDaoDatabase database;
    std::string databasePath = "telvane.mdb";

private:
    // False on Cancel. Otherwise the old file is closed and the chosen one tried.
    bool ChooseAndOpen();
    int AskUntilOpen();
    bool OpenPath();

    IDatabaseDialogs& dialogs;
};
