#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class TavelHost;

// Asks for a user name and password until they are right or the user gives up. A refusal
// goes through the host's prompt service and the dialog stays open for another try.
class SignInDialog : public QDialog {
    Q_OBJECT
public:
    explicit SignInDialog(TavelHost& host, QWidget* parent = nullptr);

    long User() const { return user_; }
    std::string Login() const;

    // Checks the fields; true when signed in. Bound to OK.
    bool TrySignIn();

private:
    TavelHost& host_;
    QLineEdit* login_;
    QLineEdit* password_;
    long user_ = 0;
};
