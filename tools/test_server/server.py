#!/usr/bin/python3
"""Local HTTPS server for tests, benchmarks and the demo.

Makes a throw-away CA and a server certificate with the openssl command at start-up, binds 127.0.0.1 on
a free port and prints two lines on standard output:

    PORT <n>
    CA <absolute path of the CA certificate (PEM)>

It serves files from --root and canned documents, records every request as one JSON line in --log, and
misbehaves on request, per path. A route (JSON object) may hold:

    status            answer with this status code (default 200)
    body / body_b64   canned body (text / base64); "json" serialises any JSON value as the body
    file              serve this file from the root instead of the request path
    content_type      Content-Type of the answer
    headers           extra response headers {name: value}
    no_content_length send no Content-Length and end the body by closing the connection
    redirect          answer with a chain of n redirects (302, or redirect_status) before the content
    rate              send the body at this many bytes per second
    stall_after       send this many body bytes, then send nothing more (until the server stops)
    truncate_after    announce the full length, send this many bytes, then close the connection
    fail_first        answer the first n requests with fail_status (default 500)

Routes come from --config {"routes": {"/path": {...}}, "cert_hosts": [...]} and can be changed while the
server runs: POST /__control {"routes": {"/path": {...} or null}, "clear": true}. Control requests are not
recorded. cert_hosts replaces the names the certificate is made for (default 127.0.0.1 and localhost).
"""
import argparse
import base64
import json
import os
import socket
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK = 64 * 1024


def make_certificates(folder, hosts):
    os.makedirs(folder, exist_ok=True)
    ca_key = os.path.join(folder, "ca.key")
    ca_pem = os.path.join(folder, "ca.pem")
    key = os.path.join(folder, "server.key")
    csr = os.path.join(folder, "server.csr")
    pem = os.path.join(folder, "server.pem")
    ext = os.path.join(folder, "server.ext")
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, "check": True}
    subprocess.run(["openssl", "req", "-x509", *ec, "-keyout", ca_key, "-out", ca_pem, "-days", "3",
                    "-subj", "/CN=Nimbaro Test CA",
                    "-addext", "basicConstraints=critical,CA:TRUE",
                    "-addext", "keyUsage=critical,keyCertSign,cRLSign"], **quiet)
    subprocess.run(["openssl", "req", *ec, "-keyout", key, "-out", csr, "-subj", "/CN=" + hosts[0]], **quiet)
    names = ",".join(("IP:" if h.replace(".", "").isdigit() else "DNS:") + h for h in hosts)
    with open(ext, "w") as f:
        f.write("basicConstraints=critical,CA:FALSE\n"
                "keyUsage=critical,digitalSignature,keyEncipherment\n"
                "extendedKeyUsage=serverAuth\n"
                "subjectAltName=" + names + "\n")
    subprocess.run(["openssl", "x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
                    "-out", pem, "-days", "3", "-extfile", ext], **quiet)
    return os.path.abspath(ca_pem), pem, key


