#pragma once
// The phonebook archive's names by number, read with one walk of the table. Find gives what a
// search of Phonebook for the first row (in table order) whose Numero matches the number, case
// ignored, would give - without one query per looked-up number.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

class CDaoPhonebook;

class PhonebookNames {
public:
    PhonebookNames() = default; // no names: every number is unknown

    // Walks the open record set from its first row to its end.
    static PhonebookNames Read(CDaoPhonebook& phonebook);

    // Nome of the first row whose Numero equals number, ASCII letters in any case (the LIKE
    // rule, wildcards taken literally); empty when no row matches.
    std::string Find(std::string_view number) const;
    // Whether holds(name) is true of any name Find can give.
    bool AnyName(const std::function<bool(std::string_view)>& holds) const;

    bool operator==(const PhonebookNames& other) const = default;

private:
    std::unordered_map<std::string, std::string> names; // folded Numero -> Nome
    // A row whose Numero is missing (NULL) reads as empty but never matches: the empty number
    // is therefore answered by the engine, once.
    std::string emptyNumberName;
};
