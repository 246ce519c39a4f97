#pragma once

#include "Trace.h"

#include <cstddef>

// Business exceptions. An exception carries only its message code; the text lives in
// the host's string table and is loaded each time it is asked for, so that a message
// shown later reflects the table the host has then.

inline constexpr std::size_t kBIMessageSize = 512;
// Common suffix appended to a message shown to a user, and the buffer it is loaded into.
inline constexpr unsigned kBIMessageSuffixCode = 38219;
inline constexpr std::size_t kBISuffixSize = 128;

// Root of every business exception. Thrown and caught by value or reference and never
// deleted through a base pointer, hence the protected, non-virtual destructor.
class BIException {
public:
    BIException();
    BIException(const BIException& other);
    BIException(BIException&& other);
    BIException& operator=(const BIException& other);
    BIException& operator=(BIException&& other);

    // Fills the message buffer and returns it; with suffix, string 38219 is appended.
    virtual char* GetErrMsg(bool suffix) = 0;

protected:
    ~BIException();

    char m_szErrMsg[kBIMessageSize];
};

namespace tavel {
// Loads the text of code (and the suffix) from the host's string table, reached through
// the current module handler, into buf of kBIMessageSize characters. Without a handler or
// a host the text is empty.
char* LoadBusinessMessage(unsigned code, bool suffix, char* buf);
} // namespace tavel

template <unsigned Code> class BIExceptionBase : public BIException {
public:
    static constexpr unsigned kCode = Code;

    BIExceptionBase() { TVL_TRACE("BIExceptionBase::BIExceptionBase"); }
    BIExceptionBase(const BIExceptionBase& other) : BIException(other) {
        TVL_TRACE("BIExceptionBase::BIExceptionBase");
    }
    BIExceptionBase& operator=(const BIExceptionBase& other) {
        TVL_TRACE("BIExceptionBase::operator=");
        BIException::operator=(other);
        return *this;
    }

    char* GetErrMsg(bool suffix) override {
        TVL_TRACE("BIExceptionBase::GetErrMsg");
        return tavel::LoadBusinessMessage(Code, suffix, m_szErrMsg);
    }
};

// Every named exception with its message code (but MissingInvItem, which carries data and
// is written out below). Three codes (38501, 38503, 38586) serve two classes each: same
// text, but a screen can tell them apart by type.
#define TVL_BI_EXCEPTIONS(X)                                                                       \
    X(DuplicateRecord, 5004)                                                                       \
    X(RecordInUse, 5005)                                                                           \
    X(DeletedRecord, 5010)                                                                         \
    X(VendorProvinceErr, 28189)                                                                    \
    X(VendorCityErr, 28190)                                                                        \
    X(InvLocBarCodeErr, 28678)                                                                     \
    X(ProductPrdCatErr, 38104)                                                                     \
    X(ProductLeadUnitErr, 38117)                                                                   \
    X(ProductUnitErr, 38120)                                                                       \
    X(InvalidPrdLocMinCount, 38132)                                                                \
    X(InvalidPrdLocMaxCount, 38133)                                                                \
    X(InvalidPrdLocStdOrder, 38134)                                                                \
    X(PrdLocInactive, 38135)                                                                       \
    X(InvalidOrderedByLocation, 38139)                                                             \
    X(InvalidOrderedFromLocation, 38140)                                                           \
    X(InvalidOrderType, 38141)                                                                     \
    X(InvalidOrderVendor, 38142)                                                                   \
    X(InvalidOrderPO, 38143)                                                                       \
    X(InvalidOrderCannotBeSpecial, 38144)                                                          \
    X(OrderModifyErr, 38145)                                                                       \
    X(InvalidOrderProduct, 38146)                                                                  \
    X(InvalidOrderDuplicateProduct, 38147)                                                         \
    X(InvalidOrderQuantity, 38148)                                                                 \
    X(InvalidOrderSpecialComment, 38149)                                                           \
    X(OrderAddErr, 38150)                                                                          \
    X(OrderDeleteErr, 38151)                                                                       \
    X(InvalidOrderCannotCancel, 38152)                                                             \
    X(InvalidOrderSameLocations, 38153)                                                            \
    X(InvalidOrderCannotOrderFrom, 38163)                                                          \
    X(InvalidOrderProductNoReq, 38168)                                                             \
    X(InvalidOrderNumber, 38183)                                                                   \
    X(InvalidOrderCannotBackOrder, 38186)                                                          \
    X(InvalidOrderCannotClose, 38187)                                                              \
    X(InvalidOrderCannotPurchase, 38188)                                                           \
    X(InvalidInvItem, 38191)                                                                       \
    X(RepackageErr, 38192)                                                                         \
    X(InvalidCost, 38193)                                                                          \
    X(ProductItemsPerUnitErr, 38194)                                                               \
    X(AdjustCostErr, 38196)                                                                        \
    X(AdjustExpiryErr, 38197)                                                                      \
    X(InvalidRepackageQuantity, 38198)                                                             \
    X(InvLocInactiveErr, 38208)                                                                    \
    X(PORequiredToPurchase, 38218)                                                                 \
    X(InvalidProductOrderType, 38220)                                                              \
    X(VendorRequiredToPurchase, 38222)                                                             \
    X(OrderMoreThanMaxErr, 38224)                                                                  \
    X(OrderLessThanMinErr, 38225)                                                                  \
    X(InvalidSplitQuantity, 38228)                                                                 \
    X(InvalidInvItemInvLoc, 38501)                                                                 \
    X(InvalidLocation, 38501)                                                                      \
    X(InvalidOrderDate, 38503)                                                                     \
    X(InvalidPODate, 38503)                                                                        \
    X(InvalidProduct, 38504)                                                                       \
    X(PrdLocErr, 38505)                                                                            \
    X(InvItDetErr, 38506)                                                                          \
    X(InvOrdItErr, 38507)                                                                          \
    X(ReceiptAddErr, 38508)                                                                        \
    X(ReceiptModifyErr, 38509)                                                                     \
    X(ReceiptDeleteErr, 38510)                                                                     \
    X(InvalidQuantity, 38512)                                                                      \
    X(InvalidPONumber, 38514)                                                                      \
    X(InvalidPOProduct, 38515)                                                                     \
    X(OrdItStatusErr, 38516)                                                                       \
    X(OrdItFilledErr, 38517)                                                                       \
    X(BackOrderErr, 38518)                                                                         \
    X(InvRecDeleteErr, 38519)                                                                      \
    X(OrdItAddErr, 38520)                                                                          \
    X(ExpiryDateErr, 38521)                                                                        \
    X(AvgCostErr, 38524)                                                                           \
    X(InvUsageErr, 38525)                                                                          \
    X(InvalidInvAdj, 38527)                                                                        \
    X(InvAdjErr, 38528)                                                                            \
    X(TrackUsageErr, 38529)                                                                        \
    X(InactivePrdLocErr, 38530)                                                                    \
    X(InvalidTransfer, 38534)                                                                      \
    X(InvalidTransferFrom, 38535)                                                                  \
    X(InvalidTransferTo, 38536)                                                                    \
    X(InvalidInvRec, 38537)                                                                        \
    X(InvalidBalance, 38538)                                                                       \
    X(InvalidLocationFrom, 38539)                                                                  \
    X(InvalidInvOrdIt, 38540)                                                                      \
    X(InvItemErr, 38541)                                                                           \
    X(InvOrdItFilled, 38542)                                                                       \
    X(InvOrdItQtyZero, 38543)                                                                      \
    X(NoEntryToModifyErr, 38544)                                                                   \
    X(InvPickListOrdItErr, 38549)                                                                  \
    X(InvPickListAddErr, 38550)                                                                    \
    X(InvalidExpiryDate, 38552)                                                                    \
    X(InvalidInvRecInvLoc, 38558)                                                                  \
    X(InvalidInvRecVendor, 38559)                                                                  \
    X(InvalidInvRecPODate, 38560)                                                                  \
    X(NegativeQuantityErr, 38562)                                                                  \
    X(ProductProductCodeErr, 38563)                                                                \
    X(ProductUPCCodeErr, 38564)                                                                    \
    X(ProductWeightUnitErr, 38565)                                                                 \
    X(ProductCanOrderErr, 38566)                                                                   \
    X(PrdTypeDescriptionErr, 38567)                                                                \
    X(PrdCatCodeErr, 38568)                                                                        \
    X(PrdCatInactiveErr, 38569)                                                                    \
    X(PrdUnitDescriptionErr, 38570)                                                                \
    X(PrdUnitIsDividableErr, 38571)                                                                \
    X(VendorInactiveErr, 38572)                                                                    \
    X(InvPrdLocBalanceErr, 38575)                                                                  \
    X(InvRecDiffInvLocErr, 38586)                                                                  \
    X(PrdTypeMatchErr, 38586)                                                                      \
    X(InvItemQtyErr, 38588)                                                                        \
    X(InvalidInvRecDate, 38589)                                                                    \
    X(InvalidOrderCannotReview, 38590)                                                             \
    X(InvalidOrderCannotOrder, 38591)                                                              \
    X(OrderAddOrderedByErr, 38595)

