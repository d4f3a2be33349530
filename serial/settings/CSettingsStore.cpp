#include "serial/settings/CSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace {

constexpr std::string_view kOpenError = "Error opening key";

// Resolved on every access (QSettings' own user path is fixed at its first use) and without
// QSettings' fallbacks to the organisation-wide and system files, which the key never had.
QString FilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quorvel/Telvane.ini");
}

QString Key(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Stands for opening the key with create-if-absent: the folder is made when missing; a
// non-directory in the folder's place, a directory in the file's place, or a file that cannot be
// read means the key cannot be opened. A missing file is an empty key.
bool KeyOpens(const QString& path) {
    const QFileInfo file(path);
    if (!QDir().mkpath(file.absolutePath()))
        return false;
    if (!file.exists())
        return true;
    if (!file.isFile())
        return false;
    QFile probe(path);
    return probe.open(QIODevice::ReadOnly);
}

// A hand-edited value with unquoted commas comes back from QSettings as a list.
QString ValueText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

// Counted in code points: a character outside the BMP is two QChars but one character.
QString FirstChars(const QString& text, std::size_t count) {
    qsizetype end = 0;
    for (std::size_t n = 0; n < count && end < text.size(); ++n) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

// The stored text, or nothing when the key cannot be opened.
std::optional<std::string> ReadValue(std::string_view name) {
    const QString path = FilePath();
    if (!KeyOpens(path))
        return std::nullopt;
    const QSettings settings(path, QSettings::IniFormat);
    const QString text = ValueText(settings.value(Key(name)));
    if (settings.status() == QSettings::AccessError)
        return std::nullopt;
    return FirstChars(text, kSettingChars).toStdString();
}

bool WriteValue(std::string_view name, const std::string& text) {
    const QString path = FilePath();
    if (!KeyOpens(path))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(Key(name), QString::fromStdString(text));
    settings.sync();
    return settings.status() != QSettings::AccessError;
}

} // namespace

std::string SettingsFilePath() {
    return FilePath().toStdString();
}

void CSettingsStore::WriteSetting(std::string_view name, std::string& text) {
    if (text.empty())
        text = ".";
    if (!WriteValue(name, text))
        ShowOk(sink, kOpenError, kAppTitle);
}

std::string CSettingsStore::ReadSetting(std::string_view name) {
    std::optional<std::string> text = ReadValue(name);
    if (!text) {
        ShowOk(sink, kOpenError, kAppTitle);
        return {};
    }
    return *std::move(text);
}

std::string ReadAppSetting(std::string_view name, IMessageSink& sink) {
    std::optional<std::string> text = ReadValue(name);
    if (!text) {
        sink.ShowMessage({std::string(kOpenError), "", BoxButtons::Ok, BoxIcon::Error, false});
        return {};
    }
    return *std::move(text);
}
