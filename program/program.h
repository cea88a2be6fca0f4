#pragma once

#include "base/dialogs.h"
#include "base/outcome.h"
#include "catalogue/catalogue_file.h"
#include "download/download_list.h"
#include "download/download_url.h"
#include "editing/game_log.h"
#include "editing/record_edit.h"
#include "history/version_store.h"
#include "program/change.h"
#include "program/field_cache.h"
#include "program/found_items.h"
#include "program/item_counts.h"
#include "program/item_table.h"
#include "query/export.h"
#include "query/score_sets.h"
#include "storage/data_folder.h"
#include "storage/folder_lock.h"
#include "storage/item_database.h"
#include "storage/pref_file.h"
#include "storage/text_file.h"
#include "transfer/transfer_service.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace program {

class LogReading;

// An entry of the item table as an edit or a delete sees it: the record of the
// database file it came from and the item it showed.
struct ListedItem
{
    int record = -1;
    storage::Item item;
};

// The colours the main window shows. A colour that was never loaded nor chosen
// is unset, and the window keeps its design colour there.
struct ColourSet
{
    std::optional<quint32> background;
    std::optional<quint32> itemText;
    std::optional<quint32> descriptionText;
};

inline const QString kNoItemSelected = QStringLiteral("No item is selected!");

// A search (startSearch) of a database of more bytes than this runs on a
// thread of its own, so that the window goes on answering while it runs; a
// search of a database up to this size is done, its hits listed, when the call
// returns. Up to this size a search holds the window far less than 150 ms
// (the benchmark's op/search/...-painted cases; README, "Performance").
inline constexpr qsizetype kBackgroundSearchBytes = qsizetype(32) << 20;

// The program object: the program folder, the current database, the item table
// that lists it, the catalogue, the colours of the main window and the download. It is the
// only thing that reads or writes the data files, or fetches anything, on
// behalf of the windows. Every operation
// returns its outcome for the window that asked to show; changes are announced
// by signals, to which the main window listens. Nothing here shows a window.
//
// The program object owns its folder: it takes the folder's lock when it is
// made and holds it while it lives, so one running copy of the program works
// on a folder at a time. An object that did not get the lock refuses startUp;
// its other operations do not ask, so nothing but ending may follow (as
// runProgram does). A program that restarts on a folder destroys its first
// program object before making the next.
// Making a program object also makes a write beyond the file-size limit fail
// with its message ("File too large") instead of ending the process (SIGXFSZ
// is ignored from then on).
class Program : public QObject
{
    Q_OBJECT
public:
    // downloadFolderUrl: the download folder of the on-line databases ("/" is
    // added when it does not end with one).
    explicit Program(const QString &folder, const QString &downloadFolderUrl = download::defaultDownloadFolderUrl(),
                     QObject *parent = nullptr);
    // Returns at once also while a search runs: its thread ends by itself
    // and never touches this object.
    ~Program() override;

    // Done when this object holds its folder; refused, naming the folder, when
    // another running copy has it; failed when the folder cannot be locked.
    const base::Outcome &folderClaim() const { return lock_.claim(); }

    const storage::DataFolder &folder() const { return folder_; }
    const catalogue::Entry &currentDatabase() const { return current_; }
    QString currentDatabasePath() const { return folder_.file(current_.fileName); }

    ItemTable *itemTable() { return &table_; }
    const ItemTable &items() const { return table_; }
    // The count label's text: "12 items in database".
    QString countText() const;
    const ColourSet &colours() const { return colours_; }

    // The start-up sequence: refused (folderClaim) when this object does not
    // hold its folder, before anything is read or written; the primary database
    // becomes current; the leftovers of saves killed half-way are removed (from
    // the program folder, the versions' folders and the folders that
    // catalogued database links lead to); a missing pref.txt is written with
    // the default colours after its notice; the three colours are loaded one by
    // one; beforeListing runs (the main window fits its lower controls); the
    // primary database is listed. A missing primary database is written with
    // the sample item after its notice, and stays unlisted until the next
    // listing. The count changes only when the whole database was listed. The
    // notices go through `notices`; a failure ends the sequence where it
    // happens and is returned.
    base::Outcome startUp(base::Dialogs &notices, const std::function<void()> &beforeListing);

