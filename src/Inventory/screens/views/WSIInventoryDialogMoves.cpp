// The main screen's commands that open the stock-moving screens.

#include "WSIInventoryDialog.h"

#include "Trace.h"
#include "WSIInvAdjDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInvTransferDialog.h"
#include "WSIListWindow.h"

void WSIInventoryDialog::CmTransfer() {
    TVL_TRACE("WSIInventoryDialog::CmTransfer");
    bool anySelected = false;
    const std::string orderingLoc = TransferLocation(&anySelected);
    WSIInvTransferDialog::ReceivedRows rows;
    if (anySelected) {
        // Read when the transfer runs: the rows selected in the received list then.
        auto* received = static_cast<WSIInvReceivedDialog*>(ListView(TabReceived));
        rows = [this, received] {
            CompleteFills();
            std::vector<const WSIReceivedData*> out;
            for (int row : received->List()->SelectedRows())
                out.push_back(received->RowRecord(row));
            return out;
        };
    }
    WSIInvTransferDialog transfer(this, Module(), std::move(rows), orderingLoc);
    WSIRunModal(transfer);
}

void WSIInventoryDialog::CmAdjust() {
    TVL_TRACE("WSIInventoryDialog::CmAdjust");
    WSIInvAdjDialog adjust(this, Module());
    WSIRunModal(adjust);
}

void WSIInventoryDialog::CmUsage() {
    TVL_TRACE("WSIInventoryDialog::CmUsage");
    WSIInvUsageDlg usage(this, Module());
    WSIRunModal(usage);
}
