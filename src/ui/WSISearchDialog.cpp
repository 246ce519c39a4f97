#include "WSISearchDialog.h"

#include "BoundedFormat.h"
#include "WSIApplication.h"
#include "WSIProfile.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

WSISearchDialog::WSISearchDialog(QWidget* parent, WSIApplication* module, int templateId,
                                 WSIRecordSource* source, bool lookup)
    : WSIDialog(parent, module, templateId), source_(source), lookup_(lookup),
      search_(new QLineEdit(this)), list_(new WSIListWindow(this)), filters_(new QHBoxLayout),
      buttons_(new QHBoxLayout) {
    search_->setMaxLength(255);
    search_->setText(QStringLiteral("_"));
    auto* layout = new QVBoxLayout(this);
    filters_->addWidget(search_, 1);
    SetCommand(CmSearch, [this] { RunSearch(); });
    filters_->addWidget(AddCommandButton(CmSearch, tr("&Search")));
    layout->addLayout(filters_);
    layout->addWidget(list_, 1);
    buttons_->addStretch(1);
    buttons_->addWidget(AddCommandButton(cm::Ok, lookup_ ? tr("&Select") : tr("Close")));
    buttons_->addWidget(AddCommandButton(cm::Cancel, tr("Cancel")));
    layout->addLayout(buttons_);
    connect(list_, &WSIListWindow::rowActivated, this, [this](int) {
        list_->setFocus();
        DoCommand(cm::Ok);
    });
    connect(list_, &WSIListWindow::contextMenuRequested, this, [this](const QPoint& pos, int) {
        std::unique_ptr<QMenu> menu(CreateContextMenu(this));
        if (!menu->isEmpty())
            menu->exec(pos);
    });
    if (source_) {
        fields_ = source_->Fields();
        for (const WSIFieldDef& f : fields_)
            list_->AddColumn(f.label, f.width);
    }
}

WSISearchDialog::~WSISearchDialog() = default;

QMenu* WSISearchDialog::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const QWidget* ok = ControlWidget(cm::Ok);
    const QWidget* cancel = ControlWidget(cm::Cancel);
    for (int i = 0; i < buttons_->count(); ++i) {
        auto* button = qobject_cast<QPushButton*>(buttons_->itemAt(i)->widget());
        if (!button || button == ok || button == cancel || button->isHidden())
            continue;
        QAction* action = menu->addAction(button->text());
        action->setEnabled(button->isEnabled());
        connect(action, &QAction::triggered, button, &QPushButton::click);
    }
    return menu;
}

QString WSISearchDialog::SearchText() const {
    const QString text = search_->text().trimmed();
    return text.startsWith(QLatin1Char('_')) ? QString() : text;
}

int WSISearchDialog::RowLimit() const {
    WSIProfile* profile = Module() ? Module()->GetProfile() : nullptr;
    const long limit =
        profile ? profile->GetInt("ListWindow", "MaxRecords", kDefaultRowLimit) : kDefaultRowLimit;
    return limit > 0 ? static_cast<int>(limit) : kDefaultRowLimit;
}

int WSISearchDialog::RunSearch() {
    WSIWaitCursor wait;
    if (search_->text().trimmed().isEmpty())
        search_->setText(QStringLiteral("_"));
    if (search_->text().trimmed().isEmpty()) {
        MessageBox(kMsgNothingToSearch, mb::OK | mb::ICONINFORMATION);
        return 0;
    }
    list_->Clear();
    chosen_.reset();
    if (!source_)
        return 0;
    const int limit = RowLimit();
    bool asked = false;
    int listed = 0;
    list_->BeginBatch();
    source_->Load(SearchText(), [&](WSIRecord&& record) {
        if (listed == limit && !asked) {
            // Only a further row makes the question worth asking.
            asked = true;
            char text[512];
            TVL_FORMAT(text, LoadString(kMsgRowLimit).toUtf8().constData(), limit);
            if (MessageBox(QString::fromUtf8(text), mb::OKCANCEL | mb::ICONQUESTION) == id::CANCEL)
                return false;
        }
        QStringList cells;
        for (std::size_t i = 0; i < fields_.size(); ++i)
            cells.append(source_->DisplayText(record, static_cast<int>(i), fields_[i]));
        const unsigned marks = record.marks;
        list_->AppendRow(std::move(cells), WSIRowData::Make(std::move(record)), marks);
        ++listed;
        return true;
    });
    list_->EndBatch();
    if (listed > 0)
        list_->SelectRow(0);
    return listed;
}

const WSIRecord* WSISearchDialog::RecordAt(int row) const {
    return list_->RowData<WSIRecord>(row);
}

const WSIRecord* WSISearchDialog::SelectedRecord() const {
    return RecordAt(list_->FirstSelected());
}

void WSISearchDialog::CmOk() {
    const WSIRecord* record = SelectedRecord();
    if (search_->hasFocus() || !record) {
        RunSearch();
        return;
    }
    if (lookup_)
        chosen_ = *record;
    CloseWindow(id::OK);
}
