#!/usr/bin/python3
"""Runs the installer's main job against the local demo server.

    run_demo.py INSTALLER [--keep]

Starts tools/test_server/server.py on 127.0.0.1 with a demo campaign (variant document, open-id document
with a title, a shortcut icon and one game package; a stand-in emulator installer), copies INSTALLER to the
tagged name "nimbaro9_en_12345_x" in a fresh demo home, runs it with "silent=1", and shows its progress,
what it installed and the analytics events the server received. Nothing leaves this machine.
"""
import json
import os
import shutil
import ssl
import subprocess
import sys
import tempfile
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    installer = os.path.abspath(sys.argv[1])
    keep = "--keep" in sys.argv
    base = os.path.normpath(os.path.join(os.path.dirname(installer), "..", "demo"))
    os.makedirs(base, exist_ok=True)
    work = tempfile.mkdtemp(prefix="run-", dir=base)
    home = os.path.join(work, "home")
    root = os.path.join(work, "served")
    for d in (home, root, os.path.join(home, "run")):
        os.makedirs(d, exist_ok=True)
    os.chmod(os.path.join(home, "run"), 0o700)
    shutil.copy(os.path.join(ROOT, "tests", "fake_emulator", "fake_emulator.py"), os.path.join(root, "emulator-setup"))
    with open(os.path.join(root, "game.apk"), "wb") as f:
        f.write(b"demo game package")
    for name in ("game.ico", "shortcut.ico"):
        with open(os.path.join(root, name), "wb") as f:
            f.write(b"demo icon")

    log = os.path.join(work, "requests.jsonl")
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "tools", "test_server", "server.py"),
                               "--root", root, "--workdir", os.path.join(work, "server"), "--log", log],
                              stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline().split()[1])
        ca = server.stdout.readline().split(" ", 1)[1].strip()
        base_url = "https://127.0.0.1:%d" % port
        routes = {
            "/player_files/en/tavrel": {"json": {"kvr9": {"ver": "9.0.1", "url": base_url + "/emulator-setup"}}},
            "/player_files/openidconfig/12345.data": {"json": {
                "title": "Nimbaro Demo", "shortcutname": "Nimbaro Demo", "shortcuturl": base_url + "/shortcut.ico",
                "result": [{"app_download_url": base_url + "/game.apk", "app_package_name": "com.example.demo",
                            "gamename": "Demo Game", "app_icon": base_url + "/game.ico"}]}},
        }
        context = ssl.create_default_context(cafile=ca)
        request = urllib.request.Request(base_url + "/__control", data=json.dumps({"routes": routes}).encode(),
                                         method="POST", headers={"Content-Type": "application/json"})
        urllib.request.urlopen(request, context=context).read()

        deployment = os.path.join(work, "deployment.ini")
        with open(deployment, "w") as f:
            f.write("[hosts]\nresource = %s\ncdn = %s\nanalytics = %s\n[tls]\nca_file = %s\n"
                    % (base_url, base_url, base_url, ca))
        tagged = os.path.join(work, "nimbaro9_en_12345_x")
        shutil.copy(installer, tagged)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_STATE_HOME=os.path.join(home, ".local", "state"), XDG_RUNTIME_DIR=os.path.join(home, "run"),
                   NIMBARO_DEPLOYMENT=deployment, GIO_USE_PROXY_RESOLVER="dummy", no_proxy="127.0.0.1,localhost")
        for var in ("http_proxy", "https_proxy", "XDG_DATA_HOME"):
            env.pop(var, None)
        print("demo server on %s; running %s silent=1" % (base_url, tagged))
        code = subprocess.call([tagged, "silent=1"], env=env, timeout=300)
        print("exit code %d" % code)

        folder = os.path.join(home, "Nimbaro", "Nimbaro9")
        print("installed into %s:" % folder)
        for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
            print("   ", name)
        print("analytics events received:")
        with open(log) as f:
            for line in f:
                r = json.loads(line)
                if r.get("path") == "/mp/collect":
                    body = json.loads(r.get("body", "{}"))
                    event = body["events"][0]
                    print("    %s %s" % (event["name"], event["params"]["event_label"]))
        print("log: %s" % os.path.join(home, ".local", "state", "downloader", "downloader.log"))
        return code
    finally:
        server.terminate()
        server.wait()
        if not keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
