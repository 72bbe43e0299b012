#include "portfolio/create_portfolio_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialog_return.h"
#include "platform/fonts.h"
#include "platform/message_box.h"

CreatePortfolioDialog::CreatePortfolioDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("CreatePort1");
    setWindowTitle("Create Portfolio");
    setFont(windowFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(398, 183);
    move(400, 321);
    setModal(true);

    prompt_ = new QLabel("Enter portfolio name (e.g. \"SP500_Stocks):", this);
    prompt_->setObjectName("Label1");
    prompt_->setFont(pixelFont("MS Sans Serif", 12, true));
    prompt_->setGeometry(40, 32, 320, 16);
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName("Edit1");
    nameEdit_->setGeometry(40, 64, 289, 24);
    okButton_ = new QPushButton("OK", this);
    okButton_->setObjectName("Button1");
    okButton_->setGeometry(96, 128, 89, 27);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton("Cancel", this);
    cancelButton_->setObjectName("Button2");
    cancelButton_->setGeometry(216, 128, 89, 27);
    connect(okButton_, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelClicked(); });
}

std::optional<QString> CreatePortfolioDialog::askName() {
    const DialogReturn back;
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return acceptedName_;
}

bool portfolioNameAllowed(const QString& name, QString* why) {
    if (name.isEmpty()) {
        *why = "Please type a name for the portfolio.";
        return false;
    }
    // A name beginning with "." makes a hidden file that neither the dialog nor a file manager shows.
    if (name.startsWith('.')) {
        *why = "A portfolio name cannot begin with \".\": the file would be hidden. Please type a plain name.";
        return false;
    }
    for (QChar c : name)
        if (c == '/' || c == '\\' || c.unicode() < 32 || c.unicode() == 127) {
            *why = "A portfolio name cannot hold a folder separator (/ or \\) or control characters. "
                   "Please type a plain name.";
            return false;
        }
    return true;
}

void CreatePortfolioDialog::okClicked() {
    // A name that cannot be a bare file name is refused and the dialog stays open.
    QString why;
    if (!portfolioNameAllowed(nameEdit_->text(), &why)) {
        messageBox(why, "Attention");
        return;
    }
    acceptedName_ = nameEdit_->text();
    nameEdit_->setText("");
    accept();
}

void CreatePortfolioDialog::cancelClicked() {
    nameEdit_->setText("");
    reject();
}
