#include "UiTest.h"
#include "WSIAddEditDialog.h"
#include "WSICodesDialog.h"
#include "WSISearchDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {

// A unit table in memory: code (key), description (required), inactive flag,
// items per unit. Save refuses the description "DUP" the way a table rule would.
class UnitSource : public WSIRecordSource {
public:
    std::vector<QStringList> rows;
    int saves = 0;
    int removes = 0;
    bool refuseDelete = false;

    std::vector<WSIFieldDef> Fields() const override {
        std::vector<WSIFieldDef> f(4);
        f[0].label = QStringLiteral("Code");
        f[0].key = true;
        f[0].required = true;
        f[0].maxLength = 6;
        f[1].label = QStringLiteral("Description");
        f[1].required = true;
        f[2].label = QStringLiteral("Inactive");
        f[2].kind = WSIFieldDef::Kind::Flag;
        f[3].label = QStringLiteral("Per unit");
        f[3].kind = WSIFieldDef::Kind::Number;
        return f;
    }
    bool Load(const QString& search, const Sink& sink) override {
        for (const QStringList& r : rows) {
            if (!search.isEmpty() && !r[1].contains(search, Qt::CaseInsensitive))
                continue;
            WSIRecord rec;
            rec.values = r;
            rec.marks = r[2] == QLatin1String("1") ? rowmark::Cancelled : 0;
            if (!sink(std::move(rec)))
                break;
        }
        return true;
    }
    bool Save(WSIRecord& record, bool isNew, WSIWindow*, QString& message,
              int& failedField) override {
        ++saves;
        if (record.Value(1) == QLatin1String("DUP")) {
            message = QStringLiteral("duplicate description");
            failedField = 1;
            return false;
        }
        record.marks = record.Value(2) == QLatin1String("1") ? rowmark::Cancelled : 0;
        if (isNew) {
            rows.push_back(record.values);
            return true;
        }
        for (QStringList& r : rows)
            if (r[0] == record.Value(0))
                r = record.values;
        return true;
    }
    bool Remove(const WSIRecord& record, WSIWindow*, QString& message) override {
        ++removes;
        if (refuseDelete) {
            message = QStringLiteral("in use");
            return false;
        }
        std::erase_if(rows, [&](const QStringList& r) { return r[0] == record.Value(0); });
        return true;
    }
};

UnitSource ThreeUnits() {
    UnitSource s;
    s.rows = {{"BOX", "Box", "0", "10"}, {"EA", "Each", "0", "1"}, {"PK", "Pack", "1", "6"}};
    return s;
}

// The code list with its form replaced by scripted values.
class ScriptedCodes : public WSICodesDialog {
public:
    using WSICodesDialog::WSICodesDialog;
    QStringList nextValues;
    bool accept = true;
    bool lastWasNew = false;

protected:
    bool EditRecord(WSIRecord& record, bool isNew) override {
        lastWasNew = isNew;
        if (!accept)
            return false;
        record.values = nextValues;
        QString message;
        int field = -1;
        return Source()->Save(record, isNew, this, message, field);
    }
};

} // namespace

