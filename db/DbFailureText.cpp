#include "db/DbFailureText.h"

std::string NothingStoredText(std::string_view reason) {
    return "Nothing was stored in the database: " + std::string(reason);
}

std::string ReadFailedText(std::string_view table, std::string_view reason) {
    return "Cannot read all of " + std::string(table) + ": " + std::string(reason);
}
