#include "WSICodesDialog.h"

#include "WSIAddEditDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

WSICodesDialog::WSICodesDialog(QWidget* parent, WSIApplication* module, int templateId,
                               WSIRecordSource* source, bool lookup)
    : WSIDialog(parent, module, templateId), source_(source), lookup_(lookup),
      list_(new WSIListWindow(this)), legend_(new WSIMarkLegend(rowmark::Cancelled, this)),
      buttons_(new QHBoxLayout) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(legend_);
    layout->addLayout(buttons_);
    legend_->SetText(rowmark::Cancelled, tr("Inactive"));

    SetCommand(CmAdd, [this] { CmAddRecord(); });
    SetCommand(CmEdit, [this] { CmEditRecord(); });
    SetCommand(CmDelete, [this] { CmDeleteRecord(); });
    SetCommand(CmPrint, [this] {
        if (source_)
            source_->Print(this, false);
    });
    SetCommand(CmPreview, [this] {
        if (source_)
            source_->Print(this, true);
    });
    buttons_->addStretch(1);
    buttons_->addWidget(AddCommandButton(CmAdd, tr("&Add")));
    buttons_->addWidget(AddCommandButton(CmEdit, tr("&Change")));
    buttons_->addWidget(AddCommandButton(CmDelete, tr("&Delete")));
    buttons_->addWidget(AddCommandButton(CmPreview, tr("Pre&view")));
    buttons_->addWidget(AddCommandButton(CmPrint, tr("&Print")));
    buttons_->addWidget(AddCommandButton(cm::Ok, lookup_ ? tr("&Select") : tr("Close")));
    if (lookup_)
        buttons_->addWidget(AddCommandButton(cm::Cancel, tr("Cancel")));

    connect(list_, &WSIListWindow::rowSelectionChanged, this, [this] { UpdateCommands(); });
    connect(list_, &WSIListWindow::rowActivated, this,
            [this](int) { DoCommand(lookup_ ? cm::Ok : CmEdit); });

    if (source_) {
        fields_ = source_->Fields();
        for (const WSIFieldDef& f : fields_)
            list_->AddColumn(f.label, f.width);
    }
    UpdateCommands();
}

WSICodesDialog::~WSICodesDialog() = default;

void WSICodesDialog::showEvent(QShowEvent* event) {
    if (!loaded_)
        LoadList();
    WSIDialog::showEvent(event);
}

QStringList WSICodesDialog::CellsOf(const WSIRecord& record) const {
    QStringList cells;
    cells.reserve(static_cast<qsizetype>(fields_.size()));
    for (std::size_t i = 0; i < fields_.size(); ++i)
        cells.append(source_->DisplayText(record, static_cast<int>(i), fields_[i]));
    return cells;
}

bool WSICodesDialog::LoadList() {
    loaded_ = true;
    list_->Clear();
    if (!source_)
        return false;
    WSIWaitCursor wait;
    std::vector<WSIListRow> rows;
    const bool ok = source_->Load(QString(), [&](WSIRecord&& record) {
        WSIListRow row;
        row.cells = CellsOf(record);
        row.marks = record.marks;
        row.data = WSIRowData::Make(std::move(record));
        rows.push_back(std::move(row));
        return true;
    });
    if (!ok) {
        UpdateCommands();
        return false;
    }
    list_->Model()->SetRows(std::move(rows));
    UpdateCommands();
    return true;
}

const WSIRecord* WSICodesDialog::RecordAt(int row) const {
    return list_->RowData<WSIRecord>(row);
}

const WSIRecord* WSICodesDialog::SelectedRecord() const {
    return RecordAt(list_->FirstSelected());
}

bool WSICodesDialog::SelectByValue(int field, const QString& value) {
    for (int r = 0; r < list_->RowCount(); ++r) {
        const WSIRecord* rec = RecordAt(r);
        if (rec && rec->Value(field).trimmed() == value.trimmed()) {
            list_->SelectRow(r);
            return true;
        }
    }
    return false;
}

void WSICodesDialog::UpdateSpecialColumns(int row) {
    const WSIRecord* rec = RecordAt(row);
    if (!rec)
        return;
    list_->UpdateRow(row, CellsOf(*rec));
    list_->SetMarks(row, rec->marks);
}

void WSICodesDialog::UpdateCommands() {
    const bool selected = list_->FirstSelected() >= 0;
    EnableCommand(CmEdit, selected);
    EnableCommand(CmDelete, selected);
    const bool print = source_ && source_->CanPrint();
    EnableCommand(CmPrint, print);
    EnableCommand(CmPreview, print);
    if (lookup_)
        EnableCommand(cm::Ok, selected);
}

WSIRecord WSICodesDialog::NewRecord() const {
    WSIRecord r;
    for (const WSIFieldDef& f : fields_)
        r.values.append(f.kind == WSIFieldDef::Kind::Flag ? QStringLiteral("0") : QString());
    return r;
}

bool WSICodesDialog::EditRecord(WSIRecord& record, bool isNew) {
    WSIAddEditDialog form(this, Module(), TemplateId(), source_, record, isNew);
    form.setWindowTitle(windowTitle());
    if (form.Execute() != id::OK)
        return false;
    record = form.Record();
    return true;
}

void WSICodesDialog::CmAddRecord() {
    if (!source_)
        return;
    WSIRecord record = NewRecord();
    if (!EditRecord(record, true))
        return;
    const int row = list_->AppendRow({}, WSIRowData::Make(std::move(record)));
    UpdateSpecialColumns(row);
    list_->SelectRow(row);
}

void WSICodesDialog::CmEditRecord() {
    const int row = list_->FirstSelected();
    const WSIRecord* current = RecordAt(row);
    if (!source_ || !current)
        return;
    WSIRecord record = *current;
    if (!EditRecord(record, false))
        return;
    list_->Model()->SetRowData(row, WSIRowData::Make(std::move(record)));
    UpdateSpecialColumns(row);
}

void WSICodesDialog::CmDeleteRecord() {
    const int row = list_->FirstSelected();
    const WSIRecord* record = RecordAt(row);
    if (!source_ || !record)
        return;
    QString message;
    if (!source_->CanDelete(*record, this, message)) {
        if (!message.isEmpty())
            MessageBox(message, mb::OK | mb::ICONEXCLAMATION);
        return;
    }
    if (MessageBox(kMsgConfirmDelete, mb::YESNO | mb::ICONQUESTION) != id::YES)
        return;
    if (!source_->Remove(*record, this, message)) {
        if (!message.isEmpty())
            MessageBox(message, mb::OK | mb::ICONEXCLAMATION);
        return;
    }
    list_->RemoveRow(row);
    UpdateCommands();
}

void WSICodesDialog::CmOk() {
    if (!lookup_) {
        CloseWindow(id::OK);
        return;
    }
    const WSIRecord* record = SelectedRecord();
    if (!record)
        return;
    chosen_ = *record;
    CloseWindow(id::OK);
}
