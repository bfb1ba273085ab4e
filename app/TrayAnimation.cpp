#include "app/TrayAnimation.h"

#include <QPropertyAnimation>
#include <QRubberBand>
#include <QScreen>

QRect GetTrayRect(const QRect& iconGeometry, const QScreen* screen) {
    if (iconGeometry.isValid() && !iconGeometry.isEmpty()) return iconGeometry;
    if (!screen) return {};
    const QRect work = screen->availableGeometry();
    return QRect(work.right() + 1 - 150, work.bottom() + 1 - 30, 150, 30);
}

void AnimateTray(bool toTray, const QRect& window, const QRect& tray) {
    if (!window.isValid() || !tray.isValid()) return;
    auto* band = new QRubberBand(QRubberBand::Rectangle);
    band->setAttribute(Qt::WA_TransparentForMouseEvents);
    band->setGeometry(toTray ? window : tray);
    band->show();
    auto* animation = new QPropertyAnimation(band, "geometry", band);
    animation->setDuration(200);
    animation->setStartValue(toTray ? window : tray);
    animation->setEndValue(toTray ? tray : window);
    QObject::connect(animation, &QPropertyAnimation::finished, band, &QObject::deleteLater);
    animation->start();
}
