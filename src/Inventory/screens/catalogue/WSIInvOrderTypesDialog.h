#pragma once

// Order types, each of which may carry its own printed-order layout: a report file
// loaded into the record, removed again, and shown in the list as stored or not. A file
// our report engine cannot print is refused when it is chosen, never when an order is
// printed.

#include "WSICatalogueCodesDialog.h"

#include <functional>

class DBInvOType;

class WSIInvOrderTypesDialog : public WSICatalogueCodesDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25019;
    // Commands and the layout path field of the add/change form.
    static constexpr int CmFileHelp = 24301;
    static constexpr int CmFileClear = 24302;
    static constexpr int IdLayoutPath = 103;
    enum Field { FCode, FDescription, FExternal, FInactive, FLayoutStored, FLayoutPath, FChanged };

    // The file-open screen: returns the chosen path, "" when cancelled. Replaceable so
    // that a test chooses the file.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& filter, const QString& folder)>;
    static void SetFileChooser(FileChooser chooser);

    WSIInvOrderTypesDialog(QWidget* parent, WSIApplication* module, DBInvOType* table = nullptr,
                           bool lookup = false);

protected:
    void PrepareForm(WSIAddEditDialog& form, bool isNew) override;
};
