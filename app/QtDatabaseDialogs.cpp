#include "app/QtDatabaseDialogs.h"

#include "app/GuiThread.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

QString ToNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts.at(i).isEmpty())
            break; // the "||" that ends the list
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

bool QtDatabaseDialogs::AskYesNo(const std::string& text, const std::string& caption) {
    return sink.ShowMessage({text, caption, BoxButtons::YesNo, BoxIcon::Question, true}) ==
           BoxAnswer::Yes;
}

std::optional<std::string> QtDatabaseDialogs::ChooseFileToOpen(const OpenFileRequest& request) {
    return RunOnGuiThread([this, &request]() -> std::optional<std::string> {
        QFileDialog dialog(owner.data());
        dialog.setObjectName(QStringLiteral("openFileDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(ToNameFilters(request.filter));
        QString extension = QString::fromStdString(request.defaultExtension);
        if (extension.startsWith(QLatin1Char('.')))
            extension.remove(0, 1);
        dialog.setDefaultSuffix(extension);
        dialog.selectFile(QString::fromStdString(request.fileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst().toStdString();
    });
}

void QtDatabaseDialogs::ShowInformation(const std::string& text, const std::string& caption) {
    sink.ShowMessage({text, caption, BoxButtons::Ok, BoxIcon::Information, true});
}

void QtDatabaseDialogs::ShowStatus(const std::string& text) {
    if (statusBar)
        RunOnGuiThread([this, &text] { statusBar(QString::fromStdString(text)); });
}
