#!/usr/bin/env python3
"""Writes the encoding fixtures of the file loading tests into this folder.

Each file holds <r><a>TEXT</a></r> in one encoding, with or without a byte
order mark and a declaration. Run it again after changing the table."""
import os

here = os.path.dirname(os.path.abspath(__file__))
uni = "h\u00e9llo \u4e2d\u6587"   # Latin-1 and CJK
ascii_text = "hello"

def doc(text, decl=None):
    head = '<?xml version="1.0" encoding="%s"?>' % decl if decl else ""
    return head + "<r><a>" + text + "</a></r>"

files = {}
for bom in (False, True):
    b = "bom" if bom else "nobom"
    for decl in (None, "UTF-8"):
        d = "decl" if decl else "nodecl"
        files["utf8_%s_%s.xml" % (b, d)] = (b"\xef\xbb\xbf" if bom else b"") + doc(uni, decl).encode("utf-8")
    for enc, mark, name in (("utf-16-le", b"\xff\xfe", "utf16le"), ("utf-16-be", b"\xfe\xff", "utf16be")):
        files["%s_%s_decl.xml" % (name, b)] = (mark if bom else b"") + doc(uni, "UTF-16").encode(enc)
        text = uni if bom else ascii_text  # without mark or declaration only ASCII survives
        files["%s_%s_nodecl.xml" % (name, b)] = (mark if bom else b"") + doc(text).encode(enc)
files["utf32le_nobom_decl.xml"] = doc(uni + "\U0001F600", "UTF-32").encode("utf-32-le")
files["utf32be_nobom_decl.xml"] = doc(uni + "\U0001F600", "utf-32be").encode("utf-32-be")
files["utf32le_bom_nodecl.xml"] = b"\xff\xfe\x00\x00" + doc(uni).encode("utf-32-le")
files["gbk_decl_lower.xml"] = doc("\u4e2d\u6587abc", "gb2312").encode("gbk")
files["gbk_decl_upper.xml"] = doc("\u4e2d\u6587abc", "GBK").encode("gbk")
files["gbk_html_meta.xml"] = ('<html><head><meta http-equiv="Content-Type" content="text/html; charset=gbk">'
                              "</head><r><a>\u4e2d\u6587abc</a></r></html>").encode("gbk")
files["big5_decl.xml"] = doc("\u4e2d\u6587", "big5").encode("big5")
files["latin1_decl.xml"] = doc("caf\u00e9", "ISO-8859-1").encode("latin-1")
files["utf8_text_first.xml"] = ("note " + doc("\u4f60")).encode("utf-8")  # C4 E3 style bytes pass the test
files["gbk_bytes_no_decl.xml"] = b"note <r><a>\xc4\xe3</a></r>"  # passes the loose test
files["ansi_lone_b0.xml"] = b"note <r><a>ab</a></r>\xb0"
files["utf8_with_nulls.xml"] = b"<r><a>a\x00b</a></r>"
files["utf8_bom_only.xml"] = b"\xef\xbb\xbf"
files["empty.xml"] = b""

for name, data in files.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
