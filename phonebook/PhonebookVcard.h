#pragma once
// The phonebook list to and from vCard files (the "&File" menu's two phonebook items). The list
// changes only through the form interface, and an import adds rows exactly as "Add" does: "NEW"
// in POS, at the top of the list; the database is not touched (the rows reach the Phonebook
// table only with "Store" under "Dbase"). User-interface thread: the boxes are modal.

#include <string>

class IMessageSink;
class IPhonebookForm;

// Writes every row of the list to path as vCard 3.0, asking before a file is replaced; reports
// the rows written or the failure. The number of rows written; -1 when nothing was.
int ExportPhonebookVcard(IPhonebookForm& form, IMessageSink& sink, const std::string& path);

// Reads path and puts one row per telephone number at the top of the list, in the file's order.
// A file that cannot be read or is no vCard (see ReadVcards) is reported with its line and adds
// nothing. Cards without a telephone number are skipped, and names longer than the database's
// name column are shortened to it; the result box says how many of each. The number of rows
// added; -1 on failure.
int ImportPhonebookVcard(IPhonebookForm& form, IMessageSink& sink, const std::string& path);
