#!/usr/bin/env python3
"""Builds RiskDescriptions.dat and the hook library's header of event codes from the
one readable table of risk codes, and checks a built file against the table.

  make_riskdat.py build riskcodes.txt RiskDescriptions.dat RiskEventCodes.h
  make_riskdat.py check riskcodes.txt RiskDescriptions.dat
  make_riskdat.py selftest riskcodes.txt     (broken copies of the table are refused)

RiskDescriptions.dat: line 1 the count; then per code an entry line
"code score bonus description" (single blanks) and a details line; CR LF line ends.
"""
import re
import sys

CATEGORIES = (200, 300, 400, 500, 600)


class Refused(Exception):
    pass


def fail(message):
    raise Refused(f"riskcodes: {message}")


def parse(path):
    codes, current = [], None
    with open(path, encoding="ascii") as source:
        for number, raw in enumerate(source, 1):
            line = raw.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            block = re.fullmatch(r"\[(-?\d+)\]", line.strip())
            if block:
                current = {"code": int(block.group(1)), "calls": [], "line": number}
                codes.append(current)
                continue
            if current is None or "=" not in line:
                fail(f"{path}:{number}: expected [code] or key = value")
            key, value = (part.strip() for part in line.split("=", 1))
            if key in ("score", "bonus"):
                current[key] = int(value)
            elif key in ("text", "details"):
                current[key] = value
            elif key == "calls":
                current["calls"] = value.split()
            else:
                fail(f"{path}:{number}: unknown key {key}")
    return codes


def validate(codes):
    seen = set()
    for c in codes:
        for key in ("score", "bonus", "text", "details"):
            if key not in c:
                fail(f"code {c['code']} has no {key}")
        if c["code"] in seen:
            fail(f"code {c['code']} appears twice")
        seen.add(c["code"])
        for key in ("score", "bonus"):
            if not -32768 <= c[key] <= 32767:
                fail(f"code {c['code']}: {key} does not fit 16 bits")
        if not c["text"] or any(ch in c["text"] + c["details"] for ch in "\r\n"):
            fail(f"code {c['code']}: texts must be one line and the description not empty")
        for call in c["calls"]:
            if not re.fullmatch(r"[A-Za-z0-9_]+![A-Za-z0-9_]+", call):
                fail(f"code {c['code']}: call {call} is not dll!Function")
    marks = {c["code"]: c for c in codes if c["code"] in (101, 102)}
    for mark in (101, 102):
        if mark not in marks or marks[mark]["bonus"] != 0:
            fail(f"mark {mark} must be present with bonus 0")
    static = [c["code"] for c in codes if 120 <= c["code"] < 200]
    if static != sorted(static) or not static or static[-1] != 133:
        fail("static codes must stand in ascending order with 133 last")
    events = [c for c in codes if c["code"] >= 200]
    for c in events:
        if not 201 <= c["code"] <= 699 or c["code"] % 100 == 0:
            fail(f"event code {c['code']} must lie in 201-699 and not be a hundred")
        if not c["calls"]:
            fail(f"event code {c['code']} names no hooked call")
        if c["score"] <= 0:
            fail(f"event code {c['code']} needs a positive score")
    for base in CATEGORIES:
        if not any(base < c["code"] < base + 100 for c in events):
            fail(f"no event code in category {base}")
    for c in codes:
        if c["code"] < 200 and c["calls"]:
            fail(f"code {c['code']} is not an event code and can name no calls")
        if c["code"] < 120 and c["code"] not in (101, 102):
            fail(f"code {c['code']} is below the static codes")
    total = sum(c["bonus"] for c in codes)
    if not 1 <= total <= 32767:
        fail(f"the bonus total {total} must lie in 1-32767")


