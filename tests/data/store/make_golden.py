#!/usr/bin/env python3
"""Writes the golden store files: Defult.ini and User.inf, Shift_JIS, CR LF.

Run from this folder; the output is committed and must not change unless the
records below change.
"""


def encode_digits(text: str) -> str:
    return "".join("%08d" % (6 * b) for b in text.encode("cp932"))


RECORDS = [
    "main|1|pop.example.jp|user|secret|1|0|IPAGothic|[]|10|1||1|1|0",
    "Sub|0|mail.example.net|sub|pa,ss|0|2|Sans|[fsBold,fsItalic]|12|1||1|0|0",
    "テスト|1|127.0.0.1|test|テスト用|5|3|ＭＳ 明朝|[fsUnderline]|9|0|/tmp/添付/|1|1|0",
    "会社|1|pop.example.co.jp|taro|p@ss word|0|8|ＭＳ ゴシック|[fsBold]|10|0|/home/taro/添付ファイル/|0|1|1"
    "|yamada@example.jp|example.com",
]

INI = """[File]
Time=600000
[Print]
Left=150
Right=200
Top=180
Bottom=220
[Config]
CH2=1
RA1=0
RA2=1
[Ploxy]
Adress=proxy.example.jp
Port=8080
[System]
version=1.7
FirstStart=0
"""

with open("User.inf", "wb") as f:
    f.write("".join(encode_digits(r) + "\r\n" for r in RECORDS).encode("ascii"))

with open("Defult.ini", "wb") as f:
    f.write(INI.replace("\n", "\r\n").encode("cp932"))
