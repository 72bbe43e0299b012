#include "help/help_add_symbols.h"

#include <QTextEdit>

THelpAddSym* HelpAddSym = nullptr;

namespace {

const QStringList helpLines{
    "To add or delete stock symbols from your list",
    "of quotes (i.e. portfolio list):",
    "",
    "   (1) Open the portfolio file (see Portfolios tab).",
    "   (2) Add stocks symbols, one per line. Do not add ",
    "       spaces before or after the stock symbols.  ",
    "   (3) Delete symbols you no longer want in",
    "        your quote list.  Do not leave any empty",
    "        lines in your quote list. ",
    "   (4) Save the changes made with the same file",
    "        name.",
    "",
    "",
    "Note: The   file containing your list of symbols ",
    "should be stored in the same folder as the ",
    "\"Tickwell\" application.  ",
    "",
    "Note: See the ReadMe file for more information on ",
    "creating quote lists (portfolio lists).  ",
};

} // namespace

THelpAddSym::THelpAddSym(QWidget* parent)
    : THelpTextWindow(
          {"Add/Remove Symbols", QSize(379, 281), 120, "RichEditAddSym", QRect(20, 20, 336, 237), helpLines, false},
          parent),
      RichEditAddSym(m_text) {}

void THelpAddSym::caretToTop() {
    QTextCursor cursor = RichEditAddSym->textCursor();
    cursor.setPosition(0);
    RichEditAddSym->setTextCursor(cursor);
}
