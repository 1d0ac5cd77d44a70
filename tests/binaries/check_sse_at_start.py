#!/usr/bin/env python3
"""Static check of the 32-bit program files: no SSE instruction can run in
umbravue.exe's process before the processor check has said that SSE2 is
there.

Usage: check_sse_at_start.py BIN_DIR [OBJDUMP]

Before WinMain runs, the loader initialises uvdll.dll (linked at load time):
its entry point, TLS callbacks, static initialisers and DllMain; then the
program's own entry point, TLS callbacks and static initialisers. WinMain
must call the check before anything else; when it says no, the program
ends, running its static destructors and uvdll.dll's DllMain once more. The
code reachable from all of these by direct calls and jumps and through
atexit, within the file (system DLLs
are not ours), is disassembled, and any function in it that touches an XMM
register is a failure. DllMain's detach branch is followed too, except into
DetachDesktopHost: that runs only in a desktop process where a host runs,
and a host is only ever installed after the check has passed. Needs the
unstripped files of bin/. Prints "PASS name" or "FAIL name:
detail" per file (a "SKIP" line for 64-bit files, where SSE2 is part of the
architecture) and exits 1 on any failure.
"""
import os
import re
import subprocess
import sys

CHECK = "CheckProcessor"
# Reached from DllMain only where a desktop host runs (see above).
HOST_ONLY = re.compile(r"DetachDesktopHost")
FUNCTION = re.compile(r"^([0-9a-f]+) <(.+)>:$")
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\s+(?:[0-9a-f]{2} )+\s*(.*)$")
TARGET = re.compile(r"\b(call|jmp|j[a-z]+)\s+([0-9a-f]+) <([^>+]+)(\+0x[0-9a-f]+)?>")
IMMEDIATE = re.compile(r"\$0x([0-9a-f]+)")
ARGUMENT = re.compile(r"^(push\s+\$0x|movl?\s+\$0x[0-9a-f]+,\(%esp\))")


def disassemble(objdump, path):
    """{address: (name, [instruction text])} (local names repeat across
    files), and the entry point address."""
    out = subprocess.run([objdump, "-d", "-f", "--no-show-raw-insn", path], stdout=subprocess.PIPE,
                         check=True).stdout.decode("latin-1")
    functions, current, entry = {}, None, None
    for line in out.splitlines():
        if line.startswith("start address"):
            entry = int(line.split()[-1], 16)
        m = FUNCTION.match(line)
        if m:
            current = int(m.group(1), 16)
            functions[current] = (m.group(2), [])
            continue
        if current is not None and re.match(r"^\s*[0-9a-f]+:\s", line):
            functions[current][1].append(line.split(":", 1)[1].strip())
    return functions, entry


