#!/usr/bin/python3
"""FTP and HTTP servers on 127.0.0.1 for the exchange tests and benchmark.

    test_servers.py ftp <root>    accounts "officer" (home <root>/officer,
                                  which holds wwwroot/) and "plain" (home
                                  <root>/plain, no wwwroot/), both with the
                                  password "secret"; file names in GBK; only
                                  active mode (PORT/EPRT): PASV and EPSV are
                                  refused. Each login is appended to
                                  <root>/logins.log.
    test_servers.py ftp-nat <root>     the same, but the client cannot be
                                  reached for active mode (as behind NAT:
                                  the server's connection back fails, 425);
                                  passive mode is offered.
    test_servers.py ftp-foreign <root> the same as "ftp", but the data
                                  connections of active mode come from
                                  127.0.0.2, not the server's own address.
    test_servers.py ftp-slow <root>    the same as "ftp", but files are sent
                                  at 512 bytes a second.
    test_servers.py http <root>   serves the files below <root>; every
                                  request's headers are appended to
                                  <root>/../requests.log; every path that
                                  begins with "/error" answers 404 with an
                                  HTML page.

Each binds a free port and prints "PORT <n>" on its first line. It runs
until it is killed.
"""
import http.server
import json
import logging
import os
import sys


def serve_ftp(root, mode=""):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import ActiveDTP, FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer

    officer = os.path.join(root, "officer")
    plain = os.path.join(root, "plain")
    os.makedirs(os.path.join(officer, "wwwroot"), exist_ok=True)
    os.makedirs(plain, exist_ok=True)
    authorizer = DummyAuthorizer()
    authorizer.add_user("officer", "secret", officer, perm="elradfmwMT")
    authorizer.add_user("plain", "secret", plain, perm="elradfmwMT")

    class Handler(FTPHandler):
        auth_failed_timeout = 0.1

        def decode(self, data):
            # The Windows program sends names in its ANSI code page.
            return data.decode("gb18030", "replace")

        def on_login(self, username):
            with open(os.path.join(root, "logins.log"), "a", encoding="utf-8") as log:
                log.write(username + "\n")

        if mode != "nat":
            def ftp_PASV(self, line):
                self.respond("502 Passive mode is not offered here.")

            def ftp_EPSV(self, line):
                self.respond("502 Passive mode is not offered here.")
        else:
            # The address the client names cannot be reached from here.
            def ftp_PORT(self, line):
                parts = line.split(",")
                parts[-2:] = ["0", "1"]
                return FTPHandler.ftp_PORT(self, ",".join(parts))

            def ftp_EPRT(self, line):
                fields = line.split(line[0])
                fields[-2] = "1"
                return FTPHandler.ftp_EPRT(self, line[0].join(fields))

    if mode == "foreign":
        class ForeignDTP(ActiveDTP):
            def connect_af_unspecified(self, addr, source_address=None):
                return ActiveDTP.connect_af_unspecified(self, addr, ("127.0.0.2", 0))
        Handler.active_dtp = ForeignDTP
    if mode == "slow":
        class SlowDTP(ThrottledDTPHandler):
            ac_out_buffer_size = 256
            write_limit = 512
        Handler.dtp_handler = SlowDTP

    Handler.authorizer = authorizer
    Handler.encoding = "gb18030"
    logging.basicConfig(level=logging.ERROR)
    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=False)


def serve_http(root):
    log_path = os.path.join(os.path.dirname(os.path.abspath(root)), "requests.log")

    class Handler(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=root, **kwargs)

        def do_GET(self):
            with open(log_path, "a", encoding="utf-8") as log:
                log.write(json.dumps({"path": self.path, "headers": list(self.headers.items())}) + "\n")
            if self.path.startswith("/error"):
                body = b"<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body></html>"
                self.send_response(404)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            super().do_GET()

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("ftp", "ftp-nat", "ftp-foreign", "ftp-slow", "http"):
        sys.exit(__doc__)
    if sys.argv[1] == "http":
        serve_http(sys.argv[2])
    else:
        serve_ftp(sys.argv[2], sys.argv[1][4:])
