#!/usr/bin/env python3
"""A small Kubernetes API server on 127.0.0.1 for the real kubectl and helm.

It keeps objects in memory and answers what Nimbrel's commands need: legacy discovery,
/version, OpenAPI documents, and create/get/list/update/patch/delete of namespaced and
cluster objects with label and field selectors. Helm's release Secrets arrive as protobuf.

Every start makes a fresh CA with the openssl command, a server certificate for 127.0.0.1,
a kubeconfig that trusts the CA and a second one without it. A control file in the state
folder switches fault modes while the server runs; the mode in force is echoed into
"fault.applied" so a caller knows when the switch took effect.

One mode holds at a time. The first ones break the whole connection. The object modes change
only how Devtron's objects in devtroncd are served while they hold: the store keeps the real
objects, so switching back to "none" serves them unchanged again. "secret-missing" and
"exporter-missing" answer 404 NotFound for the Secret devtron-secret or the ServiceExporter
devtron-itf (and leave it out of lists), as a real API server does for a deleted object;
"password-not-base64" serves the Secret's ADMIN_PASSWORD as text that is not Base64.
"helm-status-hang" holds helm's listing of a release's Secrets by label selector (what
"helm status" and helm's other release look-ups send, told apart by helm's "Helm/" User-Agent)
without an answer until the mode changes; every other request is answered normally.

The cluster itself has a shape, the scenario, chosen with --scenario at start or by writing
"NAME [SERIAL]" into the "scenario" control file while it runs (echoed into "scenario.applied"
like the fault modes). A scenario fixes the nodes (capacity, allocatable, the Ready condition,
cordons and taints, as a real node lifecycle controller leaves them), the StorageClasses and
which is the default, the version /version reports, what SelfSubjectAccessReviews (what
"kubectl auth can-i" sends) allow, the resources that answer 403 Forbidden, and how Devtron's
pods fare. The emulator stands in for the controllers too: a Deployment gets its pods at once,
and a PersistentVolumeClaim is Bound while a StorageClass serves it (its own, or the default
one), Pending otherwise. Pod and claim statuses are worked out when they are served, from the
scenario in force and the pod's age, so that a switch shows at once on the objects already there:

  healthy                 the default and the demo's: enough capacity on one Ready worker (a
                          tainted control plane and a lost worker do not count), a default
                          StorageClass, everything allowed; pods are Ready after a few seconds
  no-default-storage      StorageClasses, none of them the default: claims stay Pending, and so
  pvc-pending             does the pod that mounts one (two names for the same cluster)
  small-nodes             the only schedulable worker has 1 CPU and 2 GB; a big one is cordoned
  old-version             the server reports v1.15
  crd-denied              "auth can-i create customresourcedefinitions" says no
  nodes-forbidden         listing nodes answers 403 Forbidden
  pods-unschedulable-cpu  Devtron's own pod (label app=devtron) stays Pending: Insufficient cpu
  image-pull              Devtron's own pod stays in ImagePullBackOff
  crash-loop              Devtron's own container is in CrashLoopBackOff

What Devtron leaves in the cluster comes in one of two flavours, chosen with --flavour at start.
"exporter" (the default) is the stand-in chart's own way: a ServiceExporter devtron-itf (group
networking.emulator.nimbrel.local) carries the address. "upstream" is what Devtron's own installer
chart leaves: no ServiceExporter type at all (kubectl says the server has no such resource type),
Devtron's Installer type (installers.installer.devtron.ai/v1alpha1) and the LoadBalancer Service
devtron-service. The Installer's .status.sync.status is absent for its first 2 seconds, then
"Downloaded", then "Applied" once --installer-applied-after seconds have passed (8); the Secret
devtron-secret serves ADMIN_PASSWORD as "" until --password-after seconds after its creation (12),
as Devtron writes the password late. Both flavours serve the marker group emulator.nimbrel.local,
which the stand-in chart looks for before it installs anything.

The emulator stands in for the cloud's load balancer controller too: the service shape, chosen with
--service-shape or by writing "NAME [SERIAL]" into the "service-shape" control file (echoed into
"service-shape.applied"), decides how devtron-service is served. Whatever the shape, its port named
devtron keeps targetPort devtron, the port 8080 of Devtron's pod. Every node has an InternalIP in
127.0.0.0/8; only the Ready worker's, 127.0.0.1, reaches anything.

  pending-lb   the default: a LoadBalancer still waiting for its address; port 80, and the
               dashboard's port as its nodePort
  lb-ip        a LoadBalancer with ingress ip 127.0.0.1 and the dashboard's port as its port
  lb-hostname  the same with ingress hostname localhost
  lb-silent    a LoadBalancer with ingress ip 127.0.0.1 on a port where nothing listens
  nodeport     a NodePort Service, port 80, the dashboard's port as its nodePort
  clusterip    a ClusterIP Service, port 80, reachable from outside only through a port-forward

The dashboard is a small plain HTTP server on 127.0.0.1 (its port is "dashboardPort" in the ready
line, in 30000-32767 when one is free there) that answers every GET and HEAD with Devtron's page; it
stands for port 8080 of Devtron's pod. "kubectl port-forward" reaches it as kubectl 1.32 asks: first
a WebSocket upgrade carrying SPDY/3.1 ("SPDY/3.1+portforward.k8s.io"), then, when that upgrade is
refused (always so with --refuse-websocket-portforward), a plain SPDY/3.1 upgrade. Two more fault
modes touch port-forwarding only: "port-forward-drop" closes every open port-forward connection
the moment it is switched on (new ones work while it holds), "port-forward-refused" answers every
port-forward request 403 Forbidden.

Helm's records of release devtron in devtroncd can be seeded in a broken or finished state with
--release STATE, or by writing "STATE [SERIAL]" into the "release" control file (echoed into
"release.applied"; "none" takes the records away): deployed, failed, pending-install,
uninstalling (one revision), pending-upgrade, pending-rollback (a deployed revision 1 and the pending
revision 2). They are Secrets sh.helm.release.v1.devtron.vN of type helm.sh/release.v1, labelled
name, owner=helm, status, version, holding the release as helm's storage driver writes it (JSON,
gzipped, Base64 twice), so the real helm's status, history, uninstall and install read them. Their
manifest names what an interrupted installation left: the namespaces devtron-cd, devtron-ci and
devtron-demo (kept on uninstall, as Devtron's chart keeps them) and the ServiceAccount devtron. The
fault mode "release-locked" refuses helm's own update or deletion of a pending release's records
(told apart by helm's User-Agent) with 409 Conflict "another operation (install/upgrade/rollback) is
in progress"; "kubectl delete secret" still removes them. --extra-namespace NAME (repeatable) adds a
namespace Devtron did not create.

Deleting a namespace turns it Terminating (deletionTimestamp, phase Terminating); after
--namespace-termination-seconds (2) it goes with everything in it. Under the fault mode
"namespace-stuck", devtron-ci, once deleted, stays Terminating with the finalizer
"example.com/stuck" and the controller's NamespaceFinalizersRemaining condition, until the fault
ends or the finalizer is patched away. Watches are served (by looking at the store every 0.1
seconds), so "kubectl delete" and "kubectl wait --for=delete" wait as on a cluster. The
ServiceExporter and Installer types are served while their CustomResourceDefinitions exist (each
flavour starts with its own); deleting one removes the type, its objects and its discovery entry.

"cluster_emulator.py multi-kubeconfig OUT --cluster-a KUBECONFIG --cluster-b KUBECONFIG" writes,
with kubectl's config commands, one kubeconfig over two running emulators: context "work" (cluster
A, token; the current context), "staging" (cluster B, token) and "staging-exec" (cluster B, its
token from the exec-credential plugin beside this script, interactiveMode Never). kubectl orders
the contexts by name in the files it writes. Each emulator takes only its own token.

Standard library only.
"""

import argparse
import base64
import collections
import copy
import datetime
import gzip
import hashlib
import http.server
import json
import os
import re
import secrets
import select
import shutil
import signal
import socket
import socketserver
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import uuid
import zlib

FAULT_MODES = (
    "none",  # healthy
    "unauthorized",  # 401 for every request
    "plain-http",  # a plain HTTP answer to the TLS hello
    "slow",  # answers held back until the mode changes (longer than any 10 s timeout)
    "unavailable",  # 503 "the server is currently unable to handle the request"
    "closed-port",  # the port stops listening
    "secret-missing",  # devtron-secret answers 404 NotFound
    "exporter-missing",  # the serviceexporter devtron-itf answers 404 NotFound
    "password-not-base64",  # devtron-secret's ADMIN_PASSWORD is not Base64
    "helm-status-hang",  # helm's release look-ups are held (longer than any 60 s bound)
    "port-forward-drop",  # open port-forward connections are closed once, when it is switched on
    "port-forward-refused",  # port-forward requests answer 403 Forbidden
    "release-locked",  # helm may not update or delete the records of a pending release
    "namespace-stuck",  # devtron-ci stays Terminating once deleted, held by a finalizer
)

SLOW_HOLD_SECONDS = 60.0
HANG_HOLD_SECONDS = 600.0
NOT_BASE64_PASSWORD = "not Base64: 管理员密码!"

DASHBOARD_PAGE = (b'<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>Devtron</title>'
                  b'</head><body><h1>Devtron</h1><p>The cluster emulator stands in for the '
                  b'dashboard.</p></body></html>\n')
WEBSOCKET_GUID = b"258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
PORT_FORWARD_PROTOCOL = "portforward.k8s.io"
SPDY_TUNNEL_PROTOCOL = "SPDY/3.1+" + PORT_FORWARD_PROTOCOL
SYN_STREAM, SYN_REPLY, RST_STREAM, SETTINGS, PING, GOAWAY, HEADERS, WINDOW_UPDATE = \
    1, 2, 3, 4, 6, 7, 8, 9
FLAG_FIN = 0x01
SPDY_WINDOW = 65536
# The zlib dictionary of SPDY/3 header blocks: length-prefixed words, then plain text.
SPDY_DICTIONARY = b"".join(struct.pack(">I", len(word)) + word for word in (
    b"options head post put delete trace accept accept-charset accept-encoding accept-language "
    b"accept-ranges age allow authorization cache-control connection content-base "
    b"content-encoding content-language content-length content-location content-md5 "
    b"content-range content-type date etag expect expires from host if-match if-modified-since "
    b"if-none-match if-range if-unmodified-since last-modified location max-forwards pragma "
    b"proxy-authenticate proxy-authorization range referer retry-after server te trailer "
    b"transfer-encoding upgrade user-agent vary via warning www-authenticate method get "
    b"status").split() + [b"200 OK"] + b"version HTTP/1.1 url public set-cookie keep-alive "
    b"origin".split()) + (
    b"100101201202205206300302303304305306307402405406407408409410411412413414415416417502504505"
    b"203 Non-Authoritative Information204 No Content301 Moved Permanently400 Bad Request"
    b"401 Unauthorized403 Forbidden404 Not Found500 Internal Server Error501 Not Implemented"
    b"503 Service UnavailableJan Feb Mar Apr May Jun Jul Aug Sept Oct Nov Dec 00:00:00 "
    b"Mon, Tue, Wed, Thu, Fri, Sat, Sun, GMTchunked,text/html,image/png,image/jpg,image/gif,"
    b"application/xml,application/xhtml+xml,text/plain,text/javascript,publicprivatemax-age="
    b"gzip,deflate,sdchcharset=utf-8charset=iso-8859-1,utf-,*,enq=0.")

K8S_VERSION = {
    "major": "1",
    "minor": "32",
    "gitVersion": "v1.32.3",
    "gitCommit": "32cc146f75aad04beaaa245a7157eb35063a9f99",
    "gitTreeState": "clean",
    "buildDate": "2025-03-11T19:52:21Z",
    "goVersion": "go1.23.6",
    "compiler": "gc",
    "platform": "linux/amd64",
}

EXPORTER_GROUP = "networking.emulator.nimbrel.local"
MARKER_GROUP = "emulator.nimbrel.local"
INSTALLER_GROUP = "installer.devtron.ai"
# What each flavour leaves out of the API, as (group, plural).
LEFT_OUT = {
    "exporter": {(INSTALLER_GROUP, "installers")},
    "upstream": {(EXPORTER_GROUP, "serviceexporters")},
}
SERVICE_SHAPES = ("pending-lb", "lb-ip", "lb-hostname", "lb-silent", "nodeport", "clusterip")
NODE_PORTS = range(30000, 32768)
INSTALLER_DOWNLOADED_AFTER = 2.0
# Devtron's container port, which a port-forward reaches on the dashboard.
DEVTRON_POD_PORT = 8080
DEFAULT_CLASS_ANNOTATION = "storageclass.kubernetes.io/is-default-class"
POD_START_SECONDS = 3
# The pod a scenario with held pods keeps back: Devtron's own, beside its healthy helpers.
HELD_APP = "devtron"
EMULATOR_USER = "nimbrel-emulator"

# What the object modes touch, as (group, plural, namespace, name).
PASSWORD_SECRET = ("", "secrets", "devtroncd", "devtron-secret")
DEVTRON_SERVICE = ("", "services", "devtroncd", "devtron-service")
MISSING_IN_MODE = {
    "secret-missing": PASSWORD_SECRET,
    "exporter-missing": (EXPORTER_GROUP, "serviceexporters", "devtroncd", "devtron-itf"),
}


def resource(group, version, kind, plural, namespaced, short_names=(), table=None, crd=False):
    """crd: the type is served while its CustomResourceDefinition exists."""
    return {
        "crd": crd,
        "group": group,
        "version": version,
        "kind": kind,
        "plural": plural,
        "singular": kind.lower(),
        "namespaced": namespaced,
        "shortNames": list(short_names),
        "table": table,
    }


