#!/usr/bin/env python3
"""Soak: a hosting copy of the real program, Klot playing its seat, and three
scripted clients that chat and pick for the whole run. Every minute the
hosting copy's resident memory and open file descriptors are printed; at the
end, their growth.

    python3 tools/soak.py build/src/app/wordmire [MINUTES]

Port 7772 is fixed: run it where nothing else holds it, e.g. as root in a
network namespace of its own:

    unshare -n bash -c 'ip link set lo up; python3 tools/soak.py build/src/app/wordmire 20'

The copy runs from a temporary folder with its own HOME and TMPDIR, so no
settings or tally land in the build tree.
"""
import os
import random
import shutil
import socket
import subprocess
import sys
import tempfile
import time

FF = b"\xff"
PORT = 7772


def status(pid):
    rss = 0
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    fds = len(os.listdir(f"/proc/{pid}/fd"))
    return rss, fds


class Client:
    def __init__(self, name):
        self.name = name
        self.sock = socket.create_connection(("127.0.0.1", PORT), timeout=5)
        self.sock.setblocking(False)
        self.buf = b""
        self.slot = 0
        self.turn = 0
        self.picks = 0

    def send(self, text):
        try:
            self.sock.sendall(text.encode("latin-1") + FF)
        except BlockingIOError:
            pass

    def poll(self):
        try:
            while True:
                data = self.sock.recv(65536)
                if not data:
                    raise ConnectionError(self.name + " was disconnected")
                self.buf += data
        except BlockingIOError:
            pass
        *messages, self.buf = self.buf.split(FF)
        for m in messages:
            text = m.decode("latin-1")
            if text.startswith("CMD_sendlogininfo+"):
                self.slot = int(text.split("+")[1])
                self.send(f"CMD_logininfo+{self.slot}+1.0.16.17+{self.name}" + "\xff")
            elif text.startswith("CMD_nextplayer+"):
                self.turn = int(text.split("+")[1])
                self.picks = 0

    def act(self, rng):
        if not self.slot:
            return
        if rng.random() < 0.5:
            self.send(f"CMD_chat+{self.slot}+{self.name} says {rng.randint(0, 10**6)} :)#12 www.example.com|clBlack")
        if self.turn == self.slot and self.picks < 4:
            self.picks += 1
            x, y = rng.randint(0, 6), rng.randint(0, 6)
            self.send(f"CMD_selectletter+{self.slot}+{self.picks}+{x}+{y}+")
            if self.picks == 4:
                self.send(f"CMD_selectclear+{self.slot}+")


def main():
    exe = os.path.abspath(sys.argv[1])
    minutes = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    work = tempfile.mkdtemp(prefix="wordmire-soak-")
    shutil.copy(exe, os.path.join(work, "wordmire"))
    env = dict(os.environ, HOME=work, TMPDIR=work, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    host = subprocess.Popen([os.path.join(work, "wordmire")], cwd=work, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", PORT), timeout=1).close()
                break
            except OSError:
                time.sleep(0.1)
        clients = [Client(n) for n in ("Ann", "Bo", "Cy")]
        rng = random.Random(1)
        start = time.time()
        samples = []
        next_sample = start
        while time.time() - start < minutes * 60:
            for c in clients:
                c.poll()
                c.act(rng)
            if time.time() >= next_sample:
                rss, fds = status(host.pid)
                samples.append((rss, fds))
                print(f"minute {len(samples) - 1:3d}: resident {rss} kB, file descriptors {fds}", flush=True)
                next_sample += 60
            if host.poll() is not None:
                raise SystemExit("the hosting copy ended")
            time.sleep(0.2)
        rss, fds = status(host.pid)
        samples.append((rss, fds))
        first = samples[1] if len(samples) > 2 else samples[0]  # after start-up settles
        print(f"end: resident {rss} kB, file descriptors {fds}; growth after the first minute: "
              f"{rss - first[0]} kB, {fds - first[1]} descriptors")
    finally:
        host.terminate()
        host.wait(10)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
