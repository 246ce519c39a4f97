#pragma once

// The generic form for adding or changing one record: a labelled field per record
// field, checked on Ok and written through the record source (the table object),
// whose refusal keeps the form open with the failed field focused.

#include "WSIDialog.h"
#include "WSIRecordSource.h"

#include <vector>

class QFormLayout;

class WSIAddEditDialog : public WSIDialog {
    Q_OBJECT

public:
    // Control id of field i is kFirstFieldId + i.
    static constexpr int kFirstFieldId = 1000;

    // source must outlive the screen. record holds the values to start from (for a
    // new record, its defaults); isNew selects add over change, which also decides
    // whether key fields can be edited.
    WSIAddEditDialog(QWidget* parent, WSIApplication* module, int templateId,
                     WSIRecordSource* source, WSIRecord record, bool isNew);

    bool IsNew() const { return isNew_; }
    // The record as last copied from the form; after Ok, as stored.
    const WSIRecord& Record() const { return record_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    QWidget* FieldWidget(int field) const;
    // Field value in its stored form ("1"/"0" for flags, a choice's value).
    QString FieldText(int field) const;
    void SetFieldText(int field, const QString& text);

    // Checks, copies the form into the record and saves it; closes with id::OK only
    // when the source stored it.
    void CmOk() override;
    // The form's own checks: required fields filled, numbers and dates well formed.
    // Shows the message and focuses the field on failure.
    bool Validate() override;

    // Messages of the form's checks.
    static constexpr unsigned kMsgRequired = 45032;
    static constexpr unsigned kMsgBadDate = 10003;
    static constexpr unsigned kMsgBadNumber = 39601;

protected:
    // Form to record and back; a derived screen adds its own fields here.
    virtual void CopyToRecord(WSIRecord& record) const;
    virtual void CopyFromRecord(const WSIRecord& record);
    QFormLayout* Form() const { return form_; }
    void FocusField(int field);

private:
    WSIRecordSource* source_;
    std::vector<WSIFieldDef> fields_;
    std::vector<QWidget*> widgets_;
    WSIRecord record_;
    bool isNew_;
    QFormLayout* form_;
};
