#pragma once

// Every statement the PostgreSQL engine runs, in one place. Names are unquoted, so the server
// folds them to lower case. Values are always sent apart: $1 is a card number unless a statement
// says otherwise.
namespace PgSql {

// The collection on first use of an empty database. trucpivane holds the cards and a version per
// card, which each change raises. Beside it, kept by triggers in the same transaction as every
// write, whichever program writes: trucpivane_titres, a narrow copy of the numbers, categories
// and titles, which the lists page through and the search reads by its index of runs of three
// characters (pg_trgm); and trucpivane_comptes, the cards added (and taken away, counted
// negative) by category, one row per write, so that a count reads a few rows instead of every
// card. FoldCounts sums the rows up from time to time. And trucpivane_mots, the folded words of
// each card's title and text (TextFolding) that the search of texts finds cards by: the triggers
// empty a card's row when its title or text changes, and the program fills it (RefreshWords), so
// that another program's writes are caught up with before the next search. mots holds the words
// as they follow each other, lexemes each word once, for the index; none when too long for one.
inline constexpr const char* kCreateCollection = R"(
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE TABLE trucpivane (numero bigint PRIMARY KEY, cate text, titre text, pivanes text,
                         version bigint NOT NULL DEFAULT 1);
CREATE TABLE trucpivane_titres (numero bigint PRIMARY KEY, cate text, titre text);
CREATE INDEX trucpivane_titres_cate ON trucpivane_titres (cate, numero);
CREATE INDEX trucpivane_titres_trigrammes ON trucpivane_titres USING gin (titre gin_trgm_ops);
CREATE TABLE trucpivane_comptes (cate text, cartes bigint NOT NULL);
CREATE INDEX trucpivane_comptes_cate ON trucpivane_comptes (cate);
CREATE TABLE trucpivane_mots (numero bigint PRIMARY KEY, mots text, lexemes text);
CREATE INDEX trucpivane_mots_lexemes ON trucpivane_mots
    USING gin (array_to_tsvector(string_to_array(lexemes, ' '))) WHERE lexemes IS NOT NULL;
CREATE INDEX trucpivane_mots_sans_lexemes ON trucpivane_mots (numero) WHERE lexemes IS NULL;

CREATE FUNCTION trucpivane_ajout() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    INSERT INTO trucpivane_titres SELECT numero, cate, titre FROM nouvelles;
    INSERT INTO trucpivane_mots (numero) SELECT numero FROM nouvelles;
    INSERT INTO trucpivane_comptes SELECT cate, count(*) FROM nouvelles GROUP BY cate;
    RETURN NULL;
END $$;
CREATE FUNCTION trucpivane_modif() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    -- Only the rows whose number, category or title changed: an edit of the text alone leaves
    -- the copy and its index untouched.
    DELETE FROM trucpivane_titres t USING anciennes a
     WHERE t.numero = a.numero AND NOT EXISTS (
           SELECT 1 FROM nouvelles n WHERE n.numero = a.numero
              AND n.cate IS NOT DISTINCT FROM a.cate AND n.titre IS NOT DISTINCT FROM a.titre);
    INSERT INTO trucpivane_titres SELECT n.numero, n.cate, n.titre FROM nouvelles n
     WHERE NOT EXISTS (
           SELECT 1 FROM anciennes a WHERE a.numero = n.numero
              AND a.cate IS NOT DISTINCT FROM n.cate AND a.titre IS NOT DISTINCT FROM n.titre);
    DELETE FROM trucpivane_mots m USING anciennes a
     WHERE m.numero = a.numero AND NOT EXISTS (
           SELECT 1 FROM nouvelles n WHERE n.numero = a.numero
              AND n.titre IS NOT DISTINCT FROM a.titre
              AND n.pivanes IS NOT DISTINCT FROM a.pivanes);
    INSERT INTO trucpivane_mots (numero) SELECT n.numero FROM nouvelles n
     WHERE NOT EXISTS (
           SELECT 1 FROM anciennes a WHERE a.numero = n.numero
              AND a.titre IS NOT DISTINCT FROM n.titre
              AND a.pivanes IS NOT DISTINCT FROM n.pivanes);
    INSERT INTO trucpivane_comptes
    SELECT cate, sum(cartes) FROM (SELECT cate, -1 AS cartes FROM anciennes
                                   UNION ALL SELECT cate, 1 FROM nouvelles) c
     GROUP BY cate HAVING sum(cartes) <> 0;
    RETURN NULL;
END $$;
CREATE FUNCTION trucpivane_retrait() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    DELETE FROM trucpivane_titres t USING anciennes a WHERE t.numero = a.numero;
    DELETE FROM trucpivane_mots m USING anciennes a WHERE m.numero = a.numero;
    INSERT INTO trucpivane_comptes SELECT cate, -count(*) FROM anciennes GROUP BY cate;
    RETURN NULL;
END $$;
CREATE FUNCTION trucpivane_vidage() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    TRUNCATE trucpivane_titres, trucpivane_comptes, trucpivane_mots;
    RETURN NULL;
END $$;
CREATE TRIGGER trucpivane_ajout AFTER INSERT ON trucpivane REFERENCING NEW TABLE AS nouvelles
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_ajout();
CREATE TRIGGER trucpivane_modif AFTER UPDATE ON trucpivane
    REFERENCING OLD TABLE AS anciennes NEW TABLE AS nouvelles
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_modif();
CREATE TRIGGER trucpivane_retrait AFTER DELETE ON trucpivane REFERENCING OLD TABLE AS anciennes
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_retrait();
CREATE TRIGGER trucpivane_vidage AFTER TRUNCATE ON trucpivane
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_vidage();
)";

