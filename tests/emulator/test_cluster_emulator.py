"""Checks of the cluster emulator's own logic and of its life cycle as a child process."""

import base64
import json
import os
import signal
import subprocess
import sys
import ssl
import tempfile
import time
import unittest
import urllib.error
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
EMULATOR_DIR = os.path.normpath(os.path.join(HERE, "..", "..", "scripts", "cluster-emulator"))
EMULATOR = os.path.join(EMULATOR_DIR, "cluster_emulator.py")
sys.path.insert(0, EMULATOR_DIR)

import cluster_emulator as emu  # noqa: E402  (found through EMULATOR_DIR)


def varint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def field(number, payload):
    if isinstance(payload, int):
        return varint(number << 3) + varint(payload)
    if isinstance(payload, str):
        payload = payload.encode("utf-8")
    return varint(number << 3 | 2) + varint(len(payload)) + payload


def entry(key, value):
    return field(1, key) + field(2, value)


def protobuf_secret(kind="Secret"):
    meta = (field(1, "sh.helm.release.v1.devtron.v1") + field(3, "devtroncd")
            + field(8, field(1, 1700000000))
            + field(11, entry("owner", "helm")) + field(11, entry("name", "devtron")))
    # A value longer than 127 bytes needs a two-byte length.
    release = bytes(range(256)) * 2
    raw = (field(1, meta) + field(2, entry("release", release)) + field(3, "helm.sh/release.v1")
           + field(5, 1))
    unknown = field(1, field(1, "v1") + field(2, kind)) + field(2, raw)
    return b"k8s\x00" + unknown, release


class ProtobufSecretTest(unittest.TestCase):
    def test_a_helm_release_secret_decodes_to_its_json_form(self):
        body, release = protobuf_secret()
        secret = emu.decode_protobuf_secret(body)
        self.assertEqual(secret["kind"], "Secret")
        self.assertEqual(secret["metadata"]["name"], "sh.helm.release.v1.devtron.v1")
        self.assertEqual(secret["metadata"]["namespace"], "devtroncd")
        self.assertEqual(secret["metadata"]["labels"], {"owner": "helm", "name": "devtron"})
        self.assertEqual(secret["metadata"]["creationTimestamp"], "2023-11-14T22:13:20Z")
        self.assertEqual(base64.b64decode(secret["data"]["release"]), release)
        self.assertEqual(secret["type"], "helm.sh/release.v1")
        self.assertTrue(secret["immutable"])

    def test_bodies_that_are_not_protobuf_secrets_are_refused(self):
        body, _ = protobuf_secret()
        with self.assertRaises(ValueError):
            emu.decode_protobuf_secret(b"{}" + body)
        with self.assertRaises(ValueError):
            emu.decode_protobuf_secret(protobuf_secret(kind="ConfigMap")[0])
        with self.assertRaises(ValueError):
            emu.decode_protobuf_secret(body[:-3])


class SelectorTest(unittest.TestCase):
    def test_label_selectors_of_every_form(self):
        labels = {"name": "devtron", "owner": "helm", "status": "deployed"}
        cases = {
            "name=devtron,owner=helm": True,
            "name==devtron": True,
            "name=other": False,
            "status!=deployed": False,
            "status!=failed": True,
            "owner": True,
            "!owner": False,
            "!missing": True,
            "status in (failed, deployed)": True,
            "status notin (deployed)": False,
            "name=devtron,status in (failed)": False,
            "": True,
        }
        for selector, expected in cases.items():
            with self.subTest(selector=selector):
                self.assertEqual(emu.label_matcher(selector)(labels), expected)

    def test_a_malformed_label_selector_is_a_bad_request(self):
        with self.assertRaises(emu.ApiError) as caught:
            emu.label_matcher("name=(x")
        self.assertEqual(caught.exception.code, 400)

    def test_field_selectors_follow_dotted_paths(self):
        event = {"metadata": {"name": "e1"}, "involvedObject": {"name": "devtron-itf"}}
        self.assertTrue(emu.field_matcher("involvedObject.name=devtron-itf")(event))
        self.assertFalse(emu.field_matcher("involvedObject.name=other")(event))
        self.assertTrue(emu.field_matcher("involvedObject.kind!=Pod")(event))


