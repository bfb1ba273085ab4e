#include "app/QtDesktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

namespace {
// File names are bytes; a URL keeps every one of them.
QUrl FileUrl(const std::string& path) {
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}
}  // namespace

void CQtDesktop::OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

void CQtDesktop::OpenFolder(const std::string& folder) { QDesktopServices::openUrl(FileUrl(folder)); }

void CQtDesktop::ShowFileProperties(const std::string& path) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItemProperties"));
    call << QStringList{QString::fromUtf8(FileUrl(path).toEncoded())} << QString();
    // Not waited for: without a file manager that offers it (or without a
    // session bus) the call fails on its own and nothing shows.
    QDBusConnection::sessionBus().send(call);
}
