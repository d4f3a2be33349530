#pragma once
// The reaction to a click on a heading of the phonebook list.

#include "core/MessageSink.h"
#include "phonebook/IPhonebookForm.h"

// The list's sort comparison: rates every pair of rows as equal, so a sort keeps the order.
int CompareFunc(const PhonebookRow& first, const PhonebookRow& second);

// Sorts the list's rows with CompareFunc (stable: equal rows keep their order; the list is
// rewritten only when the order changed), then shows "CIAO".
void OnPhonebookColumnClick(IPhonebookForm& form, IMessageSink& messages);