def section_words(objdump, path, names):
    """Every 32-bit word in the named sections (tables of function pointers)."""
    words = []
    for name in names:
        p = subprocess.run([objdump, "-s", "-j", name, path], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        for line in p.stdout.decode("latin-1").splitlines():
            parts = line.split()
            if len(parts) < 2 or not re.fullmatch(r"[0-9a-f]+", parts[0]):
                continue
            for group in parts[1:5]:
                if re.fullmatch(r"[0-9a-f]{8}", group):
                    words.append(int.from_bytes(bytes.fromhex(group), "little"))
    return words


def constructor_lists(objdump, path):
    """The functions of the static constructor and destructor lists
    (___CTOR_LIST__, ___DTOR_LIST__: -1, the functions, 0), which MinGW keeps
    inside .text."""
    nm = objdump[:-len("objdump")] + "nm"
    symbols = subprocess.run([nm, path], stdout=subprocess.PIPE, check=True).stdout.decode("latin-1")
    words = []
    for line in symbols.splitlines():
        parts = line.split()
        if len(parts) != 3 or parts[2] not in ("___CTOR_LIST__", "___DTOR_LIST__"):
            continue
        start = int(parts[0], 16)
        dump = subprocess.run([objdump, "-s", "-j", ".text", "--start-address=0x%x" % start,
                               "--stop-address=0x%x" % (start + 4096), path], stdout=subprocess.PIPE,
                              check=True).stdout.decode("latin-1")
        table = []
        for row in dump.splitlines():
            cells = row.split()
            if len(cells) < 2 or not re.fullmatch(r"[0-9a-f]+", cells[0]):
                continue
            table += [int.from_bytes(bytes.fromhex(c), "little") for c in cells[1:5]
                      if re.fullmatch(r"[0-9a-f]{8}", c)]
        for word in table[1:]:
            if word == 0:
                break
            words.append(word)
    return words


def uses_sse(instructions):
    return [i for i in instructions if "%xmm" in i]


def reachable(functions, roots, stop_at_check):
    """Functions reached from roots; in a function listed in stop_at_check
    only the instructions up to its first call of the check count."""
    seen, todo = set(), list(roots)
    while todo:
        address = todo.pop()
        if address in seen or address not in functions or HOST_ONLY.search(functions[address][0]):
            continue
        seen.add(address)
        name, instructions = functions[address]
        if name in stop_at_check:
            cut = next((k for k, i in enumerate(instructions) if CHECK in i and "call" in i), None)
            if cut is None:
                raise ValueError("%s does not call %s" % (name, CHECK))
            instructions = instructions[:cut + 1]
            functions[address] = (name, instructions)
        for k, i in enumerate(instructions):
            # Calls and jumps to the start of a function; jumps inside one
            # carry an offset.
            m = TARGET.search(i)
            if m and not m.group(4):
                todo.append(int(m.group(2), 16))
            # A function handed to atexit (its argument on the stack) runs at
            # the end.
            next_call = next((later for later in instructions[k + 1:] if later.startswith("call")), "")
            if ARGUMENT.search(i) and "atexit" in next_call:
                todo += [int(a, 16) for a in IMMEDIATE.findall(i)]
    return seen


def check_file(objdump, path, winmain):
    functions, entry = disassemble(objdump, path)
    roots = [entry] + section_words(objdump, path, (".CRT", ".tls")) + constructor_lists(objdump, path)
    roots += [a for a, (n, _) in functions.items() if re.match(r"^_?DllMain(@12)?$", n)]
    stop = set()
    if winmain:
        names = [n for n, _ in functions.values() if re.match(r"^_?WinMain(@16)?$", n)]
        if not names:
            return "no WinMain in the file"
        stop.update(names)
    found = []
    for address in sorted(reachable(functions, roots, stop)):
        name, instructions = functions[address]
        sse = uses_sse(instructions)
        if sse:
            found.append("%s (%s)" % (name, sse[0]))
    if found:
        return "SSE before the processor check in: " + "; ".join(found[:12]) + (
            " and %d more" % (len(found) - 12) if len(found) > 12 else "")
    return None


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    bin_dir = sys.argv[1]
    objdump = sys.argv[2] if len(sys.argv) > 2 else "i686-w64-mingw32-objdump"
    failed = False
    for name, winmain in (("uvdll.dll", False), ("umbravue.exe", True)):
        path = os.path.join(bin_dir, name)
        with open(path, "rb") as f:
            head = f.read(4096)
        pe = int.from_bytes(head[0x3C:0x40], "little")
        if int.from_bytes(head[pe + 4:pe + 6], "little") != 0x14C:
            print("SKIP no SSE before the processor check in %s: not a 32-bit file" % name)
            continue
        try:
            problem = check_file(objdump, path, winmain)
        except (OSError, subprocess.CalledProcessError, ValueError) as e:
            problem = str(e)
        if problem:
            failed = True
            print("FAIL no SSE before the processor check in %s: %s" % (name, problem))
        else:
            print("PASS no SSE before the processor check in %s" % name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
