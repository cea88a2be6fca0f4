// Secondary windows exist at most once, come to the front when shown again, and start anew after closing.
#include "app/window_registry.h"

#include <QTest>

class Probe : public QWidget
{
    Q_OBJECT
public:
    explicit Probe(int *created) { ++*created; }
};

class WindowRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void aWindowIsCreatedOnceAndAgainOnlyAfterClosing()
    {
        WindowRegistry windows;
        int created = 0;
        const auto make = [&created] { return new Probe(&created); };
        Probe *first = windows.show<Probe>(make);
        QVERIFY(first->isVisible());
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