void UiTest::AddEdit_ChecksFieldsThenSavesAndKeepsFormOpenOnRefusal() {
    FakeModule module;
    module.strings[45032] = QStringLiteral("required");
    module.strings[39601] = QStringLiteral("number");
    UnitSource source;
    WSIRecord blank;
    blank.values = QStringList{"", "", "0", ""};
    WSIAddEditDialog form(static_cast<QWidget*>(nullptr), &module, 25008, &source, blank, true);
    QCOMPARE(form.FieldCount(), 4);
    QVERIFY(form.FieldWidget(0)->isEnabled()); // a new record's key is typed in
    form.show();

    form.DoCommand(cm::Ok);
    QCOMPARE(module.prompts.size(), std::size_t{1});
    QCOMPARE(module.prompts.back().text, QStringLiteral("required"));
    QCOMPARE(source.saves, 0);
    QVERIFY(form.isVisible());

    form.SetFieldText(0, QStringLiteral("CS"));
    form.SetFieldText(1, QStringLiteral("DUP"));
    form.SetFieldText(3, QStringLiteral("twelve"));
    form.DoCommand(cm::Ok);
    QCOMPARE(module.prompts.back().text, QStringLiteral("number"));
    QCOMPARE(source.saves, 0);

    // The fields pass; the source refuses and its message is shown over the open form.
    form.SetFieldText(3, QStringLiteral("12"));
    form.DoCommand(cm::Ok);
    QCOMPARE(source.saves, 1);
    QCOMPARE(module.prompts.back().text, QStringLiteral("duplicate description"));
    QVERIFY(form.isVisible());
    QVERIFY(source.rows.empty());

    form.SetFieldText(1, QStringLiteral("Case"));
    form.Control<QCheckBox>(WSIAddEditDialog::kFirstFieldId + 2)->setChecked(true);
    form.DoCommand(cm::Ok);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), id::OK);
    QCOMPARE(source.rows.size(), std::size_t{1});
    QCOMPARE(source.rows[0], (QStringList{"CS", "Case", "1", "12"}));
    QCOMPARE(form.Record().marks, rowmark::Cancelled); // what the source stored comes back

    // The key of an existing record is fixed.
    WSIRecord existing;
    existing.values = QStringList{"EA", "Each", "1", "1"};
    WSIAddEditDialog change(static_cast<QWidget*>(nullptr), &module, 25008, &source, existing,
                            false);
    QVERIFY(!change.FieldWidget(0)->isEnabled());
    QVERIFY(change.Control<QCheckBox>(WSIAddEditDialog::kFirstFieldId + 2)->isChecked());
    QCOMPARE(change.FieldText(2), QStringLiteral("1"));
}

void UiTest::Codes_ListsRecordsWithInactiveMarkAndDeleteAsksFirst() {
    FakeModule module;
    module.strings[5007] = QStringLiteral("delete?");
    UnitSource source = ThreeUnits();
    WSICodesDialog dlg(static_cast<QWidget*>(nullptr), &module, 25008, &source);
    QVERIFY(dlg.LoadList());
    WSIListWindow* list = dlg.List();
    QCOMPARE(list->RowCount(), 3);
    QCOMPARE(list->ItemText(2, 0), QStringLiteral("PK"));
    QCOMPARE(list->ItemText(2, 2), QStringLiteral("Yes"));
    QCOMPARE(list->ItemText(0, 2), QString());
    QCOMPARE(list->Marks(2), rowmark::Cancelled);
    QCOMPARE(list->Marks(0), 0u);
    // Record commands wait for a selection.
    QVERIFY(!dlg.IsCommandEnabled(WSICodesDialog::CmEdit));
    QVERIFY(!dlg.IsCommandEnabled(WSICodesDialog::CmDelete));
    QVERIFY(!dlg.IsCommandEnabled(WSICodesDialog::CmPrint)); // the source cannot print
    list->SelectRow(1);
    QVERIFY(dlg.IsCommandEnabled(WSICodesDialog::CmEdit));
    QCOMPARE(dlg.SelectedRecord()->Value(0), QStringLiteral("EA"));

    module.answers = {id::NO};
    dlg.DoCommand(WSICodesDialog::CmDelete);
    QCOMPARE(module.prompts.back().text, QStringLiteral("delete?"));
    QCOMPARE(source.removes, 0);
    QCOMPARE(list->RowCount(), 3);

    source.refuseDelete = true;
    module.answers = {id::YES};
    dlg.DoCommand(WSICodesDialog::CmDelete);
    QCOMPARE(source.removes, 1);
    QCOMPARE(module.prompts.back().text, QStringLiteral("in use"));
    QCOMPARE(list->RowCount(), 3);

    source.refuseDelete = false;
    module.answers = {id::YES};
    dlg.DoCommand(WSICodesDialog::CmDelete);
    QCOMPARE(list->RowCount(), 2);
    QCOMPARE(list->ItemText(1, 0), QStringLiteral("PK"));
    QCOMPARE(source.rows.size(), std::size_t{2});
    QVERIFY(!dlg.IsCommandEnabled(WSICodesDialog::CmDelete)); // nothing selected now
}

