#pragma once
// A one-line box the program alone fills, read by a screen reader as a whole value, as an
// editable box is: its accessible text tells one run of attributes over the whole text (Qt's
// line edit tells an empty run at each offset, from which Orca cut off the last character), and
// taking the focus selects nothing.
#include <QLineEdit>

class ReadOnlyBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ReadOnlyBox(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
};
