#!/usr/bin/python3
# Walks Tickwell with the Orca screen reader, keys only, and checks what Orca would say: the
# "SPEECH OUTPUT" lines of its debug file. Runs itself again under Xvfb on a private session
# bus, with the accessibility bus, a window manager and Orca; speech goes to a null sound
# device. Exits 77 (skipped) where Orca or the tools it needs are missing.
# Usage: orca_walk.py TICKWELL TICKWELL_QUOTED PORTFOLIO
import os, re, shutil, signal, subprocess, sys, tempfile, time

TOOLS = ["orca", "xfwm4", "xdotool", "xvfb-run", "dbus-run-session", "speech-dispatcher"]
# Each step: the keys pressed (xdotool names; "type:TEXT" types TEXT), and a pattern that
# Orca must say before the next step.
STEPS = [
    ("Tab", r"Get Quotes push button"),
    ("F5", r"Done getting quotes"),
    ("Tab", r"Select Portfolio push button"),
    ("ctrl+o", r"Open dialog"),
    ("type:input.txt Return", r"Tickwell frame"),
    ("Tab", r"Adv read only text"),
    ("Tab", r"^\d+\.?$"),  # Decl's whole value
    ("Tab Tab Tab Tab", r"table with \d+ rows 6 columns"),
    ("Up", r"\d:\d\d[AP]M"),
    ("ctrl+Page_Down", r"notification RealTime"),
    ("ctrl+Tab", r"notification Portfolios"),
    ("Tab shift+Tab", r"Portfolio text"),
    ("ctrl+o", r"Open dialog"),
    ("type:input.txt Return", r"Tickwell frame"),
    ("Tab", r"Add or Delete stock symbols"),
    ("ctrl+Page_Down", r"notification Quotes"),
    ("ctrl+r", r"\d:\d\d[AP]M"),  # the row now current after the sort
]


def skip(why):
    print("SKIP: " + why)
    sys.exit(77)


def start(command, **kw):
    return subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def main():
    tickwell, quoted, portfolio = sys.argv[1:4]
    home = tempfile.mkdtemp(prefix="orca-walk-")
    # speech-dispatcher plays through ALSA into a null device, not through PulseAudio.
    os.makedirs(home + "/.config/speech-dispatcher")
    conf = open("/etc/speech-dispatcher/speechd.conf").read() if os.path.exists("/etc/speech-dispatcher/speechd.conf") else ""
    open(home + "/.config/speech-dispatcher/speechd.conf", "w").write(conf + '\nAudioOutputMethod "alsa"\n')
    open(home + "/.asoundrc", "w").write("pcm.!default { type null }\n")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config")
    env.pop("QT_QPA_PLATFORM", None)
    log = home + "/orca.out"
    started = []
    try:
        started.append(start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env))
        time.sleep(1)
        started.append(start(["xfwm4", "--compositor=off"], env=dict(env, NO_AT_BRIDGE="1")))
        # Orca's debug file, line-buffered, so that each line is there when it is said.
        orca = ("import builtins, runpy, sys\n"
                "real, log = builtins.open, sys.argv[1]\n"
                "builtins.open = lambda f, m='r', *a, **k: real(f, m, buffering=1) if f == log else real(f, m, *a, **k)\n"
                "sys.argv = ['orca', '--debug-file=' + log]\n"
                "runpy.run_path('/usr/bin/orca', run_name='__main__')\n")
        started.append(start(["/usr/bin/python3", "-c", orca, log], env=env))
        server = subprocess.Popen([quoted, "--port", "0", "--exit-after", "170"], stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True, env=env)
        started.append(server)
        port = re.search(r"127\.0\.0\.1:(\d+)", server.stdout.readline()).group(1)
        folder = home + "/run"
        os.makedirs(folder)
        shutil.copy(portfolio, folder + "/input.txt")
        time.sleep(3)  # Orca is ready for the window
        started.append(start([tickwell, "--server", "127.0.0.1:" + port], cwd=folder,
                             env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")))
        said = Speech(log)
        said.expect(r"Tickwell frame", 20)
        for keys, pattern in STEPS:
            for key in keys.split(" "):
                if key.startswith("type:"):
                    subprocess.run(["xdotool", "type", "--delay", "40", key[5:]], env=env, check=True)
                else:
                    subprocess.run(["xdotool", "key", key], env=env, check=True)
                time.sleep(0.3)
            said.expect(pattern, 10, keys)
        print("PASS: %d steps heard" % len(STEPS))
    finally:
        for process in reversed(started):
            process.send_signal(signal.SIGTERM)
        for process in started:
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        if "ORCA_WALK_KEEP" not in os.environ:
            shutil.rmtree(home, ignore_errors=True)


class Speech:
    def __init__(self, path):
        self.path, self.seen = path, 0

    def lines(self):
        try:
            text = open(self.path, errors="replace").read()
        except FileNotFoundError:
            return []
        return re.findall(r"SPEECH OUTPUT: '(.*)' ?\{", text)

    # Waits until Orca has said something matching pattern since the last step.
    def expect(self, pattern, seconds, keys="start"):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            lines = self.lines()
            for i in range(self.seen, len(lines)):
                if re.search(pattern, lines[i]):
                    self.seen = i + 1
                    return
            time.sleep(0.2)
        new = self.lines()[-15:]
        sys.exit("FAIL after %s: expected %r, Orca said %r" % (keys, pattern, new))


if __name__ == "__main__":
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        skip("missing " + ", ".join(missing))
    if "TICKWELL_ORCA_SESSION" not in os.environ:
        os.environ["TICKWELL_ORCA_SESSION"] = "1"
        sys.exit(subprocess.call(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", "dbus-run-session", "--",
                                  "/usr/bin/python3"] + sys.argv, timeout=170))
    main()
