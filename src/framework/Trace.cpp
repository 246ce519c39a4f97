#include "Trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {
struct TraceSink {
    std::FILE* file = nullptr;
    TraceSink() {
        if (const char* path = std::getenv("TAVEL_TRACE"); path && *path)
            file = std::fopen(path, "a");
    }
    ~TraceSink() {
        if (file)
            std::fclose(file);
    }
};
} // namespace

void ExceptionHelperFunction(const char* sourceFile, int line, const char* qualifiedName,
                             int flag) {
    static TraceSink sink;
    if (!sink.file)
        return;
    static std::mutex lock;
    std::lock_guard guard(lock);
    std::fprintf(sink.file, "%s:%d %s %d\n", sourceFile ? sourceFile : "?", line,
                 qualifiedName ? qualifiedName : "?", flag);
}
