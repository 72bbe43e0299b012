#include "help/about_window.h"

#include <QEvent>
#include <QLabel>

#include "platform/readable_colours.h"

namespace {

const QColor navy(0, 0, 128);

QLabel* makeText(QWidget* parent, const QString& name, const QString& text, const QPoint& place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(place);
    return label;
}

void setPointSize(QLabel* label, int points, bool bold = false) {
    QFont font("MS Sans Serif");
    font.setPointSize(points);
    font.setBold(bold);
    label->setFont(font);
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : HelpWindow("About Tickwell", QSize(392, 259), parent),
      titleText_(makeText(this, "AboutFormText1", "Tickwell", QPoint(48, 8))),
      versionText_(makeText(this, "AboutFormText2", "Version 1.5", QPoint(272, 16))),
      noteText_(makeText(this, "AboutFormText4",
                         "Stock data are obtained from the quote server's web site. No responsibility is taken "
                         "for the accuracy of the stock data.",
                         QPoint(48, 176))) {
    // The note keeps its box whatever its text needs; the other two size themselves to their text.
    noteText_->setWordWrap(true);
    noteText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noteText_->resize(281, 73);
    setTypeSizes();
    colourTexts();
    // Each text is a Tab stop, so that a screen reader reads it; Escape hides the window.
    for (QLabel* text : {titleText_, versionText_, noteText_})
        text->setFocusPolicy(Qt::TabFocus);
    titleText_->setFocus();
}

void AboutWindow::colourTexts() {
    const QColor ink = windowInk(navy, palette());
    for (QLabel* text : {titleText_, versionText_, noteText_}) {
        QPalette pal = text->palette();
        pal.setColor(QPalette::WindowText, ink);
        text->setPalette(pal);
    }
}

void AboutWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        colourTexts();
    HelpWindow::changeEvent(event);
}

void AboutWindow::setTypeSizes() {
    setPointSize(titleText_, 18, true);
    setPointSize(versionText_, 10);
    setPointSize(noteText_, 8);
    titleText_->adjustSize();
    versionText_->adjustSize();
    update();
}
