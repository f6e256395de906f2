-- One user writing: a new card numbered by the server under the program's lock, then an edit of
-- another card over the version read.
BEGIN;
SET LOCAL lock_timeout = '5s';
SELECT pg_advisory_xact_lock(5794292612109393774);
INSERT INTO trucpivane (numero, cate, titre, pivanes)
SELECT coalesce(max(numero), 0) + 1, 'WIN', 'CHARGE', 'Texte écrit par pgbench'
  FROM trucpivane HAVING coalesce(max(numero), 0) < 2147483647 RETURNING numero;
COMMIT;
\set n random(1, :cartes)
SELECT version FROM trucpivane WHERE numero = :n \gset
BEGIN;
UPDATE trucpivane SET pivanes = 'Texte modifié par pgbench', version = version + 1
 WHERE numero = :n AND version = :version RETURNING numero, cate, titre, pivanes, version;
COMMIT;
