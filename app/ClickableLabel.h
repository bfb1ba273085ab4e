#pragma once
#include <QLabel>

// A static text or icon that reports a click (a left button released over
// it). The release that ends a double-click reports the double-click
// instead, as a notifying static does.
class CClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_secondClick = false;
};