    // Lists every item of the current database (Show All). After a failure the
    // table holds what was read, and the count follows it.
    base::Outcome listAll();
    // After a change of the current database: the description view is cleared
    // and the database listed again.
    base::Outcome reloadCurrentDatabase();
    // Lists the items whose name and/or description contain the text, ignoring
    // case, and shows the first hit's description. Refused when neither is chosen.
    // Done before it returns, on the caller's thread.
    base::Outcome search(const QString &text, bool inNames, bool inDescriptions);
    // The same search as the window starts it. A database of more bytes than
    // the background size (kBackgroundSearchBytes unless set) is searched on a
    // thread of its own, over the bytes listed (or the file, read there when
    // it changed since it was listed, the table emptied first): the call
    // returns done at once with searchRunning() true, and searchEnded follows
    // with what search() would have returned, once the hits are listed. A
    // newer search, a listing, a change of the current database file and a
    // switch to another database drop a search still running: searchEnded
    // follows at once with cancelled, and its hits are never listed. A
    // smaller database is searched as search() does it.
    base::Outcome startSearch(const QString &text, bool inNames, bool inDescriptions);
    bool searchRunning() const { return searchRun_ != nullptr; }
    // Another background size in bytes (for the tests).
    void setBackgroundSearchBytes(qsizetype bytes) { backgroundSearchBytes_ = bytes; }

    // The listed entry at a row, nothing when there is none.
    std::optional<ListedItem> listedItem(int row) const;
    // The changes below write only what they change, and list the current
    // database from the bytes they wrote (clearing the description view, but
    // for a merge); a failure of that listing is announced by listingFailed.

    // Appends an item typed in the Add New Item window.
    base::Outcome addItem(const QString &name, const QString &typedDescription);
    // Appends an item whose description is in the stored form already (a
    // paste left as pasted), exactly as given. Name and description are one
    // line each.
    base::Outcome addStoredItem(const storage::Item &item);
    // Replaces the record of a listed item, when the file still holds that item
    // there; a name or a typed description left unchanged (nothing given) is
    // written back exactly as it was read.
    base::Outcome replaceItem(const ListedItem &listed, const std::optional<QString> &newName,
                              const std::optional<QString> &newTypedDescription);
    // Deletes the record of the entry at a row, when the file still holds that
    // item there, and takes the entry out of the table in place (search hits stay listed).
    base::Outcome deleteListedItem(int row);
    // Imports the records of a text file into the current database. The
    // progress is reported while the import is read; stopped there, the import
    // is cancelled and nothing is written.
    base::Outcome importItems(const QString &importPath, const base::ProgressReport &progress = {});

    // The catalogue file as it is now.
    catalogue::CatalogueRead readCatalogue() const;
    // The catalogue the windows show, which the operations below work on, is
    // kept here. openCatalogue reads it again from the file (a catalogue
    // window does as it opens); a missing file is first written with the seed
    // catalogue (wasMissing tells the caller to say so) and read again, and a
    // failure to write it is the read's failure then. What was read before a
    // failure is kept, and never written back. catalogueChanged follows.
    // Until it is first opened the catalogue is empty and never written.
    struct CatalogueOpening
    {
        bool wasMissing = false;
        std::optional<base::Failure> failure;
    };
    CatalogueOpening openCatalogue();
    // The display names of the catalogue, in its order.
    QStringList catalogueNames() const;
    // The row of the current database's entry (the last naming its file), -1 when none.
    int catalogueRowOfCurrentDatabase() const;
    // Where the entry named `name`, at `formerRow` before the catalogue
    // changed, is now: formerRow when it still has that name, else the last
    // row of that name; -1 when there is none.
    int catalogueRowOf(const QString &name, int formerRow) const;
    // Makes the catalogued database named `text` current.
    base::Outcome chooseDatabase(const QString &text);
    // Creates a database holding the sample item, at the end of the catalogue.
    // A new database starts without versions: those of a removed database of
    // the same file name are set aside (and stay offered for restoring).
    base::Outcome createDatabase(const QString &name);
    // Why the database named `text` cannot be removed, as a refusal; done when it can.
    base::Outcome checkRemoval(const QString &text) const;
    // Deletes the database's file and its catalogue entry; the primary database
    // becomes current (also when the current database's file is gone after a failure).
    base::Outcome removeDatabase(const QString &text);

