#pragma once

// Counts the statements SQLite starts on a connection while it lives (the statements of
// triggers excluded): the business tests hold a scan's statement count with it.

#include <sqlite3.h>
#include <string>
#include <vector>

class StatementCounter {
public:
    explicit StatementCounter(sqlite3* db) : db_(db) {
        sqlite3_trace_v2(
            db_, SQLITE_TRACE_STMT,
            [](unsigned, void* self, void*, void* text) -> int {
                const char* sql = static_cast<const char*>(text);
                if (!(sql && sql[0] == '-' && sql[1] == '-')) {
                    auto* counter = static_cast<StatementCounter*>(self);
                    ++counter->count;
                    counter->texts.emplace_back(sql ? sql : "");
                }
                return 0;
            },
            this);
    }
    ~StatementCounter() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
    int count = 0;
    // The statements counted, in order: printed when a count is exceeded.
    std::vector<std::string> texts;
    std::string Listing() const {
        std::string out;
        for (const std::string& t : texts)
            out += t + "\n";
        return out;
    }

private:
    sqlite3* db_;
};
