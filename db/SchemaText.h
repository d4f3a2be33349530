#pragma once
// The schema texts built into the program: the shipped database's (tables and option rows) and
// the same tables for a PostgreSQL server.

#include <string>
#include <string_view>
#include <vector>

std::string_view SqliteSchemaText();
std::string_view ServerSchemaText();

// The statements of a schema text, comments and the BEGIN/COMMIT around them left out.
std::vector<std::string> SchemaStatements(std::string_view text);
