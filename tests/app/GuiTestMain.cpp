// main of the GUI tests: a QApplication on the offscreen platform, a settings folder of the test
// run's own so that no test reads or writes the user's settings, and a working folder holding a
// fresh copy of the shipped database, which the form opens at start.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QTemporaryDir config;
    QTemporaryDir work;
    if (!config.isValid() || !work.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    if (!QFile::copy(QStringLiteral(TELVANE_BINARY_DIR "/telvane.mdb"),
                     work.filePath(QStringLiteral("telvane.mdb"))) ||
        !QDir::setCurrent(work.path()))
        return 1;
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
