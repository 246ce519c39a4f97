#include "WSIInvOrderLineDetails.h"

#include "BIInventory.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"
#include "WSIListWindow.h"
#include "schema/InventoryCodes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

WSIDatabase* DbOf(WSIApplication* module) {
    return module ? module->GetDb() : nullptr;
}

QString Trimmed(const char* text) {
    return QString::fromUtf8(text).trimmed();
}

QString DateText(const WSIDate& d) {
    return d.IsNull() ? QString() : WSIDateEdit::Format(QDate(d.year, d.month, d.day));
}

constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

// A close button under the list; Enter and Escape close the screen as well.
void AddCloseButton(WSIDialog* screen, QVBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, screen);
    buttons->setObjectName(QStringLiteral("closeButtons"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, screen,
                     [screen] { screen->DoCommand(cm::Cancel); });
    layout->addWidget(buttons);
}

} // namespace

QLineEdit* AddReadOnlyField(WSIDialog* screen, QFormLayout* form, int id, const QString& label,
                            const QString& text) {
    auto* field = new QLineEdit(text, screen);
    field->setReadOnly(true);
    field->setObjectName(QStringLiteral("field%1").arg(id));
    screen->AddControl(id, field);
    form->addRow(label, field);
    return field;
}

// --- Filling details ------------------------------------------------------------------

