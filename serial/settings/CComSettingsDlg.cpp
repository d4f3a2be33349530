#include "serial/settings/CComSettingsDlg.h"

#include "serial/settings/PortCompleter.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kOtherChars = 50;
constexpr int kSpeedDigits = 6;
constexpr int kDefaultSpeedEntry = 2; // "9600"
constexpr std::array<const char*, 7> kSpeeds = {"2400",  "4800",  "9600",  "19200",
                                                "38400", "57600", "115200"};
constexpr std::string_view kBadSpeed = "The speed must be a positive number of at most 6 digits";

void TagControl(QWidget* widget, int id) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    widget->setProperty("controlId", id);
}

// A speed is kept as typed when it is a positive decimal number that fits the six digits the
// stored speed text holds.
bool IsSpeedText(const QString& text) {
    if (text.isEmpty() || text.size() > kSpeedDigits)
        return false;
    const bool digits = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    return digits && text.toInt() > 0;
}

// Choices stay at the top of a frame that its row makes taller.
QGroupBox* GroupOf(const char* title, QVBoxLayout* layout) {
    layout->addStretch();
    auto* group = new QGroupBox(QString::fromLatin1(title));
    group->setLayout(layout);
    return group;
}

} // namespace

CComSettingsDlg::CComSettingsDlg(IMessageSink& messageSink, QWidget* parent)
    : QDialog(parent), sink(messageSink) {
    setWindowTitle(QStringLiteral("COM Settings"));
    auto* okButton = new QPushButton(QStringLiteral("OK"));
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));
    TagControl(okButton, 1);
    TagControl(cancelButton, 2);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CComSettingsDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CComSettingsDlg::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(BuildPortGroup(), 0, 0);
    grid->addWidget(BuildFlowGroup(), 0, 1);
    grid->addWidget(BuildDataBitsGroup(), 1, 0);
    grid->addWidget(BuildParityGroup(), 1, 1);
    grid->addWidget(BuildSpeedGroup(), 2, 0, 1, 2);
    grid->addLayout(buttons, 0, 2, 3, 1);
}

QRadioButton* CComSettingsDlg::AddRadio(QButtonGroup* group, int id, const char* label) {
    auto* radio = new QRadioButton(QString::fromLatin1(label));
    TagControl(radio, id);
    group->addButton(radio);
    return radio;
}

QGroupBox* CComSettingsDlg::BuildPortGroup() {
    auto* ports = new QButtonGroup(this);
    auto* layout = new QVBoxLayout;
    constexpr std::array<const char*, 4> kLabels = {"COM1", "COM2", "COM3", "COM4"};
    for (std::size_t i = 0; i < comRadios.size(); ++i) {
        comRadios[i] = AddRadio(ports, 1007 + static_cast<int>(i), kLabels[i]);
        layout->addWidget(comRadios[i]);
    }
    otherRadio = AddRadio(ports, 1012, "Other");
    otherEdit = new QLineEdit;
    TagControl(otherEdit, 1011);
    otherEdit->setMaxLength(kOtherChars);
    // Read afresh at each opening: a modem plugged in since shows up.
    AttachPortCompleter(*otherEdit, PortChoices(FindSerialPorts(SystemRoot()), kOtherChars));
    connect(otherEdit, &QLineEdit::textChanged, this, &CComSettingsDlg::OnOtherEdited);
    auto* otherRow = new QHBoxLayout;
    otherRow->addWidget(otherRadio);
    otherRow->addWidget(otherEdit);
    layout->addLayout(otherRow);
    comRadios[0]->setChecked(true);
    return GroupOf("COM Settings", layout);
}

QGroupBox* CComSettingsDlg::BuildFlowGroup() {
    auto* flows = new QButtonGroup(this);
    noFlowRadio = AddRadio(flows, 1013, "No flow control");
    xonXoffRadio = AddRadio(flows, 1014, "Xon XOff");
    hwRadio = AddRadio(flows, 1015, "HW");
    hwRadio->setChecked(true);
    auto* layout = new QVBoxLayout;
    layout->addWidget(noFlowRadio);
    layout->addWidget(xonXoffRadio);
    layout->addWidget(hwRadio);
    return GroupOf("Flow control", layout);
}

