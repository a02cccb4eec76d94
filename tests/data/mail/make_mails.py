#!/usr/bin/env python3
"""Writes the sample mails of this folder and what decoding them must give.

For each mail NAME:
  NAME.eml      the mail as the server sends it (LF line ends here; the test
                feeds it with CR LF as well)
  NAME.expect   header properties and attachments, UTF-8: "Field: value" lines and
                "Attachment: FILE name" lines, FILE holding the exact bytes
  NAME.text     the expected Text lines, UTF-8, one per line
  NAME.attN     expected attachment bytes

The expectations come from Python's own codecs (iso2022_jp, base64, uu),
not from the decoder under test. Run it again after changing a mail.
"""
import base64
import binascii
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def jis(text):
    return text.encode("iso2022_jp")


def bword(text):
    """An ISO-2022-JP B encoded word."""
    return "=?ISO-2022-JP?B?" + base64.b64encode(jis(text)).decode() + "?="


def b64lines(data, width=76):
    enc = base64.b64encode(data).decode()
    return [enc[i:i + width] for i in range(0, len(enc), width)]


def uulines(data, backtick):
    out = []
    for i in range(0, len(data), 45):
        out.append(binascii.b2a_uu(data[i:i + 45], backtick=backtick).decode().rstrip("\n"))
    out.append("`" if backtick else " ")
    return out


def qp(data):
    """Quoted-printable of one line's bytes, without soft breaks."""
    out = []
    for b in data:
        if b == 0x3D or b < 0x20 or b > 0x7E:
            out.append("=%02X" % b)
        else:
            out.append(chr(b))
    return "".join(out)


def sample_bytes(seed, size):
    rnd = random.Random(seed)
    return bytes(rnd.randrange(256) for _ in range(size))


class Mail:
    def __init__(self, name):
        self.name = name
        self.lines = []      # bytes lines of the mail
        self.expect = []     # UTF-8 expect lines
        self.text = []       # expected Text lines (UTF-8)
        self.atts = []       # (file name shown, bytes)

    def add(self, *lines):
        for line in lines:
            self.lines.append(line if isinstance(line, bytes) else line.encode("ascii"))

    def write(self):
        base = os.path.join(HERE, self.name)
        with open(base + ".eml", "wb") as f:
            f.write(b"".join(l + b"\n" for l in self.lines))
        exp = list(self.expect)
        for i, (shown, data) in enumerate(self.atts, 1):
            att = "%s.att%d" % (self.name, i)
            with open(os.path.join(HERE, att), "wb") as f:
                f.write(data)
            exp.append("Attachment: %s %s" % (att, shown))
        with open(base + ".expect", "w", encoding="utf-8") as f:
            f.write("".join(e + "\n" for e in exp))
        with open(base + ".text", "w", encoding="utf-8") as f:
            f.write("".join(t + "\n" for t in self.text))


def jis_plain():
    m = Mail("jis_plain")
    body = ["花子さん", "", "明日の会議の資料を送ります。", "よろしくお願いします。", "-- ", "山田"]
    m.add("Return-Path: <taro@example.jp>",
          "Message-ID: <20261208.0001@mail.example.jp>",
          "Date: Tue, 08 Dec 2026 09:15:00 +0900",
          "From: " + bword("山田 太郎") + " <taro@example.jp>",
          "To: hanako@example.co.jp",
          "Subject: " + bword("会議の資料について"),
          "MIME-Version: 1.0",
          "Content-Type: text/plain; charset=ISO-2022-JP",
          "Content-Transfer-Encoding: 7bit",
          "")
    m.add(*[jis(l) for l in body])
    m.expect = ["From: 山田 太郎<taro@example.jp>",
                "Subject: 会議の資料について",
                "SendTo: hanako@example.co.jp",
                "Date: Tue, 08 Dec 2026 09:15:00 +0900",
                "MessageId: <20261208.0001@mail.example.jp>",
                "ReturnPath: <taro@example.jp>",
                "ContentType: TEXT/PLAIN",
                "ContentTransferEncoding: 7BIT"]
    m.text = body
    return m