// The trash: deleted cards as they were, and when. Made beside a collection that lacks it, so
// that a collection made before keeps working.
inline constexpr const char* kCreateTrash =
    "CREATE TABLE IF NOT EXISTS trucpivane_corbeille (numero bigint PRIMARY KEY, cate text, "
    "titre text, pivanes text, supprimee timestamptz NOT NULL)";
inline constexpr const char* kHasTrash = "SELECT to_regclass('trucpivane_corbeille') IS NOT NULL";

// What the local copies of the collection catch up from, kept by triggers on the cards and the
// trash whichever program writes: trucpivane_suivi, each card number's last change number (a
// number that left keeps its row: the record of cards that left), and trucpivane_epoque, which a
// restore or a TRUNCATE moves on, so that every copy reads everything again and every program
// tells its user that the cards it shows may have gone. Writers take a lock
// of their own before their first row, so that change numbers commit in the order given: a copy
// that read up to one has missed none below it. A restore says so (pivanes.restauration) and
// leaves the numbers as they are, since every copy reads it whole. trucpivane_appliques records
// the changes sent back from copies, so that one sent twice is applied once. Made beside a
// collection that lacks them, as the trash was.
inline constexpr const char* kCreateTracking = R"(
CREATE TABLE trucpivane_suivi (numero bigint PRIMARY KEY, changement bigint NOT NULL);
CREATE INDEX trucpivane_suivi_changement ON trucpivane_suivi (changement);
CREATE TABLE trucpivane_epoque (epoque bigint NOT NULL);
INSERT INTO trucpivane_epoque VALUES (1);
CREATE TABLE trucpivane_appliques (identifiant text PRIMARY KEY, numero bigint,
                                   issue integer NOT NULL);

CREATE FUNCTION trucpivane_suivi_avant() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    PERFORM pg_advisory_xact_lock(5794292612109393763);
    RETURN NULL;
