"""SMTP servers on 127.0.0.1 for the mail tests.

Real aiosmtpd servers (plain, AUTH LOGIN and CRAM-MD5, STARTTLS, TLS from the
start with several certificates) and scripted servers for the error paths.
Each delivered mail is written to STATE/mail/<port>-<recipient>.txt, each AUTH
attempt appended to STATE/auth.log. Exits by itself after the time limit.
"""
import asyncio
import base64
import hmac
import os
import secrets
import socket
import ssl
import struct
import sys
import time

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword, auth_mechanism

PASSWORD = b"s3cret-pass"

# Real servers.
PLAIN = 841            # no AUTH offered
PLAIN_LOGIN = 842      # AUTH LOGIN and PLAIN
PLAIN_CRAM = 843       # AUTH LOGIN and CRAM-MD5
STARTTLS = 844         # STARTTLS required, AUTH LOGIN
TLS_GOOD = 845         # TLS from the start, good certificate
TLS_WRONG_NAME = 846
TLS_SELF_SIGNED = 847
TLS_EXPIRED = 848
STARTTLS_CRAM = 849    # STARTTLS that also offers CRAM-MD5
TLS_TRICKLE = 850      # accepts, then trickles a byte every 9 s instead of a handshake
# Scripted servers.
GREETING_554 = 851
RCPT_550 = 852
STALLED = 853
SPLIT = 854
CLOSES = 855
LONG_CRAM = 856
UNEXPECTED_220 = 857
BACKLOG_FULL = 858
TLS_SILENT = 860
STARTTLS_INJECT = 861  # a reply line smuggled in behind 220 STARTTLS
BAD_CRAM = 862         # a CRAM-MD5 challenge that is not Base64; no 8BITMIME

state = sys.argv[1]
time_limit = float(sys.argv[2]) if len(sys.argv) > 2 else 900
certs = os.path.join(state, "certs")
os.makedirs(os.path.join(state, "mail"), exist_ok=True)


def log_auth(port, mechanism, login):
    with open(os.path.join(state, "auth.log"), "a") as f:
        f.write(f"{port} {mechanism} {login}\n")


# Server name each TLS connection asked for (SNI), by its SSL object.
sni_names = {}


def remember_sni(ssl_object, name, context):
    sni_names[id(ssl_object)] = name or "-"


def record_mail(port, mechanism, login, mail_from, rcpts, content, sni="plain", params="-"):
    for rcpt in rcpts:
        name = os.path.join(state, "mail", f"{port}-{rcpt}.txt")
        with open(name + ".tmp", "wb") as f:
            f.write(f"MAILFROM {mail_from}\nRCPT {' '.join(rcpts)}\nAUTH {mechanism} {login}\n"
                    f"SNI {sni}\nPARAMS {params}\n\n".encode())
            f.write(content)
        os.replace(name + ".tmp", name)


class Handler:
    def __init__(self, port):
        self.port = port

    @auth_mechanism("CRAM-MD5")
    async def auth_CRAM__MD5(self, server, args):
        challenge = f"<{secrets.randbelow(10**9)}.{int(time.time())}@testsmtpd.local>".encode()
        response = await server.challenge_auth(challenge)
        if not isinstance(response, bytes) or b" " not in response:
            return AuthResult(success=False, handled=False)
        login, digest = response.rsplit(b" ", 1)
        log_auth(self.port, "CRAM-MD5", login.decode(errors="replace"))
        expected = hmac.new(PASSWORD, challenge, "md5").hexdigest().encode()
        server.session.mechanism = "CRAM-MD5"
        return AuthResult(success=hmac.compare_digest(digest, expected), handled=False,
                          auth_data=LoginPassword(login, b""))

    async def handle_DATA(self, server, session, envelope):
        data = getattr(session, "auth_data", None)
        login = getattr(data, "login", None)
        ssl_object = server.transport.get_extra_info("ssl_object")
        sni = sni_names.get(id(ssl_object), "-") if ssl_object is not None else "plain"
        record_mail(self.port, getattr(session, "mechanism", "none"),
                    login.decode(errors="replace") if login else "-",
                    envelope.mail_from, envelope.rcpt_tos, envelope.original_content, sni,
                    " ".join(envelope.mail_options) or "-")
        return "250 2.0.0 OK queued"


