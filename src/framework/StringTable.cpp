#include "StringTable.h"

#include "Paths.h"

#include <cstring>
#include <fstream>

namespace {
std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == 't')) {
            out += s[i + 1] == 'n' ? '\n' : '\t';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}
} // namespace

bool StringTable::LoadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        auto tab = line.find('\t');
        if (tab == std::string::npos || tab == 0)
            continue;
        char* end = nullptr;
        unsigned long code = std::strtoul(line.c_str(), &end, 10);
        if (end != line.c_str() + tab)
            continue;
        texts_[static_cast<unsigned>(code)] = Unescape(std::string_view(line).substr(tab + 1));
    }
    return true;
}

bool StringTable::LoadDefault() {
    return LoadFile(tavel::ResourceDir() + "/strings/en.tsv");
}

int StringTable::Load(unsigned code, char* buf, int size) const {
    if (!buf || size <= 0)
        return 0;
    buf[0] = '\0';
    auto it = texts_.find(code);
    if (it == texts_.end())
        return 0;
    std::size_t n = std::min<std::size_t>(it->second.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buf, it->second.data(), n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

std::string_view StringTable::Get(unsigned code) const {
    auto it = texts_.find(code);
    return it == texts_.end() ? std::string_view{} : std::string_view(it->second);
}
