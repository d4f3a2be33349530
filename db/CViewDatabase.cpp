#include "db/CViewDatabase.h"

namespace {

constexpr const char* kCannotOpen = "Cannot open DB, do you want to select another file ?";

const OpenFileRequest& DatabaseFileRequest() {
    static const OpenFileRequest request{".MDB", "Telvane",
                                         "Access files (*.mdb)|*.mdb|All files|*.*||"};
    return request;
}

} // namespace

int CViewDatabase::OpenDatabase() {
    OpenPath();
    return AskUntilOpen();
}

// A file that opens only for reading, or fails its check, is not open; the status bar says why
// while the question asks for another file.
bool CViewDatabase::OpenPath() {
    if (database.Open(databasePath, true, false))
        return true;
    switch (database.OpenFailure()) {
    case DbOpenFailure::ReadOnly:
        dialogs.ShowStatus("Database is read-only: " + databasePath);
        break;
    case DbOpenFailure::Damaged:
        dialogs.ShowStatus("Database is damaged: " + databasePath + " (" +
                           database.OpenErrorText() + ")");
        break;
    case DbOpenFailure::Locked: {
        // A second Telvane on the same file: choosing the file again cannot help.
        const std::string held = "Another Telvane holds the database " + databasePath +
                                 ": close that window first, or choose another file";
        dialogs.ShowStatus(held);
        dialogs.ShowInformation(held, "Info");
        break;
    }
    case DbOpenFailure::None:
    case DbOpenFailure::CannotOpen:
    case DbOpenFailure::NotTelvane:
        break;
    }
    return false;
}

void CViewDatabase::SelectDatabase() {
    if (ChooseAndOpen())
        AskUntilOpen();
}

void CViewDatabase::ConnectToServer(const std::string& uri) {
    CloseDatabase();
    databasePath = uri;
    if (OpenPath()) {
        dialogs.ShowInformation("Opened database:" + databasePath, "Info");
        return;
    }
    const DbOpenFailure failure = database.OpenFailure();
    if (failure == DbOpenFailure::CannotOpen || failure == DbOpenFailure::NotTelvane)
        dialogs.ShowStatus("Cannot open the database on the server: " + database.OpenErrorText());
    AskUntilOpen();
}

void CViewDatabase::CloseDatabase() {
    database.Close();
}

// A loop rather than the commands calling each other, so each opened file is announced once.
int CViewDatabase::AskUntilOpen() {
    while (!database.IsOpen()) {
        if (!dialogs.AskYesNo(kCannotOpen, "Question") || !ChooseAndOpen())
            return 1;
    }
    return 0;
}

bool CViewDatabase::ChooseAndOpen() {
    const std::optional<std::string> path = dialogs.ChooseFileToOpen(DatabaseFileRequest());
    if (!path)
        return false;
    CloseDatabase();
    databasePath = *path;
    if (OpenPath())
        dialogs.ShowInformation("Opened database:" + databasePath, "Info");
    return true;
}
