#include "WSIAddEditDialog.h"

#include "WSIComboBox.h"
#include "WSIDateEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

WSIAddEditDialog::WSIAddEditDialog(QWidget* parent, WSIApplication* module, int templateId,
                                   WSIRecordSource* source, WSIRecord record, bool isNew)
    : WSIDialog(parent, module, templateId), source_(source),
      fields_(source ? source->Fields() : std::vector<WSIFieldDef>{}), record_(std::move(record)),
      isNew_(isNew), form_(new QFormLayout) {
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const WSIFieldDef& f = fields_[i];
        QWidget* w = nullptr;
        switch (f.kind) {
        case WSIFieldDef::Kind::Flag:
            w = new QCheckBox(this);
            break;
        case WSIFieldDef::Kind::Date:
            w = new WSIDateEdit(this);
            break;
        case WSIFieldDef::Kind::Choice: {
            auto* combo = new WSIComboBox(this);
            for (const auto& [text, value] : f.choices)
                combo->AddEntry(text, value);
            w = combo;
            break;
        }
        default: {
            auto* edit = new QLineEdit(this);
            if (f.maxLength > 0)
                edit->setMaxLength(f.maxLength);
            w = edit;
        }
        }
        // A key names the record; changing it would make it another record.
        if (f.key && !isNew_)
            w->setEnabled(false);
        form_->addRow(f.label, w);
        widgets_.push_back(w);
        AddControl(kFirstFieldId + static_cast<int>(i), w);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddCommandButton(cm::Ok, tr("OK")));
    buttons->addWidget(AddCommandButton(cm::Cancel, tr("Cancel")));
    layout->addLayout(buttons);
    CopyFromRecord(record_);
}

QWidget* WSIAddEditDialog::FieldWidget(int field) const {
    return field >= 0 && field < FieldCount() ? widgets_[static_cast<std::size_t>(field)] : nullptr;
}

QString WSIAddEditDialog::FieldText(int field) const {
    QWidget* w = FieldWidget(field);
    if (auto* box = qobject_cast<QCheckBox*>(w))
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* combo = qobject_cast<WSIComboBox*>(w))
        return combo->currentIndex() < 0 ? QString() : QString::number(combo->CurrentValue());
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().trimmed();
    return {};
}

void WSIAddEditDialog::SetFieldText(int field, const QString& text) {
    QWidget* w = FieldWidget(field);
    if (auto* box = qobject_cast<QCheckBox*>(w))
        box->setChecked(text.trimmed() == QLatin1String("1"));
    else if (auto* combo = qobject_cast<WSIComboBox*>(w))
        combo->setCurrentIndex(combo->FindValue(text.trimmed().toLong()));
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
}

void WSIAddEditDialog::CopyToRecord(WSIRecord& record) const {
    record.values.clear();
    for (int i = 0; i < FieldCount(); ++i)
        record.values.append(FieldText(i));
}

void WSIAddEditDialog::CopyFromRecord(const WSIRecord& record) {
    for (int i = 0; i < FieldCount(); ++i)
        SetFieldText(i, record.Value(i));
}

void WSIAddEditDialog::FocusField(int field) {
    if (QWidget* w = FieldWidget(field))
        w->setFocus();
}

bool WSIAddEditDialog::Validate() {
    for (int i = 0; i < FieldCount(); ++i) {
        const WSIFieldDef& f = fields_[static_cast<std::size_t>(i)];
        const QString text = FieldText(i);
        unsigned failure = 0;
        if (f.required && text.isEmpty())
            failure = kMsgRequired;
        else if (!text.isEmpty() && f.kind == WSIFieldDef::Kind::Date &&
                 !WSIDateEdit::Parse(text).isValid())
            failure = kMsgBadDate;
        else if (!text.isEmpty() && f.kind == WSIFieldDef::Kind::Number) {
            bool ok = false;
            text.toLong(&ok);
            failure = ok ? 0 : kMsgBadNumber;
        } else if (!text.isEmpty() && f.kind == WSIFieldDef::Kind::Amount) {
            bool ok = false;
            text.toDouble(&ok);
            failure = ok ? 0 : kMsgBadNumber;
        }
        if (failure) {
            MessageBox(failure, mb::OK | mb::ICONEXCLAMATION);
            FocusField(i);
            return false;
        }
    }
    return true;
}

void WSIAddEditDialog::CmOk() {
    if (!Validate() || !source_)
        return;
    WSIRecord candidate = record_;
    CopyToRecord(candidate);
    QString message;
    int failedField = -1;
    if (!source_->Save(candidate, isNew_, this, message, failedField)) {
        if (!message.isEmpty())
            MessageBox(message, mb::OK | mb::ICONEXCLAMATION);
        FocusField(failedField);
        return;
    }
    record_ = std::move(candidate);
    CloseWindow(id::OK);
}
