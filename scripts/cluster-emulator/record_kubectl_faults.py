#!/usr/bin/env python3
"""Records what the real kubectl prints for the connection probe in each fault mode.

Usage: record_kubectl_faults.py TOOLS_DIR OUTPUT_DIR [NAME...]

Runs the probe command line exactly as Nimbrel does (through /bin/zsh -c, with the tools
folder first on PATH, KUBECONFIG and KUBE_INSECURE_SKIP_TLS_VERIFY=true) against the cluster
emulator and writes OUTPUT_DIR/<mode>.txt: a first line "exit status: N", then the exact bytes
kubectl wrote to standard error.
"""

import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# name -> (server fault, kubeconfig key in the ready line, discovery cached by an earlier run).
# A first contact has no discovery cache, and kubectl then reports failures of its discovery
# requests; with a cache it reports the failure of the list request itself, in other words.
CASES = {
    "unauthorized": ("unauthorized", "kubeconfig", False),
    "unauthorized-cached": ("unauthorized", "kubeconfig", True),
    "plain-http": ("plain-http", "kubeconfig", False),
    "no-ca": ("none", "kubeconfigNoCa", False),
    "slow": ("slow", "kubeconfig", False),
    "slow-cached": ("slow", "kubeconfig", True),
    "unavailable": ("unavailable", "kubeconfig", False),
    "unavailable-cached": ("unavailable", "kubeconfig", True),
    "closed-port": ("closed-port", "kubeconfig", False),
}


def switch(ready, mode, serial):
    wanted = "%s %d" % (mode, serial)
    with open(ready["controlFile"] + ".tmp", "w", encoding="utf-8") as control:
        control.write(wanted + "\n")
    os.replace(ready["controlFile"] + ".tmp", ready["controlFile"])
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        with open(ready["appliedFile"], encoding="utf-8") as applied:
            if applied.read().strip() == wanted:
                return
        time.sleep(0.05)
    raise RuntimeError("the emulator did not switch to " + mode)


def probe(tools_dir, kubeconfig, home):
    kubectl = os.path.join(tools_dir, "kubectl")
    env = dict(os.environ)
    env.update({
        "PATH": tools_dir + ":/usr/bin:/bin:/usr/sbin:/sbin",
        "KUBECONFIG": kubeconfig,
        "KUBE_INSECURE_SKIP_TLS_VERIFY": "true",
        "HOME": home,
    })
    line = '"%s" get namespaces --request-timeout=10s' % kubectl
    done = subprocess.run(["/bin/zsh", "-c", line], env=env, capture_output=True, check=False)
    return done.returncode, done.stderr


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    tools_dir, output_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(output_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        emulator = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "cluster_emulator.py"), "--state-dir",
             os.path.join(work, "state"), "--parent-pid", str(os.getpid())],
            stdout=subprocess.PIPE, text=True)
        try:
            ready = json.loads(emulator.stdout.readline())
            serial = 0
            only = set(sys.argv[3:])
            for name, (fault, kubeconfig_key, cached) in CASES.items():
                if only and name not in only:
                    continue
                # A HOME of its own each time, so only a deliberate run fills the cache.
                home = os.path.join(work, "home-" + name)
                os.makedirs(home)
                if cached:
                    serial += 1
                    switch(ready, "none", serial)
                    if probe(tools_dir, ready[kubeconfig_key], home)[0] != 0:
                        raise RuntimeError("the healthy probe before %s failed" % name)
                serial += 1
                switch(ready, fault, serial)
                status, stderr = probe(tools_dir, ready[kubeconfig_key], home)
                with open(os.path.join(output_dir, name + ".txt"), "wb") as out:
                    out.write(b"exit status: %d\n" % status)
                    out.write(stderr)
                print("%s: exit status %d, %d bytes" % (name, status, len(stderr)))
        finally:
            emulator.terminate()
            emulator.wait(10)
    return 0


if __name__ == "__main__":
    sys.exit(main())
