#!/usr/bin/env python3
"""A small freedb server for the tests, speaking the HTTP CGI protocol on 127.0.0.1.

Usage: freedb_server.py <scenario folder>; prints the port it listens on, then serves until
it is terminated. The test writes the scenario as files:
  query/<discid>            reply to "cddb query <discid> ..."   (absent: 202 No match)
  read/<category>+<discid>  reply to "cddb read <category> <discid>" (absent: 401)
  submit/expected           expected submission: the header lines, an empty line, the body;
                            the submission is answered 200 when it matches byte for byte
  mode                      "slow" (answers after 30 s), "huge" (100 MB of text),
                            "cut" (a line cut in the middle, then the connection closes)
Every request is logged to log/<n> as: path, the header lines, an empty line, the body.
"""
import os
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs

root = sys.argv[1]
counter = [0]
lock = threading.Lock()

SUBMIT_HEADERS = ("Category", "Discid", "User-Email", "Submit-Mode", "Charset", "X-Cddbd-Note")


def scenario(*parts):
    path = os.path.join(root, *parts)
    if os.path.isfile(path):
        with open(path, "rb") as f:
            return f.read()
    return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def log_request_text(self, body):
        with lock:
            counter[0] += 1
            n = counter[0]
        os.makedirs(os.path.join(root, "log"), exist_ok=True)
        with open(os.path.join(root, "log", "%03d" % n), "wb") as f:
            f.write(self.path.encode() + b"\n")
            for name, value in self.headers.items():
                f.write(("%s: %s\n" % (name, value)).encode())
            f.write(b"\n" + body)

    def reply(self, data, status=200):
        mode = (scenario("mode") or b"").strip()
        if mode == b"slow":
            time.sleep(30)
        if mode == b"huge":
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.end_headers()
            chunk = b"x" * (1 << 20)
            try:
                for _ in range(100):
                    self.wfile.write(chunk)
            except OSError:
                pass
            return
        if mode == b"cut":
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(data) + 100))
            self.end_headers()
            self.wfile.write(data[: max(1, len(data) // 2)])
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        self.log_request_text(body)
        if self.path == "/~cddb/submit.cgi":
            expected = scenario("submit", "expected")
            got = b"".join(("%s: %s\r\n" % (h, self.headers.get(h, ""))).encode() for h in SUBMIT_HEADERS)
            got += b"\r\n" + body
            if expected is not None and got == expected:
                self.reply(b"200 OK, submission has been accepted.\r\n")
            else:
                self.reply(b"501 Entry rejected: not what the test expected.\r\n")
            return
        if self.path != "/~cddb/cddb.cgi":
            self.reply(b"not found", 404)
            return
        form = parse_qs(body.decode("latin-1"), keep_blank_values=True)
        words = form.get("cmd", [""])[0].split()
        if len(words) >= 3 and words[:2] == ["cddb", "query"]:
            data = scenario("query", words[2])
            self.reply(data if data is not None else b"202 No match for disc ID %s.\r\n" % words[2].encode())
        elif len(words) >= 4 and words[:2] == ["cddb", "read"]:
            data = scenario("read", words[2] + "+" + words[3])
            self.reply(data if data is not None else b"401 Specified CDDB entry not found.\r\n")
        else:
            self.reply(b"500 Unrecognized command.\r\n")


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
