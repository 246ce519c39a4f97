#pragma once

// The product report's choices: the catalogue by product type, order and style (type 0),
// or what one location holds by product type and order (type 1), printed or previewed
// through "Product.rpt".

#include "WSIDialog.h"

#include <string>

class QLabel;
class QRadioButton;
class WSIComboBox;

class WSIProductReportDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25040;
    static constexpr int CmPreview = 24401;
    enum : int {
        IdType0 = 201,
        IdType1 = 202,
        IdPrdType0 = 203,
        IdOrder0 = 204,
        IdStyle = 205,
        IdPrdType1 = 206,
        IdLocation = 207,
        IdOrder1 = 208,
        IdLabel = 209,
    };

    // preview: OK previews instead of printing.
    WSIProductReportDialog(QWidget* parent, int templateId, bool preview, WSIApplication* module);

    // The choices as the report receives them.
    struct Choice {
        int reportType = 0;
        long prdType = -1;
        std::string invLoc;
        int orderBy = 0;
        int style = 0;
    };
    Choice CurrentChoice() const;

    void CmReportTypeRadio();
    void CmOk() override;
    // Prints (or previews) the choice; false when the report could not be printed.
    bool ProductReport(const Choice& choice, bool preview);

private:
    bool preview_;
    QRadioButton* type0_;
    QRadioButton* type1_;
    WSIComboBox* prdType0_;
    WSIComboBox* order0_;
    WSIComboBox* style_;
    WSIComboBox* prdType1_;
    WSIComboBox* location_;
    WSIComboBox* order1_;
    QLabel* label_;
};
