#!/usr/bin/env python3
"""Writes the hand-made EDL fixtures of tests/data/fixtures (and the bundled sample list).

Avid File_32-style lists with "*FROM CLIP NAME:" comments: one list of music and video events in
every encoding and line-break form the loader accepts, a list of twelve music events, a list of
the awkward cases of extraction, an empty list and one without music. Run it again after
changing a list; the expected cue lines then come from reference_extract.py.
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2] / "tests" / "data"


def event(number, reel, track, src_in, src_out, rec_in, rec_out, digits=6):
    return "%s  %-32s %-5s C        %s %s %s %s " % (
        str(number).zfill(digits), reel, track, src_in, src_out, rec_in, rec_out)


MUSIK = [
    "TITLE:   SOMMERFILM R1 MUSIK",
    "FCM: NON-DROP FRAME",
    event(1, "A001C003", "V", "10:00:00:00", "10:00:04:12", "01:00:00:00", "01:00:04:12"),
    "*FROM CLIP NAME:  A001C003 TOTALE.MOV ",
    "*SOURCE FILE: A001C003",
    event(2, "MUSIK_01", "A", "00:00:00:00", "00:00:31:05", "01:00:04:12", "01:00:35:17"),
    "*FROM CLIP NAME:  SOMMERNACHT.MP3 ",
    event(3, "MUSIK_01", "A2", "00:00:00:00", "00:00:31:05", "01:00:04:12", "01:00:35:17"),
    "*FROM CLIP NAME:  SOMMERNACHT.MP3",
    event(4, "MUSIK_02", "NONE", "00:00:10:00", "00:00:25:00", "01:00:35:17", "01:00:50:17"),
    "AUD  3    4",
    "*FROM CLIP NAME:  MÄDCHEN AUS DER ÖLMÜHLE.WAV",
    event(5, "B002C011", "V", "11:20:00:00", "11:20:08:00", "01:00:50:17", "01:00:58:17"),
    "*FROM CLIP NAME:  B002C011 HALBTOTALE.MOV",
    event(6, "CLAUDIA", "A", "00:01:00:00", "00:01:12:10", "01:00:58:17", "01:01:11:02"),
    "*FROM CLIP NAME:  CLAUDIA THEMA.M4A",
    event(7, "CAFE", "A", "00:00:00:00", "00:00:20:00", "01:01:11:02", "01:01:31:02"),
    "*FROM CLIP NAME:  CAFÉ AU LAIT.AIFF",
    event(8, "STRASSE", "A", "00:00:00:00", "00:00:10:00", "01:01:31:02", "01:01:41:02"),
    "*FROM CLIP NAME:  STRAßENFEST.WAV",
    event(9, "AUDIO_01", "A2", "00:00:05:00", "00:00:09:00", "01:01:41:02", "01:01:45:02"),
    "* FROM CLIP NAME:  AUDIO_01.WAV",
    event(10, "SFX", "A", "00:00:00:00", "00:00:02:00", "01:01:45:02", "01:01:47:02"),
    "*FROM CLIP NAME:  tür zu.wav",
    event(11, "JINGLE", "A", "00:00:00:00", "00:00:05:00", "01:01:47:02", "01:01:52:02"),
    "*FROM CLIP NAME:  SENDER JINGLE.NEW",
    event(12, "C003C001", "V", "12:00:00:00", "12:00:03:00", "01:01:52:02", "01:01:55:02"),
    "*FROM CLIP NAME:  C003C001 ABSPANN.MOV",
]

TWELVE = ["TITLE:   ZWOELF TITEL", "FCM: NON-DROP FRAME"]
for i in range(12):
    start = 10 * 60 + i * 95
    rec_in = "01:%02d:%02d:%02d" % (start // 60 % 60, start % 60, i * 2)
    rec_out = "01:%02d:%02d:%02d" % ((start + 80) // 60 % 60, (start + 80) % 60, i * 2 + 1)
    track = ["A", "A2", "A3", "A4"][i % 4]
    TWELVE.append(event(i + 1, "MUSIK_%02d" % (i + 1), track, "00:00:00:00", "00:01:20:01",
                        rec_in, rec_out))
    if track in ("A3", "A4"):
        TWELVE.append("AUD  3    4")
    ext = ["MP3", "WAV", "M4A", "AIFF", "NEW", "MP3"][i % 6]
    TWELVE.append("*FROM CLIP NAME:  TITEL %02d - KAPITEL %d.%s" % (i + 1, i % 3 + 1, ext))

EDGE = [
    "TITLE:   SONDERFAELLE",
    "FCM: NON-DROP FRAME",
    # A video clip without audio extension: the next line holding "NEW" after a character wins.
    event(1, "INTERVIEW", "V", "10:00:00:00", "10:00:02:00", "01:00:00:00", "01:00:02:00"),
    "*FROM CLIP NAME:  INTERVIEW.MXF",
    event(2, "NEWTON", "A", "00:00:00:00", "00:00:02:00", "01:00:02:00", "01:00:04:00"),
    "*FROM CLIP NAME:  NEWTON.MP3",
    # An earlier extension inside the name ends the clip text there ...
    event(3, "SAMMLUNG", "A", "00:00:00:00", "00:00:03:00", "01:00:04:00", "01:00:07:00"),
    "*FROM CLIP NAME:  X MP3 COLLECTION.WAV",
    # ... unless it stands at the very start of the name.
    event(4, "SAMMLUNG", "A", "00:00:03:00", "00:00:06:00", "01:00:07:00", "01:00:10:00"),
    "*FROM CLIP NAME:  MP3 COLLECTION.WAV",
    # Drop-frame separators are not found; neither is the clip of this event.
    "000005  DROP                             A     C        00:00:00;00 00:00:02;00 "
    "01:00:10;00 01:00:12;00 ",
    "*FROM CLIP NAME:  DROPFRAME.WAV",
    # Two blanks between timecodes: not an event for the pattern.
    "000006  BREIT                            A     C        00:00:00:00  00:00:02:00 "
    "01:00:12:00 01:00:14:00 ",
    "*FROM CLIP NAME:  BREIT.WAV",
    # .AIF is no audio extension; the event takes the next clip text.
    event(7, "ATMO", "A", "00:00:00:00", "00:00:04:00", "01:00:14:00", "01:00:18:00"),
    "*FROM CLIP NAME:  ATMO WIND.AIF",
    event(8, "WIND", "A", "00:00:00:00", "00:00:04:00", "01:00:18:00", "01:00:22:00"),
    "*FROM CLIP NAME:  WIND BOEN.AIFF",
    # Three blanks after the asterisk: asterisk and blanks stay in the clip text.
    event(9, "DREI", "A", "00:00:00:00", "00:00:01:00", "01:00:22:00", "01:00:23:00"),
    "*   FROM CLIP NAME:  DREI.MP3",
    # Removing AUD brings A and UD together after the pass.
    event(10, "DOPPEL", "A", "00:00:00:00", "00:00:01:00", "01:00:23:00", "01:00:24:00"),
    "*FROM CLIP NAME:  AAUDUD.MP3",
    # A comment ending in a blank is joined to the next comment line.
    event(11, "JOIN", "A", "00:00:00:00", "00:00:01:00", "01:00:24:00", "01:00:25:00"),
    "* FROM CLIP NAME:  NAH.WAV ",
    "* TO CLIP NAME:  FERN.WAV",
    # Lower case on the event line and in the comment.
    event(12, "klein", "A", "00:00:00:00", "00:00:01:00", "01:00:25:00", "01:00:26:00"),
    "*from clip name:  LEISE.MP3",
    # The last event finds no music clip below it.
    event(13, "ENDE", "V", "00:00:00:00", "00:00:01:00", "01:00:26:00", "01:00:27:00"),
    "*FROM CLIP NAME:  ENDE.MOV",
]

# Video events between music, dissolves, reel names holding NEW, .AIF beside .AIFF, comment
# lines with timecodes, and names with capitals beyond A to Z.
KORREKTUREN = [
    "TITLE:   KORREKTUREN",
    "FCM: NON-DROP FRAME",
    event(1, "A001C001", "V", "10:00:00:00", "10:00:06:00", "01:00:00:00", "01:00:06:00"),
    "*FROM CLIP NAME:  A001C001 TOTALE.MOV",
    event(2, "MUSIK_01", "A", "00:00:00:00", "00:00:40:00", "01:00:00:00", "01:00:40:00"),
    "*FROM CLIP NAME:  GROßE FREIHEIT.MP3",
    event(3, "A001C002", "V", "10:01:00:00", "10:01:06:00", "01:00:06:00", "01:00:12:00"),
    "*FROM CLIP NAME:  A001C002 NAH.MXF",
    event(4, "A001C003", "V", "10:02:00:00", "10:02:06:00", "01:00:12:00", "01:00:18:00"),
    "*FROM CLIP NAME:  A001C003 HALBNAH.MOV",
    event(5, "MUSIK_02", "A2", "00:00:00:00", "00:00:12:00", "01:00:18:00", "01:00:30:00"),
    "*FROM CLIP NAME:  CAFÉ DEL MAR.WAV",
    # A dissolve: the event names the outgoing and the incoming clip.
    event(6, "MUSIK_03", "A", "00:00:10:00", "00:00:10:00", "01:00:40:00", "01:00:40:00"),
    "*FROM CLIP NAME:  SEÑORITA.WAV",
    "000007  MUSIK_03                         A     D    025 00:00:10:00 00:00:20:00 "
    "01:00:40:00 01:00:50:00 ",
    "* FROM CLIP NAME:  SEÑORITA.WAV ",
    "* TO CLIP NAME:  SEÑORITA.WAV",
    # A video event before a reel name holding NEW.
    event(8, "B001C001", "V", "11:00:00:00", "11:00:04:00", "01:00:50:00", "01:00:54:00"),
    "*FROM CLIP NAME:  B001C001 WEIT.MOV",
    event(9, "NEWTON", "A", "00:00:00:00", "00:00:06:00", "01:00:54:00", "01:01:00:00"),
    "*FROM CLIP NAME:  NEWTON INTERVIEW.MOV",
    event(10, "ATMO", "A", "00:00:00:00", "00:00:04:00", "01:01:00:00", "01:01:04:00"),
    "*FROM CLIP NAME:  ATMO WIND.AIF",
    event(11, "WIND", "A", "00:00:00:00", "00:00:04:00", "01:01:04:00", "01:01:08:00"),
    "*FROM CLIP NAME:  WIND BOEN.AIFF",
    # A marker comment with one timecode, then one quoting four.
    event(12, "C001C001", "V", "12:00:00:00", "12:00:04:00", "01:01:08:00", "01:01:12:00"),
    "*LOC: 01:01:09:00 RED MARKER",
    "*FROM CLIP NAME:  C001C001 TAKE.MOV",
    "*COMMENT: 12:00:00:00 12:00:04:00 01:01:08:00 01:01:12:00",
    event(13, "MUSIK_04", "A", "00:00:00:00", "00:00:20:00", "01:01:12:00", "01:01:32:00"),
    "*FROM CLIP NAME:  ØRESUND ŒUVRE - ŠŽŸ.MP3",
    event(14, "MUSIK_05", "A", "00:00:00:00", "00:00:02:00", "01:01:32:00", "01:01:34:00"),
    "*FROM CLIP NAME:  MÜLLER - LIED XÜ.MP3",
    # Lower case still cuts a name, or hides it.
    event(15, "KLEIN", "A", "00:00:00:00", "00:00:02:00", "01:01:34:00", "01:01:36:00"),
    "*FROM CLIP NAME:  handgeschrieben.mp3",
    event(16, "CAFE", "A", "00:00:00:00", "00:00:02:00", "01:01:36:00", "01:01:38:00"),
    "*FROM CLIP NAME:  Café Song.WAV",
    event(17, "MUSIK_06", "A", "00:00:00:00", "00:00:08:00", "01:01:38:00", "01:01:46:00"),
    "*FROM CLIP NAME:  ÉTÉ À PARIS.M4A",
]

OHNE_MUSIK = [
    "TITLE:   NUR BILD",
    "FCM: NON-DROP FRAME",
    event(1, "A001", "V", "10:00:00:00", "10:00:02:00", "01:00:00:00", "01:00:02:00"),
    "*FROM CLIP NAME:  A001 TOTALE.MOV",
    event(2, "A002", "V", "10:00:00:00", "10:00:02:00", "01:00:02:00", "01:00:04:00"),
    "*FROM CLIP NAME:  A002 NAH.MXF",
]


def rtf_escape(line):
    out = []
    for ch in line:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif code < 0x80:
            out.append(ch)
        elif ch in "ÄÖÜ":
            out.append("\\'%02x" % ch.encode("cp1252")[0])
        else:
            out.append("\\u%d?" % code)
    return "".join(out)


def rtf_document(lines):
    head = ("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"
            "{\\colortbl ;\\red0\\green0\\blue0;}{\\*\\generator Riched20 10.0;}"
            "\\viewkind4\\uc1\\pard\\f0\\fs20 ")
    body = "".join(rtf_escape(line) + "\\par\r\n" for line in lines)
    return (head + body + "}\r\n").encode("ascii")


def write(name, data):
    path = ROOT / "fixtures" / name
    path.write_bytes(data)


def main():
    (ROOT / "fixtures").mkdir(parents=True, exist_ok=True)
    text = lambda lines, brk: "".join(line + brk for line in lines)
    write("musik-crlf-cp1252.edl", text(MUSIK, "\r\n").encode("cp1252"))
    write("musik-cr-only.edl", text(MUSIK, "\r").encode("cp1252"))
    write("musik-lf-cr.edl", text(MUSIK, "\n\r").encode("cp1252"))
    write("musik-utf8-bom.edl", b"\xef\xbb\xbf" + text(MUSIK, "\r\n").encode("utf-8"))
    write("musik-utf16le-bom.edl", b"\xff\xfe" + text(MUSIK, "\r\n").encode("utf-16-le"))
    write("musik-utf16be-bom.edl", b"\xfe\xff" + text(MUSIK, "\n").encode("utf-16-be"))
    write("musik-rtf.edl", rtf_document(MUSIK))
    write("zwoelf-titel.edl", text(TWELVE, "\n").encode("cp1252"))
    write("sonderfaelle.edl", text(EDGE, "\r\n").encode("cp1252"))
    write("korrekturen.edl", text(KORREKTUREN, "\r\n").encode("cp1252"))
    write("ohne-musik.edl", text(OHNE_MUSIK, "\r\n").encode("cp1252"))
    write("leer.edl", b"")
    (ROOT / "sample").mkdir(parents=True, exist_ok=True)
    (ROOT / "sample" / "Beispiel.edl").write_bytes(text(MUSIK, "\r\n").encode("cp1252"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
