#pragma once

// Table base: puts the module's own rules around a framework record class. A table
// class (DBProduct, DBPrdLoc, ...) derives from dbTable<record class> and overrides the
// hooks it needs. The business layer writes single records only through InsertDB,
// UpdateDB and DeleteDB here; screens set themselves as parent to see each message.

#include "InventoryModule.h"
#include "MessageStyle.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIInventoryApp.h"
#include "WSITable.h"

#include <cstdint>

// The operation VerifyData checks.
enum DB_OP { DB_INSERT = 0, DB_UPDATE = 1 };

// Table error numbers shared by every table.
inline constexpr std::uint16_t kDbErrInUse = 0x4001;
inline constexpr std::uint16_t kDbErrInsert = 0x4002;
inline constexpr std::uint16_t kDbErrUpdate = 0x4003;
inline constexpr std::uint16_t kDbErrDelete = 0x4004;

template <class Record> class dbTable : public Record {
public:
    explicit dbTable(WSIDatabase* db) : Record(db) {
        ExceptionHelperFunction(__FILE__, __LINE__, "dbTable::dbTable", 0);
    }
    dbTable(const dbTable& other) : Record(other), error_(other.error_), parent_(other.parent_) {}
    dbTable& operator=(const dbTable& other) {
        Record::operator=(other);
        error_ = other.error_;
        parent_ = other.parent_;
        return *this;
    }
    virtual ~dbTable() = default;

    // Checks (unless a parent screen made them already), writes, then adds related rows.
    bool InsertDB(const char* file, int line, DBILockType lock, bool flag) {
        ExceptionHelperFunction(__FILE__, __LINE__, "dbTable::InsertDB", 0);
        error_ = 0;
        if (!parent_ && !VerifyData(DB_INSERT))
            return false;
        if (Record::InsertDB(file, line, lock, flag, 0))
            AddExtraRecords();
        else
            error_ = kDbErrInsert;
        return error_ == 0;
    }

    // releaseLockIfRefused: a refused or failed update leaves no lock behind.
    bool UpdateDB(const char* file, int line, bool releaseLockIfRefused, bool flag) {
        ExceptionHelperFunction(__FILE__, __LINE__, "dbTable::UpdateDB", 0);
        error_ = 0;
        if (!parent_ && !VerifyData(DB_UPDATE)) {
            if (releaseLockIfRefused)
                WSITable::ReleaseLock();
            return false;
        }
        if (Record::UpdateDB(file, line, releaseLockIfRefused, flag, 0))
            UpdateExtraRecords();
        else
            error_ = kDbErrUpdate;
        return error_ == 0;
    }

    bool DeleteDB(const char* file, int line, bool releaseLockIfRefused) {
        ExceptionHelperFunction(__FILE__, __LINE__, "dbTable::DeleteDB", 0);
        error_ = 0;
        if (!parent_ && !CanDelete()) {
            if (releaseLockIfRefused)
                WSITable::ReleaseLock();
            return false;
        }
        if (Record::DeleteDB(file, line))
            DeleteExtraRecords();
        else
            error_ = kDbErrDelete;
        return error_ == 0;
    }

    std::uint16_t GetError() const { return error_; }
    // The message of the last refused check (0 when none): what a caller without a screen,
    // such as a file import, reports for the row.
    int GetMessageCode() const { return messageCode_; }
    // The number the message's text is filled with (a length), when it takes one.
    int GetMessageArg() const { return messageArg_; }
    void SetParent(WSIWindow* parent) { parent_ = parent; }

    // Hooks; the defaults accept everything and add nothing.
    virtual bool CanDelete() { return true; }
    virtual bool VerifyData(DB_OP) { return true; }
    virtual void AddExtraRecords() {}
    virtual void UpdateExtraRecords() {}
    virtual void DeleteExtraRecords() {}

protected:
    WSIWindow* GetParent() const { return parent_; }
    WSIDatabase* GetDb() const { return Record::GetDatabase(); }

    // Shows the message over the parent screen; nothing without one.
    void ReportError(int messageCode) {
        ExceptionHelperFunction(__FILE__, __LINE__, "dbTable::ReportError", 0);
        if (WSIApplication* host = HostForMessages()) {
            char text[256];
            host->LoadString(static_cast<unsigned>(messageCode), text, sizeof text);
            host->MessageBox(parent_, text, "", mb::OK | mb::ICONEXCLAMATION);
        }
    }

    // Asks a Yes/No question over the parent screen; without one the answer is No.
    bool ReportWarning(int messageCode) {
        ExceptionHelperFunction(__FILE__, __LINE__, "dbTable::ReportWarning", 0);
        WSIApplication* host = HostForMessages();
        if (!host)
            return false;
        char text[256];
        host->LoadString(static_cast<unsigned>(messageCode), text, sizeof text);
        return host->MessageBox(parent_, text, "", mb::YESNO | mb::ICONEXCLAMATION) == id::YES;
    }

    // A failed check: records its number and tells the user (when a screen is attached).
    bool Fail(std::uint16_t error, int messageCode) {
        error_ = error;
        messageCode_ = messageCode;
        ReportError(messageCode);
        return false;
    }

    std::uint16_t error_ = 0;
    int messageCode_ = 0;
    int messageArg_ = 0;

private:
    WSIApplication* HostForMessages() const {
        if (!parent_)
            return nullptr;
        WSIInventoryApp* app = tavel::CurrentInventoryApp();
        return app ? app->GetHostApplication() : nullptr;
    }

    WSIWindow* parent_ = nullptr;
};