WSIInvProductFillingDetailsDialog::WSIInvProductFillingDetailsDialog(QWidget* parent,
                                                                     WSIApplication* module,
                                                                     const WSIInvOrderData& line)
    : WSIDialog(parent, module, kTemplate), line_(line), list_(new WSIListWindow(this)) {
    TVL_TRACE("WSIInvProductFillingDetailsDialog::SetupWindow");
    setWindowTitle(tr("Filling Details"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    AddReadOnlyField(this, form, IdOrderedBy, tr("Ordered by"))->setText(Trimmed(line_.InvLoc));
    AddReadOnlyField(this, form, IdDate, tr("Order date"))->setText(DateText(line_.Date));
    QLineEdit* from = AddReadOnlyField(this, form, IdFromLocation, tr("Ordered from"));
    QLineEdit* vendor = AddReadOnlyField(this, form, IdVendor, tr("Vendor"));
    from->setText(Trimmed(line_.InvLocFrom));
    vendor->setText(Trimmed(line_.VendorName));
    // An internal order names the location ordered from, an external one the vendor.
    form->setRowVisible(from, line_.IsExternal == 0);
    form->setRowVisible(vendor, line_.IsExternal != 0);
    AddReadOnlyField(this, form, IdOrder, tr("Order"))->setText(QString::number(line_.InvOrder));

    char typeDesc[64] = {};
    if (WSIDatabase* db = DbOf(module)) {
        std::unique_ptr<WSITable> q = db->Query(
            __FILE__, __LINE__,
            "SELECT T.\"Description\" FROM PRODUCT P, PRDTYPE T WHERE P.\"Product\"=%ld AND "
            "P.\"PrdType\" = T.\"PrdType\" ",
            typeDesc, line_.Product);
        if (!q->GetFirst())
            typeDesc[0] = '\0';
    }
    AddReadOnlyField(this, form, IdProductType, tr("Product type"))->setText(Trimmed(typeDesc));
    AddReadOnlyField(this, form, IdProductCode, tr("Product"))->setText(Trimmed(line_.ProductCode));
    QString description = Trimmed(line_.Description);
    if (description.isEmpty()) {
        // Catalogue items are described by their product.
        char text[128] = {};
        BIInventory reader(DbOf(module));
        if (reader.FindProduct(line_.Product, false) > 0 &&
            reader.GetProductDescription(text, sizeof text))
            description = Trimmed(text);
    }
    AddReadOnlyField(this, form, IdDescription, tr("Description"))->setText(description);
    AddReadOnlyField(this, form, IdQuantity, tr("Quantity"))
        ->setText(QString::number(line_.Quantity));

    list_->setObjectName(QStringLiteral("fillingList"));
    list_->AddColumn(line_.IsExternal ? tr("Vendor") : tr("From"), 220);
    list_->AddColumn(tr("Quantity"), 80, kRight);
    list_->AddColumn(tr("Date"), 100);
    list_->AddColumn(tr("Recorded by"), 200);
    AddControl(kListId, list_);
    layout->addWidget(list_, 1);
    AddCloseButton(this, layout);
    resize(640, 480);
    LoadList();
}

void WSIInvProductFillingDetailsDialog::LoadList() {
    TVL_TRACE("WSIInvProductFillingDetailsDialog::LoadList");
    WSIWaitCursor wait;
    list_->Clear();
    WSIDatabase* db = DbOf(Module());
    if (!db)
        return;
    struct Row {
        char fromName[64];
        short quantity;
        WSIDate date;
        char userName[72];
    } row{};
    static const ColumnDesc kColumns[] = {
        TVL_COL(Row, fromName, Text, 63, false),
        TVL_COL(Row, quantity, Count, 0, false),
        TVL_COL(Row, date, Date, 0, false),
        TVL_COL(Row, userName, Text, 71, false),
    };
    static const TableDesc kDesc{"FILLING_DETAIL_ROW", kColumns, 4, sizeof(Row)};
    // The user is written "Name, First" as the suite writes people's names.
    const char* sql =
        line_.IsExternal
            ? "SELECT V.\"Name\" FromName, I.\"Quantity\", A.\"Date\", (RTRIM (U.\"Name\") || ', ' "
              "|| RTRIM(U.\"First\")) \"UserName\" FROM INVITEM I, INVREC IR, VENDOR V, AUDITHIS "
              "A, USERS U WHERE I.\"InvOrdIt\" = %ld AND I.\"InvRec\" = IR.\"InvRec\"(+) AND "
              "IR.\"Vendor\" = V.\"Vendor\"(+) AND I.\"Audit\" = A.\"Audit\"(+) AND "
              "A.\"User\"=U.\"User\" (+) ORDER BY A.\"Date\" "
            : "SELECT L.\"Name\" FromName, I.\"Quantity\", A.\"Date\", (RTRIM (U.\"Name\") || ', ' "
              "|| RTRIM(U.\"First\")) \"UserName\" FROM INVITEM I, INVLOC L, AUDITHIS A, USERS U "
              "WHERE I.\"InvOrdIt\" = %ld AND I.\"InvLocFrom\" = L.\"InvLoc\"(+) AND I.\"Audit\" = "
              "A.\"Audit\"(+) AND A.\"User\"=U.\"User\" (+) ORDER BY A.\"Date\" ";
    std::unique_ptr<WSITable> q =
        db->Query(__FILE__, __LINE__, sql, WSIResult(kDesc, &row), line_.InvOrdIt);
    list_->BeginBatch();
    for (bool found = q->GetFirst(); found; found = q->GetNext())
        list_->AppendRow({Trimmed(row.fromName), QString::number(row.quantity), DateText(row.date),
                          Trimmed(row.userName)});
    list_->EndBatch();
}

// --- Back-order locations ---------------------------------------------------------

WSIShowBackOrdLocsDialog::WSIShowBackOrdLocsDialog(QWidget* parent, WSIApplication* module,
                                                   long product, const char* invLoc)
    : WSIDialog(parent, module, kTemplate), product_(product),
      invLoc_(std::string(invLoc ? invLoc : "").substr(0, 6)), list_(new WSIListWindow(this)) {
    TVL_TRACE("WSIShowBackOrdLocsDialog::SetupWindow");
    setWindowTitle(tr("Back-Ordered at Other Locations"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    char code[64] = {};
    char description[64] = {};
    BIInventory product_reader(DbOf(module));
    if (product_reader.FindProduct(product_, false) > 0) {
        product_reader.GetProductCode(code, sizeof code);
        product_reader.GetProductDescription(description, sizeof description);
    }
    AddReadOnlyField(this, form, IdProductCode, tr("Product"), Trimmed(code));
    AddReadOnlyField(this, form, IdDescription, tr("Description"), Trimmed(description));
    AddReadOnlyField(this, form, IdLocation, tr("Waiting on"),
                     QString::fromStdString(invLoc_).trimmed());

    list_->setObjectName(QStringLiteral("backOrderList"));
    list_->AddColumn(tr("Order"), 70, kRight);
    list_->AddColumn(tr("Date"), 100);
    list_->AddColumn(tr("Location"), 80);
    list_->AddColumn(tr("Name"), 220);
    list_->AddColumn(tr("Still owed"), 90, kRight);
    AddControl(kListId, list_);
    layout->addWidget(list_, 1);
    AddCloseButton(this, layout);
    resize(640, 420);
    LoadList();
}

void WSIShowBackOrdLocsDialog::LoadList() {
    TVL_TRACE("WSIShowBackOrdLocsDialog::LoadList");
    WSIWaitCursor wait;
    list_->Clear();
    WSIDatabase* db = DbOf(Module());
    if (!db)
        return;
    struct Row {
        long invOrder;
        WSIDate date;
        char invLoc[8];
        char name[40];
        short quantity;
        short qtyFilled;
    } row{};
    static const ColumnDesc kColumns[] = {
        TVL_COL(Row, invOrder, Id, 0, false),    TVL_COL(Row, date, Date, 0, false),
        TVL_COL(Row, invLoc, Code, 7, false),    TVL_COL(Row, name, Text, 39, false),
        TVL_COL(Row, quantity, Count, 0, false), TVL_COL(Row, qtyFilled, Count, 0, false),
    };
    static const TableDesc kDesc{"BACKORDER_LOCS_ROW", kColumns, 6, sizeof(Row)};
    std::unique_ptr<WSITable> q = db->Query(
        __FILE__, __LINE__,
        "SELECT O.\"InvOrder\", O.\"Date\", O.\"InvLoc\",  I.\"Name\", T.\"Quantity\", "
        "T.\"QtyFilled\" FROM INVORDIT T, INVORDER O, INVLOC I  WHERE T.\"Product\" = %ld AND "
        "T.\"InvOrder\" = O.\"InvOrder\" AND O.\"InvLoc\" = I.\"InvLoc\"  AND O.\"InvLocFrom\" = "
        "'%s' AND O.\"Inactive\" = 0 AND T.\"Status\" = %d  ORDER BY O.\"Date\" ",
        WSIResult(kDesc, &row), product_, tavel::EscapeQuotes(invLoc_.c_str()).c_str(),
        static_cast<int>(tavel::OrdItStatus::BackOrdered));
    list_->BeginBatch();
    for (bool found = q->GetFirst(); found; found = q->GetNext()) {
        // More delivered than ordered leaves nothing owed, never a negative amount.
        const long owed = std::max(0, row.quantity - row.qtyFilled);
        list_->AppendRow({QString::number(row.invOrder), DateText(row.date), Trimmed(row.invLoc),
                          Trimmed(row.name), QString::number(owed)},
                         {}, rowmark::BackOrdered);
    }
    list_->EndBatch();
}
