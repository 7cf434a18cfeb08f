-- Warnings in text order: byte offsets and lengths, as the library gives them.
SELECT formula, w.*
FROM (VALUES ('2 sqrt'), ('2.5x 1,234 +'), ('1 2 3'), ('3 4 +'), (''),
             ('1 é +'), ('2 +é'), ('3 ?x')) AS t(formula)
LEFT JOIN LATERAL rpn_check(formula) AS w ON true
ORDER BY formula, w."offset";

SELECT * FROM rpn_check(NULL);
