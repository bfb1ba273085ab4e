#include "app/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool CQtClipboard::SetText(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    const QString unicode = QString::fromStdString(text);
    if (unicode.toStdString() == text) {
        clipboard->setText(unicode);
        return true;
    }
    // A file name that is not UTF-8: the bytes as they are, not with
    // replacement characters that would name no file.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), QByteArray::fromStdString(text));
    clipboard->setMimeData(data);
    return true;
}
