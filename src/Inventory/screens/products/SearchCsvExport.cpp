#include "SearchCsvExport.h"

#include "ListCsvExport.h"
#include "Trace.h"
#include "WSIListWindow.h"
#include "WSISearchDialog.h"

namespace tavel::products {

namespace {
// Nothing is listed to export.
constexpr unsigned kMsgNothingListed = 40411;
} // namespace

void ExportListed(WSISearchDialog& screen, const QString& suggestedName) {
    TVL_TRACE("ExportListed");
    if (screen.List()->RowCount() == 0) {
        screen.MessageBox(kMsgNothingListed, mb::OK | mb::ICONINFORMATION);
        return;
    }
    csvexport::SaveCsv(screen, csvexport::ListToCsv(*screen.List()), suggestedName);
}

} // namespace tavel::products
