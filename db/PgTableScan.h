#pragma once
// TableScan's walk on a PostgreSQL server: the rows in ID order, read in batches after the last
// key seen; the current row's values stay valid until the next step.

#include "db/DaoConnection.h"
#include "db/PgHandles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class PgTableScan {
public:
    PgTableScan(std::shared_ptr<DaoConnection> connection, std::string_view table,
                std::string_view columns);

    // False (error says why) when the table or a column is missing.
    bool Check(std::string& error);
    void StartAt(std::int64_t key);
    bool Next(std::string& error);

    std::int64_t Key() const { return current.Number(row, 0); }
    std::string_view Text(int column) const { return current.Text(row, column + 1); }
    std::int64_t Integer(int column) const { return current.Number(row, column + 1); }
    bool IsNull(int column) const { return current.IsNull(row, column + 1); }

    std::int64_t Count(std::string& error);
    std::vector<std::int64_t> Keys(std::string& error);

private:
    std::shared_ptr<DaoConnection> connection;
    std::string table;
    std::string select;
    std::int64_t from = 0; // the next batch starts at this key
    int batchRows = 0;     // the next batch's size
    bool started = false;
    bool exhausted = false;
    PgOutcome current;
    int row = -1;
};
