#include "LocationChoice.h"

#include "Records.h"
#include "WSIProfile.h"

#include <QComboBox>

namespace tavel::scan {

std::string TrimmedCode(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

void FillActiveLocations(QComboBox& combo, WSIDatabase* db, WSIProfile* profile) {
    std::string preset;
    if (profile)
        preset = TrimmedCode(profile->GetString("Inventory", "Location", "").c_str());
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
        if (code == preset)
            presetIndex = combo.count() - 1;
    }
    combo.setCurrentIndex(presetIndex);
}

std::string ChosenLocation(const QComboBox& combo) {
    const QString text = combo.currentText().left(23);
    return text.section('\t', 0, 0).left(6).toStdString();
}

} // namespace tavel::scan
