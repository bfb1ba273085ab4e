#pragma once
#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The program's own images, drawn from the SVG files built into it.
// Icon 128 is the application icon; 131 and 132 belong to the promotion panel.
QIcon LoadIconResource(int id);
QPixmap LoadIconPixmap(int id, QSize size);
// The pointing hand of the links (resource 129), hot spot at the fingertip.
QCursor LoadHandCursor();
