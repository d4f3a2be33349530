#pragma once
// The main window's menu, command ids, toolbar, status-bar prompts and fixed texts.

#include <optional>
#include <span>
#include <string_view>

inline constexpr int kCmdOpenDatabase = 57601;
inline constexpr int kCmdOpenCom = 32773;
inline constexpr int kCmdIoSettings = 32771;
inline constexpr int kCmdStopTask = 32777;
inline constexpr int kCmdExit = 57665;
inline constexpr int kCmdUndo = 57643;
inline constexpr int kCmdCut = 57635;
inline constexpr int kCmdCopy = 57634;
inline constexpr int kCmdPaste = 57637;
inline constexpr int kCmdJumpRead = 32774;
inline constexpr int kCmdJumpWrite = 32775;
inline constexpr int kCmdJumpPhonebook = 32776;
inline constexpr int kCmdToggleToolbar = 59392;
inline constexpr int kCmdToggleStatusBar = 59393;
inline constexpr int kCmdSmsArchive = 32772;
inline constexpr int kCmdAboutScrolling = 57670;
inline constexpr int kCmdAboutPlain = 57664;
// Commands that take the archive and the phonebook out of the program (and the phonebook in).
inline constexpr int kCmdSaveDatabaseCopy = 32840;
inline constexpr int kCmdExportSmsList = 32841;
inline constexpr int kCmdExportPhonebookVcard = 32842;
inline constexpr int kCmdImportPhonebookVcard = 32843;
// Beside "Apri nuovo DB...": a database on a PostgreSQL server, by its connection URI.
inline constexpr int kCmdConnectDatabaseServer = 32844;
inline constexpr std::string_view kConnectDatabaseServerText = "Connect to database server...";
// A check item of "File": ModemManager lets go of the port's modem while a session is open.
inline constexpr int kCmdInhibitModemManager = 32780;
inline constexpr std::string_view kInhibitModemManagerText = "Inhibit ModemManager on this port";

// Check items of "File": the phone tells of new messages and Telvane lists them as they come;
// each new message is archived (and, with "Move (erase from phone)", erased from the phone).
inline constexpr int kCmdNotifyNewMessages = 32781;
inline constexpr std::string_view kNotifyNewMessagesText = "Notify new messages";
inline constexpr int kCmdArchiveNewMessages = 32782;
inline constexpr std::string_view kArchiveNewMessagesText = "Archive new messages";

enum class MenuEntryKind {
    Command,
    Checkable, // carries a check mark that the program sets
    Disabled,  // no handler: always shown disabled
    Separator,
};

struct MenuEntry {
    std::string_view text; // "\t" separates the shortcut text
    int id = 0;
    MenuEntryKind kind = MenuEntryKind::Command;
};

struct MenuDef {
    std::string_view title;
    std::span<const MenuEntry> entries;
};

std::span<const MenuDef> MainMenu();

// Toolbar: command ids in order; 0 is a gap.
std::span<const int> ToolbarCommands();

struct CommandPrompt {
    std::string_view statusPrompt;
    std::string_view tip;
};

// The status-bar prompt and tip of a command, from the string table; none when not listed.
std::optional<CommandPrompt> PromptFor(int commandId);

inline constexpr std::string_view kWindowTitle = "Telvane 0.01b";
inline constexpr std::string_view kIdlePrompt = "Pronto";
inline constexpr std::string_view kCapsLockPane = "MA";
inline constexpr std::string_view kNumLockPane = "NUM";
inline constexpr std::string_view kScrollLockPane = "BS";

inline constexpr std::string_view kAboutCaption = "Informazioni su Telvane";
inline constexpr std::string_view kAboutText = "Telvane Versione 0.01b";
inline constexpr std::string_view kScrollingAboutCaption = "About";
inline constexpr std::string_view kCannotGetMenu = "Cannot get menu";
