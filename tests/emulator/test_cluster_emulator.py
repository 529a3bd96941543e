"""The cluster emulator's own logic and its life cycle as a child process; helm's protobuf
release secrets are exercised by the end-to-end installs."""

import base64
import json
import os
import signal
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
EMULATOR_DIR = os.path.normpath(os.path.join(HERE, "..", "..", "scripts", "cluster-emulator"))
EMULATOR = os.path.join(EMULATOR_DIR, "cluster_emulator.py")
sys.path.insert(0, EMULATOR_DIR)

import cluster_emulator as emu  # noqa: E402  (found through EMULATOR_DIR)


class EmulatorLogicTest(unittest.TestCase):
    def test_label_selectors_of_every_form(self):
        labels = {"name": "devtron", "owner": "helm", "status": "deployed"}
        cases = {"name=devtron,owner=helm": True, "name==devtron": True, "status!=deployed": False,
                 "owner": True, "!owner": False, "status in (failed, deployed)": True,
                 "status notin (deployed)": False, "": True}
        for selector, expected in cases.items():
            with self.subTest(selector=selector):
                self.assertEqual(emu.label_matcher(selector)(labels), expected)
        with self.assertRaises(emu.ApiError):
            emu.label_matcher("name=(x")

    def test_store_checks_namespaces_names_and_resource_versions(self):
        store = emu.Store()
        secrets, namespaces = emu.Store.find("", "secrets"), emu.Store.find("", "namespaces")
        with self.assertRaises(emu.ApiError) as caught:
            store.create(secrets, "n", {"metadata": {"name": "s"}})
        self.assertEqual(caught.exception.code, 404)
        store.create(namespaces, None, {"metadata": {"name": "n"}})
        first = store.create(secrets, "n", {"metadata": {"name": "s"}, "stringData": {"k": "密码"}})
        self.assertEqual(base64.b64decode(first["data"]["k"]).decode(), "密码")
        stale = json.loads(json.dumps(first))
        store.replace(secrets, "n", "s", first)
        for conflict in (lambda: store.create(secrets, "n", {"metadata": {"name": "s"}}),
                         lambda: store.replace(secrets, "n", "s", stale)):
            with self.assertRaises(emu.ApiError) as caught:
                conflict()
            self.assertEqual(caught.exception.code, 409)


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
