#pragma once

// The generic search screen: a search text, a list of the matching records and a
// choice. Searching lists at most the workstation's row limit before asking whether
// to list the rest. A derived screen adds its own filter controls and may build its
// search from them through its record source.

#include "WSIDialog.h"
#include "WSIRecordSource.h"

#include <optional>
#include <vector>

class QBoxLayout;
class QLineEdit;
class QMenu;

class WSISearchDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int CmSearch = 24011;
    static constexpr int kDefaultRowLimit = 100;
    // Nothing to search for / the row limit was reached (formatted with the limit).
    static constexpr unsigned kMsgNothingToSearch = 28219;
    static constexpr unsigned kMsgRowLimit = 28399;

    // source must outlive the screen. lookup: Ok chooses the selected record.
    WSISearchDialog(QWidget* parent, WSIApplication* module, int templateId,
                    WSIRecordSource* source, bool lookup = true);
    ~WSISearchDialog() override;

    QLineEdit* SearchEdit() const { return search_; }
    WSIListWindow* List() const { return list_; }
    WSIRecordSource* Source() const { return source_; }
    bool IsLookup() const { return lookup_; }

    // The text searched for: the field's text, "" when it begins with "_" (which
    // stands for everything).
    QString SearchText() const;
    // Rows listed before asking: profile "ListWindow" / "MaxRecords", default 100.
    int RowLimit() const;

    // Lists the records matching the search text. An empty field becomes "_". When
    // the limit is reached and more follow, asks once (Ok/Cancel); Cancel stops there.
    // Returns the rows listed.
    virtual int RunSearch();

    const WSIRecord* RecordAt(int row) const;
    const WSIRecord* SelectedRecord() const;
    // The record chosen by Ok; empty until then.
    const std::optional<WSIRecord>& Chosen() const { return chosen_; }

    // With the search field focused, or nothing selected: search. Otherwise choose the
    // selected record and close (look-up) or just close (browsing).
    void CmOk() override;

    // The list's context menu: the screen's own commands (its buttons beside Select and
    // Close), each enabled as its button is. The caller owns the menu.
    QMenu* CreateContextMenu(QWidget* parent);

protected:
    // Where a derived screen adds its filter controls (beside the search text).
    QBoxLayout* FilterLayout() const { return filters_; }
    // Where a derived screen adds its own buttons.
    QBoxLayout* ButtonLayout() const { return buttons_; }
    const std::vector<WSIFieldDef>& Fields() const { return fields_; }

private:
    WSIRecordSource* source_;
    bool lookup_;
    QLineEdit* search_;
    WSIListWindow* list_;
    QBoxLayout* filters_;
    QBoxLayout* buttons_;
    std::vector<WSIFieldDef> fields_;
    std::optional<WSIRecord> chosen_;
};