// Named classes add nothing: the type tells the failed rule, the base the message.
#define TVL_BI_DECLARE(name, code)                                                                 \
    class name : public BIExceptionBase<code> {};
TVL_BI_EXCEPTIONS(TVL_BI_DECLARE)
#undef TVL_BI_DECLARE

// Not enough stock to take, or more stock than the stock items can take back. The one
// exception that carries data: what a screen needs to offer creating the missing stock
// and to repeat the movement with createMissing.
class MissingInvItem : public BIExceptionBase<38561> {
public:
    MissingInvItem() = default;
    MissingInvItem(double missingQty, double averageCost, short trackUsage, short trackExpiryDate)
        : MissingQty(missingQty), AverageCost(averageCost), TrackUsage(trackUsage),
          TrackExpiryDate(trackExpiryDate) {}

    double MissingQty = 0.0;   // negative: a shortage; positive: more than the items can hold
    double AverageCost = 0.0;  // the product's, which created stock would cost
    short TrackUsage = 0;      // of the product at the location
    short TrackExpiryDate = 0; // of the product
};

// A receipt line whose stock has been used since it came in: setting or removing it would
// count the used stock twice. Its text says so, where the balance check would only say
// that the stock records disagree.
class ReceiptLineUsedErr : public BIExceptionBase<39952> {};
// The database could not store the unit of work (an I/O error, a lock or sync the disk
// refused), or its disk is full. No table rule refused: what the user must hear is that
// nothing was stored and why. Raised by the business layer's write pattern.
class StorageErr : public BIExceptionBase<40001> {};
class DiskFullErr : public BIExceptionBase<40002> {};

// Name and code of every named exception, for tools and checks over the whole set
// (every code must have a text in the host's string table).
struct BIExceptionInfo {
    const char* name;
    unsigned code;
};

#define TVL_BI_REGISTER(name, code) BIExceptionInfo{#name, code},
inline constexpr BIExceptionInfo kBIExceptionRegistry[] = {
    TVL_BI_EXCEPTIONS(TVL_BI_REGISTER) BIExceptionInfo{"MissingInvItem", MissingInvItem::kCode}};
#undef TVL_BI_REGISTER
