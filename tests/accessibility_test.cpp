// Every window by keyboard and screen reader: each control a screen reader
// meets has a name, each label's text can be read, each action has a key, each
// caption shows whole, and Escape closes each secondary window; pictures are
// drawn for the screen's density. Run at device pixel ratios 1, 1.5 and 2
// (GEARLEDGER_TEST_DPR).
#include "main_window/main_window.h"
#include "support/offscreen_screen.h"
#include "support/program_fixture.h"
#include "widgets/twips.h"
#include "windows/compare_window.h"
#include "windows/merge_target_window.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>

namespace {

const QList<QAccessible::Role> kInteractive = {
    QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
    QAccessible::EditableText, QAccessible::List, QAccessible::Button};

// What a screen reader cannot get from a window's accessible tree, one line each.
QStringList unreadable(QAccessibleInterface *iface)
{
    QStringList problems;
    const QObject *object = iface->object();
    const QString name = iface->text(QAccessible::Name);
    const QString where = object ? object->objectName() : QStringLiteral("(item)");
    if (kInteractive.contains(iface->role()) && name.isEmpty())
        problems.append(where + QStringLiteral(" has no name (role %1)").arg(int(iface->role())));
    if (const auto *label = qobject_cast<const QLabel *>(object)) {
        const QString heard = name + iface->text(QAccessible::Value) + iface->text(QAccessible::Description);
        const QString shown = QString(label->text()).remove(QLatin1Char('&'));
        if (!shown.isEmpty() && !heard.contains(shown))
            problems.append(where + QStringLiteral(" says \"") + heard + QStringLiteral("\", not its text"));
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface *child = iface->child(i))
            problems += unreadable(child);
    }
    return problems;
}

QStringList cutCaptions(const QWidget *window)
{
    QStringList cut;
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        if (!qobject_cast<const QRadioButton *>(control) && control->isVisibleTo(window)
            && !widgets::captionFits(control))
            cut.append(control->objectName());
    }
    // The title bar holds the title beside its buttons.
    const int title = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(window->windowTitle());
    if (title + 64 > window->width())
        cut.append(QStringLiteral("the title \"%1\"").arg(window->windowTitle()));
    return cut;
}

} // namespace

class AccessibilityTest : public DialogsFixture
{
    Q_OBJECT

    static void verifyReadable(QWidget *window)
    {
        const QStringList problems = unreadable(QAccessible::queryAccessibleInterface(window)) + cutCaptions(window);
        QVERIFY2(problems.isEmpty(), qPrintable(window->objectName() + ": " + problems.join("; ")));
    }

    // A denser screen shows the picture drawn for it, not an enlarged one.
    static void verifyPictureDrawnForTheScreen(QWidget *button, const QString &picture)
    {
        const qreal ratio = button->devicePixelRatioF();
        const QString version = ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
        const QImage drawn(":/windows/pictures/" + picture + version + ".xpm");
        const QImage shown = button->grab().toImage();
        QCOMPARE(shown.size(), drawn.size());
        for (int i = 0; i < drawn.width() * drawn.height(); ++i) {
            const QPoint p(i % drawn.width(), i / drawn.width());
            QVERIFY2(qAlpha(drawn.pixel(p)) < 255 || shown.pixel(p) == drawn.pixel(p), qPrintable(picture + version));
        }
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everyWindowCanBeReadAndLeftByKeyboard()
    {
        ProgramOnFolder p(dialogs, sampleItemBytes());
        p.folder.write("datalist.txt", crlf({"1", "database", "database.txt"}));
        main_window::MainWindow main(p.program, dialogs);
        main.startUp();
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        verifyReadable(&main);
        for (QAction *action : main.findChildren<QAction *>()) {
            const auto *menu = qobject_cast<QMenu *>(action->parent());
            const bool inMenu = action->isSeparator() || action->menu() || (menu && menu->title().contains('&'));
            QVERIFY2(inMenu || !action->shortcut().isEmpty(), qPrintable(action->objectName() + " has no key"));
        }

        // F6 moves to the description view and back to the list.
        auto *list = main.findChild<QListView *>("List1");
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(&main, Qt::Key_F6);
        QVERIFY(main.findChild<QPlainTextEdit *>("Text1")->hasFocus());
        QTest::keyClick(&main, Qt::Key_F6);
        QVERIFY(list->hasFocus());

        p.folder.write("game.log", "Object 'axe' is a weapon.\n");
        dialogs.expectInput("Import Game Log", p.folder.file("game.log"));
        QGuiApplication::clipboard()->setText("axe\nsharp");
        for (const auto &[entry, name] :
             {std::pair{"mnuAddItem", "Form4"}, {"mnuEdit", "Form2"}, {"mnuCurrDatabase", "Form3"}, {"mnuDownload", "Form5"},
              {"mnuPref", "frmPref"}, {"earlierVersionsEntry", "earlierVersionsWindow"},
              {"importGameLogEntry", "importGameLogWindow"}, {"pasteAsNewItemEntry", "Form4"},
              {"findItemsEntry", "findItemsWindow"}, {"fieldsButton", "fieldsWindow"}}) {
            if (QAction *action = main.findChild<QAction *>(entry)) {
                action->trigger();
            } else { // the Fields window comes from Find Items
                main.findChild<QAction *>("findItemsEntry")->trigger();
                main.findChild<QAbstractButton *>(entry)->click();
            }
            QPointer<QWidget> window = main.findChild<QWidget *>(name);
            QVERIFY2(window, name);
            verifyReadable(window);
            if (window->objectName() == "Form3")
                verifyPictureDrawnForTheScreen(window->findChild<QWidget *>("imgCreate"), "filing_cabinet");
            window->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), window.data());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QTRY_VERIFY2(window.isNull(), name);
        }
        windows::MergeTargetWindow target(p.program, dialogs);
        target.show();
        target.load();
        verifyReadable(&target);
        const fields::ItemField level{"level", fields::Kind::Number, 18, {}, "18"};
        windows::CompareWindow compare({{"ring", "database", "Level 18|", {level}}, {"band", "database", "", {}}});
        compare.show();
        verifyReadable(&compare);
    }
};

int main(int argc, char *argv[])
{
    return runOnScreen<AccessibilityTest>(argc, argv, 1920, 1080, qEnvironmentVariable("GEARLEDGER_TEST_DPR", "1").toLatin1());
}

#include "accessibility_test.moc"
