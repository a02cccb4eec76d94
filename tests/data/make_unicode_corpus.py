#!/usr/bin/env python3
"""Writes tests/data/mail-unicode: the same kind of mail in every charset
mail programs send, and what decoding each one must give.

For each mail NAME:
  NAME.eml      the mail (LF line ends): a subject as a B or Q encoded word, a
                text body in the charset (7bit, 8bit, base64 or
                quoted-printable) and an attachment whose name is an RFC 2231
                parameter or an encoded word in quotes
  NAME.expect   "Subject: ..." and "Attachment: ..." lines, UTF-8
  NAME.text     the body text, UTF-8

The expectations are Python's own reading of the written mail
(email.message_from_bytes with the default policy), checked against the
text the mail was made from. Only the standard library is used. Run it
again after changing it.
"""
import base64
import email
import email.encoders
import email.policy
import os
import quopri
import urllib.parse
from email.message import Message

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mail-unicode")

JAPANESE = "会議の資料について（第２版）"
SAMPLES = {
    # charset: (Python codec, text)
    "ISO-2022-JP": ("iso2022_jp", JAPANESE),
    "Shift_JIS": ("shift_jis", JAPANESE),
    "EUC-JP": ("euc_jp", JAPANESE),
    "UTF-8": ("utf-8", JAPANESE + " 𠮷野家 ① 😀 Grüße"),
    "ISO-8859-1": ("iso-8859-1", "Grüße aus Köln, àéîõü"),
    "ISO-8859-2": ("iso-8859-2", "Zażółć gęślą jaźń"),
    "windows-1252": ("cp1252", "Café – „Anführung“ €5"),
    "windows-1251": ("cp1251", "Привет, мир"),
    "KOI8-R": ("koi8_r", "Привет, мир"),
    "GB18030": ("gb18030", "中文邮件测试"),
    "GB2312": ("gb2312", "中文邮件测试"),
    "Big5": ("big5", "中文郵件測試"),
    "EUC-KR": ("euc_kr", "한국어 메일 시험"),
}

BODY_ENCODINGS = {
    "ISO-2022-JP": ["7bit", "base64"],
}
DEFAULT_BODY_ENCODINGS = ["8bit", "base64", "quoted-printable"]


def encoded_word(text, charset, codec, letter):
    raw = text.encode(codec)
    if letter == "B":
        return "=?%s?B?%s?=" % (charset, base64.b64encode(raw).decode())
    q = quopri.encodestring(raw, header=True).decode().replace("=\n", "")
    return "=?%s?Q?%s?=" % (charset, q.replace("?", "=3F"))


def body_part(text, charset, codec, cte):
    part = Message()
    part["Content-Type"] = 'text/plain; charset="%s"' % charset
    raw = (text + "\n二行目 / line two\n").encode(codec) if codec.startswith(
        ("iso2022", "shift", "euc_jp", "utf")) else (text + "\nline two\n").encode(codec)
    if cte == "base64":
        part.set_payload(raw)
        email.encoders.encode_base64(part)
    elif cte == "quoted-printable":
        part.set_payload(raw)
        email.encoders.encode_quopri(part)
    else:
        part.set_payload(raw.decode("ascii", "surrogateescape"))
        part["Content-Transfer-Encoding"] = cte
    return part


def attachment(name, charset, codec, style):
    part = Message()
    part["Content-Type"] = "application/octet-stream"
    if style == "rfc2231":
        value = "%s'ja'%s" % (charset, urllib.parse.quote(name.encode(codec), safe=""))
        part["Content-Disposition"] = "attachment; filename*=" + value
    else:
        part["Content-Disposition"] = 'attachment; filename="%s"' % encoded_word(
            name, charset, codec, "B")
    part.set_payload(b"%PDF-1.4 sample\n")
    email.encoders.encode_base64(part)
    return part


def mail(charset, codec, text, cte, letter, style):
    msg = Message()
    msg["From"] = "sender@example.jp"
    msg["To"] = "printer@example.jp"
    msg["Subject"] = encoded_word(text, charset, codec, letter)
    msg["Date"] = "Wed, 09 Dec 2026 10:00:00 +0900"
    msg["MIME-Version"] = "1.0"
    msg["Content-Type"] = 'multipart/mixed; boundary="unicode-corpus"'
    msg.set_payload([body_part(text, charset, codec, cte),
                     attachment(text.split()[0][:6] + ".pdf", charset, codec, style)])
    return msg.as_bytes(policy=email.policy.compat32.clone(linesep="\n", max_line_length=998))


def python_reading(data):
    msg = email.message_from_bytes(data, policy=email.policy.default)
    parts = list(msg.iter_parts())
    return str(msg["Subject"]), parts[0].get_content(), parts[1].get_filename()


def main():
    os.makedirs(HERE, exist_ok=True)
    for old in os.listdir(HERE):
        os.remove(os.path.join(HERE, old))
    count = 0
    for charset, (codec, text) in SAMPLES.items():
        for cte in BODY_ENCODINGS.get(charset, DEFAULT_BODY_ENCODINGS):
            letter = "BQ"[count % 2]
            style = ("rfc2231", "word")[(count // 2) % 2]
            count += 1
            name = "%s_%s_%s_%s" % (charset.lower().replace("-", "_"), cte.replace("-", "_"),
                                    letter.lower(), style)
            data = mail(charset, codec, text, cte, letter, style)
            subject_text, body, filename = python_reading(data)
            # Python must read back what the mail was made from.
            assert subject_text == text, (name, subject_text)
            assert body.startswith(text + "\n"), (name, body)
            assert filename == text.split()[0][:6] + ".pdf", (name, filename)
            with open(os.path.join(HERE, name + ".eml"), "wb") as f:
                f.write(data)
            with open(os.path.join(HERE, name + ".expect"), "w", encoding="utf-8") as f:
                f.write("Subject: %s\nAttachment: %s\n" % (subject_text, filename))
            with open(os.path.join(HERE, name + ".text"), "w", encoding="utf-8") as f:
                f.write(body)
    print("wrote %d mails to %s" % (count, HERE))


if __name__ == "__main__":
    main()