def make_authenticator(port):
    def authenticator(server, session, envelope, mechanism, auth_data):
        login = auth_data.login.decode(errors="replace")
        log_auth(port, mechanism, login)
        session.mechanism = mechanism
        if auth_data.password == PASSWORD:
            return AuthResult(success=True, auth_data=auth_data)
        # handled=False so that the server itself answers 535.
        return AuthResult(success=False, handled=False)
    return authenticator


def server_context(name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(certs, name + ".pem"), os.path.join(certs, name + ".key"))
    context.sni_callback = remember_sni
    return context


async def start_real(port, *, auth=True, cram=False, starttls_cert=None, tls_cert=None):
    exclude = [] if cram else ["CRAM-MD5"]
    kwargs = dict(hostname="testsmtpd.local", auth_require_tls=False,
                  auth_exclude_mechanism=exclude)
    if auth:
        kwargs["authenticator"] = make_authenticator(port)
    else:
        kwargs["auth_exclude_mechanism"] = ["LOGIN", "PLAIN", "CRAM-MD5"]
    if starttls_cert:
        kwargs["tls_context"] = server_context(starttls_cert)
        kwargs["require_starttls"] = True
    handler = Handler(port)
    loop = asyncio.get_running_loop()
    await loop.create_server(lambda: SMTP(handler, **kwargs), "127.0.0.1", port,
                             ssl=server_context(tls_cert) if tls_cert else None,
                             reuse_address=True)


# Scripted dialogues: each takes the stream pair of one connection.
async def read_command(reader):
    line = await reader.readline()
    if not line:
        raise ConnectionError
    return line.decode(errors="replace").strip()


async def send(writer, text):
    writer.write(text.encode())
    await writer.drain()


async def accept_mail(reader, writer, port, split=False, first=None):
    """The rest of a dialogue after EHLO, recording the mail. Like a strict
    server it refuses 8-bit text not declared with BODY=8BITMIME and lines
    longer than 998 octets. Recipients named forward-... are answered 251,
    stallrcpt-... only after 2 s; for quitfail-... the connection is reset
    just after the RCPT reply. Each QUIT is noted in STATE/quit.log."""
    mail_from, rcpts, mechanism, login, params = "", [], "none", "-", "-"
    while True:
        command, first = (first, None) if first is not None else (await read_command(reader), None)
        verb = command.split(" ")[0].upper()
        if verb == "AUTH" and command.upper() == "AUTH LOGIN":
            await send(writer, "334 VXNlcm5hbWU6\r\n")
            login = base64.b64decode(await read_command(reader)).decode()
            await send(writer, "334 UGFzc3dvcmQ6\r\n")
            password = base64.b64decode(await read_command(reader))
            mechanism = "LOGIN"
            log_auth(port, mechanism, login)
            await send(writer, "235 2.7.0 ok\r\n" if password == PASSWORD else "535 5.7.8 no\r\n")
        elif verb == "AUTH" and command.upper() == "AUTH CRAM-MD5":
            host = "very-long-host-name-" * 12 + ".example.test"
            challenge = f"<{secrets.randbelow(10**9)}.{int(time.time())}@{host}>".encode()
            await send(writer, "334 " + base64.b64encode(challenge).decode() + "\r\n")
            response = base64.b64decode(await read_command(reader))
            login, digest = response.decode().rsplit(" ", 1)
            mechanism = "CRAM-MD5"
            log_auth(port, mechanism, login)
            good = digest == hmac.new(PASSWORD, challenge, "md5").hexdigest()
            await send(writer, "235 2.7.0 ok\r\n" if good else "535 5.7.8 no\r\n")
        elif verb == "MAIL":
            mail_from = command[command.index("<") + 1:command.rindex(">")]
            params = command[command.rindex(">") + 1:].strip() or "-"
            await send(writer, "250 2.1.0 ok\r\n")
        elif verb == "RCPT":
            rcpts.append(command[command.index("<") + 1:command.rindex(">")])
            if rcpts[-1].startswith("drop-"):
                writer.transport.abort()  # gone, without a TLS close_notify
                return
            if rcpts[-1].startswith("stallrcpt-"):
                # The reply comes late; what the client sends meanwhile
                # (a QUIT after a cancel) is taken before the client is gone.
                try:
                    early = await asyncio.wait_for(reader.readline(), 2)
                    first = early.decode(errors="replace").strip() if early else None
                except asyncio.TimeoutError:
                    pass
            if rcpts[-1].startswith("forward-"):
                await send(writer, "251 2.1.5 user not local; will forward\r\n")
                continue
            await send(writer, "250 2.1.5 ok\r\n")
            if rcpts[-1].startswith("quitfail-"):
                await asyncio.sleep(0.3)
                raw = writer.get_extra_info("socket")
                raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                writer.transport.abort()
                return
        elif verb == "DATA":
            await send(writer, "354 go ahead\r\n")
            lines = []
            while True:
                line = await reader.readline()
                if not line:
                    raise ConnectionError
                if line == b".\r\n":
                    break
                lines.append(line[1:] if line.startswith(b".") else line)
            content = b"".join(lines)
            if any(len(line) > 1000 for line in lines):
                await send(writer, "500 5.5.2 line too long\r\n")
                continue
            if "BODY=8BITMIME" not in params.upper() and any(b >= 0x80 for b in content):
                await send(writer, "554 5.6.0 8-bit text without BODY=8BITMIME\r\n")
                continue
            record_mail(port, mechanism, login, mail_from, rcpts, content, params=params)
            if any(r.startswith("slow250-") for r in rcpts):
                await asyncio.sleep(3)  # the text is in; the 250 comes late
            if split:
                await send(writer, "25")
                await asyncio.sleep(0.06)
                await send(writer, "0 2.0.0 queued\r\n")
            else:
                await send(writer, "250 2.0.0 queued\r\n")
            if any(r.startswith("reset-") for r in rcpts):
                # Accepted, then reset at once: the QUIT that follows fails.
                raw = writer.get_extra_info("socket")
                raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                writer.transport.abort()
                return
        elif verb == "QUIT":
            with open(os.path.join(state, "quit.log"), "a") as f:
                f.write(f"{port} {' '.join(rcpts) or '-'}\n")
            await send(writer, "221 bye\r\n")
            return
        else:
            await send(writer, "500 unknown\r\n")


