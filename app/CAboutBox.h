#pragma once
// The plain about box of the toolbar's about button: icon, name and version, OK.

#include <QDialog>

class CAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBox(QWidget* parent = nullptr);
};
