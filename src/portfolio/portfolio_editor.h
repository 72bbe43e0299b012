#pragma once
// The Portfolios tab's editor: Closed, or Open on PortfolioFileName (StaticText12 shown).
class QString;
class TFormQuote;

// Switches the editor to Open on the named portfolio (its caption and the hint shown).
void OpenEditorOn(TFormQuote& form, const QString& path);
// Switches the editor to Closed: editor emptied, caption and hint hidden.
void CloseEditor(TFormQuote& form);
bool EditorIsOpen(const TFormQuote& form);
