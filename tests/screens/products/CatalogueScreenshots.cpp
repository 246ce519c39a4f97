// Grabs the catalogue screens on the demo database into PNG files:
//   product_screenshots OUTPUT_DIR
// writes product-search.png, product-editor.png, product-locations.png and
// vendor-search.png.

#include "ScreensFixture.h"

#include "DBProduct.h"
#include "DBVendor.h"
#include "WSIAddEditProduct.h"
#include "WSIComboBox.h"
#include "WSIProductDialog.h"
#include "WSIProductLocationsDialog.h"
#include "WSIVendorDialog.h"
#include "schema/DemoData.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;

    // The product kept at the most locations.
    long product = 0;
    {
        auto cursor = data.db->Query(__FILE__, __LINE__, "%s", &product,
                                     "SELECT \"Product\" FROM PRDLOC WHERE \"InvLoc\" <> ' ' "
                                     "GROUP BY \"Product\" ORDER BY COUNT(1) DESC, \"Product\"");
        cursor->GetFirst();
    }

    bool ok = true;
    {
        DBProduct table(data.db.get());
        table.InitRecord();
        WSIProductDialog screen(nullptr, 25013, &table, &data.host, false);
        screen.resize(1100, 620);
        auto* location = screen.Control<WSIComboBox>(WSIProductDialog::IdLocation);
        location->setCurrentIndex(location->count() > 1 ? 1 : 0);
        screen.SetKind(tavel::products::ProductSearchKind::Category);
        screen.SearchEdit()->setText(QStringLiteral("_"));
        screen.RunSearch();
        ok = SaveScreenshot(screen, out + QStringLiteral("/product-search.png")) && ok;
    }
    {
        DBProduct table(data.db.get());
        table.InitRecord();
        table.data.Product = product;
        table.GetEqual(__FILE__, __LINE__);
        WSIAddEditProduct screen(nullptr, 25014, &table, &data.host);
        screen.resize(520, screen.sizeHint().height());
        ok = SaveScreenshot(screen, out + QStringLiteral("/product-editor.png")) && ok;
    }
    {
        WSIProductLocationsDialog screen(nullptr, &data.host, product);
        screen.resize(1180, 420);
        ok = SaveScreenshot(screen, out + QStringLiteral("/product-locations.png")) && ok;
    }
    {
        DBVendor table(data.db.get());
        table.InitRecord();
        WSIVendorDialog screen(nullptr, 25009, &table, &data.host, false);
        screen.resize(860, 420);
        screen.RunSearch();
        ok = SaveScreenshot(screen, out + QStringLiteral("/vendor-search.png")) && ok;
    }
    data.Close();
    return ok ? 0 : 1;
}
