#include "UiTest.h"
#include "WSIDialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A screen whose field check is scripted.
class CheckedDialog : public WSIDialog {
public:
    using WSIDialog::WSIDialog;
    bool valid = false;
    int validations = 0;
    bool Validate() override {
        ++validations;
        return valid;
    }
};

} // namespace

void UiTest::Dialog_DispatchesCommandsByIdAndRefusesUnknownOrDisabled() {
    FakeModule module;
    WSIDialog dlg(static_cast<QWidget*>(nullptr), &module, 25000);
    QCOMPARE(dlg.TemplateId(), 25000);
    QCOMPARE(dlg.Module(), &module);

    std::vector<int> ran;
    dlg.SetCommand(111, [&] { ran.push_back(111); });
    dlg.SetCommand(112, [&] { ran.push_back(112); });
    QVERIFY(dlg.DoCommand(112));
    QVERIFY(dlg.DoCommand(111));
    QVERIFY(!dlg.DoCommand(113));
    QCOMPARE(ran, (std::vector<int>{112, 111}));

    // Rebinding replaces the handler.
    dlg.SetCommand(111, [&] { ran.push_back(-111); });
    QVERIFY(dlg.DoCommand(111));
    QCOMPARE(ran.back(), -111);

    dlg.EnableCommand(111, false);
    QVERIFY(!dlg.IsCommandEnabled(111));
    QVERIFY(!dlg.DoCommand(111));
    QCOMPARE(ran.size(), std::size_t{3});
    dlg.EnableCommand(111, true);
    QVERIFY(dlg.DoCommand(111));
    QCOMPARE(ran.size(), std::size_t{4});
}

void UiTest::Dialog_DisablingCommandDisablesItsButtonAndClicksRunIt() {
    FakeModule module;
    WSIDialog dlg(static_cast<QWidget*>(nullptr), &module, 1);
    int runs = 0;
    dlg.SetCommand(117, [&] { ++runs; });
    QPushButton* button = dlg.AddCommandButton(117, QStringLiteral("Pick list"));
    auto* box = new QCheckBox(&dlg);
    dlg.AddControl(141, box);
    dlg.show();

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(runs, 1);

    dlg.EnableCommand(117, false);
    dlg.EnableCommand(141, false);
    QVERIFY(!button->isEnabled());
    QVERIFY(!box->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(runs, 1);

    // A control registered after its command was disabled starts disabled too.
    dlg.EnableCommand(150, false);
    auto* late = new QLineEdit(&dlg);
    dlg.AddControl(150, late);
    QVERIFY(!late->isEnabled());
}

void UiTest::Dialog_OkValidatesBeforeClosingAndCancelCloses() {
    FakeModule module;
    CheckedDialog dlg(static_cast<QWidget*>(nullptr), &module, 1);
    dlg.show();
    dlg.valid = false;
    QVERIFY(dlg.DoCommand(cm::Ok));
    QCOMPARE(dlg.validations, 1);
    QVERIFY(dlg.isVisible());

    dlg.valid = true;
    QVERIFY(dlg.DoCommand(cm::Ok));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), id::OK);

    dlg.show();
    QVERIFY(dlg.DoCommand(cm::Cancel));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), id::CANCEL);
    QCOMPARE(dlg.validations, 2); // Cancel does not validate

    // Embedded, Ok does not hide the screen from the one around it.
    QWidget host;
    CheckedDialog inner(&host, &module, 2, Qt::Widget);
    inner.valid = true;
    host.show();
    QVERIFY(inner.isVisible());
    inner.DoCommand(cm::Ok);
    QVERIFY(inner.isVisible());
    QCOMPARE(inner.result(), id::OK);
}

void UiTest::Dialog_KeysReachOkAndCancelAndAnOverriddenOkKeepsScreenOpen() {
    FakeModule module;
    CheckedDialog dlg(static_cast<QWidget*>(nullptr), &module, 1);
    dlg.valid = true;
    auto* edit = new QLineEdit(&dlg);
    dlg.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(dlg.validations, 1);
    QVERIFY(!dlg.isVisible());

    dlg.show();
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), id::CANCEL);

    // The main screen's Ok does nothing, so Enter does not close it.
    int oks = 0;
    dlg.SetCommand(cm::Ok, [&] { ++oks; });
    dlg.show();
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(oks, 1);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.validations, 1);
}

// QDialog hides the window in its destructor, which takes the focus from the field that
// had it: a field's signal then must not reach the screen, already half destroyed.
void UiTest::Dialog_FieldSignalsDoNotReachAScreenBeingDestroyed() {
    FakeModule module;
    int finished = 0;
    auto* dlg = new WSIDialog(static_cast<QWidget*>(nullptr), &module, 1);
    auto* watched = new QLineEdit(dlg);
    auto* other = new QLineEdit(dlg);
    QObject::connect(watched, &QLineEdit::editingFinished, dlg, [&finished] { ++finished; });
    dlg->show();
    dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg));

    // While the screen lives, leaving the field reports it.
    watched->setFocus();
    QTest::keyClicks(watched, "12");
    other->setFocus();
    QCOMPARE(finished, 1);

    watched->setFocus();
    QTest::keyClicks(watched, "34");
    QVERIFY(watched->hasFocus());
    delete dlg;
    QCOMPARE(finished, 1);
}

void UiTest::Dialog_MessagesGoThroughPromptServiceWithStringTableText() {
    FakeModule module;
    module.strings[5007] = QStringLiteral("Delete the selected entry?");
    module.answers = {id::NO, id::YES};
    WSIDialog dlg(static_cast<QWidget*>(nullptr), &module, 1);

    QCOMPARE(dlg.MessageBox(5007, mb::YESNO | mb::ICONQUESTION), id::NO);
    QCOMPARE(dlg.MessageBox(QStringLiteral("free text"), mb::YESNO), id::YES);
    QCOMPARE(module.prompts.size(), std::size_t{2});
    QCOMPARE(module.prompts[0].text, QStringLiteral("Delete the selected entry?"));
    QCOMPARE(module.prompts[0].style, mb::YESNO | mb::ICONQUESTION);
    QCOMPARE(module.prompts[0].parent, static_cast<WSIWindow*>(&dlg));
    QCOMPARE(module.prompts[1].text, QStringLiteral("free text"));
    QCOMPARE(WidgetOf(module.prompts[1].parent), static_cast<QWidget*>(&dlg));

    // A screen without a module declines rather than guessing an answer.
    WSIDialog orphan(static_cast<QWidget*>(nullptr), nullptr, 1);
    QCOMPARE(orphan.MessageBox(5007, mb::YESNO), id::CANCEL);
}

void UiTest::Dialog_ControlsAreFoundByIdAndType() {
    WSIDialog dlg(static_cast<QWidget*>(nullptr), nullptr, 1);
    auto* edit = new QLineEdit(&dlg);
    dlg.AddControl(102, edit);
    QCOMPARE(dlg.Control<QLineEdit>(102), edit);
    QCOMPARE(dlg.Control<QWidget>(102), static_cast<QWidget*>(edit));
    QVERIFY(dlg.Control<QCheckBox>(102) == nullptr);
    QVERIFY(dlg.Control<QLineEdit>(103) == nullptr);
    delete edit; // a control destroyed early is no longer found
    QVERIFY(dlg.ControlWidget(102) == nullptr);
}

void UiTest::Dialog_WaitCursorNestsAndRestores() {
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    {
        WSIWaitCursor outer;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        { WSIWaitCursor inner; }
        QVERIFY(QGuiApplication::overrideCursor() != nullptr); // the outer guard still holds
    }
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}
