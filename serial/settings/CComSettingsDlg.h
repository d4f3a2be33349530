#pragma once
// The "COM Settings" dialog: port, flow control, data bits, parity and speed. It opens on COM1,
// HW, 8 data bits, no parity and 9600 until ShowChoice puts the stored settings in; on OK it holds
// its results as the texts the settings store keeps (OnIoSettings stores them). Every control
// carries its resource id as the property "controlId" and the object name "control<id>".

#include "core/MessageSink.h"
#include "serial/settings/IComSettingsDialog.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

class CComSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // sink shows the refusal of a speed that is not a positive number.
    explicit CComSettingsDlg(IMessageSink& sink, QWidget* parent = nullptr);

    // Shows `shown` in the controls: a port other than COM1 ... COM4 in "Other" (without its
    // ':'), a speed outside the list as typed text.
    void ShowChoice(const ComSettingsChoice& shown);

    // The results of OK; meaningful once the dialog has been accepted.
    const ComSettingsChoice& Choice() const { return choice; }

    // OK: collects the results, or keeps the dialog open when the speed is not acceptable.
    void accept() override;

private:
    QGroupBox* BuildPortGroup();
    QGroupBox* BuildFlowGroup();
    QGroupBox* BuildDataBitsGroup();
    QGroupBox* BuildParityGroup();
    QGroupBox* BuildSpeedGroup();
    QRadioButton* AddRadio(QButtonGroup* group, int id, const char* label);
    void OnOtherEdited();
    std::string PortText() const;
    std::string FlowText() const;
    char ParityChar() const;

    IMessageSink& sink;
    ComSettingsChoice choice;
    std::array<QRadioButton*, 4> comRadios{};
    QRadioButton* otherRadio = nullptr;
    QLineEdit* otherEdit = nullptr;
    QRadioButton* noFlowRadio = nullptr;
    QRadioButton* xonXoffRadio = nullptr;
    QRadioButton* hwRadio = nullptr;
    QRadioButton* eightBitsRadio = nullptr;
    QRadioButton* sevenBitsRadio = nullptr;
    QRadioButton* parityEvenRadio = nullptr;
    QRadioButton* parityOddRadio = nullptr;
    QRadioButton* parityNoneRadio = nullptr;
    QComboBox* speedCombo = nullptr;
};
