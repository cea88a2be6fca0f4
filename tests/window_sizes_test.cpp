// Window sizes: the windows the design lays out keep their size (only Edit may
// be resized, its controls staying where they are), and the others (Import
// Game Log, Earlier Versions, Find Items, Fields) resize sensibly.
#include "support/program_fixture.h"
#include "windows/add_item_window.h"
#include "windows/current_database_window.h"
#include "windows/download_window.h"
#include "windows/edit_item_window.h"
#include "windows/fields_window.h"
#include "windows/find_items_window.h"
#include "windows/harvest_window.h"
#include "windows/merge_target_window.h"
#include "windows/preferences_window.h"
#include "windows/versions_window.h"

#include <QAbstractItemView>
#include <QLayout>
#include <QTest>

#include <functional>
#include <memory>

using MakeWindow = std::function<QWidget *(program::Program &, base::Dialogs &)>;
Q_DECLARE_METATYPE(MakeWindow)

// Fixed: one size. Sizable: resized around controls that keep their places.
// LaidOut: its controls share what the window has.
enum class Sizing { Fixed, Sizable, LaidOut };
Q_DECLARE_METATYPE(Sizing)

namespace {

template <class Window>
MakeWindow make()
{
    return [](program::Program &program, base::Dialogs &dialogs) { return new Window(program, dialogs); };
}

// The controls of a window at its present size, each a problem when it leaves
// the window or overlaps another.
QStringList misplaced(const QWidget *window)
{
    QStringList problems;
    QList<const QWidget *> shown;
    for (const QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isVisible() && !control->objectName().isEmpty())
            shown.append(control);
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!window->rect().contains(shown[i]->geometry()))
            problems.append(shown[i]->objectName() + " leaves the window");
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                problems.append(shown[i]->objectName() + " overlaps " + shown[j]->objectName());
        }
    }
    return problems;
}

} // namespace

class WindowSizesTest : public DialogsFixture
{
    Q_OBJECT

private slots:

    void everyWindowKeepsItsSizeOrResizesSensibly_data()
    {
        QTest::addColumn<MakeWindow>("makeWindow");
        QTest::addColumn<Sizing>("sizing");
        QTest::newRow("Add New Item") << make<windows::AddItemWindow>() << Sizing::Fixed;
        QTest::newRow("Edit") << make<windows::EditItemWindow>() << Sizing::Sizable;
        QTest::newRow("Current Database") << make<windows::CurrentDatabaseWindow>() << Sizing::Fixed;
        QTest::newRow("Download") << make<windows::DownloadWindow>() << Sizing::Fixed;
        QTest::newRow("Which Database") << make<windows::MergeTargetWindow>() << Sizing::Fixed;
        QTest::newRow("Preferences") << make<windows::PreferencesWindow>() << Sizing::Fixed;
        QTest::newRow("Import Game Log") << make<windows::HarvestWindow>() << Sizing::LaidOut;
        QTest::newRow("Earlier Versions") << make<windows::VersionsWindow>() << Sizing::LaidOut;
        QTest::newRow("Find Items") << make<windows::FindItemsWindow>() << Sizing::LaidOut;
        QTest::newRow("Fields") << MakeWindow([](program::Program &program, base::Dialogs &dialogs) {
            return new windows::FieldsWindow(program, dialogs, false);
        }) << Sizing::LaidOut;
    }

    void everyWindowKeepsItsSizeOrResizesSensibly()
    {
        QFETCH(MakeWindow, makeWindow);
        QFETCH(Sizing, sizing);
        ProgramOnFolder p(dialogs, crlf({"ring", "gold|"}));
        p.folder.write("datalist.txt", crlf({"1", "database", "database.txt"}));
        const std::unique_ptr<QWidget> window(makeWindow(p.program, dialogs));
        window->show();
        const QSize first = window->size();
        QCOMPARE(window->minimumSize() == window->maximumSize(), sizing == Sizing::Fixed);
        if (sizing != Sizing::LaidOut)
            return;
        QList<QAbstractItemView *> lists = window->findChildren<QAbstractItemView *>(); // the largest shown grows
        lists.removeIf([](const QWidget *list) { return !list->isVisible(); });
        QAbstractItemView *list = *std::max_element(lists.begin(), lists.end(), [](auto *a, auto *b) {
            return a->width() * a->height() < b->width() * b->height();
        });
        QSize listBefore;
        for (double scale : {0.75, 1.0, 2.0}) {
            window->resize(first * scale);
            window->layout()->activate();
            const QStringList problems = misplaced(window.get());
            QVERIFY2(problems.isEmpty(), qPrintable(QString::number(scale) + "x: " + problems.join("; ")));
            QVERIFY(!listBefore.isValid()
                    || (list->width() > listBefore.width() && list->height() > listBefore.height()));
            listBefore = list->size();
        }
    }
};

QTEST_MAIN(WindowSizesTest)
#include "window_sizes_test.moc"
