#pragma once

// The catalogue look-ups other screens open: pick a product or a vendor, edit a product,
// see a product's locations. Each runs its screen modally over its own table object and
// returns what was chosen, so a caller needs nothing but this header.

#include <functional>
#include <string>

class QWidget;
class WSIApplication;
class WSIDialog;

namespace tavel::products {

struct ProductChoice {
    long product = 0;        // 0 when nothing was chosen
    std::string productCode; // the chosen product's code
    std::string orderFrom;   // with pickOrderLocation: the location it is ordered from
};

// Opens the product search in look-up mode. prdType preselects a product type (0: all);
// mode 1 is the ordering mode, forLocation the caller's ordering location ("" for none);
// templateId 25013, or 25023 for the order screen; pickOrderLocation (ordering mode): the
// user also picks which of the locations that offer the product it is ordered from.
ProductChoice LookUpProduct(QWidget* parent, WSIApplication* module, long prdType = 0, int mode = 0,
                            const std::string& forLocation = std::string(), int templateId = 25013,
                            bool pickOrderLocation = false);

// Command 36006's bar-code request: a code that is one product's code or UPC code
// (inactive products included), or a GS1 string whose GTIN is one, is answered at once; one that
// begins several products' UPC codes opens the product search on it for the user to pick; one that
// matches nothing gives 0 without a screen. Returns the product id, 0 for none.
long LookUpBarCode(QWidget* parent, WSIApplication* module, const char* code);

// Opens the vendor search in look-up mode; the chosen vendor's id, 0 for none.
long LookUpVendor(QWidget* parent, WSIApplication* module);

// Opens the product edit screen over the product (0 adds one, its product code starting as
// newCode, e.g. a scanned code no product has yet). True when it was stored; product then
// holds its id.
bool EditProduct(QWidget* parent, WSIApplication* module, long& product,
                 const std::string& newCode = std::string());

// The product's location rows (template 25016), selecting invLoc when given; restricted
// disables adding, changing and deleting rows.
void ShowProductLocations(QWidget* parent, WSIApplication* module, long product,
                          const std::string& invLoc = std::string(), bool restricted = false);

// The product's default location row (template 25017), created when missing: what new
// location rows start from. False when it could be neither read nor created.
bool EditProductLocationDefaults(QWidget* parent, WSIApplication* module, long product);

// The product's active rows with their quantities (template 25024). select: a double
// click picks a row; orderableOnly: only rows that can be ordered from. Returns the
// chosen location code ("" when none was chosen).
std::string SelectProductLocation(QWidget* parent, WSIApplication* module, long product,
                                  bool select = false, bool orderableOnly = false);

// Every modal screen of these look-ups runs through WSIRunModal (the dialog layer), so
// that a test can play the user on it.

} // namespace tavel::products
