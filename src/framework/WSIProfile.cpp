#include "WSIProfile.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <strings.h>

namespace {
std::string Trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}
} // namespace

bool WSIProfile::NoCase::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

WSIProfile::WSIProfile(std::string path) : path_(std::move(path)) {
    Load();
}

bool WSIProfile::Load() {
    values_.clear();
    std::ifstream in(path_);
    if (!in)
        return false;
    std::string line, section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            auto close = line.find(']');
            // A broken section header ends the current section, so that its keys are
            // not read into the section before it.
            section =
                close == std::string::npos ? std::string("\x01") : Trim(line.substr(1, close - 1));
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos || section.empty() || section == "\x01")
            continue;
        std::string key = Trim(line.substr(0, eq));
        if (!key.empty())
            values_[section][key] = Trim(line.substr(eq + 1));
    }
    return true;
}

bool WSIProfile::Save() const {
    std::ofstream out(path_, std::ios::trunc);
    if (!out)
        return false;
    for (const auto& [section, keys] : values_) {
        out << '[' << section << "]\n";
        for (const auto& [key, value] : keys)
            out << key << '=' << value << '\n';
        out << '\n';
    }
    return static_cast<bool>(out);
}

std::string WSIProfile::GetString(const std::string& section, const std::string& key,
                                  const std::string& def) const {
    auto s = values_.find(section);
    if (s == values_.end())
        return def;
    auto k = s->second.find(key);
    return k == s->second.end() ? def : k->second;
}

long WSIProfile::GetInt(const std::string& section, const std::string& key, long def) const {
    std::string text = GetString(section, key);
    if (text.empty())
        return def;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        return def;
    return v;
}

void WSIProfile::WriteString(const std::string& section, const std::string& key,
                             const std::string& value) {
    values_[section][key] = value;
}

void WSIProfile::WriteInt(const std::string& section, const std::string& key, long value) {
    values_[section][key] = std::to_string(value);
}
