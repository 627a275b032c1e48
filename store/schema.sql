-- The record base DATA.mdb. Every text column defaults to the empty text, so
-- a row inserted with its member name alone reads back '' (not NULL) in all
-- other columns; the harvests find unfinished members by that.
-- ID rises with insertion order and is never reused: the oldest row of a
-- member is the one with the smallest ID.

CREATE TABLE 地址表 (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  AName TEXT DEFAULT '',
  CName TEXT DEFAULT '',
  RName TEXT DEFAULT '',
  RMob TEXT DEFAULT '',
  RPhone TEXT DEFAULT '',
  RFax TEXT DEFAULT '',
  RSex TEXT DEFAULT '',
  RJob TEXT DEFAULT '',
  CAddr TEXT DEFAULT '',
  CPC TEXT DEFAULT '',
  CUrl TEXT DEFAULT ''
);

CREATE TABLE 介绍表 (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  AName TEXT DEFAULT '',
  Score TEXT DEFAULT '',
  BA TEXT DEFAULT '',
  RV TEXT DEFAULT '',
  MKT TEXT DEFAULT '',
  RDate TEXT DEFAULT '',
  RAddr TEXT DEFAULT '',
  RCap TEXT DEFAULT '',
  RMode TEXT DEFAULT '',
  Field TEXT DEFAULT '',
  Model TEXT DEFAULT '',
  Prod TEXT DEFAULT '',
  SNum TEXT DEFAULT '',
  Intro TEXT DEFAULT ''
);

-- Lookups and updates address rows by member name.
CREATE INDEX 地址表_AName ON 地址表 (AName, ID);
CREATE INDEX 介绍表_AName ON 介绍表 (AName, ID);
