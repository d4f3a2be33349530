#include "app/QtDatabaseDialogs.h"

#include "app/GuiThread.h"

#include <QDir>
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

QString DatabaseFileFor(const QString& folder, const QString& name, const QString& extension) {
    const QDir dir(folder);
    if (name.isEmpty() || QFileInfo(dir, name).exists())
        return dir.filePath(name);
    const QString wanted =
        QFileInfo(name).suffix().isEmpty() ? name + QLatin1Char('.') + extension.toLower() : name;
    const QFileInfo typed(dir, wanted);
    const QDir typedDir = typed.dir();
    for (const QString& entry : typedDir.entryList({QStringLiteral("*.") + extension}, QDir::Files))
        if (entry.compare(typed.fileName(), Qt::CaseInsensitive) == 0)
            return typedDir.filePath(entry);
    return typed.filePath();
}

bool QtDatabaseDialogs::AskYesNo(const std::string& text, const std::string& caption) {
    return sink.ShowMessage({text, caption, BoxButtons::YesNo, BoxIcon::Question, true}) ==
           BoxAnswer::Yes;
}

std::optional<std::string> QtDatabaseDialogs::ChooseFileToOpen(const OpenFileRequest& request) {
    return RunOnGuiThread([this, &request]() -> std::optional<std::string> {
        QFileDialog dialog(owner.data());
        dialog.setObjectName(QStringLiteral("openFileDialog"));
        // The toolkit's own dialog, the same everywhere (and under test). Any name may be
        // typed: the file it means is found below, as the original dialog finds it.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(ToNameFilters(request.filter));
        QString extension = QString::fromStdString(request.defaultExtension);
        if (extension.startsWith(QLatin1Char('.')))
            extension.remove(0, 1);
        const QString folder = dialog.directory().absolutePath();
        dialog.selectFile(
            QFileInfo(DatabaseFileFor(folder, QString::fromStdString(request.fileName), extension))
                .fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QFileInfo chosen(dialog.selectedFiles().constFirst());
        return DatabaseFileFor(chosen.absolutePath(), chosen.fileName(), extension).toStdString();
    });
}

void QtDatabaseDialogs::ShowInformation(const std::string& text, const std::string& caption) {
    sink.ShowMessage({text, caption, BoxButtons::Ok, BoxIcon::Information, true});
}

void QtDatabaseDialogs::ShowStatus(const std::string& text) {
    if (statusBar)
        RunOnGuiThread([this, &text] { statusBar(QString::fromStdString(text)); });
}
