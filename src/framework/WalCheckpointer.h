#pragma once
// Copies a SQLite database's write-ahead log back into its file on a thread of its own
// when commits come one at a time.
//
// SQLite does that copy inside the commit that lets the log pass a thousand pages: on a
// large file it is a thousand scattered page writes and a sync, 20 to 35 ms that fall on
// every tenth scan or so. A commit on its own (a scan) therefore only wakes the thread,
// which checkpoints through a connection of its own (PASSIVE: it never waits for nor
// blocks the writer or a reader). A commit that follows the previous one within a few
// milliseconds belongs to a run (a whole location moved, an import, a count run): there
// the thread could not catch up between commits, the log would grow long and every read
// slower, so the writer copies it itself between two commits, as SQLite would. Should the
// thread fall behind, or fail to start, the writer copies too; the log stays bounded.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

namespace tavel::db {

class WalCheckpointer {
public:
    // Log pages after which a commit asks for a copy, and after which the writer copies it
    // itself.
    static constexpr int kWakePages = 1000;
    static constexpr int kWriterPages = 4000;
    // Commits closer together than this are a run.
    static constexpr std::chrono::microseconds kRunGap{3000};

    // Becomes db's log hook; path names db's file.
    WalCheckpointer(sqlite3* db, std::string path);
    // Stops the thread after the copy in progress; db keeps no hook.
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    // Copies the thread has made.
    long Checkpoints() const;

private:
    static int OnCommit(void* self, sqlite3* db, const char* schema, int pages);
    void Run();

    sqlite3* db_;
    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    bool wanted_ = false;
    bool stopping_ = false;
    bool failed_ = false; // the thread has no connection: the writer copies
    long checkpoints_ = 0;
    std::chrono::steady_clock::time_point lastCommit_{}; // the writer's own
};

} // namespace tavel::db
