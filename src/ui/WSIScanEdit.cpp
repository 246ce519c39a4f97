#include "WSIScanEdit.h"

#include "WSIProfile.h"

#include <QKeyEvent>
#include <QTimer>

WSIScanEdit::WSIScanEdit(QWidget* parent) : QLineEdit(parent), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (!text().isEmpty())
            emit entered();
    });
    connect(this, &QLineEdit::textChanged, this, &WSIScanEdit::OnTextChanged);
}

WSIScanEdit::~WSIScanEdit() = default;

int WSIScanEdit::ScanDelayFromProfile(const WSIProfile* profile) {
    const long seconds = profile ? profile->GetInt("Dialog", "ScanDelay", 4) : 4;
    return seconds > 0 ? static_cast<int>(seconds) * 1000 : kDefaultScanDelayMs;
}

void WSIScanEdit::SetScanDelay(int ms) {
    delayMs_ = ms > 0 ? ms : kDefaultScanDelayMs;
}

void WSIScanEdit::SetAutoEntry(bool on) {
    autoEntry_ = on;
    if (!on)
        StopAutoEntry();
}

bool WSIScanEdit::IsAutoEntryPending() const {
    return timer_->isActive();
}

void WSIScanEdit::StopAutoEntry() {
    timer_->stop();
}

void WSIScanEdit::SetTextQuietly(const QString& text) {
    quiet_ = true;
    setText(text);
    quiet_ = false;
}

void WSIScanEdit::SetScannerData(const QString& raw, const QString& productCode) {
    scannerData_ = raw;
    scannedCode_ = productCode;
}

void WSIScanEdit::ClearScannerData() {
    scannerData_.clear();
    scannedCode_.clear();
}

void WSIScanEdit::OnTextChanged(const QString& text) {
    if (quiet_)
        return;
    ClearScannerData();
    // Every keystroke restarts the delay: the text is entered only once it is still.
    timer_->stop();
    if (autoEntry_ && !text.isEmpty())
        timer_->start(delayMs_);
    emit codeChanged(text);
}

void WSIScanEdit::keyPressEvent(QKeyEvent* event) {
    // A scanner sends the GS1 group separator (ASCII 29) as a key of its own; a line edit
    // drops control characters, and the separator is part of the data.
    if (event->text() == QString(QChar(kGroupSeparator))) {
        insert(event->text());
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Taken here so the screen's own Enter handling does not enter it twice.
        timer_->stop();
        emit entered();
        event->accept();
        return;
    case Qt::Key_Up:
        emit upPressed();
        event->accept();
        return;
    case Qt::Key_Down:
        emit downPressed();
        event->accept();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
