#!/usr/bin/env python3
"""HTTP test server with well-behaved and faulty answers, for the transfer tests.

Listens on 127.0.0.1 on a free port, writes the port number to --port-file once it
listens, and serves until it is killed. Threaded: every connection has its own thread,
so a stalled or slow answer never holds up the others. With --request-log FILE it
appends each request line ("GET /files/x HTTP/1.1") to FILE, so a test can see what
was asked for; otherwise it logs nothing.

Byte bodies follow one deterministic pattern: byte i of a body is i % 251 (a prime, so
a chunk that is lost, repeated or shifted shows up at once). Clients can rebuild it.

Routes (n, declared, sent: byte counts; seconds: may be fractional; rate: bytes/s):
  /files/<name>              the file <name> from the --root folder (404 when absent)
  /text/<text>               <text> (URL-decoded, UTF-8) as text/plain with Content-Length
  /bytes/<n>                 n pattern bytes with Content-Length, streamed in 64 KB pieces
  /marked/<n>/<name>         the same, then the time at which the last byte went out
                             (Unix seconds) written to <name>.lastbyte in the --root
                             folder (the benchmark's body)
  /short/<declared>/<sent>   Content-Length: declared, but only `sent` bytes, then close
  /noclen/<n>                n pattern bytes without Content-Length, ended by closing
  /status/<code>             that status code with a small HTML page as body
  /stall/<n>/<seconds>       Content-Length 2n, n bytes, then silence for `seconds`
                             with the connection open, then close
  /reset/<n>                 Content-Length 2n, n bytes, then a TCP reset (SO_LINGER 0)
  /slow/<n>/<rate>           n pattern bytes with Content-Length, sent at about `rate`
  /paced/<n>/<piece>/<seconds>        n pattern bytes with Content-Length, `piece` bytes at
                             a time with `seconds` between pieces (further parts ignored)
  /pacednoclen/<n>/<piece>/<seconds>  the same without Content-Length
  /stalltext/<text>/<seconds>         <text> with Content-Length twice its length, then
                             silence for `seconds`
  /endlesstext/<text>        <text> over and over without Content-Length, for as long as
                             the client reads
  /hold/<seconds>            reads the request, answers nothing for `seconds`, closes
  /headers                   the request's header lines as text/plain
  anything else              404 with an HTML page

With --tls PORT_FILE CERT (repeatable), the same routes are also served over TLS on one
more port per option, with that self-signed certificate (a PEM file holding the
certificate and its key): clients that check certificates refuse it unless they trust it.

As a proxy: a request for an absolute address (GET http://any.host/path) is answered
as if for /path, with the header "X-Fixture-Proxied: yes". Paths under /proxyauth/
then need "Proxy-Authorization: Basic" with user "twi" and password "secret" (407
with a Basic challenge otherwise); the rest of the path is the route.
"""

import argparse
import base64
import http.server
import os
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time
import urllib.parse

PIECE = 65536


_PIECES = {}


def pattern(start, count):
    """Pattern bytes start .. start+count-1 (byte i is i % 251)."""
    first = start % 251
    if count == PIECE and (first, count) in _PIECES:
        return _PIECES[(first, count)]  # large bodies: no piece is built twice
    reps = (first + count) // 251 + 1
    piece = (bytes(range(251)) * reps)[first:first + count]
    if count == PIECE:
        _PIECES[(first, count)] = piece  # 251 pieces at most, 16 MB
    return piece


