// The search on a database's bytes, and its folded needle, against the search on its decoded lines.
#include "search/folded_needle.h"
#include "search/item_search.h"
#include "storage/cpu_features.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QTest>

namespace {

QByteArray cp1252Of(const QString &text)
{
    QByteArray bytes;
    storage::encodeWindows1252(text, &bytes);
    return bytes;
}

// The hits of reading every line and comparing decoded text.
QVector<int> decodedSearch(const QByteArray &bytes, const QString &text, search::SearchIn where)
{
    auto reader = storage::LineReader::fromBytes(bytes);
    QVector<int> hits;
    for (int r = 0; !reader.atEnd(); ++r) {
        const bool inName = search::containsIgnoringCase(reader.readLine(), text);
        const bool inDescription = search::containsIgnoringCase(reader.readLine(), text);
        if ((inName && where != search::SearchIn::Descriptions) || (inDescription && where != search::SearchIn::Names))
            hits.append(r);
    }
    return hits;
}

// Lines of Windows-1252 pieces (empty ones too, lone LFs inside), ending in
// CR LF or in a lone CR, over several of the index's 4 KB chunks. Item 0 is
// "cross" / "over|": "s\r\no" spans its line end.
QByteArray mixedDatabase()
{
    const QStringList pieces = {"\u00C9p\u00E9e", "\u0160TIT", "\u0161tit", "\u0152uvre", "\u0153il", "\u0178",
                                "\u00FF",         "\u00B5",    "\u00DF",    "SS",         "\u20AC", "|",
                                "ring\nRING",     "Weight 7",  "k",         " "};
    QByteArray bytes = "cross\r\nover|\r";
    quint32 seed = 7;
    for (int line = 0; line < 1600; ++line) {
        QString text;
        for (int n = (seed = seed * 1103515245 + 12345) >> 16 & 3; n > 0; --n)
            text += pieces[((seed = seed * 1103515245 + 12345) >> 16) % pieces.size()];
        bytes += cp1252Of(text) + (line % 3 ? "\r\n" : "\r");
    }
    return bytes;
}

} // namespace

class ItemSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void theFoldTableIsQtsLowerCaseOfEveryByte()
    {
        for (int b = 0; b < 256; ++b) {
            QByteArray lower;
            QVERIFY(storage::encodeWindows1252(storage::decodeWindows1252(QByteArray(1, char(b))).toLower(), &lower));
            QCOMPARE(lower, QByteArray(1, char(search::FoldedNeedle::fold(uchar(b)))));
        }
    }

    void theIndexEndsWithALastNameOnlyWhenItsDescriptionIsMissing()
    {
        QVERIFY(storage::indexRecords("").records.isEmpty());
        const storage::RecordIndex whole = storage::indexRecords("n\r\nd");
        QCOMPARE(whole.records.size(), 1);
        QCOMPARE(whole.records[0].description.begin, 3);
        QVERIFY(!whole.danglingName);
        for (const QByteArray bytes : {QByteArray("n\r\nd\r\nlast"), QByteArray("n\r\nd\r\nlast\r\n")}) {
            const storage::RecordIndex odd = storage::indexRecords(bytes);
            QCOMPARE(odd.records.size(), 1);
            QVERIFY(odd.danglingName);
            QCOMPARE(odd.danglingName->begin, 6);
            QCOMPARE(odd.danglingName->length, 4);
        }
    }

    void theByteSearchFindsWhatTheDecodedSearchFinds_data()
    {
        QTest::addColumn<bool>("avx2");
        QTest::newRow("widest scans") << true;
        QTest::newRow("baseline scans") << false;
    }

    void theByteSearchFindsWhatTheDecodedSearchFinds()
    {
        QFETCH(bool, avx2);
        storage::avx2Allowed() = avx2;
        const QByteArray bytes = mixedDatabase();
        const storage::RecordIndex index = storage::indexRecords(bytes);
        QVERIFY(!index.danglingName);
        auto reader = storage::LineReader::fromBytes(bytes);
        for (const storage::Record &record : index.records) {
            QCOMPARE(bytes.mid(record.name.begin, record.name.length), cp1252Of(reader.readLine()));
            QCOMPARE(bytes.mid(record.description.begin, record.description.length), cp1252Of(reader.readLine()));
        }
        QVERIFY(reader.atEnd());
        const QStringList texts = {"|",     "",        "\u0130" /* lower case has no Windows-1252 form */,
                                   "\u212A" /* Kelvin sign: lower case is k */, "\u00E9P\u00C9E", "\u0161",
                                   "\u0153", "\u00FF", "\u00B5", "\u00DF", "ss", "\u20AC", "\nring", "g\nr",
                                   "weight 7|", "s\r\no", "\no", "over|"};
        for (const QString &text : texts) {
            for (const search::SearchIn where :
                 {search::SearchIn::Names, search::SearchIn::Descriptions, search::SearchIn::Both}) {
                QCOMPARE(search::findRecords(bytes, index, text, where), decodedSearch(bytes, text, where));
            }
        }
        // The needle alone: every place (overlapping ones too), then from every place to an end
        // close by (every length of the scans' tails); and a text longer than a vector step.
        for (const QString &text : texts + QStringList{storage::decodeWindows1252(bytes.mid(4000, 40))}) {
            QByteArray folded;
            if (text.isEmpty() || !storage::encodeWindows1252(text.toLower(), &folded))
                continue;
            const search::FoldedNeedle needle(folded);
            QVector<qsizetype> places, found;
            for (qsizetype at = 0; at + folded.size() <= bytes.size(); ++at) {
                if (std::equal(folded.begin(), folded.end(), bytes.begin() + at,
                               [](char f, char b) { return search::FoldedNeedle::fold(uchar(b)) == uchar(f); }))
                    places.append(at);
            }
            for (qsizetype at = -1; (at = needle.find(bytes.constData(), at + 1, bytes.size())) >= 0;)
                found.append(at);
            QCOMPARE(found, places);
            for (qsizetype from = 0; from < bytes.size(); ++from) {
                const qsizetype end = qMin(bytes.size(), from + folded.size() + from % 70);
                const auto next = std::lower_bound(places.begin(), places.end(), from);
                const qsizetype expected = next != places.end() && *next + folded.size() <= end ? *next : -1;
                if (needle.find(bytes.constData(), from, end) != expected)
                    QFAIL(qPrintable(QStringLiteral("%1 in [%2, %3)").arg(text).arg(from).arg(end)));
            }
        }
        QCOMPARE(search::findRecords(bytes, index, "s\r\no", search::SearchIn::Both), QVector<int>{});
        QCOMPARE(search::findRecords(bytes, index, "OVER", search::SearchIn::Both).value(0), 0);
    }
};

QTEST_GUILESS_MAIN(ItemSearchTest)
#include "item_search_test.moc"
