#include "WalCheckpointer.h"

#include <sqlite3.h>

namespace tavel::db {

WalCheckpointer::WalCheckpointer(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {
    // Replaces SQLite's own copy at commit.
    sqlite3_wal_hook(db_, &WalCheckpointer::OnCommit, this);
}

WalCheckpointer::~WalCheckpointer() {
    sqlite3_wal_hook(db_, nullptr, nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

long WalCheckpointer::Checkpoints() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return checkpoints_;
}

int WalCheckpointer::OnCommit(void* self, sqlite3* db, const char* schema, int pages) {
    auto* me = static_cast<WalCheckpointer*>(self);
    const auto now = std::chrono::steady_clock::now();
    const bool inARun = now - me->lastCommit_ < kRunGap;
    me->lastCommit_ = now;
    if (pages < kWakePages)
        return SQLITE_OK;
    bool writerCopies = inARun || pages >= kWriterPages;
    {
        std::lock_guard<std::mutex> lock(me->mutex_);
        writerCopies = writerCopies || me->failed_;
        if (!writerCopies) {
            // Started with the first long log: short-lived programs never start it.
            if (!me->thread_.joinable())
                me->thread_ = std::thread(&WalCheckpointer::Run, me);
            me->wanted_ = true;
        }
    }
    if (writerCopies)
        sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    else
        me->wake_.notify_one();
    // The commit itself has succeeded whatever the copy does.
    return SQLITE_OK;
}

void WalCheckpointer::Run() {
    sqlite3* conn = nullptr;
    const int rc =
        sqlite3_open_v2(path_.c_str(), &conn, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    // The copy syncs the file as the writer would have: a movement is never only in the log
    // once the log has been reset.
    if (rc != SQLITE_OK ||
        sqlite3_exec(conn, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(conn);
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return wanted_ || stopping_; });
        if (stopping_)
            break;
        wanted_ = false;
        lock.unlock();
        const int done =
            sqlite3_wal_checkpoint_v2(conn, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
        if (done == SQLITE_OK)
            ++checkpoints_;
    }
    lock.unlock();
    sqlite3_close(conn);
}

} // namespace tavel::db
