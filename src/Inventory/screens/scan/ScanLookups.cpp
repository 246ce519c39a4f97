#include "ScanLookups.h"

#include "BIInventory.h"
#include "ProductLookups.h"
#include "Records.h"
#include "WSIApplication.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"
#include "WSIInvScanDialog.h"

long LookUpScannedProduct(BIInventory& selection, const WSIBarCodeFuncs& scan,
                          const std::string& code) {
    // The parser's product is the code the entry field shows; a code that came another way
    // (the scanner's own decoding) is looked up as it is.
    if (code == scan.GetProduct())
        return selection.FindProductByBarCode(scan);
    return selection.FindProduct(code.c_str(), false);
}

bool OpenProductSearch(WSIDialog* parent, std::string& code, long& product) {
    const tavel::products::ProductChoice choice =
        tavel::products::LookUpProduct(parent, parent ? parent->Module() : nullptr);
    if (choice.product == 0)
        return false;
    code = choice.productCode;
    product = choice.product;
    return true;
}

long AddProductWithCode(WSIDialog* parent, const std::string& code) {
    long product = 0;
    if (!tavel::products::EditProduct(parent, parent ? parent->Module() : nullptr, product, code))
        return 0;
    return product;
}

bool OpenVendorLookUp(WSIDialog* parent, long& vendor, std::string& name) {
    WSIApplication* module = parent ? parent->Module() : nullptr;
    WSIDatabase* db = module ? module->GetDb() : nullptr;
    if (!db)
        return false;
    const long chosen = tavel::products::LookUpVendor(parent, module);
    if (chosen <= 0)
        return false;
    BIInventory selection(db);
    if (!selection.FindVendor(chosen))
        return false;
    char text[ColWidth::VendorName + 1] = "";
    selection.GetVendorName(text, sizeof text);
    vendor = chosen;
    name = text;
    return true;
}