def qp_soft_break():
    m = Mail("qp_soft_break")
    status = "状況報告：正常に終了しました。"
    m.add("From: Mail Robot <robot@example.com>",
          "To: ops@example.org",
          "Subject: Nightly report",
          "Date: Tue, 08 Dec 2026 02:05:11 +0000",
          "Message-ID: <qp-1@example.com>",
          "MIME-Version: 1.0",
          "Content-Type: text/plain; charset=ISO-2022-JP",
          "Content-Transfer-Encoding: quoted-printable",
          "",
          "The nightly job finished at 02:00. This line is long enough that the sen=",
          "der wrapped it with a soft line break.",
          "Variables keep their under_scores, and =3D signs are decoded.",
          qp(jis(status)),
          "Tail line ending in a soft break=")
    m.expect = ["From: Mail Robot <robot@example.com>",
                "Subject: Nightly report",
                "ContentType: TEXT/PLAIN",
                "ContentTransferEncoding: QUOTED-PRINTABLE"]
    m.text = ["The nightly job finished at 02:00. This line is long enough that the "
              "sender wrapped it with a soft line break.",
              "Variables keep their under_scores, and = signs are decoded.",
              status,
              "Tail line ending in a soft break"]
    return m


def mixed_base64_jpname():
    m = Mail("mixed_base64_jpname")
    boundary = "----=_Part_0_12345.67890"
    pdf = b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n" + sample_bytes(3, 3000) + b"\n%%EOF\n"
    notes = b"line one\r\nline two\r\n"
    m.add("From: " + bword("営業部 佐藤") + " <sato@example.co.jp>",
          "To: \"Tanaka Ichiro\" <tanaka@example.com>",
          "Subject: " + bword("見積書の送付"),
          "Date: Mon, 07 Dec 2026 17:40:02 +0900",
          "Message-ID: <mixed-1@example.co.jp>",
          "MIME-Version: 1.0",
          "Content-Type: multipart/mixed;",
          " boundary=\"" + boundary + "\"",
          "",
          "This is a multi-part message in MIME format.",
          "",
          "--" + boundary,
          "Content-Type: text/plain; charset=ISO-2022-JP",
          "Content-Transfer-Encoding: 7bit",
          "")
    m.add(jis("田中様"), jis("見積書を添付いたします。"), "")
    m.add("--" + boundary,
          "Content-Type: application/pdf;",
          " name=\"" + bword("見積書.pdf") + "\"",
          "Content-Transfer-Encoding: base64",
          "Content-Disposition: attachment;",
          " filename=\"" + bword("見積書.pdf") + "\"",
          "")
    m.add(*b64lines(pdf))
    m.add("",
          "--" + boundary,
          "Content-Type: text/plain; charset=us-ascii; name=\"notes.txt\"",
          "Content-Disposition: attachment; filename=\"notes.txt\"",
          "",
          "line one",
          "line two",
          "--" + boundary + "--",
          "")
    m.expect = ["From: 営業部 佐藤<sato@example.co.jp>",
                "Subject: 見積書の送付",
                "ContentType: MULTIPART/MIXED",
                "ContentTransferEncoding: 7BIT"]
    m.text = ["田中様", "見積書を添付いたします。", ""]
    m.atts = [("見積書.pdf", pdf), ("notes.txt", notes)]
    return m


def alternative_html():
    m = Mail("alternative_html")
    boundary = "alt-7f3a9c"
    subject = "Re: 新ソフトのご案内"
    plain = ["新しいソフトをご案内します。", "詳しくはHTML版をご覧ください。"]
    html = ["<html><body>", "<p>" + "新しいソフトをご案内します。" + "</p>",
            "<p style=\"color:red\">10% off</p>", "</body></html>"]
    m.add("From: info@soft.example.jp",
          "To: customer@example.com",
          "Subject: Re: " + bword("新ソフトのご案内"),
          "Date: Sun, 06 Dec 2026 10:00:00 +0900",
          "Message-ID: <alt-1@soft.example.jp>",
          "MIME-Version: 1.0",
          "Content-Type: multipart/alternative; boundary=" + boundary,
          "",
          "--" + boundary,
          "Content-Type: text/plain; charset=\"ISO-2022-JP\"",
          "Content-Transfer-Encoding: 7bit",
          "")
    m.add(*[jis(l) for l in plain])
    m.add("--" + boundary,
          "Content-Type: text/html; charset=\"ISO-2022-JP\"",
          "Content-Transfer-Encoding: quoted-printable",
          "")
    html_bytes = [jis(l) for l in html]
    # The long style line is wrapped with a soft break inside its tag.
    for l in html_bytes:
        enc = qp(l)
        if b"style" in l:
            m.add(enc[:12] + "=", enc[12:])
        else:
            m.add(enc)
    m.add("--" + boundary + "--")
    m.expect = ["From: info@soft.example.jp",
                "Subject: " + subject,
                "ContentType: MULTIPART/ALTERNATIVE"]
    m.text = plain
    # The colon cannot stand in a file name; ソ (0x83 0x5C) must survive.
    m.atts = [("Re 新ソフトのご案内.html", b"".join(l + b"\r\n" for l in html_bytes))]
    return m


