"""The cluster emulator's life cycle as a child process; its API (selectors, the store, helm's
release secrets) is exercised by the real kubectl and helm in the end-to-end tests."""

import json
import os
import signal
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
EMULATOR = os.path.join(HERE, "..", "..", "scripts", "cluster-emulator", "cluster_emulator.py")


class LifecycleTest(unittest.TestCase):
    def start(self, *extra):
        state = tempfile.mkdtemp(prefix="nimbrel-emulator-test-")
        self.addCleanup(subprocess.run, ["rm", "-rf", state], check=False)
        process = subprocess.Popen([sys.executable, EMULATOR, "--state-dir", state, *extra],
                                   stdout=subprocess.PIPE, text=True)

        def stop():
            if process.poll() is None:
                process.kill()
                process.wait()
            process.stdout.close()

        self.addCleanup(stop)
        return process, json.loads(process.stdout.readline())

    def test_ready_line_private_kubeconfig_and_a_clean_stop_on_sigterm(self):
        process, ready = self.start()
        with open(ready["kubeconfig"], encoding="utf-8") as kubeconfig:
            self.assertIn("server: https://127.0.0.1:%d" % ready["port"], kubeconfig.read())
        self.assertEqual(os.stat(ready["kubeconfig"]).st_mode & 0o777, 0o600)
        process.send_signal(signal.SIGTERM)
        self.assertEqual(process.wait(timeout=20), 0)

    def test_it_stops_when_its_parent_has_gone(self):
        parent = subprocess.Popen(["sleep", "60"])
        process, _ = self.start("--parent-pid", str(parent.pid))
        parent.kill()
        parent.wait()
        self.assertEqual(process.wait(timeout=20), 0)


if __name__ == "__main__":
    unittest.main()