def dat_bytes(codes):
    lines = [str(len(codes))]
    for c in codes:
        lines.append(f"{c['code']} {c['score']} {c['bonus']} {c['text']}")
        lines.append(c["details"])
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def header_text(codes):
    out = ["// Made by scripts/make_riskdat.py from data/riskcodes.txt: do not edit.",
           "// The event codes the hook library logs and the calls it hooks for each.",
           "#pragma once", "", "struct RiskHookedCall {", "  int code;", "  const char* module;",
           "  const char* function;", "};", "", "enum RiskEventCode {"]
    for c in codes:
        if c["code"] >= 200:
            name = "".join(w.capitalize() for w in re.findall(r"[A-Za-z]+", c["text"].replace("'", "")))
            out.append(f"  kRisk{name} = {c['code']},")
    out += ["};", "", "static const RiskHookedCall kRiskHookedCalls[] = {"]
    for c in codes:
        for call in c["calls"]:
            module, function = call.split("!")
            out.append(f'  {{{c["code"]}, "{module}.dll", "{function}"}},')
    out += ["};", ""]
    return "\n".join(out)


def read_dat(data):
    text = data.decode("ascii")
    if not text.endswith("\r\n") or "\n" in text.replace("\r\n", ""):
        fail("the file must end every line with CR LF")
    lines = text[:-2].split("\r\n")
    count = int(lines[0])
    entries = []
    for i in range(1, len(lines), 2):
        code, score, bonus, description = lines[i].split(" ", 3)
        entries.append((int(code), int(score), int(bonus), description, lines[i + 1]))
    if count != len(entries):
        fail(f"count {count} but {len(entries)} entries")
    return entries


def selftest(codes):
    import copy

    def change(edit):
        broken = copy.deepcopy(codes)
        edit(broken)
        return broken

    def by(table, code):
        return next(c for c in table if c["code"] == code)

    cases = {
        "a code twice": lambda t: t.append(dict(t[-1])),
        "static codes out of order": lambda t: t.insert(2, t.pop(next(i for i, c in enumerate(t) if c["code"] == 131))),
        "133 not last": lambda t: t.insert(next(i for i, c in enumerate(t) if c["code"] == 133) + 1,
                                           dict(by(t, 131), code=135)),
        "no start mark": lambda t: t.remove(by(t, 101)),
        "a mark with a bonus": lambda t: by(t, 102).update(bonus=1),
        "an event code on a hundred": lambda t: by(t, 201).update(code=300),
        "an event code past 699": lambda t: by(t, 602).update(code=702),
        "an empty category": lambda t: [t.remove(c) for c in [c for c in t if 600 < c["code"] < 700]],
        "a bonus total of 0": lambda t: [c.update(bonus=0) for c in t],
        "a bonus total past 32767": lambda t: by(t, 130).update(bonus=32767),
    }
    for name, edit in cases.items():
        try:
            validate(change(edit))
        except Refused:
            continue
        sys.exit(f"selftest: a table with {name} was accepted")
    print(f"selftest: {len(cases)} broken tables refused")


def main(argv):
    if len(argv) < 3 or argv[1] not in ("build", "check", "selftest"):
        sys.exit(__doc__)
    try:
        codes = parse(argv[2])
        validate(codes)
    except Refused as refused:
        sys.exit(str(refused))
    if argv[1] == "selftest":
        selftest(codes)
        return
    if len(argv) < 4:
        sys.exit(__doc__)
    if argv[1] == "build":
        if len(argv) != 5:
            sys.exit(__doc__)
        with open(argv[3], "wb") as dat:
            dat.write(dat_bytes(codes))
        with open(argv[4], "w", encoding="ascii", newline="\n") as header:
            header.write(header_text(codes))
        return
    with open(argv[3], "rb") as dat:
        data = dat.read()
    try:
        entries = read_dat(data)
    except (Refused, ValueError, IndexError) as bad:
        sys.exit(f"RiskDescriptions.dat does not read: {bad}")
    expected = [(c["code"], c["score"], c["bonus"], c["text"], c["details"]) for c in codes]
    if entries != expected:
        sys.exit("RiskDescriptions.dat does not read back as the table")
    if data != dat_bytes(codes):
        sys.exit("RiskDescriptions.dat is not what the table builds")
    print(f"RiskDescriptions.dat: {len(entries)} codes read back")


if __name__ == "__main__":
    main(sys.argv)
