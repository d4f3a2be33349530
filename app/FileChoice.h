#pragma once
// The toolkit's file dialogs for the export and import commands. Saving never asks about an
// existing file itself: the writers ask before replacing one, when they write.

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QWidget;

// A save dialog (object name "saveFileDialog") with the name filters and the suffix added to a
// name typed without one; the path chosen, or nothing on Cancel.
std::optional<std::string> ChooseFileToSave(QWidget* owner, const QString& title,
                                            const QStringList& filters, const QString& suffix);
// An open dialog (object name "openFileDialog") for an existing file.
std::optional<std::string> ChooseExistingFile(QWidget* owner, const QString& title,
                                              const QStringList& filters);
