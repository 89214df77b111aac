"""The real launcher under Wine: what it starts and how, what the user sees and is told (docs/testing.md)."""
import os
import re
import shlex
import subprocess
from pathlib import Path

import pytest

BUILD, SOURCE = Path(os.environ["TESSALY_WINDOWS_BUILD"]).resolve(), Path(__file__).parents[2]
PICTURE, ART, SCREEN = SOURCE / "docs/splash.png", SOURCE / "launcher/resources/splash", (2560, 1600)  # with-wine's
# The launcher's own registry view, then the other: 32-bit for an i386 exe (PE machine 0x14c), else 64-bit.
OWN, OTHER = ("32", "64") if b"PE\0\0L\1" in (BUILD / "TessalyPushGateway.exe").read_bytes()[:1024] else ("64", "32")
JRE, TEMURIN = "JavaSoft\\Java Runtime Environment\\", r"Eclipse Adoptium\JDK\17.0.9.9\hotspot\MSI@Path"
MICROSOFT, MINE = r"Microsoft\JDK\17.0.9.8\hotspot\MSI@Path", "HKCU\\" + TEMURIN  # a Java for one user
PROFILE = "Users/Дмитрий/AppData/Local/Programs/"  # a user's name outside the ANSI code page, 1252
M1 = (r"You have not Installed Java Runtime Environment on your computer.\r\nDownload and install Java Runtime "
      r"Environment Version 1.4 or higher version.\r\nPlease refer installtion guide of Tessaly Handset Gateway for "
      r"further help")
M2, E2 = "Java Runtime Environment version 1.4 or higher version is not avaiable", "Error While Searching JVM on Your Machine"
FAILED = r"The Java application could not be started.\r\n\r\nError {}: "  # then the system's text for it
STOPPED = (r'The Java application stopped as soon as it started, with exit code 1.\r\n\r\nWhat it wrote last:\r\n'
           r'Starting the gateway\r\nException in thread "main" java.lang.UnsupportedClassVersionError: '
           r'pdu_next/Frame11\r\nCould not find the main class: pdu_next.Frame11 in Jävä. Program will exit.\r\n\r\n'
           r'To see which Java was started and whether every file is in place, run {folder}\TessalyCheck.exe')
CLASS_PATH = [rf"\DarAvizAru\lib\{jar}.jar" for jar in ("slf4j-api-1.1.0", "slf4j-log4j12-1.1.0", "daravizaru", "jdc",
                                                        "log4j-1.2.8")] + [r"\DarAvizAru"]


def win(path): return "Z:" + str(path).replace("/", "\\")


def wine(*args, **options):  # once more where Wine could not start the program at all (seen once in CI, loaded, on reg)
    run = lambda: subprocess.run(["timeout", "120", "wine", *map(str, args)], capture_output=True, text=True, **options)
    return done if "Application could not be started" not in (done := run()).stdout + done.stderr else run()


def fields(line):  # 'first|a=1|text=x|y' as {'': 'first', 'a': '1', 'text': 'x|y'}: a text comes last, may hold '|'
    head, _, text = line.partition("|text=")
    first, *rest = head.split("|")
    return {"": first, "text": text, **dict(part.split("=", 1) for part in rest)}


