#pragma once

#include <cstdarg>
#include <cstddef>

// Bounded printf-style formatting. Every SQL statement and message text is built
// through these so that an over-long value is cut instead of overrunning a buffer.
// On truncation or a formatting error one line naming the caller's file and line is
// appended to "Buffer_Warning_Log.txt" and a negative value is returned; the buffer
// then holds the text cut at its capacity, and the caller goes on with it.

inline constexpr const char* kBufferWarningLog = "Buffer_Warning_Log.txt";

// Core operation: format into buf of the given capacity (terminator included).
int VFormatBounded(int line, const char* file, char* buf, std::size_t capacity, const char* format,
                   va_list args);

// One operation per buffer capacity in use.
#define TVL_DECLARE_BOUNDED(N)                                                                     \
    int FormatText##N(int line, const char* file, char* buf, const char* format, ...)              \
        __attribute__((format(printf, 4, 5)));
TVL_DECLARE_BOUNDED(32)
TVL_DECLARE_BOUNDED(40)
TVL_DECLARE_BOUNDED(128)
TVL_DECLARE_BOUNDED(255)
TVL_DECLARE_BOUNDED(256)
TVL_DECLARE_BOUNDED(512)
TVL_DECLARE_BOUNDED(1024)
TVL_DECLARE_BOUNDED(4096)
#undef TVL_DECLARE_BOUNDED

// Formats into a buffer the caller has sized; reports only a formatting error.
int FormatTextUnbounded(int line, const char* file, char* buf, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

namespace tavel::detail {
template <std::size_t N> struct BoundedCapacity {
    static_assert(N == 32 || N == 40 || N == 128 || N == 255 || N == 256 || N == 512 || N == 1024 ||
                      N == 4096,
                  "use one of the fixed buffer capacities");
};
} // namespace tavel::detail

// Picks the operation from the array's capacity at compile time:
//   char sql[1024]; FormatInto(__LINE__, __FILE__, sql, "SELECT ... %ld", id);
template <std::size_t N>
__attribute__((format(printf, 4, 5))) int FormatInto(int line, const char* file, char (&buf)[N],
                                                     const char* format, ...) {
    (void)tavel::detail::BoundedCapacity<N>{};
    va_list args;
    va_start(args, format);
    int r = VFormatBounded(line, file, buf, N, format, args);
    va_end(args);
    return r;
}

#define TVL_FORMAT(buf, ...) FormatInto(__LINE__, __FILE__, buf, __VA_ARGS__)
