#include "WSIDialog.h"

#include "WSIApplication.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <vector>

WSIDialog::WSIDialog(QWidget* parent, WSIApplication* module, int templateId, Qt::WindowFlags flags)
    : QDialog(parent, flags), module_(module), templateId_(templateId) {
    Init(flags);
}

WSIDialog::WSIDialog(WSIWindow* parent, WSIApplication* module, int templateId,
                     Qt::WindowFlags flags)
    : QDialog(WidgetOf(parent), flags), module_(module), templateId_(templateId) {
    Init(flags);
}

WSIDialog::~WSIDialog() {
    // QDialog's destructor hides the window, which takes the focus from a field; the field's
    // signals (editingFinished, ...) must not reach a screen whose own parts are gone.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void WSIDialog::Init(Qt::WindowFlags flags) {
    // QDialog turns a plain widget type into Qt::Dialog; an embedded screen asks again.
    if ((flags & Qt::WindowType_Mask) == Qt::Widget)
        setWindowFlags(flags);
    // Bound through the virtuals so a screen may override CmOk/CmCancel or rebind the ids.
    commands_[cm::Ok] = [this] { CmOk(); };
    commands_[cm::Cancel] = [this] { CmCancel(); };
}

void WSIDialog::SetCommand(int id, CommandHandler handler) {
    if (handler)
        commands_[id] = std::move(handler);
    else
        commands_.erase(id);
}

bool WSIDialog::HasCommand(int id) const {
    return commands_.count(id) != 0;
}

bool WSIDialog::DoCommand(int id) {
    auto it = commands_.find(id);
    if (it == commands_.end() || !IsCommandEnabled(id))
        return false;
    // Copy: the handler may rebind its own id while it runs.
    CommandHandler handler = it->second;
    handler();
    emit commandExecuted(id);
    return true;
}

void WSIDialog::EnableCommand(int id, bool enable) {
    enabled_[id] = enable;
    ApplyEnabled(id);
}

bool WSIDialog::IsCommandEnabled(int id) const {
    auto it = enabled_.find(id);
    return it == enabled_.end() || it->second;
}

void WSIDialog::ApplyEnabled(int id) {
    auto it = controls_.find(id);
    if (it != controls_.end() && it->second && enabled_.count(id))
        it->second->setEnabled(enabled_[id]);
}

void WSIDialog::AddControl(int id, QWidget* widget) {
    controls_[id] = widget;
    ApplyEnabled(id);
}

QWidget* WSIDialog::ControlWidget(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

QPushButton* WSIDialog::AddCommandButton(int id, const QString& text) {
    auto* button = new QPushButton(text, this);
    // Enter must reach CmOk through the response table, not through a default button
    // that happens to have the focus.
    button->setAutoDefault(false);
    BindCommandButton(id, button);
    return button;
}

void WSIDialog::BindCommandButton(int id, QAbstractButton* button) {
    connect(button, &QAbstractButton::clicked, this, [this, id] { DoCommand(id); });
    AddControl(id, button);
}

void WSIDialog::CmOk() {
    if (Validate())
        CloseWindow(id::OK);
}

void WSIDialog::CmCancel() {
    CloseWindow(id::CANCEL);
}

void WSIDialog::CloseWindow(int result) {
    if (!isWindow()) {
        // An embedded screen lives as long as the screen around it; it only notes the result.
        setResult(result);
        return;
    }
    closing_ = true;
    QDialog::done(result);
    closing_ = false;
}

int WSIDialog::Execute() {
    setResult(id::CANCEL);
    const int r = exec();
    // exec() returns 0 when the window was destroyed or closed without done().
    return r == 0 ? id::CANCEL : r;
}

void WSIDialog::accept() {
    if (!closing_)
        DoCommand(cm::Ok);
}

void WSIDialog::reject() {
    if (!closing_)
        DoCommand(cm::Cancel);
}

void WSIDialog::keyPressEvent(QKeyEvent* event) {
    if (!isWindow()) {
        // Embedded: Enter and Escape belong to the screen around this one.
        QWidget::keyPressEvent(event);
        return;
    }
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        const QList<QPushButton*> buttons = findChildren<QPushButton*>();
        for (QPushButton* b : buttons)
            if (b->isDefault() && b->isVisible()) {
                QDialog::keyPressEvent(event);
                return;
            }
        DoCommand(cm::Ok);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cancel)) {
        DoCommand(cm::Cancel);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString WSIDialog::LoadString(unsigned code) const {
    if (!module_)
        return QString();
    std::vector<char> buf(2048);
    module_->LoadString(code, buf.data(), static_cast<int>(buf.size()));
    return QString::fromUtf8(buf.data());
}

int WSIDialog::MessageBox(unsigned code, unsigned style) {
    return MessageBox(LoadString(code), style);
}

int WSIDialog::MessageBox(const QString& text, unsigned style, const QString& caption) {
    if (!module_)
        return id::CANCEL;
    const QByteArray t = text.toUtf8();
    const QByteArray c = (caption.isEmpty() ? windowTitle() : caption).toUtf8();
    return module_->MessageBox(this, t.constData(), c.constData(), style);
}

WSIWaitCursor::WSIWaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

WSIWaitCursor::~WSIWaitCursor() {
    QGuiApplication::restoreOverrideCursor();
}

namespace {
WSIModalRunner& ModalRunner() {
    static WSIModalRunner runner;
    return runner;
}
} // namespace

int WSIRunModal(WSIDialog& screen) {
    const WSIModalRunner& runner = ModalRunner();
    return runner ? runner(screen) : screen.Execute();
}

WSIModalRunner WSISetModalRunner(WSIModalRunner runner) {
    WSIModalRunner previous = std::move(ModalRunner());
    ModalRunner() = std::move(runner);
    return previous;
}
