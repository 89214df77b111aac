"""The real launcher under Wine: what it starts and how, what the user sees and is told.

ctest runs it inside tools/with-wine (a throwaway prefix on a private X screen). One case:
    tools/with-wine build/wine-prefix python3 -m pytest tests/wine -k drive_root
"""
import os
import subprocess
from pathlib import Path

import pytest

BUILD = Path(os.environ["TESSALY_WINDOWS_BUILD"])
SOURCE = Path(__file__).resolve().parents[2]
JRE = r"HKLM\SOFTWARE\JavaSoft\Java Runtime Environment"
M1 = (r"You have not Installed Java Runtime Environment on your computer.\r\n"
      r"Download and install Java Runtime Environment Version 1.4 or higher version.\r\n"
      r"Please refer installtion guide of Tessaly Handset Gateway for further help")
M2 = "Java Runtime Environment version 1.4 or higher version is not avaiable"
E2 = "Error While Searching JVM on Your Machine"
FAILED = r"The Java application could not be started.\r\n\r\nError "  # then the number and the system's text
CLASS_PATH = [r"\DarAvizAru\lib\slf4j-api-1.1.0.jar", r"\DarAvizAru\lib\slf4j-log4j12-1.1.0.jar",
              r"\DarAvizAru\lib\daravizaru.jar", r"\DarAvizAru\lib\jdc.jar", r"\DarAvizAru\lib\log4j-1.2.8.jar",
              r"\DarAvizAru"]
# The form at 96 dpi: each control's class, parent, kind (style's low byte), box in its parent, text.
SPLASH = [("Button", "frmSplash", 0x07, "0,0,519,373", ""), ("Static", "Button", 0x0E, "56,88,400,200", ""),
          ("Static", "Button", 0x81, "32,16,444,27", "Tessaly Software Systems"),
          ("Static", "Button", 0x81, "77,56,355,22", "Tessaly Push Gateway"),
          ("Static", "Button", 0x82, "8,288,98,19", "Version 1.0.1"), ("Static", "Button", 0x80, "16,352,465,17", " "),
          ("Static", "Button", 0x80, "344,304,161,17", "Tessaly Software Systems"),
          ("Static", "Button", 0x80, "344,288,161,17", "© 2007 All rights reserved."),
          ("Static", "Button", 0x80, "8,312,186,16", "For Windows - 9X/NT/2000/XP"),
          ("Static", "Button", 0x80, "344,320,161,17", "Austin, Texas"),
          ("Static", "Button", 0x80, "16,336,473,13",
           "Ph: +1 512 555 0142, Web: www.tessaly.example, Email: info@tessaly.example")]


def win(path):
    return "Z:" + str(path).replace("/", "\\")


def wine(*args, **options):
    return subprocess.run(["timeout", "120", "wine", *map(str, args)], capture_output=True, text=True, **options)


def fields(line):
    """'caption|a=1|b=2' as {'': 'caption', 'a': '1', 'b': '2'}; a text field comes last and may hold '|'."""
    head, _, text = line.partition("|text=")
    parts = head.split("|")
    return {"": parts[0], "text": text, **dict(part.split("=", 1) for part in parts[1:])}