QGroupBox* CComSettingsDlg::BuildDataBitsGroup() {
    auto* bits = new QButtonGroup(this);
    eightBitsRadio = AddRadio(bits, 1021, "8");
    sevenBitsRadio = AddRadio(bits, 1022, "7");
    eightBitsRadio->setChecked(true);
    auto* layout = new QVBoxLayout;
    layout->addWidget(eightBitsRadio);
    layout->addWidget(sevenBitsRadio);
    return GroupOf("Data bits", layout);
}

QGroupBox* CComSettingsDlg::BuildParityGroup() {
    auto* parities = new QButtonGroup(this);
    parityEvenRadio = AddRadio(parities, 1023, "Parity Even");
    parityOddRadio = AddRadio(parities, 1024, "Parity Odd");
    parityNoneRadio = AddRadio(parities, 1025, "Parity None");
    parityNoneRadio->setChecked(true);
    auto* layout = new QVBoxLayout;
    layout->addWidget(parityEvenRadio);
    layout->addWidget(parityOddRadio);
    layout->addWidget(parityNoneRadio);
    return GroupOf("Static", layout);
}

QGroupBox* CComSettingsDlg::BuildSpeedGroup() {
    speedCombo = new QComboBox;
    TagControl(speedCombo, 1018);
    speedCombo->setEditable(true);
    // A typed speed is a value, not a new entry: the list keeps its seven speeds.
    speedCombo->setInsertPolicy(QComboBox::NoInsert);
    speedCombo->lineEdit()->setMaxLength(kSpeedDigits);
    for (const char* speed : kSpeeds)
        speedCombo->addItem(QString::fromLatin1(speed));
    speedCombo->setCurrentIndex(kDefaultSpeedEntry);
    auto* layout = new QVBoxLayout;
    layout->addWidget(speedCombo);
    return GroupOf("Speed", layout);
}

void CComSettingsDlg::ShowChoice(const ComSettingsChoice& shown) {
    const QString port = QString::fromStdString(shown.port);
    bool listed = false;
    for (std::size_t i = 0; i < comRadios.size(); ++i) {
        if (port.compare(QStringLiteral("COM%1:").arg(i + 1), Qt::CaseInsensitive) == 0) {
            comRadios[i]->setChecked(true);
            listed = true;
        }
    }
    if (!listed && !port.isEmpty())
        otherEdit->setText(port.endsWith(QLatin1Char(':')) ? port.chopped(1) : port);
    (shown.flow == "0"   ? noFlowRadio
     : shown.flow == "1" ? xonXoffRadio
                         : hwRadio)
        ->setChecked(true);
    (shown.dataBits == '7' ? sevenBitsRadio : eightBitsRadio)->setChecked(true);
    (shown.parity == '1'   ? parityOddRadio
     : shown.parity == '2' ? parityEvenRadio
                           : parityNoneRadio)
        ->setChecked(true);
    const QString speed = QString::fromStdString(shown.speed);
    const int entry = speedCombo->findText(speed);
    if (entry >= 0)
        speedCombo->setCurrentIndex(entry);
    else if (IsSpeedText(speed))
        speedCombo->setEditText(speed);
}

void CComSettingsDlg::OnOtherEdited() {
    // The button group is exclusive: checking "Other" unchecks COM1 ... COM4.
    otherRadio->setChecked(true);
}

std::string CComSettingsDlg::PortText() const {
    for (std::size_t i = 0; i < comRadios.size(); ++i) {
        if (comRadios[i]->isChecked())
            return "COM" + std::to_string(i + 1) + ":";
    }
    std::string port = otherEdit->text().left(kOtherChars).toStdString();
    if (port.empty() || port.back() != ':')
        port += ':';
    return port;
}

std::string CComSettingsDlg::FlowText() const {
    if (noFlowRadio->isChecked())
        return "0";
    if (hwRadio->isChecked())
        return "2";
    return "1";
}

char CComSettingsDlg::ParityChar() const {
    if (parityNoneRadio->isChecked())
        return '0';
    if (parityOddRadio->isChecked())
        return '1';
    return '2';
}

void CComSettingsDlg::accept() {
    const QString speed = speedCombo->currentText().trimmed();
    if (!IsSpeedText(speed)) {
        ShowOk(sink, kBadSpeed, kAppTitle);
        return;
    }
    choice.speed = speed.toStdString();
    choice.port = PortText();
    choice.flow = FlowText();
    choice.dataBits = sevenBitsRadio->isChecked() ? '7' : '8';
    choice.parity = ParityChar();
    QDialog::accept();
}
