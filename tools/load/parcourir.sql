-- One user browsing: a category chosen (its count and the number of its last card), the first
-- page of its list, then one card read. The statements are the program's (PgSql.h).
\set c random(1, 13)
\set n random(1, :cartes)
SELECT (SELECT coalesce(sum(cartes), 0) FROM trucpivane_comptes WHERE cate = (ARRAY['WIN','MAT','MUL','INT','DIVE','ACCE','EXCE','OFFI','OPEN','OUTL','PAIN','POWE','WORD'])[:c]),
       (SELECT max(numero) FROM trucpivane_titres WHERE cate = (ARRAY['WIN','MAT','MUL','INT','DIVE','ACCE','EXCE','OFFI','OPEN','OUTL','PAIN','POWE','WORD'])[:c]);
SELECT numero, titre FROM trucpivane_titres WHERE cate = (ARRAY['WIN','MAT','MUL','INT','DIVE','ACCE','EXCE','OFFI','OPEN','OUTL','PAIN','POWE','WORD'])[:c] AND numero >= :n
 ORDER BY numero LIMIT 301 OFFSET 0;
SELECT numero, cate, titre, pivanes, version FROM trucpivane WHERE numero = :n;