END $$;
CREATE FUNCTION trucpivane_suivi_note() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    IF current_setting('pivanes.restauration', true) = 'oui' THEN
        UPDATE trucpivane_epoque SET epoque = epoque + 1;
        RETURN NULL;
    END IF;
    IF TG_OP = 'INSERT' THEN
        INSERT INTO trucpivane_suivi
        SELECT numero, (SELECT coalesce(max(changement), 0) + 1 FROM trucpivane_suivi)
          FROM nouvelles
        ON CONFLICT (numero) DO UPDATE SET changement = excluded.changement;
    ELSIF TG_OP = 'DELETE' THEN
        INSERT INTO trucpivane_suivi
        SELECT numero, (SELECT coalesce(max(changement), 0) + 1 FROM trucpivane_suivi)
          FROM anciennes
        ON CONFLICT (numero) DO UPDATE SET changement = excluded.changement;
    ELSE
        INSERT INTO trucpivane_suivi
        SELECT numero, (SELECT coalesce(max(changement), 0) + 1 FROM trucpivane_suivi)
          FROM (SELECT numero FROM anciennes UNION SELECT numero FROM nouvelles) touchees
        ON CONFLICT (numero) DO UPDATE SET changement = excluded.changement;
    END IF;
    RETURN NULL;
END $$;
CREATE FUNCTION trucpivane_suivi_vidage() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    UPDATE trucpivane_epoque SET epoque = epoque + 1;
    RETURN NULL;
END $$;

)";
// The triggers of kCreateTracking on one table, %1: the cards, then the trash.
inline constexpr const char* kTrackTable = R"(
CREATE TRIGGER trucpivane_suivi_avant BEFORE INSERT OR UPDATE OR DELETE ON %1
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_suivi_avant();
CREATE TRIGGER trucpivane_suivi_ajout AFTER INSERT ON %1
    REFERENCING NEW TABLE AS nouvelles FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_suivi_note();
CREATE TRIGGER trucpivane_suivi_modif AFTER UPDATE ON %1
    REFERENCING OLD TABLE AS anciennes NEW TABLE AS nouvelles
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_suivi_note();
CREATE TRIGGER trucpivane_suivi_retrait AFTER DELETE ON %1
    REFERENCING OLD TABLE AS anciennes FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_suivi_note();
CREATE TRIGGER trucpivane_suivi_vidage AFTER TRUNCATE ON %1
    FOR EACH STATEMENT EXECUTE FUNCTION trucpivane_suivi_vidage();
)";
inline constexpr const char* kTrackedTables[] = {"trucpivane", "trucpivane_corbeille"};
inline constexpr const char* kHasTracking =
    "SELECT to_regclass('trucpivane_appliques') IS NOT NULL";
inline constexpr const char* kRestoring = "SELECT set_config('pivanes.restauration', 'oui', true)";
// Taken before any row, in this order, by whatever write may add a card: numbering, then change
// numbers, then the card's row. $1 and $2 are the keys.
inline constexpr const char* kReturnLocks = "SELECT pg_advisory_xact_lock($1), "
                                            "pg_advisory_xact_lock($2)";
inline constexpr qint64 kChangesKey = 5794292612109393763; // "Pivnes_c", as in kCreateTracking

// Where the collection stands, then the numbers changed after $1, as they now stand: card (1 to
// 4) and trash (5 to 9, the moment of deletion last).
inline constexpr const char* kMark = "SELECT (SELECT epoque FROM trucpivane_epoque), "
                                     "(SELECT coalesce(max(changement), 0) FROM trucpivane_suivi)";
inline constexpr const char* kEpoch = "SELECT epoque FROM trucpivane_epoque";
// Each card is looked up by its number (LATERAL, kept apart by its LIMIT), never by reading the
// table through: the plan is made once for every $1, most of which ask for a few cards of
// millions.
inline constexpr const char* kChangesAfter =
    "SELECT s.numero, t.cate, t.titre, t.pivanes, t.version, c.numero, c.cate, c.titre, "
    "c.pivanes, to_char(c.supprimee AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), "
    "t.numero IS NOT NULL FROM trucpivane_suivi s "
    "LEFT JOIN LATERAL (SELECT * FROM trucpivane WHERE numero = s.numero LIMIT 1) t ON true "
    "LEFT JOIN LATERAL (SELECT * FROM trucpivane_corbeille WHERE numero = s.numero LIMIT 1) c "
    "ON true "
    "WHERE s.changement > $1 ORDER BY s.numero";

