#!/usr/bin/env python3
"""Writes sample settings, history and registered texts into a folder with a
copy of tamarin.exe, for screenshots: Japanese texts in code page 932."""
import sys
from pathlib import Path

folder = Path(sys.argv[1])

def store(texts):
    # NUL-ended records, oldest first, LF stored as CR LF.
    return b"".join(t.replace("\n", "\r\n").encode("cp932") + b"\0" for t in texts)

registered = ["お世話になっております。", "よろしくお願いいたします。", "東京都千代田区丸の内1-1-1"]
history = [
    "https://example.com/tamarin",
    "会議は午後3時から第2会議室で行います。\n資料は前日までに共有してください。",
    "クリップボードの履歴",
    "printf(\"%s\\n\", text);",
    "今日の予定：表示テストとソースの確認",
    "ＴＡＭＡＲＩＮ（全角の英字で書いた名前）",
    "Tamarin の使い方：ホットキーで検索ウィンドウを開く",
]
(folder / "tamarin.use").write_bytes(store(list(reversed(registered))))
(folder / "tamarin.hst").write_bytes(store(history))
ini = "[Tamarin]\r\n[メニューの表示位置]\r\nx=560\r\ny=540\r\n"
(folder / "tamarin.ini").write_bytes(ini.encode("cp932"))
