#include "tools/phonesim/PhonebookCommands.h"

#include "tools/phonesim/Charset.h"

#include <utility>

bool PhonebookCommands::Run(const std::string& name, const CommandArgs& args,
                            CommandResult& result) {
    using Row = std::pair<const char*, CommandResult (PhonebookCommands::*)(const CommandArgs&)>;
    static const Row table[] = {
        {"+CPBS", &PhonebookCommands::Cpbs},
        {"+CPBR", &PhonebookCommands::Cpbr},
        {"+CPBW", &PhonebookCommands::Cpbw},
    };
    return RunFromTable(*this, table, name, args, result);
}

CommandResult PhonebookCommands::Cpbs(const CommandArgs& args) {
    const PhonebookMemory& book = fixture.Phonebook(memory);
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read:
        return OkResult({std::string("+CPBS: \"") + StorageName(memory) + "\"," +
                         std::to_string(book.entries.size()) + "," +
                         std::to_string(book.last - book.first + 1)});
    case CommandForm::Test:
        return OkResult({R"(+CPBS: ("SM","ME"))"});
    case CommandForm::Set:
        break;
    }
    if (args.params.size() != 1)
        return ErrorResult();
    if (!ParseStorage(args.params[0], memory))
        return CmeErrorResult(kCmeNotSupported);
    return OkResult();
}

std::string PhonebookCommands::EntryLine(int position, const PhonebookEntry& entry) const {
    return "+CPBR: " + std::to_string(position) + ",\"" + entry.number + "\"," +
           std::to_string(entry.type) + ",\"" + EncodeText(entry.name, settings.charset) + "\"";
}

CommandResult PhonebookCommands::Cpbr(const CommandArgs& args) {
    const PhonebookMemory& book = fixture.Phonebook(memory);
    switch (args.form) {
    case CommandForm::Execute:
    case CommandForm::Read:
        return ErrorResult();
    case CommandForm::Test:
        return OkResult({"+CPBR: (" + std::to_string(book.first) + "-" + std::to_string(book.last) +
                         ")," + std::to_string(kNumberLength) + "," + std::to_string(kNameLength)});
    case CommandForm::Set:
        break;
    }
    int first = 0;
    int last = 0;
    if (args.params.empty() || args.params.size() > 2 || !ParseIntParam(args.params[0], first) ||
        (args.params.size() == 2 && !ParseIntParam(args.params[1], last)))
        return ErrorResult();
    if (args.params.size() == 1)
        last = first;
    if (first < book.first || last > book.last || first > last)
        return CmeErrorResult(kCmeInvalidIndex);
    CommandResult result = OkResult();
    for (auto it = book.entries.lower_bound(first); it != book.entries.end() && it->first <= last;
         ++it)
        result.lines.push_back(EntryLine(it->first, it->second));
    return result;
}

CommandResult PhonebookCommands::Cpbw(const CommandArgs& args) {
    PhonebookMemory& book = fixture.Phonebook(memory);
    switch (args.form) {
    case CommandForm::Execute:
    case CommandForm::Read:
        return ErrorResult();
    case CommandForm::Test:
        return OkResult({"+CPBW: (" + std::to_string(book.first) + "-" + std::to_string(book.last) +
                         ")," + std::to_string(kNumberLength) + ",(129,145)," +
                         std::to_string(kNameLength)});
    case CommandForm::Set:
        break;
    }
    int position = 0;
    if (args.params.empty() || args.params.size() > 4 || !ParseIntParam(args.params[0], position))
        return ErrorResult();
    if (position < book.first || position > book.last)
        return CmeErrorResult(kCmeInvalidIndex);
    if (args.params.size() == 1) {
        book.entries.erase(position);
        return OkResult();
    }
    PhonebookEntry entry;
    std::string name;
    if (!UnquoteParam(args.params[1], entry.number) ||
        (args.params.size() > 2 && !ParseIntParam(args.params[2], entry.type)) ||
        (args.params.size() > 3 && !UnquoteParam(args.params[3], name)))
        return ErrorResult();
    const std::optional<std::string> decoded = DecodeText(name, settings.charset);
    if (!decoded || entry.number.size() > static_cast<std::size_t>(kNumberLength) ||
        decoded->size() > static_cast<std::size_t>(kNameLength))
        return CmeErrorResult(kCmeIncorrectParameters);
    entry.name = *decoded;
    book.entries[position] = entry;
    return OkResult();
}
