#pragma once
// The Create Portfolio dialog: asks for the name of a new portfolio.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TFormQuote;

class CreatePortfolioDialog : public QDialog {
public:
    explicit CreatePortfolioDialog(TFormQuote* form);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel

    void Button1Click();
    void Button2Click();

private:
    TFormQuote* form_;
};

extern CreatePortfolioDialog* CreatePort1;

// Why a typed name cannot become a portfolio file here (empty, hidden, a folder separator or
// a control character in it); empty when it can.
QString PortfolioNameProblem(const QString& name);
