#include "db/CDaoPhonebook.h"

std::string CDaoPhonebook::GetDefaultSQL() const {
    return "[Phonebook]";
}

std::vector<CDaoField> CDaoPhonebook::DoFieldExchange() {
    return {
        {"Pos", &Pos}, {"Numero", &Numero}, {"Nome", &Nome}, {"Type", &Type}, {"Memory", &Memory}};
}
