#pragma once

// The product catalogue's search screen: products found by category, code, description,
// vendor, manufacturer or UPC code (a scanned bar code too), within a product type and
// at a location, at most the workstation's row limit before asking. In maintenance mode
// products are added, changed and deleted from here; in look-up mode Ok picks one.

#include "ProductQueries.h"
#include "WSISearchDialog.h"

#include <memory>
#include <string>

class DBProduct;
class QCheckBox;
class WSIComboBox;

namespace tavel::products {
class ProductSearchSource;
} // namespace tavel::products

class WSIProductDialog : public WSISearchDialog {
    Q_OBJECT

public:
    // Control and command ids.
    enum : int {
        IdKind = 25130,
        IdPrdType = 25131,
        IdLocation = 25132,
        IdShowInactive = 25133,
        IdIncludeNotHeld = 25134,
        IdNew = 24001,
        IdEdit = 24002,
        IdDelete = 24003,
        IdProductLocations = 25135,
        IdFindProductLocations = 25136,
    };
    // List columns.
    enum : int { ColCode = 0, ColDescription, ColCategory, ColType, ColVendor, ColQuantity };

    // product: the caller's table object; after Ok in look-up mode it holds the chosen
    // product. lookup: a caller picks a product. mode 1 is the ordering mode.
    // forLocation: the caller's ordering location ("" for none).
    WSIProductDialog(QWidget* parent, int templateId, DBProduct* product, WSIApplication* module,
                     bool lookup, int mode = tavel::products::kMaintenanceMode,
                     const std::string& forLocation = std::string());
    ~WSIProductDialog() override;

    // The choices as the next search uses them.
    tavel::products::ProductSearch CurrentSearch() const;
    void SetKind(tavel::products::ProductSearchKind kind);
    // Chooses the product type whose id is prdType (0: all types).
    void SetPrdType(long prdType);
    // Command 36006: lists the products whose UPC code begins with the bar code.
    void SetBarcode(const std::string& barcode);
    // Lets inactive products be listed (the show-inactive box is set).
    void SetAllowInactive(bool allow);

    // Lists the products; a UPC search first reduces a scanned code to its product part.
    int RunSearch() override;
    // The product id of row, 0 when out of range.
    long ProductAt(int row) const;
    // Look-up: the chosen product is read into the caller's table; maintenance: closes.
    void CmOk() override;
    // Ordering mode for an internal order: the chosen product is ordered from one of the
    // locations that offer it, so closing asks which (one is taken without asking). False
    // keeps the screen open: the pick was cancelled.
    void SetPickOrderLocation(bool pick) { pickOrderLocation_ = pick; }
    bool CanClose();
    // The location CanClose settled on; empty when none was asked for or none offers it.
    const std::string& OrderLocation() const { return orderLocation_; }

    void CmNewProduct();
    void CmEditProduct();
    void CmDeleteProduct();
    void CmProductLocations();
    void CmFindProductLocations();

private:
    friend class tavel::products::ProductSearchSource;
    WSIProductDialog(QWidget* parent, int templateId, DBProduct* product, WSIApplication* module,
                     bool lookup, int mode, const std::string& forLocation,
                     tavel::products::ProductSearchSource* source);
    void FillChoices();
    void UpdateColumns();
    void UpdateCommands();
    // Writes the row of product (re-read) or removes it when the product is gone.
    void RefreshRow(int row, long product);

    std::unique_ptr<tavel::products::ProductSearchSource> searchSource_;
    DBProduct* product_;
    int mode_;
    std::string forLocation_;
    bool pickOrderLocation_ = false;
    std::string orderLocation_;
    WSIComboBox* kind_;
    WSIComboBox* prdType_;
    WSIComboBox* location_;
    QCheckBox* showInactive_;
    QCheckBox* includeNotHeld_;
};
