// The icon compiled into the program: every drawn size is there.
#include "app/program_icon.h"

#include <QTest>

class ProgramIconTest : public QObject
{
    Q_OBJECT

private slots:
    void everyDrawnSizeLoadsFromTheProgramsResources()
    {
        const QIcon icon = gearledgerIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
        for (const QSize &size : icon.availableSizes())
            QCOMPARE(icon.pixmap(size).size(), size);
    }
};

QTEST_MAIN(ProgramIconTest)
#include "program_icon_test.moc"
