#pragma once

// The scan entry field. A bar-code scanner is a keyboard: it types the code and
// maybe no Enter. The field therefore enters its text by itself once it has been
// still for the scan delay, as well as on Enter.

#include <QLineEdit>
#include <QString>

class QTimer;
class WSIProfile;

class WSIScanEdit : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kDefaultScanDelayMs = 4000;
    // The GS1 group separator a scanner sends between variable-length fields.
    static constexpr char16_t kGroupSeparator = 0x1d;

    explicit WSIScanEdit(QWidget* parent = nullptr);
    ~WSIScanEdit() override;

    // Scan delay from the profile: section "Dialog", key "ScanDelay" in seconds; a
    // missing key, a stored 0 (or less) or no profile give 4 seconds.
    static int ScanDelayFromProfile(const WSIProfile* profile);

    // Milliseconds of stillness after a typed change before the text is entered.
    void SetScanDelay(int ms);
    int ScanDelay() const { return delayMs_; }
    // Off: only Enter enters the text.
    void SetAutoEntry(bool on);
    bool AutoEntry() const { return autoEntry_; }
    bool IsAutoEntryPending() const;
    void StopAutoEntry();

    // Writes text as the screen's own change: no codeChanged, no auto-entry.
    void SetTextQuietly(const QString& text);

    // Raw data of the last scan when the scanner delivered more than the product
    // code (a GS1 bar code), with the product code decoded from it. Cleared by any
    // typed change.
    void SetScannerData(const QString& raw, const QString& productCode);
    bool HasScannerData() const { return !scannerData_.isEmpty(); }
    QString ScannerData() const { return scannerData_; }
    QString ScannedProductCode() const { return scannedCode_; }
    void ClearScannerData();

signals:
    // A change typed (or scanned) into the field; not sent for SetTextQuietly.
    void codeChanged(const QString& text);
    // The text is to be entered: Enter was pressed or the scan delay ran out.
    void entered();
    // Up and down arrows, for screens that move through their list from the field.
    void upPressed();
    void downPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnTextChanged(const QString& text);

    QTimer* timer_;
    int delayMs_ = kDefaultScanDelayMs;
    bool autoEntry_ = true;
    bool quiet_ = false;
    QString scannerData_;
    QString scannedCode_;
};
