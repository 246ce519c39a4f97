#pragma once

// Pieces the screens around one received lot share (cost correction, repackaging,
// splitting): how they show its figures and how they read the quantities and costs typed in.

#include "Records.h"

#include <QString>

class BIException;
class QLabel;
class QLineEdit;
class QWidget;
class WSIDialog;

namespace tavel::lots {

// The largest quantity a lot movement takes (the business layer counts in short).
inline constexpr long kMaxQuantity = 32767;

// The messages of a field left empty, a quantity that is not one, a cost that is not one.
inline constexpr unsigned kMsgRequired = 45032;
inline constexpr unsigned kMsgBadQuantity = 38512;
inline constexpr unsigned kMsgBadCost = 39705;
inline constexpr int kWarnCostChanged = 25127;

// A quantity shown as a whole number, a cost or value with two decimals.
QString Whole(double quantity);
QString Money(double amount);
// "CODE  Description" of the row's product.
QString ProductText(const WSIReceivedData& row);
// A read-only value on a screen, named for tests.
QLabel* ValueLabel(QWidget* parent, const char* name, const QString& text = QString());
// A field for a whole quantity of 0 to kMaxQuantity.
QLineEdit* QuantityField(QWidget* parent, const char* name, const QString& text);

enum class Entry { Empty, Invalid, Ok };
// The field's whole number (0 when empty).
Entry ReadQuantity(const QLineEdit* field, long& quantity);
// The field's cost: a number that BIInventory::IsValidCost takes.
Entry ReadCost(const QLineEdit* field, double& cost);

// Shows the message of code and puts the focus on field; false, for a check to return.
bool Refuse(WSIDialog& screen, unsigned code, QWidget* field);
// A quantity of at least 1 in field, else its refusal (empty, or not a quantity).
bool CheckQuantity(WSIDialog& screen, QLineEdit* field, long& quantity);
// A cost in field, else its refusal (empty, or not a cost).
bool CheckCost(WSIDialog& screen, QLineEdit* field, double& cost);

// A cost other than the lot's asks first (warning screen 25127); declined, the focus
// goes back to field and the check fails.
bool ConfirmNewCost(WSIDialog& screen, QLineEdit* field, double cost, double lotCost);

// Shows a refused operation's message with the warning icon; the screen stays open.
void ShowRefusal(WSIDialog& screen, BIException& e);

} // namespace tavel::lots