// The return of a change made away. $1 is its identifier.
inline constexpr const char* kApplied =
    "SELECT numero, issue FROM trucpivane_appliques WHERE identifiant = $1";
inline constexpr const char* kNoteApplied =
    "INSERT INTO trucpivane_appliques (identifiant, numero, issue) VALUES ($1, $2, $3)";
inline constexpr const char* kLockCard =
    "SELECT numero, cate, titre, pivanes, version FROM trucpivane WHERE numero = $1 FOR UPDATE";
// $2 to $4: category, title, text.
inline constexpr const char* kRewriteCard =
    "UPDATE trucpivane SET cate = $2, titre = $3, pivanes = $4, version = version + 1 "
    "WHERE numero = $1";

// What the collection is made of, to tell ours from a table of another shape: each table's
// columns and types in order, then the triggers on trucpivane.
inline constexpr const char* kShape = R"(
SELECT c.relname || '(' || string_agg(a.attname || ' ' || format_type(a.atttypid, a.atttypmod),
                                      ', ' ORDER BY a.attnum) || ')'
  FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped
 WHERE c.oid IN (to_regclass('trucpivane'), to_regclass('trucpivane_titres'),
                 to_regclass('trucpivane_comptes'), to_regclass('trucpivane_corbeille'),
                 to_regclass('trucpivane_mots'))
 GROUP BY c.relname
UNION ALL
SELECT 'trigger ' || string_agg(t.tgname, ', ' ORDER BY t.tgname)
  FROM pg_trigger t WHERE t.tgrelid = to_regclass('trucpivane') AND NOT t.tgisinternal
   AND t.tgname NOT LIKE 'trucpivane\_suivi\_%'
 ORDER BY 1)";
inline constexpr const char* kExpectedShape[] = {
    "trigger trucpivane_ajout, trucpivane_modif, trucpivane_retrait, trucpivane_vidage",
    "trucpivane(numero bigint, cate text, titre text, pivanes text, version bigint)",
    "trucpivane_comptes(cate text, cartes bigint)",
    // One shape, in two pieces to fit the line.
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
    "trucpivane_corbeille(numero bigint, cate text, titre text, pivanes text, supprimee timestamp "
    "with time zone)",
    "trucpivane_mots(numero bigint, mots text, lexemes text)",
    "trucpivane_titres(numero bigint, cate text, titre text)",
};
// Restores were counted in a table of their own before the epoch counted them: the owner drops
// it at its next opening.
inline constexpr const char* kHasRestoreCount =
    "SELECT to_regclass('trucpivane_restaurations') IS NOT NULL";
inline constexpr const char* kDropRestoreCount = "DROP TABLE IF EXISTS trucpivane_restaurations";
// Whether the role may write every table a write touches (has_table_privilege answers true for
// any one of several privileges named together, so each is asked alone), and whether the
// server takes writes at all (a standby, a database read-only by default).
inline constexpr const char* kWriteRights = R"(
SELECT current_user,
       has_table_privilege('trucpivane', 'INSERT') AND has_table_privilege('trucpivane', 'UPDATE')
       AND has_table_privilege('trucpivane', 'DELETE')
       AND has_table_privilege('trucpivane_corbeille', 'INSERT')
       AND has_table_privilege('trucpivane_corbeille', 'DELETE'),
       current_setting('transaction_read_only') = 'on'
)";
inline constexpr const char* kHasCardTable = "SELECT to_regclass('trucpivane') IS NOT NULL";
inline constexpr const char* kServerEncoding = "SELECT current_setting('server_encoding')";

