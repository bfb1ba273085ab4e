#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

#include "controls/QHtmWnd.h"

namespace {
// A named pipe that notices whether anybody opens it for reading. The writer
// waits in open() for each reader and hands it a few bytes; Finish() lets it
// go. So a view that reads the pipe is caught afterwards instead of hanging.
class PipeWatch {
public:
    explicit PipeWatch(const QString& path) : m_path(path.toStdString()) {
        m_ok = mkfifo(m_path.c_str(), 0600) == 0;
        if (!m_ok) return;
        m_writer = std::thread([this] {
            while (!m_finishing) {
                int fd = open(m_path.c_str(), O_WRONLY);
                if (fd < 0) return;
                if (!m_finishing) {
                    m_opened = true;
                    (void)!write(fd, "GIF89a", 6);
                }
                close(fd);
            }
        });
    }
    bool Ok() const { return m_ok; }
    // True when the view opened the pipe.
    bool Finish() {
        if (!m_ok) return false;
        m_finishing = true;
        int fd = open(m_path.c_str(), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        if (fd >= 0) close(fd);
        return m_opened;
    }

private:
    std::string m_path;
    bool m_ok = false;
    std::atomic<bool> m_finishing{false};
    std::atomic<bool> m_opened{false};
    std::thread m_writer;
};

// Where the text at document position `pos` is, in viewport coordinates.
QPoint TextPosition(CQHtmWnd& view, int pos) {
    QTextCursor cursor(view.document());
    cursor.setPosition(pos);
    return view.cursorRect(cursor).center();
}
}  // namespace

class QHtmWndTest : public QObject {
    Q_OBJECT
public slots:
    void OpenUrl(const QUrl& url) { m_opened.push_back(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void textComesBackUnchanged_data();
    void textComesBackUnchanged();
    void sameTextDoesNotRender();
    void readersPlace_data();
    void readersPlace();
    void nothingRemoteIsFetched();
    void noLocalFileIsRead_data();
    void noLocalFileIsRead();
    void linksOpenOnlyWebPages_data();
    void linksOpenOnlyWebPages();

private:
    std::vector<QUrl> m_opened;
};

void QHtmWndTest::initTestCase() {
    // Catch what would go to the browser.
    for (const char* scheme : {"http", "https", "file", "mailto", "ftp", "javascript"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "OpenUrl");
}

void QHtmWndTest::cleanupTestCase() {
    for (const char* scheme : {"http", "https", "file", "mailto", "ftp", "javascript"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void QHtmWndTest::textComesBackUnchanged_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QByteArray("Please choose a program.") << "Please choose a program.";
    QTest::newRow("empty") << QByteArray("") << "";
    QTest::newRow("html") << QByteArray(
                                 "<html><body><p>Ein <b>Programm</b> f\xc3\xbcr  alle</p></body></html>")
                          << QString::fromUtf8("Ein Programm f\xc3\xbcr alle");
    QTest::newRow("not utf-8") << QByteArray("caf\xe9 \xff") << "";
}

void QHtmWndTest::textComesBackUnchanged() {
    QFETCH(QByteArray, text);
    QFETCH(QString, shown);
    CQHtmWnd view;
    view.SetWindowText("something before");
    const std::string bytes = text.toStdString();
    view.SetWindowText(bytes);
    QCOMPARE(view.GetWindowText(), bytes);
    if (!shown.isEmpty() || text.isEmpty()) QCOMPARE(view.toPlainText(), shown);
}

void QHtmWndTest::sameTextDoesNotRender() {
    CQHtmWnd view;
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy changed(&view, &QTextEdit::textChanged);
    view.SetWindowText("<p>Page</p>");
    QCOMPARE(changed.count(), 1);
    view.SetWindowText("<p>Page</p>");
    QCOMPARE(changed.count(), 1);
    view.SetWindowText("");
    view.SetWindowText("");
    QCOMPARE(changed.count(), 2);
    QCOMPARE(view.toPlainText(), QString());
}

void QHtmWndTest::readersPlace_data() {
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("body");  // "same", "other" (as long) or none
    QTest::addColumn<bool>("kept");
    QTest::newRow("new head, same page") << "<p>Processor: 80%</p>"
                                         << "same" << true;
    QTest::newRow("same head, another page") << "<p>Processor: 35%</p>"
                                             << "other" << false;
    QTest::newRow("cleared") << ""
                             << "" << false;
}

// A page whose head changes every second must not throw its reader back to
// the top; another page starts there.
void QHtmWndTest::readersPlace() {
    QFETCH(QString, head);
    QFETCH(QString, body);
    QFETCH(bool, kept);
    std::string page, other;
    for (int i = 0; i < 200; ++i) {
        page += "<p>line " + std::to_string(i) + "</p>";
        other += "<p>other " + std::to_string(i) + "</p>";
    }
    CQHtmWnd view;
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetWindowText("<p>Processor: 35%</p>" + page);
    QScrollBar* bar = view.verticalScrollBar();
    QVERIFY(bar->maximum() > 100);
    bar->setValue(bar->maximum() / 2);
    const int position = bar->value();
    view.SetWindowText(head.toStdString() + (body == "same"    ? page
                                             : body == "other" ? other
                                                               : std::string()));
    QCOMPARE(bar->value() == position, kept);
}

void QHtmWndTest::nothingRemoteIsFetched() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            ++connections;
            socket->close();
            socket->deleteLater();
        }
    });
    const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    const QString page =
        QStringLiteral(
            "<html><head><link rel=\"stylesheet\" href=\"%1s.css\"><style>@import "
            "url(%1i.css);</style></head>"
            "<body background=\"%1bg.png\"><img src=\"%1x.png\"><img src=\"%1y.png\" width=20 height=20>"
            "<table background=\"%1t.png\"><tr><td style=\"background-image: "
            "url(%1c.png)\">cell</td></tr></table>"
            "<a href=\"%1page\">link</a></body></html>")
            .arg(base);

    CQHtmWnd view;
    view.resize(400, 300);
    view.SetWindowText(page.toStdString());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    (void)view.grab();
    // A click on the link goes to the browser, not to the server.
    m_opened.clear();
    const int linkAt = view.toPlainText().indexOf(QStringLiteral("link"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, TextPosition(view, linkAt + 2));
    QCOMPARE(m_opened.size(), size_t{1});

    QTest::qWait(300);
    QCOMPARE(connections, 0);
}

void QHtmWndTest::noLocalFileIsRead_data() {
    QTest::addColumn<QString>("page");  // %1: path of the pipe
    QTest::newRow("image by path") << "<img src=\"%1\">";
    QTest::newRow("image by file url") << "<img src=\"file://%1\">";
    QTest::newRow("style sheet")
        << "<html><head><link rel=\"stylesheet\" href=\"%1\"></head><body>x</body></html>";
    QTest::newRow("background") << "<body background=\"%1\">x</body>";
}

void QHtmWndTest::noLocalFileIsRead() {
    QFETCH(QString, page);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pipe.png"));
    PipeWatch pipe(path);
    QVERIFY(pipe.Ok());

    CQHtmWnd view;
    view.resize(300, 200);
    view.SetWindowText(page.arg(path).toStdString());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    (void)view.grab();
    QVERIFY2(!pipe.Finish(), "the view opened a local file named by the page");
}

void QHtmWndTest::linksOpenOnlyWebPages_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("opens");
    QTest::newRow("http") << "http://example.org/a?b=c" << true;
    QTest::newRow("https") << "https://example.org/b" << true;
    QTest::newRow("upper case scheme") << "HTTPS://EXAMPLE.ORG/" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("mailto") << "mailto:someone@example.org" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("ftp") << "ftp://example.org/" << false;
    QTest::newRow("relative") << "other.html" << false;
    QTest::newRow("fragment") << "#top" << false;
}

void QHtmWndTest::linksOpenOnlyWebPages() {
    QFETCH(QString, href);
    QFETCH(bool, opens);
    CQHtmWnd view;
    view.resize(300, 200);
    const std::string page = QStringLiteral("<a href=\"%1\">a link to click</a>").arg(href).toStdString();
    view.SetWindowText(page);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    m_opened.clear();
    QSignalSpy clicked(&view, &QTextBrowser::anchorClicked);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, TextPosition(view, 3));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(m_opened.size(), size_t{opens ? 1u : 0u});
    if (opens) QCOMPARE(m_opened[0], QUrl(href));
    // The view itself stays on its page.
    QCOMPARE(view.GetWindowText(), page);
    QCOMPARE(view.toPlainText(), QStringLiteral("a link to click"));
}

QTEST_MAIN(QHtmWndTest)
#include "QHtmWndTest.moc"
