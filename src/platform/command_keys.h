#pragma once
// The keys of the window's commands, in one place: the main window binds them, and each button
// that a key stands for names it in its tooltip.
#include <QKeySequence>
#include <QString>

inline constexpr char GetQuotesKey[] = "F5";
inline constexpr char ChoosePortfolioKey[] = "Ctrl+O"; // Select Portfolio, or Edit Portfolio in the editor
inline constexpr char FindKey[] = "Ctrl+F";
inline constexpr char CloseWindowKey[] = "Ctrl+Q";
inline constexpr const char* NextPageKeys[] = {"Ctrl+Tab", "Ctrl+PgDown"};
inline constexpr const char* PreviousPageKeys[] = {"Ctrl+Shift+Tab", "Ctrl+PgUp"};

// "Get Quotes (F5)": what a control does, and its key as the desktop writes it.
inline QString withKey(const QString& what, const char* key) {
    return what + " (" + QKeySequence(key).toString(QKeySequence::NativeText) + ")";
}
