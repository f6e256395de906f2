-- One user searching the titles for a rare word (a card number, as in the benchmark): the count
-- of the matches and the first page of them.
\set k random(1, :cartes)
SELECT count(*), max(numero) FROM trucpivane_titres
 WHERE numero <= 9223372036854775807 AND titre LIKE '%N°' || :k || ' %' AND titre <> '';
SELECT numero, titre FROM trucpivane_titres
 WHERE numero >= 0 AND numero <= 9223372036854775807 AND titre LIKE '%N°' || :k || ' %'
   AND titre <> '' ORDER BY numero LIMIT 301 OFFSET 0;