    // Merges the downloaded database into the catalogued database at row
    // `index` (-1: none was chosen). The progress is reported while the items
    // are compared; stopped there, the merge is cancelled and nothing is written.
    base::Outcome mergeDownload(int index, const base::ProgressReport &progress = {});
    // Makes a new current database of the downloaded items.
    base::Outcome newDatabaseFromDownload(const QString &name);
    // Deletes the downloaded database once it has been taken in.
    base::Outcome discardDownload();

    // Saves the colours to pref.txt and, once saved, shows them.
    base::Outcome saveColours(const storage::Prefs &chosen);

    // Every change of a database file is a Change (change.h): it keeps the
    // file's content first as a version, and a change whose version cannot be
    // kept does not happen.
    // The change "Undo Last Change" takes back in the current database
    // ("Delete of small metallic ring"), nothing when there is none.
    std::optional<QString> undoableChange() const;
    // Restores the content before that change, keeping today's content as a
    // version first (so the undo itself can be taken back).
    base::Outcome undoLastChange();
    // The versions of a database file (or of a removed database, by the folder
    // of its versions), newest first, with the items each holds.
    struct VersionEntry
    {
        history::Version version;
        qsizetype items = 0;
    };
    // A version's items are counted once, and not again while its file's stamp holds.
    QVector<VersionEntry> versionsOf(const QString &versionsFolder) const;
    // How many version files were read so far to count their items (for the tests).
    qsizetype versionFilesRead() const { return versionItems_.filesRead(); }
    // A database out of the catalogue that has versions: removed (its file
    // gone, or its versions set aside when a new database took its file name),
    // or left out of the catalogue with its file still there holding items.
    struct RemovedDatabase
    {
        QString versionsFolder; // for versionsOf
        QString file;           // the database file it comes back as
        bool fileLeft = false;  // its file is still in the program folder
    };
    QVector<RemovedDatabase> removedDatabases() const;
    // Makes a version the content of its database: the current database's,
    // after keeping today's content as a version; a removed database's, back in
    // the catalogue under its old name when that name is free, with its
    // versions; one whose file was left out of the catalogue likewise, after
    // keeping the file's content as a version.
    base::Outcome restoreVersion(const history::Version &version, const QString &databaseFile);

    // Harvesting game logs (program_harvest.cpp).
    // A reading of a game log's identify blocks; it starts on start().
    std::unique_ptr<LogReading> readGameLog(const QString &path, const QString &blockStart) const;
    // How a found item stands against the current database: no item has its
    // name; one with its name has the same description; all with its name
    // have another description.
    enum class Standing { New, Same, Different };
    // The standing of each found item. Fails when the current database cannot be read.
    base::Outcome compareWithCurrentDatabase(const QVector<editing::FoundItem> &found,
                                             QVector<Standing> *standings) const;
    // Adds the items at the end of the current database in one safe write,
    // kept as the one change "Harvest of N items"; the bytes already there stay
    // as they are. Refused when no item is given; fails, writing nothing, for
    // a character the file cannot hold or a database that ends inside an item.
    base::Outcome addHarvest(const QVector<storage::Item> &items);
    // The folder of the last game log chosen and the block start text,
    // remembered in gamelog.ini in the program folder.
    struct GameLogChoices
    {
        QString folder;
        QString blockStart;
    };
    GameLogChoices gameLogChoices() const;
    void rememberGameLogChoices(const GameLogChoices &choices) const;