def nested_multipart():
    m = Mail("nested_multipart")
    outer, inner = "outer=_b1", "inner=_b2"
    png = b"\x89PNG\r\n\x1a\n" + sample_bytes(5, 1200)
    m.add("From: Ken <ken@example.net>",
          "To: team@example.net",
          "Subject: Weekly news v2.1",
          "Date: Fri, 04 Dec 2026 18:00:00 +0000",
          "Message-ID: <nested-1@example.net>",
          "MIME-Version: 1.0",
          "Content-Type: multipart/mixed; boundary=\"" + outer + "\"",
          "",
          "preamble to be ignored",
          "--" + outer,
          "Content-Type: multipart/alternative; boundary=\"" + inner + "\"",
          "",
          "--" + inner,
          "Content-Type: text/plain; charset=us-ascii",
          "",
          "Hello team,",
          "the news is in the HTML part.",
          "--" + inner,
          "Content-Type: text/html; charset=us-ascii",
          "",
          "<p>Hello team</p>",
          "--" + inner + "--",
          "",
          "--" + outer,
          "Content-Type: image/png; name=\"logo.png\"",
          "Content-Transfer-Encoding: base64",
          "")
    # Trailing blanks on base64 lines must not change the bytes.
    m.add(*[l + "  " for l in b64lines(png)])
    m.add("--" + outer,
          "",
          "Regards,",
          "Ken",
          "--" + outer + "--",
          "epilogue to be ignored")
    m.expect = ["From: Ken <ken@example.net>",
                "Subject: Weekly news v2.1",
                "ContentType: MULTIPART/MIXED"]
    m.text = ["Hello team,", "the news is in the HTML part.", "Regards,", "Ken"]
    m.atts = [("Weekly news v2.html", b"<p>Hello team</p>\r\n"), ("logo.png", png)]
    return m


def rfc822_forward():
    m = Mail("rfc822_forward")
    boundary = "fwd_boundary_42"
    inner_body = ["先週の議事録です。", "ご確認ください。"]
    m.add("From: boss@example.co.jp",
          "To: staff@example.co.jp",
          "Subject: Fwd: " + bword("議事録"),
          "Date: Thu, 03 Dec 2026 12:00:00 +0900",
          "Message-ID: <fwd-1@example.co.jp>",
          "MIME-Version: 1.0",
          "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"",
          "",
          "--" + boundary,
          "Content-Type: text/plain; charset=ISO-2022-JP",
          "")
    m.add(jis("転送します。"))
    m.add("--" + boundary,
          "Content-Type: message/rfc822",
          "",
          "From: secretary@example.co.jp",
          "To: boss@example.co.jp",
          "Subject: " + bword("議事録"),
          "Content-Type: text/plain; charset=ISO-2022-JP",
          "")
    m.add(*[jis(l) for l in inner_body])
    m.add("--" + boundary + "--")
    m.expect = ["From: boss@example.co.jp",
                "Subject: Fwd: 議事録",
                "ContentType: MULTIPART/MIXED"]
    m.text = ["転送します。"] + inner_body
    return m


def rfc822_top():
    m = Mail("rfc822_top")
    m.add("From: gateway@example.org",
          "To: archive@example.org",
          "Subject: wrapped message",
          "Content-Type: message/rfc822",
          "",
          "From: origin@example.org",
          "Subject: the original",
          "Content-Type: text/plain",
          "Content-Transfer-Encoding: base64",
          "")
    m.add(*b64lines(b"Original body, line 1.\r\nLine 2 =_ stays.\r\n"))
    m.expect = ["From: gateway@example.org",
                "Subject: wrapped message",
                "ContentType: MESSAGE/RFC822"]
    m.text = ["Original body, line 1.", "Line 2 =_ stays."]
    return m


def inline_uuencode():
    m = Mail("inline_uuencode")
    report = bytes(range(256)) + b"\x00\x00\x00 Quarterly figures\n" + sample_bytes(7, 500)
    tool = sample_bytes(8, 91)  # 2 lines: one full, one short
    m.add("From: old-timer@example.edu",
          "To: list@example.edu",
          "Subject: files",
          "Date: Wed, 02 Dec 2026 08:30:00 -0500",
          "",
          "Here is the file.",
          "",
          "begin 644 report.bin")
    m.add(*uulines(report, backtick=True))
    m.add("end",
          "",
          "And the tool, encoded with blanks for zero:",
          "begin 755 tool.bin")
    m.add(*uulines(tool, backtick=False))
    m.add("end",
          "Bye.")
    m.expect = ["From: old-timer@example.edu",
                "Subject: files",
                "ContentType: TEXT/PLAIN",
                "ContentTransferEncoding: 7BIT"]
    m.text = ["Here is the file.", "", "end", "", "And the tool, encoded with blanks for zero:",
              "end", "Bye."]
    m.atts = [("report.bin", report), ("tool.bin", tool)]
    return m


