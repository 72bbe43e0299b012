// The Portfolios tab's controls and its editor: Edit, Create, Save and Cancel on portfolio files.
#include "portfolio/portfolios_tab.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>

#include "load/core/portfolio_path.h"
#include "platform/command_keys.h"
#include "platform/control_table.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/open_dialog.h"
#include "portfolio/create_portfolio_dialog.h"
#include "portfolio/portfolio_file.h"

namespace {
const char* const Attention = "Attention";

// The editor's lines; an empty last line after a final line break is not a line.
QStringList editorLines(const MirrorTextEdit* editor) {
    QString text = editor->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}
} // namespace

PortfoliosTab::PortfoliosTab(QWidget* parent, OpenDialog& openDialog, CreatePortfolioDialog& createDialog,
                             const PortfolioPath& quotesPortfolio)
    : QWidget(parent), openDialog_(openDialog), createDialog_(createDialog), quotesPortfolio_(quotesPortfolio) {
    setObjectName("Historical");
    buildControls();
    connect(editButton_, &QPushButton::clicked, this, [this] { editPortfolio(); });
    connect(createButton_, &QPushButton::clicked, this, [this] { createPortfolio(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { savePortfolio(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelEditing(); });
    editButton_->setToolTip(withKey("Edit Portfolio", ChoosePortfolioKey));
}

void PortfoliosTab::buildControls() {
    using K = ControlKind;
    const ControlRow controls[] = {
        {"StaticText12", K::Header, "input.txt", {24, 31, 51, 17}, &fileName_},
        {"RichEdit2", K::Editor, nullptr, {24, 50, 209, 401}, &editor_},
        {"Button5", K::Button, "Edit Portfolio", {328, 48, 113, 22}, &editButton_},
        {"Button6", K::Button, "Create Portfolio", {328, 80, 113, 22}, &createButton_},
        {"Button7", K::Button, "Save", {328, 112, 113, 22}, &saveButton_},
        {"Button8", K::Button, "Cancel", {328, 144, 113, 22}, &cancelButton_},
        {"RichEdit3",
         K::Editor,
         "Add or Delete stock symbols in the box on \n"
         "the left.  Type only one symbol per line.  \n"
         "Click Save after making changes to the list \n"
         "on the left.  ",
         {328, 216, 212, 253},
         &hint_},
    };
    ::buildControls(this, controls);
    editor_->setAccessibleName("Portfolio text");
    fileName_->setMinimumWidth(0);
    fileName_->hide();
    hint_->setFrameStyle(QFrame::NoFrame);
    hint_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hint_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hint_->setReadOnly(true);
    // A caret shows where the focus is when Tab reaches the hint.
    hint_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // On the button-face colour by role, not by a copied colour, so that it follows a change of palette.
    hint_->viewport()->setBackgroundRole(QPalette::Button);
    hint_->hide();
}

QList<QWidget*> PortfoliosTab::focusChain() const {
    return {editor_, hint_, editButton_, createButton_, saveButton_, cancelButton_};
}

bool PortfoliosTab::editorIsOpen() const {
    return fileName_->isVisibleTo(this);
}

bool PortfoliosTab::hasUnsavedChanges() const {
    return editorIsOpen() && editor_->document()->isModified();
}

void PortfoliosTab::openEditorOn(const QString& path) {
    portfolioPath_ = path;
    fileName_->setText(QFileInfo(path).fileName());
    fileName_->adjustSize();
    fileName_->show();
    hint_->show();
    editor_->document()->setModified(false);
}

void PortfoliosTab::closeEditor() {
    editor_->clear();
    hint_->hide();
    fileName_->hide();
}

bool PortfoliosTab::saveEditor() {
    QString error;
    if (!writePortfolioLines(portfolioPath_, editorLines(editor_), &error)) {
        // The work stays in the editor, still Open, so the user can save it elsewhere.
        messageBox("Cannot save the portfolio " + portfolioPath_ + ": " + error + ". Your list is still in the editor.",
                   Attention);
        return false;
    }
    closeEditor();
    return true;
}

bool PortfoliosTab::holdsUnsavedText() const {
    return editor_->document()->isModified() && (editorIsOpen() || !editor_->document()->isEmpty());
}

bool PortfoliosTab::agreesToClose() {
    if (!hasUnsavedChanges())
        return true;
    const MsgAnswer answer =
        messageBox("The portfolio " + fileName_->text() + " has changes that are not saved. Save them before closing?",
                   Attention, MsgButtons::SaveDiscardCancel);
    return answer == MsgAnswer::Discard || (answer == MsgAnswer::Save && saveEditor());
}

void PortfoliosTab::editPortfolio() {
    if (editorIsOpen()) {
        messageBox("Porfolio list currently open. Select Cancel or Save before editing another portfolio. ", Attention);
        return;
    }
    editor_->clear();
    // Alert rules sit beside their portfolios and are edited like them.
    if (!openDialog_.exec("Alert rules|*.alerts"))
        return;
    const QString path = openDialog_.fileName();
    QStringList lines;
    QString why;
    if (!readPortfolioLines(path, lines, &why)) {
        // Nothing to edit: say why and stay Closed rather than Open on an empty list.
        messageBox("Cannot open the portfolio " + path + " for editing: " + why + ".", Attention);
        return;
    }
    openEditorOn(path);
    editor_->setPlainText(lines.join('\n'));
    editor_->document()->setModified(false);
}

void PortfoliosTab::createPortfolio() {
    if (editorIsOpen()) {
        messageBox("Porfolio list currently open. Select Cancel or Save before creating another portfolio. ",
                   Attention);
        return;
    }
    // A portfolio is always a bare file name, made in the Quotes tab's folder.
    if (const std::optional<QString> name = createDialog_.askName())
        openEditorOn(quotesPortfolio_.pathOf(*name + ".txt"));
}

void PortfoliosTab::savePortfolio() {
    if (!editorIsOpen())
        return;
    if (messageBox("Are you sure you want to Save this portfolio list?", Attention, MsgButtons::OkCancel) !=
        MsgAnswer::Ok)
        return;
    saveEditor();
}

void PortfoliosTab::cancelEditing() {
    if (!editorIsOpen())
        return;
    if (messageBox("Are you sure you want to Cancel?  All work on this portfolio will  be lost if you click OK.",
                   Attention, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    closeEditor();
}
