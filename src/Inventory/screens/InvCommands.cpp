#include "InvCommands.h"

#include "BIException.h"
#include "BIInvAdj.h"
#include "CommandParameters.h"
#include "Trace.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"

#include <cstring>

namespace {
// The request's codes may fill their field without a terminator; never read past it.
template <std::size_t N> void CopyCode(char (&out)[N], const char (&in)[N]) {
    std::size_t n = strnlen(in, N - 1);
    std::memcpy(out, in, n);
    out[n] = '\0';
}
} // namespace

bool CmPerformAdjustment(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmPerformAdjustment");
    auto* request = static_cast<const AdjustmentRequest*>(app.CommandParameter);
    WSIDatabase* db = app.GetHostApplication() ? app.GetHostDb() : nullptr;
    if (!request || !db)
        return true;
    char invLoc[7];
    char invAdj[7];
    CopyCode(invLoc, request->InvLoc);
    CopyCode(invAdj, request->InvAdj);
    BIInvAdj adjust(db);
    try {
        adjust.Adjust(invLoc, request->Type, static_cast<long>(request->Product), request->Quantity,
                      invAdj, false, true, true, 0, 0, 0, nullptr, 0);
    } catch (...) {
        // The adjustment leaves its unit of work to its caller when it fails: abort it here,
        // so that nothing stays open or half written after a refused request.
        if (db->TransactionLevel() > 0)
            db->TransactionAbort();
    }
    return true;
}

void RegisterInventoryCommands(WSIInventoryApp& app) {
    TVL_TRACE("RegisterInventoryCommands");
    app.GetResponseTable().AddCommand(cmd::PerformAdjustment,
                                      [&app] { return CmPerformAdjustment(app); });
}
