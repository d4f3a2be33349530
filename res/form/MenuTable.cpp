#include "res/form/MenuTable.h"

#include <algorithm>
#include <string_view>

namespace {

using E = MenuEntryKind;
constexpr MenuEntry kSeparator{"", 0, E::Separator};

constexpr MenuEntry kFile[] = {
    {"&Apri nuovo DB...\tCtrl+A", kCmdOpenDatabase, E::Command},
    {kConnectDatabaseServerText, kCmdConnectDatabaseServer, E::Command},
    {"Salva copia del DB...", kCmdSaveDatabaseCopy, E::Command},
    {"Export SMS list...", kCmdExportSmsList, E::Command},
    {"Export phonebook to vCard...", kCmdExportPhonebookVcard, E::Command},
    {"Import phonebook from vCard...", kCmdImportPhonebookVcard, E::Command},
    kSeparator,
    {"Open COM", kCmdOpenCom, E::Checkable},
    {"IO Settings", kCmdIoSettings, E::Command},
    {kInhibitModemManagerText, kCmdInhibitModemManager, E::Checkable},
    {kNotifyNewMessagesText, kCmdNotifyNewMessages, E::Checkable},
    {kArchiveNewMessagesText, kCmdArchiveNewMessages, E::Checkable},
    kSeparator,
    {"Stop current task", kCmdStopTask, E::Command},
    kSeparator,
    {"&Esci", kCmdExit, E::Command},
};

constexpr MenuEntry kEdit[] = {
    {"&Annulla\tCtrl+Z", kCmdUndo, E::Disabled},  kSeparator,
    {"Tag&lia\tCtrl+X", kCmdCut, E::Disabled},    {"&Copia\tCtrl+C", kCmdCopy, E::Disabled},
    {"&Incolla\tCtrl+V", kCmdPaste, E::Disabled},
};

constexpr MenuEntry kJump[] = {
    {"Read SMS", kCmdJumpRead, E::Command},
    {"Send SMS", kCmdJumpWrite, E::Command},
    {"Phonebook", kCmdJumpPhonebook, E::Command},
};

constexpr MenuEntry kView[] = {
    {"Barra degli st&rumenti", kCmdToggleToolbar, E::Checkable},
    {"Barra di st&ato", kCmdToggleStatusBar, E::Checkable},
    kSeparator,
    {"Archivio SMS", kCmdSmsArchive, E::Command},
};

constexpr MenuEntry kHelp[] = {
    {"About Telvane", kCmdAboutScrolling, E::Command},
};

constexpr MenuDef kMenus[] = {
    {"&File", kFile},       {"&Modifica", kEdit}, {"Jump to", kJump},
    {"&Visualizza", kView}, {"&?", kHelp},
};

constexpr int kToolbar[] = {kCmdOpenDatabase, 0, kCmdAboutPlain};

struct PromptRow {
    int id;
    std::string_view text; // prompt, a line break, then the tip
};

constexpr PromptRow kPrompts[] = {
    {kCmdOpenDatabase, "Apre un nuovo database\nApri"},
    {kCmdExit, "Esce dall'applicazione e chiede di salvare i documenti\nEsci"},
    {kCmdToggleToolbar,
     "Mostra o nasconde la barra degli strumenti\nMostra/nascondi barra degli strumenti"},
    {kCmdToggleStatusBar, "Mostra o nasconde la barra di stato\nMostra/nascondi barra di stato"},
};

} // namespace

std::span<const MenuDef> MainMenu() {
    return kMenus;
}

std::span<const int> ToolbarCommands() {
    return kToolbar;
}

std::optional<CommandPrompt> PromptFor(int commandId) {
    const auto* row = std::ranges::find(kPrompts, commandId, &PromptRow::id);
    if (row == std::end(kPrompts))
        return std::nullopt;
    const auto lineBreak = row->text.find('\n');
    if (lineBreak == std::string_view::npos)
        return CommandPrompt{row->text, {}};
    return CommandPrompt{row->text.substr(0, lineBreak), row->text.substr(lineBreak + 1)};
}
