-- The supplied database Kenvora.mdb. Column order of データ and データベース設定 is part of
-- the file format: the program reads and writes some of their columns by position.
-- Declared types carry the field types: SMALLINT Integer, INTEGER Long, REAL Single,
-- DATE/TIME date and time of day (text), BOOLEAN Yes/No (1/0), VARCHAR(n) Text(n), TEXT Memo.

CREATE TABLE "データ" (
  "ID" INTEGER NOT NULL,
  "dbID" SMALLINT NOT NULL,
  "項目1" TEXT,
  "項目2" TEXT,
  "項目3" TEXT,
  "コメント" TEXT,
  "出展" TEXT,
  "項目1RTF" TEXT,
  "項目2RTF" TEXT,
  "項目3RTF" TEXT,
  "コメントRTF" TEXT,
  "出展RTF" TEXT,
  "正解回数" SMALLINT DEFAULT 0,
  "出題回数" SMALLINT DEFAULT 0,
  "正解率" REAL DEFAULT 0,
  "登録日" DATE,
  "登録時刻" TIME
);
CREATE UNIQUE INDEX "データ_ID" ON "データ" ("ID");
CREATE INDEX "データ_dbID_登録" ON "データ" ("dbID", "登録日", "登録時刻");
-- A test in rate order reads its keys in index order, without visiting the records.
CREATE INDEX "データ_dbID_正解率" ON "データ" ("dbID", "正解率", "登録時刻");
-- Covers the per-set rate statistics, so they never visit the records themselves.
CREATE INDEX "データ_dbID_出題" ON "データ" ("dbID", "出題回数", "正解回数", "正解率");

CREATE TABLE "データベース設定" (
  "dbID" SMALLINT NOT NULL,
  "正解率閾値" INTEGER,
  "項目1背景色" INTEGER,
  "項目2背景色" INTEGER,
  "項目3背景色" INTEGER,
  "コメント背景色" INTEGER,
  "出展背景色" INTEGER,
  "正解率以上背景色" INTEGER,
  "正解率未満背景色" INTEGER,
  "項目1文字色" INTEGER,
  "項目2文字色" INTEGER,
  "項目3文字色" INTEGER,
  "コメント文字色" INTEGER,
  "出展文字色" INTEGER,
  "正解率以上文字色" INTEGER,
  "正解率未満文字色" INTEGER,
  "項目1サイズ" INTEGER,
  "項目2サイズ" INTEGER,
  "項目3サイズ" INTEGER,
  "コメントサイズ" INTEGER,
  "出展サイズ" INTEGER,
  "正解率以上サイズ" INTEGER,
  "正解率未満サイズ" INTEGER,
  "画面X" INTEGER,
  "画面Y" INTEGER,
  "画面幅" INTEGER,
  "画面縦" INTEGER,
  "WindowState" INTEGER,
  "文字隠用背景色" INTEGER DEFAULT 12632256,
  "データベース名" VARCHAR(50),
  "区切り12" VARCHAR(255),
  "区切り23" VARCHAR(255),
  "項目1名称" VARCHAR(50),
  "項目2名称" VARCHAR(50),
  "項目3名称" VARCHAR(50),
  "項目1フォント" VARCHAR(50),
  "項目2フォント" VARCHAR(50),
  "項目3フォント" VARCHAR(50),
  "コメントフォント" VARCHAR(50),
  "出展フォント" VARCHAR(50),
  "正解率以上フォント" VARCHAR(50),
  "正解率未満フォント" VARCHAR(50),
  "DBコメント" VARCHAR(255),
  "終了状態" BOOLEAN,
  "項目1使用" BOOLEAN,
  "項目2使用" BOOLEAN,
  "項目3使用" BOOLEAN,
  "コメント使用" BOOLEAN,
  "出展使用" BOOLEAN,
  "項目1太字" BOOLEAN,
  "項目2太字" BOOLEAN,
  "項目3太字" BOOLEAN,
  "コメント太字" BOOLEAN,
  "出展太字" BOOLEAN,
  "正解率以上太字" BOOLEAN,
  "正解率未満太字" BOOLEAN,
  "項目1斜体" BOOLEAN,
  "項目2斜体" BOOLEAN,
  "項目3斜体" BOOLEAN,
  "コメント斜体" BOOLEAN,
  "出展斜体" BOOLEAN,
  "正解率以上斜体" BOOLEAN,
  "正解率未満斜体" BOOLEAN,
  "項目1取消" BOOLEAN,
  "項目2取消" BOOLEAN,
  "項目3取消" BOOLEAN,
  "コメント取消" BOOLEAN,
  "出展取消" BOOLEAN,
  "正解率以上取消" BOOLEAN,
  "正解率未満取消" BOOLEAN,
  "項目1下線" BOOLEAN,
  "項目2下線" BOOLEAN,
  "項目3下線" BOOLEAN,
  "コメント下線" BOOLEAN,
  "出展下線" BOOLEAN,
  "正解率以上下線" BOOLEAN,
  "正解率未満下線" BOOLEAN
);
CREATE UNIQUE INDEX "データベース設定_dbID" ON "データベース設定" ("dbID");

CREATE TABLE "バックアップ設定" (
  "パターン" VARCHAR(50),
  "開始時" SMALLINT,
  "開始分" SMALLINT,
  "実施" BOOLEAN,
  "フォルダ" VARCHAR(255),
  "削除後" BOOLEAN,
  "Lha" BOOLEAN,
  "Zip" BOOLEAN,
  "Cab" BOOLEAN
);
INSERT INTO "バックアップ設定" VALUES ('　　　毎日', 0, 0, 0, NULL, 0, 0, 0, 0);

CREATE TABLE "MDI画面設定" (
  "WindowState" SMALLINT,
  "画面X" REAL,
  "画面Y" REAL,
  "画面幅" REAL,
  "画面縦" REAL
);