RESOURCES = [
    resource("", "v1", "Namespace", "namespaces", False, ["ns"], table="namespace"),
    resource("", "v1", "Secret", "secrets", True),
    resource("", "v1", "ConfigMap", "configmaps", True, ["cm"]),
    resource("", "v1", "Service", "services", True, ["svc"]),
    resource("", "v1", "ServiceAccount", "serviceaccounts", True, ["sa"]),
    resource("", "v1", "Pod", "pods", True, ["po"]),
    resource("", "v1", "Event", "events", True, ["ev"]),
    resource("apps", "v1", "Deployment", "deployments", True, ["deploy"]),
    resource("batch", "v1", "Job", "jobs", True),
    resource("rbac.authorization.k8s.io", "v1", "Role", "roles", True),
    resource("rbac.authorization.k8s.io", "v1", "RoleBinding", "rolebindings", True),
    resource("rbac.authorization.k8s.io", "v1", "ClusterRole", "clusterroles", False),
    resource("rbac.authorization.k8s.io", "v1", "ClusterRoleBinding", "clusterrolebindings", False),
    resource(EXPORTER_GROUP, "v1", "ServiceExporter", "serviceexporters", True, ["se"], crd=True),
    resource(INSTALLER_GROUP, "v1alpha1", "Installer", "installers", True, crd=True),
    resource(MARKER_GROUP, "v1", "Emulator", "emulators", False),
    resource("", "v1", "Node", "nodes", False, ["no"]),
    resource("", "v1", "PersistentVolumeClaim", "persistentvolumeclaims", True, ["pvc"]),
    resource("storage.k8s.io", "v1", "StorageClass", "storageclasses", False, ["sc"]),
    resource("apiextensions.k8s.io", "v1", "CustomResourceDefinition",
             "customresourcedefinitions", False, ["crd", "crds"]),
    resource("authorization.k8s.io", "v1", "SelfSubjectAccessReview",
             "selfsubjectaccessreviews", False),
]

def crd_object(res):
    """The CustomResourceDefinition that serves a type."""
    names = {"kind": res["kind"], "listKind": res["kind"] + "List", "plural": res["plural"],
             "singular": res["singular"]}
    if res["shortNames"]:
        names["shortNames"] = list(res["shortNames"])
    return {"apiVersion": "apiextensions.k8s.io/v1", "kind": "CustomResourceDefinition",
            "metadata": {"name": qualified(res)},
            "spec": {"group": res["group"], "names": names,
                     "scope": "Namespaced" if res["namespaced"] else "Cluster",
                     "versions": [{"name": res["version"], "served": True, "storage": True,
                                   "schema": {"openAPIV3Schema": {
                                       "type": "object",
                                       "x-kubernetes-preserve-unknown-fields": True}}}]},
            "status": {"acceptedNames": names, "storedVersions": [res["version"]],
                       "conditions": [{"type": "Established", "status": "True",
                                       "reason": "InitialNamesAccepted",
                                       "message": "the initial names have been accepted"}]}}


def resource_from_crd(crd):
    """The type a CustomResourceDefinition serves, or None for one that serves nothing."""
    crd_fields = crd.get("spec") or {}
    names = crd_fields.get("names") or {}
    versions = [v for v in crd_fields.get("versions") or [] if v.get("served", True)]
    if not versions or not names.get("plural") or not names.get("kind"):
        return None
    return resource(crd_fields.get("group", ""), versions[0]["name"], names["kind"],
                    names["plural"], crd_fields.get("scope") != "Cluster",
                    names.get("shortNames") or (), crd=True)


VERBS = ["create", "delete", "deletecollection", "get", "list", "patch", "update", "watch"]


# ---- scenarios: the cluster's shape ----

def node(name, address, capacity, allocatable, ready=True, cordoned=False, control_plane=False):
    """A node as the kubelet and the node lifecycle controller leave it; sizes are (cpu, memory)."""
    labels = {"kubernetes.io/hostname": name, "kubernetes.io/os": "linux",
              "kubernetes.io/arch": "amd64"}
    taints = []
    if control_plane:
        labels["node-role.kubernetes.io/control-plane"] = ""
        taints.append({"key": "node-role.kubernetes.io/control-plane", "effect": "NoSchedule"})
    if cordoned:
        taints.append({"key": "node.kubernetes.io/unschedulable", "effect": "NoSchedule"})
    if not ready:
        taints += [{"key": "node.kubernetes.io/unreachable", "effect": effect}
                   for effect in ("NoSchedule", "NoExecute")]
    node_fields = {"taints": taints} if taints else {}
    if cordoned:
        node_fields["unschedulable"] = True
    condition = ({"type": "Ready", "status": "True", "reason": "KubeletReady",
                  "message": "kubelet is posting ready status"} if ready else
                 {"type": "Ready", "status": "Unknown", "reason": "NodeStatusUnknown",
                  "message": "Kubelet stopped posting node status."})

    def sizes(cpu, memory):
        return {"cpu": cpu, "memory": memory, "pods": "110", "ephemeral-storage": "61202244Ki"}

    return {"metadata": {"name": name, "labels": labels}, "spec": node_fields,
            "status": {"capacity": sizes(*capacity), "allocatable": sizes(*allocatable),
                       "conditions": [condition],
                       "addresses": [{"type": "InternalIP", "address": address},
                                     {"type": "Hostname", "address": name}],
                       "nodeInfo": {"kubeletVersion": "v1.32.3", "architecture": "amd64",
                                    "operatingSystem": "linux"}}}


# Only the Ready worker's address, 127.0.0.1, reaches the dashboard.
CONTROL_PLANE = node("emulator-control-plane", "127.0.0.2", ("2", "4030120Ki"),
                     ("2", "3927720Ki"), control_plane=True)
WORKER = node("emulator-worker-1", "127.0.0.1", ("4", "16393236Ki"), ("3920m", "15242260Ki"))
SMALL_WORKER = node("emulator-worker-1", "127.0.0.1", ("1", "2097152Ki"), ("940m", "1945Mi"))
LOST_WORKER = node("emulator-worker-2", "127.0.0.3", ("8", "32859268Ki"),
                   ("7910m", "31708292Ki"), ready=False)
CORDONED_WORKER = node("emulator-worker-3", "127.0.0.4", ("8", "32859268Ki"),
                       ("7910m", "31708292Ki"), cordoned=True)


def shape(nodes=(CONTROL_PLANE, WORKER, LOST_WORKER), default_class="standard",
          version="1.32.3", denied=(), forbidden=(), held=None):
    """denied: (group, plural) that "can-i create" refuses; forbidden: (group, plural) that
    answer 403 for every verb; held: how Devtron's own pod is kept back."""
    return {"nodes": nodes, "default_class": default_class, "version": version,
            "denied": set(denied) | set(forbidden), "forbidden": set(forbidden), "held": held}


SCENARIOS = {
    "healthy": shape(),
    "no-default-storage": shape(default_class=None),
    "pvc-pending": shape(default_class=None),
    "small-nodes": shape(nodes=(CONTROL_PLANE, SMALL_WORKER, LOST_WORKER, CORDONED_WORKER)),
    "old-version": shape(version="1.15.12"),
    "crd-denied": shape(denied=[("apiextensions.k8s.io", "customresourcedefinitions")]),
    "nodes-forbidden": shape(forbidden=[("", "nodes")]),
    "pods-unschedulable-cpu": shape(held="unschedulable-cpu"),
    "image-pull": shape(held="image-pull"),
    "crash-loop": shape(held="crash-loop"),
}
STORAGE_CLASSES = ("fast-ssd", "standard")


def version_document(version):
    major, minor, _ = version.split(".")
    return dict(K8S_VERSION, major=major, minor=minor, gitVersion="v" + version)


def now_rfc3339():
    return datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


