#pragma once
// What the modem session needs from the form. The application implements it with the real
// controls and menu (and shows "Cannot get menu" itself when the window has none); calls may
// come from a thread other than the user-interface thread.

class ISessionForm {
public:
    virtual ~ISessionForm() = default;
    // Enables (1) or disables (0) the controls that need an open port.
    virtual void EnablePortControls(int enable) = 0;
    // Sets or clears the check mark of the menu entry with this command id.
    virtual void SetMenuCheck(int commandId, int checked) = 0;
    // The phone's port has gone away under the open session; called once, on the reader's
    // thread, which ends right after. The owner ends the session (CModemSession::EndLostSession)
    // once the task holding the port has given it back.
    virtual void PortGone() = 0;
};
