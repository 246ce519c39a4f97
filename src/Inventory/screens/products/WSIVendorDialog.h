#pragma once

// Vendors: the search screen (template 25009) that finds them by name, address or city,
// or phone, within the workstation's row limit, and adds, changes, deletes and prints
// them; in look-up mode Ok picks one.

#include "CatalogueSources.h"
#include "ProductQueries.h"
#include "WSIAddEditDialog.h"
#include "WSISearchDialog.h"

#include <memory>

class DBVendor;
class QCheckBox;
class WSIComboBox;

namespace tavel::products {
class VendorSearchSource;
} // namespace tavel::products

class WSIVendorDialog : public WSISearchDialog {
    Q_OBJECT

public:
    enum : int {
        IdKind = 25120,
        IdShowInactive = 25121,
        IdNew = 24001,
        IdEdit = 24002,
        IdDelete = 24003,
        IdPrint = 24004,
        IdPreview = 24005,
    };

    // vendor: the caller's table object; it holds the selected vendor (cleared without a
    // selection) and, after Ok in look-up mode, the chosen one.
    WSIVendorDialog(QWidget* parent, int templateId, DBVendor* vendor, WSIApplication* module,
                    bool lookup);
    ~WSIVendorDialog() override;

    tavel::products::VendorSearchKind Kind() const;
    void SetKind(tavel::products::VendorSearchKind kind);
    bool ShowInactive() const;
    long VendorAt(int row) const;

    void CmNewVendor();
    void CmEditVendor();
    void CmDeleteVendor();
    void CmPrintVendors(bool preview);
    // A click on a heading searches again in that column's order.
    void EvColumnClick(int column);

private:
    WSIVendorDialog(QWidget* parent, int templateId, DBVendor* vendor, WSIApplication* module,
                    bool lookup, tavel::products::VendorSearchSource* source);
    void UpdateCommands();
    // Re-reads the vendor of row; false (and the row removed) when it is gone.
    bool ReadRowVendor(int row);

    std::unique_ptr<tavel::products::VendorSearchSource> searchSource_;
    DBVendor* vendor_;
    tavel::products::VendorSource editSource_;
    WSIComboBox* kind_;
    QCheckBox* showInactive_;
};

// The add/edit screen of one vendor (template 25010), with the city and province
// pickers of the host.
class WSIAddEditVendor : public WSIAddEditDialog {
    Q_OBJECT

public:
    enum : int { IdCityHelp = 25125, IdProvinceHelp = 25126 };

    WSIAddEditVendor(QWidget* parent, WSIApplication* module, tavel::products::VendorSource* source,
                     WSIRecord record, bool isNew);

    // Asks the host for a city and fills city, province, postal code and, when the
    // vendor has none stored, the area code.
    void CmCityHelp();
    void CmProvinceHelp();
    // A postal code typed in: the city it belongs to fills city and province (and the
    // area code when the vendor has none stored); an unknown code changes nothing.
    void EvPostalChange();

private:
    void FillFromCity(const WSICity::WSIData& place, bool withPostalCode);

    QString storedArea_;
};