void UiTest::Codes_AddAndEditGoThroughForm() {
    FakeModule module;
    UnitSource source = ThreeUnits();
    ScriptedCodes dlg(static_cast<QWidget*>(nullptr), &module, 25008, &source);
    dlg.LoadList();

    dlg.nextValues = QStringList{"CS", "Case", "0", "12"};
    dlg.DoCommand(WSICodesDialog::CmAdd);
    QVERIFY(dlg.lastWasNew);
    QCOMPARE(dlg.List()->RowCount(), 4);
    QCOMPARE(dlg.List()->FirstSelected(), 3);
    QCOMPARE(dlg.List()->ItemText(3, 1), QStringLiteral("Case"));

    // Changing a record to inactive marks its row.
    QVERIFY(dlg.SelectByValue(0, QStringLiteral("BOX")));
    dlg.nextValues = QStringList{"BOX", "Carton", "1", "10"};
    dlg.DoCommand(WSICodesDialog::CmEdit);
    QVERIFY(!dlg.lastWasNew);
    QCOMPARE(dlg.List()->ItemText(0, 1), QStringLiteral("Carton"));
    QCOMPARE(dlg.List()->Marks(0), rowmark::Cancelled);
    QCOMPARE(dlg.RecordAt(0)->Value(1), QStringLiteral("Carton"));

    // A cancelled form changes nothing.
    dlg.accept = false;
    dlg.DoCommand(WSICodesDialog::CmEdit);
    QCOMPARE(dlg.List()->ItemText(0, 1), QStringLiteral("Carton"));
    QCOMPARE(source.saves, 2);
}

void UiTest::Codes_LookupReturnsChosenRecord() {
    FakeModule module;
    UnitSource source = ThreeUnits();
    WSICodesDialog dlg(static_cast<QWidget*>(nullptr), &module, 25008, &source, true);
    dlg.show(); // the list is read on first show
    QCOMPARE(dlg.List()->RowCount(), 3);
    QVERIFY(!dlg.IsCommandEnabled(cm::Ok));
    QVERIFY(!dlg.DoCommand(cm::Ok));
    QVERIFY(dlg.isVisible());
    dlg.List()->SelectRow(2);
    QVERIFY(dlg.DoCommand(cm::Ok));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), id::OK);
    QVERIFY(dlg.Chosen().has_value());
    QCOMPARE(dlg.Chosen()->Value(0), QStringLiteral("PK"));
}

void UiTest::Search_RowLimitAsksOnceWhenMoreFollow() {
    FakeModule module;
    module.strings[28399] = QStringLiteral("limit %d reached");
    module.profile.WriteInt("ListWindow", "MaxRecords", 3);
    UnitSource source;
    for (int i = 0; i < 7; ++i)
        source.rows.push_back(
            {QStringLiteral("U%1").arg(i), QStringLiteral("Unit %1").arg(i), "0", "1"});
    WSISearchDialog dlg(static_cast<QWidget*>(nullptr), &module, 25013, &source);
    QCOMPARE(dlg.RowLimit(), 3);

    module.answers = {id::CANCEL};
    QCOMPARE(dlg.RunSearch(), 3);
    QCOMPARE(module.prompts.size(), std::size_t{1});
    QCOMPARE(module.prompts[0].text, QStringLiteral("limit 3 reached"));

    module.answers = {id::OK};
    QCOMPARE(dlg.RunSearch(), 7);
    QCOMPARE(module.prompts.size(), std::size_t{2});
    QCOMPARE(dlg.List()->RowCount(), 7);

    // Exactly the limit: nothing more follows, nothing to ask.
    source.rows.resize(3);
    QCOMPARE(dlg.RunSearch(), 3);
    QCOMPARE(module.prompts.size(), std::size_t{2});
}

void UiTest::Search_TextNarrowsAndUnderscoreListsAll() {
    FakeModule module;
    UnitSource source = ThreeUnits();
    WSISearchDialog dlg(static_cast<QWidget*>(nullptr), &module, 25013, &source);
    QCOMPARE(dlg.SearchEdit()->text(), QStringLiteral("_"));
    QCOMPARE(dlg.SearchText(), QString());
    QCOMPARE(dlg.RunSearch(), 3);

    dlg.SearchEdit()->setText(QStringLiteral("pa"));
    QCOMPARE(dlg.RunSearch(), 1);
    QCOMPARE(dlg.List()->ItemText(0, 0), QStringLiteral("PK"));

    dlg.SearchEdit()->clear(); // empty lists everything again
    QCOMPARE(dlg.RunSearch(), 3);
    QCOMPARE(dlg.SearchEdit()->text(), QStringLiteral("_"));

    dlg.show();
    dlg.List()->SelectRow(1);
    dlg.List()->setFocus();
    dlg.DoCommand(cm::Ok);
    QCOMPARE(dlg.result(), id::OK);
    QCOMPARE(dlg.Chosen()->Value(0), QStringLiteral("EA"));
}
