#pragma once
// The Create Portfolio dialog: asks for the name of a new portfolio.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TFormQuote;

class TCreatePort1 : public QDialog {
public:
    explicit TCreatePort1(TFormQuote* form);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel

    void Button1Click();
    void Button2Click();

private:
    TFormQuote* form_;
};

extern TCreatePort1* CreatePort1;

// A name a portfolio file may take here: no folder separator, no control character.
bool IsPlainPortfolioName(const QString& name);
