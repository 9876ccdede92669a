#!/usr/bin/python3
"""A stand-in for the emulator's installer, for tests.

    fake_emulator.py [-silence] [-downloader] [-openid=ID] [-language=CODE] -path=FOLDER [-googleid=ID]

Any file name works (tests copy it to "Nimbaro" or "vxinst"). It
  1. takes FOLDER from the argument that starts with "-path=" (the folder may have arrived quoted as one
     argument) and creates it; without one it exits 2;
  2. appends its arguments (argv[1:]) as one JSON array on one line to FOLDER/installer.args.jsonl;
  3. writes FOLDER/qxplayer and FOLDER/qxconsole (mode 0755): each appends its own arguments as one JSON
     array line to "<its path>.args.jsonl" (FOLDER/qxplayer.args.jsonl, FOLDER/qxconsole.args.jsonl) and
     exits 0;
  4. writes "InstallDir=FOLDER" (FOLDER exactly as given) into the section "[KEY]" of the user registry
     file ${XDG_CONFIG_HOME:-$HOME/.config}/registry/HKEY_CURRENT_USER.ini, UTF-8. Other sections and
     values stay; a section is matched ignoring letter case; the file is replaced atomically.

Environment:
  NIMBARO_FAKE_REGISTRY_KEY   KEY, default "Software\\Orsolan\\Nimbaro9" (single backslashes in the file)
  NIMBARO_FAKE_INSTALL_DELAY_MS  sleep this long before exiting (for time-out tests)
  NIMBARO_FAKE_INSTALL_EXIT   exit code, default 0
"""
import json
import os
import sys
import tempfile
import time

PROGRAM = """#!/usr/bin/python3
import json, sys
with open(__file__ + ".args.jsonl", "a", encoding="utf-8") as f:
    f.write(json.dumps(sys.argv[1:], ensure_ascii=False) + "\\n")
sys.exit(0)
"""


def record(path, args):
    with open(path, "a", encoding="utf-8") as f:
        f.write(json.dumps(args, ensure_ascii=False) + "\n")


def write_program(path):
    with open(path, "w", encoding="utf-8") as f:
        f.write(PROGRAM)
    os.chmod(path, 0o755)


def registry_file():
    config = os.environ.get("XDG_CONFIG_HOME", "")
    if not config.startswith("/"):
        config = os.path.join(os.environ.get("HOME", os.path.expanduser("~")), ".config")
    return os.path.join(config, "registry", "HKEY_CURRENT_USER.ini")


def set_value(text, key, name, value):
    lines = text.splitlines()
    out, in_key, done = [], False, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if in_key and not done:
                out.append(f"{name}={value}")
                done = True
            in_key = stripped[1:-1].lower() == key.lower()
        elif in_key and not done and "=" in line and line.split("=", 1)[0].strip().lower() == name.lower():
            out.append(f"{name}={value}")
            done = True
            continue
        out.append(line)
    if not done:
        if not in_key:
            if out and out[-1].strip():
                out.append("")
            out.append(f"[{key}]")
        out.append(f"{name}={value}")
    return "\n".join(out) + "\n"


def write_registry(key, folder):
    path = registry_file()
    os.makedirs(os.path.dirname(path), exist_ok=True)
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        text = ""
    fd, tmp = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".HKEY_CURRENT_USER.")
    with os.fdopen(fd, "w", encoding="utf-8") as f:
        f.write(set_value(text, key, "InstallDir", folder))
    os.replace(tmp, path)


def main():
    args = sys.argv[1:]
    folder = next((a[len("-path="):] for a in args if a.startswith("-path=")), "")
    if not folder:
        print("fake emulator: no -path=", file=sys.stderr)
        return 2
    os.makedirs(folder, exist_ok=True)
    record(os.path.join(folder, "installer.args.jsonl"), args)
    for program in ("qxplayer", "qxconsole"):
        write_program(os.path.join(folder, program))
    write_registry(os.environ.get("NIMBARO_FAKE_REGISTRY_KEY", "Software\\Orsolan\\Nimbaro9"), folder)
    delay = int(os.environ.get("NIMBARO_FAKE_INSTALL_DELAY_MS", "0") or 0)
    if delay > 0:
        time.sleep(delay / 1000.0)
    return int(os.environ.get("NIMBARO_FAKE_INSTALL_EXIT", "0") or 0)


if __name__ == "__main__":
    sys.exit(main())