    // The weight sets of the score box (program_scores.cpp), kept in
    // scores.cfg in the program folder, in its order. The defaults when the
    // file is missing (or cannot be read); an expression is kept as written.
    QVector<query::ScoreSet> scoreSets() const;
    // Keeps a set, in the place of the one of that name (names ignore case,
    // blanks at either end are not kept) or after the others, in one safe
    // write of scores.cfg. Refused for a set that would not read back the
    // same (query::scoreSetRefusal); fails, writing nothing, when scores.cfg
    // cannot be read or written.
    base::Outcome saveScoreSet(const QString &name, const QString &expression);
    // Takes the set of that name out likewise; refused when there is none.
    base::Outcome removeScoreSet(const QString &name);

    // The download (program_download.cpp). A fetch runs in the background,
    // one at a time; its end is signalled by downloadListFetched or
    // databaseDownloaded: done when the document is in its file (written
    // whole, once all of it has come), refused naming the address and the
    // reason when the transfer failed, failed when the file could not be
    // written, cancelled after cancelDownload.
    // The download folder, ending with "/".
    const QString &downloadFolderUrl() const { return downloadFolderUrl_; }
    // Starts fetching the on-line list, the download folder's downlist.txt,
    // into the list file. Failed at once, fetching nothing, when the private
    // download folder cannot be had.
    base::Outcome fetchDownloadList();
    // Starts downloading the database file `fileName` of the download folder
    // into the download file, which the Which Database window takes in.
    // Failed at once likewise.
    base::Outcome downloadDatabase(const QString &fileName);
    // From the start of a fetch until its end is signalled.
    bool downloadBusy() const { return transfer_.busy(); }
    void cancelDownload() { transfer_.cancel(); }
    // Closes the connections the transfer keeps open for a next fetch.
    void closeDownloadConnections() { transfer_.closeConnections(); }
    // The list waiting in the list file, read: nothing in *list when no list
    // waits. Failed when the file or the private folder cannot be read.
    base::Outcome readDownloadList(std::optional<download::DownloadList> *list) const;
    // Deletes the list file once it has been read.
    base::Outcome removeDownloadList() const;

    // Finding items by their fields (program_fields.cpp). The rules are
    // fields.txt in the program folder, written with the default rules the
    // first time they are needed and read once; rules with mistakes are not
    // used. The fields of each catalogued database are read on a thread of
    // their own and kept until its file changes (databaseFileChanged).

