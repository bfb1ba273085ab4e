#include "app/LinkFlash.h"

#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
// What a flash changes, as it was before: a highlight background role also
// turns the text role to the highlighted text's, so both go back.
struct LinkLook {
    QPalette::ColorRole background;
    QPalette::ColorRole foreground;
    bool autoFill;
};
}  // namespace

void FlashLink(QWidget* link) {
    if (!link) return;
    // A flash still running keeps the look it found at its start.
    const QVariant saved = link->property("loadwatchFlash");
    const LinkLook look =
        saved.isValid()
            ? LinkLook{static_cast<QPalette::ColorRole>(saved.toList()[0].toInt()),
                       static_cast<QPalette::ColorRole>(saved.toList()[1].toInt()),
                       saved.toList()[2].toBool()}
            : LinkLook{link->backgroundRole(), link->foregroundRole(), link->autoFillBackground()};
    const int generation = link->property("loadwatchFlashGeneration").toInt() + 1;
    link->setProperty("loadwatchFlashGeneration", generation);
    link->setProperty("loadwatchFlash", QVariantList{look.background, look.foreground, look.autoFill});
    link->setBackgroundRole(QPalette::Highlight);
    link->setForegroundRole(QPalette::HighlightedText);
    link->setAutoFillBackground(true);
    // On, off, on, off; the last step puts the link's own look back. The
    // timers die with the link.
    for (int step = 1; step <= 3; ++step)
        QTimer::singleShot(step * 150, link, [link, step, generation, look] {
            if (link->property("loadwatchFlashGeneration").toInt() != generation) return;  // a newer flash
            if (step < 3) {
                link->setAutoFillBackground(step % 2 == 0);
                return;
            }
            link->setBackgroundRole(look.background);
            link->setForegroundRole(look.foreground);
            link->setAutoFillBackground(look.autoFill);
            link->setProperty("loadwatchFlash", QVariant());
        });
}