// Adds, imports and restores take this lock, one at a time, so that each numbers after the
// highest that the one before it committed. $1 is the lock's key.
inline constexpr const char* kNumberingLock = "SELECT pg_advisory_xact_lock($1)";
inline constexpr qint64 kNumberingKey = 0x5069766e65735f6e; // "Pivnes_n"
inline constexpr const char* kAddWaitsAtMost = "SET LOCAL lock_timeout = '5s'";
inline constexpr const char* kSessionLock = "SELECT pg_advisory_lock($1)";
inline constexpr const char* kSessionUnlock = "SELECT pg_advisory_unlock($1)";

// Counts of a selection with the number of its last card, in one snapshot. $1 is the category.
inline constexpr const char* kCountAll =
    "SELECT (SELECT coalesce(sum(cartes), 0) FROM trucpivane_comptes), "
    "(SELECT max(numero) FROM trucpivane_titres)";
inline constexpr const char* kCountCategory =
    "SELECT (SELECT coalesce(sum(cartes), 0) FROM trucpivane_comptes WHERE cate = $1), "
    "(SELECT max(numero) FROM trucpivane_titres WHERE cate = $1)";
inline constexpr const char* kCountRows = "SELECT count(*) FROM trucpivane_comptes";
inline constexpr const char* kFoldCounts =
    "WITH passes AS (DELETE FROM trucpivane_comptes RETURNING cate, cartes) "
    "INSERT INTO trucpivane_comptes SELECT cate, sum(cartes) FROM passes GROUP BY cate "
    "HAVING sum(cartes) <> 0";

// Rows of a selection from a card number up or down. $2 is the row count, $3 the rows passed
// over, $4 the category.
inline constexpr const char* kAllUpward = "SELECT numero, titre FROM trucpivane_titres "
                                          "WHERE numero >= $1 ORDER BY numero LIMIT $2 OFFSET $3";
inline constexpr const char* kAllDownward = "SELECT numero, titre FROM trucpivane_titres "
                                            "WHERE numero <= $1 ORDER BY numero DESC "
                                            "LIMIT $2 OFFSET $3";
inline constexpr const char* kCategoryUpward = "SELECT numero, titre FROM trucpivane_titres "
                                               "WHERE cate = $4 AND numero >= $1 "
                                               "ORDER BY numero LIMIT $2 OFFSET $3";
inline constexpr const char* kCategoryDownward = "SELECT numero, titre FROM trucpivane_titres "
                                                 "WHERE cate = $4 AND numero <= $1 "
                                                 "ORDER BY numero DESC LIMIT $2 OFFSET $3";

// The titles holding a keyword whatever the case: a regular expression of the keyword's
// characters, each written with every character that folds as it does (TitleCase), whatever the
// server's own idea of case; its index of runs of three characters answers it. Planned for each
// keyword, since a rare word is best found through that index and a common one by reading the
// narrow copy through. The counts take $1, the highest number searched, and $2, the pattern; the
// rows take $1 to $3 as above, $4 the pattern and $5 the highest number. The category comes last.
inline constexpr const char* kFoundAll = "SELECT count(*), max(numero) FROM trucpivane_titres "
                                         "WHERE numero <= $1 AND titre ~ $2 AND titre <> ''";
inline constexpr const char* kFoundCategory =
    "SELECT count(*), max(numero) FROM trucpivane_titres "
    "WHERE numero <= $1 AND titre ~ $2 AND titre <> '' AND cate = $3";
inline constexpr const char* kFoundAllUpward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero >= $1 AND numero <= $5 "
    "AND titre ~ $4 AND titre <> '' ORDER BY numero LIMIT $2 OFFSET $3";
inline constexpr const char* kFoundAllDownward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero <= $1 AND numero <= $5 "
    "AND titre ~ $4 AND titre <> '' ORDER BY numero DESC LIMIT $2 OFFSET $3";
