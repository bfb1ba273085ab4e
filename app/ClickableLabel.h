#pragma once
#include <QLabel>

// A static text or icon that reports a click (a left button released over it).
class CClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
