#pragma once

// The look-ups the scan screens borrow from the catalogue screens, each behind one small
// function, so that the catalogue's own screens are wired in one place.

#include <string>

class BIInventory;
class WSIBarCodeFuncs;
class WSIDialog;

// The product a scan names: the product code or UPC code as scanned, and for GS1 data
// its GTIN in the forms PRODUCT "UPCCode" may hold. 0 when none.
long LookUpScannedProduct(BIInventory& selection, const WSIBarCodeFuncs& scan,
                          const std::string& code);

// The product search in look-up mode: the chosen product and its code.
bool OpenProductSearch(WSIDialog* parent, std::string& code, long& product);

// The vendor look-up: the catalogue's vendor search. False when the user chose none.
bool OpenVendorLookUp(WSIDialog* parent, long& vendor, std::string& name);

// Adds an unknown scanned code to the catalogue: the product editor on a new product with
// that code; its id, 0 when none was stored.
long AddProductWithCode(WSIDialog* parent, const std::string& code);