inline constexpr const char* kFoundCategoryUpward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero >= $1 AND numero <= $5 "
    "AND titre ~ $4 AND titre <> '' AND cate = $6 ORDER BY numero LIMIT $2 OFFSET $3";
inline constexpr const char* kFoundCategoryDownward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero <= $1 AND numero <= $5 "
    "AND titre ~ $4 AND titre <> '' AND cate = $6 ORDER BY numero DESC LIMIT $2 OFFSET $3";

inline constexpr const char* kReadCard =
    "SELECT numero, cate, titre, pivanes, version FROM trucpivane WHERE numero = $1";
inline constexpr const char* kTitleOf = "SELECT titre FROM trucpivane WHERE numero = $1";
inline constexpr const char* kVersionOf = "SELECT version FROM trucpivane WHERE numero = $1";
// Every card in ascending number, in COPY's binary form (PgCopyOut).
inline constexpr const char* kCopyEveryCard =
    "COPY (SELECT numero, cate, titre, pivanes, version FROM trucpivane ORDER BY numero) "
    "TO STDOUT (FORMAT binary)";
inline constexpr const char* kCardsFrom = "SELECT numero, cate, titre, pivanes, version "
                                          "FROM trucpivane WHERE numero >= $1 ORDER BY numero";
// The highest number of the cards and of the trash: a new card never takes a deleted card's.
inline constexpr const char* kHighest = "SELECT greatest((SELECT max(numero) FROM trucpivane), "
                                        "(SELECT max(numero) FROM trucpivane_corbeille))";
// $1, $2, $3: category, title, text. Nothing is added once the next number would pass the
// largest that the program's numbers hold.
inline constexpr const char* kAddCard =
    "INSERT INTO trucpivane (numero, cate, titre, pivanes) "
    "SELECT highest + 1, $1, $2, $3 FROM (SELECT coalesce(greatest("
    "(SELECT max(numero) FROM trucpivane), (SELECT max(numero) FROM trucpivane_corbeille)), 0) "
    "AS highest) h WHERE highest < 2147483647 RETURNING numero";
// An update names the fields it writes ("cate = $3, titre = $4"), each at its own place; $2 is
// the version read. Nothing is written when the card changed since.
inline constexpr const char* kUpdateCard =
    "UPDATE trucpivane SET %1, version = version + 1 WHERE numero = $1 AND version = $2 "
    "RETURNING numero, cate, titre, pivanes, version";
inline constexpr const char* kCopyCards =
    "COPY trucpivane (numero, cate, titre, pivanes) FROM STDIN (FORMAT binary)";
inline constexpr const char* kRemoveEveryCard = "DELETE FROM trucpivane";
inline constexpr const char* kRemoveEveryTrashed = "DELETE FROM trucpivane_corbeille";
// Others may go on reading the old cards while a restore replaces them; writers wait.
inline constexpr const char* kHoldWriters = "LOCK TABLE trucpivane IN EXCLUSIVE MODE";
inline constexpr const char* kSnapshot = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";

// The trash. $2 is the moment of deletion, in ISO 8601; times are read back in UTC, the same way.
inline constexpr const char* kIsTrashed = "SELECT 1 FROM trucpivane_corbeille WHERE numero = $1";
inline constexpr const char* kTrashCard =
    "WITH gone AS (DELETE FROM trucpivane WHERE numero = $1 RETURNING numero, cate, titre, "
    "pivanes) INSERT INTO trucpivane_corbeille SELECT numero, cate, titre, pivanes, "
    "$2::timestamptz FROM gone RETURNING numero";
inline constexpr const char* kTrashList =
    "SELECT numero, titre, to_char(supprimee AT TIME ZONE 'UTC', "
    "'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') FROM trucpivane_corbeille ORDER BY numero";
inline constexpr const char* kEveryTrashed =
    "SELECT numero, cate, titre, pivanes, 0, to_char(supprimee AT TIME ZONE 'UTC', "
    "'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') FROM trucpivane_corbeille ORDER BY numero";
