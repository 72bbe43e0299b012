#include "portfolio/create_portfolio_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/form_quote.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "portfolio/portfolio_editor.h"

CreatePortfolioDialog* CreatePort1 = nullptr;

CreatePortfolioDialog::CreatePortfolioDialog(TFormQuote* form) : QDialog(form), form_(form) {
    setObjectName("CreatePort1");
    setWindowTitle("Create Portfolio");
    setFont(windowFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(398, 183);
    move(400, 321);
    setModal(true);

    Label1 = new QLabel("Enter portfolio name (e.g. \"SP500_Stocks):", this);
    Label1->setObjectName("Label1");
    Label1->setFont(pixelFont("MS Sans Serif", 12, true));
    Label1->setGeometry(40, 32, 320, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(40, 64, 289, 24);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(96, 128, 89, 27);
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(216, 128, 89, 27);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

QString PortfolioNameProblem(const QString& name) {
    if (name.isEmpty())
        return "Please type a name for the portfolio.";
    // A name beginning with "." makes a hidden file that neither the dialog nor a file manager shows.
    if (name.startsWith('.'))
        return "A portfolio name cannot begin with \".\": the file would be hidden. Please type a plain name.";
    for (QChar c : name)
        if (c == '/' || c == '\\' || c.unicode() < 32 || c.unicode() == 127)
            return "A portfolio name cannot hold a folder separator (/ or \\) or control characters. "
                   "Please type a plain name.";
    return {};
}

void CreatePortfolioDialog::Button1Click() {
    // A portfolio is always a bare file name, made in the Quotes tab's folder. A name that
    // cannot be one is refused and the dialog stays open.
    const QString problem = PortfolioNameProblem(Edit1->text());
    if (!problem.isEmpty()) {
        MessageBox(problem, "Attention");
        return;
    }
    OpenEditorOn(*form_, form_->QuotesFolder.pathOf(Edit1->text() + ".txt"));
    Edit1->setText("");
    accept();
}

void CreatePortfolioDialog::Button2Click() {
    Edit1->setText("");
    reject();
}