class PatchTest(unittest.TestCase):
    def test_merge_patch_replaces_merges_and_removes(self):
        current = {"metadata": {"labels": {"a": "1", "b": "2"}}, "data": {"x": "1"}}
        patched = emu.merge_patch(current, {"metadata": {"labels": {"a": None, "c": "3"}},
                                            "data": ["list"]})
        self.assertEqual(patched, {"metadata": {"labels": {"b": "2", "c": "3"}},
                                   "data": ["list"]})
        self.assertEqual(current["metadata"]["labels"], {"a": "1", "b": "2"})

    def test_json_patch_operations_and_their_failures(self):
        doc = {"body": {"items": ["a", "b"], "name": "x"}}
        patched = emu.json_patch(doc, [
            {"op": "add", "path": "/body/items/-", "value": "c"},
            {"op": "replace", "path": "/body/name", "value": "y"},
            {"op": "remove", "path": "/body/items/0"},
            {"op": "add", "path": "/metadata/labels/app~1name", "value": "v"},
        ])
        self.assertEqual(patched, {"body": {"items": ["b", "c"], "name": "y"},
                                   "metadata": {"labels": {"app/name": "v"}}})
        for bad in ({"op": "test", "path": "/body/name", "value": "z"},
                    {"op": "replace", "path": "/body/missing", "value": 1},
                    {"op": "remove", "path": "/body/items/7"},
                    {"op": "move", "path": "/body/name"}):
            with self.subTest(op=bad), self.assertRaises(emu.ApiError):
                emu.json_patch(doc, [bad])


class StoreTest(unittest.TestCase):
    def setUp(self):
        self.store = emu.Store()
        self.secrets = emu.Store.find("", "secrets")
        self.namespaces = emu.Store.find("", "namespaces")

    def test_namespaced_objects_need_their_namespace_and_unique_names(self):
        with self.assertRaises(emu.ApiError) as caught:
            self.store.create(self.secrets, "devtroncd", {"metadata": {"name": "s"}})
        self.assertEqual(caught.exception.code, 404)
        self.store.create(self.namespaces, None, {"metadata": {"name": "devtroncd"}})
        created = self.store.create(self.secrets, "devtroncd",
                                    {"metadata": {"name": "s"}, "stringData": {"k": "密码"}})
        self.assertEqual(base64.b64decode(created["data"]["k"]).decode(), "密码")
        self.assertNotIn("stringData", created)
        with self.assertRaises(emu.ApiError) as caught:
            self.store.create(self.secrets, "devtroncd", {"metadata": {"name": "s"}})
        self.assertEqual(caught.exception.code, 409)

    def test_updates_check_the_resource_version_and_keep_identity(self):
        self.store.create(self.namespaces, None, {"metadata": {"name": "n"}})
        first = self.store.create(self.secrets, "n", {"metadata": {"name": "s"}})
        stale = json.loads(json.dumps(first))
        updated = self.store.replace(self.secrets, "n", "s", first)
        self.assertEqual(updated["metadata"]["uid"], first["metadata"]["uid"])
        self.assertNotEqual(updated["metadata"]["resourceVersion"],
                            first["metadata"]["resourceVersion"])
        with self.assertRaises(emu.ApiError) as caught:
            self.store.replace(self.secrets, "n", "s", stale)
        self.assertEqual(caught.exception.code, 409)

    def test_deleting_a_namespace_deletes_what_it_holds(self):
        self.store.create(self.namespaces, None, {"metadata": {"name": "n"}})
        self.store.create(self.secrets, "n", {"metadata": {"name": "s", "labels": {"a": "b"}}})
        self.assertEqual(len(self.store.list(self.secrets, "n", "a=b", None)[0]), 1)
        self.store.delete(self.namespaces, None, "n")
        self.assertEqual(self.store.list(self.secrets, None, None, None)[0], [])


