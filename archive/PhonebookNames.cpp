#include "archive/PhonebookNames.h"

#include "db/CDaoPhonebook.h"

#include <algorithm>

namespace {

// The case rule of the engine's LIKE: ASCII letters only, whatever the locale.
std::string Folded(std::string_view text) {
    std::string folded(text);
    std::ranges::transform(folded, folded.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return folded;
}

} // namespace

PhonebookNames PhonebookNames::Read(CDaoPhonebook& phonebook) {
    PhonebookNames read;
    if (!phonebook.IsOpen())
        return read;
    for (phonebook.MoveFirst(); !phonebook.IsEOF(); phonebook.MoveNext()) {
        if (!phonebook.Numero.empty()) // the first row of a number wins
            read.names.try_emplace(Folded(phonebook.Numero), phonebook.Nome);
    }
    if (phonebook.FindFirst("Numero", ""))
        read.emptyNumberName = phonebook.Nome;
    return read;
}

std::string PhonebookNames::Find(std::string_view number) const {
    if (number.empty())
        return emptyNumberName;
    const auto found = names.find(Folded(number));
    return found == names.end() ? std::string() : found->second;
}

bool PhonebookNames::AnyName(const std::function<bool(std::string_view)>& holds) const {
    if (!emptyNumberName.empty() && holds(emptyNumberName))
        return true;
    for (const auto& [number, name] : names)
        if (holds(name))
            return true;
    return false;
}
