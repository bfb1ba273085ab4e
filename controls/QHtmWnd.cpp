#include "controls/QHtmWnd.h"

#include <QDesktopServices>
#include <QImage>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>

CQHtmWnd::CQHtmWnd(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &CQHtmWnd::OnAnchorClicked);
}

void CQHtmWnd::SetWindowText(const std::string& text) {
    if (text == m_strText) return;
    // A page whose head changed (its amounts, every second) keeps the
    // reader's place; another page starts at its top.
    size_t same = 0;
    while (same < text.size() && same < m_strText.size() &&
           text[text.size() - 1 - same] == m_strText[m_strText.size() - 1 - same])
        ++same;
    const bool samePage = !text.empty() && same * 2 >= std::max(text.size(), m_strText.size());
    const int position = verticalScrollBar()->value();
    m_strText = text;
    setHtml(QString::fromStdString(text));
    if (samePage) verticalScrollBar()->setValue(position);
}

bool CQHtmWnd::OpensInBrowser(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QVariant CQHtmWnd::loadResource(int type, const QUrl& /*name*/) {
    // The page comes from a server we do not control: what it refers to is
    // neither fetched nor read from disk (a named pipe or a device could block
    // or exhaust the window). A null result would let the document try the
    // file itself, so every request is answered with an empty stand-in.
    if (type == QTextDocument::ImageResource) {
        QImage blank(1, 1, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        return blank;
    }
    return QString();
}

void CQHtmWnd::OnAnchorClicked(const QUrl& url) {
    if (OpensInBrowser(url)) QDesktopServices::openUrl(url);
}
