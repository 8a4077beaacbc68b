"""A loopback SMTP server for the tests: stores every message with its
envelope and logs the commands that matter (connections, EHLO, STARTTLS,
AUTH, MAIL, RCPT, DATA) one per line."""
import argparse
import asyncio
import json
import os
import ssl
import sys
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

parser = argparse.ArgumentParser()
parser.add_argument("--port", type=int, required=True)
parser.add_argument("--dir", required=True)
parser.add_argument("--user")
parser.add_argument("--password")
parser.add_argument("--refuse-plain", action="store_true")
parser.add_argument("--cert")
parser.add_argument("--key")
parser.add_argument("--implicit-tls", action="store_true")
args = parser.parse_args()

log_path = os.path.join(args.dir, "commands.log")


def log(line):
    with open(log_path, "a", encoding="utf-8") as f:
        f.write(line + "\n")


serving = False


class LoggingSMTP(SMTP):
    def connection_made(self, transport):
        # The controller's own start-up probe is not a client.
        if serving:
            log("CONNECT")
        super().connection_made(transport)

    async def smtp_STARTTLS(self, arg):
        log("STARTTLS")
        return await super().smtp_STARTTLS(arg)


class Handler:
    count = 0

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        log("EHLO")
        session.host_name = hostname
        return responses

    async def handle_MAIL(self, server, session, envelope, address, options):
        log("MAIL " + address)
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        log("RCPT " + address)
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        base = os.path.join(args.dir, "mail%d" % Handler.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json", "w", encoding="utf-8") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos}, f)
        log("DATA")
        return "250 Message accepted"


def authenticator(server, session, envelope, mechanism, auth_data):
    log("AUTH " + mechanism)
    if args.refuse_plain and mechanism == "PLAIN":
        return AuthResult(success=False, handled=False)
    if isinstance(auth_data, LoginPassword) and args.user is not None:
        if auth_data.login.decode() == args.user and auth_data.password.decode() == args.password:
            return AuthResult(success=True)
    return AuthResult(success=False, handled=False)


class Ctl(Controller):
    def factory(self):
        return LoggingSMTP(self.handler, **self.SMTP_kwargs)


kwargs = {"auth_require_tls": False, "authenticator": authenticator}
tls = None
if args.cert:
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(args.cert, args.key)
ctl_args = {}
if args.implicit_tls:
    ctl_args["ssl_context"] = tls
elif tls is not None:
    kwargs["tls_context"] = tls
    kwargs["require_starttls"] = True

ctl = Ctl(Handler(), hostname="127.0.0.1", port=args.port, server_kwargs=kwargs, **ctl_args)
ctl.start()
serving = True
print("READY", flush=True)
try:
    sys.stdin.read()
finally:
    ctl.stop()
