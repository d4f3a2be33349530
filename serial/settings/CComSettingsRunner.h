#pragma once
// Runs the real "COM Settings" dialog for OnIoSettings: a fresh dialog on every run, opened on
// the settings in force.

#include "core/MessageSink.h"
#include "serial/settings/IComSettingsDialog.h"

class QWidget;

class CComSettingsRunner final : public IComSettingsDialog {
public:
    // parent owns the modal dialog while it runs (may be null); sink shows the dialog's refusals.
    CComSettingsRunner(IMessageSink& messageSink, QWidget* owner)
        : sink(messageSink), parent(owner) {}

    std::optional<ComSettingsChoice> Run(const ComSettingsChoice& shown) override;

private:
    IMessageSink& sink;
    QWidget* parent;
};
