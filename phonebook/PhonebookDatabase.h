#pragma once
// The phonebook list against the table Phonebook: filling the list from it and appending the
// list's rows to it. User-interface thread; each call opens and closes its own record set on
// the form's database object.

#include "core/MessageSink.h"
#include "phonebook/IPhonebookForm.h"

#include <string>
#include <string_view>
#include <vector>

class CDaoDatabase;

// Longest text copied from a list cell into the table, in characters.
inline constexpr std::size_t kStoredTextLimit = 99;

// Empties the list and fills it with every record, the Type "145" shown as "International" and
// any other as "National". 0, or 1 when the record set did not open ("Cannot Open dbPhonebook").
int LoadPhonebookFromDatabase(CDaoDatabase& database, IPhonebookForm& form, IMessageSink& messages);

// Appends every row of the list to the table (nothing is compared or removed first) and tells
// how many rows were walked.
void CopyPhonebookToDatabase(CDaoDatabase& database, IPhonebookForm& form, IMessageSink& messages);
// The same for rows that no list shows (the command line's).
void CopyPhonebookToDatabase(CDaoDatabase& database, const std::vector<PhonebookRow>& rows,
                             IMessageSink& messages);

// What the copy stores as Type for a column 3 text: the type-of-address number for the kinds a
// hand-made row names ("International" 145, "National" 129), any other text as it is.
std::string StoredType(std::string_view displayed);
