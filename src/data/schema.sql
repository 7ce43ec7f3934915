-- The contest database: question bank, roster, judges' scores with their backup, countdown presets, the
-- audit of the judges' phones.
-- Declared types give each column its affinity, so a text parameter "5" compares as the number 5.

-- Question bank, one row per question, identified by (qs, tmfz, ctsx).
CREATE TABLE IF NOT EXISTS tiku (
  qs INTEGER,
  tmfz TEXT,
  ctsx INTEGER,
  tmlx TEXT,
  tmmc TEXT,
  tmfont TEXT,
  tmsize TEXT,
  tmcolor TEXT,
  tmbjs TEXT,
  da1 TEXT,
  da2 TEXT,
  da3 TEXT,
  da4 TEXT,
  da5 TEXT,
  da6 TEXT,
  zqda TEXT,
  danr TEXT,
  lxz1 TEXT,
  lxz2 TEXT,
  lxz3 TEXT,
  lxz4 TEXT,
  lxz5 TEXT,
  lxy1 TEXT,
  lxy2 TEXT,
  lxy3 TEXT,
  lxy4 TEXT,
  lxy5 TEXT,
  dafont TEXT,
  dasize TEXT,
  dacolor TEXT,
  dabjs TEXT,
  tmyes BOOLEAN NOT NULL DEFAULT 0,
  bshj TEXT,
  tmsz TEXT,
  dasz TEXT
);

-- Contestant roster in running order bh.
CREATE TABLE IF NOT EXISTS xsb (
  bh INTEGER,
  xm TEXT,
  fz TEXT,
  zppath TEXT,
  xszl TEXT
);

-- Judges' scores, one row per contestant and round.
CREATE TABLE IF NOT EXISTS pwdf (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  bh INTEGER,
  xm TEXT,
  lunshu INTEGER,
  dfxs TEXT,
  zhdf TEXT,
  dtdf TEXT,
  zhtotal TEXT,
  pw1 TEXT,
  pw1df TEXT,
  pw2 TEXT,
  pw2df TEXT,
  pw3 TEXT,
  pw3df TEXT,
  pw4 TEXT,
  pw4df TEXT,
  pw5 TEXT,
  pw5df TEXT,
  pw6 TEXT,
  pw6df TEXT,
  pw7 TEXT,
  pw7df TEXT,
  pw8 TEXT,
  pw8df TEXT,
  pw9 TEXT,
  pw9df TEXT,
  pw10 TEXT,
  pw10df TEXT,
  pw11 TEXT,
  pw11df TEXT,
  pw12 TEXT,
  pw12df TEXT,
  zgfpw TEXT,
  zgf TEXT,
  zdfpw TEXT,
  zdf TEXT,
  ls TEXT,
  bz TEXT
);

-- Backup copy of every saved score row.
CREATE TABLE IF NOT EXISTS pwdf_bak (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  bh INTEGER,
  xm TEXT,
  lunshu INTEGER,
  dfxs TEXT,
  zhdf TEXT,
  dtdf TEXT,
  zhtotal TEXT,
  pw1 TEXT,
  pw1df TEXT,
  pw2 TEXT,
  pw2df TEXT,
  pw3 TEXT,
  pw3df TEXT,
  pw4 TEXT,
  pw4df TEXT,
  pw5 TEXT,
  pw5df TEXT,
  pw6 TEXT,
  pw6df TEXT,
  pw7 TEXT,
  pw7df TEXT,
  pw8 TEXT,
  pw8df TEXT,
  pw9 TEXT,
  pw9df TEXT,
  pw10 TEXT,
  pw10df TEXT,
  pw11 TEXT,
  pw11df TEXT,
  pw12 TEXT,
  pw12df TEXT,
  zgfpw TEXT,
  zgf TEXT,
  zdfpw TEXT,
  zdf TEXT,
  ls TEXT,
  bz TEXT
);

-- Presets of the big-screen countdown, in seconds.
CREATE TABLE IF NOT EXISTS djs (
  js TEXT
);

-- Every score a judge's phone sent, taken or refused: time, seat, device label, round, contestant's position,
-- the phone's sequence number, the value as sent and the outcome ("accepted", "duplicate", "other_performance",
-- ...). Nothing of it reaches the stage; it traces a disputed score.
CREATE TABLE IF NOT EXISTS sjpf (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  sj TEXT,
  pw INTEGER,
  sb TEXT,
  lunshu INTEGER,
  bh INTEGER,
  xh INTEGER,
  fs TEXT,
  jg TEXT
);
