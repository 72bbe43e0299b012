#pragma once
// The Portfolios tab's editor: Closed, or Open on PortfolioFileName (StaticText12 shown).
class QString;
class TFormQuote;

// Switches the editor to Open on the named portfolio (its caption and the hint shown).
void OpenEditorOn(TFormQuote& form, const QString& path);
// Switches the editor to Closed: editor emptied, caption and hint hidden.
void CloseEditor(TFormQuote& form);
bool EditorIsOpen(const TFormQuote& form);
// Open, with text typed since it was opened.
bool EditorHasUnsavedChanges(const TFormQuote& form);
// Save's steps once the user has agreed: writes the list (UTF-8, one symbol a line) to the
// portfolio and closes the editor; on failure says why and stays Open. True when saved.
bool SaveEditor(TFormQuote& form);