inline constexpr const char* kHasCard = "SELECT 1 FROM trucpivane WHERE numero = $1";
inline constexpr const char* kPutBack =
    "WITH back AS (DELETE FROM trucpivane_corbeille WHERE numero = $1 RETURNING numero, cate, "
    "titre, pivanes) INSERT INTO trucpivane (numero, cate, titre, pivanes) SELECT * FROM back "
    "RETURNING numero";
inline constexpr const char* kEmptyTrash =
    "WITH gone AS (DELETE FROM trucpivane_corbeille RETURNING 1) SELECT count(*) FROM gone";
// $1 to $5: number, category, title, text, moment of deletion.
inline constexpr const char* kAddTrashed =
    "INSERT INTO trucpivane_corbeille (numero, cate, titre, pivanes, supprimee) "
    "VALUES ($1, $2, $3, $4, $5::timestamptz)";

// Maintenance: the server's own, table by table, and what the tables take before and after.
inline constexpr const char* kVacuum[] = {
    "VACUUM (ANALYZE) trucpivane", "VACUUM (ANALYZE) trucpivane_titres",
    "VACUUM (ANALYZE) trucpivane_comptes", "VACUUM (ANALYZE) trucpivane_mots",
    "VACUUM (ANALYZE) trucpivane_corbeille"};
inline constexpr const char* kBytes =
    "SELECT pg_total_relation_size('trucpivane') + pg_total_relation_size('trucpivane_titres') "
    "+ pg_total_relation_size('trucpivane_comptes') + pg_total_relation_size('trucpivane_mots') "
    "+ pg_total_relation_size('trucpivane_corbeille')";
// VACUUM passes over a table its role does not own with a warning only: asked first.
inline constexpr const char* kOwnsTables =
    "SELECT bool_and(pg_has_role(relowner, 'USAGE')) FROM pg_class "
    "WHERE oid IN ('trucpivane'::regclass, 'trucpivane_titres'::regclass, "
    "'trucpivane_comptes'::regclass, 'trucpivane_mots'::regclass, "
    "'trucpivane_corbeille'::regclass)";

// The cards whose row of trucpivane_mots is empty, a batch at a time ($1 cards numbered above
// $2), locked until their words are written so that no change slips in between; the words go
// through a table of the session. Each batch starts after the last: the rows a batch filled
// leave entries in the index of empty rows until the transaction ends, which a scan from the
// first card would pass over again at each batch.
inline constexpr const char* kStaleCards =
    "SELECT t.numero, t.titre, t.pivanes FROM trucpivane t JOIN trucpivane_mots m USING (numero) "
    "WHERE m.lexemes IS NULL AND m.mots IS NULL AND m.numero > $2 ORDER BY m.numero LIMIT $1 "
    "FOR UPDATE OF t";
inline constexpr const char* kHasStaleCards =
    "SELECT EXISTS (SELECT 1 FROM trucpivane_mots WHERE lexemes IS NULL AND mots IS NULL)";
inline constexpr const char* kCreateFoldedBatch =
    "CREATE TEMP TABLE IF NOT EXISTS trucpivane_mots_faits (numero bigint, mots text, lexemes "
    "text) ON COMMIT DELETE ROWS";
inline constexpr const char* kCopyFoldedBatch =
    "COPY trucpivane_mots_faits (numero, mots, lexemes) FROM STDIN (FORMAT binary)";
inline constexpr const char* kWriteFoldedBatch =
    "UPDATE trucpivane_mots m SET mots = f.mots, lexemes = f.lexemes "
    "FROM trucpivane_mots_faits f WHERE m.numero = f.numero";
// Emptied, not deleted from: nothing vacuums a temporary table, and deleted rows would pile up
// until the end of the transaction, for every batch after to read again.
inline constexpr const char* kClearFoldedBatch = "TRUNCATE trucpivane_mots_faits";

