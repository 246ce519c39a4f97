#pragma once

// One Qt Test class for the dialog layer; its cases live in one file per class under
// test. FakeModule stands in for the host: a string table, a scripted prompt service
// that records every prompt, and a profile.

#include "WSIApplication.h"
#include "WSIProfile.h"

#include <QObject>
#include <QString>

#include <cstring>
#include <deque>
#include <map>
#include <vector>

struct ShownPrompt {
    QString text;
    unsigned style = 0;
    WSIWindow* parent = nullptr;
};

class FakeModule : public WSIApplication {
public:
    std::map<unsigned, QString> strings;
    std::deque<int> answers; // next answers of the prompt service; id::OK when empty
    std::vector<ShownPrompt> prompts;
    WSIProfile profile;

    int LoadString(unsigned code, char* buf, int size) const override {
        auto it = strings.find(code);
        const QByteArray text = it == strings.end() ? QByteArray() : it->second.toUtf8();
        const int n = std::min<int>(static_cast<int>(text.size()), size - 1);
        std::memcpy(buf, text.constData(), static_cast<std::size_t>(n));
        buf[n] = '\0';
        return n;
    }
    int MessageBox(WSIWindow* parent, const char* text, const char* caption,
                   unsigned style) override {
        (void)caption;
        prompts.push_back({QString::fromUtf8(text), style, parent});
        if (answers.empty())
            return id::OK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    WSIProfile* GetProfile() override { return &profile; }
};

class UiTest : public QObject {
    Q_OBJECT

private slots:
    // WSIDialog
    void Dialog_DispatchesCommandsByIdAndRefusesUnknownOrDisabled();
    void Dialog_DisablingCommandDisablesItsButtonAndClicksRunIt();
    void Dialog_OkValidatesBeforeClosingAndCancelCloses();
    void Dialog_KeysReachOkAndCancelAndAnOverriddenOkKeepsScreenOpen();
    void Dialog_MessagesGoThroughPromptServiceWithStringTableText();
    void Dialog_ControlsAreFoundByIdAndType();
    void Dialog_WaitCursorNestsAndRestores();
    void Dialog_FieldSignalsDoNotReachAScreenBeingDestroyed();

    // WSIListWindow
    void List_RowsCellsAndMarks();
    void List_RemovedRowsFreeTheirData();
    void List_SortIsStableAndSelectionFollowsRows();
    void List_SelectionIsReportedInRowOrder();
    void List_ZeroWidthHidesColumnAndPrintTextSkipsIt();
    void List_RefreshExaminesSuccessorOfRemovedRow();
    void List_BatchReachesViewAsOneInsert();
    void List_ContextMenuOnlyWithSelectedRow();
    void List_HeaderClickCallsViewHandler();
    void List_MarksDecideRowColourByPriority();
    void List_FormattedRowsFollowTheirRecords();

    // Fields
    void ScanEdit_EntersByItselfAfterDelay();
    void ScanEdit_EnterAndQuietChanges();
    void ScanEdit_DelayFromProfile_data();
    void ScanEdit_DelayFromProfile();
    void DateEdit_States_data();
    void DateEdit_States();
    void DateEdit_SetDateRoundTrips();
    void ComboBox_EntriesCarryValues();

    // Generic screens
    void AddEdit_ChecksFieldsThenSavesAndKeepsFormOpenOnRefusal();
    void Codes_ListsRecordsWithInactiveMarkAndDeleteAsksFirst();
    void Codes_AddAndEditGoThroughForm();
    void Codes_LookupReturnsChosenRecord();
    void Search_RowLimitAsksOnceWhenMoreFollow();
    void Search_TextNarrowsAndUnderscoreListsAll();
};
