#pragma once

// The generic code-list screen: every record of a small table in a list, with add,
// change, delete, print and preview of one record at a time. In look-up mode Ok (or a
// double-click) returns the chosen record instead. A catalogue screen derives from it
// for its table: it supplies the record source and adds its own commands.

#include "WSIDialog.h"
#include "WSIRecordSource.h"

#include <optional>
#include <vector>

class QBoxLayout;
class QPushButton;
class WSIMarkLegend;

class WSICodesDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int CmAdd = 24001;
    static constexpr int CmEdit = 24002;
    static constexpr int CmDelete = 24003;
    static constexpr int CmPrint = 24004;
    static constexpr int CmPreview = 24005;

    // Delete confirmation (Yes/No).
    static constexpr unsigned kMsgConfirmDelete = 5007;

    // source must outlive the screen (a derived screen may pass itself). The list is
    // read when the screen is first shown, or by LoadList.
    WSICodesDialog(QWidget* parent, WSIApplication* module, int templateId, WSIRecordSource* source,
                   bool lookup = false);
    ~WSICodesDialog() override;

    bool IsLookup() const { return lookup_; }
    WSIListWindow* List() const { return list_; }
    WSIRecordSource* Source() const { return source_; }

    // Empties the list and reads every record again (one row each, marks from the
    // record). False when the records could not be read; the list is then empty.
    virtual bool LoadList();

    // The record of row, null when out of range.
    const WSIRecord* RecordAt(int row) const;
    // Record of the first selected row, null without a selection.
    const WSIRecord* SelectedRecord() const;
    // Look-up mode: the record chosen by Ok; empty until then.
    const std::optional<WSIRecord>& Chosen() const { return chosen_; }
    // Selects the first row whose field has value; false when none has.
    bool SelectByValue(int field, const QString& value);

    virtual void CmAddRecord();
    virtual void CmEditRecord();
    virtual void CmDeleteRecord();
    // Look-up: chooses the selected record and closes; maintenance: closes.
    void CmOk() override;

protected:
    // Edits record in a modal form; true when the source stored it (record then holds
    // what was stored). The default runs WSIAddEditDialog; screens and tests replace it.
    virtual bool EditRecord(WSIRecord& record, bool isNew);
    // A new record's starting values.
    virtual WSIRecord NewRecord() const;
    // Writes record into row: its texts by the source's list fields, its marks.
    virtual void UpdateSpecialColumns(int row);
    // Enables the record commands for the current selection.
    virtual void UpdateCommands();
    // Where a derived screen adds its own buttons (before the standard ones).
    QBoxLayout* ButtonLayout() const { return buttons_; }
    // Runs once before the screen is first shown.
    void showEvent(QShowEvent* event) override;

private:
    QStringList CellsOf(const WSIRecord& record) const;

    WSIRecordSource* source_;
    bool lookup_;
    bool loaded_ = false;
    WSIListWindow* list_;
    WSIMarkLegend* legend_;
    QBoxLayout* buttons_;
    std::vector<WSIFieldDef> fields_;
    std::optional<WSIRecord> chosen_;
};
