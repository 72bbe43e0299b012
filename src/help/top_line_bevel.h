#pragma once
// A bevel that fills its parent's client area and is drawn as one lowered line along its top edge.
#include <QWidget>

class TopLineBevel : public QWidget {
    Q_OBJECT
public:
    explicit TopLineBevel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
