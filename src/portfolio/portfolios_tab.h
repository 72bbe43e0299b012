#pragma once
// The Portfolios tab: a small editor of portfolio files. Closed, or Open on one portfolio (its
// file name and a hint shown) from "Edit Portfolio" or "Create Portfolio" until Save or Cancel.
#include <QWidget>

class CreatePortfolioDialog;
class PortfolioPath;
class QLabel;
class QPushButton;
class OpenDialog;
class MirrorTextEdit;

class PortfoliosTab : public QWidget {
public:
    // openDialog is the main window's "OpenFile", shared with the Quotes tab; a new portfolio
    // is made beside quotesPortfolio (the Quotes tab's, wherever it is at the time).
    PortfoliosTab(QWidget* parent, OpenDialog& openDialog, CreatePortfolioDialog& createDialog,
                  const PortfolioPath& quotesPortfolio);

    // Whether the window may close: true unless the editor holds unsaved text and the user
    // cancels, or asks to save and the save fails.
    bool agreesToClose();
    // The editor holds text the user typed and has not saved: a portfolio open with changes,
    // or text typed while none is open, which Create Portfolio would take.
    bool holdsUnsavedText() const;
    QList<QWidget*> focusChain() const;
    // "Edit Portfolio": the open dialog, and the chosen portfolio into the editor.
    void editPortfolio();

private:
    void buildControls();
    void createPortfolio();
    void savePortfolio();
    void cancelEditing();

    bool editorIsOpen() const;
    bool hasUnsavedChanges() const;
    // Switches the editor to Open on the portfolio at path (its name and the hint shown).
    void openEditorOn(const QString& path);
    // Switches the editor to Closed: editor emptied, name and hint hidden.
    void closeEditor();
    // Writes the list (UTF-8, one symbol a line) to the portfolio and closes the editor; on
    // failure says why and stays Open. True when saved.
    bool saveEditor();

    OpenDialog& openDialog_;
    CreatePortfolioDialog& createDialog_;
    const PortfolioPath& quotesPortfolio_;
    QString portfolioPath_; // absolute path of the portfolio open in the editor

    QLabel* fileName_;
    MirrorTextEdit* editor_;
    QPushButton *editButton_, *createButton_, *saveButton_, *cancelButton_;
    MirrorTextEdit* hint_;
};
