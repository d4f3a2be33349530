#pragma once
// The form's keyboard: Tab leaves a multi-line text (Ctrl+Tab types a tab character there, as
// Qt's convention is), and Ctrl+Tab / Ctrl+PgDn (Ctrl+Shift+Tab / Ctrl+PgUp back) switch the
// form's tabs when the focus is anywhere else in it. User-interface thread only.

class QPlainTextEdit;
class QTabWidget;
class QWidget;

// Tab and Shift+Tab move the focus on from `text`; Ctrl+Tab inserts a tab character.
void LetTabLeaveText(QPlainTextEdit& text);

// Ctrl+Tab, Ctrl+PgDn, Ctrl+Shift+Tab and Ctrl+PgUp within `form` go to the next or previous tab
// of `tabs`, round the ends.
void AddTabSwitchKeys(QWidget& form, QTabWidget& tabs);
