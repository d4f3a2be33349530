#include "serial/settings/CComSettingsRunner.h"

#include "serial/settings/CComSettingsDlg.h"

std::optional<ComSettingsChoice> CComSettingsRunner::Run() {
    CComSettingsDlg dialog(sink, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}