def html_page(code, title):
    return ("<HTML><HEAD><TITLE>%d %s</TITLE></HEAD><BODY><H1>%s</H1>"
            "<P>The requested URL was not served.</P></BODY></HTML>\n"
            % (code, title, title)).encode("ascii")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TWFixture/1.0"
    root = "."
    request_log = None
    request_log_lock = threading.Lock()

    def log_message(self, *args):
        pass

    def log_request(self, code="-", size="-"):
        if Handler.request_log:
            with Handler.request_log_lock, open(Handler.request_log, "a") as log:
                log.write(self.requestline + "\n")

    PROXY_CREDENTIALS = "Basic " + base64.b64encode(b"twi:secret").decode("ascii")

    def do_GET(self):
        path = self.path
        self.proxied = path.lower().startswith("http://")
        if self.proxied:
            path = urllib.parse.urlsplit(path).path or "/"
            if path.startswith("/proxyauth/"):
                if self.headers.get("Proxy-Authorization") != self.PROXY_CREDENTIALS:
                    self.send_proxy_challenge()
                    return
                path = path[len("/proxyauth"):]
        parts = [urllib.parse.unquote(p) for p in path.split("?")[0].split("/")[1:]]
        route = getattr(self, "route_" + parts[0], None) if parts and parts[0] else None
        try:
            if route is None:
                self.send_html(404, "Not Found")
            else:
                route(*parts[1:])
        except (TypeError, ValueError):
            self.send_html(404, "Not Found")
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    # --- helpers -----------------------------------------------------------------

    def start(self, code, length, content_type="application/octet-stream"):
        self.send_response(code)
        if self.proxied:
            self.send_header("X-Fixture-Proxied", "yes")
        self.send_header("Content-Type", content_type)
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
            if self.close_connection:
                self.send_header("Connection", "close")
        self.end_headers()

    def send_html(self, code, title):
        body = html_page(code, title)
        self.start(code, len(body), "text/html")
        self.wfile.write(body)

    def send_proxy_challenge(self):
        body = html_page(407, "Proxy Authentication Required")
        self.send_response(407)
        self.send_header("Proxy-Authenticate", 'Basic realm="fixture"')
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_pattern(self, start, count, rate=None):
        sent = 0
        piece = PIECE if rate is None else max(1, min(PIECE, int(rate) // 20))
        while sent < count:
            n = min(piece, count - sent)
            self.wfile.write(pattern(start + sent, n))
            sent += n
            if rate is not None:
                self.wfile.flush()
                time.sleep(n / float(rate))
        self.wfile.flush()

    # --- routes ------------------------------------------------------------------

    def route_files(self, *names):
        path = os.path.join(self.root, *names)
        if not names or ".." in names or not os.path.isfile(path):
            self.send_html(404, "Not Found")
            return
        with open(path, "rb") as f:
            body = f.read()
        self.start(200, len(body))
        self.wfile.write(body)

    def route_text(self, text):
        body = text.encode("utf-8")
        self.start(200, len(body), "text/plain")
        self.wfile.write(body)

    def route_bytes(self, n):
        self.start(200, int(n))
        self.send_pattern(0, int(n))

    def route_marked(self, n, name):
        if "/" in name or name.startswith("."):
            raise ValueError(name)
        self.start(200, int(n))
        self.send_pattern(0, int(n))
        sent_at = time.time()
        with open(os.path.join(self.root, name + ".lastbyte"), "w") as f:
            f.write("%.6f\n" % sent_at)

    def route_short(self, declared, sent):
        self.start(200, int(declared))
        self.send_pattern(0, int(sent))
        self.close_connection = True

    def route_noclen(self, n):
        self.start(200, None)
        self.send_pattern(0, int(n))

    def route_status(self, code):
        self.send_html(int(code), self.responses.get(int(code), ("Error",))[0])

    def route_stall(self, n, seconds):
        self.start(200, 2 * int(n))
        self.send_pattern(0, int(n))
        time.sleep(float(seconds))
        self.close_connection = True

    def route_paced(self, n, piece, seconds, *ignored):
        self.send_paced(int(n), int(piece), float(seconds), with_length=True)

    def route_pacednoclen(self, n, piece, seconds):
        self.send_paced(int(n), int(piece), float(seconds), with_length=False)

    def send_paced(self, n, piece, seconds, with_length):
        self.start(200, n if with_length else None)
        sent = 0
        while sent < n:
            count = min(piece, n - sent)
            self.wfile.write(pattern(sent, count))
            self.wfile.flush()
            sent += count
            if sent < n:
                time.sleep(seconds)

    def route_stalltext(self, text, seconds):
        body = text.encode("utf-8")
        self.start(200, 2 * len(body), "text/plain")
        self.wfile.write(body)
        self.wfile.flush()
        time.sleep(float(seconds))
        self.close_connection = True

    def route_endlesstext(self, text):
        self.start(200, None, "text/plain")
        piece = text.encode("utf-8") * max(1, PIECE // max(1, len(text.encode("utf-8"))))
        while True:
            self.wfile.write(piece)

    def route_reset(self, n):
        self.start(200, 2 * int(n))
        self.send_pattern(0, int(n))
        # Give the client a moment to take the bytes, then abort the connection:
        # closing with a zero linger time sends RST instead of FIN.
        time.sleep(0.3)
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                   struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def route_slow(self, n, rate):
        self.start(200, int(n))
        self.send_pattern(0, int(n), rate=int(rate))

    def route_headers(self):
        body = str(self.headers).encode("latin-1")
        self.start(200, len(body), "text/plain")
        self.wfile.write(body)

    def route_hold(self, seconds):
        time.sleep(float(seconds))
        self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64

    def handle_error(self, request, client_address):
        pass  # a client that went away is normal here


def write_port(path, server):
    temp = path + ".tmp"
    with open(temp, "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(temp, path)


def start_tls_server(port_file, cert):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert)
    server = Server(("127.0.0.1", 0), Handler)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2},
                     daemon=True).start()
    write_port(port_file, server)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--request-log")
    parser.add_argument("--tls", nargs=2, action="append", default=[],
                        metavar=("PORT_FILE", "CERT"))
    args = parser.parse_args()
    os.makedirs(args.root, exist_ok=True)
    Handler.root = args.root
    Handler.request_log = args.request_log
    for port_file, cert in args.tls:
        start_tls_server(port_file, cert)
    server = Server(("127.0.0.1", 0), Handler)
    write_port(args.port_file, server)  # last: the caller waits for this one
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
