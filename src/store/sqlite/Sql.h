#pragma once

// Every statement the SQLite engine runs, in one place. Statements are cached by text, so each
// shape of query is its own constant. Values are always bound: ?1 is a card number, ?2 a
// category code, ?3 a row count or a keyword, ?4 the rows passed over, unless a statement says
// otherwise.
namespace Sql {

// Numero is the row id: numbers survive compaction, and the order of addition is the order of
// ascending number. The index on Cate keeps a category query from reading the whole table.
inline constexpr const char* kCreateCardTable =
    "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre TEXT, Pivanes TEXT);";
inline constexpr const char* kCreateCategoryIndex =
    "CREATE INDEX IF NOT EXISTS TrucPivane_Cate ON TrucPivane (Cate);";
inline constexpr const char* kDropCategoryIndex = "DROP INDEX IF EXISTS TrucPivane_Cate";
// What the file calls TrucPivane, and its columns, hidden and generated ones included.
inline constexpr const char* kCardTableKind =
    "SELECT type, sql FROM sqlite_schema WHERE lower(name) = 'trucpivane'";
inline constexpr const char* kCardColumns =
    "SELECT lower(name), upper(type), pk, hidden FROM pragma_table_xinfo('TrucPivane')";
// Only a table with row ids has one to read.
inline constexpr const char* kCardRowid = "SELECT rowid FROM TrucPivane LIMIT 0";
// What a write of the program could run besides its own triggers: every trigger and view, and
// the indexes on an expression or on some rows only of the tables it writes.
inline constexpr const char* kCodeInSchema =
    "SELECT type, name, sql FROM sqlite_schema WHERE type IN ('trigger', 'view') UNION ALL "
    "SELECT 'index', s.name, s.sql FROM sqlite_schema AS s JOIN pragma_index_list(s.tbl_name) AS "
    "l ON l.name = s.name WHERE s.type = 'index' AND lower(s.tbl_name) IN ('trucpivane', "
    "'trucpivane_corbeille', 'trucpivane_mots_remplacee') AND (l.partial OR EXISTS (SELECT 1 "
    "FROM pragma_index_xinfo(s.name) AS x WHERE x.key AND x.cid = -2))";

// Rows of a selection from a card number up or down; the skipped rows are passed over inside
// the engine, without being read out.
inline constexpr const char* kAllUpward = "SELECT Numero, Titre FROM TrucPivane WHERE Numero >= "
                                          "?1 ORDER BY Numero LIMIT ?3 OFFSET ?4";
inline constexpr const char* kCategoryUpward = "SELECT Numero, Titre FROM TrucPivane WHERE Cate = "
                                               "?2 AND Numero >= ?1 ORDER BY Numero LIMIT ?3 "
                                               "OFFSET ?4";
inline constexpr const char* kAllDownward = "SELECT Numero, Titre FROM TrucPivane WHERE Numero <= "
                                            "?1 ORDER BY Numero DESC LIMIT ?3 OFFSET ?4";
inline constexpr const char* kCategoryDownward = "SELECT Numero, Titre FROM TrucPivane WHERE Cate "
                                                 "= ?2 AND Numero <= ?1 ORDER BY Numero DESC "
                                                 "LIMIT ?3 OFFSET ?4";
inline constexpr const char* kCountAll = "SELECT count(*) FROM TrucPivane";
inline constexpr const char* kCountCategory = "SELECT count(*) FROM TrucPivane WHERE Cate = ?2";
inline constexpr const char* kTitleOf = "SELECT Titre FROM TrucPivane WHERE Numero = ?1";

// Every title that may hold a keyword, for the caller to look at: SQLite's own comparisons know
// the case of ASCII letters only.
inline constexpr const char* kAllHolding = "SELECT Numero, Titre FROM TrucPivane WHERE Numero <= "
                                           "?1 ORDER BY Numero";
inline constexpr const char* kCategoryHolding = "SELECT Numero, Titre FROM TrucPivane WHERE Cate "
                                                "= ?2 AND Numero <= ?1 ORDER BY Numero";

inline constexpr const char* kReadCard = "SELECT Numero, Cate, Titre, Pivanes FROM TrucPivane "
                                         "WHERE Numero = ?1";
inline constexpr const char* kEveryCard = "SELECT Numero, Cate, Titre, Pivanes FROM TrucPivane "
                                          "ORDER BY Numero";
// The highest number of the cards and of the trash: a new card never takes a deleted card's.
inline constexpr const char* kHighestNumero =
    "SELECT max(Numero) FROM (SELECT max(Numero) AS Numero FROM TrucPivane UNION ALL "
    "SELECT max(Numero) FROM TrucPivane_Corbeille)";
inline constexpr const char* kInsertCard = "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
                                           "VALUES (?1, ?2, ?3, ?4)";
// An update names the fields it writes: "UPDATE TrucPivane SET Titre = ?3 WHERE Numero = ?1",
// each field bound at its column's place after the number.
inline constexpr const char* kUpdateCard = "UPDATE TrucPivane SET %1 WHERE Numero = ?1";

// The trash: deleted cards as they were, and when (?2 or ?5, ISO 8601 in UTC). A table of its
// own, so that TrucPivane keeps its four columns and their meaning for other programs.
inline constexpr const char* kCreateTrash =
    "CREATE TABLE IF NOT EXISTS TrucPivane_Corbeille (Numero INTEGER PRIMARY KEY, Cate TEXT, "
    "Titre TEXT, Pivanes TEXT, Supprimee TEXT NOT NULL)";
inline constexpr const char* kHasTrash =
    "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'TrucPivane_Corbeille'";
inline constexpr const char* kTrashCard =
    "INSERT INTO TrucPivane_Corbeille (Numero, Cate, Titre, Pivanes, Supprimee) "
    "SELECT Numero, Cate, Titre, Pivanes, ?2 FROM TrucPivane WHERE Numero = ?1";
inline constexpr const char* kRemoveCard = "DELETE FROM TrucPivane WHERE Numero = ?1";
inline constexpr const char* kIsTrashed = "SELECT count(*) FROM TrucPivane_Corbeille WHERE "
                                          "Numero = ?1";
inline constexpr const char* kTrashList =
    "SELECT Numero, Titre, Supprimee FROM TrucPivane_Corbeille ORDER BY Numero";
inline constexpr const char* kEveryTrashed = "SELECT Numero, Cate, Titre, Pivanes, Supprimee "
                                             "FROM TrucPivane_Corbeille ORDER BY Numero";
inline constexpr const char* kPutBack = "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
                                        "SELECT Numero, Cate, Titre, Pivanes "
                                        "FROM TrucPivane_Corbeille WHERE Numero = ?1";
inline constexpr const char* kRemoveTrashed = "DELETE FROM TrucPivane_Corbeille WHERE Numero = ?1";
inline constexpr const char* kEmptyTrash = "DELETE FROM TrucPivane_Corbeille";
inline constexpr const char* kAddTrashed =
    "INSERT INTO TrucPivane_Corbeille (Numero, Cate, Titre, Pivanes, Supprimee) "
    "VALUES (?1, ?2, ?3, ?4, ?5)";

// The title index: runs of three characters, case folded (FTS5's trigram tokenizer, as
// TitleCase folds). A file whose index kept the case has it made again at the first write. It keeps
// its own copy of the titles, so that a card's old entry goes out by number whatever replaced it:
// rows that another program puts in place of others (INSERT OR REPLACE, a change of number onto a
// taken one) leave nothing behind.
inline constexpr const char* kTitleIndex = "TrucPivane_Titres";
inline constexpr const char* kCreateTitleIndex =
    "CREATE VIRTUAL TABLE TrucPivane_Titres USING fts5(Titre, tokenize='trigram case_sensitive 0', "
    "columnsize=0)";
inline constexpr const char* kFillTitleIndex =
    "INSERT INTO TrucPivane_Titres(rowid, Titre) SELECT Numero, Titre FROM TrucPivane";
// The triggers that keep the title index in the same transaction as every write, by name.
inline constexpr const char* kTitleTriggers[][2] = {
    {"TrucPivane_Titres_Ajout",
     "CREATE TRIGGER TrucPivane_Titres_Ajout AFTER INSERT ON TrucPivane BEGIN "
     "INSERT OR REPLACE INTO TrucPivane_Titres(rowid, Titre) VALUES (new.Numero, new.Titre); "
     "END"},
    {"TrucPivane_Titres_Modif",
     "CREATE TRIGGER TrucPivane_Titres_Modif AFTER UPDATE OF Numero, Titre ON TrucPivane "
     "WHEN old.Numero IS NOT new.Numero OR old.Titre IS NOT new.Titre BEGIN "
     "DELETE FROM TrucPivane_Titres WHERE rowid = old.Numero; "
     "INSERT OR REPLACE INTO TrucPivane_Titres(rowid, Titre) VALUES (new.Numero, new.Titre); "
     "END"},
    {"TrucPivane_Titres_Retrait",
     "CREATE TRIGGER TrucPivane_Titres_Retrait AFTER DELETE ON TrucPivane BEGIN "
     "DELETE FROM TrucPivane_Titres WHERE rowid = old.Numero; END"},
};
// An index and what keeps it, as the file holds them: ?1 is the index's name, ?2 its working
// table's (or none), ?3 the pattern of its triggers' names.
inline constexpr const char* kIndexSchema =
    "SELECT name, type, sql FROM sqlite_schema WHERE name IN (?1, ?2) OR (type = 'trigger' AND "
    "name LIKE ?3 ESCAPE '\\')";
inline constexpr const char* kTitleTriggerNames = "TrucPivane\\_Titres\\_%";
// ?2 is the keyword as one phrase of the index's query language, ?5 the last number searched.
inline constexpr const char* kIndexedUpward =
    "SELECT rowid, Titre FROM TrucPivane_Titres WHERE TrucPivane_Titres MATCH ?2 AND rowid >= ?1 "
    "AND rowid <= ?5 ORDER BY rowid LIMIT ?3 OFFSET ?4";
inline constexpr const char* kIndexedDownward =
    "SELECT rowid, Titre FROM TrucPivane_Titres WHERE TrucPivane_Titres MATCH ?2 AND rowid <= ?1 "
    "AND rowid <= ?5 ORDER BY rowid DESC LIMIT ?3 OFFSET ?4";
inline constexpr const char* kIndexedCount =
    "SELECT count(*) FROM TrucPivane_Titres WHERE TrucPivane_Titres MATCH ?2 AND rowid <= ?1";

// The text index: the words of titles and texts, folded (TextFolding) by SQLite's own tokenizer
// after FOLD(x), which stands for x with TextFolding::kExpansions written out by replace(). It
// keeps no copy of the texts: a card's words go out by giving them again, as they were indexed.
// The one write that removes a card without telling its triggers, the replacement of a card by
// another of the same number, is caught beforehand: the card about to be replaced waits in
// TrucPivane_Mots_Remplacee until the write is done (an ignored write leaves it there until the
// next one clears it).
inline constexpr const char* kTextIndex = "TrucPivane_Mots";
inline constexpr const char* kTextIndexWork = "TrucPivane_Mots_Remplacee";
inline constexpr const char* kTextTriggerNames = "TrucPivane\\_Mots\\_%";
inline constexpr const char* kCreateTextIndex =
    "CREATE VIRTUAL TABLE TrucPivane_Mots USING fts5(Titre, Pivanes, content='', columnsize=0, "
    "tokenize='unicode61 remove_diacritics 2')";
inline constexpr const char* kCreateTextIndexWork =
    "CREATE TABLE TrucPivane_Mots_Remplacee (Numero INTEGER PRIMARY KEY, Titre, Pivanes)";
// The fill runs in the program only, which folds each text in one pass (pivanes_fold) where the
// triggers, which any program runs, chain replace(): the same bytes come out.
inline constexpr const char* kFillTextIndex =
    "INSERT INTO TrucPivane_Mots(rowid, Titre, Pivanes) SELECT Numero, pivanes_fold(Titre), "
    "pivanes_fold(Pivanes) FROM TrucPivane";
// Before a fill, the index keeps this many bytes of words in memory before it writes them out
// (a megabyte otherwise): fewer, larger pieces to merge. Back to a megabyte after it.
inline constexpr const char* kFillMemory = "INSERT INTO %1(%1, rank) VALUES('hashsize', %2)";
inline constexpr int kFillMemoryBytes = 64 << 20;
inline constexpr int kWriteMemoryBytes = 1 << 20;
inline constexpr const char* kTextTriggers[][2] = {
    {"TrucPivane_Mots_AvantAjout",
     "CREATE TRIGGER TrucPivane_Mots_AvantAjout BEFORE INSERT ON TrucPivane BEGIN "
     "DELETE FROM TrucPivane_Mots_Remplacee; "
     "INSERT INTO TrucPivane_Mots_Remplacee SELECT Numero, Titre, Pivanes FROM TrucPivane "
     "WHERE Numero = new.Numero; END"},
    {"TrucPivane_Mots_Ajout",
     "CREATE TRIGGER TrucPivane_Mots_Ajout AFTER INSERT ON TrucPivane BEGIN "
     "INSERT INTO TrucPivane_Mots(TrucPivane_Mots, rowid, Titre, Pivanes) SELECT 'delete', "
     "Numero, FOLD(Titre), FOLD(Pivanes) FROM TrucPivane_Mots_Remplacee WHERE Numero = "
     "new.Numero; "
     "DELETE FROM TrucPivane_Mots_Remplacee; "
     "INSERT INTO TrucPivane_Mots(rowid, Titre, Pivanes) VALUES (new.Numero, FOLD(new.Titre), "
     "FOLD(new.Pivanes)); END"},
    {"TrucPivane_Mots_AvantModif",
     "CREATE TRIGGER TrucPivane_Mots_AvantModif BEFORE UPDATE OF Numero, Titre, Pivanes ON "
     "TrucPivane BEGIN "
     "DELETE FROM TrucPivane_Mots_Remplacee; "
     "INSERT INTO TrucPivane_Mots_Remplacee SELECT Numero, Titre, Pivanes FROM TrucPivane "
     "WHERE Numero = new.Numero AND new.Numero IS NOT old.Numero; END"},
    {"TrucPivane_Mots_Modif",
     "CREATE TRIGGER TrucPivane_Mots_Modif AFTER UPDATE OF Numero, Titre, Pivanes ON TrucPivane "
     "BEGIN "
     "INSERT INTO TrucPivane_Mots(TrucPivane_Mots, rowid, Titre, Pivanes) SELECT 'delete', "
     "Numero, FOLD(Titre), FOLD(Pivanes) FROM TrucPivane_Mots_Remplacee WHERE Numero = "
     "new.Numero; "
     "DELETE FROM TrucPivane_Mots_Remplacee; "
     "INSERT INTO TrucPivane_Mots(TrucPivane_Mots, rowid, Titre, Pivanes) VALUES ('delete', "
     "old.Numero, FOLD(old.Titre), FOLD(old.Pivanes)); "
     "INSERT INTO TrucPivane_Mots(rowid, Titre, Pivanes) VALUES (new.Numero, FOLD(new.Titre), "
     "FOLD(new.Pivanes)); END"},
    // With recursive triggers on, a replaced card goes out through here, before the write that
    // replaces it finds it waiting.
    {"TrucPivane_Mots_Retrait",
     "CREATE TRIGGER TrucPivane_Mots_Retrait AFTER DELETE ON TrucPivane BEGIN "
     "DELETE FROM TrucPivane_Mots_Remplacee WHERE Numero = old.Numero; "
     "INSERT INTO TrucPivane_Mots(TrucPivane_Mots, rowid, Titre, Pivanes) VALUES ('delete', "
     "old.Numero, FOLD(old.Titre), FOLD(old.Pivanes)); END"},
};
// ?2 is the query in the index's own language (every word quoted), ?5 the last number searched.
inline constexpr const char* kTextsUpward =
    "SELECT Numero, Titre FROM TrucPivane WHERE Numero IN (SELECT rowid FROM TrucPivane_Mots "
    "WHERE TrucPivane_Mots MATCH ?2 AND rowid >= ?1 AND rowid <= ?5 ORDER BY rowid LIMIT ?3 "
    "OFFSET ?4) ORDER BY Numero";
inline constexpr const char* kTextsDownward =
    "SELECT Numero, Titre FROM TrucPivane WHERE Numero IN (SELECT rowid FROM TrucPivane_Mots "
    "WHERE TrucPivane_Mots MATCH ?2 AND rowid <= ?1 AND rowid <= ?5 ORDER BY rowid DESC LIMIT ?3 "
    "OFFSET ?4) ORDER BY Numero DESC";
inline constexpr const char* kTextsCount =
    "SELECT count(*) FROM TrucPivane_Mots WHERE TrucPivane_Mots MATCH ?2 AND rowid <= ?1";

// A local copy of a server collection: a collection file (its cards and trash as the server holds
// them) with, beside them, where the server stood when it was last read (one row) and the
// changes made on it away from the server, in order, waiting to be sent. ?1 is the identifier of
// a change; ?2 to ?10 its kind, number, fields before (category, title, text) and after.
inline constexpr const char* kCreateCopyTables = R"(
CREATE TABLE IF NOT EXISTS Copie_Etat (Cle INTEGER PRIMARY KEY CHECK (Cle = 1),
                                       Epoque INTEGER NOT NULL, Dernier INTEGER NOT NULL,
                                       LueLe TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS Copie_Attente (Ordre INTEGER PRIMARY KEY,
                                          Identifiant TEXT NOT NULL UNIQUE,
                                          Sorte INTEGER NOT NULL, Numero INTEGER NOT NULL,
                                          AvantCate TEXT, AvantTitre TEXT, AvantPivanes TEXT,
                                          ApresCate TEXT, ApresTitre TEXT, ApresPivanes TEXT);
)";
inline constexpr const char* kCopyMark = "SELECT Epoque, Dernier, LueLe FROM Copie_Etat";
inline constexpr const char* kSetCopyMark =
    "INSERT OR REPLACE INTO Copie_Etat (Cle, Epoque, Dernier, LueLe) VALUES (1, ?1, ?2, ?3)";
inline constexpr const char* kQueueChange =
    "INSERT INTO Copie_Attente (Identifiant, Sorte, Numero, AvantCate, AvantTitre, AvantPivanes, "
    "ApresCate, ApresTitre, ApresPivanes) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)";
inline constexpr const char* kFirstQueued =
    "SELECT Identifiant, Sorte, Numero, AvantCate, AvantTitre, AvantPivanes, ApresCate, "
    "ApresTitre, ApresPivanes FROM Copie_Attente ORDER BY Ordre LIMIT 1";
inline constexpr const char* kUnqueue = "DELETE FROM Copie_Attente WHERE Identifiant = ?1";
// A catch-up's cards, gathered a batch at a time in a table of the connection's own, then written
// by a few statements for the whole batch: the full-text indexes write out what they hold at the
// start of every statement, so a statement per card would leave a piece of index per card to
// merge. A card still there is updated (the title index then runs only for a changed title), and
// only where it changed. The batch is read through and each card looked up by its number (the
// unary + keeps the batch's own key out of the plan): a category's change, answered from the
// category index, would otherwise read the whole index for each batch. ?1 is the number; ?2 to ?5
// whether it is among the cards, and its fields; ?6 to ?10 whether it is in the trash, its fields
// there and the moment of deletion.
inline constexpr const char* kCreateArrivals =
    "CREATE TEMP TABLE IF NOT EXISTS Copie_Arrivees (Numero INTEGER PRIMARY KEY, "
    "Carte INTEGER NOT NULL, Cate TEXT, Titre TEXT, Pivanes TEXT, Jetee INTEGER NOT NULL, "
    "JCate TEXT, JTitre TEXT, JPivanes TEXT, Supprimee TEXT)";
inline constexpr const char* kAddArrival = "INSERT OR REPLACE INTO temp.Copie_Arrivees VALUES "
                                           "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";
inline constexpr const char* kWriteArrivals[] = {
    "DELETE FROM TrucPivane WHERE Numero IN (SELECT Numero FROM temp.Copie_Arrivees WHERE NOT "
    "Carte)",
    "UPDATE TrucPivane SET Cate = a.Cate, Titre = a.Titre, Pivanes = a.Pivanes FROM "
    "temp.Copie_Arrivees AS a WHERE +a.Numero = TrucPivane.Numero AND a.Carte AND (a.Titre IS NOT "
    "TrucPivane.Titre OR a.Pivanes IS NOT TrucPivane.Pivanes)",
    "UPDATE TrucPivane SET Cate = a.Cate FROM temp.Copie_Arrivees AS a WHERE +a.Numero = "
    "TrucPivane.Numero AND a.Carte AND a.Cate IS NOT TrucPivane.Cate",
    "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) SELECT Numero, Cate, Titre, Pivanes "
    "FROM temp.Copie_Arrivees AS a WHERE Carte AND NOT EXISTS (SELECT 1 FROM TrucPivane AS t "
    "WHERE t.Numero = a.Numero) ORDER BY Numero",
    "DELETE FROM TrucPivane_Corbeille WHERE Numero IN (SELECT Numero FROM temp.Copie_Arrivees)",
    "INSERT INTO TrucPivane_Corbeille (Numero, Cate, Titre, Pivanes, Supprimee) SELECT Numero, "
    "JCate, JTitre, JPivanes, Supprimee FROM temp.Copie_Arrivees WHERE Jetee ORDER BY Numero",
    "DELETE FROM temp.Copie_Arrivees",
};
inline constexpr int kArrivalsBatch = 5000;
// A card added away takes its number from the server: ?1 the provisional, ?2 the given one.
inline constexpr const char* kRenumberCard =
    "UPDATE OR REPLACE TrucPivane SET Numero = ?2 WHERE Numero = ?1";
inline constexpr const char* kRenumberTrashed =
    "UPDATE OR REPLACE TrucPivane_Corbeille SET Numero = ?2 WHERE Numero = ?1";
inline constexpr const char* kRenumberQueued =
    "UPDATE Copie_Attente SET Numero = ?2 WHERE Numero = ?1";
// Provisional numbers go down from -1, below every card and trashed card.
inline constexpr const char* kNextProvisional =
    "SELECT min(0, coalesce((SELECT min(Numero) FROM TrucPivane), 0), "
    "coalesce((SELECT min(Numero) FROM TrucPivane_Corbeille), 0)) - 1";

} // namespace Sql
