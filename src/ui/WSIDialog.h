#pragma once

// The base screen of the module: a QDialog with a response table of command ids, so
// that a screen's commands (CmOk, CmSearch, ...) run the same way from a button, a
// menu, a key or a test. It runs modally (Execute) or embedded in another widget
// (construct it with Qt::Widget window flags), and it is also a WSIQtWindow so the
// module can hand it to the host as the parent of prompts and sub-screens.

#include "HostWindow.h"
#include "MessageStyle.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>

class QAbstractButton;
class QPushButton;
class WSIApplication;

// Command ids shared by every screen. They match the dialog answers of the prompt
// service, so Enter/Escape and an OK/Cancel button all land on the same entries.
namespace cm {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
} // namespace cm

class WSIDialog : public QDialog, public WSIQtWindow {
    Q_OBJECT

public:
    using CommandHandler = std::function<void()>;

    // parent is the Qt parent (may be null); module is the application the screen
    // reports to (string table, prompts, profile); templateId names the screen.
    // flags = Qt::Widget embeds the screen in its parent instead of a window.
    WSIDialog(QWidget* parent, WSIApplication* module, int templateId,
              Qt::WindowFlags flags = Qt::Dialog);
    // Parent given as a host window handle (the WSIWindow* the host passes in).
    WSIDialog(WSIWindow* parent, WSIApplication* module, int templateId,
              Qt::WindowFlags flags = Qt::Dialog);
    ~WSIDialog() override;

    int TemplateId() const { return templateId_; }
    WSIApplication* Module() const { return module_; }

    // WSIQtWindow: the screen itself.
    QWidget* Widget() override { return this; }

    // --- Response table -------------------------------------------------------
    // Binds (or rebinds) command id to handler. Ids Ok and Cancel are bound at
    // construction to the virtual CmOk/CmCancel; a screen rebinds or overrides them.
    void SetCommand(int id, CommandHandler handler);
    bool HasCommand(int id) const;
    // Runs the handler of id. Returns false, doing nothing, when id has no handler
    // or is disabled; true when the handler ran.
    bool DoCommand(int id);

    // A disabled command does not run; the button and the control registered under
    // the same id are disabled with it. Unknown ids start out enabled.
    void EnableCommand(int id, bool enable);
    bool IsCommandEnabled(int id) const;

    // --- Controls by id ---------------------------------------------------------
    // Registers widget under id (the screen keeps ownership through Qt parenting;
    // the table only looks it up). A second registration replaces the first.
    void AddControl(int id, QWidget* widget);
    QWidget* ControlWidget(int id) const;
    // The control under id as T, null when missing or of another type.
    template <class T> T* Control(int id) const { return dynamic_cast<T*>(ControlWidget(id)); }

    // Creates a push button that runs command id when clicked, registers it as the
    // control id and returns it (the caller lays it out).
    QPushButton* AddCommandButton(int id, const QString& text);
    // Makes an existing button run command id when clicked and registers it.
    void BindCommandButton(int id, QAbstractButton* button);

    // --- Ok / Cancel ---------------------------------------------------------
    // Ok: Validate(), then closes with id::OK when it passes. A screen that must not
    // close on Enter overrides it (or rebinds cm::Ok) to do nothing.
    virtual void CmOk();
    // Cancel: closes with id::CANCEL.
    virtual void CmCancel();
    // The screen's field checks before Ok closes it; shows its own message on failure.
    virtual bool Validate() { return true; }

    // Ends the screen with result (id::OK, id::CANCEL, ...), as a modal exec() returns.
    // An embedded screen (not a window) only records the result and stays.
    void CloseWindow(int result);
    // Runs the screen modally; returns the result CloseWindow was given (id::CANCEL
    // when it was closed by other means).
    int Execute();

    // --- Messages -------------------------------------------------------------
    // Text of a string table code from the module ("" when missing or no module).
    QString LoadString(unsigned code) const;
    // Prompt through the module's prompt service with this screen as parent. The
    // first form loads the text of a message code; caption defaults to the window
    // title. Returns the answer (id::OK, id::YES, ...); id::CANCEL without a module.
    int MessageBox(unsigned code, unsigned style = mb::OK | mb::ICONINFORMATION);
    int MessageBox(const QString& text, unsigned style = mb::OK | mb::ICONINFORMATION,
                   const QString& caption = QString());

    // Qt's own entry points (Enter on a default button, Escape, the close box) are
    // routed through the response table so an override of CmOk/CmCancel holds.
    void accept() override;
    void reject() override;

signals:
    // After a command ran through DoCommand.
    void commandExecuted(int id);

protected:
    // Enter runs cm::Ok (unless a default button takes it), Escape cm::Cancel: the
    // keyboard reaches the same handlers as the buttons.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Init(Qt::WindowFlags flags);
    void ApplyEnabled(int id);

    WSIApplication* module_;
    int templateId_;
    std::map<int, CommandHandler> commands_;
    std::map<int, bool> enabled_;
    std::map<int, QPointer<QWidget>> controls_;
    bool closing_ = false;
};

// Shows the wait cursor for its lifetime (a long search or a report); nests.
class WSIWaitCursor {
public:
    WSIWaitCursor();
    ~WSIWaitCursor();
    WSIWaitCursor(const WSIWaitCursor&) = delete;
    WSIWaitCursor& operator=(const WSIWaitCursor&) = delete;
};

// Runs a modal sub-screen and returns its result: Execute() unless a test installed a
// runner that plays the user on the screen instead of blocking on it.
using WSIModalRunner = std::function<int(WSIDialog& screen)>;
int WSIRunModal(WSIDialog& screen);
// Installs runner (an empty one restores Execute()); returns the one it replaces.
WSIModalRunner WSISetModalRunner(WSIModalRunner runner);
