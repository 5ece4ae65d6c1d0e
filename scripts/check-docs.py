#!/usr/bin/env python3
"""Checks that the manual pages and the bash completion follow the programs.

  check-docs.py options BINDIR   every command and option that "--help" lists
                                 is in the manual page and the completion, and
                                 they list nothing the programs lack
  check-docs.py values BINDIR    the completion's answers for a table of typed
                                 command lines (values, subcommands, files)

Each difference is printed as one line naming the command, the option and
the document to update.
"""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAN_CLI = os.path.join(ROOT, "data/man/kaz-cli.1.in")
MAN_GUI = os.path.join(ROOT, "data/man/kaz.1.in")
COMPLETION = os.path.join(ROOT, "data/completion/kaz-cli")
BASH_COMPLETION = "/usr/share/bash-completion/bash_completion"

OPTION_NAME = re.compile(r"^--?[a-z][a-z0-9-]+$")


# The programs run with folders of their own, never the user's settings.
SANDBOX = tempfile.TemporaryDirectory(prefix="kaz-check-docs-")


def run_help(program, path):
    """The help text of a command path, or None when the program rejects it."""
    env = dict(os.environ, LC_ALL="C.UTF-8", HOME=SANDBOX.name,
               XDG_CONFIG_HOME=os.path.join(SANDBOX.name, "config"),
               XDG_DATA_HOME=os.path.join(SANDBOX.name, "data"),
               XDG_RUNTIME_DIR=SANDBOX.name)
    result = subprocess.run([program, *path.split(), "--help"], capture_output=True, text=True,
                            env=env, timeout=30)
    return result.stdout if result.returncode == 0 else None


def help_options(text):
    """The long options of the "Options:" list of a help text."""
    options = set()
    in_options = False
    for line in text.splitlines():
        if line.startswith("Options:"):
            in_options = True
        elif in_options and line and not line.startswith(" "):
            in_options = False
        elif in_options and re.match(r"^  -", line):
            names = re.split(r"\s{2,}", line.strip())[0]
            for name in re.split(r",\s*", names):
                name = name.split(" ")[0].split("=")[0]
                if OPTION_NAME.match(name):
                    options.add(name)
    return options


def help_subcommands(text, path):
    """The subcommands a usage text names after "kaz-cli PATH"."""
    found = []
    for match in re.finditer(r"kaz-cli " + re.escape(path) + r" ([a-z][a-z-]*)\b", text):
        if match.group(1) not in found:
            found.append(match.group(1))
    return found


def explore(program, path, commands):
    """Fills commands (path -> options) with every command below path."""
    text = run_help(program, path)
    if text is None:
        return
    if "Options:" in text:
        commands[path] = help_options(text)
        return
    for sub in help_subcommands(text, path):
        explore(program, path + " " + sub, commands)


def cli_commands(program):
    text = run_help(program, "") or ""
    names = re.findall(r"^  ([a-z][a-z0-9-]*)\s", text.split("Commands:", 1)[-1], re.M)
    commands = {}
    for name in names:
        explore(program, name, commands)
    return commands


def roff_text(line):
    line = re.sub(r"\\f[BIRP]", "", line).replace("\\-", "-").replace('"', "")
    return re.sub(r"^\.[A-Z]+\s*", "", line).strip()


def man_sections(path, section):
    """Options per ".SS" heading of a section (".SH" name), with the headings
    each one takes the options of, and the options of COMMON OPTIONS."""
    options, includes, common = {}, {}, set()
    current_section, heading, after_tp = None, None, False
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith(".SH "):
                current_section, heading = roff_text(line), None
                if current_section == section and section == "OPTIONS":
                    heading = ""
                    options[heading] = set()
                continue
            if line.startswith(".SS ") and current_section == section:
                heading = roff_text(line)
                options[heading], includes[heading] = set(), []
                continue
            include = re.match(r'^\.\\" same options as: (.+)$', line)
            if include and heading:
                includes[heading].append(include.group(1).strip())
                continue
            if line.startswith(".TP"):
                after_tp = True
                continue
            if after_tp:
                after_tp = False
                names = {n.replace("\\-", "-")
                         for n in re.findall(r"(?<![a-z])((?:\\-){1,2}[a-z](?:[a-z0-9]|\\-)+)", line)}
                if current_section == "COMMON OPTIONS":
                    common |= names
                elif heading is not None and current_section == section:
                    options[heading] |= names
    for heading in options:
        for other in includes.get(heading, []):
            options[heading] |= options.get(other, set())
    return options, includes, common


def completion_options(paths):
    """What the completion offers after "kaz-cli PATH --" for each path it
    offers as a command (the others are left out)."""
    script = [f"source {BASH_COMPLETION}", f"source {COMPLETION}"]
    for path in paths:
        parent = " ".join(path.split()[:-1])
        script.append(complete_call(f"kaz-cli {parent} ".replace("  ", " ")))
        script.append(complete_call(f"kaz-cli {path} --"))
    answers = run_bash(script)
    offered = {}
    for index, path in enumerate(paths):
        if path.split()[-1] in answers[2 * index]:
            offered[path] = set(answers[2 * index + 1])
    return offered


