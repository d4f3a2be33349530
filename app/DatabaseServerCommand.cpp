// "Connect to database server...": the URI asked for in a small dialog, the last one kept in the
// settings; the database opened as "Apri nuovo DB..." opens a file.

#include "app/CTelvaneView.h"
#include "db/PgHandles.h"

#include <QInputDialog>

namespace {

constexpr std::string_view kServerUriSetting = "DatabaseServerUri";

std::optional<std::string> AskServerUri(QWidget* parent, const std::string& last) {
    bool ok = false;
    const QString uri =
        QInputDialog::getText(parent, QStringLiteral("Database server"),
                              QStringLiteral("Connection URI (postgresql://user@host/dbname);\n"
                                             "the password goes in ~/.pgpass, not here:"),
                              QLineEdit::Normal, QString::fromStdString(last), &ok);
    if (!ok)
        return std::nullopt;
    return uri.trimmed().toStdString();
}

} // namespace

void CTelvaneView::OnConnectDatabaseServer() {
    // As for "Apri nuovo DB...": no task may see the database go.
    if (session.PortTaken()) {
        ShowStatus(TaskRunningNote());
        return;
    }
    const std::string last = settingsStore.ReadSetting(kServerUriSetting);
    const std::optional<std::string> uri =
        serverUriChooser ? serverUriChooser(last) : AskServerUri(window(), last);
    if (!uri || uri->empty())
        return;
    if (!IsServerUri(*uri)) {
        ShowStatus(QStringLiteral("A database server's URI starts with postgresql://"));
        return;
    }
    std::string stored = *uri;
    settingsStore.WriteSetting(kServerUriSetting, stored);
    viewDatabase.ConnectToServer(*uri);
}