EHLO_LINES = ["250-testsmtpd.local", "250-SIZE 33554432", "250-8BITMIME",
              "250-AUTH LOGIN CRAM-MD5", "250 HELP"]


async def scripted(port, reader, writer):
    if port == GREETING_554:
        # A server that refuses service answers every command but QUIT with 503.
        await send(writer, "554 5.3.2 no service here\r\n")
        while True:
            command = await read_command(reader)
            if command.upper() == "QUIT":
                await send(writer, "221 bye\r\n")
                return
            await send(writer, "503 5.5.1 bad sequence of commands\r\n")
    if port == SPLIT:
        await send(writer, "220-testsmtpd.local\r\n")
        await asyncio.sleep(0.06)
        await send(writer, "220 ready\r\n")
        await read_command(reader)
        for line in EHLO_LINES:
            await asyncio.sleep(0.06)
            await send(writer, line + "\r\n")
        await accept_mail(reader, writer, port, split=True)
        return
    if port == STARTTLS_INJECT:
        await send(writer, "220 testsmtpd.local ready\r\n")
        await read_command(reader)
        await send(writer, "250-testsmtpd.local\r\n250-STARTTLS\r\n250 HELP\r\n")
        if (await read_command(reader)).upper() != "STARTTLS":
            return
        await send(writer, "220 go ahead\r\n250-injected\r\n250 injected\r\n")
        await writer.start_tls(server_context("good"))
        await read_command(reader)  # EHLO over TLS
        await send(writer, "250-testsmtpd.local\r\n250 AUTH LOGIN\r\n")
        await accept_mail(reader, writer, port)
        return
    if port == BAD_CRAM:
        # Without a logon it takes mail, and offers no 8BITMIME.
        await send(writer, "220 testsmtpd.local ready\r\n")
        await read_command(reader)
        await send(writer, "250-testsmtpd.local\r\n250 AUTH CRAM-MD5\r\n")
        command = await read_command(reader)
        if not command.upper().startswith("AUTH"):
            await accept_mail(reader, writer, port, first=command)
            return
        await send(writer, "334 not*base64\r\n")
        while await reader.readline():
            pass
        return
    if port == LONG_CRAM:
        await send(writer, "220 testsmtpd.local ready\r\n")
        await read_command(reader)
        await send(writer, "\r\n".join(EHLO_LINES) + "\r\n")
        await accept_mail(reader, writer, port)
        return
    await send(writer, "220 testsmtpd.local ready\r\n")
    await read_command(reader)
    await send(writer, "250-testsmtpd.local\r\n250-AUTH LOGIN\r\n250 HELP\r\n")
    if port == UNEXPECTED_220:
        await read_command(reader)  # AUTH LOGIN
        await send(writer, "220 what?\r\n")
    elif port == RCPT_550:
        await read_command(reader)
        await send(writer, "250 2.1.0 ok\r\n")
        await read_command(reader)
        await send(writer, "550 5.1.1 <nobody@example.test>: Recipient address rejected\r\n")
    elif port == STALLED:
        await read_command(reader)
        await asyncio.sleep(60)
    elif port == CLOSES:
        await read_command(reader)
        writer.close()
        return
    while await reader.readline():
        pass


