#pragma once

// Import from a CSV file: the kind of list, the file, and whether to only check it or to
// skip the bad rows. The file is always checked first; its report (line, column and
// message of every bad row, then what was imported) is listed, and the rows are written
// only after the user confirms a check that would write them.

#include "BICsvImport.h"
#include "WSIDialog.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class WSIListWindow;

class WSIInvCsvImportDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25260;
    enum : int { IdBrowse = 201, IdImport = 202 };
    enum Column : int { ColLine = 0, ColColumn, ColMessage };

    static constexpr unsigned kMsgTitle = 40405;
    static constexpr unsigned kMsgNoFile = 40406;
    static constexpr unsigned kMsgCannotOpen = 40407;
    static constexpr unsigned kMsgConfirmAll = 40408;
    static constexpr unsigned kMsgConfirmSkipping = 40409;
    static constexpr unsigned kMsgCancelled = 40410;

    WSIInvCsvImportDialog(QWidget* parent, WSIApplication* module);
    ~WSIInvCsvImportDialog() override;

    // Asks for the file to import (the folder of the last one first); an empty answer
    // keeps the one typed. Tests set their own; an empty chooser puts the file dialog back.
    using OpenChooser = std::function<QString(QWidget* parent, const QString& folder)>;
    static void SetOpenChooser(OpenChooser chooser);

    void CmBrowse();
    // Checks the file, lists its report and, when the check would write rows and the
    // user is not only checking, imports them after the user confirms.
    void CmImport();

    tavel::csv::ListKind Kind() const;
    void SetKind(tavel::csv::ListKind kind);
    WSIListWindow* ReportList() const { return report_; }
    QString Summary() const;

private:
    WSIDatabase* Db() const { return Module() ? Module()->GetDb() : nullptr; }
    void BuildHeader();
    void BuildReport();
    void ShowColumns();
    bool Run(const QString& path, const tavel::csv::ImportOptions& options,
             tavel::csv::ImportReport& report);
    void ShowReport(const tavel::csv::ImportReport& report,
                    const tavel::csv::ImportOptions& options);
    // A message of the string table with its numbers and names filled in.
    template <class... A> QString Filled(unsigned code, A... args) const;

    QComboBox* kind_ = nullptr;
    QLabel* columns_ = nullptr;
    QLineEdit* file_ = nullptr;
    QCheckBox* dryRun_ = nullptr;
    QCheckBox* skipBad_ = nullptr;
    WSIListWindow* report_ = nullptr;
    QLabel* summary_ = nullptr;
};