// The numbers of the cards that a text query finds: through the index of lexemes ($2, a
// tsquery), which answers for words and beginnings of words, with the phrases ($3, LIKE patterns
// one a line) checked on the words in order; the cards whose words are too long for the index
// are checked on every pattern ($4). $1 is the highest number searched; %2 is " + 0" for a
// statement prepared once, which would else read the index of numbers whole for a bound it cannot
// see, nearly always above every card; %1 a condition on the category, or nothing.
inline constexpr const char* kTextMatches =
    "SELECT m.numero FROM trucpivane_mots m WHERE m.lexemes IS NOT NULL "
    "AND array_to_tsvector(string_to_array(m.lexemes, ' ')) @@ $2::tsquery "
    "AND m.mots LIKE ALL (string_to_array($3, E'\\n')) AND m.numero%2 <= $1%1 "
    "UNION ALL SELECT m.numero FROM trucpivane_mots m WHERE m.lexemes IS NULL "
    "AND m.mots LIKE ALL (string_to_array($4, E'\\n')) AND m.numero <= $1%1";
// Reading the pages of many cards is what the server's workers share best, yet its planner
// counts only their processor time as shared, and so keeps them out of a search of a few
// folded words; told that they cost nothing to start, it hands them the pages. Tables too
// small to share stay with one process (min_parallel_table_scan_size).
inline constexpr const char* kBeginManyFound =
    "BEGIN READ ONLY; SET LOCAL parallel_setup_cost = 0; SET LOCAL parallel_tuple_cost = 0";
// The share of cards that holds each of the commonest words, from the statistics of the index
// of words. The server shows these statistics to the tables' owner alone: read through a function
// of theirs, made at their first search, and the words analysed then, once, for a database made
// before. No statistics for the planner beside them: with them, it kept planning the statement
// prepared once anew, an absent word then taking milliseconds instead of a tenth of one.
inline constexpr const char* kWordShares = "SELECT * FROM trucpivane_mots_frequents()";
inline constexpr const char* kCreateWordShares = R"(
CREATE FUNCTION trucpivane_mots_frequents(OUT mots text, OUT parts text) LANGUAGE sql STABLE
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
SELECT most_common_elems::text, most_common_elem_freqs::text FROM pg_stats
 WHERE schemaname = current_schema() AND tablename = 'trucpivane_mots_lexemes' $$;
ANALYZE trucpivane_mots)";
// The category as $%1.
inline constexpr const char* kMatchInCategory =
    " AND m.numero IN (SELECT numero FROM trucpivane_titres WHERE cate = $%1)";
// %1 the matches; $5 the rows read ahead, the category, when there is one, $6. In one round
// trip: whether a card waits for its words (the answer is then stale), how many are found, the
// last, and the first rows of them; no row of them when none is found.
inline constexpr const char* kTextsFound = R"(
WITH found AS MATERIALIZED (%1),
     ahead AS (SELECT numero FROM found ORDER BY numero LIMIT $5)
SELECT s.stale, s.cards, s.last, t.numero, t.titre
  FROM (SELECT EXISTS (SELECT 1 FROM trucpivane_mots WHERE lexemes IS NULL AND mots IS NULL)
                   AS stale,
               (SELECT count(*) FROM found) AS cards, (SELECT max(numero) FROM found) AS last) s
  LEFT JOIN (ahead JOIN trucpivane_titres t USING (numero)) ON true
 ORDER BY t.numero)";
// %1 the matches, %2 >= or <=, %3 the order; $5 the number to start at, $6 the row count, $7
// the rows passed over, the category $8.
inline constexpr const char* kTextRows =
    "SELECT t.numero, t.titre FROM trucpivane_titres t WHERE t.numero IN (%1) "
    "AND t.numero %2 $5 ORDER BY t.numero %3 LIMIT $6 OFFSET $7";

} // namespace PgSql
