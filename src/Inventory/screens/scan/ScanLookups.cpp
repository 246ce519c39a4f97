#include "ScanLookups.h"

#include "BIInventory.h"
#include "Records.h"
#include "WSIApplication.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"
#include "WSIInvScanDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

long LookUpScannedProduct(BIInventory& selection, const WSIBarCodeFuncs& scan,
                          const std::string& code) {
    // The parser's product is the code the entry field shows; a code that came another way
    // (the scanner's own decoding) is looked up as it is.
    if (code == scan.GetProduct())
        return selection.FindProductByBarCode(scan);
    return selection.FindProduct(code.c_str(), false);
}

bool ProductSearchAvailable() {
    return false;
}

bool OpenProductSearch(WSIDialog*, std::string&, long&) {
    return false;
}

bool ProductEditorAvailable() {
    return false;
}

long AddProductWithCode(WSIDialog*, const std::string&) {
    return 0;
}

namespace {
// A plain list to choose one entry from; the entry's value is its record id.
class ChoiceDialog : public WSIDialog {
public:
    ChoiceDialog(QWidget* parent, WSIApplication* module, int templateId, const QString& title)
        : WSIDialog(parent, module, templateId) {
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        list_ = new QListWidget(this);
        list_->setObjectName("choices");
        layout->addWidget(list_);
        auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        BindCommandButton(cm::Ok, box->button(QDialogButtonBox::Ok));
        BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Cancel));
        layout->addWidget(box);
        connect(list_, &QListWidget::itemActivated, this, [this] { DoCommand(cm::Ok); });
        resize(360, 300);
    }
    void Add(const QString& text, long value) {
        auto* item = new QListWidgetItem(text, list_);
        item->setData(Qt::UserRole, static_cast<qlonglong>(value));
        if (list_->count() == 1)
            list_->setCurrentRow(0);
    }
    QListWidget* List() const { return list_; }
    bool Validate() override { return list_->currentItem() != nullptr; }

private:
    QListWidget* list_;
};
} // namespace

bool OpenVendorLookUp(WSIDialog* parent, long& vendor, std::string& name) {
    WSIApplication* module = parent ? parent->Module() : nullptr;
    WSIDatabase* db = module ? module->GetDb() : nullptr;
    if (!db)
        return false;
    ChoiceDialog dialog(parent, module, 25009, parent->LoadString(39702));
    WSIVendor v(db);
    for (bool found = v.GetFirst(); found; found = v.GetNext())
        if (v.data.Inactive == 0)
            dialog.Add(QString::fromUtf8(v.data.Name), v.data.Vendor);
    if (RunSubScreen(dialog) != id::OK || !dialog.List()->currentItem())
        return false;
    vendor = static_cast<long>(dialog.List()->currentItem()->data(Qt::UserRole).toLongLong());
    name = dialog.List()->currentItem()->text().toStdString();
    return true;
}
