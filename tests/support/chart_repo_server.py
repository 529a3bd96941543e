#!/usr/bin/env python3
"""A Helm chart repository on 127.0.0.1 over HTTPS, for the pre-flight check's tests.
usage: chart_repo_server.py SUBJECT FOLDER. SUBJECT is the certificate's subject alternative name
(IP:127.0.0.1 for a right one); FOLDER gets cert.pem. Prints the port, then serves until killed."""
import http.server
import os
import ssl
import subprocess
import sys


class Index(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        found = self.path.endswith("/index.yaml")
        body = b"apiVersion: v1\nentries: {}\n" if found else b"not found\n"
        self.send_response(200 if found else 404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


subject, folder = sys.argv[1], sys.argv[2]
cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                "/CN=" + subject.split(":")[1], "-addext", "subjectAltName=" + subject,
                "-keyout", key, "-out", cert], check=True, capture_output=True)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Index)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
