#include "ListCsvExport.h"

#include "Clock.h"
#include "CsvFile.h"
#include "RecordSql.h"
#include "WSIDialog.h"
#include "WSIListWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

#include <fstream>
#include <vector>

namespace tavel::csvexport {

namespace {

// The file could not be written.
constexpr unsigned kMsgCannotWrite = 40330;

QString AskWhereToSave(QWidget* parent, const QString& suggestedName) {
    return QFileDialog::getSaveFileName(parent, QString(), QDir::home().filePath(suggestedName),
                                        QStringLiteral("CSV (*.csv)"));
}

SaveChooser& Chooser() {
    static SaveChooser chooser = AskWhereToSave;
    return chooser;
}

// Lists show dates as month/day/year; files carry them as year-month-day.
std::string FileText(const QString& cell) {
    static const QRegularExpression shownDate(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"));
    const std::string text = cell.toStdString();
    WSIDate date;
    if (shownDate.match(cell).hasMatch() && ParseEntryDate(text, DateForm::MonthDayYear, date)) {
        char iso[16];
        db::FormatIsoDate(date, iso);
        return iso;
    }
    return text;
}

} // namespace

std::string ListToCsv(const WSIListWindow& list) {
    const WSIListModel& model = *list.Model();
    std::vector<int> shown;
    for (int c = 0; c < model.ColumnCount(); ++c)
        if (list.GetColumnWidth(c) > 0)
            shown.push_back(c);
    std::string out;
    std::vector<std::string> fields;
    for (int c : shown)
        fields.push_back(model.ColumnAt(c).heading.toStdString());
    csv::AppendRow(out, fields);
    for (int r = 0; r < model.RowCount(); ++r) {
        fields.clear();
        for (int c : shown)
            fields.push_back(FileText(model.ItemText(r, c)));
        csv::AppendRow(out, fields);
    }
    return out;
}

void SetSaveChooser(SaveChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : SaveChooser(AskWhereToSave);
}

bool SaveCsv(WSIDialog& screen, const std::string& text, const QString& suggestedName) {
    const QString path = Chooser()(&screen, suggestedName);
    if (path.isEmpty())
        return false;
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    if (!out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush()) {
        screen.MessageBox(kMsgCannotWrite, mb::OK | mb::ICONEXCLAMATION);
        return false;
    }
    return true;
}

} // namespace tavel::csvexport