def complete_call(line):
    words = line.split(" ")
    quoted = " ".join("'" + w + "'" for w in words)
    return (f"COMP_WORDS=({quoted}); COMP_CWORD={len(words) - 1}; COMP_LINE='{line}'; "
            f"COMP_POINT={len(line)}; COMPREPLY=(); _kaz_cli kaz-cli '{words[-1]}' '{words[-2]}'; "
            "printf '%s\\n' \"${COMPREPLY[*]}\"")


def run_bash(script, cwd=None):
    result = subprocess.run(["bash", "-c", "\n".join(script)], capture_output=True, text=True,
                            cwd=cwd, timeout=60)
    if result.returncode != 0:
        sys.exit("bash failed: " + result.stderr)
    return [line.split() for line in result.stdout.splitlines()]


def compare(label, have, documented, document, problems):
    for option in sorted(have - documented):
        problems.append(f"{label}: {option} is in --help but not in {document}")
    for option in sorted(documented - have):
        problems.append(f"{label}: {option} is in {document} but not in --help")


def check_options(bindir):
    problems = []
    cli = os.path.join(bindir, "kaz-cli")
    commands = cli_commands(cli)
    if len(commands) < 10:
        return [f"kaz-cli lists only {len(commands)} commands; is {cli} the program?"]
    man, includes, common = man_sections(MAN_CLI, "COMMANDS")
    # Headings kaz-cli does not list may be commands it does not advertise
    # ("cleanup rules list"), or option groups other headings take.
    for heading in man:
        if heading in commands:
            continue
        text = run_help(cli, heading)
        if text is not None and text.startswith(f"Usage: kaz-cli {heading} ") and "Options:" in text:
            commands[heading] = help_options(text)
        elif not any(heading in targets for targets in includes.values()):
            problems.append(f"kaz-cli {heading}: in the manual page kaz-cli.1, but kaz-cli has no such command")
    offered = completion_options(sorted(commands))
    for path, options in sorted(commands.items()):
        label = f"kaz-cli {path}"
        if path not in man:
            problems.append(f"{label}: a command of kaz-cli without a section in the manual page kaz-cli.1 "
                            f"(options: {' '.join(sorted(options))})")
        else:
            compare(label, options, man[path] | common, "the manual page kaz-cli.1", problems)
        if path not in offered:
            problems.append(f"{label}: the completion data/completion/kaz-cli does not offer the command")
        else:
            compare(label, options, offered[path], "the completion data/completion/kaz-cli", problems)
    gui = os.path.join(bindir, "kaz")
    if os.path.exists(gui):
        text = run_help(gui, "")
        gui_man, _, _ = man_sections(MAN_GUI, "OPTIONS")
        if text is None:
            problems.append("kaz --help fails")
        else:
            compare("kaz", help_options(text), gui_man.get("", set()), "the manual page kaz.1", problems)
    return problems


# Typed command line -> what the completion must offer (exactly).
VALUE_CASES = [
    ("kaz-cli st", {"structure"}),
    ("kaz-cli tag s", {"set", "show", "strip"}),
    ("kaz-cli send ", {"copy", "move", "delete"}),
    ("kaz-cli cleanup rules ", {"list", "save", "delete"}),
    ("kaz-cli tag show --lang ", {"en", "de"}),
    ("kaz-cli rename --preview --lang=", {"en", "de"}),
    ("kaz-cli cleanup --non-mp3 ", {"skip", "include"}),
    ("kaz-cli send copy --overwrite ", {"all", "none"}),
    ("kaz-cli fromname --year-from ", {"file", "system"}),
    ("kaz-cli tag set --comment ", set()),
    ("kaz-cli player ", {"play", "add", "stop", "pause", "next", "status"}),
    ("kaz-cli player stop ", set()),
    # Files in the folder: a.mp3, B.MP3, notes.txt, sub/
    ("kaz-cli tag show ", {"a.mp3", "B.MP3", "sub"}),
    ("kaz-cli rename --comment ", {"a.mp3", "B.MP3", "sub"}),
    ("kaz-cli structure build ", {"sub"}),
    ("kaz-cli send copy --to ", {"sub"}),
    ("kaz-cli send delete --yes ", {"a.mp3", "B.MP3", "notes.txt", "sub"}),
    ("kaz-cli cleanup ", {"rules", "a.mp3", "B.MP3", "notes.txt", "sub"}),
]


def check_values():
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        for name in ("a.mp3", "B.MP3", "notes.txt"):
            open(os.path.join(folder, name), "w").close()
        os.mkdir(os.path.join(folder, "sub"))
        script = [f"source {BASH_COMPLETION}", f"source {COMPLETION}"]
        script += [complete_call(line) for line, _ in VALUE_CASES]
        answers = run_bash(script, cwd=folder)
    for (line, expected), answer in zip(VALUE_CASES, answers):
        if set(answer) != expected:
            problems.append(f"'{line}<TAB>' offers {sorted(answer)}, expected {sorted(expected)}")
    return problems


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("options", "values"):
        sys.exit(__doc__)
    if not os.path.exists(BASH_COMPLETION):
        sys.exit(f"{BASH_COMPLETION} is missing (scripts/install-deps.sh installs bash-completion)")
    problems = check_options(sys.argv[2]) if sys.argv[1] == "options" else check_values()
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} differences")
        return 1
    print("all in step")
    return 0


if __name__ == "__main__":
    sys.exit(main())
