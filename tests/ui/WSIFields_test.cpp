#include "UiTest.h"
#include "WSIComboBox.h"
#include "WSIDateEdit.h"
#include "WSIScanEdit.h"

#include <QSignalSpy>
#include <QTest>

void UiTest::ScanEdit_EntersByItselfAfterDelay() {
    WSIScanEdit edit;
    edit.SetScanDelay(150);
    QSignalSpy entered(&edit, &WSIScanEdit::entered);
    QSignalSpy changed(&edit, &WSIScanEdit::codeChanged);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("0123456"));
    QCOMPARE(changed.count(), 7);
    QVERIFY(edit.IsAutoEntryPending());
    QCOMPARE(entered.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(entered.count(), 1, 2000);
    QVERIFY(!edit.IsAutoEntryPending());
    QTest::qWait(300);
    QCOMPARE(entered.count(), 1); // once, not once per keystroke

    // Emptying the field cancels a pending entry.
    QTest::keyClick(&edit, Qt::Key_A);
    QVERIFY(edit.IsAutoEntryPending());
    edit.clear();
    QVERIFY(!edit.IsAutoEntryPending());

    // Each keystroke starts the delay again: a slow typist is not cut off.
    edit.clear();
    entered.clear();
    edit.SetScanDelay(600);
    QTest::keyClick(&edit, Qt::Key_1);
    QTest::qWait(400);
    QTest::keyClick(&edit, Qt::Key_2);
    QTest::qWait(400);
    QCOMPARE(entered.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(entered.count(), 1, 3000);

    // Without auto-entry only Enter enters.
    edit.SetAutoEntry(false);
    QTest::keyClicks(&edit, QStringLiteral("99"));
    QVERIFY(!edit.IsAutoEntryPending());
}

void UiTest::ScanEdit_EnterAndQuietChanges() {
    WSIScanEdit edit;
    edit.SetScanDelay(10000);
    QSignalSpy entered(&edit, &WSIScanEdit::entered);
    QSignalSpy changed(&edit, &WSIScanEdit::codeChanged);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(entered.count(), 1);
    QVERIFY(!edit.IsAutoEntryPending()); // Enter does not leave a second entry pending

    // The screen's own writes are no user change.
    changed.clear();
    edit.SetTextQuietly(QStringLiteral("ABC123"));
    QCOMPARE(edit.text(), QStringLiteral("ABC123"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!edit.IsAutoEntryPending());

    // Scanner data lasts until the next typed change.
    edit.SetScannerData(QStringLiteral("0100312345678906 17260101"), QStringLiteral("ABC123"));
    QVERIFY(edit.HasScannerData());
    QCOMPARE(edit.ScannedProductCode(), QStringLiteral("ABC123"));
    QTest::keyClick(&edit, Qt::Key_4);
    QVERIFY(!edit.HasScannerData());

    QSignalSpy up(&edit, &WSIScanEdit::upPressed);
    QSignalSpy down(&edit, &WSIScanEdit::downPressed);
    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    QCOMPARE(up.count(), 1);
    QCOMPARE(down.count(), 2);
}

void UiTest::ScanEdit_DelayFromProfile_data() {
    QTest::addColumn<QString>("stored"); // "" leaves the key out
    QTest::addColumn<int>("ms");
    QTest::newRow("missing") << "" << 4000;
    QTest::newRow("zero means default") << "0" << 4000;
    QTest::newRow("negative") << "-2" << 4000;
    QTest::newRow("two seconds") << "2" << 2000;
    QTest::newRow("not a number") << "soon" << 4000;
}

void UiTest::ScanEdit_DelayFromProfile() {
    QFETCH(QString, stored);
    QFETCH(int, ms);
    WSIProfile profile;
    if (!stored.isEmpty())
        profile.WriteString("Dialog", "ScanDelay", stored.toStdString());
    QCOMPARE(WSIScanEdit::ScanDelayFromProfile(&profile), ms);
    QCOMPARE(WSIScanEdit::ScanDelayFromProfile(nullptr), 4000);
}

void UiTest::DateEdit_States_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<QDate>("date"); // null: not a valid date
    QTest::newRow("empty") << "" << true << QDate();
    QTest::newRow("blanks") << "   " << true << QDate();
    QTest::newRow("full") << "12/31/2024" << false << QDate(2024, 12, 31);
    QTest::newRow("short parts") << "1/5/2024" << false << QDate(2024, 1, 5);
    QTest::newRow("two-digit year, this century") << "1/5/24" << false << QDate(2024, 1, 5);
    QTest::newRow("two-digit year, last century") << "1/5/99" << false << QDate(1999, 1, 5);
    QTest::newRow("no such day") << "2/30/2024" << false << QDate();
    QTest::newRow("leap day") << "2/29/2024" << false << QDate(2024, 2, 29);
    QTest::newRow("month 13") << "13/1/2024" << false << QDate();
    QTest::newRow("day first is not read") << "31/12/2024" << false << QDate();
    QTest::newRow("text") << "tomorrow" << false << QDate();
    QTest::newRow("iso") << "2024-12-31" << false << QDate();
}

void UiTest::DateEdit_States() {
    QFETCH(QString, text);
    QFETCH(bool, empty);
    QFETCH(QDate, date);
    WSIDateEdit edit;
    edit.setText(text);
    QCOMPARE(edit.IsEmpty(), empty);
    QCOMPARE(edit.IsValid(), date.isValid());
    QCOMPARE(edit.Date(), date);
    const WSIDate d = edit.GetDate();
    QCOMPARE(d.IsNull(), !date.isValid());
    if (date.isValid())
        QCOMPARE(QDate(d.year, d.month, d.day), date);
}

void UiTest::DateEdit_SetDateRoundTrips() {
    WSIDateEdit edit;
    edit.SetDate(WSIDate{2025, 3, 7});
    QCOMPARE(edit.text(), QStringLiteral("03/07/2025"));
    QVERIFY(edit.GetDate() == (WSIDate{2025, 3, 7}));
    edit.SetDate(WSIDate{});
    QVERIFY(edit.IsEmpty());
    edit.SetDate(QDate(1999, 12, 31));
    QCOMPARE(edit.text(), QStringLiteral("12/31/1999"));
    edit.SetDate(QDate());
    QVERIFY(edit.IsEmpty());
}

void UiTest::ComboBox_EntriesCarryValues() {
    WSIComboBox combo;
    QCOMPARE(combo.AddEntry(QStringLiteral("(all)"), -1), 0);
    QCOMPARE(combo.AddEntry(QStringLiteral("Requested"), 9), 1);
    QCOMPARE(combo.AddEntry(QStringLiteral("Ordered"), 0), 2);
    QCOMPARE(combo.AddEntry(QStringLiteral("Back-ordered"), 5), 3);
    QCOMPARE(combo.Value(1), 9L);
    QCOMPARE(combo.Value(2), 0L);
    QCOMPARE(combo.Value(7, -99), -99L);
    QCOMPARE(combo.FindValue(5), 3);
    QCOMPARE(combo.FindValue(4), -1);
    QVERIFY(combo.SelectValue(0));
    QCOMPARE(combo.currentIndex(), 2);
    QCOMPARE(combo.CurrentValue(), 0L);
    QVERIFY(!combo.SelectValue(4));
    QCOMPARE(combo.currentIndex(), 2);
    combo.addItem(QStringLiteral("no value"));
    QCOMPARE(combo.Value(4, -7), -7L);
}
