#pragma once

// The statements the module writes, one template a line in "oracle-sql-corpus.txt", and
// the filler that turns a template into a statement with representative values. Shared
// by the translator's tests and the tests that run the statements on the real schema.

#include <fstream>
#include <string>
#include <vector>

namespace corpus {

// Fills the printf placeholders of a statement template with representative values:
// numbers, a location code, and for a bare %s what the caller puts there (a column list
// after SELECT, a column before LIKE or after ORDER BY, nothing in a condition slot).
inline std::string Fill(const std::string& t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '%') {
            out += t[i];
        } else if (t.compare(i, 3, "%%s") == 0) {
            i += 2; // formatted twice: the second pass leaves an empty condition slot
        } else if (t.compare(i, 3, "%ld") == 0) {
            out += "42";
            i += 2;
        } else if (t.compare(i, 2, "%d") == 0) {
            out += "1";
            i += 1;
        } else if (t.compare(i, 4, "%.*s") == 0) {
            out += "MAIN";
            i += 3;
        } else if (t.compare(i, 2, "%s") == 0) {
            const std::string before = out.substr(out.size() > 9 ? out.size() - 9 : 0);
            if (i > 0 && t[i - 1] == '\'')
                out += "MAIN";
            else if (before.size() >= 7 && before.compare(before.size() - 7, 7, "SELECT ") == 0)
                out += "*";
            else if (t.compare(i + 2, 5, " like") == 0 ||
                     (before.size() >= 3 && before.compare(before.size() - 3, 3, "BY ") == 0))
                out += "\"PONumber\"";
            i += 1;
        } else {
            out += t[i];
        }
    }
    return out;
}

// The templates of the corpus file in dataDir, in file order.
inline std::vector<std::string> Lines(const std::string& dataDir) {
    std::ifstream in(dataDir + "/oracle-sql-corpus.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

} // namespace corpus
