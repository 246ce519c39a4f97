#pragma once

// Character widths of the text columns (the record buffer holds width + 1). A width
// shared by several tables is named once, so a value copied from one table into
// another (a location code, a unit, a product code) always fits.
struct ColWidth {
    // Codes fixed by the SQL the module writes.
    static constexpr unsigned short InvLoc = 6; // location codes, CAST(' ' AS CHAR(6))
    static constexpr unsigned short PrdCat = 6;
    static constexpr unsigned short InvOType = 6;
    static constexpr unsigned short InvAdj = 6;
    static constexpr unsigned short ProductCode = 20; // VARCHAR2(20) in the order list
    static constexpr unsigned short Bin = 12;         // CHAR(12) / VARCHAR2(12)
    static constexpr unsigned short VendorName = 50;  // VARCHAR2(50)
    static constexpr unsigned short LineDescription = 50;
    static constexpr unsigned short RefNo = 50;
    static constexpr unsigned short ListComment = 128; // comments as the order lists show them

    // Widths of our choosing.
    static constexpr unsigned short UPCCode = 20;     // GTIN-14 and shorter codes
    static constexpr unsigned short ProductDesc = 50; // as in the vendor-requests row
    static constexpr unsigned short CodeDesc = 30;    // types, categories, order types ...
    static constexpr unsigned short Unit = 10;        // a PRDUNIT description
    static constexpr unsigned short PONumber = 20;    // the receiving screen's PO field
    static constexpr unsigned short Comment = 255;    // order-line comment
    static constexpr unsigned short Manufacturer = 50;
    static constexpr unsigned short PlaceName = 30; // location, city and province names
    static constexpr unsigned short Address = 50;
    static constexpr unsigned short PostalCode = 10;
    static constexpr unsigned short AreaCode = 6;
    static constexpr unsigned short Phone = 20;
    static constexpr unsigned short Notes = 255;        // vendor notes
    static constexpr unsigned short BarCode = 20;       // location and sundry bar codes
    static constexpr unsigned short PersonName = 30;    // USERS "Name", "First", "Middle"
    static constexpr unsigned short Login = 20;         // USERS sign-in name
    static constexpr unsigned short PasswordHash = 128; // a libsodium password hash string
    static constexpr unsigned short Sundry = 10;        // the suite's billable item code
    static constexpr unsigned short AuditTable = 20;    // table an audit entry was made for
    static constexpr unsigned short AuditNote = 128;
};
