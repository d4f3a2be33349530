// The names read with one walk of Phonebook against what the record set's own search for each
// number finds: the viewer's lookup must never give another name than that search.

#include "archive/PhonebookNames.h"

#include "ArchiveFixture.h"
#include "db/CDaoPhonebook.h"

#include <vector>

namespace {

class PhonebookNamesTest : public ArchiveFixture {};

TELVANE_ON_BOTH_ENGINES(PhonebookNamesTest);

std::string FoundByEngine(CDaoPhonebook& phonebook, const std::string& number) {
    return phonebook.FindFirst("Numero", number) ? phonebook.Nome : std::string();
}

TEST_P(PhonebookNamesTest, EveryNumberGetsTheNameTheEngineSearchFinds) {
    OpenWith("INSERT INTO Phonebook (Pos, Numero, Nome) VALUES "
             "('1', '+39333111', 'Mario'), ('2', 'ABC', 'Lettere'),"
             "('3', '+39333111', 'Doppione'), ('4', NULL, 'Senza numero'),"
             "('5', '', 'Vuoto'), ('6', '100%', 'Percento'), ('7', 'a_c', 'Trattino'),"
             "('8', 'Ä1', 'Accento'), ('9', 'O''Hara', 'Apostrofo'), ('10', ' 12', 'Spazio');");
    CDaoPhonebook phonebook(&database);
    ASSERT_TRUE(phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges));
    const PhonebookNames names = PhonebookNames::Read(phonebook);

    const std::vector<std::string> numbers = {
        "+39333111", "ABC", "abc", "aBc",    "",       "100%", "100X", "1%",     "a_c",    "abc_",
        "aXc",       "Ä1",  "ä1",  "O'Hara", "o'hara", " 12",  "12",   "+39333", "unknown"};
    for (const std::string& number : numbers)
        EXPECT_EQ(names.Find(number), FoundByEngine(phonebook, number)) << "number " << number;
    // The cases that matter most, spelled out.
    EXPECT_EQ(names.Find("+39333111"), "Mario");
    EXPECT_EQ(names.Find("abc"), "Lettere");
    EXPECT_EQ(names.Find(""), "Vuoto");
    EXPECT_EQ(names.Find("100X"), "");
}

TEST_P(PhonebookNamesTest, AClosedPhonebookKnowsNoNames) {
    ASSERT_TRUE(database.Open(file, true, false));
    CDaoPhonebook phonebook(&database);
    const PhonebookNames names = PhonebookNames::Read(phonebook);
    EXPECT_EQ(names.Find(""), "");
    EXPECT_EQ(names.Find("+39333111"), "");
}

} // namespace
