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

// Why a typed name cannot become a portfolio file here (empty, hidden, a folder separator or
// a control character in it); empty when it can.
QString PortfolioNameProblem(const QString& name);
