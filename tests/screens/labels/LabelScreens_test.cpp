// The label commands of the received and levels lists, offscreen: lot labels whose
// printed element string scans back to the lot's product, lot and expiry, a product
// without a GTIN refused with its name, bin labels for the selection or the whole list.

#include "BIInventory.h"
#include "BILabels.h"
#include "QtReportEngine.h"
#include "ScreensFixture.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDateEdit.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <filesystem>

using Inv = WSIInventoryDialog;

namespace {

std::string Text(const std::string& pdf) {
    return PdfText(pdf).toStdString();
}

// Every "(01)..." element string printed, up to the end of its word.
std::vector<std::string> ElementStrings(const std::string& text) {
    std::vector<std::string> found;
    for (auto at = text.find("(01)"); at != std::string::npos; at = text.find("(01)", at + 1))
        found.push_back(text.substr(at, text.find_first_of(" \n", at) - at));
    return found;
}

} // namespace

class LabelScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        data = std::make_unique<ScreensData>();
        QVERIFY(data->Open());
        host = std::make_unique<ScreensHost>();
        host->db = data->db.get();
        tavel::CurrentInventoryApp()->AttachHost(host.get());
        engine = std::make_unique<tavel::report::QtReportEngine>(data->db.get());
        pdf = (std::filesystem::temp_directory_path() /
               ("labels-" + std::to_string(::getpid()) + ".pdf"))
                  .string();
        engine->SetPdfOutput(pdf);
        host->engine = engine.get();
    }
    void cleanup() {
        std::filesystem::remove(pdf);
        data->Close();
        data.reset();
        engine.reset();
        host.reset();
    }

    void LotLabelsScanBackAndProductsWithoutGtinAreRefused() {
        const long flu = Product("FLU", "Flu vaccine", "4006381333931");
        const long gauze = Product("GAUZE", "Gauze swabs", "");
        Lot(flu, "AB-12", {2027, 12, 31});
        Lot(gauze, "G7", {});
        auto screen = Inventory(Inv::TabReceived);
        auto* view = static_cast<WSIInvReceivedDialog*>(screen->ListView(Inv::TabReceived));
        QCOMPARE(view->List()->RowCount(), 2);
        QVERIFY(!view->IsMenuCommandEnabled(WSIInvReceivedDialog::CmLotLabelsId));
        view->List()->SelectRow(0);
        view->List()->SelectRow(1, true);
        QVERIFY(view->RunMenuCommand(WSIInvReceivedDialog::CmLotLabelsId));

        // The gauze is refused by name; the vaccine's label is printed.
        QCOMPARE(host->boxes.size(), std::size_t(1));
        QString refusal = host->LoadStringText(tavel::labels::kMsgNoGtin);
        refusal.replace("%s", "Gauze swabs");
        QCOMPARE(QString::fromStdString(host->boxes[0].text), refusal);
        const std::vector<std::string> printed = ElementStrings(Text(pdf));
        QCOMPARE(printed.size(), std::size_t(1));

        // Scanned as the receiving screen reads it: the same product, lot and expiry.
        WSIBarCodeFuncs scan;
        QVERIFY2(scan.ScanBarCode(printed[0].c_str(), 3), printed[0].c_str());
        BIInventory inventory(data->db.get());
        QCOMPARE(inventory.FindProductByBarCode(scan), flu);
        QCOMPARE(scan.Fields().lot, std::string("AB-12"));
        QCOMPARE(scan.Fields().expiryYear * 10000 + scan.Fields().expiryMonth * 100 +
                     scan.Fields().expiryDay,
                 20271231);

        // Only the refused lot selected: the reason, and nothing printed.
        std::filesystem::remove(pdf);
        host->boxes.clear();
        view->List()->SelectRow(view->RowRecord(0)->Product == gauze ? 0 : 1);
        QVERIFY(view->RunMenuCommand(WSIInvReceivedDialog::CmLotLabelsId));
        QCOMPARE(host->boxes.size(), std::size_t(1));
        QVERIFY(!std::filesystem::exists(pdf));
    }

    // Only the selected rows get labels; a location's products are its rows all selected.
    void BinLabelsForTheSelectedRows() {
        for (const char* code : {"SWAB", "TAPE", "MASK"})
            data->AddPrdLoc(Product(code, code, ""), "STORE", 1);
        auto screen = Inventory(Inv::TabLevels);
        auto* view = static_cast<WSIInvLevelsDialog*>(screen->ListView(Inv::TabLevels));
        QVERIFY(view->List()->RowCount() >= 2);
        QVERIFY(!view->IsMenuCommandEnabled(WSIInvLevelsDialog::CmBinLabelsId));
        view->List()->SelectRow(1);
        QVERIFY(view->RunMenuCommand(WSIInvLevelsDialog::CmBinLabelsId));
        QVERIFY(host->boxes.empty());
        const std::string text = Text(pdf);
        const std::string chosen = view->RowRecord(1)->ProductCode;
        const std::string other = view->RowRecord(0)->ProductCode;
        QVERIFY2(text.find(chosen + " ") != std::string::npos, text.c_str());
        QVERIFY2(text.find(other + " ") == std::string::npos, text.c_str());
    }

private:
    long Product(const char* code, const char* description, const char* upc) {
        const long product = data->AddProduct(code);
        WSIProduct p(data->db.get());
        p.data.Product = product;
        p.GetEqual(__FILE__, __LINE__);
        ScreensData::Put(p.data.Description, description);
        ScreensData::Put(p.data.UPCCode, upc);
        p.UpdateDB(__FILE__, __LINE__);
        return product;
    }
    void Lot(long product, const char* lot, WSIDate expiry) {
        WSIInvItem item(data->db.get());
        item.data.InvItem =
            data->AddItem(product, "STORE", 10, 10, 0, 0, data->AddReceipt("STORE"));
        item.GetEqual(__FILE__, __LINE__);
        ScreensData::Put(item.data.RefNo, lot);
        item.data.ExpiryDate = expiry;
        item.UpdateDB(__FILE__, __LINE__);
        data->AddPrdLoc(product, "STORE", 10);
    }
    std::unique_ptr<Inv> Inventory(int tab) {
        auto screen = std::make_unique<Inv>(nullptr, host.get());
        for (int id : {int(Inv::IdFromDate), int(Inv::IdToDate)})
            screen->Control<WSIDateEdit>(id)->clear();
        screen->SelectTab(tab);
        if (auto* box = screen->Control<QCheckBox>(Inv::IdPerLocation))
            box->setChecked(true);
        screen->DoCommand(Inv::IdSearch);
        return screen;
    }

    std::unique_ptr<ScreensData> data;
    std::unique_ptr<ScreensHost> host;
    std::unique_ptr<tavel::report::QtReportEngine> engine;
    std::string pdf;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LabelScreensTest test;
    return QTest::qExec(&test, argc, argv) == 0 ? 0 : 1;
}

#include "LabelScreens_test.moc"
