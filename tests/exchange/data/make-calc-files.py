#!/usr/bin/env python3
"""Makes the spreadsheet files the exchange tests read, the way a user's would be made:
a flat ODS spreadsheet converted to CSV by LibreOffice Calc itself.

    python3 tests/exchange/data/make-calc-files.py   # needs soffice (libreoffice-calc-nogui)

Writes words.fods and, through `soffice --headless --convert-to`, calc_utf8.csv (UTF-8,
filter token 76), calc_sjis.csv (Shift_JIS, token 64) and calc_1000_sjis.csv (1,000 rows,
Shift_JIS). The results are committed, so the tests need no LibreOffice."""
import os
import subprocess
import tempfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))

WORDS = [
    ("単語", "読み", "意味", "コメント", "出展"),
    ("犬", "いぬ", "dog", "動物", "基本語彙"),
    ("猫", "ねこ", "cat, kitten", "「ねこ」とも", ""),
    ("林檎", "りんご", "apple", 'say "apple"', "果物の本"),
    ("海", "うみ", "sea\nocean", "改行を含むセル", ""),
    ("", "からの項目１", "skipped", "", ""),
    ("①②③", "まるすうじ", "NEC特殊文字", "～ー－", "cp932"),
    ("ｶﾀｶﾅ", "はんかく", "half-width kana", "", ""),
]


def cell(text):
    lines = text.split("\n")
    paragraphs = "".join("<text:p>%s</text:p>" % escape(line) for line in lines)
    return '<table:table-cell office:value-type="string">%s</table:table-cell>' % paragraphs


def fods(rows):
    body = "".join("<table:table-row>%s</table:table-row>" % "".join(cell(c) for c in r)
                   for r in rows)
    return """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="words">%s</table:table>
</office:spreadsheet></office:body></office:document>
""" % body


def convert(fods_path, charset, target):
    with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as profile:
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,%d" % charset,
                        "--outdir", out, fods_path], check=True, capture_output=True)
        name = os.path.splitext(os.path.basename(fods_path))[0] + ".csv"
        os.replace(os.path.join(out, name), os.path.join(HERE, target))


def main():
    small = os.path.join(HERE, "words.fods")
    with open(small, "w", encoding="utf-8") as f:
        f.write(fods(WORDS))
    convert(small, 76, "calc_utf8.csv")
    convert(small, 64, "calc_sjis.csv")
    kana = "あいうえおかきくけこさしすせそたちつてとなにぬねの"
    rows = [("単語", "読み", "意味")]
    for i in range(1000):
        reading = kana[i % 25] + kana[(i * 7) % 25] + kana[(i * 13) % 25]
        rows.append(("語%04d" % (i + 1), reading, "meaning %d, 意味%d" % (i + 1, i + 1)))
    with tempfile.TemporaryDirectory() as tmp:
        big = os.path.join(tmp, "calc_1000_sjis.fods")
        with open(big, "w", encoding="utf-8") as f:
            f.write(fods(rows))
        convert(big, 64, "calc_1000_sjis.csv")


if __name__ == "__main__":
    main()
