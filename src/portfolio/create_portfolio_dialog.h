#pragma once
// The Create Portfolio dialog: asks for the name of a new portfolio.
#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

class CreatePortfolioDialog : public QDialog {
public:
    explicit CreatePortfolioDialog(QWidget* parent);

    // Runs the dialog; the name typed when the user pressed OK, nothing on Cancel.
    std::optional<QString> askName();

private:
    void okClicked();
    void cancelClicked();

    QLabel* prompt_;
    QLineEdit* nameEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QString acceptedName_;
};

// Whether a typed name can become a portfolio file here; false with the reason in why when it is
// empty, hidden, or holds a folder separator or a control character.
bool portfolioNameAllowed(const QString& name, QString* why);
