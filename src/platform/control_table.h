#pragma once
// Builds a tab's controls from one declarative table: each row gives the control's objectName,
// its kind, its caption (or initial text), its designed geometry and the member that holds it.
#include <QRect>
#include <QStringList>
#include <span>
#include <variant>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class MirrorTextEdit;
class StatusLine;
class QuoteGrid;

enum class ControlKind {
    Label,     // sizes itself to its text from its designed left and top
    Header,    // a label in 12-pixel bold
    Edit,      // a one-line text box; the caption is its text
    ReadOnly,  // a one-line text box the program alone fills
    Button,    // a push button that never acts as the default on Return
    CheckBox,  //
    ChoiceBox, // an editable box with a list of choices; typed text stays typed
    Panel,     // a raised frame lying behind the controls placed on it
    Grid,      // an owner-drawn string grid of seven columns
    Mirror,    // a rich-text box the user can neither reach nor type into
    Editor,    // a rich-text box to type in
    StatusBar, // a status bar in simple-text mode
};

// Where a built control goes; its type decides the class of the control made.
using ControlSlot = std::variant<QLabel**, QLineEdit**, QPushButton**, QCheckBox**, QComboBox**, QFrame**, QuoteGrid**,
                                 MirrorTextEdit**, StatusLine**>;

struct ControlRow {
    const char* objectName;
    ControlKind kind;
    const char* caption;
    QRect geometry;
    ControlSlot member;
};

// Makes every row's control on parent, in the table's order, and stores it in its member.
void buildControls(QWidget* parent, std::span<const ControlRow> rows);

// Gives a box that shows no caption of its own the accessible name of the visible label beside
// it: a label becomes its buddy (so screen readers also hear which label it is), a button lends
// its caption.
void nameAfter(QWidget* box, QWidget* label);

// Fills a choice box with its items while keeping its text and choosing none of them.
void fillChoices(QComboBox* box, const QStringList& items);
