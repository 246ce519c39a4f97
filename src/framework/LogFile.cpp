#include "LogFile.h"

#include "Paths.h"

#include <cstdarg>
#include <ctime>
#include <filesystem>

LogFile::LogFile(const char* fileName, bool append, bool timestamp) : timestamp_(timestamp) {
    std::filesystem::path p(fileName ? fileName : "Tavel_Log.txt");
    if (!p.has_parent_path())
        p = std::filesystem::path(tavel::DataDir()) / p;
    path_ = p.string();
    file_ = std::fopen(path_.c_str(), append ? "a" : "w");
}

LogFile::~LogFile() {
    if (file_)
        std::fclose(file_);
}

bool LogFile::Log(const char* format, ...) {
    if (!file_)
        return false;
    if (timestamp_) {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &tm);
        std::fputs(stamp, file_);
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(file_, format, args);
    va_end(args);
    std::fputc('\n', file_);
    return std::fflush(file_) == 0;
}
