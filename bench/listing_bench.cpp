// How long the main window takes to list and search a full database of 10000 items.
#include "app/dialogs.h"
#include "main_window/main_window.h"
#include "program/program.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class SilentDialogs : public Dialogs
{
public:
    void message(const QString &, Icon, const QString &) override {}
    bool askYesNo(const QString &, const QString &, Icon, Button) override { return false; }
    QString inputBox(const QString &, const QString &, const QString &) override { return QString(); }
    void beep() override {}
};

struct FullDatabase
{
    QTemporaryDir dir;
    FullDatabase()
    {
        QByteArray bytes;
        for (int i = 0; i < 10000; ++i)
            bytes += "a well made sword number " + QByteArray::number(i)
                     + "\r\nWeight 7, Item type: WEAPON |Damage 3d8 |Estimated Value: 12 gold|\r\n";
        QFile file(dir.path() + "/database.txt");
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        QFile prefs(dir.path() + "/pref.txt");
        prefs.open(QIODevice::WriteOnly);
        prefs.write(" 0 \r\n 65280 \r\n 65280 \r\n");
    }
    QString path() const { return dir.path() + "/database.txt"; }
};

FullDatabase &database()
{
    static FullDatabase db;
    return db;
}

void readingTenThousandItems(benchmark::State &state)
{
    Program program(database().dir.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(program.listAll());
}
BENCHMARK(readingTenThousandItems)->Unit(benchmark::kMillisecond);

void searchingTenThousandDescriptions(benchmark::State &state)
{
    Program program(database().dir.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(program.search("NUMBER 5", true, true));
}
BENCHMARK(searchingTenThousandDescriptions)->Unit(benchmark::kMillisecond);

void showAllInTheMainWindow(benchmark::State &state)
{
    Program program(database().dir.path());
    SilentDialogs dialogs;
    MainWindow window(program, dialogs, QString());
    window.startUp();
    window.show();
    for (auto _ : state) {
        (void)program.listAll();
        QApplication::processEvents(); // lay out and paint the list
    }
}
BENCHMARK(showAllInTheMainWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