async def trickle(reader, writer):
    try:
        for byte in (b"\x16", b"\x03", b"\x03", b"\x00", b"\x40"):
            await asyncio.sleep(9)
            await send(writer, byte.decode("latin-1"))
    except ConnectionError:
        pass
    finally:
        writer.close()


async def start_scripted(port):
    async def serve(reader, writer):
        try:
            await scripted(port, reader, writer)
        except (ConnectionError, ValueError):
            pass
        finally:
            writer.close()
    await asyncio.start_server(serve, "127.0.0.1", port, reuse_address=True)


def backlog_full_listener(port):
    """A listener whose backlog is full: further connects hang."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(0)
    parked = []
    for _ in range(2):
        s = socket.socket()
        s.setblocking(False)
        try:
            s.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        parked.append(s)
    return listener, parked


async def main():
    await start_real(PLAIN, auth=False)
    await start_real(PLAIN_LOGIN)
    await start_real(PLAIN_CRAM, cram=True)
    await start_real(STARTTLS, starttls_cert="good")
    await start_real(STARTTLS_CRAM, cram=True, starttls_cert="good")
    await start_real(TLS_GOOD, tls_cert="good")
    await start_real(TLS_WRONG_NAME, tls_cert="wrongname")
    await start_real(TLS_SELF_SIGNED, tls_cert="selfsigned")
    await start_real(TLS_EXPIRED, tls_cert="expired")
    for port in (GREETING_554, RCPT_550, STALLED, SPLIT, CLOSES, LONG_CRAM, UNEXPECTED_220,
                 STARTTLS_INJECT, BAD_CRAM):
        await start_scripted(port)
    await asyncio.start_server(trickle, "127.0.0.1", TLS_TRICKLE, reuse_address=True)
    silent = socket.socket()
    silent.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    silent.bind(("127.0.0.1", TLS_SILENT))
    silent.listen(8)  # accepted by the kernel, never answered
    keep = (backlog_full_listener(BACKLOG_FULL), silent)
    # Every port that accepts connections (the full backlog never does), for
    # the start-up to try before the tests run; written whole, then renamed.
    accepting = [PLAIN, PLAIN_LOGIN, PLAIN_CRAM, STARTTLS, STARTTLS_CRAM, TLS_GOOD, TLS_WRONG_NAME,
                 TLS_SELF_SIGNED, TLS_EXPIRED, GREETING_554, RCPT_550, STALLED, SPLIT, CLOSES,
                 LONG_CRAM, UNEXPECTED_220, STARTTLS_INJECT, BAD_CRAM, TLS_SILENT]
    ready = os.path.join(state, "ready")
    with open(ready + ".tmp", "w") as f:
        f.write(" ".join(str(port) for port in accepting) + "\n")
    os.replace(ready + ".tmp", ready)
    deadline = time.monotonic() + time_limit
    stop_file = os.path.join(state, "stop")
    while time.monotonic() < deadline and not os.path.exists(stop_file):
        await asyncio.sleep(0.2)
    del keep


asyncio.run(main())
