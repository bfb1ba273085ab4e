#include "app/LinkFlash.h"

#include <QPalette>
#include <QTimer>
#include <QWidget>

void FlashLink(QWidget* link) {
    if (!link) return;
    link->setBackgroundRole(QPalette::Highlight);
    link->setAutoFillBackground(true);
    // On, off, on, off: the timers die with the link.
    for (int step = 1; step <= 3; ++step)
        QTimer::singleShot(step * 150, link, [link, on = step % 2 == 0] { link->setAutoFillBackground(on); });
}