class LifecycleTest(unittest.TestCase):
    def start(self, *extra):
        state = tempfile.mkdtemp(prefix="nimbrel-emulator-test-")
        self.addCleanup(subprocess.run, ["rm", "-rf", state], check=False)
        process = subprocess.Popen(
            [sys.executable, EMULATOR, "--state-dir", state,
             *extra], stdout=subprocess.PIPE, text=True)

        def stop():
            if process.poll() is None:
                process.kill()
                process.wait()
            process.stdout.close()

        self.addCleanup(stop)
        ready = json.loads(process.stdout.readline())
        return process, ready

    def test_ready_line_kubeconfigs_and_a_clean_stop_on_sigterm(self):
        process, ready = self.start()
        with open(ready["kubeconfig"], encoding="utf-8") as kubeconfig:
            text = kubeconfig.read()
        self.assertIn("server: https://127.0.0.1:%d" % ready["port"], text)
        self.assertIn("certificate-authority-data:", text)
        with open(ready["kubeconfigNoCa"], encoding="utf-8") as kubeconfig:
            self.assertNotIn("certificate-authority", kubeconfig.read())
        self.assertEqual(os.stat(ready["kubeconfig"]).st_mode & 0o777, 0o600)
        process.send_signal(signal.SIGTERM)
        self.assertEqual(process.wait(timeout=20), 0)

    def test_it_stops_when_its_parent_has_gone(self):
        parent = subprocess.Popen(["sleep", "60"])
        process, _ = self.start("--parent-pid", str(parent.pid))
        self.assertIsNone(process.poll())
        parent.kill()
        parent.wait()
        self.assertEqual(process.wait(timeout=20), 0)

    def switch(self, ready, wanted):
        with open(ready["controlFile"], "w", encoding="utf-8") as control:
            control.write(wanted + "\n")
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            with open(ready["appliedFile"], encoding="utf-8") as acknowledgement:
                applied = acknowledgement.read().strip()
            if applied in (wanted, "error " + wanted):
                return applied
            time.sleep(0.05)
        self.fail("no acknowledgement of " + wanted)

    def get_version(self, ready):
        context = ssl.create_default_context(cafile=os.path.join(ready["stateDir"], "ca.crt"))
        with open(ready["kubeconfig"], encoding="utf-8") as kubeconfig:
            token = kubeconfig.read().split("token: ")[1].strip()
        request = urllib.request.Request(ready["server"] + "/version",
                                         headers={"Authorization": "Bearer " + token})
        with urllib.request.urlopen(request, context=context, timeout=10) as answer:
            return json.load(answer)["gitVersion"]

    def test_a_closed_port_opens_again_on_the_same_port(self):
        process, ready = self.start()
        self.assertEqual(self.get_version(ready), "v1.32.3")
        self.assertEqual(self.switch(ready, "closed-port 1"), "closed-port 1")
        with self.assertRaises(urllib.error.URLError):
            self.get_version(ready)
        self.assertEqual(self.switch(ready, "none 2"), "none 2")
        self.assertEqual(self.get_version(ready), "v1.32.3")
        process.terminate()
        process.wait(timeout=20)

    def test_an_unknown_fault_is_refused_and_the_mode_kept(self):
        process, ready = self.start()
        with open(ready["controlFile"], "w", encoding="utf-8") as control:
            control.write("sideways 1\n")
        deadline = time.monotonic() + 10
        applied = ""
        while time.monotonic() < deadline and not applied.startswith("error"):
            time.sleep(0.05)
            with open(ready["appliedFile"], encoding="utf-8") as acknowledgement:
                applied = acknowledgement.read()
        self.assertEqual(applied.strip(), "error sideways 1")
        process.terminate()
        process.wait(timeout=20)


if __name__ == "__main__":
    unittest.main()
