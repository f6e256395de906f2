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
// card. FoldCounts sums the rows up from time to time.
inline constexpr const char* kCreateCollection = R"(
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE TABLE trucpivane (numero bigint PRIMARY KEY, cate text, titre text, pivanes text,
                         version bigint NOT NULL DEFAULT 1);
CREATE TABLE trucpivane_titres (numero bigint PRIMARY KEY, cate text, titre text);
CREATE INDEX trucpivane_titres_cate ON trucpivane_titres (cate, numero);
CREATE INDEX trucpivane_titres_trigrammes ON trucpivane_titres USING gin (titre gin_trgm_ops);
CREATE TABLE trucpivane_comptes (cate text, cartes bigint NOT NULL);
CREATE INDEX trucpivane_comptes_cate ON trucpivane_comptes (cate);

CREATE FUNCTION trucpivane_ajout() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    INSERT INTO trucpivane_titres SELECT numero, cate, titre FROM nouvelles;
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
    INSERT INTO trucpivane_comptes SELECT cate, -count(*) FROM anciennes GROUP BY cate;
    RETURN NULL;
END $$;
CREATE FUNCTION trucpivane_vidage() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
    TRUNCATE trucpivane_titres, trucpivane_comptes;
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

// What the collection is made of, to tell ours from a table of another shape: each table's
// columns and types in order, then the triggers on trucpivane.
inline constexpr const char* kShape = R"(
SELECT c.relname || '(' || string_agg(a.attname || ' ' || format_type(a.atttypid, a.atttypmod),
                                      ', ' ORDER BY a.attnum) || ')'
  FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped
 WHERE c.oid IN (to_regclass('trucpivane'), to_regclass('trucpivane_titres'),
                 to_regclass('trucpivane_comptes'))
 GROUP BY c.relname
UNION ALL
SELECT 'trigger ' || string_agg(t.tgname, ', ' ORDER BY t.tgname)
  FROM pg_trigger t WHERE t.tgrelid = to_regclass('trucpivane') AND NOT t.tgisinternal
 ORDER BY 1)";
inline constexpr const char* kExpectedShape[] = {
    "trigger trucpivane_ajout, trucpivane_modif, trucpivane_retrait, trucpivane_vidage",
    "trucpivane(numero bigint, cate text, titre text, pivanes text, version bigint)",
    "trucpivane_comptes(cate text, cartes bigint)",
    "trucpivane_titres(numero bigint, cate text, titre text)",
};
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

// The titles holding a keyword, compared character for character: LIKE with the keyword's own
// %, _ and \ escaped, which the index of runs of three characters answers. Planned for each
// keyword, since a rare word is best found through that index and a common one by reading the
// narrow copy through. The counts take $1, the highest number searched, and $2, the pattern; the
// rows take $1 to $3 as above, $4 the pattern and $5 the highest number. The category comes last.
inline constexpr const char* kFoundAll = "SELECT count(*), max(numero) FROM trucpivane_titres "
                                         "WHERE numero <= $1 AND titre LIKE $2 AND titre <> ''";
inline constexpr const char* kFoundCategory =
    "SELECT count(*), max(numero) FROM trucpivane_titres "
    "WHERE numero <= $1 AND titre LIKE $2 AND titre <> '' AND cate = $3";
inline constexpr const char* kFoundAllUpward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero >= $1 AND numero <= $5 "
    "AND titre LIKE $4 AND titre <> '' ORDER BY numero LIMIT $2 OFFSET $3";
inline constexpr const char* kFoundAllDownward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero <= $1 AND numero <= $5 "
    "AND titre LIKE $4 AND titre <> '' ORDER BY numero DESC LIMIT $2 OFFSET $3";
inline constexpr const char* kFoundCategoryUpward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero >= $1 AND numero <= $5 "
    "AND titre LIKE $4 AND titre <> '' AND cate = $6 ORDER BY numero LIMIT $2 OFFSET $3";
inline constexpr const char* kFoundCategoryDownward =
    "SELECT numero, titre FROM trucpivane_titres WHERE numero <= $1 AND numero <= $5 "
    "AND titre LIKE $4 AND titre <> '' AND cate = $6 ORDER BY numero DESC LIMIT $2 OFFSET $3";

inline constexpr const char* kReadCard =
    "SELECT numero, cate, titre, pivanes, version FROM trucpivane WHERE numero = $1";
inline constexpr const char* kTitleOf = "SELECT titre FROM trucpivane WHERE numero = $1";
inline constexpr const char* kVersionOf = "SELECT version FROM trucpivane WHERE numero = $1";
inline constexpr const char* kEveryCard =
    "SELECT numero, cate, titre, pivanes, version FROM trucpivane ORDER BY numero";
inline constexpr const char* kCardsFrom = "SELECT numero, cate, titre, pivanes, version "
                                          "FROM trucpivane WHERE numero >= $1 ORDER BY numero";
inline constexpr const char* kHighest = "SELECT max(numero) FROM trucpivane";
// $1, $2, $3: category, title, text. Nothing is added once the next number would pass the
// largest that the program's numbers hold.
inline constexpr const char* kAddCard =
    "INSERT INTO trucpivane (numero, cate, titre, pivanes) "
    "SELECT coalesce(max(numero), 0) + 1, $1, $2, $3 FROM trucpivane "
    "HAVING coalesce(max(numero), 0) < 2147483647 RETURNING numero";
// An update names the fields it writes ("cate = $3, titre = $4"), each at its own place; $2 is
// the version read. Nothing is written when the card changed since.
inline constexpr const char* kUpdateCard =
    "UPDATE trucpivane SET %1, version = version + 1 WHERE numero = $1 AND version = $2 "
    "RETURNING numero, cate, titre, pivanes, version";
inline constexpr const char* kCopyCards =
    "COPY trucpivane (numero, cate, titre, pivanes) FROM STDIN (FORMAT binary)";
inline constexpr const char* kRemoveEveryCard = "DELETE FROM trucpivane";
// Others may go on reading the old cards while a restore replaces them; writers wait.
inline constexpr const char* kHoldWriters = "LOCK TABLE trucpivane IN EXCLUSIVE MODE";
inline constexpr const char* kSnapshot = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";

// Maintenance: the server's own, table by table, and what the tables take before and after.
inline constexpr const char* kVacuum[] = {"VACUUM (ANALYZE) trucpivane",
                                          "VACUUM (ANALYZE) trucpivane_titres",
                                          "VACUUM (ANALYZE) trucpivane_comptes"};
inline constexpr const char* kBytes =
    "SELECT pg_total_relation_size('trucpivane') + pg_total_relation_size('trucpivane_titres') "
    "+ pg_total_relation_size('trucpivane_comptes')";
// VACUUM passes over a table its role does not own with a warning only: asked first.
inline constexpr const char* kOwnsTables =
    "SELECT bool_and(pg_has_role(relowner, 'USAGE')) FROM pg_class "
    "WHERE oid IN ('trucpivane'::regclass, 'trucpivane_titres'::regclass, "
    "'trucpivane_comptes'::regclass)";

} // namespace PgSql
