#include "LocationChoice.h"

#include "Records.h"
#include "WSIApplication.h"
#include "WSIProfile.h"

#include <QComboBox>

namespace tavel::scan {

std::string TrimmedCode(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

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

void FillActiveLocations(QComboBox& combo, WSIDatabase* db, WSIProfile* profile) {
    const std::string preset =
        profile ? TrimmedCode(profile->GetString("Inventory", "Location", "").c_str()) : "";
    FillActiveLocations(combo, db, preset);
}

std::string ChosenLocation(const QComboBox& combo) {
    if (combo.currentIndex() < 0)
        return std::string();
    const QString text = combo.currentText().left(23);
    return text.section('\t', 0, 0).left(6).toStdString();
}

bool ChooseLocation(QComboBox& combo, const std::string& code) {
    const QString prefix = QString::fromStdString(code) + "\t";
    for (int i = 0; i < combo.count(); ++i)
        if (combo.itemText(i).startsWith(prefix)) {
            combo.setCurrentIndex(i);
            return true;
        }
    return false;
}

std::string InventoryProfileLocation(WSIApplication* module, const char* key) {
    WSIProfile* profile = module ? module->GetProfile() : nullptr;
    return profile ? TrimmedCode(profile->GetString("Inventory", key, "").c_str()).substr(0, 6)
                   : std::string();
}

} // namespace tavel::scan
