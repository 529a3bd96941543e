#!/usr/bin/env python3
"""Walks Nimbrel's real window on a private Xvfb display with xdotool, against the cluster emulator,
from the first screen to the stored keychain items. Screenshots go to BUILD/clickthrough/MODE/.

Usage: clickthrough.py install|configure|configure-en|unread|existing|upstream|contexts|choices|repair BUILD_DIR
"configure-en" is "configure" with LANGUAGE=en: the same walk, its log lines in English.
"install" goes on past the warning of a cluster without a default StorageClass, and the wait names
the volume that stays Pending. "unread" installs into a healthy cluster, loses devtron-secret before
the read-back and the keyring before "完成" (on a bus and keyring of its own). "existing" finds Devtron
installed and reads its access data. "upstream" installs Devtron as its own installer sets it up,
behind a load balancer that never gets an address: the completion screen opens a local tunnel, the
walk fetches the dashboard through it, and only the password is stored. "contexts" offers a
kubeconfig of three contexts over two clusters, picks the second (a click on the first, then the
Down key) and installs there (the e2e tests check that nothing else changed). "choices" installs the
minimal variant from Gitee and reads back what reached the cluster. "repair" finds the release of an earlier installation failed, clears it through the
checklist's button and its question, and installs. All but "unread" need an
unlocked Secret Service (scripts/test.sh has one)."""
import base64
import ctypes
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.request
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
SERVICE = "com.orvane.nimbrel"
KEYS = ("devtronUrl", "devtronUsername", "devtronPassword")
LIBC = ctypes.CDLL(None)

# Window-relative points of the 800x460 main window, the save alert and the save-failure alert.
BROWSE, NEXT, SWITCH, SWITCH_EN = (504, 271), (734, 411), (371, 121), (444, 139)
FINISH, ALERT_FINISH, FAILURE_RETRY = (740, 411), (142, 140), (176, 140)
# "继续安装" of the pre-flight warnings' alert and "读取访问信息" of the existing release's; the
# broken release item's "清理后重新安装" in the main window and "清理" of its question.
CONTINUE, READ_ACCESS = (55, 121), (162, 175)
FIRST_CONTEXT = (270, 275)
# The radio buttons "最小安装" and "Gitee" of the install options.
MINIMAL, GITEE = (300, 201), (369, 258)
REPAIR, CLEAN = (322, 339), (350, 151)
WARNING = "\u26a0\ufe0f"
PENDING_VOLUME = ("Devtron状态: Pod就绪: 1/2，存储卷 devtron-postgresql-data 处于Pending状态："
                  "集群没有可用的默认StorageClass")
# No service directories: a stopped keyring stays away instead of coming back locked and prompting.
BUS_CONFIG = """<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>
</policy></busconfig>"""


# The lines and the title an English configure-only walk meets, by their Chinese.
ENGLISH = {
    "=== Nimbrel 安装日志 ===": "=== Nimbrel installation log ===",
    "安装会话开始": "Installation session started",
    "选择Kubeconfig文件": "Choose a kubeconfig file",
    "用户选择了Kubeconfig文件: ": "User chose kubeconfig file: ",
    "开始验证Kubeconfig文件: ": "Validating kubeconfig file: ",
    "Kubeconfig文件验证成功 ✓": "Kubeconfig file is valid ✓",
    "进入步骤: 选择是否安装Devtron": "Entering step: Choose whether to install Devtron",
    "开始安装程序...": "Starting the installer...",
    "仅配置环境，不安装Devtron": "Only setting up the environment, not installing Devtron",
    "环境配置完成 - 使用应用内置工具": "Environment set up - using the bundled tools",
    "环境配置成功": "Environment set up",
    "安装完成，正在自动跳转到下一步...": "Installation finished, moving on to the next step...",
    "跳过等待服务启动页面，直接进入完成页面": "Skipping the wait for services, going straight to the last page",
    "总安装时间: *": "Total installation time: *",
}


class Failure(Exception):
    pass


def die_with_driver():
    LIBC.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG: no child outlives a killed driver


