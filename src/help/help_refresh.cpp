#include "help/help_refresh.h"

#include <QTextEdit>

THelpRefresh* HelpRefresh = nullptr;

namespace {

const QStringList helpLines{
    "To have the stock quotes refresh automatically, ",
    "",
    "   (1)  Click the box next to \"Automatic Refresh Enabled\" so that the box",
    "         is checked.  ",
    "   (2)  Select a refresh interval from the menu located below the check box ",
    "         (\"Refresh Time\").  ",
    "",
    "This will make the quotes reload automatically after the selected time interval",
    "has elapsed.  ",
};

} // namespace

THelpRefresh::THelpRefresh(QWidget* parent)
    : THelpTextWindow({"Automatic Refresh", QSize(416, 197), 96, "RichEdit1", QRect(16, 16, 385, 160), helpLines, true},
                      parent),
      RichEdit1(m_text) {}
