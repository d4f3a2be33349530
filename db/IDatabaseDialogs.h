#pragma once
// The boxes that opening and switching the database show. The application implements them with
// real modal dialogs; tests answer them without a window.

#include <optional>
#include <string>

struct OpenFileRequest {
    std::string defaultExtension; // added when the name typed has none
    std::string fileName;         // shown in the name field at first
    std::string filter;           // "label|pattern|label|pattern||", the common dialog's form
};

class IDatabaseDialogs {
public:
    virtual ~IDatabaseDialogs() = default;
    // A question box with Yes and No buttons and the question icon; true on Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // An open-file dialog: the path chosen, or nothing on Cancel.
    virtual std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) = 0;
    // A message box with an OK button and the information icon.
    virtual void ShowInformation(const std::string& text, const std::string& caption) = 0;
    // A note in the main window's status bar.
    virtual void ShowStatus(const std::string& text) = 0;
};
