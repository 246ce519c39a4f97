#pragma once

// Where one product is kept (template 25024): its active location rows with the
// location's name and the quantity there, to look at or, in select mode, to pick one.

#include "WSIDialog.h"

#include <string>

class WSIListWindow;

class WSISelectProductLocationDialog : public WSIDialog {
    Q_OBJECT

public:
    // select: a double click (or Ok) picks the row; orderableOnly: only rows that can be
    // ordered from are listed.
    WSISelectProductLocationDialog(QWidget* parent, WSIApplication* module, long product,
                                   bool select, bool orderableOnly);

    // Reads the rows again; returns how many are listed.
    int LoadList();
    WSIListWindow* List() const { return list_; }
    // Copies at most size - 1 characters of the chosen location code into buffer (zeros
    // first); nothing without a buffer. Empty when nothing was chosen.
    void GetInvLoc(char* buffer, int size) const;
    const std::string& ChosenInvLoc() const { return chosen_; }

    void CmOk() override;

private:
    long product_;
    bool select_;
    bool orderableOnly_;
    WSIListWindow* list_;
    std::string chosen_;
};
