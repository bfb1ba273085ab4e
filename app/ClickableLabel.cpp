#include "app/ClickableLabel.h"

#include <QMouseEvent>
#include <utility>

void CClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_secondClick = true;
    QLabel::mouseDoubleClickEvent(event);
}

void CClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const bool second = std::exchange(m_secondClick, false);
        if (rect().contains(event->position().toPoint())) emit second ? doubleClicked() : clicked();
    }
    QLabel::mouseReleaseEvent(event);
}