def begin_in_text():
    """A text line that only looks like the start of uuencoded data."""
    m = Mail("begin_in_text")
    body = ["Hi all,",
            "",
            "For Friday, please",
            "begin 100 copies of the handout for the meeting",
            "",
            "ROOM 4B",
            "and leave them at the front desk.",
            "",
            "Thanks,",
            "Mika"]
    m.add("From: mika@example.com",
          "To: office@example.com",
          "Subject: Handouts",
          "",
          *body)
    m.expect = ["Subject: Handouts",
                "ContentType: TEXT/PLAIN"]
    m.text = body
    return m


def uuencode_cut_off():
    """A uuencoded file cut off by a gateway that went on with its own text."""
    m = Mail("uuencode_cut_off")
    report = sample_bytes(10, 400)
    kept = uulines(report, backtick=True)[:3]  # three whole lines of 45 bytes
    after = ["[The rest of this message was removed by the mail gateway.]",
             "",
             "Regards,",
             "Ken"]
    m.add("From: ken@example.net",
          "Subject: report",
          "",
          "Here is the report.",
          "",
          "begin 644 report.bin",
          *kept,
          *after)
    m.expect = ["Subject: report",
                "ContentType: TEXT/PLAIN"]
    m.text = ["Here is the report.", ""] + after
    m.atts = [("report.bin", report[:3 * 45])]
    return m


def mixed_xuuencode():
    m = Mail("mixed_xuuencode")
    boundary = "uu-part"
    data = sample_bytes(9, 4000) + b"\r\n\r\n\n\r"
    m.add("From: sender@example.com",
          "To: rcpt@example.com",
          "Subject: x-uuencode part",
          "MIME-Version: 1.0",
          "Content-Type: multipart/mixed; boundary=" + boundary,
          "",
          "--" + boundary,
          "Content-Type: text/plain",
          "",
          "Data attached.",
          "--" + boundary,
          "Content-Type: application/octet-stream; name=\"data.bin\"",
          "Content-Transfer-Encoding: x-uuencode",
          "",
          "begin 644 data.bin")
    m.add(*uulines(data, backtick=True))
    m.add("end", "--" + boundary + "--")
    m.expect = ["Subject: x-uuencode part", "ContentType: MULTIPART/MIXED"]
    m.text = ["Data attached."]
    m.atts = [("data.bin", data)]
    return m


def no_content_type():
    m = Mail("no_content_type")
    body = ["昔ながらのメールです。", "MIMEヘッダがありません。"]
    m.add("From nobody Tue Dec  8 00:00:00 2026",
          "Received: from mx.example.jp by pop.example.jp",
          "From: Suzuki <suzuki@example.jp>",
          "To: friend@example.jp",
          "Subject: old style mail",
          "Date: 8 Dec 2026 09:00:00 +0900",
          "")
    m.add(*[jis(l) for l in body])
    m.expect = ["From: Suzuki <suzuki@example.jp>",
                "Subject: old style mail",
                "ContentType: TEXT/PLAIN",
                "ContentTransferEncoding: 7BIT"]
    m.text = body
    return m


def base64_text_body():
    m = Mail("base64_text_body")
    body = ["本文はbase64で送られています。", "二行目。"]
    raw = b"".join(jis(l) + b"\r\n" for l in body)
    m.add("From: app@example.jp",
          "Subject: " + bword("通知"),
          "Content-Type: text/plain; charset=ISO-2022-JP",
          "Content-Transfer-Encoding: base64",
          "")
    m.add(*b64lines(raw))
    m.expect = ["Subject: 通知",
                "ContentType: TEXT/PLAIN",
                "ContentTransferEncoding: BASE64"]
    m.text = body
    return m


if __name__ == "__main__":
    for make in (jis_plain, qp_soft_break, mixed_base64_jpname, alternative_html,
                 nested_multipart, rfc822_forward, rfc822_top, inline_uuencode,
                 mixed_xuuencode, no_content_type, base64_text_body, begin_in_text,
                 uuencode_cut_off):
        make().write()
