#pragma once
// Creates the form's controls from the control table, each at its dialog-unit rectangle, named
// "control<id>" and carrying its id in the property "controlId".

#include "app/DialogUnits.h"
#include "res/form/FormControls.h"

#include <QString>
#include <map>

class QWidget;

QString ControlObjectName(int id);

// The controls of the table, created on form in table order (group boxes come before the
// controls they frame, so they lie below them).
std::map<int, QWidget*> BuildFormControls(QWidget* form, const DialogUnits& units);
