#include <QLineEdit>
#include <QTest>
#include <QTimerEvent>

#include "controls/HyperLink.h"

namespace {
// Stands for the window: records the ids of the timer events it gets.
class Target : public QObject {
public:
    std::vector<int> ids;

protected:
    void timerEvent(QTimerEvent* event) override { ids.push_back(event->timerId()); }
};

// The link colours written out, so that a changed constant in the control
// shows as a failure.
constexpr ColorRef kBlue = 0x00FF0000;    // RGB (0, 0, 255): not yet followed
constexpr ColorRef kTeal = 0x00808000;    // RGB (0, 128, 128): focused or pressed
constexpr ColorRef kPurple = 0x00800080;  // RGB (128, 0, 128): followed
constexpr ColorRef kRed = 0x000000FF;     // RGB (255, 0, 0): under the mouse

QColor ToQColor(ColorRef c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

int CountPixels(QWidget* widget, ColorRef colour) {
    const QImage image = widget->grab().toImage();
    const QRgb wanted = ToQColor(colour).rgb();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == wanted) ++n;
    return n;
}

QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(18);
    return font;
}

// A caption whose width in the bold, underlined link font is exactly `width`.
QString CaptionOfWidth(int width) {
    QFont font = TestFont();
    font.setBold(true);
    font.setUnderline(true);
    const QFontMetrics fm(font);
    const QString letters = QStringLiteral("iltfjrIsaenxozMWm1");
    for (QChar a : letters)
        for (QChar b : letters)
            for (int n = 1; n < 40; ++n)
                for (int m = 0; m < 10; ++m) {
                    const QString caption = QString(n, a) + QString(m, b);
                    if (fm.horizontalAdvance(caption) == width) return caption;
                }
    return {};
}

// A window with a link in notify mode for `target` and a line edit that can
// take the focus from it.
struct Dialog {
    QWidget window;
    CHyperLink* link;
    QLineEdit* other;
    Dialog(QObject* target, const QString& caption = QStringLiteral("Open the page")) {
        link = new CHyperLink(caption, &window);
        link->setFont(TestFont());
        link->setGeometry(10, 10, 300, 40);
        link->PreSubclassWindow();
        link->SetNotify(target, 10000, QString());
        other = new QLineEdit(&window);
        other->setGeometry(10, 100, 200, 30);
        window.resize(400, 200);
    }
    bool Show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
};
}  // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT
private slots:
    void clickNotifiesOnceOnRelease();
    void staysTealWhileFocused();
    void releaseOffTheLinkIsNoClick();
    void spaceFollowsOncePerPress();
    void fitToText_data();
    void fitToText();
    void tooltip_data();
    void tooltip();
    void look();
};

