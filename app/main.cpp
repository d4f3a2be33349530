#include "app/CTelvaneApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CTelvaneApp app;
    if (!app.InitInstance())
        return 0;
    return QApplication::exec();
}
