#include "serial/settings/CComSettingsRunner.h"

#include "serial/settings/CComSettingsDlg.h"

std::optional<ComSettingsChoice> CComSettingsRunner::Run(const ComSettingsChoice& shown) {
    CComSettingsDlg dialog(sink, parent);
    dialog.ShowChoice(shown);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}
