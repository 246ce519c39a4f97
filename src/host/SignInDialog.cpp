#include "SignInDialog.h"

#include "HostDatabase.h"
#include "MessageStyle.h"
#include "TavelHost.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

SignInDialog::SignInDialog(TavelHost& host, QWidget* parent)
    : QDialog(parent), host_(host), login_(new QLineEdit(this)), password_(new QLineEdit(this)) {
    setWindowTitle(tr("Sign in to Tavel"));
    login_->setObjectName(QStringLiteral("login"));
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (TrySignIn())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("&User"), login_);
    form->addRow(tr("&Password"), password_);
    form->addRow(buttons);
}

std::string SignInDialog::Login() const {
    return login_->text().toStdString();
}

bool SignInDialog::TrySignIn() {
    if (!host_.GetDb())
        return false;
    const std::string password = password_->text().toStdString();
    long user = 0;
    if (tavelhost::CheckSignIn(*host_.GetDb(), Login(), password, user) ==
        tavelhost::SignInResult::Ok) {
        user_ = user;
        return true;
    }
    Prompt prompt;
    prompt.text = host_.Text(39400);
    prompt.caption = "Tavel";
    prompt.icon = mb::ICONERROR;
    host_.Ask(prompt);
    password_->clear();
    password_->setFocus();
    return false;
}