class ClickThrough:
    def __init__(self, mode, build):
        self.english = mode.endswith("-en")
        self.mode, self.build = mode.removesuffix("-en"), Path(build).resolve()
        self.work = Path(tempfile.mkdtemp(prefix="nimbrel-click-"))
        self.shots = self.build / "clickthrough" / mode
        self.procs, self.count, self.step = [], 0, "start"
        self.env = dict(os.environ, QT_QPA_PLATFORM="xcb", DEVTRON_CHART=str(
            SOURCE / "scripts/cluster-emulator/devtron-standin"), LANGUAGE="en" if self.english else "zh",
            NIMBREL_SERVICE_WAIT_SECONDS="20")
        for name, sub in (("HOME", "home"), ("XDG_STATE_HOME", "state"), ("XDG_CONFIG_HOME", "config"),
                          ("XDG_DATA_HOME", "data"), ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "run")):
            self.env[name] = str(self.work / sub)
            (self.work / sub).mkdir(mode=0o700)
        self.log = self.work / "state/nimbrel/devtron_install.log"
        self.kubeconfig = self.work / "集群 配置" / "演示 kubeconfig"

    def t(self, text):
        return ENGLISH[text] if self.english else text

    def spawn(self, *args, **kw):
        proc = subprocess.Popen(args, env=self.env, preexec_fn=die_with_driver, **kw)
        self.procs.append(proc)
        return proc

    def run(self, *args, env=None, **kw):
        return subprocess.run(args, env=env or self.env, check=True, capture_output=True, text=True,
                              timeout=60, **kw).stdout.strip()

    def xdo(self, *args):
        return self.run("xdotool", *map(str, args))

    def start(self):
        shutil.rmtree(self.shots, ignore_errors=True)
        self.shots.mkdir(parents=True)
        read, write = os.pipe()
        self.spawn("Xvfb", "-displayfd", str(write), "-screen", "0", "1024x600x24", "-nolisten",
                   "tcp", pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.env["DISPLAY"] = ":" + pipe.readline().strip()
        if self.mode == "unread":
            (config := self.work / "bus.conf").write_text(BUS_CONFIG, encoding="utf-8")
            bus = self.spawn("dbus-daemon", "--nofork", "--print-address=1", "--config-file", config,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
            self.keyring(True)
        for key in KEYS:
            subprocess.run(["secret-tool", "clear", "server", SERVICE, "user", key], env=self.env, timeout=60)
        self.kubeconfig.parent.mkdir()
        scenario = "no-default-storage" if self.mode == "install" else "healthy"
        flavour = "upstream" if self.mode == "upstream" else "exporter"
        contexts = self.mode == "contexts"
        release = ["--release", "failed"] if self.mode == "repair" else []
        for state, kubeconfig in [("cluster", self.work / "staging" if contexts else self.kubeconfig),
                                  *([("cluster-a", self.work / "work")] if contexts else [])]:
            emulator = self.spawn(sys.executable, SOURCE / "scripts/cluster-emulator/cluster_emulator.py",
                                  "--state-dir", self.work / state, "--kubeconfig", kubeconfig,
                                  "--scenario", scenario, "--flavour", flavour, "--service-shape",
                                  "pending-lb", *release, stdout=subprocess.PIPE, text=True)
            if not json.loads(emulator.stdout.readline() or "{}").get("ready"):
                raise Failure("the cluster emulator did not start")
        if contexts:
            self.write_contexts()
        # Installed below a folder with a blank and Chinese characters, as a user's prefix may be.
        prefix = self.work / "安装 目录"
        self.run("cmake", "--install", self.build, "--prefix", prefix)
        self.tools = prefix / "lib/nimbrel/tools"
        if self.mode == "existing":
            self.run("bash", self.tools / "devtron-charts/install.sh", env=dict(
                self.env, KUBECONFIG=str(self.kubeconfig), PATH="%s:%s" % (self.tools, os.environ["PATH"])))
        self.nimbrel = self.spawn(prefix / "bin/nimbrel")
        self.window = self.xdo("search", "--sync", "--name", "^Nimbrel$").split()[0]

    def write_contexts(self):
        """Cluster A as "work" (current), B as "staging" and, through a plugin, as "staging-exec"."""
        kubectl = self.build / "lib/nimbrel/tools/kubectl"
        a, b = (json.loads(self.run(kubectl, "config", "view", "--raw", "-o", "json", "--kubeconfig",
                                    self.work / name)) for name in ("work", "staging"))
        plugin = self.kubeconfig.parent / "bin/credential"
        plugin.parent.mkdir()
        plugin.write_text("#!/bin/bash\nprintf '%s'\n" % json.dumps({
            "apiVersion": "client.authentication.k8s.io/v1", "kind": "ExecCredential",
            "status": {"token": b["users"][0]["user"]["token"]}}))
        plugin.chmod(0o700)
        exec_user = {"exec": {"apiVersion": "client.authentication.k8s.io/v1", "command": "bin/credential",
                              "interactiveMode": "Never"}}
        config = {"apiVersion": "v1", "kind": "Config", "current-context": "work",
                  "clusters": [{"name": "a", "cluster": a["clusters"][0]["cluster"]},
                               {"name": "b", "cluster": b["clusters"][0]["cluster"]}],
                  "users": [{"name": "ua", "user": a["users"][0]["user"]},
                            {"name": "ub", "user": b["users"][0]["user"]}, {"name": "ub-exec", "user": exec_user}],
                  "contexts": [{"name": n, "context": {"cluster": c, "user": u}} for n, c, u in
                               (("work", "a", "ua"), ("staging", "b", "ub"), ("staging-exec", "b", "ub-exec"))]}
        (source := self.work / "contexts.json").write_text(json.dumps(config))
        self.kubeconfig.write_text(self.run(kubectl, "config", "view", "--flatten", "--kubeconfig", source) + "\n")

    def keyring(self, on):
        """Starts or stops this walk's GNOME Keyring; the same password unlocks the same keyring."""
        if on:
            self.keyring_daemon = self.spawn("gnome-keyring-daemon", "--foreground", "--unlock",
                                             "--components=secrets", stdin=subprocess.PIPE,
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.keyring_daemon.stdin.write(b"nimbrel-test")
            self.keyring_daemon.stdin.close()
        else:
            self.keyring_daemon.terminate()
            self.keyring_daemon.wait(timeout=10)
        until(lambda: self.run("dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                               "/", "org.freedesktop.DBus.NameHasOwner", "string:org.freedesktop.secrets"
                               ).endswith("true") == on, "the Secret Service did not come or go")

    def text(self):
        return self.log.read_text(encoding="utf-8") if self.log.exists() else ""

    def wait(self, step, *lines, timeout=60):
        """Polls the session log until LINES appear in this order; a '*' ends a prefix."""
        self.step, deadline = step, time.monotonic() + timeout
        while (absent := missing(self.text(), lines)) is not None:
            if self.nimbrel.poll() is not None:
                raise Failure("Nimbrel ended with status %d" % self.nimbrel.returncode)
            if time.monotonic() > deadline:
                raise Failure("no line %r in order within %d s" % (absent, timeout))
            time.sleep(0.2)

    def shot(self, name, window=None):
        time.sleep(0.5)  # the step's line is logged before its screen is painted
        self.count += 1
        self.run("import", "-window", window or self.window, self.shots / f"{self.count:02}-{name}.png")

    def click(self, point, window=None):
        self.xdo("mousemove", "--window", window or self.window, *point, "click", "1")

    def answer_alert(self, title, name, point):
        """Shows the checklist beside the alert, then presses the button at POINT."""
        self.step = title
        alert = self.xdo("search", "--sync", "--name", "^%s$" % title).split()[0]
        # Over the step list, so that the whole checklist shows on the screen beside it.
        self.xdo("windowmove", "--sync", alert, 0, 330)
        self.shot(name, "root")
        self.click(point, alert)

    def choose_file(self):
        self.step = "file dialog"
        dialog = self.xdo("search", "--sync", "--name", "^%s$" % self.t("选择Kubeconfig文件")).split()[0]
        self.shot("file-dialog", dialog)
        # xdotool drops Chinese characters now and then when it types them; a paste carries them whole.
        subprocess.run(["xclip", "-selection", "clipboard"], input=str(self.kubeconfig), text=True,
                       env=self.env, check=True, timeout=60)
        self.xdo("key", "ctrl+a", "ctrl+v")
        self.shot("file-dialog-pasted", dialog)
        self.xdo("key", "Return")
        self.wait("file chosen", self.t("用户选择了Kubeconfig文件: ") + self.kubeconfig.name, timeout=30)

    def expected(self):
        if self.mode == "configure":
            return dict.fromkeys(KEYS, "")
        kubectl = [self.tools / "kubectl", "--kubeconfig", self.kubeconfig, "-n", "devtroncd",
                   *(["--context", "staging"] if self.mode == "contexts" else []), "get", "-o"]
        # A tunnel's address ends with Nimbrel: it is never stored.
        url = "" if self.mode == "upstream" else self.run(
            *kubectl, "jsonpath={.status.url}", "serviceexporter", "devtron-itf") + ":22443"
        # The stand-in serves its address without a port; Nimbrel adds Devtron's.
        expected = {"devtronUrl": url, "devtronUsername": "admin", "devtronPassword": ""}
        if self.mode in ("install", "existing", "upstream", "contexts", "choices", "repair"):
            secret = self.run(*kubectl, "jsonpath={.data.ADMIN_PASSWORD}", "secret", "devtron-secret")
            expected["devtronPassword"] = base64.b64decode(secret).decode()
        return expected

    def stored(self):
        return {key: subprocess.run(["secret-tool", "lookup", "server", SERVICE, "user", key], env=self.env,
                                    capture_output=True, text=True, timeout=60).stdout for key in KEYS}

    def walk(self):
        install, unread = self.mode != "configure", self.mode == "unread"
        self.start()
        self.wait("first screen", self.t("=== Nimbrel 安装日志 ==="), self.t("安装会话开始"))
        self.shot("kubeconfig")
        self.click(BROWSE)
        self.choose_file()
        self.shot("kubeconfig-chosen")
        if self.mode == "contexts":
            self.click(FIRST_CONTEXT)
            self.xdo("key", "Down")
            self.shot("kubeconfig-second-context")
        self.click(NEXT)
        self.wait("validation", self.t("开始验证Kubeconfig文件: ") + self.kubeconfig.name,
                  *(["使用上下文: staging，集群: *"] if self.mode == "contexts" else []),
                  self.t("Kubeconfig文件验证成功 ✓"), self.t("进入步骤: 选择是否安装Devtron"))
        self.shot("choice")
        if self.mode == "choices":
            self.click(MINIMAL)
            self.click(GITEE)
            self.wait("choices", "选择Devtron版本: 最小安装", "选择安装来源: Gitee")
            self.shot("choice-minimal-gitee")
        if not install:
            self.click(SWITCH_EN if self.english else SWITCH)
            self.shot("choice-tools-only")
        self.click(NEXT)
        if self.mode == "existing":
            self.wait("pre-flight", "开始安装前检查...", "检查 已有安装 %s 集群中已经部署了Devtron" % WARNING)
            self.answer_alert("Devtron已安装", "existing", READ_ACCESS)
            self.wait("read-back", "读取现有Devtron安装的访问信息", "Devtron已在运行，直接获取访问信息",
                      "服务启动完成，可以进入下一步", timeout=120)
            self.shot("waiting-done")
            self.click(NEXT)
            self.wait("completion", "进入步骤: 安装完成")
            self.shot("completion")
            self.finish()
            return
        if self.mode == "repair":
            self.wait("pre-flight", "开始安装前检查...", "检查 已有安装 ✗ 上次安装未完成，Devtron发布处于failed*",
                      "安装前检查未通过，无法开始安装")
            self.shot("broken-release")
            self.click(REPAIR)
            self.answer_alert("清理Devtron发布", "repair", CLEAN)
            # The installer starts the log file afresh once the check after the clean-up passes.
            self.wait("repair", "用户请求清理处于failed*", "执行命令: *", ">> release \"devtron\" uninstalled",
                      "已清理处于failed*")
        if self.mode == "install":
            self.wait("pre-flight", "开始安装前检查...", "检查 存储 %s 没有默认StorageClass，Devtron的数据库卷将"
                      "一直处于Pending状态" % WARNING)
            self.answer_alert("安装前检查有警告", "preflight", CONTINUE)
        self.wait("installation", self.t("开始安装程序..."),
                  "开始安装Devtron..." if install else self.t("仅配置环境，不安装Devtron"))
        self.shot("installation")
        if install:
            self.wait("installation end", "安装完成，正在自动跳转到下一步...", timeout=180)
            self.shot("installation-done")
            self.wait("waiting", "等待Devtron服务启动，倒计时: 20秒")
            if unread:
                (self.work / "cluster/fault").write_text("secret-missing\n")
                until(lambda: "secret-missing" in (self.work / "cluster/fault.applied").read_text(), "no fault")
            if self.mode == "install":
                self.wait("readiness", PENDING_VOLUME, timeout=30)
            if self.mode == "upstream":
                self.wait("readiness", "Devtron安装器：已完成（Applied）", timeout=60)
            self.shot("waiting")
            self.wait("countdown", "等待中... 剩余10秒", timeout=30)
            self.shot("waiting-countdown")
            self.wait("credentials", "未能获取完整的Devtron凭证，可在下一步重新读取" if unread
                      else "服务启动完成，可以进入下一步", timeout=120)
            self.shot("waiting-unread" if unread else "waiting-done")
            self.click(NEXT)
            self.wait("completion", "进入步骤: 安装完成")
            if self.mode == "upstream":
                self.through_tunnel()
        else:
            self.wait("completion", self.t("跳过等待服务启动页面，直接进入完成页面"), timeout=120)
        self.shot("completion")
        if self.mode == "choices":
            # The installed variant and source stand below the installed tools.
            self.xdo("mousemove", "--window", self.window, 500, 300, "click", "--repeat", 10, 5)
            self.shot("completion-choices")
        self.finish()

    def through_tunnel(self):
        """Waits for the tunnel and Devtron's answer there, then fetches the dashboard through it."""
        self.wait("tunnel", "本地隧道已建立: *", "Devtron已可以访问: *", timeout=60)
        address = next(line.partition("Devtron已可以访问: ")[2] for line in self.text().splitlines()
                       if "Devtron已可以访问: " in line)
        if not address.startswith("http://127.0.0.1:"):
            raise Failure("the tunnel's address is %r" % address)
        self.step = "dashboard"
        with urllib.request.urlopen(address, timeout=10) as page:
            if "<title>Devtron</title>" not in page.read().decode():
                raise Failure("no Devtron page at %s" % address)

    def finish(self):
        install, unread = self.mode != "configure", self.mode == "unread"
        if unread:
            self.keyring(False)
        self.click(FINISH)
        if install:
            self.step = "save alert"
            alert = self.xdo("search", "--sync", "--name", "^保存访问信息$").split()[0]
            self.shot("save-alert", alert)
            self.click(ALERT_FINISH, alert)
        if unread:
            self.wait("save failure", "保存到钥匙串失败: *")
            failure = self.xdo("search", "--sync", "--name", "^保存到钥匙串失败$").split()[0]
            self.shot("save-failure", failure)
            time.sleep(1)  # the longest a quit waits for the "已保存" notice
            self.shot("save-failure-screen", "root")
            if self.nimbrel.poll() is not None:
                raise Failure("Nimbrel quit although nothing was saved")
            self.keyring(True)
            self.click(FAILURE_RETRY, failure)
        self.step = "quit"
        if self.nimbrel.wait(timeout=60) != 0:
            raise Failure("Nimbrel ended with status %d" % self.nimbrel.returncode)
        self.check()

    def check(self):
        expected = self.expected()
        self.step = "log order"
        waiting = ["开始安装程序...", "开始安装Devtron...", "未找到名为devtron的Helm发布，可以安装Devtron",
                   "Devtron安装成功完成！✓", "安装完成，状态: 成功", "安装完成，正在自动跳转到下一步...",
                   "进入步骤: 等待服务启动", "开始等待服务就绪阶段", "等待Devtron服务启动，倒计时: 20秒",
                   "等待中... 剩余10秒", "等待中... 剩余0秒", "等待时间结束，开始检索Devtron凭证",
                   "正在获取Devtron凭证..."]
        existing = ["检查 已有安装 %s 集群中已经部署了Devtron" % WARNING, "读取现有Devtron安装的访问信息",
                    "开始等待服务就绪阶段", "Devtron已在运行，直接获取访问信息",
                    "正在获取Devtron凭证...", "成功获取Devtron凭证，URL: %s, 用户名: admin" % expected["devtronUrl"],
                    "服务启动完成，可以进入下一步", "进入步骤: 安装完成"]
        lines = {
            "install": [*waiting, "成功获取Devtron凭证，URL: %s, 用户名: admin" % expected["devtronUrl"],
                        "服务启动完成，可以进入下一步", "进入步骤: 安装完成", "总安装时间: *"],
            "upstream": [*waiting, "集群中没有serviceexporter类型，改为读取devtron-service服务",
                         "成功获取Devtron凭证，地址将通过本地隧道提供，用户名: admin", "服务启动完成，可以进入下一步",
                         "进入步骤: 安装完成", "建立本地隧道: *", "本地隧道已建立: *", "Devtron已可以访问: *"],
            "unread": [*waiting, "获取到Devtron URL: " + expected["devtronUrl"], "无法读取Devtron密码: *",
                       "未能获取完整的Devtron凭证，可在下一步重新读取", "进入步骤: 安装完成", "总安装时间: *"],
            # The installer starts the log file afresh; the choices are named again there.
            "choices": [*waiting[:3], "Devtron版本: 最小安装，安装来源: Gitee",
                        ">> Devtron variant minimal, manifests from gitee; helm values: --set installer.source=gitee",
                        *waiting[3:], "服务启动完成，可以进入下一步", "进入步骤: 安装完成"],
            "existing": existing,
            "contexts": [*waiting, "成功获取Devtron凭证，URL: %s, 用户名: admin" % expected["devtronUrl"],
                         "服务启动完成，可以进入下一步", "进入步骤: 安装完成", "总安装时间: *"],
            "configure": [*map(self.t, ["开始安装程序...", "仅配置环境，不安装Devtron", "环境配置完成 - 使用应用内置工具",
                          "环境配置成功", "安装完成，正在自动跳转到下一步...", "跳过等待服务启动页面，直接进入完成页面",
                          "总安装时间: *"])],
        }["install" if self.mode == "repair" else self.mode]
        if (absent := missing(self.text(), lines)) is not None:
            raise Failure("the session log lacks %r after the lines before it" % absent)
        if expected["devtronPassword"] and expected["devtronPassword"] in self.text():
            raise Failure("the password reached the session log")
        if self.mode == "unread" and "成功获取Devtron凭证" in self.text():
            raise Failure("the session log claims credentials that were not read")
        if self.mode == "existing" and "开始安装程序..." in self.text():
            raise Failure("Devtron was installed a second time")
        if self.mode == "choices":
            self.step = "values in the cluster"
            values = self.run(self.tools / "kubectl", "--kubeconfig", self.kubeconfig, "-n", "devtroncd", "get",
                              "configmap", "devtron-install-values", "-o", "jsonpath={.data.installer\\.modules}|"
                              "{.data.installer\\.source}|{.data.argo-cd\\.enabled}")
            if values != "|gitee|":
                raise Failure("the cluster holds the values %r, expected '|gitee|'" % values)
        self.step = "keychain"
        if self.stored() != expected:
            raise Failure("keychain holds %r, expected %r" % (self.stored(), expected))

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(self.work, ignore_errors=True)


def until(condition, failure, timeout=10):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Failure(failure)
        time.sleep(0.05)


def missing(text, lines):
    """The first of LINES that is not in TEXT after the ones before it, or None."""
    messages = iter(line.partition("] ")[2] for line in text.splitlines())
    for want in lines:
        if not any(m.startswith(want[:-1]) if want.endswith("*") else m == want for m in messages):
            return want
    return None


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("clickthrough: terminated"))
    run = ClickThrough(sys.argv[1], sys.argv[2])
    started = time.monotonic()
    try:
        run.walk()
    except (Failure, subprocess.SubprocessError) as error:
        tail = "\n".join(run.text().splitlines()[-15:])
        sys.exit(f"clickthrough {run.mode}: step '{run.step}' failed: {error}\nlog tail:\n{tail}")
    finally:
        run.stop()
    print(f"clickthrough {run.mode}: passed in {time.monotonic() - started:.0f} s; screenshots in {run.shots}")


if __name__ == "__main__":
    main()
