#!/usr/bin/env bash
# By-hand interoperability check: RTF written by Kenvora, read by LibreOffice Writer, must give
# the same text. Rewrites every corpus file through our reader and writer, adds generated
# records, converts all of them to text with soffice and compares.
#
#   tests/interop/rtf_libreoffice.sh [BUILD_DIR]
#
# Needs soffice (Debian package libreoffice-writer-nogui; not part of the normal set-up) and a
# built kenvora-tool (BUILD_DIR/bin/kenvora-tool, default build/). Exit status 0 when every
# file matches.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
tool=${KENVORA_TOOL:-$build/bin/kenvora-tool}
corpus=${KENVORA_RTF_CORPUS:-$root/../shared/corpus/rtf}

command -v soffice >/dev/null || { echo "soffice not found (apt-get install libreoffice-writer-nogui)" >&2; exit 2; }
[ -x "$tool" ] || { echo "kenvora-tool not found at $tool" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/rtf" "$work/expect" "$work/txt" "$work/profile"

# Corpus files: our reading of each, written again by our writer.
for f in "$corpus"/libreoffice/*.rtf "$corpus"/richedit/*.rtf; do
  name=$(basename "$f" .rtf)
  "$tool" rtf dump "$f" > "$work/expect/$name.json"
  "$tool" rtf write < "$work/expect/$name.json" > "$work/rtf/$name.rtf"
done

# Generated records: the sample formatting the data generator uses, and a heavily formatted
# document through the JSON form.
python3 - "$tool" "$work" <<'PY'
import json, subprocess, sys
tool, work = sys.argv[1], sys.argv[2]
texts = [
    "apple：りんご：林檎",
    "東京都千代田区丸の内１－１",
    "～①髙表ソ能ｶﾞｷﾞ－∥￢",
    "絵文字😀と𠮷野家、한국어、café",
    "C:\\Data\\Kenvora.mdb {括弧} \\par",
    "1行目\n2行目\n\n4行目",
    "タブ\t区切り\tの\t行",
    "",
    "English only, with \"quotes\" and ;semicolons;",
]
seed = 0
for i, t in enumerate(texts):
    for k in range(3):
        seed += 1
        name = f"gen{i:02d}_{k}"
        rtf = subprocess.run([tool, "rtf", "sample", str(seed)], input=(t + "\n").encode(),
                             capture_output=True, check=True).stdout
        open(f"{work}/rtf/{name}.rtf", "wb").write(rtf)
        json.dump({"text": t, "runs": []}, open(f"{work}/expect/{name}.json", "w"), ensure_ascii=False)
doc = {"text": "太字と斜体\n下線・取消・色\n大きな文字 small 😀",
       "runs": [
           {"text": "太字", "bold": True},
           {"text": "と", "font": "IPAMincho"},
           {"text": "斜体", "italic": True, "size": 10.5},
           {"text": "\n下線", "underline": True, "color": "#ff0000"},
           {"text": "・取消", "strike": True, "font": "Arial"},
           {"text": "・色", "color": "#008000"},
           {"text": "\n大きな文字", "size": 20, "bold": True},
           {"text": " small ", "size": 8, "font": "DejaVu Sans"},
           {"text": "😀", "font": "ＭＳ 明朝"}]}
rtf = subprocess.run([tool, "rtf", "write"], input=json.dumps(doc).encode(), capture_output=True,
                     check=True).stdout
open(f"{work}/rtf/formatted.rtf", "wb").write(rtf)
json.dump({"text": doc["text"]}, open(f"{work}/expect/formatted.json", "w"), ensure_ascii=False)
PY

soffice --headless "-env:UserInstallation=file://$work/profile" \
  --convert-to "txt:Text (encoded):UTF8" --outdir "$work/txt" "$work"/rtf/*.rtf >"$work/soffice.log" 2>&1 || {
  cat "$work/soffice.log" >&2
  exit 1
}

python3 - "$work" <<'PY'
import glob, json, os, sys
work = sys.argv[1]
passed = failed = 0
for path in sorted(glob.glob(f"{work}/expect/*.json")):
    name = os.path.basename(path)[:-5]
    want = json.load(open(path, encoding="utf-8"))["text"]
    try:
        got = open(f"{work}/txt/{name}.txt", encoding="utf-8-sig").read()
    except FileNotFoundError:
        got = None
    if got is not None:
        got = got.replace("\r\n", "\n")
        # LibreOffice ends every paragraph, the last one too, with a line feed.
        if got.endswith("\n"):
            got = got[:-1]
    if got == want:
        passed += 1
        print(f"ok    {name}")
    else:
        failed += 1
        print(f"FAIL  {name}\n  want {want!r}\n  got  {got!r}")
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
PY
