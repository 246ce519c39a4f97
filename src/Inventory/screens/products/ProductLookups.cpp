#include "ProductLookups.h"

#include "BIInventory.h"
#include "CatalogueSources.h"
#include "DBPrdLoc.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "Trace.h"
#include "WSIAddEditProduct.h"
#include "WSIApplication.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"
#include "WSIProductDialog.h"
#include "WSIProductLocationDefaultDialog.h"
#include "WSIProductLocationsDialog.h"
#include "WSISelectProductLocationDialog.h"
#include "WSIVendorDialog.h"

#include <cstring>

namespace tavel::products {

namespace {
WSIDatabase* DbOf(WSIApplication* module) {
    return module ? module->GetDb() : nullptr;
}
} // namespace

ProductChoice LookUpProduct(QWidget* parent, WSIApplication* module, long prdType, int mode,
                            const std::string& forLocation, int templateId,
                            bool pickOrderLocation) {
    TVL_TRACE("tavel::products::LookUpProduct");
    ProductChoice choice;
    WSIDatabase* db = DbOf(module);
    if (!db)
        return choice;
    DBProduct table(db);
    table.InitRecord();
    WSIProductDialog screen(parent, templateId, &table, module, true, mode, forLocation);
    screen.SetPrdType(prdType);
    screen.SetPickOrderLocation(pickOrderLocation);
    if (WSIRunModal(screen) == id::OK && table.IsRecord() && table.data.Product > 0) {
        choice.product = table.data.Product;
        choice.orderFrom = screen.OrderLocation();
        choice.productCode = std::string(
            table.data.ProductCode, strnlen(table.data.ProductCode, sizeof table.data.ProductCode));
    }
    return choice;
}

long LookUpBarCode(QWidget* parent, WSIApplication* module, const char* code) {
    TVL_TRACE("tavel::products::LookUpBarCode");
    WSIDatabase* db = DbOf(module);
    if (!db || !code || !*code)
        return 0;
    BIInventory lookup(db);
    if (const long product = lookup.FindProduct(code, false))
        return product;
    // A GS1 string names its product by GTIN, stored in any of its shorter forms.
    WSIBarCodeFuncs scan;
    if (scan.ScanBarCode(code, WSIBarCodeFuncs::kModeGs1 | WSIBarCodeFuncs::kModePlain))
        if (const long product = lookup.FindProductByBarCode(scan))
            return product;
    ProductSearch probe;
    probe.kind = ProductSearchKind::UPCCode;
    probe.text = ProductPartOfScan(code);
    probe.showInactive = true;
    long first = 0;
    auto cursor = db->Query(__FILE__, __LINE__, "%s", &first, ProductSearchSql(*db, probe).c_str());
    const bool anyMatch = cursor->GetFirst();
    cursor.reset();
    if (!anyMatch)
        return 0;
    DBProduct table(db);
    table.InitRecord();
    WSIProductDialog screen(parent, 25013, &table, module, false);
    screen.SetAllowInactive(true);
    screen.SetBarcode(code);
    WSIRunModal(screen);
    return table.IsRecord() ? table.data.Product : 0;
}

long LookUpVendor(QWidget* parent, WSIApplication* module) {
    TVL_TRACE("tavel::products::LookUpVendor");
    WSIDatabase* db = DbOf(module);
    if (!db)
        return 0;
    DBVendor table(db);
    table.InitRecord();
    WSIVendorDialog screen(parent, 25009, &table, module, true);
    if (WSIRunModal(screen) != id::OK)
        return 0;
    return table.IsRecord() ? table.data.Vendor : 0;
}

bool EditProduct(QWidget* parent, WSIApplication* module, long& product,
                 const std::string& newCode) {
    TVL_TRACE("tavel::products::EditProduct");
    WSIDatabase* db = DbOf(module);
    if (!db)
        return false;
    DBProduct table(db);
    table.InitRecord();
    if (product > 0) {
        table.data.Product = product;
        if (!table.GetEqual(__FILE__, __LINE__))
            return false;
    }
    WSIAddEditProduct screen(parent, 25014, &table, module);
    if (product <= 0 && !newCode.empty())
        screen.SetFieldText(PfProductCode, QString::fromStdString(newCode));
    if (WSIRunModal(screen) != id::OK)
        return false;
    product = table.data.Product;
    return true;
}

void ShowProductLocations(QWidget* parent, WSIApplication* module, long product,
                          const std::string& invLoc, bool restricted) {
    TVL_TRACE("tavel::products::ShowProductLocations");
    if (!DbOf(module) || product <= 0)
        return;
    WSIProductLocationsDialog screen(parent, module, product, invLoc, restricted);
    WSIRunModal(screen);
}

bool EditProductLocationDefaults(QWidget* parent, WSIApplication* module, long product) {
    TVL_TRACE("tavel::products::EditProductLocationDefaults");
    WSIDatabase* db = DbOf(module);
    if (!db || product <= 0)
        return false;
    DBPrdLoc defaults(db);
    if (!defaults.GetDefaults(product))
        return false;
    WSIProduct p(db);
    p.data.Product = product;
    p.GetEqual(__FILE__, __LINE__);
    PrdLocSource source(db, product);
    WSIProductLocationDefaultDialog screen(parent, module, &source, source.ToRecord(defaults.data),
                                           p.data.CanOrder == 1);
    return WSIRunModal(screen) == id::OK;
}

std::string SelectProductLocation(QWidget* parent, WSIApplication* module, long product,
                                  bool select, bool orderableOnly) {
    TVL_TRACE("tavel::products::SelectProductLocation");
    if (!DbOf(module) || product <= 0)
        return std::string();
    WSISelectProductLocationDialog screen(parent, module, product, select, orderableOnly);
    if (WSIRunModal(screen) != id::OK)
        return std::string();
    return screen.ChosenInvLoc();
}

} // namespace tavel::products
