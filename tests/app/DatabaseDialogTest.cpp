// The file dialog of "Apri nuovo DB...": the name "Telvane" selects the database file it means,
// whatever its case, and a name typed without extension gets ".mdb".
#include "app/QtDatabaseDialogs.h"
#include "common/RecordingMessageSink.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const OpenFileRequest kDatabaseRequest{".MDB", "Telvane",
                                       "Access files (*.mdb)|*.mdb|All files|*.*||"};

class DatabaseDialogTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : {"telvane.mdb", "Second.MDB", "notes.txt"})
            QFile(folder.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    // Runs the dialog; `act` gets it once it shows and must close it.
    std::optional<std::string> Choose(const std::function<void(QFileDialog*)>& act) {
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&act, &timer] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                timer.stop();
                act(dialog);
            }
        });
        timer.start(20);
        return dialogs.ChooseFileToOpen(kDatabaseRequest);
    }

    std::string InFolder(const char* name) const {
        return QDir(folder.path()).filePath(QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir folder;
    QString previous;
    RecordingMessageSink sink;
    QtDatabaseDialogs dialogs{sink};
};

TEST_F(DatabaseDialogTest, TheInitialNameSelectsTheDatabaseFileItMeans) {
    QStringList shown;
    const auto chosen = Choose([&shown](QFileDialog* dialog) {
        shown = dialog->selectedFiles();
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(QFileInfo(shown.constFirst()).fileName(), QStringLiteral("telvane.mdb"));
    EXPECT_EQ(chosen, InFolder("telvane.mdb"));
}

TEST_F(DatabaseDialogTest, ATypedNameWithoutExtensionMeansItsMdbFile) {
    const auto typed = [this](const char* name) {
        return [this, name](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            // Typed into the name field, as the user does.
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(field, nullptr);
            // Typing in the focused field drops the list's selection; offscreen the field has
            // no focus, so the test drops it.
            if (auto* files = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView")))
                files->clearSelection();
            field->setText(QString::fromLatin1(name));
            static_cast<QDialog*>(dialog)->accept();
        };
    };
    EXPECT_EQ(Choose(typed("second")), InFolder("Second.MDB")) << "any case";
    EXPECT_EQ(Choose(typed("archive")), InFolder("archive.mdb")) << "a file yet to be found";
    EXPECT_EQ(Choose(typed("notes.txt")), InFolder("notes.txt")) << "an extension is kept";
}

TEST(DatabaseFileFor, FindsTheFileCaseInsensitivelyAmongTheMdbFiles) {
    QTemporaryDir folder;
    QFile(folder.filePath(QStringLiteral("TELVANE.MDB"))).open(QIODevice::WriteOnly);
    QFile(folder.filePath(QStringLiteral("telvane.txt"))).open(QIODevice::WriteOnly);
    const auto file = [&folder](const char* name) {
        return QFileInfo(
                   DatabaseFileFor(folder.path(), QString::fromLatin1(name), QStringLiteral("MDB")))
            .fileName();
    };
    EXPECT_EQ(file("Telvane"), QStringLiteral("TELVANE.MDB"));
    EXPECT_EQ(file("telvane.mdb"), QStringLiteral("TELVANE.MDB"));
    EXPECT_EQ(file("telvane.txt"), QStringLiteral("telvane.txt"));
    EXPECT_EQ(file("New"), QStringLiteral("New.mdb"));
}

} // namespace
