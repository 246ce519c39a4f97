#pragma once

// Two read-only screens about order lines that the list views open: where the stock
// that filled one line came from, delivery by delivery; and which locations wait on
// back-ordered lines of a product from one location.

#include "Records.h"
#include "WSIDialog.h"

#include <string>

class QFormLayout;
class QLabel;
class QLineEdit;
class WSIListWindow;

// Adds a read-only field showing text under label, registered as control id.
QLineEdit* AddReadOnlyField(WSIDialog* screen, QFormLayout* form, int id, const QString& label,
                            const QString& text = QString());

// Deliveries that filled one order line, oldest first: the supplying location (internal
// order) or the receipt's vendor (external order), the quantity, the date and the user.
class WSIInvProductFillingDetailsDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25026;
    static constexpr int kListId = 5111;
    enum : int {
        IdOrderedBy = 101,
        IdDate = 102,
        IdFromLocation = 103,
        IdVendor = 104,
        IdOrder = 105,
        IdProductType = 106,
        IdProductCode = 107,
        IdDescription = 108,
        IdQuantity = 109,
    };
    enum Column : int { ColFrom = 0, ColQuantity, ColDate, ColUser };

    WSIInvProductFillingDetailsDialog(QWidget* parent, WSIApplication* module,
                                      const WSIInvOrderData& line);

    void LoadList();
    WSIListWindow* List() const { return list_; }

private:
    WSIInvOrderData line_;
    WSIListWindow* list_;
};

// Active internal orders placed on a location whose line for a product is back-ordered,
// oldest first, with what is still owed.
class WSIShowBackOrdLocsDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25033;
    static constexpr int kListId = 5111;
    enum : int { IdProductCode = 101, IdDescription = 102, IdLocation = 103 };
    enum Column : int { ColOrder = 0, ColDate, ColLocation, ColName, ColOwed };

    // invLoc: the supplying location (up to 6 characters; "" for none).
    WSIShowBackOrdLocsDialog(QWidget* parent, WSIApplication* module, long product,
                             const char* invLoc);

    void LoadList();
    WSIListWindow* List() const { return list_; }

private:
    long product_;
    std::string invLoc_;
    WSIListWindow* list_;
};
