// Secondary windows exist at most once, come to the front when shown again, start anew after
// closing, and show their captions whole.
#include "widgets/twips.h"
#include "widgets/window_registry.h"

#include <QApplication>
#include <QLabel>

#include <QTest>

class Probe : public QWidget
{
    Q_OBJECT
public:
    explicit Probe(int *created)
    {
        ++*created;
        auto *fits = new QLabel(QStringLiteral("Ok"), this);
        fits->setObjectName(QStringLiteral("fits"));
        widgets::setTwips(fits, {0, 0, 1500, 255});
        auto *tooLong = new QLabel(QStringLiteral("A caption far too long for its box"), this);
        tooLong->setObjectName(QStringLiteral("tooLong"));
        widgets::setTwips(tooLong, {0, 300, 2700, 255});
    }
};

class WindowRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void aWindowIsCreatedOnceAndAgainOnlyAfterClosing()
    {
        widgets::WindowRegistry windows;
        int created = 0;
        const auto make = [&created] { return new Probe(&created); };
        Probe *first = windows.show<Probe>(make);
        QVERIFY(first->isVisible());

        // A caption too long for its designed box shows whole in a smaller font (the
        // accessibility test checks every window's); one that fits keeps the desktop's.
        QCOMPARE(first->findChild<QLabel *>("fits")->font(), QApplication::font());
        QVERIFY(first->findChild<QLabel *>("tooLong")->font().pointSizeF() < QApplication::font().pointSizeF());

        first->showMinimized();
        QCOMPARE(windows.show<Probe>(make), first);
        QCOMPARE(created, 1);
        QVERIFY(!first->isMinimized());
        QCOMPARE(windows.find<Probe>(), first);

        QPointer<Probe> closed = first;
        first->close();
        QTRY_VERIFY(closed.isNull()); // destroyed when closed
        QCOMPARE(windows.find<Probe>(), nullptr);
        Probe *second = windows.show<Probe>(make);
        QCOMPARE(created, 2);
        QVERIFY(windows.anyOpen());

        QPointer<Probe> last = second;
        windows.closeAll();
        QTRY_VERIFY(last.isNull());
        QVERIFY(!windows.anyOpen());
    }
};

QTEST_MAIN(WindowRegistryTest)
#include "window_registry_test.moc"
