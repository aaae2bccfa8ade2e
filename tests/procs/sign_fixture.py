#!/usr/bin/env python3
"""Signs a copy of the fixture with a certificate made for the build, and writes a
second copy whose code is changed after signing, so its digest no longer matches."""
import os
import shutil
import subprocess
import sys


def main(source, workdir, signed, tampered):
    os.makedirs(workdir, exist_ok=True)
    key = os.path.join(workdir, "signer.key")
    cert = os.path.join(workdir, "signer.crt")
    if not (os.path.exists(key) and os.path.exists(cert)):
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256",
                        "-days", "3650", "-subj", "/CN=Quillon Test Signer/O=Quillon Tests",
                        "-keyout", key, "-out", cert], check=True, capture_output=True)
    if os.path.exists(signed):
        os.remove(signed)
    subprocess.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-n", "Quillon fixture",
                    "-h", "sha256", "-in", source, "-out", signed], check=True, capture_output=True)
    shutil.copyfile(signed, tampered)
    with open(tampered, "r+b") as f:
        data = bytearray(f.read())
        # A byte well inside the code, far from the headers and the signature.
        at = 0x1000 + 0x10
        data[at] ^= 0xFF
        f.seek(0)
        f.write(data)


if __name__ == "__main__":
    main(*sys.argv[1:5])
