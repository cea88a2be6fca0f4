// Taking downloaded items into a database: which items come in, and what a
// broken download or target does.
#include "app/failure.h"
#include "app/item_database.h"
#include "catalogue/download_merge.h"
#include "support/test_folder.h"

#include <QTest>

using downloadmerge::distinctItems;
using downloadmerge::mergeInto;
using downloadmerge::readDownloadedItems;

namespace {

int failureNumberOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Failure &failure) {
        return failure.number();
    }
    return 0;
}

} // namespace

class DownloadMergeTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    QVector<Item> downloaded(const QByteArray &bytes)
    {
        folder->write("tmp94838.txt", bytes);
        return readDownloadedItems(folder->file("tmp94838.txt"));
    }

private slots:
    void init() { folder = std::make_unique<TestFolder>(); }

    void anEmptyLastLineIsNoItem()
    {
        // The server's text ended with a line end, and the download added one.
        QCOMPARE(downloaded(crlf({"ring", "gold|", ""})), (QVector<Item>{{"ring", "gold|"}}));
        QCOMPARE(downloaded(crlf({"ring", "gold|"})), (QVector<Item>{{"ring", "gold|"}}));
        // A text of nothing, and no text at all.
        QVERIFY(downloaded("\r\n").isEmpty());
        QVERIFY(downloaded("").isEmpty());
        // An empty name inside the file is a name like any other.
        QCOMPARE(downloaded(crlf({"", "nameless|", "ring", "gold|"})).size(), 2);
    }

    void aLastNameWithoutItsDescriptionIsAFailure()
    {
        QCOMPARE(failureNumberOf([&] { downloaded(crlf({"ring", "gold|", "axe"})); }), int(ErrInputPastEndOfFile));
        QCOMPARE(failureNumberOf([&] { readDownloadedItems(folder->file("none.txt")); }), int(ErrFileNotFound));
    }

    void onlyItemsWithANewNameAndANewDescriptionAreTaken()
    {
        folder->write("db.txt", crlf({"ring", "gold|", "ring", "second ring kept|", "cloak", "grey|"}));
        const int taken = mergeInto(folder->file("db.txt"), {{"ring", "other text|"},   // name present
                                                             {"sword", "grey|"},        // description present
                                                             {"sword", "sharp|"},       // new
                                                             {"sword", "blunt|"},       // name taken just before
                                                             {"mace", "sharp|"},        // description taken just before
                                                             {"Ring", "shiny|"}});      // other letter case: new
        QCOMPARE(taken, 2);
        // The target's own items stay first and whole, its two rings included.
        QCOMPARE(folder->read("db.txt"), crlf({"ring", "gold|", "ring", "second ring kept|", "cloak", "grey|", "sword",
                                               "sharp|", "Ring", "shiny|"}));
    }

    void aNewDatabaseKeepsTheFirstOfEachNameAndDescription()
    {
        QCOMPARE(distinctItems({{"a", "1|"}, {"a", "2|"}, {"b", "1|"}, {"c", "3|"}}),
                 (QVector<Item>{{"a", "1|"}, {"c", "3|"}}));
        QVERIFY(distinctItems({}).isEmpty());
    }

    void aBrokenTargetIsReportedAndLeftAsItWas()
    {
        const QByteArray incomplete = crlf({"ring", "gold|", "axe"});
        folder->write("db.txt", incomplete);
        QCOMPARE(failureNumberOf([&] { mergeInto(folder->file("db.txt"), {{"sword", "sharp|"}}); }),
                 int(ErrInputPastEndOfFile));
        QCOMPARE(folder->read("db.txt"), incomplete);
        QCOMPARE(failureNumberOf([&] { mergeInto(folder->file("gone.txt"), {{"sword", "sharp|"}}); }),
                 int(ErrFileNotFound));
        QVERIFY(!folder->exists("gone.txt"));
    }

    void aMergeBeyondTheListsCapacityWritesNothing()
    {
        QVector<Item> full;
        for (int i = 0; i < 9999; ++i)
            full.append({QString::number(i), QString::number(i) + "|"});
        itemdb::rewriteItems(folder->file("db.txt"), full);
        const QByteArray before = folder->read("db.txt");
        QCOMPARE(mergeInto(folder->file("db.txt"), {{"last", "fits|"}}), 1);
        QCOMPARE(failureNumberOf([&] { mergeInto(folder->file("db.txt"), {{"one more", "too many|"}}); }),
                 int(ErrSubscriptOutOfRange));
        QCOMPARE(folder->read("db.txt").size(), before.size() + qsizetype(sizeof("last\r\nfits|\r\n") - 1));
    }
};

QTEST_GUILESS_MAIN(DownloadMergeTest)
#include "download_merge_test.moc"
