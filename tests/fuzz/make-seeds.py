#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora: small, valid examples of each input, made here.

usage: make-seeds.py OUTPUT_FOLDER   (one sub-folder per target)
"""
import io
import os
import struct
import sys
import tarfile
import zipfile


def zpl_string(text):
    units = text.encode("utf-16-le")
    return struct.pack("<i", len(units) // 2) + units


def zpl_item(path, artist="", title="", album="", length=0, size=0):
    out = b"".join(zpl_string(t) for t in (path, artist, title, album, "Rock", "1999"))
    out += struct.pack("<iiii", 3, 0, 0, length) + struct.pack("<q", size) + struct.pack("<i", 0)
    out += struct.pack("<iiii", 50, 50, 50, 50) + struct.pack("<10i", *range(10)) + b"\x01"
    return out


def archive_zip(entries, method=zipfile.ZIP_DEFLATED):
    data = io.BytesIO()
    with zipfile.ZipFile(data, "w", method) as z:
        for name, body in entries:
            z.writestr(name, body)
    return data.getvalue()


def archive_tar(entries, mode="w"):
    data = io.BytesIO()
    with tarfile.open(fileobj=data, mode=mode) as t:
        for name, body in entries:
            info = tarfile.TarInfo(name)
            info.size = len(body)
            t.addfile(info, io.BytesIO(body))
    return data.getvalue()


def api_request(message, payload=b"", wparam=0, lparam=0):
    # zpapi_request_header: magic, message, wparam, lparam, payload_size, reserved
    header = struct.pack("<4sIqqII", b"KZPA", message, wparam, lparam, len(payload), 0)
    return header + payload


def allinone_record(path, artist, album):
    """The now-playing record after its size field: 13 texts of 256 bytes, then 3 colours."""
    texts = ["/opt/keldar/keldar3", "3.0", "00:01", "00:40", "Song", artist, album, "1", path,
             "Playing", "2", "128", "44100"]
    out = b""
    for t in texts:
        b = t.encode()
        out += bytes([len(b)]) + b.ljust(255, b"\0")
    return out + struct.pack("<iii", 0x102030, 0x00FF00, 0xFFFFFF)


def eq_presets_file(slots):
    lines = []
    for name, values, defined, editable in slots:
        lines += [name] + [str(v) for v in values] + [str(defined), str(editable)]
    return ("\r\n".join(lines) + "\r\n").encode()


def hand_over(tag, text):
    body = text.encode() + b"\0"
    return struct.pack("<II", tag, len(body)) + body


SEEDS = {
    "fuzz_zpl_stream": {
        "one": zpl_item("/music/one.mp3", "Artist", "Title", "Album", 215, 123456),
        "two": zpl_item("http://radio.example/live") + zpl_item("/music/caf\u00e9.ogg", "B\u00e9b\u00e9"),
        "cut": zpl_item("/music/cut.mp3")[:30],
    },
    "fuzz_profile_ini": {
        "settings": b"[Settings]\r\nOptions_BufferLength=500\r\nOptions_DeckLeft=0x20\r\n[PLSearchHistory]\r\nH0=beatles\r\n",
        "odd": b"; comment\n[settings]\n  options_bufferlength =  -12  \nH0\n[]\n=x\n[Other\nkeep=me",
        "hex": b"[Settings]\nOptions_BufferLength=$FFFFFFFF\nH0=0X7fffffff\n",
    },
    "fuzz_skin_files": {
        "definition": b"[SkinControls]\nDeckForm_PlayButton=1,10,20,30,40,1,0,Play\nDeckForm_VolumeImage=1,0,0,100,10,1,1\n",
        "text": b"[TEXT]\nNormal=#00FF00\nSelectedBG=#102030\nFont=Arial\nFontHeight=11\nFontStyle=fsBold,fsItalic\n"
                b"ItemHeight=16\nBitmapEnabled=2\nBitmapFontEnabled=True\n",
        "regions": b"[DeckForm]\nPolygonPointsNumber=4,3\nPolygonPoints=0,0,10,0,10,10,0,10,20,20,30,20,25,30\n"
                   b"[EqualizerForm]\nPolygonPointsNumber=-1\nPolygonPoints=1,2\n",
    },
    "fuzz_playlist_formats": {
        "m3u": b"\x00#EXTM3U\n#EXTINF:123,Artist - Title\nsongs/a.mp3\r\n../b.mp3\nhttp://host/x.mp3\nwin\\d.mp3\n",
        "m3u-latin1": b"\x00#EXTINF:10,Bj\xf6rk - J\xf3ga\n/music/j\xf3ga.mp3\n",
        "m3u8": b"\x01\xef\xbb\xbf#EXTM3U\n#EXTINF:-1,Radio\nhttp://radio.example/live\n",
        "pls": b"\x02[playlist]\nFile2=../two.mp3\nFile1=one.mp3\nTitle1=One\nLength1=62\nNumberOfEntries=2\n",
        "xspf": b"\x03<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>"
                b"<track><location>rel%20x.mp3</location><title>T</title><duration>61000</duration></track>"
                b"</trackList></playlist>",
        "asx": b"\x04<ASX version=\"3.0\"><Entry><Title>T</Title><Author>A</Author><REF HREF=\"r.wma\"/></Entry></ASX>",
        "wpl": b"\x05<?wpl version=\"1.0\"?><smil><body><seq><media src=\"..\\w.wma\"/></seq></body></smil>",
    },
    "fuzz_archive_lister": {
        "zip": archive_zip([("music/one.mp3", b"ONE"), ("two.mp3", b"TWO"), ("readme.txt", b"text")]),
        "zip-stored": archive_zip([("a.wav", b"RIFF....WAVE")], zipfile.ZIP_STORED),
        "zip-hostile": archive_zip([("../../evil", b"E"), ("/abs", b"E"), ("ok.txt", b"fine")]),
        "tar": archive_tar([("one.mp3", b"ONE"), ("sub/two.mp3", b"TWO")]),
        "tgz": archive_tar([("one.mp3", b"ONE" * 100)], "w:gz"),
        "tbz": archive_tar([("one.mp3", b"ONE")], "w:bz2"),
        "txz": archive_tar([("one.mp3", b"ONE")], "w:xz"),
        "bomb": archive_zip([("zeros.wav", b"\0" * (3 << 20))]),
    },
    "fuzz_stream_metadata": {
        "icy": b"ICY 200 OK\0icy-name:Deck Test Radio\0icy-genre:Rock\0icy-url:http://radio.example\0"
               b"icy-br:128\0icy-metaint:16000\0icy-pub:1\0icy-notice1:x\0\0",
        "http": b"HTTP/1.0 200 OK\0ice-name:Station\0ice-genre:Jazz\0ice-bitrate:64\0\0",
        "meta": b"StreamTitle='Artist - Song';StreamUrl='http://x';\0",
        "ogg": b"TITLE=Song\0ARTIST=Artist\0ALBUM=Album\0GENRE=Pop\0\0",
        "wma": b"Title=Song\0Author=Artist\0Bitrate=64000\0\0",
        "icy-stream": bytes([8]) + b"AUDIO..." + bytes([1]) + b"StreamTitle='x';".ljust(16, b"\0") + b"MOREAUDIO",
    },
    "fuzz_version_file": {
        "version": b"<?xml version=\"1.0\"?>\n<Keldar>\n<Program_Version>3.1.0.0</Program_Version>\n</Keldar>\n",
        "case": b"<program_version>  3.0  </PROGRAM_VERSION> trailing\n",
        "empty": b"<Program_Version></Program_Version>\n",
    },
    "fuzz_eq_presets": {
        "empty-slots": eq_presets_file([("User Preset <Empty>", [50] * 11, False, True)] * 19),
        "defined": eq_presets_file([("Loud", [100, 0, 25, 50, 75, 100, 90, 80, 70, 60, 55], True, True)] +
                                   [("User Preset <Empty>", [50] * 11, False, True)] * 18),
        "out-of-range": eq_presets_file([("Odd", [-40, 250, 50, 50, 50, 50, 50, 50, 50, 50, 50], True, False)]),
    },
    "fuzz_allinone_render": {
        "spectrum": bytes([64, 48, 0, 0]) + bytes(range(256)) * 6 + bytes(4) + allinone_record("/music/song.mp3", "A", "B"),
        "artwork": bytes([32, 32, 1, 2]) + bytes(1540) + allinone_record("/music/song.mp3", "A", "B"),
        "cd-track": bytes([17, 9, 3, 4]) + bytes([200]) * 1540 + allinone_record("/dev/sr0/Track01.cda", "", "B"),
    },
    "fuzz_encoders_list": {
        "defaults": b"EncName=WAV Writer;EncCmdLine=%outputfile%;EncOutputFileExt=.wav;EncInputBits=32;\n"
                    b"EncName=FLAC with Tags;EncCmdLine=flac  -T \"TITLE=%01\" -f - -o %outputfile%;"
                    b"EncOutputFileExt=.flac;EncInputBits=24;\n",
        "quotes": b"EncName=Q;EncCmdLine=enc 'a b' \"c\\\"d\" e\\ f \"open;EncOutputFileExt=.x;EncInputBits=abc;\r\n",
        "cut": b"encname=x;EncCmdLine=lame -V2; rm -rf /;EncInputBits=8\n\n;;;\n",
    },
    "fuzz_url_favourites": {
        "two": b"URLLink=http://radio.example:8000/live.ogg;URLDescription=Live Radio;\n"
               b"URLLink=mms://tv.example/x;URLDescription=TV;\r\n",
        "odd": b"urllink=x;;URLDescription=;\nURLDescription=first;URLLink=second;\n\xff\xfe\x00\n",
    },
    "fuzz_freedb_servers": {
        "file": b"gnudb.gnudb.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Random freedb server\n"
                b"mirror.example cddbp 8880 - N048.12 E016.22 Vienna, Austria\n",
        "reply": b"210 OK, site information follows (until terminating `.')\r\n"
                 b"mirror.example http 80 /~cddb/cddb.cgi N048.12 E016.22 Vienna\r\n.\r\n",
        "short": b"host http\n\n   \n",
    },
    "fuzz_control_requests": {
        "volume": api_request(0x9414, lparam=42) + api_request(0x9413),
        "copydata": api_request(0x4A, hand_over(1, "/music/one.mp3")),
        "copydata-many": api_request(0x4A, hand_over(3, "/a.mp3\r\nb.mp3\r\nhttp://x/y\r\n")),
        "cut": api_request(0x4A, hand_over(2, "/a.mp3\r\n"))[:40],
    },
    "fuzz_dsp_plugin_settings": {
        "ladspa": b"Library=/usr/lib/ladspa/amp.so\nLabel=amp_stereo\nControl 0=1.99526\n",
        "ladspa-odd": b"Library = amp.so \r\nControl 99999=1e40\nControl 3=nan\nControl x=1\nLabel=\n",
        "crossfeed": b"Level=jmeier\r\n",
    },
    "fuzz_cue_sheet": {
        "three-tracks": b"\x20" + b'FILE "d.bin" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n'
                        b" TRACK 02 AUDIO\n  INDEX 00 00:20:00\n  INDEX 01 00:21:00\n"
                        b" TRACK 03 MODE1/2352\n  PREGAP 00:02:00\n  INDEX 01 00:40:00\n",
        "two-files": b"\x40" + b'FILE "a.bin" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n'
                     b'FILE "b.bin" BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:10\n',
    },
    "fuzz_xmcd_record": {
        "read-reply": b"210 rock 0a000c03 CD database entry follows\n# xmcd\n#\n# Track frame offsets:\n"
                      b"# 150\n# 450\n# 840\n#\n# Disc length: 14 seconds\n#\n# Revision: 2\n"
                      b"# Submitted via: x 1\n#\nDISCID=0a000c03\nDTITLE=A / B\nDYEAR=1\nDGENRE=g\n"
                      b"TTITLE0=a\nTTITLE1=b/c\nTTITLE2=c\nEXTD=x\\ny\\\\z\nEXTD=more\nEXTT1=t\\tu\nPLAYORDER=\n.\n",
    },
    "fuzz_winamp_skin_text": {
        "viscolor": b"0,0,0 // background\r\n24,33,41\r\n" + b"255,0,0 // red\r\n" * 16 + b"200 200 200\r\n" * 5,
        "pledit": b"[Text]\r\nNormal=#00FF00\r\nCurrent=#FFFFFF\r\nNormalBG=#000000\r\nSelectedBG=#0000FF\r\nFont=Arial\r\n",
        "region": b"[Normal]\r\nNumPoints=4\r\nPointList=0,0, 275,0, 275,116, 0,116\r\n[Equalizer]\r\nnumpoints=0\r\n",
    },
    "fuzz_kjofol_description": {
        "skin": b"About My skin\r\nBackgroundImage main.bmp\r\nPlayButton 10 10 30 30 Play BMP2\r\n"
                b"EqualizerWindow 100 40 113 100 0 0 18\r\nEqualizerBmp 14 20 eq.bmp\r\n"
                b"playlistwindowtext 10 20 200 300\r\nFontTransparent\t0\r\nIncludeRCFile other.rc\r\n",
    },
    "fuzz_library_file": {
        # one record: five strings, four int32, int64, int32, uint8, two strings
        "one-song": b"".join([b"\x01\x00\x00\x00a\x00"] * 5) + b"\x01\x00\x00\x00" * 4
                    + b"\x00\x04\x00\x00\x00\x00\x00\x00" + b"\x21\x43\x65\x27" + b"\x03"
                    + b"\x00\x00\x00\x00" + b"\x03\x00\x00\x00/\x00x\x00\xe4\x00",
    },
    "fuzz_subtitles": {
        "two-cues": b"\xef\xbb\xbf1\r\n00:01:02,500 --> 00:01:04,000\r\n<i>First</i>\r\nSecond\r\n\r\n"
                    b"2\r\n00:01:03,000 --> 00:01:05,000\r\n<font color=red>Caf\xe9</font>\r\n",
        "odd-times": b"-1\n99:99:99,999 --> -1\nodd\n\n-->\n-->\n",
    },
}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    for target, seeds in SEEDS.items():
        folder = os.path.join(root, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, "seed-" + name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