class Case:
    def __init__(self, root):
        self.root = root
        self.env = dict(os.environ, TESSALY_STANDIN_LOG=win(root / "children.log"),
                        WINEPATH=self.java("on path") + r"\bin")
        wine("reg", "delete", r"HKLM\SOFTWARE\JavaSoft", "/f")

    def java(self, folder):
        """A stand-in runtime below the case folder; its folder as Windows names it."""
        (self.root / folder / "bin").mkdir(parents=True, exist_ok=True)
        (self.root / folder / "bin" / "java.exe").write_bytes((BUILD / "probe.exe").read_bytes())
        return win(self.root / folder)

    def launcher(self, folder):
        (self.root / folder).mkdir(parents=True, exist_ok=True)
        (self.root / folder / "TessalyPushGateway.exe").write_bytes((BUILD / "TessalyPushGateway.exe").read_bytes())
        return self.root / folder / "TessalyPushGateway.exe"

    def launch(self, exe, *options, when_frozen=None):
        """Starts the exe under the probe; its lines by kind. While the splash stands still, when_frozen runs."""
        probe = subprocess.Popen(["timeout", "120", "wine", BUILD / "probe.exe", exe, *options], cwd=self.root,
                                 env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        run = {"order": []}
        for line in probe.stdout:
            kind, _, rest = line.rstrip("\n").partition(" ")
            run["order"].append(kind)
            run.setdefault(kind, []).append(rest)
            if kind == "frozen":
                when_frozen(run)
                probe.stdin.write("go on\n")
                probe.stdin.flush()
        assert probe.wait() == 0
        return run

    def children(self):
        log = self.root / "children.log"
        records = log.read_text(encoding="utf-8").split("end\n") if log.exists() else [""]
        return [{key: [v for k, v in (line.split("=", 1) for line in record.splitlines()) if k == key]
                 for key in ("started", "cmdline", "argv", "cwd", "show")} for record in records[:-1]]


@pytest.fixture
def case(tmp_path):
    return Case(tmp_path)


def check_splash(run):
    window = fields(run["window"][0])
    x, y, width, height = map(int, window["rect"].split(","))
    assert window[""] == "Tessaly Push Server"
    assert int(window["style"]) & 0x00CF0000 == 0x00C80000  # caption and close box; no sizing, minimize, maximize
    assert int(window["exstyle"]) & 0x1  # a dialog frame
    assert window["client"].split(",")[2:] == ["518", "376"]
    assert (x, y) == ((1024 - width) // 2, (768 - height) // 2)
    controls = [fields(line) for line in run["control"]]
    assert [(c[""], c["in"], int(c["style"]) & 0xFF, c["box"], c["text"]) for c in controls] == SPLASH


def expect(run, children, boxes, exit_code, program, folder):
    """The boxes the user saw, after the splash had gone; the exit code; the one Java started, if any."""
    assert run["exit"] == [str(exit_code)]
    check_splash(run)
    assert "box" not in run or run["order"].index("gone") < run["order"].index("box")
    assert len(run.get("box", [])) == len(boxes)
    for line, text in zip(run.get("box", []), boxes):
        box = fields(line)
        assert (box[""], box["buttons"], box["icon"]) == ("Tessaly Web Gateway", "1", "0")
        assert box["text"] == text or text == FAILED and box["text"].startswith(FAILED)
    if program is None:
        assert children == []
        return
    class_path = ";".join(folder + entry for entry in CLASS_PATH)
    quoted = f'"{program}"' if program != "java" else program
    [child] = children
    assert child["argv"] == [program, "-classpath", class_path, "pdu_next.Frame11", "autostart"]
    assert child["cmdline"] == [quoted + ' -classpath "' + class_path.replace(";", '";"') + '" pdu_next.Frame11 autostart']
    assert child["cwd"] == [folder] and child["show"] == ["0"]


# Each row: the version keys in the registry's order (name: JavaHome; None for no JavaHome; "jre:F" a stand-in
# Java in folder F), the boxes shown, the exit code, and the version whose java.exe starts ("java": from the
# search path; None: nothing starts). Wine lists keys by name.
ROWS = {
    "first_qualifying_java_starts_hidden": ({"1.3.1": "jre:jre1.5.0", "1.4.2_19ü": "jre:Program Files/Jävä/j2re1.4.2_19",
                                             "1.5.0": "jre:jre1.5.0"}, [], 0, "1.4.2_19ü"),
    "no_java_registered": (None, [M1], 1, None),
    "only_older_versions": ({"1.10": None, "1.3": "jre:jre1.3", "1.3.1_20": None}, [M2], 1, None),
    "version_that_is_no_number": ({"1,4": None, "1.5": "jre:jre1.5"}, ["Type mismatch", E2], 0, "java"),
    "java_home_missing": ({"1.5": None}, ["Unsupported value type", E2], 0, "java"),
    "java_home_empty": ({"1.5": ""}, [], 0, "java"),
    "java_exe_missing": ({"1.6.0": "empty jre"}, [FAILED], 2, None),
    "drive_root_and_home_ending_in_backslash": ({"1.4": "jre:jre\\"}, [], 0, "1.4"),
    "planted_dll_is_not_loaded": ({"1.4": "jre:jre"}, [], 0, "1.4"),
    "folder_longer_than_the_first_buffer": ({"1.4": "jre:jre"}, [], 0, "1.4"),
    "folder_gone_before_the_tick": ({"1.4": "jre:jre"}, [FAILED], 2, None),
    "closed_before_the_tick": ({"1.4": "jre:jre"}, [], 3, None),
}


@pytest.mark.parametrize("versions, boxes, exit_code, started", ROWS.values(), ids=ROWS.keys())
def test_launch(case, request, versions, boxes, exit_code, started):
    homes = {}
    for name, home in (versions or {}).items():
        if home and home.startswith("jre:"):
            home = case.java(home[4:].rstrip("\\")) + "\\" * home.endswith("\\")
        elif home:
            home = win(case.root / home)
        wine("reg", "add", JRE + "\\" + name, *(["/v", "JavaHome", "/d", home] if home is not None else []), "/f")
        homes[name] = home
    row = request.node.callspec.id
    exe = case.launcher("Sms Launcher")
    options, when_frozen = [], None
    if row.startswith("drive_root"):
        (Path(os.environ["WINEPREFIX"]) / "dosdevices" / "r:").unlink(missing_ok=True)
        (Path(os.environ["WINEPREFIX"]) / "dosdevices" / "r:").symlink_to(exe.parent)
        exe = Path("R:/TessalyPushGateway.exe")
    if row.startswith("planted_dll"):
        # Windows loads the theme DLL by name once the program runs; Wine would take its own unless told.
        (exe.parent / "uxtheme.dll").write_bytes((BUILD / "planted.dll").read_bytes())
        case.env["WINEDLLOVERRIDES"] += ";uxtheme=n,b"
    if row.startswith("folder_longer"):
        exe = case.launcher("Sms Launcher/" + "x" * (257 - len(win(exe))))
        assert len(win(exe)) == 258  # over the 256 characters the launcher first makes room for
    if row.startswith("folder_gone"):
        options, when_frozen = ["--freeze"], lambda run: exe.parent.rename(exe.parent.with_name("moved"))
    if row.startswith("closed"):
        options = ["--close"]
    run = case.launch(exe if str(exe).startswith("R:") else win(exe), *options, when_frozen=when_frozen)
    folder = "R:\\" if row.startswith("drive_root") else win(exe.parent)
    program = "java" if started == "java" else started and homes[started] + r"\bin\java.exe"
    children = case.children()
    expect(run, children, boxes, exit_code, program, folder)
    if program and not options:  # two seconds after the splash was made, and not much more
        since_created = (int(children[0]["started"][0]) - int(run["created"][0])) / 10000
        assert 2000 <= since_created <= float(run["splash"][0]) + 3000


def test_splash_looks_like_its_picture(case):
    wine("reg", "add", JRE + r"\1.4", "/v", "JavaHome", "/d", case.java("jre"), "/f")
    differences = []

    def compare(run):
        x, y, width, height = fields(run["window"][0])["rect"].split(",")
        for _ in range(20):  # the X server may show the last paint a little later
            shot = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                                   "png:-"], capture_output=True).stdout
            result = subprocess.run(["compare", "-metric", "AE", "png:-", SOURCE / "docs/splash.png", "null:"],
                                    input=shot, capture_output=True)
            differences.append(result.stderr.decode())
            if differences[-1] == "0":
                return

    run = case.launch(win(case.launcher("app")), "--freeze", when_frozen=compare)
    assert differences[-1] == "0", f"{differences[-1]} pixels differ from docs/splash.png (make screenshot)"
    expect(run, case.children(), [], 0, win(case.root / "jre") + r"\bin\java.exe", win(case.root / "app"))


