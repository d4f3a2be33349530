#pragma once
// The list of serial ports offered by the "Other" edit of "COM Settings": a completer whose
// popup shows each port with its USB details and whose choice puts the port's path in the edit.

#include "serial/SerialPorts.h"

#include <string>
#include <vector>

class QLineEdit;

struct PortChoice {
    std::string path;  // what goes into the edit
    std::string label; // what the list shows
};

// The ports as the edit can take them: a by-id link longer than `maxChars` is offered by the
// node it leads to (its by-id name stays in the label), and no path appears twice.
std::vector<PortChoice> PortChoices(const std::vector<SerialPortInfo>& ports, int maxChars);

// Gives the edit a completer over the choices: typing any part of a path filters the list, the
// Down key shows it whole. Without ports the edit stays as it was.
void AttachPortCompleter(QLineEdit& edit, const std::vector<PortChoice>& choices);
