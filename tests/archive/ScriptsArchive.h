#pragma once
// An archive of texts in several scripts for the search tests: 400 received messages in German,
// Italian capitals, Greek and Cyrillic, one in nine from a number the phonebook names, and one
// sent message.

inline constexpr const char* kScriptsArchive =
    "INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory) VALUES "
    "('1', '+39333111', 'Niccolò Rossi', '145', 'SM');"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
    "INSERT INTO SMS_In (SCA, Mittente, DateTime, Messaggio) SELECT '+39335', "
    "CASE WHEN i % 9 = 0 THEN '+39333111' ELSE '+3977' || i END, '2024-03-29 15:16:59', "
    "CASE i % 4 WHEN 0 THEN 'Straße ' || i WHEN 1 THEN 'CITTÀ ' || i WHEN 2 THEN 'Αθήνα ' || i "
    "ELSE 'Привет ' || i END FROM n;"
    "INSERT INTO SMS_Out (SCA, Mittente, Messaggio) VALUES ('', '+39333111', 'strasse out');";
