#include "BoundedFormat.h"

#include "LogFile.h"

#include <cstdio>

namespace {
void LogWarning(int line, const char* file) {
    LogFile log(kBufferWarningLog, true, false);
    log.Log("\tError \tFile: %s \tLine: %ld", file ? file : "", static_cast<long>(line));
}
} // namespace

int VFormatBounded(int line, const char* file, char* buf, std::size_t capacity, const char* format,
                   va_list args) {
    if (!buf || capacity == 0)
        return -1;
    int n = std::vsnprintf(buf, capacity, format, args);
    if (n < 0) {
        buf[0] = '\0';
        LogWarning(line, file);
        return -1;
    }
    if (static_cast<std::size_t>(n) >= capacity) {
        LogWarning(line, file);
        return -1;
    }
    return n;
}

#define TVL_DEFINE_BOUNDED(N)                                                                      \
    int FormatText##N(int line, const char* file, char* buf, const char* format, ...) {            \
        va_list args;                                                                              \
        va_start(args, format);                                                                    \
        int r = VFormatBounded(line, file, buf, N, format, args);                                  \
        va_end(args);                                                                              \
        return r;                                                                                  \
    }
TVL_DEFINE_BOUNDED(32)
TVL_DEFINE_BOUNDED(40)
TVL_DEFINE_BOUNDED(128)
TVL_DEFINE_BOUNDED(255)
TVL_DEFINE_BOUNDED(256)
TVL_DEFINE_BOUNDED(512)
TVL_DEFINE_BOUNDED(1024)
TVL_DEFINE_BOUNDED(4096)
#undef TVL_DEFINE_BOUNDED

int FormatTextUnbounded(int line, const char* file, char* buf, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = std::vsprintf(buf, format, args);
    va_end(args);
    if (n < 0) {
        buf[0] = '\0';
        LogWarning(line, file);
    }
    return n;
}
