#pragma once
// The boxes of opening and switching the database, as real modal dialogs: questions and notices
// through the application's message sink, the file choice through the toolkit's open-file dialog.

#include "core/MessageSink.h"
#include "db/IDatabaseDialogs.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QtDatabaseDialogs final : public IDatabaseDialogs {
public:
    explicit QtDatabaseDialogs(IMessageSink& messageSink) : sink(messageSink) {}

    void SetOwner(QWidget* window) { owner = window; }
    void SetStatusBar(std::function<void(const QString&)> show) { statusBar = std::move(show); }

    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) override;
    void ShowInformation(const std::string& text, const std::string& caption) override;
    void ShowStatus(const std::string& text) override;

private:
    IMessageSink& sink;
    QPointer<QWidget> owner;
    std::function<void(const QString&)> statusBar;
};

// "label|pattern|label|pattern||" as the toolkit's name filters ("label (pattern);;...").
QString ToNameFilters(const std::string& filter);

// The file of `folder` that the name means, as the original platform's dialog takes it: the
// name as it is when such a file exists; else, with `extension` (no dot) added when the name has
// none, the file of that extension whose name matches case-insensitively, or that name itself.
QString DatabaseFileFor(const QString& folder, const QString& name, const QString& extension);
