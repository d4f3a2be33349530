#pragma once
// The read-only message view that a double-click (or Enter) on a row of the SMS list or of the
// archive viewer opens: sender and phonebook name, date and time, service centre, whole text.
// User-interface thread only.

#include "sms/MessageView.h"

#include <QDialog>

class CMessageViewDlg final : public QDialog {
    Q_OBJECT
public:
    CMessageViewDlg(const MessageView& view, QWidget* parent);
};

// Opens a view of its own, not modal, that deletes itself when closed; returns it.
CMessageViewDlg* OpenMessageView(const MessageView& view, QWidget* parent);
