#pragma once
// The caps-lock, num-lock and scroll-lock state for the status bar's key panes, read from the
// platform where it tells it; an unknown state leaves its pane greyed.

#include <QObject>
#include <memory>
#include <optional>

class QLabel;

struct LockKeyState {
    std::optional<bool> capsLock;
    std::optional<bool> numLock;
    std::optional<bool> scrollLock;
};

class ILockKeySource {
public:
    virtual ~ILockKeySource() = default;
    // The state now; a key it does not know stays unset.
    virtual LockKeyState Read() = 0;
};

// The source of the platform the application runs on: the XKB indicators on X11, otherwise a
// source that knows nothing.
std::unique_ptr<ILockKeySource> NewPlatformLockKeySource();

// Keeps the three panes in step with the source: read again on every key event of the
// application and whenever the application becomes active (the keys may change elsewhere).
class LockKeyPanes : public QObject {
public:
    LockKeyPanes(QLabel* caps, QLabel* num, QLabel* scroll, QObject* parent);

    void SetSource(std::unique_ptr<ILockKeySource> newSource);
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<ILockKeySource> source;
    QLabel* capsPane;
    QLabel* numPane;
    QLabel* scrollPane;
};