def short_age(created):
    try:
        then = datetime.datetime.strptime(created, "%Y-%m-%dT%H:%M:%SZ").replace(
            tzinfo=datetime.timezone.utc)
    except (TypeError, ValueError):
        return "<unknown>"
    seconds = max(0, int((datetime.datetime.now(datetime.timezone.utc) - then).total_seconds()))
    if seconds < 120:
        return "%ds" % seconds
    if seconds < 120 * 60:
        return "%dm" % (seconds // 60)
    if seconds < 48 * 3600:
        return "%dh" % (seconds // 3600)
    return "%dd" % (seconds // 86400)


class ApiError(Exception):
    def __init__(self, code, reason, message, details=None):
        super().__init__(message)
        self.code = code
        self.reason = reason
        self.message = message
        self.details = details

    def status(self):
        body = {
            "kind": "Status",
            "apiVersion": "v1",
            "metadata": {},
            "status": "Failure",
            "message": self.message,
            "reason": self.reason,
            "code": self.code,
        }
        if self.details:
            body["details"] = self.details
        return body


def qualified(res):
    return res["plural"] if not res["group"] else "%s.%s" % (res["plural"], res["group"])


def not_found(res, name):
    return ApiError(404, "NotFound", '%s "%s" not found' % (qualified(res), name),
                    {"name": name, "group": res["group"], "kind": res["plural"]})


# ---- protobuf: just enough to read the Secrets helm stores its releases in ----

def _varint(data, pos):
    result = 0
    shift = 0
    while True:
        if pos >= len(data):
            raise ValueError("truncated varint")
        byte = data[pos]
        pos += 1
        result |= (byte & 0x7F) << shift
        if not byte & 0x80:
            return result, pos
        shift += 7
        if shift > 63:
            raise ValueError("varint too long")


def proto_fields(data):
    """Yields (field number, wire type, value) of one message; value is int or bytes."""
    pos = 0
    while pos < len(data):
        key, pos = _varint(data, pos)
        number, wire = key >> 3, key & 7
        if wire == 0:
            value, pos = _varint(data, pos)
        elif wire == 1:
            value, pos = data[pos:pos + 8], pos + 8
        elif wire == 2:
            length, pos = _varint(data, pos)
            if pos + length > len(data):
                raise ValueError("truncated field")
            value, pos = data[pos:pos + length], pos + length
        elif wire == 5:
            value, pos = data[pos:pos + 4], pos + 4
        else:
            raise ValueError("unsupported wire type %d" % wire)
        yield number, wire, value


def _proto_map_entry(data):
    key, value = "", b""
    for number, _, field in proto_fields(data):
        if number == 1:
            key = field.decode("utf-8")
        elif number == 2:
            value = field
    return key, value


def _proto_time(data):
    seconds = 0
    for number, wire, field in proto_fields(data):
        if number == 1 and wire == 0:
            seconds = field
    return datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc).strftime(
        "%Y-%m-%dT%H:%M:%SZ")


def _proto_object_meta(data):
    meta = {}
    strings = {1: "name", 2: "generateName", 3: "namespace", 5: "uid", 6: "resourceVersion"}
    for number, wire, field in proto_fields(data):
        if number in strings and wire == 2:
            meta[strings[number]] = field.decode("utf-8")
        elif number == 7 and wire == 0:
            meta["generation"] = field
        elif number == 8 and wire == 2:
            meta["creationTimestamp"] = _proto_time(field)
        elif number in (11, 12) and wire == 2:
            key, value = _proto_map_entry(field)
            meta.setdefault("labels" if number == 11 else "annotations", {})[key] = \
                value.decode("utf-8")
        elif number == 14 and wire == 2:
            meta.setdefault("finalizers", []).append(field.decode("utf-8"))
    return meta


def decode_protobuf(body):
    """The JSON form of an object sent as application/vnd.kubernetes.protobuf: the Secrets helm
    stores its releases in, and the SelfSubjectAccessReviews of "kubectl auth can-i"."""
    if body[:4] != b"k8s\x00":
        raise ValueError("missing the k8s protobuf magic")
    type_meta, raw = {}, b""
    for number, wire, field in proto_fields(body[4:]):
        if number == 1 and wire == 2:
            for tm_number, _, tm_field in proto_fields(field):
                type_meta["apiVersion" if tm_number == 1 else "kind"] = tm_field.decode("utf-8")
        elif number == 2 and wire == 2:
            raw = field
    decoders = {"Secret": _proto_secret, "SelfSubjectAccessReview": _proto_access_review}
    if type_meta.get("kind") not in decoders:
        raise ValueError("%r is not accepted as protobuf" % type_meta.get("kind"))
    return decoders[type_meta["kind"]](type_meta, raw)


def _proto_access_review(type_meta, raw):
    names = {1: "namespace", 2: "verb", 3: "group", 4: "version", 5: "resource",
             6: "subresource", 7: "name"}
    attributes = {}
    for number, wire, body in proto_fields(raw):
        if number != 2 or wire != 2:
            continue
        for body_number, _, wanted in proto_fields(body):
            if body_number == 1:
                attributes = {names[n]: v.decode("utf-8") for n, w, v in proto_fields(wanted)
                              if n in names and w == 2}
    return {"apiVersion": type_meta.get("apiVersion", "authorization.k8s.io/v1"),
            "kind": "SelfSubjectAccessReview", "metadata": {},
            "spec": {"resourceAttributes": attributes}}


def _proto_secret(type_meta, raw):
    secret = {"apiVersion": type_meta.get("apiVersion", "v1"), "kind": "Secret", "metadata": {}}
    for number, wire, field in proto_fields(raw):
        if number == 1 and wire == 2:
            secret["metadata"] = _proto_object_meta(field)
        elif number == 2 and wire == 2:
            key, value = _proto_map_entry(field)
            secret.setdefault("data", {})[key] = base64.b64encode(value).decode("ascii")
        elif number == 3 and wire == 2:
            secret["type"] = field.decode("utf-8")
        elif number == 4 and wire == 2:
            key, value = _proto_map_entry(field)
            secret.setdefault("stringData", {})[key] = value.decode("utf-8")
        elif number == 5 and wire == 0:
            secret["immutable"] = bool(field)
    return secret


# ---- helm's release records ----

RELEASE_NAME = "devtron"
RELEASE_NAMESPACE = "devtroncd"
# The states --release seeds; "none" takes every record of the release away again.
RELEASE_STATES = ("deployed", "failed", "pending-install", "pending-upgrade", "pending-rollback",
                  "uninstalling")
RELEASE_CHART = {"name": "devtron-operator", "version": "0.1.0", "appVersion": "0.1.0",
                 "apiVersion": "v2", "type": "application",
                 "description": "Stands in for Devtron's installer chart on the cluster emulator"}
# What the last revision of each state says, as helm's install, upgrade, rollback and uninstall
# word it; the pending upgrade and rollback follow a deployed first revision.
RELEASE_DESCRIPTIONS = {
    "deployed": "Install complete",
    "failed": 'Release "devtron" failed: context deadline exceeded',
    "pending-install": "Initial install underway",
    "pending-upgrade": "Preparing upgrade",
    "pending-rollback": "Rollback to 1",
    "uninstalling": "Deletion in progress (or silently failed)",
}
HELM_LABELS = {"app.kubernetes.io/managed-by": "Helm", "app.kubernetes.io/instance": RELEASE_NAME}
HELM_ANNOTATIONS = {"meta.helm.sh/release-name": RELEASE_NAME,
                    "meta.helm.sh/release-namespace": RELEASE_NAMESPACE}
KEEP_ANNOTATION = {"helm.sh/resource-policy": "keep"}
# The namespaces Devtron's chart creates beside its own, which it keeps on uninstall.
DEVTRON_NAMESPACES = ("devtron-cd", "devtron-ci", "devtron-demo")
STUCK_NAMESPACE = "devtron-ci"
STUCK_FINALIZER = "example.com/stuck"
LOCKED_MESSAGE = "another operation (install/upgrade/rollback) is in progress"


def release_objects():
    """The seeded revisions' manifest, (group, plural, namespace, object): what an interrupted
    installation of Devtron's chart has already left in the cluster."""
    objects = [("", "namespaces", None, {
        "apiVersion": "v1", "kind": "Namespace",
        "metadata": {"name": name, "labels": dict(HELM_LABELS),
                     "annotations": dict(HELM_ANNOTATIONS, **KEEP_ANNOTATION)}})
        for name in DEVTRON_NAMESPACES]
    objects.append(("", "serviceaccounts", RELEASE_NAMESPACE, {
        "apiVersion": "v1", "kind": "ServiceAccount",
        "metadata": {"name": "devtron", "namespace": RELEASE_NAMESPACE,
                     "labels": dict(HELM_LABELS), "annotations": dict(HELM_ANNOTATIONS)}}))
    return objects


def yaml_text(value, indent=""):
    """Block YAML of plain JSON data, as helm keeps a manifest."""
    lines = []
    for key, item in value.items():
        if isinstance(item, dict):
            lines.append("%s%s:" % (indent, key))
            lines.append(yaml_text(item, indent + "  "))
        else:
            lines.append("%s%s: %s" % (indent, key, json.dumps(item, ensure_ascii=False)))
    return "\n".join(lines)


def helm_time(moment):
    return moment.strftime("%Y-%m-%dT%H:%M:%S.%f000Z")


def release_record(state, version, first_deployed, last_deployed):
    """A Secret as helm's storage driver writes it: the release as JSON, gzipped, Base64-encoded
    once by helm and once more as the Secret's data."""
    manifest = "".join("---\n# Source: devtron-operator/templates/%s.yaml\n%s\n"
                       % (obj["kind"].lower(), yaml_text(obj))
                       for _, _, _, obj in release_objects())
    info = {"first_deployed": helm_time(first_deployed),
            "last_deployed": helm_time(last_deployed), "deleted": "",
            "description": RELEASE_DESCRIPTIONS[state], "status": state}
    if state == "uninstalling":
        info["deleted"] = helm_time(last_deployed)
    release = {"name": RELEASE_NAME, "info": info,
               "chart": {"metadata": RELEASE_CHART, "lock": None, "templates": [],
                         "values": {}, "schema": None, "files": None},
               "config": {}, "manifest": manifest, "version": version,
               "namespace": RELEASE_NAMESPACE}
    packed = base64.b64encode(gzip.compress(json.dumps(release).encode("utf-8"), 9))
    return {"apiVersion": "v1", "kind": "Secret", "type": "helm.sh/release.v1",
            "metadata": {"name": "sh.helm.release.v1.%s.v%d" % (RELEASE_NAME, version),
                         "labels": {"name": RELEASE_NAME, "owner": "helm", "status": state,
                                    "version": str(version),
                                    "modifiedAt": str(int(last_deployed.timestamp()))}},
            "data": {"release": base64.b64encode(packed).decode("ascii")}}


def release_records(state):
    """The revisions a release left in `state` has: one, or a deployed one and the pending one."""
    now = datetime.datetime.now(datetime.timezone.utc)
    first = now - datetime.timedelta(minutes=20)
    if state in ("pending-upgrade", "pending-rollback"):
        return [release_record("deployed", 1, first, first),
                release_record(state, 2, first, now - datetime.timedelta(minutes=5))]
    return [release_record(state, 1, first, first)]


# ---- selectors and patches ----

_REQUIREMENT = re.compile(
    r"^\s*(?P<neg>!)?\s*(?P<key>[A-Za-z0-9./_-]+)\s*"
    r"(?:(?P<op>==|=|!=)\s*(?P<value>[A-Za-z0-9._-]*)|"
    r"\s(?P<setop>in|notin)\s*\((?P<values>[^)]*)\))?\s*$")


def split_selector(text):
    parts, depth, current = [], 0, ""
    for ch in text:
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
        if ch == "," and depth == 0:
            parts.append(current)
            current = ""
        else:
            current += ch
    if current.strip():
        parts.append(current)
    return parts


def label_matcher(selector):
    if not selector:
        return lambda labels: True
    requirements = []
    for part in split_selector(selector):
        match = _REQUIREMENT.match(part)
        if not match:
            raise ApiError(400, "BadRequest",
                           "unable to parse requirement: invalid label selector %r" % part)
        requirements.append(match.groupdict())

    def matches(labels):
        for req in requirements:
            key = req["key"]
            if req["op"]:
                equal = labels.get(key) == req["value"]
                if (req["op"] == "!=" and equal) or (req["op"] != "!=" and not equal):
                    return False
            elif req["setop"]:
                values = {v.strip() for v in req["values"].split(",") if v.strip()}
                inside = key in labels and labels[key] in values
                if (req["setop"] == "in") != inside:
                    return False
            elif bool(req["neg"]) == (key in labels):
                return False
        return True

    return matches


def field_matcher(selector):
    if not selector:
        return lambda obj: True
    requirements = []
    for part in split_selector(selector):
        match = re.match(r"^\s*([A-Za-z0-9._]+)\s*(==|=|!=)\s*(.*?)\s*$", part)
        if not match:
            raise ApiError(400, "BadRequest", "invalid field selector %r" % part)
        requirements.append(match.groups())

    def lookup(obj, path):
        for key in path.split("."):
            if not isinstance(obj, dict):
                return ""
            obj = obj.get(key, "")
        return "" if obj is None else str(obj)

    def matches(obj):
        for path, op, value in requirements:
            equal = lookup(obj, path) == value
            if (op == "!=") == equal:
                return False
        return True

    return matches


def merge_patch(target, patch):
    if not isinstance(patch, dict):
        return copy.deepcopy(patch)
    result = copy.deepcopy(target) if isinstance(target, dict) else {}
    for key, value in patch.items():
        if value is None:
            result.pop(key, None)
        else:
            result[key] = merge_patch(result.get(key), value)
    return result


def _pointer(path):
    if path == "":
        return []
    if not path.startswith("/"):
        raise ApiError(422, "Invalid", "invalid JSON pointer %r" % path)
    return [p.replace("~1", "/").replace("~0", "~") for p in path[1:].split("/")]


def json_patch(document, operations):
    document = copy.deepcopy(document)
    for op in operations:
        tokens = _pointer(op.get("path", ""))
        if not tokens:
            raise ApiError(422, "Invalid", "a JSON patch may not replace the whole object")
        parent = document
        for token in tokens[:-1]:
            parent = parent[int(token)] if isinstance(parent, list) else parent.setdefault(token, {})
        last = tokens[-1]
        kind = op.get("op")
        try:
            if kind in ("add", "replace"):
                if isinstance(parent, list):
                    index = len(parent) if last == "-" else int(last)
                    if kind == "add":
                        parent.insert(index, op.get("value"))
                    else:
                        parent[index] = op.get("value")
                else:
                    if kind == "replace" and last not in parent:
                        raise ApiError(422, "Invalid", "replace of a missing path %s" % op["path"])
                    parent[last] = op.get("value")
            elif kind == "remove":
                if isinstance(parent, list):
                    del parent[int(last)]
                else:
                    del parent[last]
            elif kind == "test":
                current = parent[int(last)] if isinstance(parent, list) else parent.get(last)
                if current != op.get("value"):
                    raise ApiError(422, "Invalid", "test operation failed at %s" % op["path"])
            else:
                raise ApiError(422, "Invalid", "unsupported JSON patch operation %r" % kind)
        except (KeyError, IndexError, ValueError) as error:
            raise ApiError(422, "Invalid", "JSON patch failed at %s: %s" % (op.get("path"), error))
    return document


# ---- the object store ----

class Store:
    def __init__(self):
        self.lock = threading.RLock()
        self.objects = {}  # (group, plural, namespace, name) -> object
        # (revision, key, object) of the latest deletions, for watches that start a little late.
        self.tombstones = collections.deque(maxlen=1000)
        self.revision = 1
        for name in ("default", "kube-system", "kube-public", "kube-node-lease"):
            self.create(self.find("", "namespaces"), None, {"metadata": {"name": name}})

    @staticmethod
    def find(group, plural):
        for res in RESOURCES:
            if res["group"] == group and res["plural"] == plural:
                return res
        return None

    def _stamp(self, res, namespace, obj, existing=None):
        meta = obj.setdefault("metadata", {})
        self.revision += 1
        meta["resourceVersion"] = str(self.revision)
        meta["uid"] = existing["metadata"]["uid"] if existing else str(uuid.uuid4())
        meta["creationTimestamp"] = (existing["metadata"]["creationTimestamp"] if existing
                                     else now_rfc3339())
        if res["namespaced"]:
            meta["namespace"] = namespace
        else:
            meta.pop("namespace", None)
        obj["apiVersion"] = "%s/%s" % (res["group"], res["version"]) if res["group"] else "v1"
        obj["kind"] = res["kind"]
        if existing and existing["metadata"].get("deletionTimestamp"):
            meta["deletionTimestamp"] = existing["metadata"]["deletionTimestamp"]
        if res["kind"] == "Namespace":
            meta.setdefault("labels", {})["kubernetes.io/metadata.name"] = meta["name"]
            obj.setdefault("status", {})["phase"] = ("Terminating" if meta.get("deletionTimestamp")
                                                     else "Active")
            obj.setdefault("spec", {})["finalizers"] = ["kubernetes"]
        if res["kind"] == "Secret":
            for key, value in (obj.pop("stringData", None) or {}).items():
                obj.setdefault("data", {})[key] = base64.b64encode(value.encode()).decode()
            obj.setdefault("type", "Opaque")
        return obj

    def _check_namespace(self, res, namespace):
        if not res["namespaced"]:
            return
        home = self.objects.get(("", "namespaces", None, namespace))
        if home is None:
            raise ApiError(404, "NotFound", 'namespaces "%s" not found' % namespace,
                           {"name": namespace, "kind": "namespaces"})
        if home["metadata"].get("deletionTimestamp"):
            raise ApiError(403, "Forbidden", "unable to create new content in namespace %s because "
                           "it is being terminated" % namespace,
                           {"name": namespace, "kind": "namespaces"})

    def create(self, res, namespace, obj):
        with self.lock:
            meta = obj.setdefault("metadata", {})
            if not meta.get("name") and meta.get("generateName"):
                meta["name"] = meta["generateName"] + secrets.token_hex(3)[:5]
            name = meta.get("name")
            if not name:
                raise ApiError(422, "Invalid", "%s.%s is invalid: metadata.name: Required value"
                               % (res["kind"], res["group"] or "core"))
            if res["namespaced"] and meta.get("namespace") not in (None, "", namespace):
                raise ApiError(400, "BadRequest",
                               "the namespace of the provided object does not match the "
                               "namespace sent on the request")
            self._check_namespace(res, namespace)
            key = (res["group"], res["plural"], namespace if res["namespaced"] else None, name)
            if key in self.objects:
                raise ApiError(409, "AlreadyExists",
                               '%s "%s" already exists' % (qualified(res), name),
                               {"name": name, "group": res["group"], "kind": res["plural"]})
            stored = self._stamp(res, namespace, copy.deepcopy(obj))
            self.objects[key] = stored
            return copy.deepcopy(stored)

    def get(self, res, namespace, name):
        with self.lock:
            key = (res["group"], res["plural"], namespace if res["namespaced"] else None, name)
            if key not in self.objects:
                raise not_found(res, name)
            return copy.deepcopy(self.objects[key])

    def list(self, res, namespace, labels, fields):
        with self.lock:
            match_labels = label_matcher(labels)
            match_fields = field_matcher(fields)
            items = []
            for (group, plural, ns, _), obj in sorted(self.objects.items(),
                                                      key=lambda kv: tuple(x or "" for x in kv[0])):
                if group != res["group"] or plural != res["plural"]:
                    continue
                if namespace and ns != namespace:
                    continue
                if not match_labels(obj["metadata"].get("labels") or {}):
                    continue
                if not match_fields(obj):
                    continue
                items.append(copy.deepcopy(obj))
            return items, str(self.revision)

    def replace(self, res, namespace, name, obj):
        with self.lock:
            existing = self.get(res, namespace, name)
            meta = obj.setdefault("metadata", {})
            if meta.get("name") not in (None, name):
                raise ApiError(400, "BadRequest", "the name of the object (%s) does not match the "
                               "name on the URL (%s)" % (meta.get("name"), name))
            meta["name"] = name
            sent_version = meta.get("resourceVersion")
            if sent_version and sent_version != existing["metadata"]["resourceVersion"]:
                raise ApiError(409, "Conflict",
                               'Operation cannot be fulfilled on %s "%s": the object has been '
                               "modified; please apply your changes to the latest version and "
                               "try again" % (qualified(res), name))
            stored = self._stamp(res, namespace, copy.deepcopy(obj), existing)
            key = (res["group"], res["plural"], namespace if res["namespaced"] else None, name)
            self.objects[key] = stored
            return copy.deepcopy(stored)

    def delete(self, res, namespace, name):
        with self.lock:
            obj = self.get(res, namespace, name)
            key = (res["group"], res["plural"], namespace if res["namespaced"] else None, name)
            gone = [key]
            if res["kind"] == "Namespace":
                gone += [k for k in self.objects if k[2] == name]
            for each in gone:
                self.revision += 1
                tombstone = self.objects.pop(each)
                tombstone["metadata"]["resourceVersion"] = str(self.revision)
                self.tombstones.append((self.revision, each, tombstone))
            return obj

    def deleted_since(self, res, namespace, revision):
        """The objects of a type deleted after `revision`."""
        with self.lock:
            return [obj for rev, key, obj in self.tombstones
                    if rev > revision and key[:2] == (res["group"], res["plural"])
                    and (not namespace or key[2] == namespace)]


# ---- HTTP ----

def namespace_conditions(finalizers):
    """What the namespace controller reports of a namespace that finalizers hold."""
    now = now_rfc3339()

    def condition(kind, true, reason, message):
        return {"type": kind, "status": "True" if true else "False", "lastTransitionTime": now,
                "reason": reason, "message": message}

    return [condition("NamespaceDeletionDiscoveryFailure", False, "ResourcesDiscovered",
                      "All resources successfully discovered"),
            condition("NamespaceDeletionGroupVersionParsingFailure", False, "ParsedGroupVersions",
                      "All legacy kube types successfully parsed"),
            condition("NamespaceDeletionContentFailure", False, "ContentDeleted",
                      "All content successfully deleted, may be waiting on finalization"),
            condition("NamespaceContentRemaining", False, "ContentRemoved",
                      "All content successfully removed"),
            condition("NamespaceFinalizersRemaining", True, "SomeFinalizersRemain",
                      "Some content in the namespace has finalizers remaining: %s in 1 resource "
                      "instances" % ", ".join(finalizers))]


def discovery_resources(resources, group, version):
    result = []
    for res in resources:
        if res["group"] != group or res["version"] != version:
            continue
        entry = {
            "name": res["plural"],
            "singularName": res["singular"],
            "namespaced": res["namespaced"],
            "kind": res["kind"],
            "verbs": ["create"] if res["kind"] == "SelfSubjectAccessReview" else VERBS,
        }
        if res["shortNames"]:
            entry["shortNames"] = res["shortNames"]
        result.append(entry)
        if res["kind"] in ("Deployment", "Job", "ServiceExporter", "Namespace"):
            result.append({"name": res["plural"] + "/status", "singularName": "",
                           "namespaced": res["namespaced"], "kind": res["kind"],
                           "verbs": ["get", "patch", "update"]})
    return result


def api_groups(resources):
    groups = {}
    for res in resources:
        if res["group"]:
            groups.setdefault(res["group"], res["version"])
    return [{"name": g, "versions": [{"groupVersion": "%s/%s" % (g, v), "version": v}],
             "preferredVersion": {"groupVersion": "%s/%s" % (g, v), "version": v}}
            for g, v in sorted(groups.items())]


def openapi_v3_root(resources):
    paths = {"api/v1": {"serverRelativeURL": "/openapi/v3/api/v1?hash=emulator"}}
    for group in api_groups(resources):
        gv = group["preferredVersion"]["groupVersion"]
        paths["apis/" + gv] = {"serverRelativeURL": "/openapi/v3/apis/%s?hash=emulator" % gv}
    return {"paths": paths}


def openapi_v3_group(resources, group_path):
    """A schema per kind that accepts any fields, enough for client-side validation."""
    parts = group_path.split("/")
    if parts[:1] == ["api"] and len(parts) == 2:
        group, version = "", parts[1]
    elif parts[:1] == ["apis"] and len(parts) == 3:
        group, version = parts[1], parts[2]
    else:
        raise ApiError(404, "NotFound", "the server could not find the requested resource")
    schemas, paths = {}, {}
    for res in resources:
        if res["group"] == group and res["version"] == version:
            # A PATCH operation that takes fieldValidation tells kubectl and helm that the
            # server validates fields itself, so they skip downloading the OpenAPI v2 document.
            base = "/api/v1" if not group else "/apis/%s/%s" % (group, version)
            item = ("%s/namespaces/{namespace}/%s/{name}" if res["namespaced"]
                    else "%s/%s/{name}") % (base, res["plural"])
            paths[item] = {"patch": {
                "operationId": "patch" + res["kind"],
                "x-kubernetes-group-version-kind": {"group": group, "version": version,
                                                    "kind": res["kind"]},
                "parameters": [{"name": "fieldValidation", "in": "query",
                                "schema": {"type": "string", "uniqueItems": True}}],
                "responses": {"200": {"description": "OK"}},
            }}
            prefix = "io.k8s.api.core" if not group else ".".join(reversed(group.split(".")))
            schemas["%s.%s.%s" % (prefix, version, res["kind"])] = {
                "type": "object",
                "x-kubernetes-preserve-unknown-fields": True,
                "x-kubernetes-group-version-kind": [
                    {"group": group, "version": version, "kind": res["kind"]}],
            }
    if not schemas:
        raise ApiError(404, "NotFound", "the server could not find the requested resource")
    return {"openapi": "3.0.0", "info": {"title": "Kubernetes", "version": "v1.32.3"},
            "paths": paths, "components": {"schemas": schemas}}


def as_table(res, items, list_meta):
    columns = [{"name": "Name", "type": "string", "format": "name", "description": "Name",
                "priority": 0}]
    if res["table"] == "namespace":
        columns.append({"name": "Status", "type": "string", "format": "",
                        "description": "The phase of the namespace", "priority": 0})
    columns.append({"name": "Age", "type": "string", "format": "", "description": "Age",
                    "priority": 0})
    rows = []
    for obj in items:
        meta = obj["metadata"]
        cells = [meta["name"]]
        if res["table"] == "namespace":
            cells.append((obj.get("status") or {}).get("phase", ""))
        cells.append(short_age(meta.get("creationTimestamp")))
        rows.append({"cells": cells, "object": {
            "kind": "PartialObjectMetadata", "apiVersion": "meta.k8s.io/v1", "metadata": meta}})
    return {"kind": "Table", "apiVersion": "meta.k8s.io/v1", "metadata": list_meta,
            "columnDefinitions": columns, "rows": rows}


class Emulator:
    def __init__(self, state_dir, port, token, flavour="exporter", installer_applied_after=8.0,
                 password_after=12.0, refuse_websocket=False, namespace_termination=2.0):
        self.state_dir = state_dir
        self.port = port
        self.token = token
        self.flavour = flavour
        self.namespace_termination = namespace_termination
        # name -> time.monotonic() when its deletion was asked for
        self.terminating = {}
        self.installer_applied_after = installer_applied_after
        self.password_after = password_after
        self.refuse_websocket = refuse_websocket
        self.store = Store()
        for res in RESOURCES:
            if res["crd"] and (res["group"], res["plural"]) not in LEFT_OUT[flavour]:
                self.store.create(Store.find("apiextensions.k8s.io", "customresourcedefinitions"),
                                  None, crd_object(res))
        # uid -> time.monotonic() at creation, finer than creationTimestamp's whole seconds.
        self.born = {}
        self.mode = "none"
        self.mode_changed = threading.Condition()
        self.httpd = None
        self.serve_thread = None
        self.ssl_context = None
        self.stopping = threading.Event()
        self.control_file = os.path.join(state_dir, "fault")
        self.applied_file = os.path.join(state_dir, "fault.applied")
        self.scenario_file = os.path.join(state_dir, "scenario")
        self.scenario_applied_file = os.path.join(state_dir, "scenario.applied")
        self.shape = SCENARIOS["healthy"]
        self.service_shape_file = os.path.join(state_dir, "service-shape")
        self.service_shape_applied_file = os.path.join(state_dir, "service-shape.applied")
        self.service_shape = "pending-lb"
        self.release_file = os.path.join(state_dir, "release")
        self.release_applied_file = os.path.join(state_dir, "release.applied")
        self.dashboard = None
        self.silent_port = None
        self.tunnels = set()
        self.tunnels_lock = threading.Lock()

    @property
    def resources(self):
        """The types served now: the built-in ones and those of the CustomResourceDefinitions."""
        crds, _ = self.store.list(Store.find("apiextensions.k8s.io", "customresourcedefinitions"),
                                  None, None, None)
        return [res for res in RESOURCES if not res["crd"]] + \
            [res for res in map(resource_from_crd, crds) if res is not None]

    def find(self, group, plural):
        return next((res for res in self.resources
                     if res["group"] == group and res["plural"] == plural), None)

    # -- certificates and kubeconfigs --

    def make_certificates(self):
        d = self.state_dir

        def run(*args):
            subprocess.run(["openssl", *args], check=True, cwd=d, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE)

        ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
        run("req", "-x509", *ec, "-keyout", "ca.key", "-out", "ca.crt", "-days", "7",
            "-subj", "/CN=nimbrel-emulator-ca-%s" % secrets.token_hex(4),
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        run("req", *ec, "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1")
        with open(os.path.join(d, "server.ext"), "w", encoding="utf-8") as ext:
            ext.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n"
                      "keyUsage=critical,digitalSignature,keyEncipherment\n"
                      "extendedKeyUsage=serverAuth\n")
        run("x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
            "-CAcreateserial", "-out", "server.crt", "-days", "7", "-extfile", "server.ext")
        for name in ("ca.key", "server.key"):
            os.chmod(os.path.join(d, name), 0o600)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(d, "server.crt"), os.path.join(d, "server.key"))
        self.ssl_context = context

    def kubeconfig_text(self, with_ca):
        cluster = ["    server: https://127.0.0.1:%d" % self.port]
        if with_ca:
            with open(os.path.join(self.state_dir, "ca.crt"), "rb") as ca:
                cluster.append("    certificate-authority-data: %s"
                               % base64.b64encode(ca.read()).decode("ascii"))
        return "\n".join([
            "apiVersion: v1",
            "kind: Config",
            "clusters:",
            "- name: nimbrel-emulator",
            "  cluster:",
            *cluster,
            "contexts:",
            "- name: nimbrel-emulator",
            "  context:",
            "    cluster: nimbrel-emulator",
            "    user: nimbrel-emulator",
            "current-context: nimbrel-emulator",
            "preferences: {}",
            "users:",
            "- name: nimbrel-emulator",
            "  user:",
            "    token: %s" % self.token,
            "",
        ])

    def write_file(self, path, text, mode=0o600):
        temp = path + ".tmp"
        with open(os.open(temp, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode), "w",
                  encoding="utf-8") as out:
            out.write(text)
        os.replace(temp, path)

    # -- serving --

    def start_listening(self):
        emulator = self

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            block_on_close = False
            allow_reuse_address = True

            def finish_request(self, request, client_address):
                mode = emulator.mode
                if mode == "plain-http":
                    try:
                        request.settimeout(5)
                        request.recv(4096)
                        request.sendall(b"HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain\r\n"
                                        b"Connection: close\r\nContent-Length: 48\r\n\r\n"
                                        b"Client sent an HTTP request to an HTTPS server.\n")
                    except OSError:
                        pass
                    return
                try:
                    request.settimeout(30)
                    tls = emulator.ssl_context.wrap_socket(request, server_side=True)
                except (OSError, ssl.SSLError):
                    return
                try:
                    Handler(tls, client_address, self)
                finally:
                    try:
                        tls.close()
                    except OSError:
                        pass

            def handle_error(self, request, client_address):
                pass

        self.httpd = Server(("127.0.0.1", self.port), Handler)
        self.httpd.emulator = self
        self.port = self.httpd.server_address[1]
        self.serve_thread = threading.Thread(target=self.httpd.serve_forever,
                                             kwargs={"poll_interval": 0.1}, daemon=True)
        self.serve_thread.start()

    def start_dashboard(self):
        for port in node_port_candidates():
            try:
                self.dashboard = DashboardServer(("127.0.0.1", port), DashboardHandler)
                break
            except OSError:
                continue
        threading.Thread(target=self.dashboard.serve_forever, kwargs={"poll_interval": 0.5},
                         daemon=True).start()
        # A port number nothing listens on, for the load balancer that does not answer.
        for port in node_port_candidates():
            with socket.socket() as probe:
                try:
                    probe.bind(("127.0.0.1", port))
                except OSError:
                    continue
                self.silent_port = probe.getsockname()[1]
                break

    def stop_listening(self):
        if self.httpd is not None:
            self.httpd.shutdown()
            self.httpd.server_close()
            self.httpd = None

    def set_mode(self, mode):
        with self.mode_changed:
            if mode == self.mode:
                return
            if mode == "closed-port":
                self.stop_listening()
            elif self.mode == "closed-port":
                self.start_listening()
            if self.mode == "namespace-stuck":
                self.release_stuck_namespaces()
            self.mode = mode
            self.mode_changed.notify_all()
        if mode == "port-forward-drop":
            with self.tunnels_lock:
                for tunnel in self.tunnels:
                    tunnel.drop()

    def hold_while(self, mode, seconds):
        deadline = time.monotonic() + seconds
        with self.mode_changed:
            while self.mode == mode and not self.stopping.is_set():
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                self.mode_changed.wait(min(left, 0.5))

    def serves(self, res, namespace, name):
        """False for the object the mode in force answers as deleted."""
        return MISSING_IN_MODE.get(self.mode) != (res["group"], res["plural"], namespace, name)

    def as_served(self, res, obj):
        """The stored object as the mode in force shows it, or None when it is hidden."""
        meta = obj["metadata"]
        key = (res["group"], res["plural"], meta.get("namespace"), meta["name"])
        if not self.serves(res, *key[2:]):
            return None
        data = obj.get("data") or {}
        if self.flavour == "upstream" and key == PASSWORD_SECRET and "ADMIN_PASSWORD" in data \
                and self.age(obj) < self.password_after:
            data["ADMIN_PASSWORD"] = ""
        if self.mode == "password-not-base64" and key == PASSWORD_SECRET and \
                "ADMIN_PASSWORD" in data:
            data["ADMIN_PASSWORD"] = NOT_BASE64_PASSWORD
        if key == DEVTRON_SERVICE:
            self.shape_service(obj)
        if res["kind"] == "Installer":
            obj["status"] = self.installer_status(obj)
        if res["kind"] == "PersistentVolumeClaim":
            requested = obj.get("spec") or {}
            obj["status"] = {"phase": "Pending"}
            if self.claim_bound(obj):
                obj["status"] = {"phase": "Bound", "accessModes": requested.get("accessModes", []),
                                 "capacity": (requested.get("resources") or {}).get("requests", {})}
        elif res["kind"] == "Pod":
            claims = Store.find("", "persistentvolumeclaims")
            obj["status"] = self.pod_status(obj, {
                c["metadata"]["name"]: c
                for c in self.store.list(claims, key[2], None, None)[0]})
        return obj

    # -- the scenario --

    def set_scenario(self, name):
        """Puts the scenario's nodes and StorageClasses in place of the last one's."""
        store = self.store
        with store.lock:
            for plural in ("nodes", "storageclasses"):
                res = Store.find("storage.k8s.io" if plural == "storageclasses" else "", plural)
                for item in store.list(res, None, None, None)[0]:
                    store.delete(res, None, item["metadata"]["name"])
            self.shape = SCENARIOS[name]
            for item in self.shape["nodes"]:
                store.create(Store.find("", "nodes"), None, copy.deepcopy(item))
            for class_name in STORAGE_CLASSES:
                default = class_name == self.shape["default_class"]
                store.create(Store.find("storage.k8s.io", "storageclasses"), None, {
                    "metadata": {"name": class_name,
                                 "annotations": {DEFAULT_CLASS_ANNOTATION: str(default).lower()}},
                    "provisioner": "rancher.io/local-path", "reclaimPolicy": "Delete",
                    "volumeBindingMode": "Immediate"})

    def forbid(self, res, verb):
        if (res["group"], res["plural"]) in self.shape["forbidden"]:
            raise ApiError(403, "Forbidden", '%s is forbidden: User "%s" cannot %s resource "%s" '
                           'in API group "%s" at the cluster scope'
                           % (qualified(res), EMULATOR_USER, verb, res["plural"], res["group"]),
                           {"kind": res["plural"], "group": res["group"]})

    def review(self, review):
        """The answer to a SelfSubjectAccessReview."""
        wanted = (review.get("spec") or {}).get("resourceAttributes") or {}
        refused = (wanted.get("group", ""), wanted.get("resource", "")) in self.shape["denied"]
        review["status"] = {"allowed": not refused}
        if not refused:
            review["status"]["reason"] = ('RBAC: allowed by ClusterRoleBinding "%s-admin" of '
                                          'ClusterRole "cluster-admin"' % EMULATOR_USER)
        return review

    # -- helm's release records --

    def set_release(self, state):
        """Puts the records of a release left in `state` in place of the release's records, with
        the objects their manifest names; "none" leaves no record."""
        store = self.store
        secrets_res = Store.find("", "secrets")
        with store.lock:
            if ("", "namespaces", None, RELEASE_NAMESPACE) in store.objects:
                for record in store.list(secrets_res, RELEASE_NAMESPACE,
                                         "owner=helm,name=" + RELEASE_NAME, None)[0]:
                    store.delete(secrets_res, RELEASE_NAMESPACE, record["metadata"]["name"])
            if state == "none":
                return
            seeded = [("", "namespaces", None, {"metadata": {
                "name": RELEASE_NAMESPACE, "labels": {"name": RELEASE_NAMESPACE}}})]
            seeded += release_objects()
            seeded += [("", "secrets", RELEASE_NAMESPACE, record)
                       for record in release_records(state)]
            for group, plural, namespace, obj in seeded:
                res = Store.find(group, plural)
                try:
                    self.created(res, namespace, store.create(res, namespace, obj))
                except ApiError:
                    pass  # already there from an earlier state

    def refuse_locked_release(self, handler, res, namespace, name):
        """Under "release-locked", helm's own change of a pending release's record is refused as
        while another helm holds the release; kubectl and others may still change it."""
        if self.mode != "release-locked" or (res["group"], res["plural"]) != ("", "secrets") or \
                not name.startswith("sh.helm.release.v1.") or \
                not (handler.headers.get("User-Agent") or "").startswith("Helm/"):
            return
        labels = self.store.get(res, namespace, name)["metadata"].get("labels") or {}
        records = self.store.list(res, namespace, "owner=helm,name=" + labels.get("name", ""),
                                  None)[0]
        latest = max(records, key=lambda r: int(r["metadata"]["labels"].get("version", "0")))
        if latest["metadata"]["labels"].get("status", "").startswith("pending-"):
            raise ApiError(409, "Conflict", 'Operation cannot be fulfilled on secrets "%s": %s'
                           % (name, LOCKED_MESSAGE), {"name": name, "kind": "secrets"})

    # -- the namespace controller --

    def terminate_namespace(self, name):
        """A namespace's deletion: it turns Terminating and goes, with its content, once the
        termination time has passed and no finalizer holds it."""
        res = Store.find("", "namespaces")
        with self.store.lock:
            namespace = self.store.get(res, None, name)
            meta = namespace["metadata"]
            if meta.get("deletionTimestamp"):
                raise ApiError(409, "Conflict", 'Operation cannot be fulfilled on namespaces "%s": '
                               "The system is ensuring all content is removed from this namespace."
                               "  Upon completion, this namespace will automatically be purged by "
                               "the system." % name, {"name": name, "kind": "namespaces"})
            meta["deletionTimestamp"] = now_rfc3339()
            meta["deletionGracePeriodSeconds"] = 0
            if self.mode == "namespace-stuck" and name == STUCK_NAMESPACE:
                meta.setdefault("finalizers", []).append(STUCK_FINALIZER)
            self.terminating[name] = time.monotonic()
            return self.store.replace(res, None, name, namespace)

    def release_stuck_namespaces(self):
        res = Store.find("", "namespaces")
        with self.store.lock:
            for name in list(self.terminating):
                namespace = self.store.get(res, None, name)
                finalizers = namespace["metadata"].get("finalizers") or []
                if STUCK_FINALIZER in finalizers:
                    finalizers.remove(STUCK_FINALIZER)
                    self.store.replace(res, None, name, namespace)

    def reap_namespaces(self):
        """Removes what is in each terminating namespace once its time has passed, then the
        namespace itself unless a finalizer remains; that one says so in its conditions."""
        res = Store.find("", "namespaces")
        while not self.stopping.wait(0.1):
            with self.store.lock:
                for name, since in list(self.terminating.items()):
                    if time.monotonic() - since < self.namespace_termination:
                        continue
                    try:
                        namespace = self.store.get(res, None, name)
                    except ApiError:
                        del self.terminating[name]
                        continue
                    finalizers = namespace["metadata"].get("finalizers") or []
                    if not finalizers:
                        del self.terminating[name]
                        self.store.delete(res, None, name)
                        continue
                    for key in [k for k in self.store.objects if k[2] == name]:
                        self.store.objects.pop(key)
                    if not namespace["status"].get("conditions"):
                        namespace["status"]["conditions"] = namespace_conditions(finalizers)
                        self.store.replace(res, None, name, namespace)

    # -- the controllers --

    def age(self, obj):
        """Seconds since the object was created."""
        born = self.born.get(obj["metadata"].get("uid"))
        if born is not None:
            return time.monotonic() - born
        created = datetime.datetime.strptime(obj["metadata"]["creationTimestamp"],
                                             "%Y-%m-%dT%H:%M:%SZ").replace(
            tzinfo=datetime.timezone.utc)
        return (datetime.datetime.now(datetime.timezone.utc) - created).total_seconds()

    def installer_status(self, installer):
        """Devtron's installer first downloads its manifests, then applies them."""
        age = self.age(installer)
        if age < INSTALLER_DOWNLOADED_AFTER:
            return {}
        return {"sync": {"status": "Applied" if age >= self.installer_applied_after
                         else "Downloaded"}}

    def set_service_shape(self, name):
        self.service_shape = name

    def shape_service(self, service):
        """devtron-service as the cloud's controllers leave it under the service shape."""
        shape = self.service_shape
        dashboard = self.dashboard.server_address[1]
        service_fields = service.setdefault("spec", {})
        service_fields["type"] = {"nodeport": "NodePort",
                                  "clusterip": "ClusterIP"}.get(shape, "LoadBalancer")
        port = {"lb-ip": dashboard, "lb-hostname": dashboard,
                "lb-silent": self.silent_port}.get(shape, 80)
        node_port = None if shape == "clusterip" else \
            self.silent_port if shape == "lb-silent" else dashboard
        for entry in service_fields.get("ports") or []:
            if entry.get("name") != "devtron":
                continue
            entry["port"] = port
            entry.pop("nodePort", None)
            if node_port:
                entry["nodePort"] = node_port
        ingress = {"lb-ip": {"ip": "127.0.0.1"}, "lb-silent": {"ip": "127.0.0.1"},
                   "lb-hostname": {"hostname": "localhost"}}.get(shape)
        service["status"] = {"loadBalancer": {"ingress": [ingress]} if ingress else {}}

    def created(self, res, namespace, obj):
        """Notes the object's birth; a Deployment gets its pods at once, as its ReplicaSet would
        give them."""
        self.born[obj["metadata"]["uid"]] = time.monotonic()
        if res["kind"] != "Deployment":
            return
        deployment_fields = obj.get("spec") or {}
        template = deployment_fields.get("template") or {}
        alphabet = "bcdfghjklmnpqrstvwxz2456789"
        replica_set = "%s-%s" % (obj["metadata"]["name"],
                                 "".join(secrets.choice(alphabet) for _ in range(10)))
        labels = dict((template.get("metadata") or {}).get("labels") or {},
                      **{"pod-template-hash": replica_set.rsplit("-", 1)[1]})
        for _ in range(deployment_fields.get("replicas", 1)):
            self.store.create(Store.find("", "pods"), namespace, {
                "metadata": {"name": "%s-%s" % (replica_set,
                                                "".join(secrets.choice(alphabet) for _ in range(5))),
                             "labels": labels,
                             "ownerReferences": [{"apiVersion": "apps/v1", "kind": "ReplicaSet",
                                                  "name": replica_set, "uid": str(uuid.uuid4()),
                                                  "controller": True}]},
                "spec": copy.deepcopy(template.get("spec") or {})})

    def deleted(self, res, namespace, obj):
        self.born.pop(obj["metadata"].get("uid"), None)
        served = resource_from_crd(obj) if res["kind"] == "CustomResourceDefinition" else None
        if served is not None:
            with self.store.lock:
                for key in [k for k in self.store.objects
                            if k[:2] == (served["group"], served["plural"])]:
                    self.store.delete(served, key[2], key[3])
        if res["kind"] != "Deployment":
            return
        pods = Store.find("", "pods")
        for pod in self.store.list(pods, namespace, None, None)[0]:
            owner = (pod["metadata"].get("ownerReferences") or [{}])[0].get("name", "")
            if owner.rsplit("-", 1)[0] == obj["metadata"]["name"]:
                self.store.delete(pods, namespace, pod["metadata"]["name"])

    def claim_bound(self, claim):
        """Bound while a StorageClass serves it: the one it names, else the default one."""
        wanted = (claim.get("spec") or {}).get("storageClassName")
        if wanted:
            return wanted in STORAGE_CLASSES
        return self.shape["default_class"] is not None

    def unschedulable(self, cause):
        """The scheduler's condition: each node's reason, counted and sorted as it words them."""
        reasons = collections.Counter()
        for item in self.shape["nodes"]:
            keys = [t["key"] for t in item["spec"].get("taints", [])]
            reasons[("node(s) had untolerated taint {%s: }" % keys[0]) if keys else cause] += 1
        count = len(self.shape["nodes"])
        return {"type": "PodScheduled", "status": "False", "reason": "Unschedulable",
                "message": "0/%d nodes are available: %s. preemption: 0/%d nodes are available: "
                           "%d No preemption victims found for incoming pod."
                           % (count, ", ".join(sorted("%d %s" % (n, reason)
                                                      for reason, n in reasons.items())),
                              count, count)}

    def pod_status(self, pod, claims):
        """Where the pod stands now, from the scenario and its age; claims: name -> claim."""
        pod_fields = pod.get("spec") or {}
        containers = pod_fields.get("containers") or []
        held = self.shape["held"] if (pod["metadata"].get("labels") or {}).get("app") == \
            HELD_APP else None
        unbound = [v["persistentVolumeClaim"]["claimName"] for v in pod_fields.get("volumes") or []
                   if "persistentVolumeClaim" in v and not self.claim_bound(
                       claims.get(v["persistentVolumeClaim"]["claimName"], {}))]
        created = datetime.datetime.strptime(pod["metadata"]["creationTimestamp"],
                                             "%Y-%m-%dT%H:%M:%SZ").replace(
            tzinfo=datetime.timezone.utc)
        started = (datetime.datetime.now(datetime.timezone.utc) - created).total_seconds() \
            >= POD_START_SECONDS

        def condition(kind, true, reason=None):
            entry = {"type": kind, "status": "True" if true else "False"}
            if reason:
                entry["reason"] = reason
            return entry

        if held == "unschedulable-cpu" or unbound:
            scheduled = self.unschedulable("Insufficient cpu")
            if unbound:
                scheduled["message"] = ("0/%d nodes are available: pod has unbound immediate "
                                        "PersistentVolumeClaims. preemption: 0/%d nodes are "
                                        "available: %d Preemption is not helpful for scheduling."
                                        % ((len(self.shape["nodes"]),) * 3))
            return {"phase": "Pending", "conditions": [scheduled], "qosClass": "Burstable"}
        ready = started and held is None
        waiting = {"image-pull": ("ImagePullBackOff", 'Back-off pulling image "%s"'),
                   "crash-loop": ("CrashLoopBackOff", "back-off 40s restarting failed "
                                  "container=%s pod=" + pod["metadata"]["name"])}
        statuses = []
        for index, container in enumerate(containers):
            status = {"name": container.get("name", ""), "image": container.get("image", ""),
                      "ready": ready, "restartCount": 0, "started": ready}
            if ready:
                status["state"] = {"running": {"startedAt": now_rfc3339()}}
            elif held in waiting and started and index == 0:
                reason, message = waiting[held]
                status["state"] = {"waiting": {"reason": reason, "message": message % (
                    status["image"] if held == "image-pull" else status["name"])}}
                if held == "crash-loop":
                    status["restartCount"] = 3
                    status["lastState"] = {"terminated": {"exitCode": 1, "reason": "Error"}}
            else:
                status["state"] = {"waiting": {"reason": "ContainerCreating"}}
            statuses.append(status)
        phase = "Running" if ready or (held == "crash-loop" and started) else "Pending"
        return {"phase": phase, "qosClass": "Burstable", "containerStatuses": statuses,
                "conditions": [condition("PodScheduled", True), condition("Initialized", True),
                               condition("ContainersReady", ready,
                                         None if ready else "ContainersNotReady"),
                               condition("Ready", ready, None if ready else "ContainersNotReady")]}

    def watch_control_files(self):
        # (control file, acknowledgement, known names, switch, what is switched, when absent)
        switches = [(self.control_file, self.applied_file, FAULT_MODES, self.set_mode,
                     "fault mode", "none"),
                    (self.scenario_file, self.scenario_applied_file, SCENARIOS,
                     self.set_scenario, "scenario", None),
                    (self.service_shape_file, self.service_shape_applied_file, SERVICE_SHAPES,
                     self.set_service_shape, "service shape", None),
                    (self.release_file, self.release_applied_file, RELEASE_STATES + ("none",),
                     self.set_release, "release state", None)]
        last = {}
        while not self.stopping.is_set():
            for control_file, applied_file, names, switch, what, absent in switches:
                try:
                    with open(control_file, encoding="utf-8") as control:
                        text = control.read()
                except OSError:
                    text = absent
                # "NAME" or "NAME SERIAL": the serial lets a caller recognise its own switch.
                words = (text or "").split()
                name = words[0] if words else absent
                # An empty scenario file is one caught halfway through being written.
                if name is None or text == last.get(control_file):
                    continue
                last[control_file] = text
                if name not in names:
                    print("cluster_emulator: unknown %s %r" % (what, name),
                          file=sys.stderr, flush=True)
                    self.write_file(applied_file, "error %s\n" % text.strip())
                    continue
                try:
                    switch(name)
                except OSError as error:
                    # The port was taken while it stood closed; say so instead of dying.
                    print("cluster_emulator: cannot listen again on port %d: %s"
                          % (self.port, error), file=sys.stderr, flush=True)
                    self.write_file(applied_file, "error %s\n" % text.strip())
                    continue
                self.write_file(applied_file, text.strip() + "\n")
            self.stopping.wait(0.05)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "nimbrel-cluster-emulator"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        if os.environ.get("NIMBREL_EMULATOR_VERBOSE"):
            sys.stderr.write("cluster_emulator: %s\n" % (format % args))

    @property
    def emulator(self):
        return self.server.emulator

    def send_json(self, code, body, content_type="application/json"):
        data = json.dumps(body).encode("utf-8")
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Audit-Id", str(uuid.uuid4()))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(data)

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def do_GET(self):
        self.dispatch()

    def do_HEAD(self):
        self.dispatch()

    def do_POST(self):
        self.dispatch()

    def do_PUT(self):
        self.dispatch()

    def do_PATCH(self):
        self.dispatch()

    def do_DELETE(self):
        self.dispatch()

    def dispatch(self):
        try:
            body = self.read_body()
        except ValueError:
            self.close_connection = True
            self.send_json(400, ApiError(400, "BadRequest", "bad Content-Length").status())
            return
        emulator = self.emulator
        if emulator.mode == "slow":
            emulator.hold_while("slow", SLOW_HOLD_SECONDS)
        elif emulator.mode == "helm-status-hang" and self.is_helm_release_lookup():
            emulator.hold_while("helm-status-hang", HANG_HOLD_SECONDS)
        try:
            if emulator.mode == "unauthorized" or \
                    self.headers.get("Authorization") != "Bearer " + emulator.token:
                raise ApiError(401, "Unauthorized", "Unauthorized")
            if emulator.mode == "unavailable":
                raise ApiError(503, "ServiceUnavailable",
                               "the server is currently unable to handle the request")
            answer = self.route(body)
            # None: the connection was taken over and answered already.
            if answer is not None:
                self.send_json(*answer)
        except ApiError as error:
            self.send_json(error.code, error.status())
        except OSError:
            # The client gave up on a held request and closed the connection.
            self.close_connection = True
        except (ValueError, KeyError, TypeError) as error:
            self.send_json(400, ApiError(400, "BadRequest", "bad request: %s" % error).status())
        except Exception as error:  # noqa: BLE001 - the client must get an answer, not a hang-up
            print("cluster_emulator: %s %s failed: %r" % (self.command, self.path, error),
                  file=sys.stderr, flush=True)
            self.send_json(500, ApiError(500, "InternalError",
                                         "an error on the server (%s) has prevented the request "
                                         "from succeeding" % error).status())

    def is_helm_release_lookup(self):
        """Helm lists a release's Secrets by label (owner=helm) to find the release."""
        url = urllib.parse.urlsplit(self.path)
        selector = dict(urllib.parse.parse_qsl(url.query)).get("labelSelector", "")
        return (self.command == "GET"
                and (self.headers.get("User-Agent") or "").startswith("Helm/")
                and re.fullmatch(r"/api/v1/namespaces/[^/]+/secrets/?", url.path) is not None
                and "owner=helm" in selector)

    def port_forward(self, namespace, name):
        """Agrees to the upgrade "kubectl port-forward" asks for and serves the connection."""
        emulator = self.emulator
        if emulator.mode == "port-forward-refused":
            raise ApiError(403, "Forbidden", 'pods "%s" is forbidden: User "%s" cannot create '
                           'resource "pods/portforward" in API group "" in the namespace "%s"'
                           % (name, EMULATOR_USER, namespace), {"name": name, "kind": "pods"})
        emulator.store.get(Store.find("", "pods"), namespace, name)
        upgrade = (self.headers.get("Upgrade") or "").lower()

        def offered(header):
            return [p.strip() for p in ",".join(self.headers.get_all(header) or []).split(",")]

        if upgrade == "websocket":
            if emulator.refuse_websocket or \
                    SPDY_TUNNEL_PROTOCOL not in offered("Sec-WebSocket-Protocol"):
                raise ApiError(400, "BadRequest", "unable to upgrade: this server tunnels "
                               "port-forwarding through SPDY/3.1 only")
            key = (self.headers.get("Sec-WebSocket-Key") or "").strip().encode("ascii")
            accept = base64.b64encode(hashlib.sha1(key + WEBSOCKET_GUID).digest())
            answer = [("Upgrade", "websocket"), ("Connection", "Upgrade"),
                      ("Sec-WebSocket-Accept", accept.decode("ascii")),
                      ("Sec-WebSocket-Protocol", SPDY_TUNNEL_PROTOCOL)]
        elif upgrade == "spdy/3.1":
            if PORT_FORWARD_PROTOCOL not in offered("X-Stream-Protocol-Version"):
                raise ApiError(403, "Forbidden", "unable to upgrade: unable to negotiate "
                               "protocol: client supports %s, server accepts [%s]"
                               % (offered("X-Stream-Protocol-Version"), PORT_FORWARD_PROTOCOL))
            answer = [("Connection", "Upgrade"), ("Upgrade", "SPDY/3.1"),
                      ("X-Stream-Protocol-Version", PORT_FORWARD_PROTOCOL)]
        else:
            raise ApiError(400, "BadRequest", "Upgrade request required")
        self.send_response(101)
        for header, value in answer:
            self.send_header(header, value)
        self.end_headers()
        self.close_connection = True
        PortForwardTunnel(emulator, self.connection, name, upgrade == "websocket").run()

    def route(self, body):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        parts = [p for p in url.path.split("/") if p]
        if self.command == "GET":
            static = self.static_document(url.path)
            if static is not None:
                return 200, static
        if parts[:1] == ["api"] and len(parts) >= 2:
            group, version, rest = "", parts[1], parts[2:]
        elif parts[:1] == ["apis"] and len(parts) >= 3:
            group, version, rest = parts[1], parts[2], parts[3:]
        else:
            raise ApiError(404, "NotFound", "the server could not find the requested resource")
        namespace = None
        if len(rest) >= 3 and rest[0] == "namespaces":
            namespace, rest = rest[1], rest[2:]
        if not rest or len(rest) > 3:
            raise ApiError(404, "NotFound", "the server could not find the requested resource")
        res = self.emulator.find(group, rest[0])
        if res is None or res["version"] != version:
            raise ApiError(404, "NotFound", "the server could not find the requested resource")
        name = rest[1] if len(rest) >= 2 else None
        subresource = rest[2] if len(rest) == 3 else None
        if subresource == "portforward" and res["kind"] == "Pod" and namespace and \
                self.command in ("GET", "POST"):
            self.port_forward(namespace, name)
            return None
        if subresource not in (None, "status"):
            raise ApiError(404, "NotFound", "the server could not find the requested resource")
        if res["namespaced"] and name is not None and namespace is None:
            raise ApiError(404, "NotFound", "the server could not find the requested resource")
        if not res["namespaced"]:
            namespace = None
        verbs = {"GET": "get" if name else "list", "HEAD": "get", "POST": "create",
                 "PUT": "update", "PATCH": "patch", "DELETE": "delete"}
        self.emulator.forbid(res, verbs[self.command])
        if res["kind"] == "SelfSubjectAccessReview":
            if self.command != "POST" or name is not None:
                raise ApiError(405, "MethodNotAllowed", "method %s not allowed" % self.command)
            return 201, self.emulator.review(self.parse_object(body))
        return self.serve_resource(res, namespace, name, query, body)

    def static_document(self, path):
        emulator = self.emulator
        path = path.rstrip("/") or "/"
        if path == "/version":
            return version_document(emulator.shape["version"])
        if path == "/api":
            return {"kind": "APIVersions", "versions": ["v1"], "serverAddressByClientCIDRs": [
                {"clientCIDR": "0.0.0.0/0", "serverAddress": "127.0.0.1:%d" % emulator.port}]}
        resources = emulator.resources
        if path == "/apis":
            return {"kind": "APIGroupList", "apiVersion": "v1", "groups": api_groups(resources)}
        if path == "/api/v1":
            return {"kind": "APIResourceList", "groupVersion": "v1",
                    "resources": discovery_resources(resources, "", "v1")}
        match = re.fullmatch(r"/apis/([^/]+)/([^/]+)", path)
        if match and any(g["name"] == match.group(1) for g in api_groups(resources)):
            group, version = match.groups()
            return {"kind": "APIResourceList", "apiVersion": "v1",
                    "groupVersion": "%s/%s" % (group, version),
                    "resources": discovery_resources(resources, group, version)}
        if path == "/openapi/v3":
            return openapi_v3_root(resources)
        if path.startswith("/openapi/v3/"):
            return openapi_v3_group(resources, path[len("/openapi/v3/"):])
        if path == "/openapi/v2":
            return {"swagger": "2.0", "info": {"title": "Kubernetes", "version": "v1.32.3"},
                    "paths": {}, "definitions": {}}
        return None

    def parse_object(self, body):
        content_type = (self.headers.get("Content-Type") or "").split(";")[0].strip()
        if content_type == "application/vnd.kubernetes.protobuf":
            return decode_protobuf(body)
        try:
            obj = json.loads(body.decode("utf-8") or "null")
        except (UnicodeDecodeError, json.JSONDecodeError) as error:
            raise ApiError(400, "BadRequest", "the object could not be decoded: %s" % error)
        if not isinstance(obj, dict):
            raise ApiError(400, "BadRequest", "the request body is not an object")
        return obj

    def watch(self, res, namespace, query):
        """Streams the changes of the listed objects as watch events until timeoutSeconds, the
        client's leaving or the emulator's end; the store is looked at every 0.1 seconds."""
        emulator, store = self.emulator, self.emulator.store
        since = query.get("resourceVersion") or "0"
        since = int(since) if since.isdigit() else 0
        initial = query.get("sendInitialEvents") == "true" or since == 0
        deadline = time.monotonic() + min(float(query.get("timeoutSeconds") or 1800), 1800)
        label, field = label_matcher(query.get("labelSelector")), \
            field_matcher(query.get("fieldSelector"))

        def snapshot():
            items, _ = store.list(res, namespace, query.get("labelSelector"),
                                  query.get("fieldSelector"))
            served = [emulator.as_served(res, item) for item in items]
            return {(o["metadata"].get("namespace"), o["metadata"]["name"]): o
                    for o in served if o is not None}

        def send(kind, obj):
            line = json.dumps({"type": kind, "object": obj}).encode("utf-8") + b"\n"
            self.wfile.write(b"%x\r\n%s\r\n" % (len(line), line))
            self.wfile.flush()

        with store.lock:
            seen = snapshot()
            gone = [obj for obj in store.deleted_since(res, namespace, since)
                    if label(obj["metadata"].get("labels") or {}) and field(obj)]
        self.close_connection = True
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        for obj in seen.values():
            if initial or int(obj["metadata"]["resourceVersion"]) > since:
                send("ADDED", obj)
        for obj in gone:
            send("DELETED", obj)
        if query.get("sendInitialEvents") == "true":
            send("BOOKMARK", {"kind": res["kind"], "apiVersion": res["group"] + "/" + res["version"]
                              if res["group"] else "v1",
                              "metadata": {"resourceVersion": str(store.revision), "annotations": {
                                  "k8s.io/initial-events-end": "true"}}})
        while time.monotonic() < deadline and not emulator.stopping.is_set():
            if self.connection.pending() or select.select([self.connection], [], [], 0.1)[0]:
                try:
                    self.connection.setblocking(False)
                    if not self.connection.recv(1024):
                        return  # the client has gone
                except (ssl.SSLWantReadError, ssl.SSLWantWriteError, BlockingIOError):
                    pass
                finally:
                    self.connection.setblocking(True)
            now = snapshot()
            for key, obj in now.items():
                if key not in seen:
                    send("ADDED", obj)
                elif obj["metadata"]["resourceVersion"] != seen[key]["metadata"]["resourceVersion"]:
                    send("MODIFIED", obj)
            for key, obj in seen.items():
                if key not in now:
                    send("DELETED", obj)
            seen = now
        self.wfile.write(b"0\r\n\r\n")

    def wants_table(self):
        return "as=Table" in (self.headers.get("Accept") or "")

    def serve_resource(self, res, namespace, name, query, body):
        store = self.emulator.store
        dry_run = "dryRun" in query
        if name is None:
            if self.command == "GET":
                if query.get("watch") in ("true", "1"):
                    self.watch(res, namespace, query)
                    return None
                items, revision = store.list(res, namespace, query.get("labelSelector"),
                                             query.get("fieldSelector"))
                items = [obj for obj in (self.emulator.as_served(res, item) for item in items)
                         if obj is not None]
                list_meta = {"resourceVersion": revision}
                if self.wants_table():
                    return 200, as_table(res, items, list_meta)
                return 200, {"kind": res["kind"] + "List",
                             "apiVersion": "%s/%s" % (res["group"], res["version"])
                             if res["group"] else "v1",
                             "metadata": list_meta, "items": items}
            if self.command == "POST":
                obj = self.parse_object(body)
                if dry_run:
                    return 201, obj
                created = store.create(res, namespace, obj)
                self.emulator.created(res, namespace, created)
                return 201, created
            raise ApiError(405, "MethodNotAllowed", "method %s not allowed" % self.command)
        if not self.emulator.serves(res, namespace, name):
            raise not_found(res, name)
        if self.command == "GET":
            obj = self.emulator.as_served(res, store.get(res, namespace, name))
            if self.wants_table():
                return 200, as_table(res, [obj], {"resourceVersion": obj["metadata"]
                                                  ["resourceVersion"]})
            return 200, obj
        if self.command in ("PUT", "PATCH", "DELETE"):
            self.emulator.refuse_locked_release(self, res, namespace, name)
        if self.command == "PUT":
            obj = self.parse_object(body)
            return 200, (obj if dry_run else store.replace(res, namespace, name, obj))
        if self.command == "PATCH":
            patch_type = (self.headers.get("Content-Type") or "").split(";")[0].strip()
            current = store.get(res, namespace, name)
            try:
                patch = json.loads(body.decode("utf-8") or "null")
            except (UnicodeDecodeError, json.JSONDecodeError) as error:
                raise ApiError(400, "BadRequest", "the patch could not be decoded: %s" % error)
            if patch_type == "application/json-patch+json":
                if not isinstance(patch, list):
                    raise ApiError(400, "BadRequest", "a JSON patch must be a list")
                patched = json_patch(current, patch)
            elif patch_type in ("application/merge-patch+json",
                                "application/strategic-merge-patch+json"):
                patched = merge_patch(current, patch)
            else:
                raise ApiError(415, "UnsupportedMediaType",
                               "the body of the request was in an unknown format - accepted "
                               "media types include: application/json-patch+json, "
                               "application/merge-patch+json, "
                               "application/strategic-merge-patch+json")
            patched.setdefault("metadata", {}).pop("resourceVersion", None)
            return 200, (patched if dry_run else store.replace(res, namespace, name, patched))
        if self.command == "DELETE":
            if dry_run:
                return 200, store.get(res, namespace, name)
            if res["kind"] == "Namespace":
                return 200, self.emulator.terminate_namespace(name)
            obj = store.delete(res, namespace, name)
            self.emulator.deleted(res, namespace, obj)
            return 200, obj
        raise ApiError(405, "MethodNotAllowed", "method %s not allowed" % self.command)


def control_frame(kind, flags, payload):
    return struct.pack(">HHI", 0x8000 | 3, kind, flags << 24 | len(payload)) + payload


def data_frame(stream_id, flags, payload):
    return struct.pack(">II", stream_id, flags << 24 | len(payload)) + payload


def websocket_frame(opcode, payload):
    """One unfragmented message as a server sends it: unmasked."""
    size = len(payload)
    if size < 126:
        length = bytes([size])
    elif size < 65536:
        length = bytes([126]) + struct.pack(">H", size)
    else:
        length = bytes([127]) + struct.pack(">Q", size)
    return bytes([0x80 | opcode]) + length + payload


class ForwardedStream:
    def __init__(self, stream_id, kind, request):
        self.id = stream_id
        self.kind = kind  # "data" or "error"
        self.request = request
        self.target = None  # a data stream's connection to the pod's port
        self.sent_fin = False
        self.got_fin = False
        self.window = SPDY_WINDOW  # what the client takes before it asks for more


class PortForwardTunnel:
    """One upgraded port-forward connection: SPDY/3.1 streams, straight on the TLS connection or
    inside WebSocket binary messages. Every forwarded connection is a pair of streams with one
    request id: the error stream, which stays silent unless the port cannot be reached, and the
    data stream, copied both ways to a TCP connection to the port it names. Only the connection's
    own thread touches its sockets, as one TLS connection must not be read and written at once."""

    def __init__(self, emulator, connection, pod, websocket):
        self.emulator = emulator
        self.connection = connection
        self.pod = pod
        self.websocket = websocket
        self.received = bytearray()  # from the client, not yet unwrapped from WebSocket frames
        self.spdy = bytearray()  # SPDY bytes not yet a whole frame
        # One compression context each way for the whole connection, with SPDY/3's dictionary.
        self.inflate = zlib.decompressobj(zdict=SPDY_DICTIONARY)
        self.deflate = zlib.compressobj(9, zlib.DEFLATED, 15, 8, zlib.Z_DEFAULT_STRATEGY,
                                        SPDY_DICTIONARY)
        self.streams = {}  # stream id -> ForwardedStream
        self.error_streams = {}  # request id -> stream id
        self.window = SPDY_WINDOW
        # spdystream (kubectl's side) neither sends nor honours WINDOW_UPDATE, so the client's
        # windows hold only once it has sent one.
        self.flow_controlled = False
        self.wake, self.waker = socket.socketpair()
        self.dropped = False
        self.open = True

    def drop(self):
        """Called from another thread: the connection ends as if the node had gone away."""
        self.dropped = True
        try:
            self.waker.send(b"\0")
        except OSError:
            pass

    def run(self):
        with self.emulator.tunnels_lock:
            self.emulator.tunnels.add(self)
        try:
            while self.open and not self.dropped and not self.emulator.stopping.is_set():
                self.serve_once()
        except (OSError, ValueError, struct.error, zlib.error):
            pass  # the client has gone or broke the protocol: either way the connection ends
        finally:
            with self.emulator.tunnels_lock:
                self.emulator.tunnels.discard(self)
            for stream in self.streams.values():
                self.close_target(stream)
            self.wake.close()
            self.waker.close()
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def serve_once(self):
        targets = {stream.target: stream for stream in self.streams.values()
                   if stream.target is not None and self.may_send(stream)}
        if self.connection.pending():
            ready = [self.connection]
        else:
            ready, _, _ = select.select([self.connection, self.wake, *targets], [], [], 0.5)
        for sock in ready:
            if sock is self.wake:
                self.wake.recv(64)
            elif sock is self.connection:
                data = self.receive()
                if data is None:
                    continue
                if not data:
                    self.open = False
                    return
                self.received += data
                self.understand()
            elif targets[sock].target is sock:
                self.from_target(targets[sock])

    def receive(self):
        """What the client sent, b"" at its end, None when only TLS records came that carry
        nothing to read."""
        timeout = self.connection.gettimeout()
        self.connection.settimeout(0)
        try:
            return self.connection.recv(65536)
        except (ssl.SSLWantReadError, ssl.SSLWantWriteError):
            return None
        finally:
            self.connection.settimeout(timeout)

    def may_send(self, stream):
        return not self.flow_controlled or (self.window > 0 and stream.window > 0)

    def send(self, frame):
        self.connection.sendall(websocket_frame(2, frame) if self.websocket else frame)

    def understand(self):
        if self.websocket:
            self.unwrap()
        else:
            self.spdy += self.received
            self.received.clear()
        while self.open and len(self.spdy) >= 8:
            end = 8 + int.from_bytes(self.spdy[5:8], "big")
            if len(self.spdy) < end:
                return
            frame = bytes(self.spdy[:end])
            del self.spdy[:end]
            self.handle(frame)

    def unwrap(self):
        """Moves the payloads of whole WebSocket messages into the SPDY bytes; a SPDY frame may
        span messages."""
        buf = self.received
        while len(buf) >= 2:
            opcode, size, start = buf[0] & 0x0F, buf[1] & 0x7F, 2
            if not buf[1] & 0x80:
                raise ValueError("an unmasked WebSocket frame from the client")
            if size == 126 and len(buf) >= 4:
                size, start = struct.unpack_from(">H", buf, 2)[0], 4
            elif size == 127 and len(buf) >= 10:
                size, start = struct.unpack_from(">Q", buf, 2)[0], 10
            elif size >= 126:
                return
            if len(buf) < start + 4 + size:
                return
            mask = bytes(buf[start:start + 4]) * (size // 4 + 1)
            payload = (int.from_bytes(buf[start + 4:start + 4 + size], "big") ^
                       int.from_bytes(mask[:size], "big")).to_bytes(size, "big")
            del buf[:start + 4 + size]
            if opcode in (0, 2):
                self.spdy += payload
            elif opcode == 8:
                self.connection.sendall(websocket_frame(8, payload[:2]))
                self.open = False
                return
            elif opcode == 9:
                self.connection.sendall(websocket_frame(10, payload))
            elif opcode != 10:
                raise ValueError("WebSocket opcode %d in a binary tunnel" % opcode)

    def handle(self, frame):
        flags, payload = frame[4], frame[8:]
        if not frame[0] & 0x80:
            self.on_data(struct.unpack_from(">I", frame)[0], flags, payload)
            return
        version, kind = struct.unpack_from(">HH", frame)
        if version & 0x7FFF != 3:
            raise ValueError("SPDY version %d" % (version & 0x7FFF))
        if kind == SYN_STREAM:
            headers = self.header_block(payload[10:])
            self.on_syn_stream(struct.unpack_from(">I", payload)[0] & 0x7FFFFFFF, flags, headers)
        elif kind == HEADERS:
            self.header_block(payload[4:])  # read only to keep the shared context in step
        elif kind == RST_STREAM:
            self.on_reset(struct.unpack_from(">I", payload)[0] & 0x7FFFFFFF)
        elif kind == PING:
            self.send(frame)
        elif kind == GOAWAY:
            self.open = False
        elif kind == WINDOW_UPDATE:
            stream_id, delta = struct.unpack_from(">II", payload)
            self.flow_controlled = True
            stream = self.streams.get(stream_id & 0x7FFFFFFF)
            if stream_id & 0x7FFFFFFF == 0:
                self.window += delta & 0x7FFFFFFF
            elif stream is not None:
                stream.window += delta & 0x7FFFFFFF

    def header_block(self, compressed):
        block = self.inflate.decompress(compressed)
        count, pos, headers = struct.unpack_from(">I", block)[0], 4, {}
        for _ in range(count):
            fields = []
            for _ in range(2):
                size = struct.unpack_from(">I", block, pos)[0]
                fields.append(block[pos + 4:pos + 4 + size].decode("latin-1"))
                pos += 4 + size
            headers[fields[0].lower()] = fields[1]
        return headers

    def on_syn_stream(self, stream_id, flags, headers):
        block = self.deflate.compress(struct.pack(">I", 0)) + self.deflate.flush(zlib.Z_SYNC_FLUSH)
        self.send(control_frame(SYN_REPLY, 0, struct.pack(">I", stream_id) + block))
        stream = ForwardedStream(stream_id, headers.get("streamtype"), headers.get("requestid"))
        stream.got_fin = bool(flags & FLAG_FIN)
        self.streams[stream_id] = stream
        if stream.kind == "error":
            self.error_streams[stream.request] = stream_id
        elif stream.kind == "data":
            self.connect(stream, headers.get("port", ""))

    def connect(self, stream, port):
        try:
            if port != str(DEVTRON_POD_PORT):
                raise ConnectionRefusedError("connection refused")
            stream.target = socket.create_connection(
                ("127.0.0.1", self.emulator.dashboard.server_address[1]), timeout=10)
        except OSError as error:
            # As the kubelet says it; kubectl then gives up the whole connection.
            error_stream = self.streams.get(self.error_streams.get(stream.request))
            if error_stream is not None and not error_stream.sent_fin:
                self.send(data_frame(error_stream.id, 0, (
                    "error forwarding port %s to pod %s, uid : failed to connect to "
                    "localhost:%s inside namespace: %s" % (port, self.pod, port, error)).encode()))
            self.finish(stream)

    def on_data(self, stream_id, flags, payload):
        stream = self.streams.get(stream_id)
        if stream is None:
            return
        if payload and stream.target is not None:
            try:
                stream.target.sendall(payload)
            except OSError:
                self.finish(stream)
        if payload:
            # Passed on: the client may send as much again, on the stream and on the connection.
            self.send(control_frame(WINDOW_UPDATE, 0, struct.pack(">II", stream_id, len(payload)))
                      + control_frame(WINDOW_UPDATE, 0, struct.pack(">II", 0, len(payload))))
        if flags & FLAG_FIN:
            stream.got_fin = True
            if stream.target is not None:
                try:
                    stream.target.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
            self.forget_if_done(stream)

    def on_reset(self, stream_id):
        stream = self.streams.pop(stream_id, None)
        if stream is not None:
            self.close_target(stream)
            if stream.kind == "data":
                # kubectl waits for the error stream's end once it has reset the data stream.
                self.end_error_stream(stream.request)

    def from_target(self, stream):
        size = 32768 if not self.flow_controlled else min(32768, self.window, stream.window)
        try:
            data = stream.target.recv(size)
        except OSError:
            data = b""
        if not data:
            self.finish(stream)
            return
        self.window -= len(data)
        stream.window -= len(data)
        self.send(data_frame(stream.id, 0, data))

    def finish(self, stream):
        """The pod's side of a data stream has ended: both streams of its pair end too."""
        self.close_target(stream)
        if not stream.sent_fin:
            stream.sent_fin = True
            self.send(data_frame(stream.id, FLAG_FIN, b""))
        self.end_error_stream(stream.request)
        self.forget_if_done(stream)

    def end_error_stream(self, request):
        stream = self.streams.get(self.error_streams.get(request))
        if stream is not None and not stream.sent_fin:
            stream.sent_fin = True
            self.send(data_frame(stream.id, FLAG_FIN, b""))
            self.forget_if_done(stream)

    def forget_if_done(self, stream):
        if stream.sent_fin and stream.got_fin:
            self.streams.pop(stream.id, None)
            self.close_target(stream)
            if stream.kind == "error":
                self.error_streams.pop(stream.request, None)

    @staticmethod
    def close_target(stream):
        if stream.target is not None:
            stream.target.close()
            stream.target = None


class DashboardHandler(http.server.BaseHTTPRequestHandler):
    """Devtron's dashboard, one page for every path; HTTP/1.0, so each answer ends its
    connection."""
    server_version = "devtron-standin"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        if os.environ.get("NIMBREL_EMULATOR_VERBOSE"):
            sys.stderr.write("cluster_emulator: dashboard: %s\n" % (format % args))

    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(DASHBOARD_PAGE)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(DASHBOARD_PAGE)

    do_HEAD = do_GET


class DashboardServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    block_on_close = False


def node_port_candidates():
    """Some ports of the NodePort range, then 0 for any free port."""
    return secrets.SystemRandom().sample(NODE_PORTS, 32) + [0]


def parent_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


CONTEXTS = (("work", "a", False), ("staging", "b", False), ("staging-exec", "b", True))
EXEC_PLUGIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "exec-credential")


def multi_kubeconfig(argv):
    """Writes one kubeconfig over two emulators, made with kubectl's own config commands as a
    user's file would be: work (cluster A with its token, the current context), staging (cluster
    B with its token) and staging-exec (cluster B, its token from the exec-credential plugin)."""
    parser = argparse.ArgumentParser(prog="cluster_emulator.py multi-kubeconfig",
                                     description=multi_kubeconfig.__doc__)
    parser.add_argument("out", help="the kubeconfig to write")
    parser.add_argument("--cluster-a", required=True, metavar="KUBECONFIG",
                        help="the kubeconfig one emulator wrote")
    parser.add_argument("--cluster-b", required=True, metavar="KUBECONFIG",
                        help="the kubeconfig the other emulator wrote")
    repo_kubectl = os.path.join(os.path.dirname(EXEC_PLUGIN), "..", "..", ".cache", "tools",
                                "kubectl")
    parser.add_argument("--kubectl", default=shutil.which("kubectl") or repo_kubectl,
                        help="the kubectl to write it with")
    args = parser.parse_args(argv)
    work = tempfile.mkdtemp(prefix="nimbrel-kubeconfig-")

    def kubectl(*words, kubeconfig, environment=""):
        return subprocess.run([args.kubectl, *words] + (["--kubeconfig", kubeconfig]
                                                        if kubeconfig else []),
                              check=True, capture_output=True, text=True,
                              env=dict(os.environ, KUBECONFIG=environment)).stdout

    try:
        pieces = {}
        for label, source in (("a", args.cluster_a), ("b", args.cluster_b)):
            view = json.loads(kubectl("config", "view", "--raw", "--minify", "-o", "json",
                                      kubeconfig=source))
            cluster, user = view["clusters"][0]["cluster"], view["users"][0]["user"]
            ca = os.path.join(work, label + ".crt")
            with open(ca, "wb") as out:
                out.write(base64.b64decode(cluster["certificate-authority-data"]))
            piece = pieces[label] = os.path.join(work, label + ".kubeconfig")
            kubectl("config", "set-cluster", "emulator-" + label, "--server", cluster["server"],
                    "--certificate-authority", ca, "--embed-certs=true", kubeconfig=piece)
            for context, cluster_label, by_plugin in CONTEXTS:
                if cluster_label != label:
                    continue
                if by_plugin:
                    kubectl("config", "set-credentials", context, "--exec-command", "/bin/bash",
                            "--exec-arg", EXEC_PLUGIN, "--exec-env",
                            "NIMBREL_EMULATOR_TOKEN=" + user["token"], "--exec-api-version",
                            "client.authentication.k8s.io/v1", "--exec-interactive-mode",
                            "Never", kubeconfig=piece)
                else:
                    kubectl("config", "set-credentials", context, "--token", user["token"],
                            kubeconfig=piece)
                kubectl("config", "set-context", context, "--cluster", "emulator-" + label,
                        "--user", context, kubeconfig=piece)
        kubectl("config", "use-context", CONTEXTS[0][0], kubeconfig=pieces["a"])
        merged = kubectl("config", "view", "--flatten", kubeconfig=None,
                         environment=pieces["a"] + ":" + pieces["b"])
        with open(os.open(args.out, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600), "w",
                  encoding="utf-8") as out:
            out.write(merged)
    except (OSError, KeyError, IndexError, ValueError, subprocess.CalledProcessError) as error:
        print("cluster_emulator: multi-kubeconfig: %s %s" % (error, getattr(error, "stderr", "")),
              file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


def main():
    if sys.argv[1:2] == ["multi-kubeconfig"]:
        return multi_kubeconfig(sys.argv[2:])
    parser = argparse.ArgumentParser(description="Local Kubernetes API emulator for kubectl and helm")
    parser.add_argument("--state-dir", required=True,
                        help="folder for the CA, certificates, kubeconfigs and the control file")
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: a free one)")
    parser.add_argument("--kubeconfig", help="where to write the kubeconfig (default: in state-dir)")
    parser.add_argument("--ready-file", help="also write the ready line into this file")
    parser.add_argument("--parent-pid", type=int, help="stop when this process has gone")
    parser.add_argument("--fault", default="none", choices=FAULT_MODES, help="initial fault mode")
    parser.add_argument("--scenario", default="healthy", choices=sorted(SCENARIOS),
                        help="the cluster's initial shape")
    parser.add_argument("--flavour", default="exporter", choices=sorted(LEFT_OUT),
                        help="how Devtron shows its address: the stand-in's exporter, or "
                             "Devtron's own installer and Service")
    parser.add_argument("--service-shape", default="pending-lb", choices=SERVICE_SHAPES,
                        help="how the cloud serves devtron-service at start")
    parser.add_argument("--installer-applied-after", type=float, default=8.0, metavar="SECONDS",
                        help="when the Installer's sync status turns Applied (upstream flavour)")
    parser.add_argument("--password-after", type=float, default=12.0, metavar="SECONDS",
                        help="when devtron-secret's ADMIN_PASSWORD stops being empty "
                             "(upstream flavour)")
    parser.add_argument("--release", choices=RELEASE_STATES,
                        help="seed helm's records of release devtron in devtroncd in this state")
    parser.add_argument("--namespace-termination-seconds", type=float, default=2.0,
                        metavar="SECONDS", help="how long a deleted namespace stays Terminating")
    parser.add_argument("--extra-namespace", action="append", default=[], metavar="NAME",
                        help="a namespace that exists from the start, not Devtron's (repeatable)")
    parser.add_argument("--refuse-websocket-portforward", action="store_true",
                        help="refuse port-forwarding's WebSocket upgrade, so kubectl falls back "
                             "to SPDY/3.1")
    args = parser.parse_args()

    os.makedirs(args.state_dir, mode=0o700, exist_ok=True)
    state_dir = os.path.abspath(args.state_dir)
    emulator = Emulator(state_dir, args.port, secrets.token_urlsafe(24), args.flavour,
                        args.installer_applied_after, args.password_after,
                        args.refuse_websocket_portforward, args.namespace_termination_seconds)
    try:
        emulator.make_certificates()
    except (OSError, subprocess.CalledProcessError) as error:
        detail = getattr(error, "stderr", b"") or b""
        print("cluster_emulator: could not make certificates with openssl: %s %s"
              % (error, detail.decode(errors="replace")), file=sys.stderr)
        return 2
    emulator.write_file(emulator.control_file, args.fault + "\n")
    emulator.write_file(emulator.scenario_file, args.scenario + "\n")
    emulator.set_scenario(args.scenario)
    emulator.write_file(emulator.service_shape_file, args.service_shape + "\n")
    emulator.set_service_shape(args.service_shape)
    for name in args.extra_namespace:
        emulator.store.create(Store.find("", "namespaces"), None, {"metadata": {"name": name}})
    if args.release:
        emulator.write_file(emulator.release_file, args.release + "\n")
        emulator.set_release(args.release)
        emulator.write_file(emulator.release_applied_file, args.release + "\n")
    emulator.start_dashboard()
    try:
        if args.fault == "closed-port":
            # Reserve a port number, then leave it closed.
            emulator.start_listening()
            emulator.stop_listening()
        else:
            emulator.start_listening()
    except OSError as error:
        print("cluster_emulator: cannot listen on 127.0.0.1:%d: %s" % (args.port, error),
              file=sys.stderr)
        return 2
    emulator.mode = args.fault

    kubeconfig = os.path.abspath(args.kubeconfig or os.path.join(state_dir, "kubeconfig"))
    kubeconfig_no_ca = os.path.join(state_dir, "kubeconfig-no-ca")
    emulator.write_file(kubeconfig, emulator.kubeconfig_text(True))
    emulator.write_file(kubeconfig_no_ca, emulator.kubeconfig_text(False))
    emulator.write_file(emulator.applied_file, args.fault + "\n")
    emulator.write_file(emulator.scenario_applied_file, args.scenario + "\n")
    emulator.write_file(emulator.service_shape_applied_file, args.service_shape + "\n")

    def request_stop(signum, frame):
        emulator.stopping.set()

    signal.signal(signal.SIGTERM, request_stop)
    signal.signal(signal.SIGINT, request_stop)
    threading.Thread(target=emulator.watch_control_files, daemon=True).start()
    threading.Thread(target=emulator.reap_namespaces, daemon=True).start()

    ready = json.dumps({
        "ready": True,
        "pid": os.getpid(),
        "port": emulator.port,
        "server": "https://127.0.0.1:%d" % emulator.port,
        "kubeconfig": kubeconfig,
        "kubeconfigNoCa": kubeconfig_no_ca,
        "controlFile": emulator.control_file,
        "appliedFile": emulator.applied_file,
        "scenarioFile": emulator.scenario_file,
        "scenarioAppliedFile": emulator.scenario_applied_file,
        "serviceShapeFile": emulator.service_shape_file,
        "serviceShapeAppliedFile": emulator.service_shape_applied_file,
        "releaseFile": emulator.release_file,
        "releaseAppliedFile": emulator.release_applied_file,
        "flavour": args.flavour,
        "dashboardPort": emulator.dashboard.server_address[1],
        "stateDir": state_dir,
    })
    if args.ready_file:
        emulator.write_file(os.path.abspath(args.ready_file), ready + "\n", 0o644)
    print(ready, flush=True)

    while not emulator.stopping.wait(0.25):
        if args.parent_pid and not parent_alive(args.parent_pid):
            break
    with emulator.mode_changed:
        emulator.mode_changed.notify_all()
    emulator.stop_listening()
    emulator.dashboard.shutdown()
    emulator.dashboard.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
