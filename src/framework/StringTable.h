#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

// The host's message texts: one "code<TAB>text" line per message. Lines starting
// with '#' and blank lines are ignored. In a text, the two characters "\n" stand
// for a line break and "\t" for a tab.
class StringTable {
public:
    // Loads a file; returns false (and keeps what was loaded before) when it cannot be read.
    bool LoadFile(const std::string& path);
    // Loads "strings/en.tsv" of the resource folder.
    bool LoadDefault();

    // Copies the text of code into buf (size includes the terminator), cut to fit.
    // A code without text leaves the empty string. Returns the number of characters copied.
    int Load(unsigned code, char* buf, int size) const;

    bool Has(unsigned code) const { return texts_.count(code) != 0; }
    std::string_view Get(unsigned code) const;
    std::size_t Size() const { return texts_.size(); }

private:
    std::unordered_map<unsigned, std::string> texts_;
};
