#!/usr/bin/python3
"""Fails when the prefix a user runs the programs in trusts the test CA.

usage: check_prefix_trust.py USER_PREFIX TEST_PREFIX

Reads the prefixes' system.reg files only. The test prefix must trust the CA
(the mail tests put it there), which shows that the search finds it at all.
"""
import re
import sys
import time

CA_NAME = b"Sopora Mail Test CA"
ROOT_KEY = "[software\\\\microsoft\\\\systemcertificates\\\\root\\\\certificates\\\\"


def root_blobs(path):
    """Yields the bytes of every value under the ROOT store's certificates."""
    try:
        text = open(path, encoding="utf-8", errors="replace").read()
    except FileNotFoundError:
        return
    section = False
    value = None
    for line in text.splitlines():
        if line.startswith("["):
            section = line.lower().startswith(ROOT_KEY)
            continue
        if not section:
            continue
        if value is not None:
            value += line.strip()
        else:
            m = re.match(r'^"[^"]*"=hex(?:\([0-9a-f]+\))?:(.*)$', line)
            if not m:
                continue
            value = m.group(1)
        if value.endswith("\\"):
            value = value[:-1]
            continue
        yield bytes.fromhex(value.replace(",", ""))
        value = None


def trusts_test_ca(prefix):
    return any(CA_NAME in blob for blob in root_blobs(prefix + "/system.reg"))


def main():
    user_prefix, test_prefix = sys.argv[1], sys.argv[2]
    # The wine server writes the registry to system.reg only every 30 seconds
    # or so while other tests keep it running: on a fresh prefix the CA the
    # mail tests just added may not be on disk yet.
    deadline = time.monotonic() + 90
    while not trusts_test_ca(test_prefix) and time.monotonic() < deadline:
        time.sleep(1)
    if not trusts_test_ca(test_prefix):
        print(f"the test prefix {test_prefix} does not trust the test CA: the check finds nothing")
        return 1
    if trusts_test_ca(user_prefix):
        print(f"the user's prefix {user_prefix} trusts the test CA")
        return 1
    print(f"the test CA is trusted only in the test prefix ({test_prefix})")
    return 0


sys.exit(main())
