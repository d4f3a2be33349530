#pragma once
// A fresh, empty XDG_CONFIG_HOME for one test; the settings file lands in <dir>/Quorvel/.

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>
#include <string>

class SettingsTestDir {
public:
    SettingsTestDir() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    ~SettingsTestDir() { qunsetenv("XDG_CONFIG_HOME"); }
    SettingsTestDir(const SettingsTestDir&) = delete;
    SettingsTestDir& operator=(const SettingsTestDir&) = delete;

    QString Root() const { return dir.path(); }
    QString Folder() const { return dir.path() + "/Quorvel"; }
    QString File() const { return Folder() + "/Telvane.ini"; }

private:
    QTemporaryDir dir;
};
