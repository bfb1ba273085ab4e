#pragma once
#include <QTextBrowser>
#include <string>

// The details panel: shows the HTML page it is given as its text. It never
// loads anything the page refers to (no images, style sheets, from the
// network or from local files), and a click on a link opens only http and
// https addresses, in the user's browser.
class CQHtmWnd : public QTextBrowser {
    Q_OBJECT
public:
    explicit CQHtmWnd(QWidget* parent = nullptr);

    // Shows `text` (HTML or plain text). The same text again changes nothing
    // and renders nothing. A text that ends as the shown one for at least
    // half its length is the same page with a new head: the reader's place
    // is kept; any other starts at the top.
    void SetWindowText(const std::string& text);
    // The last text set, byte for byte.
    const std::string& GetWindowText() const { return m_strText; }

    // Whether a click on a link to `url` opens it in the browser.
    static bool OpensInBrowser(const QUrl& url);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void OnAnchorClicked(const QUrl& url);

    std::string m_strText;
};
