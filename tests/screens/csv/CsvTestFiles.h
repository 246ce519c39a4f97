#pragma once

// Saved files read back in the tests: whole, or as a spreadsheet reads their rows.

#include "CsvFile.h"

#include <QString>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace csvtest {

inline std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::vector<std::string>> rows;
    std::string problem;
    long line = 0;
    tavel::csv::ReadRows(
        in,
        [&](const tavel::csv::Row& r) {
            rows.push_back(r.fields);
            return true;
        },
        problem, line);
    return rows;
}

} // namespace csvtest
