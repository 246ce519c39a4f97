#pragma once

// The record source of a code-table screen over one table class: the fields come from
// the record's column descriptors, the list from the screen's list query, and every
// write goes through a fresh table object with the screen as its parent, so that the
// table rules show their own messages and ask their own questions. Each write is one
// unit of work: a refused or failed step leaves the database as it was.

#include "WSIRecordSource.h"
#include "dbTable.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class WSIApplication;
class WSIDatabase;

// A table object of any table class, seen through the hooks the screens call.
class CatalogueTable {
public:
    virtual ~CatalogueTable() = default;
    virtual WSITable& Record() = 0;
    virtual void SetParent(WSIWindow* parent) = 0;
    virtual bool VerifyData(DB_OP op) = 0;
    virtual bool CanDelete() = 0;
    virtual std::uint16_t GetError() const = 0;
    virtual bool Insert() = 0;
    virtual bool Update() = 0;
    virtual bool Delete() = 0;
};

template <class Table> class CatalogueTableOf : public CatalogueTable {
public:
    explicit CatalogueTableOf(WSIDatabase* db) : table(db) {}
    WSITable& Record() override { return table; }
    void SetParent(WSIWindow* parent) override { table.SetParent(parent); }
    bool VerifyData(DB_OP op) override { return table.VerifyData(op); }
    bool CanDelete() override { return table.CanDelete(); }
    std::uint16_t GetError() const override { return table.GetError(); }
    bool Insert() override { return table.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true); }
    bool Update() override { return table.UpdateDB(__FILE__, __LINE__, true, true); }
    bool Delete() override { return table.DeleteDB(__FILE__, __LINE__, true); }
    Table table;
};

// One field of a code-table screen: a column of the record, or (column null) a value the
// screen keeps beside the record.
struct CatalogueField {
    const char* column = nullptr;
    QString label;
    int width = 100; // list column width; 0 keeps the field out of the list
    bool required = false;
    std::vector<std::pair<QString, long>> choices;    // a choice instead of free entry
    WSIFieldDef::Kind kind = WSIFieldDef::Kind::Text; // for a field without a column
    bool hidden = false; // kept in the record but not shown in the form
};

// A field over a column of the record.
inline CatalogueField ColumnField(const char* column, const QString& label, int width,
                                  bool required = false) {
    CatalogueField f;
    f.column = column;
    f.label = label;
    f.width = width;
    f.required = required;
    return f;
}

// The values a record had when the list read it; an update compares against them.
struct CatalogueOriginal {
    QStringList values;
};

class CatalogueSource : public WSIRecordSource {
public:
    using TableFactory = std::function<std::unique_ptr<CatalogueTable>(WSIDatabase*)>;

    struct Setup {
        TableFactory make;
        std::vector<CatalogueField> fields;
        std::string listSql;   // "%s" stands for the table's column list
        long listArgument = 0; // the query's %ld, when it has one
        const char* reportFile = nullptr;
        unsigned titleMessage = 0;
        // Table error number -> index of the field the user corrects.
        std::vector<std::pair<std::uint16_t, int>> errorFields;
    };

    template <class Table> static TableFactory Factory() {
        return [](WSIDatabase* db) { return std::make_unique<CatalogueTableOf<Table>>(db); };
    }

    CatalogueSource(WSIApplication* module, Setup setup);
    ~CatalogueSource() override;

    WSIApplication* Module() const { return module_; }
    WSIDatabase* Db() const;
    // The table the screen keeps.
    const TableDesc* Table() const { return desc_; }
    // Index of the field of column; -1 when the screen does not show it.
    int FieldOf(const char* column) const;
    void SetListArgument(long value) { setup_.listArgument = value; }
    bool IsHidden(int field) const;
    // Text of a string table code ("" without a module).
    QString Text(unsigned code) const;

    std::vector<WSIFieldDef> Fields() const override;
    bool Load(const QString& search, const Sink& sink) override;
    bool Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
              int& failedField) override;
    bool CanDelete(const WSIRecord& record, WSIWindow* parent, QString& message) override;
    bool Remove(const WSIRecord& record, WSIWindow* parent, QString& message) override;
    bool CanPrint() const override { return setup_.reportFile != nullptr; }
    bool Print(WSIWindow* parent, bool preview) override;

    // Reads the record of values' key into table; false when it is not stored.
    bool ReadByKey(const WSIRecord& record, WSITable& table) const;

    // Message of a write that the database refused.
    static constexpr unsigned kMsgNotStored = 39800;

protected:
    // Before the checks of a write: a screen's own questions and values. False stops
    // the write (message as for Save; empty when already shown).
    virtual bool BeforeSave(CatalogueTable& table, const WSIRecord& record, bool isNew,
                            WSIWindow* parent, QString& message, int& failedField) {
        (void)table, (void)record, (void)isNew, (void)parent, (void)message, (void)failedField;
        return true;
    }
    // Inside the write's unit of work, after the record is stored: related writes.
    virtual bool AfterSave(CatalogueTable& table, WSIRecord& record, bool isNew) {
        (void)table, (void)record, (void)isNew;
        return true;
    }
    // Before a delete: a screen's own question. False keeps the record.
    virtual bool BeforeRemove(const WSIRecord& record, WSIWindow* parent) {
        (void)record, (void)parent;
        return true;
    }
    // Inside the delete's unit of work, after the record is gone.
    virtual bool AfterRemove(const WSIRecord& record) {
        (void)record;
        return true;
    }
    // A record read by the list: a screen adds the values it keeps beside the record.
    virtual void Loaded(WSIRecord& record) { (void)record; }

    // A field's value as stored in the record, "" for a field without a column.
    QString ValueOf(const WSITable& table, int field) const;
    void PutValue(WSITable& table, int field, const QString& value) const;
    WSIRecord RecordOf(const WSITable& table) const;

private:
    const ColumnDesc* ColumnOf(int field) const;
    int FieldOfError(std::uint16_t error) const;
    bool Refused(QString& message) const;

    WSIApplication* module_;
    Setup setup_;
    const TableDesc* desc_ = nullptr;
    int inactiveField_ = -1;
};
