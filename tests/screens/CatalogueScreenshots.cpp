// Grabs the catalogue screens on the demo database into PNG files:
//   catalogue_screenshots OUTPUT_DIR
// writes catalogue-setup.png, catalogue-locations.png, catalogue-location-products.png and
// catalogue-product-report.png.

#include "ScreensFixture.h"

#include "WSICodeTableDialogs.h"
#include "WSIInvSetupDialog.h"
#include "WSIInventoryLocationsDialog.h"
#include "WSIMultiPrdLocDialog.h"
#include "WSIProductReportDialog.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;

    data.host.profile = std::make_unique<WSIProfile>((data.dir / "ws.ini").string());
    // A workstation in the central store that orders from a vendor.
    for (const auto& [key, value] : {std::pair{"Location", "STORE"},
                                     {"Order Type", "PO"},
                                     {"Order From", "Northline Medical Supply"},
                                     {"Transfer From", "STORE"},
                                     {"Transfer To", "EAST"}})
        data.host.profile->WriteString("Inventory", key, value);
    bool ok = true;
    {
        WSIInvSetupDialog setup(nullptr, &data.host);
        ok &= SaveScreenshot(setup, out + QStringLiteral("/catalogue-setup.png"));
    }
    QString store;
    {
        WSIInventoryLocationsDialog locations(nullptr, &data.host);
        locations.resize(760, 420);
        locations.LoadList();
        locations.List()->SelectRow(0);
        store = locations.RecordAt(0) ? locations.RecordAt(0)->Value(0) : QString();
        ok &= SaveScreenshot(locations, out + QStringLiteral("/catalogue-locations.png"));
    }
    {
        WSIMultiPrdLocDialog products(nullptr, &data.host, store, QString());
        ok &= SaveScreenshot(products, out + QStringLiteral("/catalogue-location-products.png"));
    }
    {
        WSIProductReportDialog report(nullptr, WSIProductReportDialog::kTemplate, false,
                                      &data.host);
        ok &= SaveScreenshot(report, out + QStringLiteral("/catalogue-product-report.png"));
    }
    data.Close();
    return ok ? 0 : 1;
}
