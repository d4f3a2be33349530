#pragma once
// Making a Telvane database on a PostgreSQL server: the tables of the shipped database (the
// program's own beside the five included) and the option rows, in one transaction.

#include <string>

// False, with the reason in error, when the server cannot be reached, the database already
// holds tables (it is left as it was), or any statement failed (nothing is then kept).
bool InitServerDatabase(const std::string& uri, std::string& error);
