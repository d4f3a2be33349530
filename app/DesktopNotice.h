#pragma once
// A desktop notification (org.freedesktop.Notifications.Notify on the session bus): sent without
// waiting for an answer; without a session bus or a notification server nothing happens.
// User-interface thread.

#include <QString>

void NotifyDesktop(const QString& summary, const QString& body);

// The first words of a message's text for a notification: at most kNoticeWords characters,
// cut at a blank where one is near, with "..." when cut.
inline constexpr int kNoticeWords = 80;
QString FirstWords(const QString& text);