def test_check_reports_what_the_launcher_would_do(case):
    home = case.java("jre")
    wine("reg", "add", JRE + r"\1.3.1", "/v", "JavaHome", "/d", r"C:\gone", "/f")
    wine("reg", "add", JRE + r"\1.4.2_19", "/v", "JavaHome", "/d", home, "/f")
    wine("reg", "add", JRE + r"\1.6.0_45", "/v", "JavaHome", "/d", r"C:\jre6", "/f", "/reg:32")
    app = case.root / "app"
    (app / "DarAvizAru" / "lib").mkdir(parents=True)
    for entry in CLASS_PATH[:-1]:
        (app / entry[1:].replace("\\", "/")).touch()
    (app / "TessalyCheck.exe").write_bytes((BUILD / "TessalyCheck.exe").read_bytes())
    checked = wine(app / "TessalyCheck.exe", cwd=case.root, env=case.env)
    report, folder = checked.stdout.replace("\r\n", "\n"), win(app)
    assert checked.returncode == 0, report
    for line in ['  1.3.1     reads "1.3" as 1.3        skipped (below 1.4)',
                 '  1.4.2_19  reads "1.4" as 1.4        selected', f"  {home}\\bin\\java.exe: present",
                 f'  Start: "{home}\\bin\\java.exe" -classpath "' + '";"'.join(folder + e for e in CLASS_PATH) +
                 '" pdu_next.Frame11 autostart', f"  In the folder: {folder}",
                 r"  HKLM\SOFTWARE\JavaSoft\Java Runtime Environment\1.6.0_45 (32-bit view), home C:\jre6: not searched",
                 f'Plain "java" on the search path: {case.java("on path")}\\bin\\java.exe',
                 f"Verdict: OK - the launcher would start Java 1.4.2_19 from {home}\\bin\\java.exe, and every file"]:
        assert "\n" + line in report


@pytest.mark.parametrize("build", ["mingw-x64", "mingw-i686"])
def test_exe_carries_its_version_icon_and_manifest(build):
    resources = wine(BUILD / "probe.exe", "--resources", win(BUILD.parent / build / "TessalyPushGateway.exe"))
    lines = resources.stdout.splitlines()
    assert lines[0].split()[4:12] == ["0", "1", "0", "0", "0", "1", "0", "0"]  # file and product version 1.0.0.0
    assert lines[1:] == [r"\VarFileInfo\Translation=1033 1200 ", "CompanyName=Tessaly Software Systems",
                         "FileVersion=1.00", "InternalName=TessalyPushGateway",
                         "OriginalFilename=TessalyPushGateway.exe", "ProductName=Tessaly Web Gateway",
                         "ProductVersion=1.00",
                         # 32 x 32, 256 colours of 4 bytes, a byte a pixel, then a mask of a bit a pixel
                         f"icon 32x32|bits=8|colours=256|bytes={40 + 256 * 4 + 32 * 32 + 32 * 4}",
                         "manifest asInvoker=1|dpiAware=0"]
