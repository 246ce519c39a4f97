#include "LocationCombo.h"

#include "Records.h"
#include "WSIApplication.h"
#include "WSIProfile.h"

#include <QComboBox>

namespace tavel::moves {

namespace {
std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}
} // namespace

void FillActiveLocations(QComboBox& combo, WSIDatabase* db, const std::string& preset) {
    combo.clear();
    if (!db)
        return;
    WSIInvLoc loc(db);
    int presetIndex = -1;
    for (bool found = loc.GetFirst(); found; found = loc.GetNext()) {
        if (loc.data.Inactive != 0)
            continue;
        const std::string code = TrimmedCode(loc.data.InvLoc);
        combo.addItem(QString::fromStdString(code) + "\t" + QString::fromUtf8(loc.data.Name));
        if (!preset.empty() && code == preset)
            presetIndex = combo.count() - 1;
    }
    combo.setCurrentIndex(presetIndex);
}

std::string SelectedLocation(const QComboBox& combo) {
    if (combo.currentIndex() < 0)
        return {};
    const QString text = combo.currentText().left(23);
    return text.section('\t', 0, 0).left(6).toStdString();
}

bool SelectLocation(QComboBox& combo, const std::string& code) {
    const QString prefix = QString::fromStdString(code) + "\t";
    for (int i = 0; i < combo.count(); ++i)
        if (combo.itemText(i).startsWith(prefix)) {
            combo.setCurrentIndex(i);
            return true;
        }
    return false;
}

std::string TrimmedCode(const char* code) {
    return Trimmed(code ? code : "");
}

std::string InventoryProfileText(WSIApplication* module, const char* key) {
    WSIProfile* profile = module ? module->GetProfile() : nullptr;
    return profile ? Trimmed(profile->GetString("Inventory", key, "")).substr(0, 6) : std::string();
}

} // namespace tavel::moves
