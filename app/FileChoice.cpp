#include "app/FileChoice.h"

#include <QFileDialog>

namespace {

std::optional<std::string> Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace

std::optional<std::string> ChooseFileToSave(QWidget* owner, const QString& title,
                                            const QStringList& filters, const QString& suffix) {
    QFileDialog dialog(owner, title);
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix);
    return Run(dialog);
}

std::optional<std::string> ChooseExistingFile(QWidget* owner, const QString& title,
                                              const QStringList& filters) {
    QFileDialog dialog(owner, title);
    dialog.setObjectName(QStringLiteral("openFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    return Run(dialog);
}
