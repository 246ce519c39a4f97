#include "PickerDialog.h"

#include "WSIDatabase.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include <memory>

bool PickPlace(QWidget* parent, WSIDatabase& db, bool province, const std::string& current,
               std::string& chosen) {
    QDialog dialog(parent);
    dialog.setWindowTitle(province ? QObject::tr("Provinces") : QObject::tr("Cities"));
    auto* list = new QListWidget(&dialog);
    char name[64] = "";
    const char* sql = province ? "SELECT \"Province\" FROM PROVINCE ORDER BY \"Province\""
                               : "SELECT \"City\" FROM CITY ORDER BY \"City\"";
    std::unique_ptr<WSITable> names = db.Query(__FILE__, __LINE__, "%s", name, sql);
    for (bool more = names->GetFirst(); more; more = names->GetNext()) {
        auto* item = new QListWidgetItem(QString::fromUtf8(name), list);
        item->setData(Qt::UserRole, QString::fromUtf8(name));
        if (current == name)
            list->setCurrentItem(item);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return false;
    chosen = list->currentItem()->data(Qt::UserRole).toString().toStdString();
    return true;
}
