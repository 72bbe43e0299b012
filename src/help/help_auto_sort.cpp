#include "help/help_auto_sort.h"

#include <QTextEdit>

THelpAutoSort* HelpAutoSort = nullptr;

namespace {

const QStringList helpLines{
    "The automatic sort features are used to sort the quote",
    "data after it has loaded completely.  The \"Automatic ",
    "alphabetical sort\" option will sort the data in alphabetical",
    "order.  Any stock symbols beginning with  \" ^ \" (e.g. ^dji",
    "for Dow Jones Industrials Average) will appear at the top ",
    "of the sorted list.   The \"Automatic sort by %change\" ",
    "sorts the loaded quote data by percent change for the ",
    "day (ascending order).  ",
    "",
    "Note: Automatic sort options need to be enabled prior to",
    "loading quotes for these features to work.  See the ",
    "\"Sort\"menu to sort quote data that has already been ",
    "loaded.  ",
    "",
    "To enable either automatic sort feature:",
    "   ",
    "           Click on the box next to the feature you want",
    "           enabled.  A check mark will appear in the box",
    "           to indicate that the feature is enabled.",
    "",
    "To disable an automatic sort feature:",
    "   ",
    "           Click on the box next to the feature that you",
    "           want to disable.   The check mark will be ",
    "           removed from the box.  ",
};

} // namespace

THelpAutoSort::THelpAutoSort(QWidget* parent)
    : THelpTextWindow({"Automatic Sort Options", QSize(447, 318), 120, "RichEditAutoSort", QRect(20, 20, 397, 269),
                       helpLines, true},
                      parent),
      RichEditAutoSort(m_text) {}
