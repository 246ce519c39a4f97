#pragma once

#include <cstdio>
#include <string>

// Append-only text log in the data folder. A name without a folder is placed in
// tavel::DataDir(); an absolute path is used as given.
class LogFile {
public:
    // append: keep earlier lines; timestamp: prefix each line with the local time.
    LogFile(const char* fileName, bool append, bool timestamp);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Writes one line (a newline is added). Returns false when the file cannot be written.
    bool Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool timestamp_;
};
