"""A real SMTP server for the tests, on 127.0.0.1 (aiosmtpd).

Prints the port it listens on, then keeps every message it accepts as N.json
(envelope, decoded headers, text, attachments saved beside it as N-NAME).

  smtp_server.py --folder DIR [--mode plain|starttls|ssl|silent]
                 [--certs DIR] [--user U --password P] [--refuse ADDRESS]
"""
import argparse
import asyncio
import email
import email.policy
import json
import os
import socket
import ssl
import subprocess
import sys
import time

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def make_certificates(folder):
    """A throw-away authority and a certificate for 127.0.0.1 and localhost signed by it."""
    ca, server = os.path.join(folder, "ca.pem"), os.path.join(folder, "server.pem")
    if os.path.exists(ca) and os.path.exists(server):
        return
    os.makedirs(folder, exist_ok=True)
    run = lambda *args: subprocess.run(["openssl", *args], check=True, capture_output=True, cwd=folder)
    curve = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run("req", "-x509", *curve, "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
        "-subj", "/CN=Quindelo test authority",
        "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run("req", *curve, "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1")
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\n")
    run("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
        "-out", "server.pem", "-days", "2", "-extfile", "server.ext")


class Keeper:
    def __init__(self, folder, refused):
        self.folder, self.refused, self.count = folder, refused, 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        raw = envelope.original_content or envelope.content
        message = email.message_from_bytes(raw, policy=email.policy.default)
        body = message.get_body(preferencelist=("plain",))
        attachments = []
        for part in message.iter_attachments():
            path = os.path.join(self.folder, "%d-%s" % (self.count, part.get_filename()))
            with open(path, "wb") as out:
                out.write(part.get_content())
            attachments.append({"filename": part.get_filename(), "type": part.get_content_type(), "path": path})
        date = message["Date"]
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "login": session.auth_data.decode() if session.authenticated else None,
            "tls": session.ssl is not None or server.transport.get_extra_info("ssl_object") is not None,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "date_valid": date is not None and date.datetime is not None,
            "message_id": str(message["Message-ID"] or ""),
            "headers_ascii": all(ord(c) < 128 for c in raw.split(b"\r\n\r\n", 1)[0].decode("latin-1")),
            "text": body.get_content() if body is not None else None,
            "text_charset": body.get_content_charset() if body is not None else None,
            "attachments": attachments,
        }
        # Written whole, then renamed, so a reader never sees half a file.
        target = os.path.join(self.folder, "%d.json" % self.count)
        with open(target + ".part", "w", encoding="utf-8") as out:
            json.dump(record, out, ensure_ascii=False)
        os.rename(target + ".part", target)
        return "250 Message accepted"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--mode", default="plain", choices=["plain", "starttls", "ssl", "silent"])
    parser.add_argument("--certs")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--refuse", action="append", default=[])
    args = parser.parse_args()

    if args.mode == "silent":
        # Takes connections and never says a word.
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(8)
        print(listener.getsockname()[1], flush=True)
        while True:
            time.sleep(3600)

    context = None
    if args.mode in ("starttls", "ssl"):
        make_certificates(args.certs)
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(os.path.join(args.certs, "server.pem"), os.path.join(args.certs, "server.key"))

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        return AuthResult(success=ok, handled=False, auth_data=auth_data.login if ok else None)

    keeper = Keeper(args.folder, set(args.refuse))
    options = {"hostname": "localhost"}
    if args.user:
        # Implicit TLS is secure from the start; aiosmtpd only counts STARTTLS.
        options.update(authenticator=authenticator, auth_required=True,
                       auth_require_tls=args.mode == "starttls")
    if args.mode == "starttls":
        options.update(tls_context=context, require_starttls=True)

    loop = asyncio.new_event_loop()
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(keeper, **options), host="127.0.0.1", port=0,
        ssl=context if args.mode == "ssl" else None))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()


if __name__ == "__main__":
    sys.exit(main())
