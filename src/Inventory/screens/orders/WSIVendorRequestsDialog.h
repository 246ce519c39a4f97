#pragma once

// One vendor's products with what a location holds, what others ask of it, what it has
// on order and what should be ordered. The rows the user selects become order lines
// when the screen closes.

#include "Records.h"
#include "WSIDialog.h"

#include <string>
#include <vector>

class QCheckBox;
class WSIListWindow;
struct WSIListRow;

class WSIVendorRequestsDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25022;
    static constexpr int kListId = 5111;
    enum : int { IdVendorName = 101, IdLocation = 102, IdExpand = 103, IdFullList = 104 };
    enum Column : int {
        ColProductCode = 0,
        ColCategory,
        ColDescription,
        ColUnit,
        ColOrderType,
        ColOnHandTracked,
        ColOnHandCounted,
        ColOrders,
        ColMinCount,
        ColNeed,
        ColOnOrder,
        ColReorderCount,
        ColMinToOrder,
        ColStdToOrder,
        ColSuggest,
        kColumnCount
    };

    // leaveOut: an order whose lines do not count as on order (0 for none).
    WSIVendorRequestsDialog(QWidget* parent, WSIApplication* module, long vendor,
                            const char* invLoc, long leaveOut);

    void LoadList();
    void CmFullList();
    void CmExpand();
    // Collects the selected rows as the chosen requests and closes the screen.
    void EvClose();
    void CmCancel() override;
    void CmOk() override {}
    // The next chosen request, or null after the last (the next call starts over).
    const WSIVendorRequestsData* GetNextVendorRequest();
    void EvColumnClick(int column);

    WSIListWindow* List() const { return list_; }
    static int Compare(const WSIVendorRequestsData& a, const WSIVendorRequestsData& b, int column);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    long vendor_;
    std::string invLoc_;
    long leaveOut_;
    int expandWidth_ = 0;
    bool collected_ = false;
    QCheckBox* expand_ = nullptr;
    QCheckBox* fullList_ = nullptr;
    WSIListWindow* list_ = nullptr;
    std::vector<WSIVendorRequestsData> chosen_;
    std::size_t next_ = 0;
};
