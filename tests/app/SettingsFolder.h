#pragma once
// Points the settings store at a fresh empty folder for the life of one test.

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>
#include <string>

class SettingsFolder {
public:
    SettingsFolder() : previous(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }
    ~SettingsFolder() { qputenv("XDG_CONFIG_HOME", previous); }
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    bool Valid() const { return dir.isValid(); }
    std::string Path() const { return dir.path().toStdString(); }

private:
    QByteArray previous;
    QTemporaryDir dir;
};
