-- Loadwatch's advice about programs that are often seen busy on Linux
-- desktops and servers. Our own words. loadwatch-kb loads this into SQLite
-- when its database has no advice yet; edit a deployed database with the
-- sqlite3 shell, or change this file and rebuild.
--
-- advice.close starts with the short answer (Yes / Usually / Save first /
-- No) and says what is lost. advice_name lists the other file names a
-- program runs under.
BEGIN;
CREATE TABLE advice (
  program TEXT PRIMARY KEY,
  kind    TEXT NOT NULL,
  what    TEXT NOT NULL,
  close   TEXT NOT NULL,
  busy    TEXT NOT NULL
);
CREATE TABLE advice_name (
  name    TEXT PRIMARY KEY,
  program TEXT NOT NULL REFERENCES advice(program)
);

INSERT INTO advice VALUES ('bash', 'shell',
  'The GNU Bourne-Again shell: it reads commands from a terminal or a script and starts the programs they name.',
  'Save first: closing an interactive shell ends the programs started from it that are still attached to its terminal; a shell running a script stops that script halfway.',
  'A shell itself is rarely busy. Loops in a script, tab completion over a huge folder, or a large history file being written at exit can keep it busy; the programs it started show under their own names.');
COMMIT;
