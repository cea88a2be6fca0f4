// Renders every window of the program to PNG files on Qt's offscreen platform,
// from a fixed example program folder, for the README and for checking the
// windows at a given device pixel ratio:
//
//     gearledger-screenshots --ratio 2 --out docs/screenshots/2x
//
// The download window fetches its list from a small server of our own on
// 127.0.0.1 that serves the bundled download folder.
#include "base/dialogs.h"
#include "base/program_identity.h"
#include "main_window/main_window.h"
#include "program/program.h"
#include "query/compare.h"
#include "windows/compare_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QNetworkProxy>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <tuple>

namespace {

const QString kSiteFolder = QStringLiteral(GEARLEDGER_SITE_DIR);

// No dialog may show while the windows are driven: each one is noted, and the
// run fails at the end.
class NotedDialogs : public base::Dialogs
{
public:
    QStringList shown;
    void message(const QString &text, Icon, const QString &) override { shown.append(text); }
    bool askYesNo(const QString &text, const QString &, Icon, Button) override { shown.append(text); return false; }
    QString inputBox(const QString &prompt, const QString &, const QString &) override
    {
        shown.append(prompt);
        return QString();
    }
    QString chooseFileToOpen(const QString &title, const QString &, const QString &) override
    {
        shown.append(title);
        return QString();
    }
    QString chooseFileToSave(const QString &title, const QString &, const QString &) override
    {
        shown.append(title);
        return QString();
    }
    void beep() override { shown.append(QStringLiteral("(beep)")); }
};

// Answers every GET with the file of that name in the download folder. It
// prefers the default download address's port, so the download window shows
// the address a user of scripts/run.sh sees.
class SiteServer : public QTcpServer
{
public:
    SiteServer()
    {
        if (!listen(QHostAddress::LocalHost, 8000) && !listen(QHostAddress::LocalHost, 0))
            qFatal("cannot listen on 127.0.0.1");
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }

private:
    static void answer(QTcpSocket *socket)
    {
        if (!socket->canReadLine())
            return;
        // One answer for each connection: the rest of the request is not read.
        QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
        const QString name = QString::fromLatin1(socket->readLine().split(' ').value(1)).section('/', -1);
        QFile file(kSiteFolder + QLatin1Char('/') + name);
        const bool found = !name.isEmpty() && file.open(QIODevice::ReadOnly);
        const QByteArray body = found ? file.readAll() : QByteArray("Not Found");
        socket->write((found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") + QByteArray("\r\nContent-Length: ")
                      + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};

void copySiteFile(const QString &name, const QDir &folder, const QString &as)
{
    if (!QFile::copy(kSiteFolder + QLatin1Char('/') + name, folder.filePath(as)))
        qFatal("cannot copy %s", qPrintable(name));
}

// The example program folder: the Emberfall items as the primary database,
// two further databases, and the design's colours.
void fillProgramFolder(const QDir &folder)
{
    copySiteFile(QStringLiteral("emberfall.txt"), folder, QStringLiteral("database.txt"));
    copySiteFile(QStringLiteral("tidereach.txt"), folder, QStringLiteral("Tidereach.txt"));
    copySiteFile(QStringLiteral("hollowdeep.txt"), folder, QStringLiteral("Hollowdeep.txt"));
    QFile catalogue(folder.filePath(QStringLiteral("datalist.txt")));
    QFile prefs(folder.filePath(QStringLiteral("pref.txt")));
    if (!catalogue.open(QIODevice::WriteOnly) || !prefs.open(QIODevice::WriteOnly))
        qFatal("cannot write the example program folder");
    catalogue.write("3\r\ndatabase\r\ndatabase.txt\r\nTidereach\r\nTidereach.txt\r\nHollowdeep\r\nHollowdeep.txt\r\n");
    prefs.write(" 0 \r\n 65280 \r\n 65280 \r\n");
}

// Lets posted events (layouts, painting, sockets) run.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Lets the program's fetch run to its end.
void waitForDownload(const program::Program &program)
{
    while (program.downloadBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Runs a window's timer once, now, and returns when its handler has run.
void tick(QTimer *timer)
{
    QEventLoop loop;
    QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer->start(0);
    loop.exec();
    timer->stop();
}

void save(QWidget *window, const QDir &out, const char *name)
{
    settle();
    const QString path = out.filePath(QLatin1String(name) + QStringLiteral(".png"));
    if (!window->grab().save(path))
        qFatal("cannot render %s", name);
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
}

template <class T = QWidget>
T *control(const QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QWidget *openFrom(main_window::MainWindow &main, const char *menuEntry, const char *windowName)
{
    control<QAction>(&main, menuEntry)->trigger();
    settle();
    return control(&main, windowName);
}

// The Compare Items window on three worn items of two databases, their
// fields read with the default rules.
void renderComparison(const QDir &programFolder, const QDir &out)
{
    const fields::Rules rules = fields::parseRules(fields::decodeRulesFile(fields::defaultRulesFile())).rules;
    QVector<query::ComparedItem> items;
    for (const auto &[database, file, record] : {std::tuple{"database", "database.txt", 1},
                                                 {"database", "database.txt", 3}, {"Tidereach", "Tidereach.txt", 3}}) {
        QFile stored(programFolder.filePath(QLatin1String(file)));
        if (!stored.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", file);
        const QByteArray bytes = stored.readAll();
        const storage::RecordIndex index = storage::indexRecords(bytes);
        const fields::FieldStore store = *fields::buildStore(rules, bytes, index);
        items.append(query::comparedItem({{QLatin1String(database), &bytes, &index, &store}}, {0, record}));
    }
    windows::CompareWindow window(items);
    window.show();
    save(&window, out, "compare-items");
}

// Find Items over every database: the items that have a weight, scored, then
// the best of each slot.
void renderFindItems(main_window::MainWindow &main, const QDir &out)
{
    QWidget *find = openFrom(main, "findItemsEntry", "findItemsWindow");
    find->resize(find->width() * 3 / 2, find->height());
    control<QCheckBox>(find, "allDatabasesBox")->setChecked(true);
    control<QLineEdit>(find, "queryBox")->setText(QStringLiteral("weight:*"));
    control<QComboBox>(find, "scoreBox")->setEditText(QStringLiteral("armor*-2 + con + str - weight/5"));
    auto *table = control<QTableView>(find, "itemsFound");
    const QDeadlineTimer deadline(20000);
    while (table->model()->rowCount() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
    save(find, out, "find-items");
    control<QCheckBox>(find, "bestPerSlotBox")->setChecked(true);
    settle();
    save(find, out, "best-per-slot");
    find->close();
}

void renderEveryWindow(const QDir &out)
{
    QTemporaryDir programFolder;
    fillProgramFolder(QDir(programFolder.path()));
    SiteServer server;
    NotedDialogs dialogs;
    program::Program program(programFolder.path(), server.url());
    main_window::MainWindow main(program, dialogs);
    main.startUp();
    main.show();

    // A search in names and descriptions, with the second hit chosen.
    control<QLineEdit>(&main, "Text2")->setText(QStringLiteral("magic"));
    control<QCheckBox>(&main, "chkDesc")->setChecked(true);
    control<QPushButton>(&main, "Command2")->click();
    auto *list = control<QListView>(&main, "List1");
    list->setCurrentIndex(list->model()->index(1, 0));
    save(&main, out, "main-window");

    QWidget *add = openFrom(main, "mnuAddItem", "Form4");
    control<QLineEdit>(add, "Text1")->setText(QStringLiteral("a glass-hilted dagger"));
    control<QPlainTextEdit>(add, "Text2")->setPlainText(
        QStringLiteral("Weight 2, Item type: WEAPON\nDamage: 1d6 pierce\nItem is: MAGIC\nEstimated Value: 95 gold"));
    save(add, out, "add-new-item");
    add->close();

    save(openFrom(main, "mnuEdit", "Form2"), out, "edit");
    control(&main, "Form2")->close();
    save(openFrom(main, "mnuCurrDatabase", "Form3"), out, "current-database");
    control(&main, "Form3")->close();
    save(openFrom(main, "mnuPref", "frmPref"), out, "preferences");
    control(&main, "frmPref")->close();

    // Connect fetches the list; the list timer shows it.
    QWidget *download = openFrom(main, "mnuDownload", "Form5");
    control<QPushButton>(download, "Command1")->click();
    waitForDownload(program);
    tick(control<QTimer>(download, "Timer1"));
    control<QListWidget>(download, "List1")->setCurrentRow(1);
    save(download, out, "download");
    // Download fetches the chosen database and opens the Which Database window.
    control<QPushButton>(download, "Command4")->click();
    waitForDownload(program);
    save(control(&main, "Form6"), out, "which-database");
    renderComparison(QDir(programFolder.path()), out);
    renderFindItems(main, out);

    if (!dialogs.shown.isEmpty())
        qFatal("a dialog showed: %s", qPrintable(dialogs.shown.join(QStringLiteral(" / "))));
}

// An offscreen screen of the given device pixel ratio, at 96 dots per inch.
void useOffscreenScreen(QTemporaryDir &scratch, const QByteArray &ratio)
{
    QFile config(scratch.filePath(QStringLiteral("screen.json")));
    if (!config.open(QIODevice::WriteOnly))
        qFatal("cannot write the screen configuration");
    config.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,
                     "logicalDpiX": 96, "logicalDpiY": 96, "dpr": )" + ratio + "}]}");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

} // namespace

int main(int argc, char *argv[])
{
    base::setProgramIdentity();
    QByteArray ratio = "1";
    QString out = QStringLiteral(".");
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--ratio") == 0)
            ratio = argv[i + 1];
        else if (qstrcmp(argv[i], "--out") == 0)
            out = QFile::decodeName(argv[i + 1]);
    }
    // The download's files go to a cache folder of this run, not the user's.
    QTemporaryDir scratch;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.path()));
    useOffscreenScreen(scratch, ratio);

    QApplication app(argc, argv);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    if (!QDir().mkpath(out))
        qFatal("cannot make %s", qPrintable(out));
    renderEveryWindow(QDir(out));
    return 0;
}