    // The text of fields.txt, written with the default rules first when there is none.
    base::Outcome fieldRulesText(QString *text);
    // Refused, naming each wrong line and what is wrong, for rules with
    // mistakes; else fields.txt holds the text (through the safe save) and
    // every database's fields are read again with it.
    base::Outcome saveFieldRules(const QString &text);
    // Starts reading the fields of the scope's databases not read yet:
    // fieldsProgress, then fieldsReady or fieldsFailed. Refused, naming the
    // lines, when fields.txt has mistakes; failed when it cannot be read or written.
    base::Outcome readFields(bool allDatabases);
    // True when every database of the scope is read with the rules in use.
    bool fieldsRead(bool allDatabases);
    void cancelFieldReading();
    // The query over the scope, read already (readFields): the hits, their
    // scores and, when asked, the best of each slot. Refused with the
    // engine's message for a mistake in the query or the score (*mistake
    // tells which), and when the fields are not read.
    enum class Mistake { None, InQuery, InScore };
    base::Outcome findItems(const FindRequest &request, FoundItems *found, Mistake *mistake = nullptr);
    // The scope's fields read with other rules, not saved (the Fields
    // window's Try): refused naming the wrong lines. Reads the databases on
    // the caller's thread.
    base::Outcome tryFieldRules(const QString &text, bool allDatabases, FieldScope *tried);
    // Makes the found item's database current, lists it and chooses the
    // item's row (itemChosen, and its description shown). Refused when the
    // database no longer holds the item there.
    base::Outcome showFoundItem(const FoundItems &found, const query::Hit &hit);
    // The columns the player added to and hid from Find Items, remembered in
    // finditems.ini in the program folder.
    ColumnChoice findColumns() const;
    void rememberFindColumns(const ColumnChoice &choice) const;
    // Writes the table to the file, as JSON when its name ends with ".json"
    // and as CSV otherwise (query::exportBytes), through the safe save.
    // Failed, naming the reason, when the file cannot be written.
    base::Outcome exportItems(const query::ExportTable &table, const QString &fileName) const;

signals:
    void downloadListFetched(const base::Outcome &outcome);
    void databaseDownloaded(const base::Outcome &outcome);
    // The table holds a new listing: the count label follows.
    void listingChanged();
    // The end of a search that startSearch runs in the background.
    void searchEnded(const base::Outcome &outcome);
    // The description view shows this stored description (empty: nothing).
    void descriptionShown(const QString &stored);
    // Listing the current database after a change stopped early; the table holds what was read.
    void listingFailed(const QString &message);
    void coloursChanged();
    void currentDatabaseChanged();
    // A version was kept or the versions changed: the undo entry follows.
    void historyChanged();
    // A database file of the program folder was written, created or removed.
    void databaseFileChanged(const QString &fileName);
    // The reading of fields: how far (thousandths), its end, or what stopped it.
    void fieldsProgress(int done, int total);
    void fieldsReady();
    void fieldsFailed(const base::Outcome &outcome);
    // Fields read before are out of date (a database or the rules changed).
    void fieldsChanged();
    // The listed entry at this row is chosen (showFoundItem).
    void itemChosen(int row);
    // scores.cfg holds other weight sets.
    void scoreSetsChanged();
    // The catalogue was read again or changed: the windows that list it follow.
    void catalogueChanged();

private:
    // The catalogue file read, written first with the seed catalogue when it is missing.
    struct OpenedCatalogue
    {
        catalogue::CatalogueRead read;
        bool wasMissing = false;
    };
    OpenedCatalogue readOrSeedCatalogue() const;
    // Makes `catalogue` the catalogue kept here and announces it.
    void keepCatalogue(const catalogue::Catalogue &catalogue);
    void selectDatabase(const catalogue::Entry &entry);
    void selectPrimary();
    // Fills the table with every item of the current database file; the
    // failure that stopped the reading, if any.
    std::optional<base::Failure> fillWithCurrentDatabase();
    // Lists every record of the bytes, which are the current database's.
    std::optional<base::Failure> fillWith(QByteArray bytes, storage::RecordIndex index);
    // The room a listed database's bytes keep for the items added one at a
    // time, which the table takes in place.
    static constexpr qsizetype kRoomForAddedBytes = 64 * 1024;
    // Empties the table, then reads the current database file whole with its index; its
    // failure, if any. The table lists nothing afterwards.
    std::optional<base::Failure> readCurrentDatabase(storage::IndexedFile *read);
    // The search's work and what it found (program_search.cpp); what its thread shares.
    struct SearchJob;
    struct SearchRun;
    // Drops a search running in the background (searchEnded, cancelled), and
    // prepares a job that searches what the table lists, or the file after
    // emptying the table when the file changed since. Refused when neither
    // names nor descriptions are chosen, dropping nothing.
    base::Outcome prepareSearch(const QString &text, bool inNames, bool inDescriptions, SearchJob *job);
    // Lists what the job found; the search's outcome.
    base::Outcome listHits(SearchJob &job);
    void endSearch(const std::shared_ptr<SearchRun> &run);
    void dropSearch();
    // Removes what saves killed half-way left behind (storage::removeSaveLeftovers).
    void removeSaveLeftovers() const;
    // Writes the current database through its change and lists it from the
    // bytes written. Throws a Failure.
    void writeCurrentDatabase(Change &change, editing::Edited edited, bool clearDescription = true);
    // The current database's content as a one-item change starts from it:
    // the table's bytes and index while they are the file's whole content
    // (its stamp unchanged since), else the file read (a missing file is
    // empty when missingIsEmpty) and indexed. Throws a Failure.
    struct ChangeBase
    {
        bool listed = false;
        QByteArray readBytes;
        storage::RecordIndex readIndex;
    };
    ChangeBase changeBase(bool missingIsEmpty = false) const;
    const QByteArray &bytesOf(const ChangeBase &base) const { return base.listed ? table_.bytes() : base.readBytes; }
    const storage::RecordIndex &indexOf(const ChangeBase &base) const
    {
        return base.listed ? table_.index() : base.readIndex;
    }
    // Writes `edit` of the base through the change, in parts (no copy of the
    // file's bytes is made), and lists every record as written, as
    // writeCurrentDatabase does. Throws a Failure.
    void writeEditedDatabase(Change &change, ChangeBase &base, const editing::RecordEdit &edit);
    // After `edit` of the base is written: the table follows without reading
    // the file back (lists every record, or, for a removal, loses the entry at
    // deletedRow), and the file's stamp is kept. Should the table fail to
    // follow, it is filled from the file again. The failure of that listing, if any.
    std::optional<base::Failure> listEdited(ChangeBase &base, const editing::RecordEdit &edit, int deletedRow = -1);
    // The edit that takes the last one-item change of the current database
    // back, while the version is the file as it was before that change (kept
    // under a hard link, unchanged since) and the table holds the bytes the
    // change wrote; nothing otherwise, and the version is read.
    std::optional<editing::RecordEdit> editTakingBack(const history::Version &version) const;
    // A database file's bytes; a missing file is empty when missingIsEmpty. Throws a Failure.
    QByteArray readDatabase(const QString &databaseFile, bool missingIsEmpty = false) const;
    void loadColours(base::Dialogs &notices);
    // Opens a change of a database file of the program folder, named for the
    // undo entry ("Delete of small metallic ring"); historyChanged follows
    // its end when it kept a version.
    Change openChange(const QString &databaseFile, const QString &name, history::Kind kind = history::Kind::Change);
    // The start-up's work on the versions a killed change left (VersionStore::recover).
    void recoverVersions();
    // Starts fetching url into the file that file() names (asked before the
    // fetch starts); `ended` is signalled with the outcome. `advice` follows
    // the message of a failed transfer.
    base::Outcome fetchInto(const QString &url, const std::function<QString()> &file,
                            void (Program::*ended)(const base::Outcome &), const QString &advice = QString());
    // Reads the weight sets, lets `change` change them and, when it returns
    // done, writes them back and announces it.
    base::Outcome changeScoreSets(const std::function<base::Outcome(QVector<query::ScoreSet> &)> &change);
    // Brings a removed database, or one whose file was left out of the
    // catalogue, back into the catalogue with the version's bytes.
    base::Outcome restoreRemoved(const history::Version &version, const QString &databaseFile, const QByteArray &bytes);