class Case:
    def __init__(self, root):
        self.root = root
        # Plain java on the search path, in a folder no Java's bin folder (a stub's), so only registered Javas count.
        self.env = dict(os.environ, TESSALY_STANDIN_LOG=win(root / "children.log"), WINEPATH=win(self.copy(
            "probe.exe", "javapath/java.exe").parent))
        self.env.pop("JAVA_HOME", None)  # the machine's own

    def java(self, folder):  # a stand-in Java runtime; its folder as Windows names it
        self.copy("probe.exe", Path(folder) / "bin" / "java.exe")
        return win(self.root / folder)

    def copy(self, name, to):
        (self.root / to).parent.mkdir(parents=True, exist_ok=True)
        (self.root / to).write_bytes((BUILD / name).read_bytes())
        return self.root / to

    def launch(self, exe, *options, when_frozen=None):  # the probe's lines by kind, in order; the children's records
        probe = subprocess.Popen(["timeout", "120", "wine", BUILD / "probe.exe", exe, *options], cwd=self.root,
                                 env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        run = {"order": [], "control": [], "box": []}  # each box: its caption and its controls
        for line in probe.stdout:
            kind, _, rest = line.rstrip("\n").partition(" ")
            run["order"].append(kind)
            if kind == "box" or kind == "control" and run["box"]:
                run["box"].append((rest, [])) if kind == "box" else run["box"][-1][1].append(fields(rest))
            else:
                run.setdefault(kind, []).append(fields(rest) if kind in ("window", "control") else rest)
            if kind == "frozen":
                when_frozen(run)
                print("go on", file=probe.stdin, flush=True)
        assert probe.wait() == 0
        records = log.read_text("utf-8").split("end\n")[:-1] if (log := self.root / "children.log").exists() else []
        run["children"] = [{key: [line.split("=", 1)[1] for line in record.splitlines() if line.startswith(key + "=")]
                            for key in {line.split("=")[0] for line in record.splitlines()}} for record in records]
        return run


case = pytest.fixture(lambda tmp_path: Case(tmp_path), name="case")  # each test's own folder


def expect(run, boxes, exit_code, program, folder):
    """The splash as defined; the boxes, shown after it had gone; the exit code; the one Java started, if any."""
    window = run["window"][0]
    assert (window["text"], window["client"]) == ("Tessaly Push Server", "518,376")
    assert int(window["style"]) & 0x00CF0000 == 0x00C80000 and int(window["exstyle"]) & 0x1  # a caption, a close box
    # The frame on the form, the picture and nine labels in the frame; where and how: test_splash_at_the_screens_scale.
    assert [(c[""], c["in"]) for c in run["control"]] == [("Button", "frmSplash")] + [("Static", "Button")] * 10
    assert run["exit"][0].split("|")[0] == str(exit_code) and len(run["box"]) == len(boxes)
    assert not run["box"] or run["order"].index("gone") < run["order"].index("box")
    for (caption, controls), text in zip(run["box"], boxes):
        shown = "".join(c["text"] for c in controls if c[""] == "Static")
        assert (caption, [c[""] for c in controls].count("Button"), {c["icon"] for c in controls}) == (
            "Tessaly Web Gateway", 1, {"0"})
        assert shown == text or text.endswith(": ") and shown.startswith(text), shown
    assert len(run["children"]) == (program is not None)
    if program:
        class_path, child = ";".join(folder + entry for entry in CLASS_PATH), run["children"][0]
        assert {k: child.get(k) for k in ("argv", "cmdline", "cwd", "show", "console", "inherited", "allowed")} == {
            "argv": [program, "-classpath", class_path, "pdu_next.Frame11", "autostart"],
            "cmdline": [(f'"{program}"' if program != "java" else program) + ' -classpath "' +
                        class_path.replace(";", '";"') + '" pdu_next.Frame11 autostart'],
            "cwd": [folder], "show": ["0"], "console": ["0"], "inherited": [""],
            "allowed": ["D:P(A;;GA;;;SY)(A;;GA;;;S-1-5-21-0-0-0-1000)"]}  # its pipe: for the user (Wine's), the system
        assert re.fullmatch(r"\\TessalyPushGateway-[0-9a-f]{32}", child["pipe"][0]) and not PIPES & set(child["pipe"])
        PIPES.update(child["pipe"])  # 128 random bits in its name, never the same twice


PIPES = set()  # every pipe name any launcher of this run made


def looks_like(picture, at=None, within=0, key="differences"):  # the window, or a box (x, y, w, h) of it
    def shoot(run):
        x, y, width, height = map(int, run["window"][0]["box"].split(","))
        if at:
            client_width, client_height = map(int, run["window"][0]["client"].split(","))
            border = (width - client_width) // 2
            x, y, width, height = x + border + at[0], y + height - border - client_height + at[1], *at[2:]
        for _ in range(20):  # the X server may show the last paint a little later
            run[key] = float(subprocess.run(
                f"import -window root -crop {width}x{height}+{x}+{y} +repage png:- | compare -metric PAE png:- "
                f"'{picture}' null:", shell=True, capture_output=True).stderr.split()[0])
            if run[key] <= within:
                return
    return shoot


# Each row: version keys in the registry's order (Wine's: by name; "o:" in the other view; "KEY@VALUE": below SOFTWARE)
# and their JavaHome (None: none; "jre:F": a stand-in Java in F; "list:F": that, first of a list; "text:F": no program;
# F: no folder); the boxes ({java}: the first java.exe); the exit code; the version started.
ROWS = {
    "first_qualifying_java_starts_hidden": ({"1.3.1": "jre:jre1.5", "1.4.2_19ü": "jre:Program Files/Jävä/j2re1.4.2",
                                             "1.5.0": "jre:jre1.5", "o:1.6": "jre:jre1.6", TEMURIN: "jre:temurin"}, [],
                                            0, "1.4.2_19ü"),
    "only_a_temurin_registration": ({"o:" + TEMURIN: "jre:Eclipse Adoptium/jdk-17.0.9.9-hotspot\\"}, [], 0,
                                    "o:" + TEMURIN),
    "microsoft_jdk_beyond_the_bmp": ({"1.3": "jre:jre1.3", MICROSOFT: "jre:Дмитрий 𝄞/jdk-17"}, [], 0, MICROSOFT),
    "only_a_stale_registration": ({TEMURIN: "uninstalled"}, [M1], 1, None),
    "java_only_in_the_other_view": ({"o:1.4": "jre:jre"}, [], 0, "o:1.4"), "no_java_registered": ({}, [M1], 1, None),
    "only_older_versions": ({"1.10": None, "1.3": "jre:jre1.3", "o:1.3.1_20": None}, [M2], 1, None),
    "version_that_is_no_number": ({"1,4": None, "1.5": "jre:jre1.5", "o:1.6": "jre:jre1.6"}, ["Type mismatch", E2],
                                  0, "java"),
    "java_home_a_list": ({"1.4": "list:jre"}, [], 0, "1.4"),
    "java_exe_missing": ({"1.6.0": "empty jre"}, [FAILED.format(2)], 2, None),
    "java_exe_no_program": ({"1.4": "text:jre"}, [FAILED.format(193) + "Bad EXE format for {java}."], 2, None),
    "drive_root_and_home_ending_in_backslash": ({"1.4": "jre:jre\\"}, [], 0, "1.4"),
    "planted_dll_is_not_loaded": ({"1.4": "jre:jre"}, [], 0, "1.4"),
    "folder_gone_before_the_tick": ({"1.4": "jre:jre"}, [FAILED.format(2)], 2, None),
    "closed_before_the_tick": ({"1.4": "jre:jre"}, [], 3, None),
    "java_writes_much_and_keeps_running": ({"1.4": "jre:jre"}, [], 0, "1.4"),
    "java_stops_with_an_error": ({"1.4": "jre:jre"}, [STOPPED], 4, "1.4"),
    # A folder outside the code page: whole from an installer's key, as the ANSI calls give it from the first key
    "temurin_of_a_cyrillic_user": ({MINE: f"jre:{PROFILE}Eclipse Adoptium/jdk-17.0.9.9-hotspot\\"}, [], 0, MINE),
    "runtime_key_read_in_the_code_page": ({"1.4": f"jre:{PROFILE}jre"}, [FAILED.format(2)], 2, None),  # Windows: 123
    # Unzipped, not installed: named by JAVA_HOME, or its bin folder on the search path (JAVA_HOME's left behind)
    "jdk_named_by_java_home": ({"JAVA_HOME": "jre:jdk-21@21.0.1"}, [], 0, "JAVA_HOME"),
    "jdk_bin_on_the_search_path": ({"JAVA_HOME": "jdk-gone", "PATH": "jre:jdk-17@17.0.9"}, [], 0, "PATH"),
    "java_home_of_a_release_too_old": ({"1.3.1": "jre:jre1.3", "JAVA_HOME": "jre:jdk1.3@1.3.1"}, [M2], 1, None),
}


def register(case, versions):  # a row's keys in place of an earlier row's; returns each JavaHome as Windows names it
    # One import into the 64-bit view, which keeps the 32-bit one below WOW6432Node (Wine's import deletes only there).
    homes, lines = {}, [rf"[-HK{hive}\SOFTWARE\{node}{key}]" for hive, node in (("LM", ""), ("LM", "WOW6432Node\\"),
                        ("CU", "")) for key in ("JavaSoft", "Eclipse Adoptium", r"Microsoft\JDK")]
    for name, home in versions.items():
        view, _, key = name.rpartition(":")
        kind, _, folder = (home or "").partition(":")
        folder, _, release = folder.partition("@")  # "F@V": its release file gives version V
        homes[name] = home = case.java(folder.rstrip("\\")) + "\\" * folder.endswith("\\") if folder else home and win(
            case.root / home)
        if kind == "text":
            (case.root / folder / "bin" / "java.exe").write_text("no program")
        if release:
            (case.root / folder / "release").write_text(f'IMPLEMENTOR="x"\nJAVA_VERSION="{release}"\n')
        if name in ("JAVA_HOME", "PATH"):  # named by the environment, not registered
            case.env.update({"JAVA_HOME": home} if name == "JAVA_HOME" else {"WINEPATH": home + r"\bin;" + case.env["WINEPATH"]})
            continue
        key, _, value = key.rpartition("@") if "@" in key else (JRE + key, "", "JavaHome")
        hive, _, key = key.rpartition("HKCU\\")  # "HKCU\\KEY": below the current user's SOFTWARE
        node = "HKCU\\SOFTWARE\\" if hive else "HKLM\\SOFTWARE\\" + "WOW6432Node\\" * ((OTHER if view else OWN) == "32")
        data = (f"{home}\0C:\\elsewhere\0\0" if kind == "list" else f"{home}\0").encode("utf-16-le").hex(",")
        lines += [rf"[{node}{key}]"] + [f'"{value}"=hex({7 if kind == "list" else 1}):{data}'] * (home is not None)
    (case.root / "row.reg").write_text("\r\n".join(["Windows Registry Editor Version 5.00", *lines, ""]), "utf-16")
    imported = wine("reg", "import", win(case.root / "row.reg"), "/reg:64")
    return homes if imported.returncode == 0 else pytest.fail(f"reg import: {imported.returncode} {imported.stdout}"
                                                              f"{imported.stderr}")


@pytest.mark.parametrize("versions, boxes, exit_code, started", ROWS.values(), ids=ROWS.keys())
def test_launch(case, request, versions, boxes, exit_code, started):
    homes = register(case, versions)
    exe = case.copy(os.environ.get("TESSALY_LAUNCHER", "TessalyPushGateway.exe"), "Sms Launcher/TessalyPushGateway.exe")
    boxes = [box.replace("{java}", f"{next(iter(homes.values()), '')}\\bin\\java.exe").replace(
        "{folder}", win(exe.parent)) for box in boxes]
    row, when_frozen = request.node.callspec.id, lambda run: None
    options = {"folder_gone_before_the_tick": ["--freeze"], "closed_before_the_tick": ["--close"],  # --measure: the
               "java_only_in_the_other_view": ["--measure"]}.get(row, [])  # probe notes the launcher's calls for Java
    case.env["TESSALY_STANDIN_DOES"] = "fail" if row.startswith("java_stops") else "keep-running" if row.startswith(
        "java_writes") else ""
    if row.startswith("drive_root"):
        (Path(os.environ["WINEPREFIX"]) / "dosdevices" / "r:").unlink(missing_ok=True)
        (Path(os.environ["WINEPREFIX"]) / "dosdevices" / "r:").symlink_to(exe.parent)
    elif row.startswith("planted_dll"):  # Windows loads the theme DLL by name; Wine would take its own unless told
        case.copy("planted.dll", "Sms Launcher/uxtheme.dll")
        case.env["WINEDLLOVERRIDES"] += ";uxtheme=n,b"
    elif row.startswith("folder_gone"):
        when_frozen = lambda run: exe.parent.rename(exe.parent.with_name("moved"))
    at_root = row.startswith("drive_root")
    run = case.launch("R:\\" + exe.name if at_root else win(exe), *options, when_frozen=when_frozen)
    home = started and started != "java" and homes[started].rstrip("\\" * ("@" in started))  # an installer's: no "\\"
    program = "java" if started == "java" else home and home + r"\bin\java.exe"
    expect(run, boxes, exit_code, program, "R:\\" if at_root else win(exe.parent))
    if options == ["--measure"]:  # its pipe: the first of one instance, local clients only; Java inherits NUL and it
        child, (open_mode, pipe_mode, instances) = run["children"][0], map(int, run["children"][0]["made"][0].split("|"))
        assert (open_mode & 0x80000, pipe_mode & 8, instances, len(child["made"] + child["listed"])) == (0x80000, 8, 1, 2)
        assert re.fullmatch(r"131074\|2:[^|]*\|3:" + re.escape(child["pipe"][0]), child["listed"][0]), child["listed"]
    if program and not options and not boxes:  # two seconds after the splash was made, and not much more (a box
        # shown first is the user's to answer: its time is not the launcher's)
        started_after = (int(run["children"][0]["started"][0]) - int(run["created"][0])) / 10000
        assert 2000 <= started_after <= float(run["splash"][0]) + 3000
    if row.startswith("java_writes"):  # its first megabyte read at once; the launcher left at the ten seconds' end
        ended, flooded = float(run["exit"][0].split("|")[1]), int(run["children"][0]["flooded"][0])
        assert (9900 <= ended - float(run["gone"][0]) <= 15000, (flooded - int(run["created"][0])) / 10000 < ended,
                run["children"][0]["outlived"]) == (True, True, ["1"]), run


# The splash at the screen's scale (Wine's from LogPixels), or moved to a screen of another (MOVED): client area,
# controls (BOXES: at 96 dpi, 15 twips a pixel) and fonts (FONTS: 3/4 point a pixel, TrueType, the company name bold)
# at that scale, texts on one line; at 96 and 192 dpi the window a reference and the picture the artwork of its size,
# else the large one reduced by area (to a level of ImageMagick's); at 240 the large one enlarged, not compared.
BOXES, FONTS = ("518,376 0,0,519,373 56,88,400,200 32,16,444,27 77,56,355,22 2,288,104,19 16,352,465,17 344,304,161,17 "
                "344,288,161,17 8,312,206,16 344,320,161,17 16,336,473,13"), [24, 19, 16, 11, 10, 10, 13, 10, 12]
MOVED = "96 to 144"


@pytest.mark.parametrize("scale", ["96", "120", "144", "192", "240", MOVED])
def test_splash_at_the_screens_scale(case, scale):
    start, dpi = int(scale.split()[0]), int(scale.split()[-1])  # the system's dpi, the screen's it is drawn at
    pixels = lambda *twips: [(t * dpi + 720) // 1440 for t in twips]
    art, reference = {96: (f"{ART}.gif", PICTURE), 192: (f"{ART}-2x.gif", SOURCE / "docs/splash-192dpi.png")}.get(
        dpi, (case.root / "art.png", None))
    subprocess.run(["convert", f"{ART}-2x.gif", "-scale", "{}x{}!".format(*pixels(6000, 3000)), case.root / "art.png"])
    shots = [looks_like(art, pixels(840, 1320, 6000, 3000), 257 * (not reference), "art")] * (dpi < 240) + [
        looks_like(reference)] * bool(reference)  # the picture alone (a box of the client area), then the whole window
    case.env.update(TESSALY_DPI=str(start), **{"TESSALY_MOVED_TO": str(dpi)} if scale == MOVED else {})
    run = case.launch(win(case.copy("TessalyPushGateway.exe", "app/TessalyPushGateway.exe")), "--measure",
                      when_frozen=lambda run: [shoot(run) for shoot in shots])
    x, y, width, height, labels = *map(int, run["window"][0]["box"].split(",")), run["control"][2:11]
    assert (x, y) == ((100, 50) if scale == MOVED else ((SCREEN[0] - width) // 2, (SCREEN[1] - height) // 2))
    assert [run["window"][0]["client"]] + [c["box"] for c in run["control"][:11]] == [
        ",".join(map(str, pixels(*(15 * int(n) for n in box.split(","))))) for box in BOXES.split()]
    assert [(int(c["font"]), c["truetype"]) for c in labels] == [(-((75 * size * dpi + 3600) // 7200), "1") for size in FONTS]
    assert (labels[0]["face"], labels[0]["weight"]) == ("MS Serif", "700")  # asked for; Wine has no raster MS Serif
    assert [c["text"] for c in labels if int(c["width"]) > int(c["box"].split(",")[2])] == []
    assert run.get("art", 0) <= 257 * (not reference) and run.get("differences", 0) == 0, run


def in_terminal(case, *command):  # a console of its own: Wine's, on a terminal; Enter pressed once asked; what it shows
    wine = "wine32 " if OWN == "32" else "wine "  # the 32-bit loader alone: no start.exe on the console (setup-wine32)
    terminal = subprocess.Popen(["script", "-qec", "stty raw -echo cols 2000 && exec timeout 120 " + wine + shlex.join(
        map(str, command)), "/dev/null"], cwd=case.root, env=case.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    shown = b""  # 2,000 columns: no line wraps
    while b"Press Enter to close this window." not in shown and (more := terminal.stdout.read1()):
        shown += more
    shown += terminal.communicate(b"\r")[0]
    # The text as the terminal shows it: the cursor hidden and shown, a line's end erased, blanks stepped over.
    shown = re.sub(r"\x1b\[(\d+)C", lambda step: " " * int(step[1]), re.sub(r"\x1b\[(\?25[hl]|K)", "", shown.decode()))
    return terminal.returncode, shown.replace("\r\n", "\n")


# How TessalyCheck is started: as tests and scripts run it (redirected), as Explorer does (a console of its own: it
# waits for Enter), from a command prompt (a console shared with cmd alone, as on Windows: "wine cmd" adds start.exe),
# by the probe in a console nobody sees (no window, or hidden: no wait); its registry; the verdict's exit code. A
# report of over 64 KB (thousands of versions) comes whole, in whole lines, to a console and to a file.
GOOD, LONG = {"1.3": None, "o:1.4.2_19": "list:jre"}, {f"1.3.{n}": None for n in range(1500)}
CHECKS = {"redirected": (None, GOOD, 0), "own_console": ("{}", GOOD, 0), "own_console_long_report": ("{}", LONG, 1),
          "shared_console": (r"C:\windows\system32\cmd.exe /c {}", GOOD, 0), "no_window": ("--no-window", GOOD, 0),
          "started_hidden": ("--hidden", GOOD, 0)}


@pytest.mark.parametrize("console, versions, exit_code", CHECKS.values(), ids=CHECKS.keys())
def test_check_tells_what_the_launcher_would_do(case, console, versions, exit_code):
    app = case.copy("TessalyCheck.exe", "app/TessalyCheck.exe").parent
    java = (register(case, versions).get("o:1.4.2_19") or "") + r"\bin\java.exe"
    for entry in CLASS_PATH[:-1]:  # the jars need only be there
        case.copy("probe.exe", "app" + entry.replace("\\", "/"))
    checked = wine(app / "TessalyCheck.exe", cwd=case.root, env=case.env, stdin=subprocess.DEVNULL)
    assert (checked.returncode, "Press Enter" in checked.stdout) == (exit_code, False), checked.stdout
    for line in [f"Registry view: {OWN}-bit, as the launcher of this build reads it, then the {OTHER}-bit view",
                 f'  Start: "{java}" -classpath "' + '";"'.join(win(app) + e for e in CLASS_PATH) +
                 '" pdu_next.Frame11 autostart', f'Plain "java" on the search path: {win(case.root)}\\javapath\\java.exe',
                 "Verdict: OK - the launcher would start Java 1.4.2_19 (Java Runtime Environment, "
                 f"{OTHER}-bit view) from {java}, and every file is in place."] if versions is GOOD else []:
        assert "\n" + line + "\n" in checked.stdout, checked.stdout
    if console and console.startswith("--"):
        run = case.launch(win(app / "TessalyCheck.exe"), console)
        assert (run["exit"][0].split("|")[0], "timeout" in run["order"]) == (str(exit_code), False), run
    elif console:  # its title; the report, whole; in a console of its own, the prompt, and the echo of the Enter it read
        ended, shown = in_terminal(case, *console.format(win(app / "TessalyCheck.exe")).split())
        assert (ended, shown) == (exit_code, f"\x1b]0;TessalyCheck - {win(app)}\x07" + checked.stdout +
                                  "\nPress Enter to close this window.\n\n" * ("cmd.exe" not in console)), shown[-300:]
    else:
        for wrong in ["", "missing", win(app / "TessalyCheck.exe")]:  # what is wrong, and what to give instead
            checked = wine(app / "TessalyCheck.exe", wrong, cwd=case.root)
            assert (checked.returncode, checked.stdout[:checked.stdout.find(". Usage: ")]) == (
                2, f'TessalyCheck: "{wrong}" is not a folder'), checked.stdout