class State:
    def __init__(self, root, log_path, routes):
        self.root = os.path.abspath(root)
        self.log_path = log_path
        self.lock = threading.Lock()
        self.routes = dict(routes)
        self.counts = {}
        self.stopping = threading.Event()

    def route(self, path):
        with self.lock:
            r = self.routes.get(path)
            if r is None:
                return {}, 0
            n = self.counts.get(path, 0) + 1
            self.counts[path] = n
            return dict(r), n

    def control(self, doc):
        with self.lock:
            if doc.get("clear"):
                self.routes.clear()
                self.counts.clear()
            for path, r in (doc.get("routes") or {}).items():
                self.counts.pop(path, None)
                if r is None:
                    self.routes.pop(path, None)
                else:
                    self.routes[path] = r

    def record(self, entry):
        line = json.dumps(entry, ensure_ascii=False)
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as f:
                f.write(line + "\n")
                f.flush()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "NimbaroTestServer"
    sys_version = ""

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.handle_any()

    def do_POST(self):
        self.handle_any()

    def do_PUT(self):
        self.handle_any()

    def do_HEAD(self):
        self.handle_any()

    def read_body(self):
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            data = b""
            while True:
                size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return data
                data += self.rfile.read(size)
                self.rfile.readline()
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def handle_any(self):
        state = self.server.state
        url = urllib.parse.urlsplit(self.path)
        body = self.read_body()
        if url.path == "/__control":
            try:
                state.control(json.loads(body or b"{}"))
                self.answer(200, b'{"ok":true}', {"Content-Type": "application/json"})
            except Exception as e:  # a broken control document is the test's fault: say so
                self.answer(400, str(e).encode(), {})
            return
        entry = {"method": self.command, "path": url.path, "query": url.query,
                 "headers": [[k, v] for k, v in self.headers.items()]}
        try:
            entry["body"] = body.decode("utf-8")
        except UnicodeDecodeError:
            entry["body_b64"] = base64.b64encode(body).decode()
        state.record(entry)

        route, count = state.route(url.path)
        if count and count <= int(route.get("fail_first", 0)):
            status = int(route.get("fail_status", 500))
            self.answer(status, b"failing on purpose", {"Content-Type": "text/plain"})
            return
        hops = int(route.get("redirect", 0))
        if hops:
            query = urllib.parse.parse_qs(url.query)
            hop = int(query.get("__hop", ["0"])[0])
            if hop < hops:
                location = url.path + "?__hop=%d" % (hop + 1)
                self.answer(int(route.get("redirect_status", 302)), b"", {"Location": location})
                return
        self.serve(route, url.path)

    def content(self, route, path):
        if "body" in route:
            return route["body"].encode("utf-8"), "text/plain; charset=utf-8"
        if "body_b64" in route:
            return base64.b64decode(route["body_b64"]), "application/octet-stream"
        if "json" in route:
            return json.dumps(route["json"], ensure_ascii=False).encode("utf-8"), "application/json"
        if self.command == "POST" and "file" not in route:
            return None, None
        name = route.get("file", path).lstrip("/")
        full = os.path.abspath(os.path.join(self.server.state.root, name))
        if not full.startswith(self.server.state.root + os.sep) or not os.path.isfile(full):
            return None, None
        return full, "application/octet-stream"

    def serve(self, route, path):
        content, ctype = self.content(route, path)
        status = int(route.get("status", 200))
        if content is None:
            if self.command == "POST" and "status" not in route:
                self.answer(204, b"", {})
            else:
                self.answer(route.get("status", 404), b"not found", {"Content-Type": "text/plain"})
            return
        size = os.path.getsize(content) if isinstance(content, str) else len(content)
        headers = {"Content-Type": route.get("content_type", ctype)}
        headers.update(route.get("headers", {}))
        close = bool(route.get("no_content_length"))
        if not close:
            headers["Content-Length"] = str(size)
        else:
            headers["Connection"] = "close"
        self.send_response(status)
        for k, v in headers.items():
            self.send_header(k, v)
        self.end_headers()
        if self.command == "HEAD":
            return
        limit = size
        if "stall_after" in route:
            limit = min(size, int(route["stall_after"]))
        if "truncate_after" in route:
            limit = min(size, int(route["truncate_after"]))
        self.send_body(content, limit, float(route.get("rate", 0)))
        if "stall_after" in route:
            self.wfile.flush()
            state = self.server.state
            while not state.stopping.wait(1.0):
                pass
        if close or limit < size:
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def send_body(self, content, limit, rate):
        started = time.monotonic()
        sent = 0
        source = open(content, "rb") if isinstance(content, str) else None
        try:
            while sent < limit:
                step = min(CHUNK, limit - sent)
                if rate > 0:
                    step = min(step, max(1, int(rate / 10)))
                piece = source.read(step) if source else content[sent:sent + step]
                if not piece:
                    break
                self.wfile.write(piece)
                sent += len(piece)
                if rate > 0:
                    self.wfile.flush()
                    due = started + sent / rate
                    delay = due - time.monotonic()
                    if delay > 0:
                        time.sleep(delay)
        finally:
            if source:
                source.close()

    def answer(self, status, body, headers):
        self.send_response(int(status))
        for k, v in headers.items():
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False

    def handle_error(self, request, client_address):
        pass  # refused handshakes and clients that hang up are part of the tests


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True, help="folder whose files are served")
    parser.add_argument("--workdir", required=True, help="folder for the certificates")
    parser.add_argument("--log", required=True, help="JSON-lines file of the recorded requests")
    parser.add_argument("--config", help="JSON file with routes and cert_hosts")
    args = parser.parse_args()

    config = {}
    if args.config:
        with open(args.config, encoding="utf-8") as f:
            config = json.load(f)
    hosts = config.get("cert_hosts") or ["127.0.0.1", "localhost"]
    ca, cert, key = make_certificates(os.path.join(args.workdir, "tls"), hosts)

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server = Server(("127.0.0.1", 0), Handler)
    server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    server.state = State(args.root, args.log, config.get("routes", {}))
    open(args.log, "a").close()

    print("PORT %d" % server.server_address[1], flush=True)
    print("CA %s" % ca, flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.state.stopping.set()


if __name__ == "__main__":
    sys.exit(main())
