#include "app/Icons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

// The images live in this static library, which the linker would otherwise
// leave out of the program.
static void InitImages() {
    static const bool done = [] {
        Q_INIT_RESOURCE(loadwatch);
        return true;
    }();
    (void)done;
}

namespace {
QString ResourcePath(int id) {
    InitImages();
    return QStringLiteral(":/loadwatch/%1.svg").arg(id);
}

QPixmap Render(const QString& path, QSize size) {
    QSvgRenderer renderer(path);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (!renderer.isValid()) return pixmap;
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}
}  // namespace

QIcon LoadIconResource(int id) {
    QIcon icon;
    for (int side : {16, 32, 48, 256}) icon.addPixmap(Render(ResourcePath(id), {side, side}));
    return icon;
}

QPixmap LoadIconPixmap(int id, QSize size) { return Render(ResourcePath(id), size); }

QCursor LoadHandCursor() {
    // Drawn in a 32 x 32 cell with the fingertip at (5, 1).
    return QCursor(Render(ResourcePath(129), {32, 32}), 5, 1);
}
