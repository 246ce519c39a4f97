#pragma once

// What the generic code-list, search and add/edit screens need from a table: its
// fields, its records in list order, and writing or deleting one record. A catalogue
// screen implements this over its table class; the screens stay table-agnostic.

#include "WSIListWindow.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class WSIWindow;

// One field of a record as the screens list and edit it.
struct WSIFieldDef {
    enum class Kind {
        Text,   // free text up to maxLength
        Number, // whole number
        Amount, // decimal number
        Flag,   // "1" or "0", edited as a check box
        Date,   // MM/DD/YYYY or empty
        Choice, // one of choices, stored as the chosen value in decimal
    };
    QString label; // list heading and form label
    Kind kind = Kind::Text;
    int width = 100;   // list column width; 0 keeps the field out of the list
    int maxLength = 0; // Text: characters allowed, 0 for no limit
    bool key = false;  // part of the record's key: fixed once the record exists
    bool required = false;
    std::vector<std::pair<QString, long>> choices; // Choice: entry text and value
};

// One record: its field values in Fields() order, as text, with the table's own
// record object (if the source wants it back) and the row marks it shows with.
struct WSIRecord {
    QStringList values;
    WSIRowData data;
    unsigned marks = 0;

    QString Value(int field) const {
        return field >= 0 && field < values.size() ? values[field] : QString();
    }
};

class WSIRecordSource {
public:
    virtual ~WSIRecordSource() = default;

    virtual std::vector<WSIFieldDef> Fields() const = 0;

    // Passes the records matching search ("" for all) to sink in list order until sink
    // returns false. Returns false when the records could not be read.
    using Sink = std::function<bool(WSIRecord&&)>;
    virtual bool Load(const QString& search, const Sink& sink) = 0;

    // Writes record, adding it when isNew. parent is the screen asking, for the table
    // rules that show their own message. On refusal returns false with message (empty
    // when already shown) and failedField (index of the field to correct, or -1). On
    // success the source may update record (a generated key, marks).
    virtual bool Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
                      int& failedField) = 0;

    // Whether record may be deleted; on refusal message as for Save.
    virtual bool CanDelete(const WSIRecord& record, WSIWindow* parent, QString& message) {
        (void)record;
        (void)parent;
        (void)message;
        return true;
    }
    // Deletes record; false with message (empty when already shown) on refusal.
    virtual bool Remove(const WSIRecord& record, WSIWindow* parent, QString& message) = 0;

    // The source's printed list, if it has one.
    virtual bool CanPrint() const { return false; }
    virtual bool Print(WSIWindow* parent, bool preview) {
        (void)parent;
        (void)preview;
        return false;
    }

    // Text of field (described by def) in the list: the value, a flag as "Yes" or "",
    // a choice as its entry text.
    virtual QString DisplayText(const WSIRecord& record, int field, const WSIFieldDef& def) const;
};

// A source that only lists: the search screens pick a record, they neither store nor
// delete one.
class WSIReadOnlySource : public WSIRecordSource {
public:
    bool Save(WSIRecord&, bool, WSIWindow*, QString&, int&) override { return false; }
    bool Remove(const WSIRecord&, WSIWindow*, QString&) override { return false; }
};
