"""A small web service on 127.0.0.1 for the online tests: it records every request line
and answers by path. The end-to-end scenarios import it; the Windows tests run under it:

    python3 loopback_server.py run COMMAND...

starts a plain server, a recording proxy and an https server with a self-signed
certificate, each on a free port, runs COMMAND with KESTROW_TEST_HTTP, KESTROW_TEST_PROXY,
KESTROW_TEST_HTTPS (ports) and KESTROW_TEST_REQUEST_LOG (the log, as a Windows path; one
"<server> <request line>" a line) in its environment, and returns COMMAND's exit code.
"""
import http.server
import os
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

MANIFEST_PATH = "/app/webroot/clientversion/snaptrel_beta.json"
UTF8_TEXT = "中文 UTF-8 ü"
GBK_TEXT = "中文 GBK"
HOLD_SECONDS = 6  # how long "/hold" keeps its client waiting


def body_of_size(n):
    pattern = b"abcdefghijklmnopqrstuvwxyz0123456789\n"
    return (pattern * (n // len(pattern) + 1))[:n]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        server = self.server
        server.record(self.requestline)
        path = self.path.split("://", 1)[1].split("/", 1)[1] if "://" in self.path else self.path[1:]
        path = "/" + path
        for prefix, seconds in list(server.delays.items()):
            if path.startswith(prefix):
                time.sleep(seconds)
        status, ctype, body = 200, "text/plain", b"ok"
        for prefix, code in list(server.statuses.items()):
            if path.startswith(prefix):
                status = code
        if path == MANIFEST_PATH:
            ctype, body = "application/json; charset=utf-8", server.manifest.encode("utf-8")
        elif path == "/charset/utf8":
            ctype, body = "text/plain; Charset=UTF-8", UTF8_TEXT.encode("utf-8")
        elif path == "/charset/gbk":
            ctype, body = "text/plain; charset=GBK", GBK_TEXT.encode("gbk")
        elif path == "/charset/gbk-but-utf8":
            ctype, body = "text/plain; charset=GBK", UTF8_TEXT.encode("utf-8")
        elif path == "/hold":
            time.sleep(HOLD_SECONDS)
        elif path == "/charset/none":
            body = GBK_TEXT.encode("gbk")
        elif path.startswith("/size/"):
            body = body_of_size(int(path[6:]))
        elif path == "/cutoff":
            ctype, body = "text/html", b"<html><body>half a page"
        elif path == "/json":
            ctype, body = "application/json", b'{"errorcode": "0", "data": []}'
        elif path.startswith("/status/"):
            status = int(path[8:])
            body = f"error page {status}".encode()
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except OSError:
            pass  # the client gave up on a long body

    do_POST = do_GET


class LoopbackServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, name="http", log=None, tls=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.name = name
        self.log = Path(log) if log else None
        self.lock = threading.Lock()
        self.requests = []
        self.delays = {}
        self.statuses = {}  # path prefix -> the status code it answers with
        self.manifest = '{"errorcode": "1"}'
        self.tls = tls
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)

    @property
    def port(self):
        return self.server_address[1]

    @property
    def base(self):
        return f"http://127.0.0.1:{self.port}"

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.shutdown()
        self.server_close()

    def finish_request(self, request, client_address):
        if self.tls:
            # Handshakes happen here, on the connection's thread, so a client that
            # refuses the certificate is recorded as "<name>-tls ..." instead of lost.
            try:
                request = self.tls.wrap_socket(request, server_side=True)
            except OSError as e:
                self.record(f"handshake failed: {e}", tag="-tls")
                return
            self.record("handshake done", tag="-tls")
        super().finish_request(request, client_address)

    def record(self, line, tag=""):
        with self.lock:
            if not tag:
                self.requests.append(line)
            if self.log:
                with open(self.log, "a", encoding="utf-8") as f:
                    f.write(f"{self.name}{tag} {line}\n")

    def paths(self):
        with self.lock:
            return [line.split(" ")[1] for line in self.requests]

    def handle_error(self, request, client_address):
        pass  # refused handshakes and dropped clients are expected


def self_signed_context(folder):
    """A TLS context with a fresh self-signed certificate for 127.0.0.1."""
    if not shutil.which("openssl"):
        raise RuntimeError("openssl is missing: run scripts/setup.sh")
    key, cert = Path(folder) / "key.pem", Path(folder) / "cert.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", str(key), "-out", str(cert)],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def closed_port():
    """A loopback port nobody listens on (free a moment ago)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def run(command):
    with tempfile.TemporaryDirectory(prefix="kestrow-loopback-") as tmp:
        log = Path(tmp) / "requests.log"
        log.touch()
        servers = [LoopbackServer("http", log).start(), LoopbackServer("proxy", log).start(),
                   LoopbackServer("https", log, self_signed_context(tmp)).start()]
        env = dict(os.environ, KESTROW_TEST_CLOSED=str(closed_port()), KESTROW_TEST_HTTP=str(servers[0].port), KESTROW_TEST_PROXY=str(servers[1].port),
                   KESTROW_TEST_HTTPS=str(servers[2].port),
                   KESTROW_TEST_REQUEST_LOG="Z:" + str(log).replace("/", "\\"))
        try:
            return subprocess.run(command, env=env).returncode
        finally:
            for s in servers:
                s.stop()


if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[1] != "run":
        sys.exit(__doc__)
    sys.exit(run(sys.argv[2:]))
