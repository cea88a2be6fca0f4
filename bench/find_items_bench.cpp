// Find Items over 10 databases of 10000 items of identify output, through the
// program object and the window on the offscreen platform:
//   op/find_items/fields_read/100000      the program object reading the fields of every
//                                         database on its thread, to fieldsReady
//   op/find_items/key_painted/100000      a key pressed in the query box (a three-term query
//                                         over all databases), the table painted
//   op/find_items/best_per_slot_painted/100000  the same with a score and Best per Slot on
#include "bench/bench_support.h"
#include "bench/identify_databases.h"
#include "program/program.h"
#include "storage/text_file.h"
#include "windows/find_items_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <malloc.h>

#include <memory>

using namespace bench;

namespace {

constexpr int kDatabases = 10;
constexpr int kItemsEach = 10000;

class QuietDialogs : public base::Dialogs
{
public:
    void message(const QString &, Icon, const QString &) override {}
    bool askYesNo(const QString &, const QString &, Icon, Button) override { return false; }
    QString inputBox(const QString &, const QString &, const QString &) override { return QString(); }
    QString chooseFileToOpen(const QString &, const QString &, const QString &) override { return QString(); }
    QString chooseFileToSave(const QString &, const QString &, const QString &) override { return QString(); }
    void beep() override {}
};

// A program folder of the 10 generated databases, all catalogued, and its program object.
struct GeneratedFolder
{
    QTemporaryDir folder;
    QuietDialogs dialogs;
    std::unique_ptr<program::Program> program;

    GeneratedFolder()
    {
        const QVector<QByteArray> databases = identifyDatabases(kDatabases, kItemsEach);
        QByteArray catalogue = QByteArray::number(kDatabases) + "\r\n";
        for (int d = 0; d < kDatabases; ++d) {
            const QByteArray file = d == 0 ? "database.txt" : "db" + QByteArray::number(d) + ".txt";
            storage::saveAtomically(folder.filePath(QString::fromLatin1(file)), databases[d]);
            catalogue += (d == 0 ? QByteArray("database") : file.chopped(4)) + "\r\n" + file + "\r\n";
        }
        storage::saveAtomically(folder.filePath("datalist.txt"), catalogue);
        storage::saveAtomically(folder.filePath("pref.txt"), " 0 \r\n 65280 \r\n 65280 \r\n");
        program = std::make_unique<program::Program>(folder.path());
    }

    // Reads the fields of every database and waits for them.
    void readAll()
    {
        QEventLoop waiting;
        QObject::connect(program.get(), &program::Program::fieldsReady, &waiting, &QEventLoop::quit);
        (void)program->readFields(true);
        while (!program->fieldsRead(true))
            waiting.exec();
    }
};

long heapKib()
{
    const struct mallinfo2 heap = mallinfo2();
    return long((heap.uordblks + heap.hblkhd) / 1024);
}

void pressKey(QWidget *to, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &release);
}

// Each round types "0" after "level<=4" or takes it back: a three-term query either way.
void timeKeys(benchmark::State &state, bool bestPerSlot)
{
    GeneratedFolder generated;
    generated.readAll();
    windows::FindItemsWindow window(*generated.program, generated.dialogs);
    window.findChild<QCheckBox *>("allDatabasesBox")->setChecked(true);
    if (bestPerSlot) {
        window.findChild<QComboBox *>("scoreBox")->setEditText("2*hitroll + 2*damroll + hp/10 - weight/5");
        window.findChild<QCheckBox *>("bestPerSlotBox")->setChecked(true);
    }
    window.show();
    auto *box = window.findChild<QLineEdit *>("queryBox");
    auto *table = window.findChild<QTableView *>("itemsFound");
    box->setText(QString::fromLatin1(kThreeTermQuery));
    box->setCursorPosition(box->text().indexOf("<=40") + 4);
    QApplication::processEvents();
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            pressKey(box, Qt::Key_0, QStringLiteral("0"));
        else
            pressKey(box, Qt::Key_Backspace, QString());
        typed = !typed;
        table->viewport()->repaint();
    }
    state.counters["rows"] = double(table->model()->rowCount());
}

} // namespace

void addFindItemsBenchmarks()
{
    add("op/find_items/fields_read/100000", [](benchmark::State &state) {
        GeneratedFolder generated;
        QString rules;
        (void)generated.program->fieldRulesText(&rules);
        long kib = 0;
        for (auto _ : state) {
            state.PauseTiming();
            (void)generated.program->saveFieldRules(rules); // forgets every database's fields
            const long before = heapKib();
            state.ResumeTiming();
            generated.readAll();
            kib = heapKib() - before;
        }
        state.counters["fields_kib"] = double(kib);
    });
    add("op/find_items/key_painted/100000", [](benchmark::State &state) { timeKeys(state, false); });
    add("op/find_items/best_per_slot_painted/100000", [](benchmark::State &state) { timeKeys(state, true); });
}
