#pragma once

// Per-workstation settings kept in an INI file ("[Section]" lines and "Key=Value"
// lines). A missing or damaged file never stops the program: unreadable lines are
// skipped and every read falls back to the caller's default.

#include <map>
#include <string>

class WSIProfile {
public:
    WSIProfile() = default;
    explicit WSIProfile(std::string path);

    // Reads the file again; false when it could not be read (the values are then empty).
    bool Load();
    // Writes every value back; false when the file could not be written.
    bool Save() const;
    const std::string& Path() const { return path_; }

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = "") const;
    // A value that is not a whole number gives def.
    long GetInt(const std::string& section, const std::string& key, long def = 0) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInt(const std::string& section, const std::string& key, long value);

private:
    std::string path_;
    // Section and key names compare without regard to case, as INI readers do.
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, std::map<std::string, std::string, NoCase>, NoCase> values_;
};