void HyperLinkTest::clickNotifiesOnceOnRelease() {
    Target target;
    Dialog dialog(&target);
    QVERIFY(dialog.Show());
    const QPoint inside = dialog.link->rect().center();

    QTest::mousePress(dialog.link, Qt::LeftButton, Qt::NoModifier, inside);
    QVERIFY(target.ids.empty());
    QVERIFY(dialog.link->hasFocus());
    QTest::mouseRelease(dialog.link, Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(target.ids, std::vector<int>{10000});

    QTest::mouseClick(dialog.link, Qt::RightButton, Qt::NoModifier, inside);
    QCOMPARE(target.ids.size(), size_t{1});

    // The target has run before FollowLink returns: no event loop in between.
    dialog.link->FollowLink();
    QCOMPARE(target.ids.size(), size_t{2});
}

void HyperLinkTest::staysTealWhileFocused() {
    Target target;
    Dialog dialog(&target);
    QVERIFY(dialog.Show());
    QVERIFY(CountPixels(dialog.link, kBlue) > 0);
    QCOMPARE(CountPixels(dialog.link, kTeal), 0);

    QTest::mouseClick(dialog.link, Qt::LeftButton, Qt::NoModifier, dialog.link->rect().center());
    QVERIFY(CountPixels(dialog.link, kTeal) > 0);
    QCOMPARE(CountPixels(dialog.link, kBlue), 0);

    // Moving off and back onto the link changes nothing: no hover colour.
    QTest::mouseMove(&dialog.window, QPoint(350, 150));
    QCOMPARE(dialog.link->GetTextColour(), kTeal);
    QTest::mouseMove(dialog.link, dialog.link->rect().center());
    QCOMPARE(dialog.link->GetTextColour(), kTeal);
    QVERIFY(CountPixels(dialog.link, kTeal) > 0);

    dialog.other->setFocus();
    QTRY_VERIFY(dialog.other->hasFocus());
    QCOMPARE(dialog.link->GetTextColour(), kBlue);
    QVERIFY(CountPixels(dialog.link, kBlue) > 0);
    QCOMPARE(CountPixels(dialog.link, kTeal), 0);
    QCOMPARE(target.ids.size(), size_t{1});
}

void HyperLinkTest::releaseOffTheLinkIsNoClick() {
    Target target;
    Dialog dialog(&target);
    QVERIFY(dialog.Show());
    QTest::mousePress(dialog.link, Qt::LeftButton, Qt::NoModifier, dialog.link->rect().center());
    QTest::mouseRelease(dialog.link, Qt::LeftButton, Qt::NoModifier, QPoint(-20, 80));
    QVERIFY(target.ids.empty());
}

void HyperLinkTest::spaceFollowsOncePerPress() {
    Target target;
    Dialog dialog(&target);
    QVERIFY(dialog.Show());
    QTest::mouseClick(dialog.link, Qt::LeftButton, Qt::NoModifier, dialog.link->rect().center());
    target.ids.clear();

    QTest::keyClick(dialog.link, Qt::Key_Space);
    QCOMPARE(target.ids, std::vector<int>{10000});

    // A held key: one press, two auto-repeated presses, one release.
    QTest::keyPress(dialog.link, Qt::Key_Space);
    for (int i = 0; i < 2; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(dialog.link, &repeat);
    }
    QTest::keyRelease(dialog.link, Qt::Key_Space);
    QCOMPARE(target.ids.size(), size_t{4});

    QTest::keyClick(dialog.link, Qt::Key_Return);
    QTest::keyClick(dialog.link, Qt::Key_A);
    QCOMPARE(target.ids.size(), size_t{4});
}

void HyperLinkTest::fitToText_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QRect>("before");
    QTest::addColumn<QRect>("after");  // for a caption 100 pixels wide, h = its height
    QTest::newRow("left keeps the left edge")
        << int(Qt::AlignLeft | Qt::AlignTop) << QRect(30, 20, 300, 50) << QRect(30, 20, 120, -1);
    QTest::newRow("right keeps the right edge")
        << int(Qt::AlignRight | Qt::AlignTop) << QRect(30, 20, 300, 50) << QRect(210, 20, 120, -1);
    QTest::newRow("right, growing") << int(Qt::AlignRight) << QRect(200, 20, 50, 5)
                                    << QRect(130, 20, 120, -1);
    QTest::newRow("centred") << int(Qt::AlignHCenter | Qt::AlignTop) << QRect(30, 20, 300, 50)
                             << QRect(120, 20, 120, -1);
}

void HyperLinkTest::fitToText() {
    QFETCH(int, alignment);
    QFETCH(QRect, before);
    QFETCH(QRect, after);
    const QString caption = CaptionOfWidth(100);
    QVERIFY2(!caption.isEmpty(), "no caption 100 pixels wide in this font");
    QWidget window;
    CHyperLink link(caption, &window);
    link.setFont(TestFont());
    link.setAlignment(static_cast<Qt::Alignment>(alignment));
    link.setGeometry(before);
    link.PreSubclassWindow();

    QCOMPARE(QFontMetrics(link.font()).horizontalAdvance(caption), 100);
    after.setHeight(QFontMetrics(link.font()).height());
    QCOMPARE(link.geometry(), after);
    QCOMPARE(link.contentsRect().size(), after.size());
}

void HyperLinkTest::tooltip_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty tip shows the caption") << "(Also show system processes.)"
                                                 << ""
                                                 << "(Also show system processes.)";
    QTest::newRow("dash shows none") << "Home"
                                     << "-"
                                     << "";
    QTest::newRow("own tip") << "Home"
                             << "Opens the home page"
                             << "Opens the home page";
}

void HyperLinkTest::tooltip() {
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QFETCH(QString, shown);
    Target target;
    CHyperLink link(caption);
    link.PreSubclassWindow();
    QCOMPARE(link.toolTip(), caption);
    link.SetNotify(&target, 20001, tip);
    QCOMPARE(link.toolTip(), shown);
}

void HyperLinkTest::look() {
    CHyperLink link(QStringLiteral("Home"));
    link.PreSubclassWindow();
    QVERIFY(link.font().bold());
    QVERIFY(link.font().underline());
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link.GetTextColour(), kBlue);
    // Those the program never reaches, as the control defines them.
    QCOMPARE(CHyperLink::s_crFollowed, kPurple);
    QCOMPARE(CHyperLink::s_crHover, kRed);
}

QTEST_MAIN(HyperLinkTest)
#include "HyperLinkTest.moc"