    // The scope's databases: the current one, or every catalogued one.
    QVector<catalogue::Entry> scopeDatabases(bool allDatabases) const;
    // fields.txt read and parsed once (written first when missing). Throws a Failure.
    const fields::ParsedRules &fieldRules();
    FieldScope fieldScope(const QVector<DatabaseFieldsPtr> &databases, const fields::Rules &rules) const;

    // First, so that it is taken before and given up after everything else.
    storage::FolderLock lock_;
    storage::DataFolder folder_;
    catalogue::Entry current_;
    // The catalogue the windows show (openCatalogue); not complete until read.
    catalogue::Catalogue catalogue_{{}, false};
    ItemTable table_;
    // The stamp of the current database file when the table's bytes were its
    // whole content (read, or written by a change); nothing otherwise.
    std::optional<storage::FileStamp> listedStamp_;
    // The last one-item change that started from the listed bytes: the file's
    // stamp before and after it, and the edit that takes it back.
    struct LastEdit
    {
        storage::FileStamp before;
        storage::FileStamp after;
        editing::RecordEdit back;
    };
    std::optional<LastEdit> lastEdit_;
    ColourSet colours_;
    history::VersionStore versions_;
    // The items of the versions listed (versionsOf), counted once.
    mutable ItemCounts versionItems_;
    QString downloadFolderUrl_;
    // "Inet1" of the download window as designed.
    transfer::TransferService transfer_;
    std::optional<fields::ParsedRules> fieldRules_;
    FieldCache fieldCache_;
    // The search running in the background, if any.
    std::shared_ptr<SearchRun> searchRun_;
    qsizetype backgroundSearchBytes_ = kBackgroundSearchBytes;
};

} // namespace program
