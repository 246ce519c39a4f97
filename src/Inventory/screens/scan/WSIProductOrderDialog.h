#pragma once

// Finds the external order a delivery belongs to: by order number, order date or PO
// number. The receiving screen takes the chosen order.

#include "WSISearchDialog.h"

#include <memory>

class BIInvReceive;
class WSIComboBox;
class WSIDateEdit;

namespace tavel::detail {
class OrderSearchSource;
// Holds the record source, so that it exists before the search screen asks it for fields.
struct OrderSearchHolder {
    explicit OrderSearchHolder(WSIApplication* module);
    ~OrderSearchHolder();
    std::unique_ptr<OrderSearchSource> source;
};
} // namespace tavel::detail

class WSIProductOrderDialog : private tavel::detail::OrderSearchHolder, public WSISearchDialog {
public:
    static constexpr int kTemplate = 25136;
    enum Kind : int { KindOrderNumber = 0, KindOrderDate = 1, KindPONumber = 2 };
    static constexpr unsigned kMsgBadDate = 10003;
    static constexpr unsigned kMsgNoOrders = 38607;

    WSIProductOrderDialog(QWidget* parent, WSIApplication* module);
    ~WSIProductOrderDialog() override;

    int RunSearch() override;
    void EvSearchOnChange();
    // The order of the selected row; 0 when none is selected.
    long ChosenOrder() const;

    WSIComboBox* KindField() const { return kind_; }
    WSIDateEdit* DateField() const { return date_; }

private:
    WSIComboBox* kind_;
    WSIDateEdit* date_;
};
