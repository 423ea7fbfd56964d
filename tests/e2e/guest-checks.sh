# The end-to-end checks, run in the guest by guest-init.sh:
#   guest-checks.sh SUPPLY_LOG CLI_LOG DECOY_FIRST SHORT_DROPPED
# DECOY_FIRST is 1 when hidraw0 was the decoy, SHORT_DROPPED 1 when the kernel dropped a short input report.
# The daemon logs, per output report: "SUPPLY OUT <65 bytes hex>", "SUPPLY STATE program= fan= energyKwh=",
# "SUPPLY IN <payload hex>|none" and "SUPPLY EXPECT <label>=<text> ..." (what the monitor must show for the
# bytes it sent); the cli prints a block per poll ("no reply from the power supply" in it when none came) and
# "power supply lost|back". Prints one
# "E2E CHECK (x) ...: PASS|FAIL" line per check.
awk '
function zeros(n,   s) { s = ""; while (n-- > 0) s = s "0"; return s }
function frame(bytes) { return "00" bytes zeros(130 - 2 - length(bytes)) }
function result(id, text, ok) { printf "E2E CHECK (%s) %s: %s\n", id, text, ok ? "PASS" : "FAIL" }
function detail(text) { print "E2E DETAIL " text }
BEGIN {
    id["input voltage"] = 1056; id["input current"] = 1058; id["input power"] = 1059; id["energy"] = 1057
    id["+12V"] = 1035; id["-12V"] = 1036; id["+5Vsb"] = 1037; id["+5V"] = 1038; id["+3.3V"] = 1039
    id["temperature"] = 1065; id["fan speed"] = 1066
    order = "1035 1036 1037 1038 1039 1056 1057 1058 1059 1065 1066"
    labels = split(order, labelOrder, " ")
    kind = "normal"
}
function closePoll(   i, line) {
    if (polls == 0 || pollLine[polls] != "") return
    line = ""
    for (i = 1; i <= labels; i++) line = line " " labelOrder[i] "=" text[labelOrder[i]]
    pollLine[polls] = line
}
# The cli log.
FNR == NR && /^poll / { closePoll(); polls++; pollLine[polls] = ""; delete text; pollRun[polls] = runs; next }
FNR == NR && /^  (ok|WARN)  / {
    name = $2
    for (i = 3; i <= NF - 2; i++) name = name " " $i
    text[id[name]] = $(NF - 1)
    if (name == "fan speed") pollFan[polls] = $(NF - 1)
    next
}
FNR == NR && /^  no reply from the power supply$/ { noReply[polls] = 1; next }
FNR == NR && /^CLI RUN / { closePoll(); runs++; next }
FNR == NR && /^CLI BESIDE THE WINDOW$/ { besideRun = runs + 1; next }
FNR == NR && /owns the supply.s commands/ { refusedRun = runs; next }
FNR == NR && /^CLI EXIT / { closePoll(); runExit[runs] = $3; next }
FNR == NR && /^power supply lost$/ { closePoll(); lostAfter = polls; lostRun = runs; lost++; next }
FNR == NR && /^power supply back$/ { closePoll(); backAfter = polls; back++; next }
FNR == NR { next }
# The supply log.
/^SUPPLY done reply / { kind = $4; next }
/^SUPPLY done unplug$/ { unplugAfter = outs; unplugs++; next }
/^SUPPLY done plug$/ { plugAfter = outs; plugs++; next }
/^SUPPLY OUT / { outs++; out[outs] = $3; outKind[outs] = kind; next }
/^SUPPLY STATE / {
    split($3, p, "="); stateProgram[outs] = p[2]
    split($4, f, "="); stateFan[outs] = f[2]
    split($5, e, "="); stateEnergy[outs] = e[2]
    next
}
/^SUPPLY EXPECT / { sub(/^SUPPLY EXPECT/, ""); expect[outs] = $0; next }
/^DECOY (OUT|opened)/ { decoyTouched++; next }
# Newer kernels drop an input report shorter than its descriptor says ("Event data for report 0 was too short"):
# nothing reaches the monitor then.
function unanswered(k) { return outKind[k] == "none" || (outKind[k] == "short" && shortDropped == 1) }
END {
    closePoll()
    # (a) One poll per output report, each showing what the supply sent and the fan of the model state.
    ok = polls > 0 && polls == outs
    if (!ok) detail("cli polls " polls ", output reports " outs)
    normal = 0
    for (k = 1; k <= outs; k++) {
        if (outKind[k] != "normal") continue
        normal++
        fanOff = pollFan[k] - stateFan[k]
        if (pollLine[k] != expect[k] || fanOff > 6 || fanOff < -6) {
            ok = 0
            detail("poll " k " shows" pollLine[k])
            detail("poll " k " wants" expect[k] " (model fan " stateFan[k] ")")
        }
    }
    result("a", "readings of " normal " polls match the supply model", ok && normal > 0)

    # (b) The command frames reach the device byte for byte, and the model acts on them.
    want[1] = frame("aa7e82000000"); what[1] = "mode temp"
    want[2] = frame("aa7e82dc0500"); what[2] = "fan 1500"
    want[3] = frame("aa7e80000001"); what[3] = "clear energy"
    ok = 1; next_ = 1
    for (k = 1; k <= outs; k++) {
        if (length(out[k]) != 130) { ok = 0; detail("report " k " is " length(out[k]) / 2 " bytes") }
        if (next_ <= 3 && out[k] == want[next_]) { at[next_] = k; next_++ }
    }
    for (c = 1; c <= 3; c++) if (!at[c]) { ok = 0; detail("no " what[c] " frame " want[c]) }
    if (at[2] && (stateProgram[at[2]] != 1 || stateFan[at[2]] != 1500)) { ok = 0; detail("model after fan 1500: program " stateProgram[at[2]] " fan " stateFan[at[2]]) }
    if (at[3] && stateEnergy[at[3]] != "0.000000") { ok = 0; detail("model energy after clear " stateEnergy[at[3]]) }
    result("b", "mode temp, fan 1500 and clear frames arrive byte for byte", ok)

    # (c) The decoy 04d8:0040, created first, is never opened nor written to.
    ok = decoyFirst && !decoyTouched && polls > 0 && pollRun[1] == 1
    if (!decoyFirst) detail("hidraw0 is not the decoy")
    if (decoyTouched) detail("the decoy was opened or written to")
    result("c", "the decoy device is skipped", ok)

    # (d) The unplug is reported, nothing is sent while the supply is away, and polling resumes after the
    # re-plug.
    ok = unplugs == 1 && plugs == 2 && lost == 1 && back == 1 && lostAfter == unplugAfter && backAfter == lostAfter
    ok = ok && plugAfter == unplugAfter && polls > backAfter && runExit[lostRun] == 0
    if (!ok) detail("unplug after " unplugAfter " plug after " plugAfter " lost after poll " lostAfter " back after poll " backAfter " polls " polls " exit " runExit[lostRun])
    result("d", "unplug noticed and reported, readings resume after the re-plug", ok)

    # (e) A garbage and a short reply show what they carry (a dropped one counts as no reply, (g)) and change
    # nothing else: the next frames are the same, the supply stays connected, the next normal reply reads right
    # again (a).
    ok = 1; odd = 0
    for (k = 1; k <= outs; k++) {
        if (outKind[k] == "normal" || outKind[k] == "none") continue
        odd++
        if (!unanswered(k) && (expect[k] == "" || pollLine[k] != expect[k])) { ok = 0; detail(outKind[k] " poll " k " shows" pollLine[k] " wants" expect[k]) }
        if (k < outs && out[k + 1] != out[k]) { ok = 0; detail("frame after the " outKind[k] " reply changed") }
        if (lostAfter == k) { ok = 0; detail("the supply was lost after the " outKind[k] " reply") }
    }
    result("e", "garbage and short" (shortDropped == 1 ? " (dropped by the kernel)" : "") " replies change only the readings", ok && odd == 2)

    # (g) Exactly the polls left unanswered say so, and a run in which none was answered exits 4.
    ok = 1; silent = 0
    for (k = 1; k <= outs; k++) {
        if (unanswered(k) != (noReply[k] == 1)) { ok = 0; detail("poll " k " (" outKind[k] " reply) no-reply line " (noReply[k] == 1)) }
        if (outKind[k] != "none") continue
        silent++
        if (runExit[pollRun[k]] != 4) { ok = 0; detail("silent poll " k " ran in a run that exited " runExit[pollRun[k]]) }
    }
    result("g", "a silent supply is reported as no reply and fails the run", ok && silent == 2)

    # (h) Beside the running window, which keeps TempControl, a plain cli sends TempControl frames, and its own
    # command is refused (exit 5) before anything is sent.
    ok = besideRun > 0; beside = 0
    for (k = 1; k <= outs; k++) {
        if (pollRun[k] == besideRun) {
            beside++
            if (out[k] != frame("aa7e82000000")) { ok = 0; detail("poll " k " beside the window sent " substr(out[k], 1, 14)) }
        }
        if (pollRun[k] == besideRun + 1) { ok = 0; detail("the refused run polled") }
    }
    if (refusedRun != besideRun + 1 || runExit[besideRun + 1] != 5) { ok = 0; detail("refusal in run " refusedRun ", exit " runExit[besideRun + 1]) }
    result("h", "beside the window a plain cli sends its mode and leaves its commands to it", ok && beside == 2)
}
' "$2" decoyFirst="$3" shortDropped="$4" "$1"
