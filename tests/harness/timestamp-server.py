#!/usr/bin/env python3
"""An RFC 3161 time-stamp server on 127.0.0.1 for the signing tests: it answers
each request with openssl ts -reply as the test authority's time-stamp
authority (tests/harness/test-certificates.sh). Prints its port, then serves
until it is stopped.
    timestamp-server.py TIMESTAMP_CNF
"""
import http.server
import subprocess
import sys
import tempfile

CONFIG = sys.argv[1]


class TimeStamper(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.NamedTemporaryFile() as file:
            file.write(query)
            file.flush()
            reply = subprocess.run(["openssl", "ts", "-reply", "-config", CONFIG,
                                    "-queryfile", file.name], capture_output=True)
        self.send_response(200 if reply.returncode == 0 else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamper)
print(server.server_address[1], flush=True)
server.serve_forever()
